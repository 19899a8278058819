// The command line of pixmora-batch.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/resample/resample_filter.h"

namespace pixmora {

struct BatchOptions {
    int32_t ratio = 50;
    ResampleFilter filter = ResampleFilter::Nearest;
    bool fixed_folder_mode = false;
    std::string fixed_folder;
    std::vector<std::string> paths;
    std::vector<std::string> files_from;  // list files ("-": standard input), read in order
    bool null_separated = false;          // the lists are separated by NUL, not newline
    int jobs = 0;                         // 0: one per online core
    uint64_t max_memory = 0;              // bytes per file being decoded; 0: the default
    bool dry_run = false;
    bool help = false;
    bool version = false;
};

// A command line that cannot be run; what() says why in one line.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws UsageError.
BatchOptions ParseBatchOptions(const std::vector<std::string>& args);

// The help text, ending with a newline.
std::string BatchUsage();

}  // namespace pixmora
