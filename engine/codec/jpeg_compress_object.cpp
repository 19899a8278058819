// Creation and destruction of the owned compressor.
#include "engine/codec/jpeg_compress_object.h"

#include "engine/codec/jpeg_large_memory.h"

namespace pixmora {

TCompressObject::TCompressObject(TCodecArena* arena) {
    info_.err = InstallErrorManager(errors_);
    BeginLargeMemory(errors_, arena);
    jpeg_compress_struct* info = &info_;
    if (!CallGuarded(
            errors_,
            [](void* context) { jpeg_create_compress(static_cast<j_compress_ptr>(context)); },
            info)) {
        jpeg_destroy_compress(&info_);
        EndLargeMemory(errors_);
        ThrowJPEGError(errors_);
    }
}

TCompressObject::~TCompressObject() {
    jpeg_destroy_compress(&info_);
    EndLargeMemory(errors_);
}

}  // namespace pixmora
