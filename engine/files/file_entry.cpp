// Name derivation, output folder composition and folder creation for listed files.
#include "engine/files/file_entry.h"

#include <filesystem>
#include <system_error>

namespace pixmora {

std::string ExtractName(const std::string& path, bool keep_extension, const PathStyle& style) {
    try {
        const std::size_t last = LastDelimiter(path, style);
        std::string name = last == std::string::npos ? path : path.substr(last + 1);
        if (!keep_extension) {
            const std::size_t dot = name.rfind('.');
            if (dot != std::string::npos) name.resize(dot);
        }
        return name;
    } catch (...) {
        return {};
    }
}

void DeriveEntryNames(TListe_File& entry, const PathStyle& style) {
    entry.FileName = ExtractName(entry.FullName, true, style);
    entry.BaseName = ExtractName(entry.FullName, false, style);
    entry.FilePath = DirectoryPart(entry.FullName, style);

    std::string folder = entry.FilePath;
    while (!folder.empty() && folder.back() == style.separator) folder.pop_back();
    const std::size_t last = folder.rfind(style.separator);
    entry.FolderName = last == std::string::npos ? folder : folder.substr(last + 1);
}

std::string ComposeOutputFolder(const TListe_File& entry, bool fixed_folder_mode,
                                const std::string& fixed_folder, const PathStyle& style,
                                const FolderOps& ops) {
    const bool use_fixed =
        fixed_folder_mode && !fixed_folder.empty() && ops.is_directory(fixed_folder);
    const std::string& base = use_fixed ? fixed_folder : entry.FilePath;
    std::string text = base;
    text += style.separator;
    text += entry.FolderName;
    text += style.separator;
    return CollapseSeparators(text, style);
}

std::string OutputPath(const TListe_File& entry, bool fixed_folder_mode,
                       const std::string& fixed_folder, const PathStyle& style,
                       const FolderOps& ops) {
    return ComposeOutputFolder(entry, fixed_folder_mode, fixed_folder, style, ops) + entry.FileName;
}

std::string OutputIdentity(const std::string& output_path) {
    // The file's own name is kept: an output that is a link is replaced, not written through.
    const std::filesystem::path path(output_path);
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(path.parent_path(), ec);
    return ec ? output_path : (folder / path.filename()).string();
}

namespace {

// True when the folder is there afterwards (or is a root that needs no creating).
bool EnsureFolderText(std::string text, const PathStyle& style, const FolderOps& ops) {
    if (!text.empty() && text.back() == style.separator) text.pop_back();
    if (text.size() < style.shortest_folder) return true;
    if (ops.is_directory(text)) return true;
    const std::string parent = DirectoryPart(text, style);
    if (parent == text) return true;
    if (!EnsureFolderText(parent, style, ops)) return false;
    return ops.create_folder(text);
}

}  // namespace

void EnsureFolder(const std::string& folder, const PathStyle& style, const FolderOps& ops) {
    try {
        EnsureFolderText(folder, style, ops);
    } catch (...) {
        // Nothing to report: the save into the folder fails and is reported instead.
    }
}

}  // namespace pixmora
