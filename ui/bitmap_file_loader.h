// Bitmap and icon files read with Qt's image readers for the preview, on the preview's
// thread (QImage needs no window).
#pragma once

#include <QColor>

#include "engine/run/bitmap_loader.h"

namespace pixmora {

class TBitmapFileLoader : public BitmapLoader {
public:
    // Transparent parts of a picture take `background`, the colour behind the picture box.
    explicit TBitmapFileLoader(const QColor& background) : background_(background) {}

    TPixelBuffer Load(const std::string& path, int32_t box_width,
                      int32_t box_height) const override;

private:
    const QColor background_;
};

}  // namespace pixmora
