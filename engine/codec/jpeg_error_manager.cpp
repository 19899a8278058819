// libjpeg error handler that jumps back to the guarded call instead of exiting.
#include "engine/codec/jpeg_error_manager.h"

#include <jerror.h>

#include "engine/codec/jpeg_errors.h"

namespace pixmora {

namespace {

void ErrorExit(j_common_ptr info) {
    auto* manager = static_cast<TJPEGErrorManager*>(info->err);
    manager->code = manager->msg_code;
    manager->format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

void OutputNothing(j_common_ptr) {}

// Level -1 is a warning, the others are traces.
void CountWarnings(j_common_ptr info, int level) {
    if (level >= 0) return;
    auto* manager = static_cast<TJPEGErrorManager*>(info->err);
    ++manager->num_warnings;
    if (manager->warnings++ == 0) manager->format_message(info, manager->first_warning);
}

}  // namespace

TJPEGErrorManager* OwnErrorManager(jpeg_error_mgr* err) {
    if (err == nullptr || err->error_exit != ErrorExit) return nullptr;
    return static_cast<TJPEGErrorManager*>(err);
}

jpeg_error_mgr* InstallErrorManager(TJPEGErrorManager& manager) {
    jpeg_error_mgr* base = jpeg_std_error(&manager);
    manager.error_exit = ErrorExit;
    manager.output_message = OutputNothing;
    manager.emit_message = CountWarnings;
    manager.code = 0;
    manager.message[0] = '\0';
    manager.warnings = 0;
    manager.first_warning[0] = '\0';
    return base;
}

bool CallGuarded(TJPEGErrorManager& manager, void (*step)(void*), void* context) {
    if (setjmp(manager.jump)) return false;
    step(context);
    return true;
}

void ThrowJPEGError(const TJPEGErrorManager& manager) {
    if (manager.code == JERR_OUT_OF_MEMORY || manager.code == JERR_NO_BACKING_STORE)
        throw EOutOfMemory();
    throw EJPEG(manager.code, manager.message);
}

std::string JPEGMessageText(int code) {
    jpeg_error_mgr manager = {};
    jpeg_std_error(&manager);
    if (code <= 0 || code > manager.last_jpeg_message) return {};
    jpeg_common_struct common = {};
    common.err = &manager;
    manager.msg_code = code;
    char text[JMSG_LENGTH_MAX] = {};
    manager.format_message(&common, text);
    return text;
}

}  // namespace pixmora
