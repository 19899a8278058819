// Reading the command line of pixmora-batch.
#include "cli/batch_options.h"

#include <cctype>
#include <charconv>
#include <limits>

#include "cli/escaped_text.h"

namespace pixmora {

namespace {

constexpr int kMostJobs = 1024;
// The largest side of a JPEG picture; a larger box holds every picture as it is.
constexpr uint64_t kMostBoxSide = 65500;
constexpr uint64_t kLeastQuality = 1;
constexpr uint64_t kMostQuality = 100;

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

// A box "WxH" (or "WXH"), each side whole pixels from 1 to kMostBoxSide.
void ParseBox(const std::string& text, int32_t& width, int32_t& height) {
    const std::size_t x = text.find_first_of("xX");
    uint64_t sides[2] = {0, 0};
    NumberText read[2] = {NumberText::NotANumber, NumberText::NotANumber};
    if (x != std::string::npos) {
        read[0] = ReadDigits(text.substr(0, x), sides[0]);
        read[1] = ReadDigits(text.substr(x + 1), sides[1]);
    }
    for (const NumberText side : read) {
        if (side == NumberText::NotANumber)
            throw UsageError("the --fit box must be WIDTHxHEIGHT in pixels, as 1600x1200, not " +
                             Quoted(text));
    }
    for (int i = 0; i < 2; ++i) {
        if (read[i] == NumberText::TooLarge || sides[i] > kMostBoxSide)
            throw UsageError("the --fit box " + Quoted(text) + " is too large (at most " +
                             std::to_string(kMostBoxSide) + " pixels a side)");
    }
    if (sides[0] == 0 || sides[1] == 0)
        throw UsageError("the --fit box's width and height must be above 0, not " + Quoted(text));
    width = static_cast<int32_t>(sides[0]);
    height = static_cast<int32_t>(sides[1]);
}

int ParseQuality(const std::string& text) {
    uint64_t value = 0;
    if (ReadDigits(text, value) != NumberText::Valid || value < kLeastQuality ||
        value > kMostQuality)
        throw UsageError("the quality must be a whole number from 1 to 100, not " + Quoted(text));
    return static_cast<int>(value);
}

ResampleFilter ParseFilter(const std::string& text) {
    if (text == "nearest") return ResampleFilter::Nearest;
    if (text == "lanczos") return ResampleFilter::Lanczos;
    throw UsageError("the filter must be nearest or lanczos, not " + Quoted(text));
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
        } else if (arg == "--keep-metadata") {
            options.keep_metadata = true;
        } else if (value_of("--ratio", value)) {
            options.ratio = static_cast<int32_t>(
                ParseCount(value, "the ratio", std::numeric_limits<int32_t>::max()));
            options.ratio_given = true;
        } else if (value_of("--fit", value)) {
            ParseBox(value, options.fit_width, options.fit_height);
        } else if (value_of("--quality", value)) {
            options.quality = ParseQuality(value);
        } else if (value_of("--filter", value)) {
            options.filter = ParseFilter(value);
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
    if (options.ratio_given && options.fit_width > 0)
        throw UsageError("--fit and --ratio cannot be used together");
    if (!options.help && !options.version && options.paths.empty() && options.files_from.empty()) {
        throw UsageError("no file or folder given");
    }
    return options;
}

std::string BatchUsage() {
    return "Usage: pixmora-batch [OPTION]... PATH...\n"
           "  or:  pixmora-batch [OPTION]... --files-from FILE [PATH]...\n"
           "Resizes JPEG files by N percent, or into a box, and writes each copy, under its\n"
           "own name, into a sub folder named after the folder that holds the file: inside\n"
           "that folder, or inside DIR. A PATH that is a folder adds its JPEG files and\n"
           "those of its direct sub folders (no deeper); a PATH that is a file is added as\n"
           "it is.\n"
           "\n"
           "  --ratio N            scale in percent, a whole number above 0 (default 50)\n"
           "  --fit WxH            instead of a ratio, shrink each picture as it is shown\n"
           "                       to fit inside W x H pixels, keeping its proportions; a\n"
           "                       picture already inside keeps its size\n"
           "  --quality N          JPEG quality of the copies, 1 to 100 (default 90)\n"
           "  --filter NAME        resampling: nearest (default: each pixel the source pixel\n"
           "                       it falls on) or lanczos (Lanczos-3, smoother)\n"
           "  --keep-metadata      also carry the Exif data, XMP, IPTC and comments (by\n"
           "                       default only the orientation and the colour profile)\n"
           "  --fixed-folder DIR   create the sub folders inside DIR, an existing folder\n"
           "  -j, --jobs N         resize N files at a time (default: one per online core)\n"
           "  --max-memory SIZE    memory the whole run may take for decoding, in bytes or\n"
           "                       with K, M, G or T (default: half the physical memory,\n"
           "                       or of the control group's memory limit if smaller)\n"
           "  --files-from FILE    also take the paths listed in FILE, one per line, after\n"
           "                       the PATH arguments; FILE - reads standard input\n"
           "  --null               the lists of --files-from are separated by NUL characters\n"
           "                       (as find -print0 writes them), not by newlines\n"
           "  --dry-run            write nothing; print each output path, the copy's size\n"
           "                       and what the run would do, reading only the headers\n"
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
