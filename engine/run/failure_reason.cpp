// From the engine's exceptions to the reasons of a failure.
#include "engine/run/failure_reason.h"

#include <jerror.h>
#include <jpeglib.h>

#include "engine/codec/jpeg_error_manager.h"
#include "engine/codec/jpeg_errors.h"

namespace pixmora {

namespace {

FailureReason Reason(FailureKind kind) {
    FailureReason reason;
    reason.kind = kind;
    return reason;
}

std::string MessageOf(const EJPEG& failure) {
    if (!failure.Message().empty()) return failure.Message();
    const std::string text = JPEGMessageText(failure.Code());
    return text.empty() ? failure.what() : text;
}

}  // namespace

FailureReason FailureReasonOf(const std::exception& failure, FailureStage stage,
                              const std::string& output) {
    // The most derived types first.
    if (const auto* over = dynamic_cast<const EMemoryBudgetExceeded*>(&failure)) {
        FailureReason reason = Reason(FailureKind::OverBudget);
        reason.needed = over->Needed();
        reason.budget = over->Budget();
        return reason;
    }
    if (dynamic_cast<const EOutOfMemory*>(&failure)) return Reason(FailureKind::OutOfMemory);
    if (dynamic_cast<const ENotRegularFile*>(&failure)) return Reason(FailureKind::NotRegularFile);
    if (const auto* open = dynamic_cast<const EFOpenError*>(&failure)) {
        FailureReason reason = Reason(FailureKind::CannotOpen);
        reason.error_number = open->ErrorNumber();
        return reason;
    }
    if (const auto* create = dynamic_cast<const EFCreateError*>(&failure)) {
        FailureReason reason = Reason(FailureKind::CannotWrite);
        reason.error_number = create->ErrorNumber();
        reason.path = output;
        return reason;
    }
    if (dynamic_cast<const EDamagedData*>(&failure)) {
        FailureReason reason = Reason(FailureKind::DamagedData);
        reason.message = failure.what();
        return reason;
    }
    if (const auto* jpeg = dynamic_cast<const EJPEG*>(&failure)) {
        if (stage == FailureStage::Load && jpeg->Code() == JERR_NO_SOI)
            return Reason(FailureKind::NotJpeg);
        FailureReason reason = Reason(stage == FailureStage::Load ? FailureKind::DamagedData
                                                                  : FailureKind::CannotEncode);
        reason.message = MessageOf(*jpeg);
        return reason;
    }
    FailureReason reason = Reason(FailureKind::Other);
    reason.message = failure.what();
    return reason;
}

}  // namespace pixmora
