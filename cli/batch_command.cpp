// Collecting the command line's files and folders and running the batch over them.
#include "cli/batch_command.h"

#include <filesystem>
#include <system_error>

#include "cli/batch_options.h"
#include "cli/terminal_view.h"
#include "collect/file_list.h"
#include "engine/batch_run.h"
#include "engine/file_entry.h"
#include "update/app_identity.h"

namespace pixmora {

namespace {

namespace fs = std::filesystem;

// The path as the list keeps it: absolute, without "." and ".." parts, so the folder name
// and the output folder are those of the real folder.
std::string ListedPath(const std::string& path) {
    std::error_code ec;
    const fs::path absolute = fs::absolute(path, ec);
    return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                    bool err_is_terminal, const volatile std::sig_atomic_t* interrupts) {
    BatchOptions options;
    try {
        options = ParseBatchOptions(args);
        if (options.fixed_folder_mode) {
            std::error_code ec;
            if (!fs::is_directory(options.fixed_folder, ec)) {
                throw UsageError("'" + options.fixed_folder + "' is not a folder");
            }
        }
    } catch (const UsageError& e) {
        err << "pixmora-batch: " << e.what() << "\n\n" << BatchUsage();
        return kExitUsage;
    }
    if (options.help) {
        out << BatchUsage();
        return kExitAllWritten;
    }
    if (options.version) {
        out << kAppName << ' ' << kAppVersion << '\n';
        return kExitAllWritten;
    }

    std::vector<TListe_File> files;
    bool missing = false;
    for (const std::string& path : options.paths) {
        std::error_code ec;
        const fs::file_status status = fs::status(path, ec);
        if (ec || !fs::exists(status)) {
            err << "pixmora-batch: cannot find '" << path << "'\n";
            missing = true;
        } else if (fs::is_directory(status)) {
            AddDroppedFolder(files, ListedPath(path));
        } else {
            TListe_File entry;
            entry.FullName = ListedPath(path);
            files.push_back(entry);
        }
    }
    if (interrupts != nullptr && *interrupts != 0) return kExitSomeFailed;

    RunState state;
    TerminalView view(files, state, err, err_is_terminal, interrupts, options.ratio,
                      options.fixed_folder_mode, options.fixed_folder);
    RunBatch(files, state, view);
    view.Finish();
    return view.AllWritten() && !missing ? kExitAllWritten : kExitSomeFailed;
}

}  // namespace pixmora
