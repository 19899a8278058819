// Writes a whole file or nothing: the bytes go to an unnamed (or hidden temporary) file in
// the destination's folder, which replaces the destination only once every byte is
// written, so a failed or interrupted save never leaves an empty, partial or stray file
// and never destroys the previous file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pixmora {

// How the bytes wait for their name: an unnamed file where the file system has them
// (falling back to a named one), or always a hidden named temporary file.
enum class TTemporaryKind { Unnamed, Named };

// Whether an existing file at path is one the writer leaves alone: its owner write bit is
// clear (which holds for root too).
bool IsReadOnlyFile(const std::string& path);

// Writes size bytes to path, replacing an existing file. An existing file whose owner
// write bit is clear is left alone and the write fails with the access-denied reason.
// Throws EFCreateError (with the system's reason, ENOSPC for a short write).
void WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size,
                         TTemporaryKind kind = TTemporaryKind::Unnamed);

}  // namespace pixmora
