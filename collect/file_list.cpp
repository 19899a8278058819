// Folder scans, drops and the list rebuild.
#include "collect/file_list.h"

#include <filesystem>
#include <system_error>

#include "collect/directory_search.h"

namespace pixmora {

void AddFilesFromFolder(std::vector<TListe_File>& files, std::string folder,
                        const std::string& extension, const PathStyle& style) {
    folder = WithTrailingSeparator(std::move(folder), style);
    for (const SearchEntry& entry : SearchFolder(folder, "*." + extension)) {
        if (entry.attributes == kAttrDirectory) continue;
        TListe_File file;
        file.FullName = folder + entry.name;
        files.push_back(std::move(file));
    }
}

void AddDroppedFolder(std::vector<TListe_File>& files, std::string folder, const PathStyle& style) {
    folder = WithTrailingSeparator(std::move(folder), style);
    const std::vector<SearchEntry> entries = SearchFolder(folder, "*.*");
    if (entries.empty()) return;
    AddFilesFromFolder(files, folder, "jpg", style);
    for (const SearchEntry& entry : entries) {
        if (entry.attributes == kAttrDirectory && entry.name != "." && entry.name != "..") {
            AddFilesFromFolder(files, folder + entry.name, "jpg", style);
        }
    }
}

void AddDroppedNames(std::vector<TListe_File>& files, const std::vector<std::string>& names,
                     const PathStyle& style) {
    for (const std::string& dropped : names) {
        const std::string name = dropped.substr(0, kDroppedNameLength);
        std::error_code ec;
        const auto status = std::filesystem::status(name, ec);
        if (ec || !std::filesystem::exists(status)) continue;
        if (std::filesystem::is_directory(status)) {
            AddDroppedFolder(files, name, style);
        } else {
            TListe_File file;
            file.FullName = name;
            files.push_back(std::move(file));
        }
    }
}

std::string ListItemText(const TListe_File& entry, bool processed) {
    return entry.FullName + (processed ? "|1" : "|0");
}

std::string ListHeaderText(std::size_t count) {
    return "List of JPEG files : " + std::to_string(count) + " files found";
}

void RefreshFileList(std::vector<TListe_File>& files, FileListView& view, const PathStyle& style) {
    try {
        view.ClearItems();
        for (TListe_File& entry : files) {
            view.AddItem(ListItemText(entry, false));
            DeriveEntryNames(entry, style);
        }
        view.SetHeaderText(ListHeaderText(files.size()));
        if (view.ItemCount() > 0) {
            view.SetDropHintVisible(false);
            view.SelectItem(0);
            view.ListClicked();
        } else {
            view.SetDropHintVisible(true);
        }
    } catch (...) {
        // A preview that cannot show the first file leaves the rebuilt list as it is.
    }
}

}  // namespace pixmora
