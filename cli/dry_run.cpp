// The dry run: each file taken as the run takes it, up to the point where the run would
// read its pixels, then the outputs written twice told apart.
#include "cli/dry_run.h"

#include <filesystem>
#include <map>
#include <system_error>

#include "cli/escaped_text.h"
#include "cli/failure_text.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/memory/memory_budget.h"
#include "engine/run/file_resize.h"
#include "engine/run/header_probe.h"
#include "engine/run/target_size.h"

namespace pixmora {

namespace {

struct PlannedOutput {
    std::string path;
    std::string size;         // the output's width x height, once known
    std::string outcome;      // what would happen, clashes aside
    bool written = false;     // the file would be written
    bool ends_run = false;    // the run would end at this file
    std::size_t earlier = 0;  // 1-based line writing the same output before; 0 for none
    std::size_t later = 0;    // 1-based line writing the same output after; 0 for none
};

std::string RefusalText(OutputRefusal refusal) {
    switch (refusal) {
        case OutputRefusal::OwnSource:
            return "refused: the output is the source itself";
        case OutputRefusal::ReadOnly:
            return "refused: read-only output";
        case OutputRefusal::Folder:
            return "refused: the output is a folder";
        case OutputRefusal::None:
            break;
    }
    return {};
}

PlannedOutput Plan(const TListe_File& entry, const ParallelBatchSettings& settings,
                   uint64_t budget) {
    PlannedOutput planned;
    planned.path = OutputPath(entry, settings.file.fixed_folder_mode, settings.file.fixed_folder);
    const HeaderProbe probe = ProbeJPEGHeader(entry.FullName);
    FailureReason failure = probe.failure;
    if (probe.read) {
        const FileSettings& file = settings.file;
        const PictureSize size =
            TargetSize(file, probe.header.width, probe.header.height, probe.header.orientation);
        const int32_t width = size.width;
        const int32_t height = size.height;
        if (HasNoPixels(width, height)) {
            failure.kind = FailureKind::NoPixels;
            failure.ratio = FitsInBox(file) ? 0 : file.ratio;
            planned.outcome = DryRunFailureText(failure);
            return planned;
        }
        planned.size = std::to_string(width) + " x " + std::to_string(height);
        try {
            const uint64_t need = FileMemoryNeed(probe.header, width, height, file.filter);
            if (need > budget) throw EMemoryBudgetExceeded(need, budget);
        } catch (const std::exception& refused) {
            failure = FailureReasonOf(refused, FailureStage::Load, planned.path);
        }
    }
    if (failure.kind != FailureKind::None) {
        planned.outcome = DryRunFailureText(failure);
        planned.ends_run = true;
        return planned;
    }
    if (const OutputRefusal refusal = RefuseOutput(entry.FullName, planned.path);
        refusal != OutputRefusal::None) {
        planned.outcome = RefusalText(refusal);
        return planned;
    }
    std::error_code ec;
    planned.outcome =
        std::filesystem::exists(planned.path, ec) ? "replaces an existing file" : "new";
    planned.written = true;
    return planned;
}

}  // namespace

bool ReportDryRun(const std::vector<TListe_File>& files, const ParallelBatchSettings& settings,
                  const RunControl& control, std::ostream& out) {
    const uint64_t budget =
        settings.memory_budget != 0 ? settings.memory_budget : DefaultMemoryBudget();
    std::vector<PlannedOutput> plans;
    plans.reserve(files.size());
    std::size_t end_line = 0;  // 1-based line the run would end at
    for (const TListe_File& entry : files) {
        if (control.StopRequested()) return false;
        if (end_line != 0) {
            PlannedOutput skipped;
            skipped.path =
                OutputPath(entry, settings.file.fixed_folder_mode, settings.file.fixed_folder);
            skipped.outcome = "not reached: the run ends at line " + std::to_string(end_line);
            plans.push_back(skipped);
            continue;
        }
        plans.push_back(Plan(entry, settings, budget));
        if (plans.back().ends_run) end_line = plans.size();
    }

    // Files of one output are written in list order: the last one's copy stays.
    std::map<std::string, std::size_t> last_writer;
    for (std::size_t i = 0; i < plans.size(); ++i) {
        if (!plans[i].written) continue;
        const auto [writer, first] = last_writer.emplace(OutputIdentity(plans[i].path), i);
        if (first) continue;
        plans[writer->second].later = i + 1;
        plans[i].earlier = writer->second + 1;
        writer->second = i;
    }

    bool all_written = true;
    for (const PlannedOutput& planned : plans) {
        std::string line = planned.earlier != 0
                               ? "replaces the output of line " + std::to_string(planned.earlier)
                               : planned.outcome;
        if (planned.later != 0)
            line += ", then line " + std::to_string(planned.later) + " replaces it";
        if (planned.written) line = planned.size + ", " + line;
        out << EscapeControlCharacters(planned.path) << ": " << line << '\n';
        all_written = all_written && planned.written;
    }
    out << std::flush;
    return all_written;
}

}  // namespace pixmora
