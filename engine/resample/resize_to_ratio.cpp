// Streaming nearest-neighbour resize: rows are sampled into the target as the decoder
// delivers them, which gives the same pixels as decoding everything and stretching it.
#include "engine/resample/resize_to_ratio.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "engine/codec/jpeg_decoder.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/memory/memory_budget.h"
#include "engine/resample/nearest_neighbour.h"
#include "engine/resample/scale_dimension.h"

namespace pixmora {

namespace {

void SampleWhileDecoding(TJPEGDecoder& decoder, TPixelBuffer& target) {
    const int32_t source_height = decoder.Height();
    const int32_t target_width = target.Width();
    const int32_t target_height = target.Height();
    const std::vector<int32_t> columns = NearestSourceIndices(decoder.Width(), target_width);
    const size_t target_row_bytes =
        static_cast<size_t>(target_width) * TPixelBuffer::kBytesPerPixel;

    const int32_t chunk = decoder.RowsPerRead();
    TByteBuffer scratch(decoder.RowBytes() * static_cast<size_t>(chunk));
    std::vector<uint8_t*> rows(static_cast<size_t>(chunk));
    for (int32_t i = 0; i < chunk; ++i)
        rows[static_cast<size_t>(i)] = scratch.data() + decoder.RowBytes() * static_cast<size_t>(i);

    int32_t target_row = 0;
    int32_t wanted = NearestSourceIndex(0, source_height, target_height);
    while (decoder.NextRow() < source_height) {
        const int32_t first = decoder.NextRow();
        if (decoder.CanSkipRows()) {
            // Rows no target row maps to are passed over, up to the end once the target is
            // full.
            const int32_t next = target_row < target_height ? wanted : source_height;
            if (next > first) {
                decoder.SkipRows(next - first);
                continue;
            }
        }
        const int32_t read = decoder.ReadRows(rows.data(), std::min(chunk, source_height - first));
        if (read == 0) throw EJPEG(JERR_INPUT_EMPTY);
        for (int32_t i = 0; i < read && target_row < target_height; ++i) {
            const int32_t source_row = first + i;
            if (wanted != source_row) continue;
            uint8_t* out = target.Row(target_row);
            decoder.SampleRow(rows[static_cast<size_t>(i)], columns.data(), target_width, out);
            // Enlarging repeats the row just sampled.
            while (++target_row < target_height &&
                   (wanted = NearestSourceIndex(target_row, source_height, target_height)) ==
                       source_row)
                std::memcpy(target.Row(target_row), out, target_row_bytes);
        }
    }
    decoder.Finish();
}

}  // namespace

void ResizeToRatio(TJPEGImage& image, TPixelBuffer& target, int32_t ratio) {
    const double scale = ratio / 100.0;
    ResizeToSize(image, target, ScaleDimension(image.Width(), scale),
                 ScaleDimension(image.Height(), scale));
}

void ResizeToSize(TJPEGImage& image, TPixelBuffer& target, int32_t width, int32_t height) {
    const uint64_t decoder_memory = BudgetLeftBesidePicture(image.MemoryBudget(), width, height);
    // Hold the source picture before resizing the target, which may share its pixels.
    const TPixelBuffer source = image.Picture();
    if (!source.Empty()) {
        target.SetSize(width, height);
        StretchNearest(source, target);
    } else {
        const TByteView bytes = image.EncodedBytes();
        if (bytes.empty()) throw EJPEG(JERR_INPUT_EMPTY);
        // The decoder takes its memory, or fails for want of it, before the target does.
        image.NoteDecodeWarnings(0, std::string());
        TJPEGDecoder decoder(bytes.data(), bytes.size(), decoder_memory, TJPEGDecoder::kFullScale,
                             TJPEGDecoder::GrayLevels::Dithered, image.CodecArena());
        target.SetSize(width, height);
        SampleWhileDecoding(decoder, target);
        image.NoteDecodeWarnings(decoder.Warnings(), decoder.FirstWarning());
    }
    image.Assign(target);
}

}  // namespace pixmora
