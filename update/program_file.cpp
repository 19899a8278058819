// Program file location and time through stat.
#include "update/program_file.h"

#include <cerrno>
#include <cstring>

#include <sys/stat.h>

namespace pixmora {

std::filesystem::path RunningProgramFile() { return "/proc/self/exe"; }

PackedFileTime ProgramFileTime(const std::filesystem::path& file) {
    struct stat status {};
    if (stat(file.c_str(), &status) != 0) {
        throw ProgramFileTimeError("Cannot read the date of the program file " + file.string() +
                                   " (" + std::strerror(errno) + ")");
    }
    return ToPackedFileTime(status.st_mtime);
}

}  // namespace pixmora
