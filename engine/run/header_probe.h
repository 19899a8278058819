// A JPEG file's header read without reading the file whole: the file is read in growing
// pieces until libjpeg has its header (up to the first scan), so that pixmora-batch's dry
// run costs little however large the photos are.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/codec/jpeg_header.h"
#include "engine/run/failure_reason.h"

namespace pixmora {

struct HeaderProbe {
    // The header was read (a 0-byte file reads as 0 x 0, as a run loads it).
    bool read = false;
    TJPEGHeader header;
    // Why it was not: what loading the file in a run would fail with.
    FailureReason failure;
    // Bytes taken from the file.
    uint64_t bytes_read = 0;
};

inline constexpr size_t kFirstHeaderPiece = 64 * 1024;

// Never throws. A path that is not a regular file is not opened for reading at all, so that
// a pipe or a device cannot hold the probe up.
HeaderProbe ProbeJPEGHeader(const std::string& path, size_t first_piece = kFirstHeaderPiece);

}  // namespace pixmora
