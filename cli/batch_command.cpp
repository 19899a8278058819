// Collecting the command line's files and folders and running the batch over them.
#include "cli/batch_command.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "cli/batch_options.h"
#include "cli/dry_run.h"
#include "cli/escaped_text.h"
#include "cli/name_list.h"
#include "cli/terminal_view.h"
#include "collect/file_list.h"
#include "engine/files/file_entry.h"
#include "engine/run/online_cores.h"
#include "engine/run/parallel_batch_run.h"
#include "update/app_identity.h"

namespace pixmora {

namespace {

namespace fs = std::filesystem;

constexpr char kProgram[] = "pixmora-batch";

std::string Quoted(const std::string& text) { return "'" + EscapeControlCharacters(text) + "'"; }

// The path as the list keeps it: absolute, without "." and ".." parts, so the folder name
// and the output folder are those of the real folder.
std::string ListedPath(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

// The listed files, in the order of the command line and then of each list.
class Collection {
public:
    Collection(std::istream& in, std::ostream& err) : in_(in), err_(err) {}

    // Adds a path as a dropped name: a folder's JPEG files, or a file as it is. A path that
    // does not exist is reported.
    void AddPath(const std::string& path) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (!fs::exists(status)) {
            const std::error_code reason =
                ec ? ec : std::make_error_code(std::errc::no_such_file_or_directory);
            err_ << kProgram << ": cannot access " << Quoted(path) << ": " << reason.message()
                 << '\n';
            missing_ = true;
        } else if (fs::is_directory(status)) {
            AddDroppedFolder(files_, ListedPath(path));
        } else {
            TListe_File entry;
            entry.FullName = ListedPath(path);
            files_.push_back(entry);
        }
    }

    // Adds every path of a list file ("-": the standard input); false when it cannot be read.
    bool AddList(const std::string& list, char separator) {
        std::ifstream file;
        std::istream* stream = &in_;
        if (list != "-") {
            std::error_code ec;
            if (fs::is_directory(list, ec)) return Unreadable(list, EISDIR);
            errno = 0;
            file.open(list, std::ios::binary);
            if (!file) return Unreadable(list, errno);
            stream = &file;
        }
        errno = 0;
        const std::vector<std::string> names = ReadNameList(*stream, separator);
        if (stream->bad()) return Unreadable(list, errno);
        for (const std::string& name : names) AddPath(name);
        return true;
    }

    std::vector<TListe_File>& Files() { return files_; }
    bool Missing() const { return missing_; }

private:
    bool Unreadable(const std::string& list, int error_number) {
        err_ << kProgram << ": cannot read " << Quoted(list) << ": "
             << std::strerror(error_number != 0 ? error_number : EIO) << '\n';
        return false;
    }

    std::istream& in_;
    std::ostream& err_;
    std::vector<TListe_File> files_;
    bool missing_ = false;
};

}  // namespace

ParallelBatchSettings RunSettingsOf(const BatchOptions& options) {
    ParallelBatchSettings settings;
    FileSettings& file = settings.file;
    file.ratio = options.ratio;
    file.fixed_folder_mode = options.fixed_folder_mode;
    file.fixed_folder = options.fixed_folder;
    file.fit_width = options.fit_width;
    file.fit_height = options.fit_height;
    file.quality = options.quality;
    file.filter = options.filter;
    file.keep_metadata = options.keep_metadata;
    settings.jobs = options.jobs > 0 ? options.jobs : OnlineCores();
    settings.memory_budget = options.max_memory;
    return settings;
}

int RunBatchCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                    std::ostream& err, bool err_is_terminal, RunControl& control) {
    BatchOptions options;
    try {
        options = ParseBatchOptions(args);
        if (options.fixed_folder_mode) {
            std::error_code ec;
            if (!fs::is_directory(options.fixed_folder, ec)) {
                throw UsageError(Quoted(options.fixed_folder) + " is not a folder");
            }
        }
    } catch (const UsageError& e) {
        err << kProgram << ": " << e.what() << "\nTry '" << kProgram
            << " --help' for more information.\n";
        return kExitUsage;
    }
    if (options.help) {
        out << BatchUsage();
        return kExitAllWritten;
    }
    if (options.version) {
        out << kProgram << " (" << kAppName << ") " << kAppVersion << '\n';
        return kExitAllWritten;
    }

    Collection collection(in, err);
    for (const std::string& path : options.paths) collection.AddPath(path);
    for (const std::string& list : options.files_from) {
        if (!collection.AddList(list, options.null_separated ? '\0' : '\n')) return kExitUsage;
    }
    if (control.StopRequested()) return kExitSomeFailed;
    std::vector<TListe_File>& files = collection.Files();
    if (files.empty()) {
        // Nothing to run; a path that was not found has been reported already.
        if (!collection.Missing()) err << kProgram << ": no JPEG file found\n";
        return collection.Missing() ? kExitSomeFailed : kExitAllWritten;
    }
    for (TListe_File& entry : files) DeriveEntryNames(entry);

    const ParallelBatchSettings settings = RunSettingsOf(options);
    bool all_written = false;
    if (options.dry_run) {
        all_written = ReportDryRun(files, settings, control, out);
    } else {
        TerminalView view(err, err_is_terminal);
        const int32_t written = RunBatchInParallel(files, settings, control, view);
        view.Finish();
        // A file written from damaged data counts as one that failed.
        all_written = written == static_cast<int32_t>(files.size()) && view.DamagedFiles() == 0;
    }
    return all_written && !collection.Missing() ? kExitAllWritten : kExitSomeFailed;
}

}  // namespace pixmora
