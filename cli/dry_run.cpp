// The dry run: every file's header read and its output examined, then clashes found among
// the outputs that would be written.
#include "cli/dry_run.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "cli/escaped_text.h"
#include "engine/files/atomic_file_writer.h"
#include "engine/run/file_resize.h"
#include "engine/codec/jpeg_image.h"

namespace pixmora {

namespace {

struct PlannedOutput {
    std::string path;
    std::string outcome;    // what would happen, when it is not a clash
    bool written = false;   // the file would be written (clash aside)
    std::size_t clash = 0;  // 1-based line of another entry with the same output; 0 for none
};

bool HasJpegHeader(TJPEGImage& image, const std::string& path) {
    try {
        image.LoadFromFile(path);
        return !image.EncodedBytes().empty();
    } catch (...) {
        return false;
    }
}

PlannedOutput Plan(const TListe_File& entry, bool fixed_folder_mode,
                   const std::string& fixed_folder, TJPEGImage& image) {
    PlannedOutput planned;
    planned.path = OutputPath(entry, fixed_folder_mode, fixed_folder);
    if (!HasJpegHeader(image, entry.FullName)) {
        planned.outcome = "not a JPEG";
    } else if (IsOwnSource(entry.FullName, planned.path)) {
        planned.outcome = "refused: the output is the source itself";
    } else if (IsReadOnlyFile(planned.path)) {
        planned.outcome = "refused: read-only output";
    } else {
        std::error_code ec;
        const std::filesystem::file_status status = std::filesystem::status(planned.path, ec);
        if (std::filesystem::is_directory(status)) {
            planned.outcome = "refused: the output is a folder";
        } else {
            planned.outcome = std::filesystem::exists(status) ? "replaces an existing file" : "new";
            planned.written = true;
        }
    }
    return planned;
}

}  // namespace

bool ReportDryRun(const std::vector<TListe_File>& files, bool fixed_folder_mode,
                  const std::string& fixed_folder, const RunControl& control, std::ostream& out) {
    std::vector<PlannedOutput> plans;
    plans.reserve(files.size());
    TJPEGImage image;
    for (const TListe_File& entry : files) {
        if (control.StopRequested()) return false;
        plans.push_back(Plan(entry, fixed_folder_mode, fixed_folder, image));
    }

    // Each entry of a clash names the first other entry writing the same output.
    std::map<std::string, std::vector<std::size_t>> writers;
    for (std::size_t i = 0; i < plans.size(); ++i)
        if (plans[i].written) writers[OutputIdentity(plans[i].path)].push_back(i);
    for (const auto& [output, lines] : writers) {
        if (lines.size() < 2) continue;
        for (std::size_t i : lines) plans[i].clash = (i == lines[0] ? lines[1] : lines[0]) + 1;
    }

    bool all_written = true;
    for (const PlannedOutput& planned : plans) {
        out << EscapeControlCharacters(planned.path) << ": ";
        if (planned.clash != 0) {
            out << "clash: also written by line " << planned.clash << '\n';
        } else {
            out << planned.outcome << '\n';
        }
        all_written = all_written && planned.written && planned.clash == 0;
    }
    out << std::flush;
    return all_written;
}

}  // namespace pixmora
