// Filling the list of files from folder scans and drops, and rebuilding its display.
#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "collect/file_list_view.h"
#include "engine/files/file_entry.h"
#include "engine/files/path_style.h"

namespace pixmora {

// Appends the files of `folder` matching "*." + extension, in search order. A folder that
// matches and is a plain directory (attribute value exactly 16) is left out.
void AddFilesFromFolder(std::vector<TListe_File>& files, std::string folder,
                        const std::string& extension, const PathStyle& style = PathStyle::Native());

// Appends the "jpg" files of `folder` and then those of each of its direct plain sub folders.
void AddDroppedFolder(std::vector<TListe_File>& files, std::string folder,
                      const PathStyle& style = PathStyle::Native());

// A dropped name that the system would not look up, and its answer.
struct RefusedName {
    std::string name;
    std::error_code reason;
};

// Takes dropped names whole, in order: an existing file is listed as dropped (any type), an
// existing folder is collected with AddDroppedFolder, a name that does not exist is
// skipped. A name the system refuses to look up (too long, a loop of links, no access...)
// is returned with the reason, and the names after it are still taken.
std::vector<RefusedName> AddDroppedNames(std::vector<TListe_File>& files,
                                         const std::vector<std::string>& names,
                                         const PathStyle& style = PathStyle::Native());

// The error box's text for refused names: a first line, then one line per name with the
// system's reason; a name of over 100 bytes shows its first 40 and its last 59 around "…".
std::string RefusedNamesText(const std::vector<RefusedName>& refused);

// "FullName|0" or "FullName|1".
std::string ListItemText(const TListe_File& entry, bool processed);

// "List of JPEG files : N files found".
std::string ListHeaderText(std::size_t count);

// Rebuilds the list from files: every line unmarked, names derived afresh, header, drop hint,
// and the first line selected and previewed. Failures are swallowed; the steps done stand.
void RefreshFileList(std::vector<TListe_File>& files, FileListView& view,
                     const PathStyle& style = PathStyle::Native());

}  // namespace pixmora
