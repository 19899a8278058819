// What the preview shows on the main window: the picture box and the six measure labels.
// The window implements it on its own thread; tests record it.
#pragma once

#include <cstdint>
#include <string>

#include "engine/resample/pixel_buffer.h"
#include "engine/run/measure_label.h"

namespace pixmora {

class PreviewView {
public:
    virtual ~PreviewView() = default;

    // IMG_Source shows picture in the proportions of a width x height picture, reduced to
    // the box as needed; an empty picture clears it.
    virtual void ShowPreviewPicture(const TPixelBuffer& picture, int32_t width, int32_t height) = 0;
    virtual void SetMeasureText(MeasureLabel label, const std::string& text) = 0;
};

}  // namespace pixmora
