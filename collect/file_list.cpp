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

std::vector<RefusedName> AddDroppedNames(std::vector<TListe_File>& files,
                                         const std::vector<std::string>& names,
                                         const PathStyle& style) {
    std::vector<RefusedName> refused;
    for (const std::string& name : names) {
        std::error_code ec;
        const auto status = std::filesystem::status(name, ec);
        if (status.type() == std::filesystem::file_type::not_found) continue;
        if (ec) {
            refused.push_back({name, ec});
        } else if (std::filesystem::is_directory(status)) {
            AddDroppedFolder(files, name, style);
        } else {
            TListe_File file;
            file.FullName = name;
            files.push_back(std::move(file));
        }
    }
    return refused;
}

namespace {

// A name as a message box line shows it: a long one keeps its start and its end around "…",
// cut between UTF-8 characters.
std::string ShownName(const std::string& name) {
    constexpr std::size_t kHead = 40;
    constexpr std::size_t kTail = 59;
    if (name.size() <= kHead + 1 + kTail) return name;
    const auto continues = [&name](std::size_t at) {
        return (static_cast<unsigned char>(name[at]) & 0xC0) == 0x80;
    };
    std::size_t head_end = kHead;
    while (head_end > 0 && continues(head_end)) --head_end;
    std::size_t tail_start = name.size() - kTail;
    while (tail_start < name.size() && continues(tail_start)) ++tail_start;
    return name.substr(0, head_end) + "\u2026" + name.substr(tail_start);
}

}  // namespace

std::string RefusedNamesText(const std::vector<RefusedName>& refused) {
    std::string text = "These dropped names were refused by the system and left out :";
    for (const RefusedName& entry : refused) {
        text += "\n" + ShownName(entry.name) + " : " + entry.reason.message();
    }
    return text;
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
