// The failure texts of pixmora-batch.
#include "cli/failure_text.h"

#include <cstring>

namespace pixmora {

namespace {

constexpr uint64_t kMebibyte = 1 << 20;

std::string SystemText(int error_number) { return std::strerror(error_number); }

// The need rounded up and the budget down, so that the one always reads larger.
std::string NeedMebibytes(uint64_t bytes) {
    return std::to_string(bytes / kMebibyte + (bytes % kMebibyte != 0 ? 1 : 0));
}

std::string BudgetMebibytes(uint64_t bytes) { return std::to_string(bytes / kMebibyte); }

std::string NoPixelsText(const FailureReason& reason) {
    if (reason.ratio == 0) return "no pixels in the source";
    return "no pixels at " + std::to_string(reason.ratio) + " %";
}

std::string OtherText(const FailureReason& reason) {
    return reason.message.empty() ? "failed" : reason.message;
}

}  // namespace

std::string RunFailureText(const FailureReason& reason) {
    switch (reason.kind) {
        case FailureKind::CannotOpen:
            return "cannot open: " + SystemText(reason.error_number);
        case FailureKind::NotRegularFile:
            return "not a regular file";
        case FailureKind::NotJpeg:
            return "not a JPEG file";
        case FailureKind::DamagedData:
            return "damaged data: " + reason.message;
        case FailureKind::OverBudget:
            return "needs " + NeedMebibytes(reason.needed) + " MiB, over the memory budget of " +
                   BudgetMebibytes(reason.budget) + " MiB (--max-memory)";
        case FailureKind::OutOfMemory:
            return "not enough memory";
        case FailureKind::NoPixels:
            return NoPixelsText(reason);
        case FailureKind::OwnSource:
            return "the output is the source itself";
        case FailureKind::ReadOnlyOutput:
            return "read-only output " + reason.path;
        case FailureKind::CannotWrite:
            return "cannot write " + reason.path + ": " + SystemText(reason.error_number);
        case FailureKind::CannotEncode:
            return "cannot encode: " + reason.message;
        case FailureKind::None:
        case FailureKind::Other:
            break;
    }
    return OtherText(reason);
}

std::string DryRunFailureText(const FailureReason& reason) {
    switch (reason.kind) {
        case FailureKind::CannotOpen:
            return "cannot read: " + SystemText(reason.error_number);
        case FailureKind::NotRegularFile:
            return "cannot read: not a regular file";
        case FailureKind::NotJpeg:
            return "not a JPEG";
        case FailureKind::OverBudget:
            return "refused: needs " + NeedMebibytes(reason.needed) + " MiB, over the budget of " +
                   BudgetMebibytes(reason.budget) + " MiB";
        case FailureKind::OutOfMemory:
            return "refused: not enough memory";
        case FailureKind::NoPixels:
            return "refused: " + NoPixelsText(reason);
        case FailureKind::OwnSource:
            return "refused: the output is the source itself";
        case FailureKind::ReadOnlyOutput:
            return "refused: read-only output";
        default:
            // The rest reads as in a run.
            return RunFailureText(reason);
    }
}

}  // namespace pixmora
