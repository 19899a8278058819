// Creation and destruction of the owned decompressor.
#include "engine/codec/jpeg_decompress_object.h"

#include "engine/codec/jpeg_large_memory.h"

namespace pixmora {

TDecompressObject::TDecompressObject(TCodecArena* arena) {
    info_.err = InstallErrorManager(errors_);
    BeginLargeMemory(errors_, arena);
    jpeg_decompress_struct* info = &info_;
    if (!CallGuarded(
            errors_,
            [](void* context) { jpeg_create_decompress(static_cast<j_decompress_ptr>(context)); },
            info)) {
        jpeg_destroy_decompress(&info_);
        EndLargeMemory(errors_);
        ThrowJPEGError(errors_);
    }
}

TDecompressObject::~TDecompressObject() {
    jpeg_destroy_decompress(&info_);
    EndLargeMemory(errors_);
}

}  // namespace pixmora
