// The steps every file of a run goes through.
#include "engine/run/file_resize.h"

#include <cerrno>

#include "engine/codec/jpeg_errors.h"
#include "engine/codec/picture_to_cover.h"
#include "engine/resample/picture_for_box.h"
#include "engine/resample/resize_to_ratio.h"
#include "engine/resample/resize_with_lanczos.h"
#include "engine/run/target_size.h"

namespace pixmora {

namespace {

FailureReason NoPixelsAt(int32_t ratio) {
    FailureReason reason;
    reason.kind = FailureKind::NoPixels;
    reason.ratio = ratio;
    return reason;
}

// Why output is not written for source, or None.
FailureReason RefusalReason(const std::string& source, const std::string& output) {
    FailureReason reason;
    switch (RefuseOutput(source, output)) {
        case OutputRefusal::OwnSource:
            reason.kind = FailureKind::OwnSource;
            break;
        case OutputRefusal::ReadOnly:
            reason.kind = FailureKind::ReadOnlyOutput;
            reason.path = output;
            break;
        case OutputRefusal::Folder:
            // The writer refuses it as a folder; said as it says it.
            reason.kind = FailureKind::CannotWrite;
            reason.error_number = EISDIR;
            reason.path = output;
            break;
        case OutputRefusal::None:
            break;
    }
    return reason;
}

}  // namespace

namespace {

// What the filter holds besides the target and libjpeg's memory.
uint64_t FilterMemoryNeed(ResampleFilter filter, int32_t source_width, int32_t source_height,
                          int32_t target_width, int32_t target_height) {
    if (filter != ResampleFilter::Lanczos) return 0;
    return LanczosMemoryNeed(source_width, source_height, target_width, target_height);
}

}  // namespace

uint64_t FileMemoryNeed(const TJPEGImage& image, int32_t target_width, int32_t target_height,
                        ResampleFilter filter) {
    return TPixelBuffer::CheckedByteCount(target_width, target_height) + image.DecoderMemoryNeed() +
           FilterMemoryNeed(filter, image.Width(), image.Height(), target_width, target_height);
}

uint64_t FileMemoryNeed(const TJPEGHeader& header, int32_t target_width, int32_t target_height,
                        ResampleFilter filter) {
    return TPixelBuffer::CheckedByteCount(target_width, target_height) +
           DecoderMemoryNeed(header.coefficient_bytes, header.width) +
           FilterMemoryNeed(filter, header.width, header.height, target_width, target_height);
}

bool HasNoPixels(int32_t target_width, int32_t target_height) {
    return (target_width == 0 && target_height >= 0) || (target_height == 0 && target_width >= 0);
}

namespace {

// The file's steps; share is the file's part of memory once taken.
FileResult ResizeWithShare(const FileJob& job, WorkerMemory& kept, MemoryReservation& share,
                           MemoryPool& memory, RunControl& control) {
    TJPEGImage& image = kept.Image();
    TPixelBuffer& target = kept.Target();
    FileResult result;
    result.output = job.output;
    const FileSettings& settings = job.settings;
    try {
        image.SetSaveChoices({settings.quality, settings.keep_metadata});
        image.LoadFromFile(job.entry.FullName);
        result.source_width = image.Width();
        result.source_height = image.Height();
        result.measured = true;
        const PictureSize size =
            TargetSize(settings, image.Width(), image.Height(), image.Orientation());
        result.target_width = size.width;
        result.target_height = size.height;
        if (HasNoPixels(result.target_width, result.target_height)) {
            result.outcome = FileOutcome::NoPixels;
            // Fitted, only a source without pixels gives none: no ratio to name.
            result.failure = NoPixelsAt(FitsInBox(settings) ? 0 : settings.ratio);
            return result;
        }
        share =
            kept.ShareFor(memory, image.DecoderMemoryNeed(),
                          TPixelBuffer::CheckedByteCount(result.target_width, result.target_height),
                          FilterMemoryNeed(settings.filter, image.Width(), image.Height(),
                                           result.target_width, result.target_height));
        image.SetMemoryBudget(share.Bytes());
        const BoxFit fit =
            FitInBox(image.Width(), image.Height(), settings.box_width, settings.box_height);
        const bool boxed = fit.width > 0 && fit.height > 0;
        if (boxed && (result.target_width < fit.width || result.target_height < fit.height)) {
            // A copy smaller than the box shows the file from a reduced decode instead.
            result.shown = ReduceForBox(DecodeToCover(image, fit.width, fit.height),
                                        settings.box_width, settings.box_height);
        }
        if (settings.filter == ResampleFilter::Lanczos)
            ResizeWithLanczos(image, target, result.target_width, result.target_height);
        else
            ResizeToSize(image, target, result.target_width, result.target_height);
        result.warnings = image.DecodeWarnings();
        result.warning = image.FirstWarning();
        if (boxed && result.shown.Empty())
            result.shown = ReduceForBox(target, settings.box_width, settings.box_height);
    } catch (const std::exception& failure) {
        result.outcome = FileOutcome::LoadFailed;
        result.failure = FailureReasonOf(failure, FailureStage::Load, job.output);
        return result;
    } catch (...) {
        result.outcome = FileOutcome::LoadFailed;
        result.failure.kind = FailureKind::Other;
        return result;
    }

    try {
        EnsureFolder(
            ComposeOutputFolder(job.entry, settings.fixed_folder_mode, settings.fixed_folder));
        result.failure = RefusalReason(job.entry.FullName, job.output);
        if (result.failure.kind != FailureKind::None) {
            result.outcome = FileOutcome::SaveFailed;
            return result;
        }
        const auto hold = control.EnterSave();
        result.pending = image.SaveToPendingFile(job.output);
        result.outcome = FileOutcome::Saved;
    } catch (const std::exception& failure) {
        result.outcome = FileOutcome::SaveFailed;
        result.failure = FailureReasonOf(failure, FailureStage::Save, job.output);
    } catch (...) {
        result.outcome = FileOutcome::SaveFailed;
        result.failure.kind = FailureKind::Other;
    }
    return result;
}

}  // namespace

FileResult ResizeListedFile(const FileJob& job, WorkerMemory& kept, MemoryPool& memory,
                            RunControl& control) {
    MemoryReservation share;
    FileResult result = ResizeWithShare(job, kept, share, memory, control);
    kept.KeepAfterFile(memory, std::move(share));
    return result;
}

}  // namespace pixmora
