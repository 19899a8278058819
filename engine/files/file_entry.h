// One listed file, the names derived from its path, and where its resized copy goes.
#pragma once

#include <string>

#include "engine/files/folder_ops.h"
#include "engine/files/path_style.h"

namespace pixmora {

struct TListe_File {
    std::string FullName;    // the path as it was added; never changed
    std::string FileName;    // name with extension
    std::string BaseName;    // name without its last extension
    std::string FilePath;    // directory part, ending with its delimiter
    std::string FolderName;  // name of the folder holding the file
};

// The file name of path, with or without its last extension; empty on any failure.
std::string ExtractName(const std::string& path, bool keep_extension,
                        const PathStyle& style = PathStyle::Native());

// Fills FileName, BaseName, FilePath and FolderName from FullName.
void DeriveEntryNames(TListe_File& entry, const PathStyle& style = PathStyle::Native());

// The folder the resized copy of entry goes to, ending with the separator: a sub folder named
// FolderName inside the fixed folder (when the mode is on and it names an existing
// directory) or inside the file's own folder.
std::string ComposeOutputFolder(const TListe_File& entry, bool fixed_folder_mode,
                                const std::string& fixed_folder,
                                const PathStyle& style = PathStyle::Native(),
                                const FolderOps& ops = FolderOps::Native());

// Where the resized copy of entry goes: its output folder followed by its FileName.
std::string OutputPath(const TListe_File& entry, bool fixed_folder_mode,
                       const std::string& fixed_folder,
                       const PathStyle& style = PathStyle::Native(),
                       const FolderOps& ops = FolderOps::Native());

// A text that is the same for two output paths naming one file: the path with its folder
// resolved (links, "." and ".." parts; the parts that do not exist yet kept as written).
std::string OutputIdentity(const std::string& output_path);

// Creates folder with every missing parent. Reports nothing: a folder that could not be made
// shows when a file is saved into it.
void EnsureFolder(const std::string& folder, const PathStyle& style = PathStyle::Native(),
                  const FolderOps& ops = FolderOps::Native());

}  // namespace pixmora
