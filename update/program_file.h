// The running program's own file and its last-write time.
#pragma once

#include <filesystem>
#include <stdexcept>

#include "update/packed_file_time.h"

namespace pixmora {

// The file's time cannot be read (it is missing or not reachable).
class ProgramFileTimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The executable of the running process. On Linux the kernel's link to it, which still
// reaches the running file when it has been replaced or removed since the start.
std::filesystem::path RunningProgramFile();

// Last-write time of `file` in local time, in packed-date resolution. Throws
// ProgramFileTimeError when the file cannot be examined.
PackedFileTime ProgramFileTime(const std::filesystem::path& file);

}  // namespace pixmora
