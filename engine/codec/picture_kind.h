// Which kind of picture a file is taken for when the preview picture loads it by itself: the
// file's extension decides, compared without regard to letter case.
#pragma once

#include <stdexcept>
#include <string>

namespace pixmora {

enum class PictureKind { Jpeg, Bitmap, Icon, Metafile };

// The failure of a picture load: unknown extension ("Extension de fichier image inconnue").
class EInvalidGraphic : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// jpg/jpeg, bmp, ico, emf/wmf; throws UnknownPictureKind for any other extension.
PictureKind PictureKindOf(const std::string& path);

// The failure of a file whose extension names no picture kind that can be loaded.
EInvalidGraphic UnknownPictureKind(const std::string& path);

}  // namespace pixmora
