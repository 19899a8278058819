// The command line of pixmora-batch.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace pixmora {

struct BatchOptions {
    int32_t ratio = 50;
    bool fixed_folder_mode = false;
    std::string fixed_folder;
    std::vector<std::string> paths;
    bool help = false;
    bool version = false;
};

// A command line that cannot be run; what() says why.
class UsageError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the arguments after the program name. Throws UsageError.
BatchOptions ParseBatchOptions(const std::vector<std::string>& args);

// The help text, ending with a newline.
std::string BatchUsage();

}  // namespace pixmora
