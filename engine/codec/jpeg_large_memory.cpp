// The program's jpeg_get_large and jpeg_free_large, found before libjpeg's own.
#include "engine/codec/jpeg_large_memory.h"

#include <cstdlib>

#include <jpeglib.h>

namespace pixmora {

namespace {

TCodecArena* ArenaOf(j_common_ptr info) {
    TJPEGErrorManager* manager = OwnErrorManager(info->err);
    return manager ? manager->arena : nullptr;
}

}  // namespace

void BeginLargeMemory(TJPEGErrorManager& manager, TCodecArena* arena) {
    manager.arena = arena;
    if (arena) arena->BeginUse();
}

void EndLargeMemory(TJPEGErrorManager& manager) {
    if (manager.arena) manager.arena->EndUse();
    manager.arena = nullptr;
}

}  // namespace pixmora

// libjpeg's memory manager calls these for every object above its small-object size.
extern "C" void* jpeg_get_large(j_common_ptr info, size_t bytes) {
    if (pixmora::TCodecArena* arena = pixmora::ArenaOf(info)) {
        if (void* piece = arena->Take(bytes)) return piece;
        arena->NotePieceOutside();
    }
    return std::malloc(bytes);
}

extern "C" void jpeg_free_large(j_common_ptr info, void* object, size_t) {
    // A piece of the arena is free again once its decoding ends.
    if (pixmora::TCodecArena* arena = pixmora::ArenaOf(info); arena && arena->Owns(object)) return;
    std::free(object);
}
