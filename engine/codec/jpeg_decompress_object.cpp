// Creation and destruction of the owned decompressor.
#include "engine/codec/jpeg_decompress_object.h"

namespace pixmora {

TDecompressObject::TDecompressObject() {
    info_.err = InstallErrorManager(errors_);
    jpeg_decompress_struct* info = &info_;
    if (!CallGuarded(
            errors_,
            [](void* context) { jpeg_create_decompress(static_cast<j_decompress_ptr>(context)); },
            info)) {
        jpeg_destroy_decompress(&info_);
        ThrowJPEGError(errors_);
    }
}

TDecompressObject::~TDecompressObject() { jpeg_destroy_decompress(&info_); }

}  // namespace pixmora
