// Loading, decoding on demand, taking a picture as content, encoding and saving.
#include "engine/codec/jpeg_image.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "engine/codec/jpeg_decoder.h"
#include "engine/codec/jpeg_encoder.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_header.h"
#include "engine/files/atomic_file_writer.h"
#include "engine/files/source_file.h"
#include "engine/memory/memory_budget.h"

namespace pixmora {

TByteBuffer TJPEGImage::TakeSpareBytes() {
    TByteBuffer spare;
    if (data_ && data_.use_count() == 1) spare = std::move(data_->bytes);
    data_.reset();
    spare.clear();
    return spare;
}

TByteBuffer TJPEGImage::StartLoad() {
    TByteBuffer bytes = TakeSpareBytes();
    picture_.Clear();
    progressive_ = false;
    orientation_ = 0;
    coefficient_bytes_ = 0;
    icc_profile_.reset();
    metadata_.reset();
    NoteDecodeWarnings(0, std::string());
    return bytes;
}

void TJPEGImage::FinishLoad(TByteBuffer bytes, TMappedFile mapped) {
    auto data = std::make_shared<TJPEGData>();
    data->bytes = std::move(bytes);
    data->mapped = std::move(mapped);
    const TByteView view = data->View();
    if (!view.empty()) {
        TJPEGHeader header = ReadJPEGHeader(view.data(), view.size(), save_choices_.keep_metadata);
        data->width = header.width;
        data->height = header.height;
        progressive_ = header.multiple_scans;
        orientation_ = header.orientation;
        coefficient_bytes_ = header.coefficient_bytes;
        if (!header.icc_profile.empty())
            icc_profile_ =
                std::make_shared<const std::vector<uint8_t>>(std::move(header.icc_profile));
        if (save_choices_.keep_metadata)
            metadata_ = std::make_shared<const TJPEGMetadata>(std::move(header.metadata));
    }
    data_ = std::move(data);
}

void TJPEGImage::LoadFromFile(const std::string& path) {
    TByteBuffer bytes = StartLoad();
    // A worker's picture object reads files of common sizes into the memory it keeps; the
    // rest are mapped, so that their size costs no heap.
    constexpr uint64_t kReadUpTo = 64u << 20;
    TMappedFile mapped = ReadSourceFile(path, bytes, CodecArena() ? kReadUpTo : 0);
    FinishLoad(std::move(bytes), std::move(mapped));
}

void TJPEGImage::LoadFromMemory(const uint8_t* data, size_t size) {
    TByteBuffer bytes = StartLoad();
    try {
        bytes.assign(data, data + size);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    FinishLoad(std::move(bytes), TMappedFile());
}

uint64_t TJPEGImage::MemoryBudget() const {
    return memory_budget_ != 0 ? memory_budget_ : DefaultMemoryBudget();
}

uint64_t TJPEGImage::DecoderMemoryNeed() const {
    if (!picture_.Empty() || EncodedBytes().empty()) return 0;
    return pixmora::DecoderMemoryNeed(coefficient_bytes_, Width());
}

int32_t TJPEGImage::Width() const {
    if (!picture_.Empty()) return picture_.Width();
    return data_ ? data_->width : 0;
}

int32_t TJPEGImage::Height() const {
    if (!picture_.Empty()) return picture_.Height();
    return data_ ? data_->height : 0;
}

const std::vector<uint8_t>& TJPEGImage::ICCProfile() const {
    static const std::vector<uint8_t> none;
    return icc_profile_ ? *icc_profile_ : none;
}

TByteView TJPEGImage::EncodedBytes() const { return data_ ? data_->View() : TByteView(); }

TPixelBuffer TJPEGImage::DecodePicture() const { return DecodePicture(TJPEGDecoder::kFullScale); }

TPixelBuffer TJPEGImage::DecodePicture(int scale_eighths) const {
    if (!picture_.Empty()) return picture_;
    const TByteView bytes = EncodedBytes();
    if (bytes.empty()) throw EJPEG(JERR_INPUT_EMPTY);
    const uint64_t decoder_memory =
        BudgetLeftBesidePicture(MemoryBudget(), TJPEGDecoder::ScaledSize(Width(), scale_eighths),
                                TJPEGDecoder::ScaledSize(Height(), scale_eighths));
    NoteDecodeWarnings(0, std::string());
    TJPEGDecoder decoder(bytes.data(), bytes.size(), decoder_memory, scale_eighths,
                         TJPEGDecoder::GrayLevels::Dithered, CodecArena());
    TPixelBuffer picture;
    picture.SetSize(decoder.Width(), decoder.Height());
    const int32_t chunk = decoder.RowsPerRead();
    std::vector<uint8_t*> rows(static_cast<size_t>(chunk));
    if (decoder.Components() == 3) {
        // libjpeg's RGB rows are already the picture's layout: decode in place.
        while (decoder.NextRow() < decoder.Height()) {
            const int32_t first = decoder.NextRow();
            const int32_t count = std::min(chunk, decoder.Height() - first);
            for (int32_t i = 0; i < count; ++i)
                rows[static_cast<size_t>(i)] = picture.Row(first + i);
            if (decoder.ReadRows(rows.data(), count) == 0) throw EJPEG(JERR_INPUT_EMPTY);
        }
    } else {
        TByteBuffer scratch(decoder.RowBytes() * static_cast<size_t>(chunk));
        for (int32_t i = 0; i < chunk; ++i)
            rows[static_cast<size_t>(i)] =
                scratch.data() + decoder.RowBytes() * static_cast<size_t>(i);
        std::vector<int32_t> columns(static_cast<size_t>(decoder.Width()));
        for (int32_t x = 0; x < decoder.Width(); ++x) columns[static_cast<size_t>(x)] = x;
        while (decoder.NextRow() < decoder.Height()) {
            const int32_t first = decoder.NextRow();
            const int32_t read =
                decoder.ReadRows(rows.data(), std::min(chunk, decoder.Height() - first));
            if (read == 0) throw EJPEG(JERR_INPUT_EMPTY);
            for (int32_t i = 0; i < read; ++i)
                decoder.SampleRow(rows[static_cast<size_t>(i)], columns.data(), decoder.Width(),
                                  picture.Row(first + i));
        }
    }
    decoder.Finish();
    NoteDecodeWarnings(decoder.Warnings(), decoder.FirstWarning());
    return picture;
}

void TJPEGImage::NoteDecodeWarnings(int count, const std::string& first) const {
    decode_warnings_ = count;
    first_warning_ = first;
}

void TJPEGImage::Assign(const TPixelBuffer& picture) {
    TByteBuffer bytes = TakeSpareBytes();
    if (bytes.capacity() > spare_.bytes.capacity()) spare_.bytes = std::move(bytes);
    picture_ = picture;
}

void TJPEGImage::SaveToFile(const std::string& path) { SaveToPendingFile(path).Commit(); }

TPendingFile TJPEGImage::SaveToPendingFile(const std::string& path) {
    if (EncodedBytes().empty()) {
        if (picture_.Empty()) throw EJPEG(JERR_INPUT_EMPTY);
        auto data = std::make_shared<TJPEGData>();
        data->bytes = std::move(spare_.bytes);
        TEncodeSettings settings;
        settings.progressive = progressive_;
        settings.orientation = orientation_;
        settings.icc_profile = icc_profile_.get();
        settings.quality = save_choices_.quality;
        settings.metadata = metadata_.get();
        settings.arena = CodecArena();
        EncodeJPEG(picture_, settings, data->bytes);
        data->width = picture_.Width();
        data->height = picture_.Height();
        data_ = std::move(data);
    }
    const TByteView bytes = data_->View();
    return WriteFilePending(path, bytes.data(), bytes.size());
}

}  // namespace pixmora
