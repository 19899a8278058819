// Full-size decoding of a JPEG file held in memory, row by row as libjpeg delivers them,
// with the picture object's parameters: floating-point DCT, block smoothing, fancy
// upsampling; gray files dithered to 236 levels (or kept as they are); CMYK and YCCK files
// turned into RGB.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/codec/jpeg_decompress_object.h"

namespace pixmora {

class TJPEGDecoder {
public:
    // What gray files give: the window's 236 dithered levels, or every gray level as coded.
    enum class GrayLevels { Dithered, Exact };

    // Reads the header of data (size > 0; it must outlive the decoder) and starts the
    // decompression at scale_eighths / 8 of the full size (1 to 8; libjpeg scales in its
    // inverse DCT, far cheaper than decoding whole and shrinking), with at most
    // memory_limit bytes of working memory for libjpeg: the whole-image coefficients of a
    // multi-scan file are refused before they are allocated when they and what libjpeg
    // holds already exceed it (the few rows of a single scan are not weighed). Throws
    // EOutOfMemory then, EJPEG otherwise; files whose colours cannot be turned into RGB
    // fail with the code of an unsupported conversion. libjpeg's large memory comes from
    // arena when one is given.
    TJPEGDecoder(const uint8_t* data, size_t size, uint64_t memory_limit,
                 int scale_eighths = kFullScale, GrayLevels gray = GrayLevels::Dithered,
                 TCodecArena* arena = nullptr);

    static constexpr int kFullScale = 8;
    // A dimension of the picture decoded at scale_eighths / 8: libjpeg rounds it up.
    static int32_t ScaledSize(int32_t dimension, int scale_eighths) {
        return static_cast<int32_t>((int64_t{dimension} * scale_eighths + 7) / 8);
    }

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    // Bytes per pixel of the rows libjpeg delivers: 1 (gray palette index, or gray level
    // when exact), 3 (RGB) or 4 (CMYK).
    int Components() const { return components_; }
    size_t RowBytes() const { return static_cast<size_t>(width_) * components_; }
    // Rows worth reading per call.
    int32_t RowsPerRead() const { return rows_per_read_; }
    // Index of the next row to be read.
    int32_t NextRow() const;

    // Reads up to count rows (each RowBytes() long) in libjpeg's layout; returns how many.
    int32_t ReadRows(uint8_t* const* rows, int32_t count);
    // Whether rows can be passed over without being delivered: not while dithering gray
    // levels, whose error diffusion runs from each row into the next, and only for the
    // sampling layouts where libjpeg skips exactly.
    bool CanSkipRows() const { return gray_levels_ == nullptr && skips_exactly_; }
    // Passes over count rows; libjpeg then spares their colour conversion, and the decoding
    // of whole block rows nobody asks for.
    void SkipRows(int32_t count);
    // Ends the decompression once every row has been read or skipped.
    void Finish();

    // libjpeg's warnings about the data so far (a file cut short, corrupt segments): how
    // many, and the first one's text.
    int Warnings() const { return object_.Warnings(); }
    const char* FirstWarning() const { return object_.FirstWarning(); }

    // Writes to rgb the RGB pixels of a delivered row found at the given columns.
    void SampleRow(const uint8_t* row, const int32_t* columns, int32_t count, uint8_t* rgb) const;

private:
    TDecompressObject object_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int components_ = 0;
    int32_t rows_per_read_ = 1;
    bool inverted_cmyk_ = false;
    bool skips_exactly_ = false;
    const uint8_t* gray_levels_ = nullptr;
};

}  // namespace pixmora
