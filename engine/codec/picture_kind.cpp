// The picture kind of a file by its extension.
#include "engine/codec/picture_kind.h"

#include <algorithm>
#include <cctype>

#include "engine/files/file_entry.h"

namespace pixmora {

namespace {

// The file name's extension, without its dot; "" when it has none.
std::string ExtensionOf(const std::string& path) {
    const std::string name = ExtractName(path, true);
    const std::size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

}  // namespace

PictureKind PictureKindOf(const std::string& path) {
    std::string lower = ExtensionOf(path);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (lower == "jpg" || lower == "jpeg") return PictureKind::Jpeg;
    if (lower == "bmp") return PictureKind::Bitmap;
    if (lower == "ico") return PictureKind::Icon;
    if (lower == "emf" || lower == "wmf") return PictureKind::Metafile;
    throw UnknownPictureKind(path);
}

EInvalidGraphic UnknownPictureKind(const std::string& path) {
    return EInvalidGraphic("Extension de fichier image inconnue (." + ExtensionOf(path) + ")");
}

}  // namespace pixmora
