// Creation and destruction of the owned compressor.
#include "engine/codec/jpeg_compress_object.h"

namespace pixmora {

TCompressObject::TCompressObject() {
    info_.err = InstallErrorManager(errors_);
    jpeg_compress_struct* info = &info_;
    if (!CallGuarded(
            errors_,
            [](void* context) { jpeg_create_compress(static_cast<j_compress_ptr>(context)); },
            info)) {
        jpeg_destroy_compress(&info_);
        ThrowJPEGError(errors_);
    }
}

TCompressObject::~TCompressObject() { jpeg_destroy_compress(&info_); }

}  // namespace pixmora
