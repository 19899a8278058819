// Reading a source file for the codec: opened without waiting (a FIFO or a device named
// .jpg must never hold a run), refused unless it is a regular file, and mapped read-only so
// that its size costs no heap.
//
// The mapping shows the file as it lies on disk. Sources are files at rest: while the file
// keeps its length every byte reads as mapped. A file that another program shortens while
// it is being decoded loses the pages past its new end, and reading them raises SIGBUS, as
// it does for every program that maps its input; the process installs no handler for it.
#pragma once

#include <cstdint>
#include <string>

#include <sys/stat.h>

#include "engine/files/mapped_file.h"
#include "engine/memory/large_allocation.h"

namespace pixmora {

// Opens the source at path for reading, refusing anything but a regular file, without
// waiting on a FIFO; returns the descriptor, which the caller closes, with the file's
// status. Throws ENotRegularFile, EFOpenError.
int OpenSourceFile(const std::string& path, struct stat& status);

// The bytes of the file at path: its mapping, or an empty mapping and the bytes read into
// bytes (its memory reused) when the file is at most read_up_to bytes long, or cannot be
// mapped (a length of 0 by its size, as the files of /proc report, or a file system that
// does not map). Reading into memory kept from file to file costs a copy but none of the
// page faults a fresh mapping pays for every page it touches. Throws ENotRegularFile,
// EFOpenError, EOutOfMemory.
TMappedFile ReadSourceFile(const std::string& path, TByteBuffer& bytes, uint64_t read_up_to = 0);

}  // namespace pixmora
