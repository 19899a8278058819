// Turns libjpeg's fatal errors into EJPEG without ever unwinding C++ through libjpeg:
// error_exit records the message code and libjpeg's text of it and jumps back to the one guarded
// call below, which returns normally; the exception is thrown only after that.
#pragma once

#include <csetjmp>
#include <cstdio>
#include <string>
#include <type_traits>

#include <jpeglib.h>

namespace pixmora {

class TCodecArena;

// Every libjpeg object of the program carries one: it is the one place libjpeg leaves for
// what belongs to the program's side of an object.
struct TJPEGErrorManager : jpeg_error_mgr {
    std::jmp_buf jump;
    int code = 0;
    // libjpeg's message of the fatal error, parameters filled in.
    char message[JMSG_LENGTH_MAX] = {};
    // Warnings about the data (a file cut short, a corrupt segment): how many, and the
    // first in libjpeg's words.
    int warnings = 0;
    char first_warning[JMSG_LENGTH_MAX] = {};
    // Where the object's large memory comes from; null: from the system.
    TCodecArena* arena = nullptr;
};

// Points the libjpeg object's error handler at manager (before jpeg_create_*): fatal
// errors jump back, warnings are counted (the first one's text kept), traces and other
// message output are dropped.
jpeg_error_mgr* InstallErrorManager(TJPEGErrorManager& manager);

// manager when err is one installed by InstallErrorManager, else null (objects of other
// libraries in the process use the same libjpeg).
TJPEGErrorManager* OwnErrorManager(jpeg_error_mgr* err);

// Runs step(context) under setjmp; false when libjpeg raised a fatal error. step must
// keep no object with a destructor alive while it calls libjpeg.
bool CallGuarded(TJPEGErrorManager& manager, void (*step)(void*), void* context);

// Throws EJPEG with the code of the fatal error that manager recorded; EOutOfMemory when
// libjpeg was refused memory or found its memory limit too small.
[[noreturn]] void ThrowJPEGError(const TJPEGErrorManager& manager);

// libjpeg's text for a message code that takes no parameters, for errors this program raises
// itself with libjpeg's codes; empty for a code libjpeg does not know.
std::string JPEGMessageText(int code);

// Runs a libjpeg step (a lambda capturing by reference) and throws as ThrowJPEGError
// when libjpeg gave up.
template <class Step>
void RunGuarded(TJPEGErrorManager& manager, Step&& step) {
    auto trampoline = [](void* context) {
        (*static_cast<std::remove_reference_t<Step>*>(context))();
    };
    if (!CallGuarded(manager, trampoline, &step)) ThrowJPEGError(manager);
}

}  // namespace pixmora
