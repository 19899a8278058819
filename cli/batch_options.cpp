// Reading the command line of pixmora-batch.
#include "cli/batch_options.h"

#include <cctype>
#include <charconv>
#include <limits>

#include "cli/escaped_text.h"

namespace pixmora {

namespace {

constexpr int kMostJobs = 1024;

std::string Quoted(const std::string& text) { return "'" + EscapeControlCharacters(text) + "'"; }

enum class NumberText { Valid, NotANumber, TooLarge };

// Reads decimal digits only (no sign, no space) into value.
NumberText ReadDigits(const std::string& text, uint64_t& value) {
    if (text.empty() || !std::isdigit(static_cast<unsigned char>(text[0])))
        return NumberText::NotANumber;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ptr != end) return NumberText::NotANumber;
    return ec == std::errc::result_out_of_range ? NumberText::TooLarge : NumberText::Valid;
}

// A whole number from 1 to most; what names it in the messages.
uint64_t ParseCount(const std::string& text, const std::string& what, uint64_t most) {
    uint64_t value = 0;
    const NumberText read = ReadDigits(text, value);
    if (read == NumberText::TooLarge || (read == NumberText::Valid && value > most)) {
        throw UsageError(what + " " + Quoted(text) + " is too large (at most " +
                         std::to_string(most) + ")");
    }
    if (read != NumberText::Valid || value == 0)
        throw UsageError(what + " must be a whole number above 0, not " + Quoted(text));
    return value;
}

// Bytes, or kibi-, mebi-, gibi- or tebibytes with the suffix K, M, G or T.
uint64_t ParseMemory(const std::string& text) {
    static const std::string kSuffixes = "KMGT";
    std::string digits = text;
    int shift = 0;
    if (!digits.empty()) {
        const auto last = static_cast<char>(std::toupper(static_cast<unsigned char>(text.back())));
        const std::size_t suffix = kSuffixes.find(last);
        if (suffix != std::string::npos) {
            shift = 10 * static_cast<int>(suffix + 1);
            digits.pop_back();
        }
    }
    uint64_t value = 0;
    const NumberText read = ReadDigits(digits, value);
    if (read == NumberText::TooLarge ||
        (read == NumberText::Valid && value > (std::numeric_limits<uint64_t>::max() >> shift)))
        throw UsageError("the memory size " + Quoted(text) + " is too large");
    if (read != NumberText::Valid || value == 0) {
        throw UsageError(
            "the memory size must be a whole number above 0, in bytes or followed "
            "by K, M, G or T, not " +
            Quoted(text));
    }
    return value << shift;
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
        // "--name value" or "--name=value" for the long options that take one, "-j N" or
        // "-jN" for the short one.
        auto value_of = [&](const std::string& name, std::string& value) {
            const bool is_short = name.size() == 2;
            if (arg == name) {
                if (i + 1 >= args.size()) throw UsageError("option " + name + " needs a value");
                value = args[++i];
                return true;
            }
            const std::string joined = is_short ? name : name + "=";
            if (arg.compare(0, joined.size(), joined) == 0) {
                value = arg.substr(joined.size());
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
        } else if (arg == "--dry-run") {
            options.dry_run = true;
        } else if (arg == "--null") {
            options.null_separated = true;
        } else if (value_of("--ratio", value)) {
            options.ratio = static_cast<int32_t>(
                ParseCount(value, "the ratio", std::numeric_limits<int32_t>::max()));
        } else if (value_of("--filter", value)) {
            if (value == "nearest")
                options.filter = ResampleFilter::Nearest;
            else if (value == "lanczos")
                options.filter = ResampleFilter::Lanczos;
            else
                throw UsageError("the filter must be nearest or lanczos, not " + Quoted(value));
        } else if (value_of("--jobs", value) || value_of("-j", value)) {
            options.jobs = static_cast<int>(ParseCount(value, "the number of jobs", kMostJobs));
        } else if (value_of("--max-memory", value)) {
            options.max_memory = ParseMemory(value);
        } else if (value_of("--fixed-folder", value)) {
            if (value.empty()) throw UsageError("option --fixed-folder needs a folder");
            options.fixed_folder_mode = true;
            options.fixed_folder = value;
        } else if (value_of("--files-from", value)) {
            if (value.empty()) throw UsageError("option --files-from needs a file");
            options.files_from.push_back(value);
        } else {
            throw UsageError("unknown option " + Quoted(arg));
        }
    }
    if (!options.help && !options.version && options.paths.empty() && options.files_from.empty()) {
        throw UsageError("no file or folder given");
    }
    return options;
}

std::string BatchUsage() {
    return "Usage: pixmora-batch [OPTION]... PATH...\n"
           "  or:  pixmora-batch [OPTION]... --files-from FILE [PATH]...\n"
           "Resizes JPEG files by N percent and writes each copy, under its own name, into a\n"
           "sub folder named after the folder that holds the file: inside that folder, or\n"
           "inside DIR. A PATH that is a folder adds its JPEG files and those of its direct\n"
           "sub folders; a PATH that is a file is added as it is.\n"
           "\n"
           "  --ratio N            scale in percent, a whole number above 0 (default 50)\n"
           "  --fixed-folder DIR   create the sub folders inside DIR, an existing folder\n"
           "  -j, --jobs N         resize N files at a time (default: one per online core)\n"
           "  --max-memory SIZE    memory the whole run may take for decoding, in bytes or\n"
           "                       with K, M, G or T (default: half the physical memory,\n"
           "                       or of the control group's memory limit if smaller)\n"
           "  --files-from FILE    also take the paths listed in FILE, one per line, after\n"
           "                       the PATH arguments; FILE - reads standard input\n"
           "  --null               the lists of --files-from are separated by NUL characters\n"
           "                       (as find -print0 writes them), not by newlines\n"
           "  --dry-run            write nothing; print each output path and what the run\n"
           "                       would do with it, reading only the files' headers\n"
           "  --help               show this help and exit\n"
           "  --version            show the version and exit\n"
           "  --                   take every later argument as a PATH\n"
           "\n"
           "The outputs are the same whatever the number of jobs. Ctrl-C (or SIGTERM,\n"
           "SIGHUP, SIGQUIT) stops after the files in progress; a second one quits at once.\n"
           "Neither leaves a partial file. A file with damaged data is written all the same\n"
           "and reported.\n"
           "Exit status: 0 when every file was written (with --dry-run: would be written),\n"
           "1 when a file failed or had damaged data, or the run ended early, 2 for a\n"
           "command line that cannot be run.\n";
}

}  // namespace pixmora
