// Writes the seed files of the JPEG image fuzzer into the folder given: small files of
// every kind the decoder meets, each behind the ratio byte the fuzzer reads first.
// Usage: make_jpeg_corpus FOLDER
#include <cstdio>
#include <fstream>
#include <string>

#include "engine/codec/exif_orientation.h"
#include "support/jpeg_maker.h"

namespace {

using namespace pixmora::test;

void Write(const std::string& folder, const std::string& name, int ratio, const std::string& jpeg) {
    std::ofstream out(folder + "/" + name, std::ios::binary);
    out << static_cast<char>(ratio) << jpeg;
    if (!out) std::fprintf(stderr, "cannot write %s\n", name.c_str());
}

JpegOptions Restarts(JpegOptions options, int interval) {
    options.restart_interval = interval;
    return options;
}

JpegOptions Tagged(JpegOptions options, std::string segment) {
    options.app_segments.push_back(std::move(segment));
    return options;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string folder = argv[1];
    const JpegOptions small = Options(24, 16);
    Write(folder, "baseline_420", 50, MakeJpeg(small));
    Write(folder, "progressive_420", 33, MakeJpeg(Progressive(small)));
    Write(folder, "gray", 50, MakeJpeg(Options(24, 16, 1)));
    Write(folder, "gray_progressive", 29, MakeJpeg(Progressive(Options(24, 16, 1))));
    Write(folder, "cmyk", 50, MakeJpeg(Options(24, 16, 4)));
    Write(folder, "ycck", 75, MakeJpeg(Ycck(Options(24, 16, 4))));
    Write(folder, "two_components", 50, MakeJpeg(Options(24, 16, 2)));
    Write(folder, "baseline_444", 40, MakeJpeg(Sampling(small, 1, 1)));
    Write(folder, "baseline_422", 40, MakeJpeg(Sampling(small, 2, 1)));
    Write(folder, "baseline_1x4", 10, MakeJpeg(Sampling(Options(24, 40), 1, 4)));
    Write(folder, "separate_scans_4x4", 20,
          MakeJpeg(NonInterleaved(Sampling(Options(40, 40), 4, 4))));
    Write(folder, "restarts", 50, MakeJpeg(Restarts(small, 1)));
    Write(folder, "restarts_progressive", 50, MakeJpeg(Restarts(Progressive(small), 2)));
    Write(folder, "arithmetic", 50, MakeJpeg(Arithmetic(small)));
    Write(folder, "arithmetic_progressive", 50, MakeJpeg(Arithmetic(Progressive(small))));
    Write(folder, "orientation_6_little_endian", 50,
          MakeJpeg(Tagged(small, ExifOrientationSegment(6))));
    Write(folder, "orientation_3_big_endian", 50,
          MakeJpeg(Tagged(small, '\xE1' + pixmora::MakeExifOrientationPayload(3))));
    Write(folder, "one_pixel", 100, MakeJpeg(Options(1, 1)));
    Write(folder, "enlarged", 125, MakeJpeg(small));
    // Headers claiming far more pixels than the bytes behind them hold.
    Write(folder, "claims_65000x65000", 100, WithFrameSize(MakeJpeg(small), 65000, 65000));
    Write(folder, "claims_65000x65000_progressive", 1,
          WithFrameSize(MakeJpeg(Progressive(small)), 65000, 65000));
    Write(folder, "claims_47000x48000_progressive", 1,
          WithFrameSize(MakeJpeg(Progressive(Options(16, 16))), 47000, 48000));
    Write(folder, "claims_64500x32800_separate_scans", 10,
          WithFrameSize(MakeJpeg(NonInterleaved(Options(16, 16))), 64500, 32800));
    return 0;
}
