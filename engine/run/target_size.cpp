// The ratio or the box, whichever the settings name.
#include "engine/run/target_size.h"

#include "engine/resample/scale_dimension.h"

namespace pixmora {

PictureSize TargetSize(const FileSettings& settings, int32_t width, int32_t height,
                       int orientation) {
    if (!FitsInBox(settings)) {
        const double scale = settings.ratio / 100.0;
        return {ScaleDimension(width, scale), ScaleDimension(height, scale)};
    }
    const bool turned = orientation >= 5 && orientation <= 8;
    return turned ? FitInsideBox(width, height, settings.fit_height, settings.fit_width)
                  : FitInsideBox(width, height, settings.fit_width, settings.fit_height);
}

}  // namespace pixmora
