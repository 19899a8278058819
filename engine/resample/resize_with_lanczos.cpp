// Lanczos-3 resize fed by the decoder: a reduced decode where the target is small enough,
// each delivered row handed to the resampler at once.
#include "engine/resample/resize_with_lanczos.h"

#include <algorithm>
#include <new>
#include <string>
#include <vector>

#include <jerror.h>

#include "engine/codec/jpeg_decoder.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/memory/large_allocation.h"
#include "engine/memory/memory_budget.h"
#include "engine/resample/lanczos_resampler.h"
#include "engine/resample/shrink_on_load.h"

namespace pixmora {

namespace {

// Rows libjpeg delivers per read (more than one only with merged upsampling, at most the
// largest vertical sampling factor) and bytes per pixel, at most.
constexpr uint64_t kMostRowsPerRead = 4;
constexpr uint64_t kMostComponents = 4;

// The part of a reduced decode that is picture: libjpeg rounds each dimension up.
double DecodedSpan(int32_t size, int eighths) {
    return static_cast<double>(size) * eighths / TJPEGDecoder::kFullScale;
}

// The decoded rows of one read, and for gray and CMYK files an RGB row and its columns.
uint64_t DecodedRowBytes(int32_t width) {
    return static_cast<uint64_t>(width) *
           (kMostRowsPerRead * kMostComponents + TPixelBuffer::kBytesPerPixel + sizeof(int32_t));
}

void FilterWhileDecoding(TJPEGDecoder& decoder, TLanczosResampler& resampler) {
    const int32_t width = decoder.Width();
    const int32_t height = decoder.Height();
    const int32_t chunk = decoder.RowsPerRead();
    TByteBuffer scratch;
    TByteBuffer rgb;
    std::vector<int32_t> columns;
    std::vector<uint8_t*> rows(static_cast<size_t>(chunk));
    try {
        scratch.resize(decoder.RowBytes() * static_cast<size_t>(chunk));
        if (decoder.Components() != TPixelBuffer::kBytesPerPixel) {
            rgb.resize(static_cast<size_t>(width) * TPixelBuffer::kBytesPerPixel);
            columns.resize(static_cast<size_t>(width));
            for (int32_t x = 0; x < width; ++x) columns[static_cast<size_t>(x)] = x;
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    for (int32_t i = 0; i < chunk; ++i)
        rows[static_cast<size_t>(i)] = scratch.data() + decoder.RowBytes() * static_cast<size_t>(i);

    while (decoder.NextRow() < height) {
        const int32_t first = decoder.NextRow();
        const int32_t read = decoder.ReadRows(rows.data(), std::min(chunk, height - first));
        if (read == 0) throw EJPEG(JERR_INPUT_EMPTY);
        for (int32_t i = 0; i < read; ++i) {
            const uint8_t* row = rows[static_cast<size_t>(i)];
            if (!rgb.empty()) {
                decoder.SampleRow(row, columns.data(), width, rgb.data());
                row = rgb.data();
            }
            resampler.AddRow(row);
        }
    }
    decoder.Finish();
}

// The memory left to libjpeg once the target and the filter's need are taken from budget.
uint64_t BudgetLeftToDecoder(uint64_t budget, int32_t width, int32_t height, uint64_t need) {
    const uint64_t left = BudgetLeftBesidePicture(budget, width, height);
    if (need > left) throw EOutOfMemory();
    return left - need;
}

}  // namespace

uint64_t LanczosMemoryNeed(int32_t source_width, int32_t source_height, int32_t target_width,
                           int32_t target_height) {
    if (source_width <= 0 || source_height <= 0 || target_width <= 0 || target_height <= 0)
        return 0;
    const int eighths =
        ShrinkOnLoadEighths(source_width, source_height, target_width, target_height);
    const int32_t width = TJPEGDecoder::ScaledSize(source_width, eighths);
    const int32_t height = TJPEGDecoder::ScaledSize(source_height, eighths);
    return TLanczosResampler::MemoryNeed(width, height, DecodedSpan(source_width, eighths),
                                         DecodedSpan(source_height, eighths), target_width,
                                         target_height) +
           DecodedRowBytes(width);
}

void ResizeWithLanczos(TJPEGImage& image, TPixelBuffer& target, int32_t width, int32_t height) {
    // Hold the source picture before resizing the target, which may share its pixels.
    const TPixelBuffer source = image.Picture();
    if (!source.Empty()) {
        const int32_t source_width = source.Width();
        const int32_t source_height = source.Height();
        BudgetLeftToDecoder(image.MemoryBudget(), width, height,
                            TLanczosResampler::MemoryNeed(source_width, source_height, source_width,
                                                          source_height, width, height));
        target.SetSize(width, height);
        TLanczosResampler resampler(source_width, source_height, source_width, source_height,
                                    target);
        for (int32_t y = 0; y < source_height; ++y) resampler.AddRow(source.Row(y));
    } else {
        const TByteView bytes = image.EncodedBytes();
        if (bytes.empty()) throw EJPEG(JERR_INPUT_EMPTY);
        const uint64_t decoder_memory =
            BudgetLeftToDecoder(image.MemoryBudget(), width, height,
                                LanczosMemoryNeed(image.Width(), image.Height(), width, height));
        const int eighths = ShrinkOnLoadEighths(image.Width(), image.Height(), width, height);
        const double span_x = DecodedSpan(image.Width(), eighths);
        const double span_y = DecodedSpan(image.Height(), eighths);
        // The decoder takes its memory, or fails for want of it, before the target does.
        image.NoteDecodeWarnings(0, std::string());
        TJPEGDecoder decoder(bytes.data(), bytes.size(), decoder_memory, eighths,
                             TJPEGDecoder::GrayLevels::Exact, image.CodecArena());
        target.SetSize(width, height);
        TLanczosResampler resampler(decoder.Width(), decoder.Height(), span_x, span_y, target);
        FilterWhileDecoding(decoder, resampler);
        image.NoteDecodeWarnings(decoder.Warnings(), decoder.FirstWarning());
    }
    image.Assign(target);
}

}  // namespace pixmora
