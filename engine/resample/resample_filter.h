// How a picture's pixels are taken to its new size.
#pragma once

namespace pixmora {

enum class ResampleFilter {
    Nearest,  // each target pixel the source pixel it falls on (the window's only one)
    Lanczos,  // separable Lanczos-3 over the picture's encoded values
};

}  // namespace pixmora
