// Growing reads and header parses until the header is whole (POSIX files).
#include "engine/run/header_probe.h"

#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <jerror.h>
#include <jpeglib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/files/file_descriptor.h"
#include "engine/files/source_file.h"

namespace pixmora {

namespace {

HeaderProbe Failed(FailureKind kind, int error_number = 0) {
    HeaderProbe probe;
    probe.failure.kind = kind;
    probe.failure.error_number = error_number;
    return probe;
}

// Reads into bytes until it holds size bytes or the file ends; false with errno on failure.
bool ReadUpTo(int fd, std::vector<uint8_t>& bytes, size_t size, bool& at_end) {
    size_t used = bytes.size();
    bytes.resize(size);
    while (used < size) {
        const ssize_t read_now = read(fd, bytes.data() + used, size - used);
        if (read_now < 0 && errno == EINTR) continue;
        if (read_now < 0) return false;
        if (read_now == 0) {
            at_end = true;
            break;
        }
        used += static_cast<size_t>(read_now);
    }
    bytes.resize(used);
    return true;
}

}  // namespace

HeaderProbe ProbeJPEGHeader(const std::string& path, size_t first_piece) {
    // Opened as the run opens its sources, so that both refuse the same files.
    struct stat status {};
    int fd = -1;
    try {
        fd = OpenSourceFile(path, status);
    } catch (const ENotRegularFile&) {
        return Failed(FailureKind::NotRegularFile);
    } catch (const EFOpenError& failure) {
        return Failed(FailureKind::CannotOpen, failure.ErrorNumber());
    }
    const TFileDescriptor closer(fd);

    std::vector<uint8_t> bytes;
    bool at_end = false;
    for (size_t piece = first_piece > 0 ? first_piece : 1;; piece *= 2) {
        if (!ReadUpTo(fd, bytes, piece, at_end)) {
            HeaderProbe probe = Failed(FailureKind::CannotOpen, errno != 0 ? errno : EIO);
            probe.bytes_read = bytes.size();
            return probe;
        }
        HeaderProbe probe;
        probe.bytes_read = bytes.size();
        if (bytes.empty()) {
            probe.read = true;
            return probe;
        }
        try {
            probe.header = ReadJPEGHeader(bytes.data(), bytes.size());
            probe.read = true;
            return probe;
        } catch (const std::exception& failure) {
            // A piece cut inside the header fails like a damaged file; only the whole file
            // tells. A file that does not start like a JPEG file never becomes one.
            const auto* jpeg = dynamic_cast<const EJPEG*>(&failure);
            const bool not_jpeg = jpeg && jpeg->Code() == JERR_NO_SOI && bytes.size() >= 2;
            if (at_end || not_jpeg) {
                probe.failure = FailureReasonOf(failure, FailureStage::Load, std::string());
                return probe;
            }
        }
    }
}

}  // namespace pixmora
