// Fitting a picture into a box.
#include "engine/resample/box_fit.h"

namespace pixmora {

BoxFit FitInBox(int32_t width, int32_t height, int32_t box_width, int32_t box_height) {
    if (width <= 0 || height <= 0) return {};
    const double aspect = static_cast<double>(width) / height;
    BoxFit fit;
    // The longer side fills the box first; the other follows the proportions, truncated.
    if (width > height) {
        fit.width = box_width;
        fit.height = static_cast<int32_t>(box_width / aspect);
        if (fit.height > box_height) {
            fit.height = box_height;
            fit.width = static_cast<int32_t>(box_height * aspect);
        }
    } else {
        fit.height = box_height;
        fit.width = static_cast<int32_t>(box_height * aspect);
        if (fit.width > box_width) {
            fit.width = box_width;
            fit.height = static_cast<int32_t>(box_width / aspect);
        }
    }
    fit.left = (box_width - fit.width) / 2;
    fit.top = (box_height - fit.height) / 2;
    return fit;
}

}  // namespace pixmora
