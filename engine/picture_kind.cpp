// The picture kind of a file by its extension.
#include "engine/picture_kind.h"

#include <algorithm>
#include <cctype>

#include "engine/file_entry.h"

namespace pixmora {

PictureKind PictureKindOf(const std::string& path) {
    const std::string name = ExtractName(path, true);
    const std::size_t dot = name.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot + 1);
    std::string lower = extension;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "jpg" || lower == "jpeg") return PictureKind::Jpeg;
    if (lower == "bmp") return PictureKind::Bitmap;
    if (lower == "ico") return PictureKind::Icon;
    if (lower == "emf" || lower == "wmf") return PictureKind::Metafile;
    throw EInvalidGraphic("Extension de fichier image inconnue (." + extension + ")");
}

}  // namespace pixmora
