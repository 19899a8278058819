// Reading bitmaps and icons for the preview.
#include "ui/bitmap_file_loader.h"

#include <cstring>

#include <QImage>
#include <QPainter>

#include "engine/codec/picture_kind.h"
#include "engine/resample/box_fit.h"
#include "ui/native_text.h"

namespace pixmora {

TPixelBuffer TBitmapFileLoader::Load(const std::string& path, int32_t box_width,
                                     int32_t box_height) const {
    QImage picture;
    if (!picture.load(FromNative(path))) throw EInvalidGraphic("Image bitmap incorrecte");
    // Never more pixels than the box paints; a smaller picture is enlarged when painted.
    const BoxFit fit = FitInBox(picture.width(), picture.height(), box_width, box_height);
    if (fit.width > 0 && fit.height > 0 &&
        (picture.width() > fit.width || picture.height() > fit.height)) {
        picture =
            picture.scaled(fit.width, fit.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    QImage flat(picture.size(), QImage::Format_RGB888);
    flat.fill(background_);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, picture);
    }
    TPixelBuffer pixels;
    pixels.SetSize(flat.width(), flat.height());
    const std::size_t row_bytes =
        static_cast<std::size_t>(flat.width()) * TPixelBuffer::kBytesPerPixel;
    for (int y = 0; y < flat.height(); ++y)
        std::memcpy(pixels.Row(y), flat.constScanLine(y), row_bytes);
    return pixels;
}

}  // namespace pixmora
