// Owner of one libjpeg decompressor: created with the jumping error handler, always
// destroyed, errors included.
#pragma once

#include <cstddef>
#include <cstdio>

#include <jpeglib.h>

#include "engine/codec/jpeg_error_manager.h"
#include "engine/memory/codec_arena.h"

namespace pixmora {

class TDecompressObject {
public:
    // Throws EJPEG when libjpeg cannot create the decompressor. Its large memory comes from
    // arena when one is given.
    explicit TDecompressObject(TCodecArena* arena = nullptr);
    ~TDecompressObject();
    TDecompressObject(const TDecompressObject&) = delete;
    TDecompressObject& operator=(const TDecompressObject&) = delete;

    jpeg_decompress_struct& Info() { return info_; }
    const jpeg_decompress_struct& Info() const { return info_; }

    // Runs a step that calls libjpeg; a fatal libjpeg error becomes EJPEG, or EOutOfMemory
    // when it is about memory.
    template <class Step>
    void Run(Step&& step) {
        RunGuarded(errors_, step);
    }

    // libjpeg's warnings so far: how many, and the first one's text ("" when none).
    int Warnings() const { return errors_.warnings; }
    const char* FirstWarning() const { return errors_.first_warning; }

private:
    TJPEGErrorManager errors_;
    jpeg_decompress_struct info_{};
};

}  // namespace pixmora
