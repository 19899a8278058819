// Owner of one libjpeg compressor: created with the jumping error handler, always
// destroyed, errors included.
#pragma once

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "engine/codec/jpeg_error_manager.h"
#include "engine/memory/codec_arena.h"

namespace pixmora {

class TCompressObject {
public:
    // Throws EJPEG when libjpeg cannot create the compressor. Its large memory comes from
    // arena when one is given.
    explicit TCompressObject(TCodecArena* arena = nullptr);
    ~TCompressObject();
    TCompressObject(const TCompressObject&) = delete;
    TCompressObject& operator=(const TCompressObject&) = delete;

    jpeg_compress_struct& Info() { return info_; }
    const jpeg_compress_struct& Info() const { return info_; }

    // Runs a step that calls libjpeg; a fatal libjpeg error becomes EJPEG, or EOutOfMemory
    // when it is about memory.
    template <class Step>
    void Run(Step&& step) {
        RunGuarded(errors_, step);
    }

private:
    TJPEGErrorManager errors_;
    jpeg_compress_struct info_{};
};

}  // namespace pixmora
