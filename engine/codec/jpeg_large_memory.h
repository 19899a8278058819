// libjpeg's large memory (coefficient arrays, row buffers) taken from a worker's arena.
//
// libjpeg asks for its large objects through jpeg_get_large and jpeg_free_large, which
// the program provides in place of the library's own (plain malloc and free): pieces of an
// object drawing on an arena come from it, every other object's from the system as before.
#pragma once

#include "engine/codec/jpeg_error_manager.h"
#include "engine/memory/codec_arena.h"

namespace pixmora {

// Makes the object that manager handles take its large memory from arena (null: from the
// system) for its whole life: call before the object is created, and EndLargeMemory after
// it is destroyed.
void BeginLargeMemory(TJPEGErrorManager& manager, TCodecArena* arena);
void EndLargeMemory(TJPEGErrorManager& manager);

}  // namespace pixmora
