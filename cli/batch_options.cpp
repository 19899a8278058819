// Reading the command line of pixmora-batch.
#include "cli/batch_options.h"

#include <charconv>
#include <limits>

namespace pixmora {

namespace {

int32_t ParseRatio(const std::string& text) {
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value <= 0 ||
        value > std::numeric_limits<int32_t>::max()) {
        throw UsageError("the ratio must be a whole number of percent above 0, not '" + text + "'");
    }
    return static_cast<int32_t>(value);
}

}  // namespace

BatchOptions ParseBatchOptions(const std::vector<std::string>& args) {
    BatchOptions options;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (options_ended || arg.empty() || arg[0] != '-' || arg == "-") {
            options.paths.push_back(arg);
            continue;
        }
        // "--name value" or "--name=value" for the options that take one.
        auto value_of = [&](const std::string& name, std::string& value) {
            if (arg == name) {
                if (i + 1 >= args.size()) throw UsageError(name + " needs a value");
                value = args[++i];
                return true;
            }
            if (arg.compare(0, name.size() + 1, name + "=") == 0) {
                value = arg.substr(name.size() + 1);
                return true;
            }
            return false;
        };
        std::string value;
        if (arg == "--") {
            options_ended = true;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version") {
            options.version = true;
        } else if (value_of("--ratio", value)) {
            options.ratio = ParseRatio(value);
        } else if (value_of("--fixed-folder", value)) {
            if (value.empty()) throw UsageError("--fixed-folder needs a folder");
            options.fixed_folder_mode = true;
            options.fixed_folder = value;
        } else {
            throw UsageError("unknown option '" + arg + "'");
        }
    }
    if (!options.help && !options.version && options.paths.empty()) {
        throw UsageError("no file or folder given");
    }
    return options;
}

std::string BatchUsage() {
    return "Usage: pixmora-batch [--ratio N] [--fixed-folder DIR] PATH...\n"
           "Resizes JPEG files by N percent and writes each copy, under its own name, into a\n"
           "sub folder named after the folder that holds the file: inside that folder, or\n"
           "inside DIR. A PATH that is a folder adds its JPEG files and those of its direct\n"
           "sub folders; a PATH that is a file is added as it is.\n"
           "\n"
           "  --ratio N            scale in percent, a whole number above 0 (default 50)\n"
           "  --fixed-folder DIR   create the sub folders inside DIR, an existing folder\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "\n"
           "Ctrl-C stops after the file in progress; a second Ctrl-C quits at once.\n"
           "Exit status: 0 when every file was written, 1 when a file failed or the run\n"
           "ended early, 2 for a command line that cannot be run.\n";
}

}  // namespace pixmora
