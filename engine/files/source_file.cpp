// Opening, checking and mapping a source (POSIX open, fstat, mmap).
#include "engine/files/source_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/files/file_descriptor.h"

namespace pixmora {

namespace {

constexpr size_t kReadChunk = 1 << 20;
constexpr size_t kFirstReadBuffer = 4 << 20;

// Reads to the end; length is the file's size at opening, a first guess only (one byte more
// sees the end at once, and a file that grows meanwhile is still read whole).
void ReadWhole(const std::string& path, int fd, off_t length, TByteBuffer& bytes) {
    size_t used = 0;
    try {
        size_t size = kReadChunk;
        if (length > 0 && static_cast<uintmax_t>(length) < SIZE_MAX - 1)
            size = static_cast<size_t>(length) + 1;
        if (bytes.capacity() < size) {
            // Grown by half again at least, and never below a few huge pages, so that
            // files of many sizes in turn find the memory ready after a few.
            const size_t had = bytes.capacity();
            TByteBuffer().swap(bytes);
            bytes.reserve(std::max({size, had + had / 2, kFirstReadBuffer}));
        }
        bytes.resize(size);
        for (;;) {
            if (used == bytes.size()) bytes.resize(bytes.size() * 2);
            const ssize_t read_now = read(fd, bytes.data() + used, bytes.size() - used);
            if (read_now < 0) {
                if (errno == EINTR) continue;
                throw EFOpenError(path, errno);
            }
            if (read_now == 0) break;
            used += static_cast<size_t>(read_now);
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
    bytes.resize(used);
}

}  // namespace

int OpenSourceFile(const std::string& path, struct stat& status) {
    // O_NONBLOCK: opening a FIFO with no writer would wait for one.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error_number = errno;
        // A socket cannot be opened at all; it is refused as what it is.
        if (stat(path.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
            throw ENotRegularFile(path);
        throw EFOpenError(path, error_number);
    }
    TFileDescriptor file(fd);
    if (fstat(fd, &status) != 0) throw EFOpenError(path, errno);
    if (!S_ISREG(status.st_mode)) throw ENotRegularFile(path);
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) throw EFOpenError(path, errno);
    return file.Release();
}

TMappedFile ReadSourceFile(const std::string& path, TByteBuffer& bytes, uint64_t read_up_to) {
    struct stat status {};
    const TFileDescriptor file(OpenSourceFile(path, status));
    const int fd = file.Get();
    const bool read_it = status.st_size > 0 && static_cast<uintmax_t>(status.st_size) <= read_up_to;
    if (!read_it && status.st_size > 0 && static_cast<uintmax_t>(status.st_size) <= SIZE_MAX) {
        const size_t length = static_cast<size_t>(status.st_size);
        void* address = mmap(nullptr, length, PROT_READ, MAP_PRIVATE, fd, 0);
        if (address != MAP_FAILED) {
            // The decoder reads the file from start to end, twice at most.
            madvise(address, length, MADV_SEQUENTIAL);
            return TMappedFile(address, length);
        }
    }
    ReadWhole(path, fd, status.st_size, bytes);
    return TMappedFile();
}

}  // namespace pixmora
