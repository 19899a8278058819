// Benchmark driver: resizes each file given by a ratio into an output folder with one image
// object and one target reused, as a batch run does, without any window.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <string>

#include "engine/codec/jpeg_image.h"
#include "engine/resample/pixel_buffer.h"
#include "engine/resample/resize_to_ratio.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s RATIO OUTPUT_FOLDER FILE...\n", argv[0]);
        return 2;
    }
    const int ratio = std::atoi(argv[1]);
    const std::filesystem::path folder = argv[2];
    std::filesystem::create_directories(folder);
    pixmora::TJPEGImage image;
    pixmora::TPixelBuffer target;
    int failures = 0;
    for (int i = 3; i < argc; ++i) {
        try {
            image.LoadFromFile(argv[i]);
            pixmora::ResizeToRatio(image, target, ratio);
            image.SaveToFile((folder / std::filesystem::path(argv[i]).filename()).string());
        } catch (const std::exception& failure) {
            std::fprintf(stderr, "%s: %s\n", argv[i], failure.what());
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
