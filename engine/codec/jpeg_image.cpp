// Loading, decoding on demand, taking a picture as content, encoding and saving.
#include "engine/codec/jpeg_image.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "engine/codec/jpeg_decoder.h"
#include "engine/codec/jpeg_encoder.h"
#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_header.h"
#include "engine/files/atomic_file_writer.h"
#include "engine/run/memory_budget.h"

namespace pixmora {

namespace {

constexpr int kInputEmpty = 42;
constexpr size_t kReadChunk = 1 << 20;

class TFileCloser {
public:
    explicit TFileCloser(std::FILE* file) : file_(file) {}
    ~TFileCloser() { std::fclose(file_); }
    TFileCloser(const TFileCloser&) = delete;
    TFileCloser& operator=(const TFileCloser&) = delete;

private:
    std::FILE* file_;
};

void ReadWholeFile(const std::string& path, TByteBuffer& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) throw EFOpenError(path, errno);
    TFileCloser closer(file);
    // Size the buffer once from the file's length (one byte more to see the end at once);
    // a file that grows meanwhile is still read whole.
    std::error_code ignored;
    const uintmax_t length = std::filesystem::file_size(path, ignored);
    size_t used = 0;
    try {
        size_t size = kReadChunk;
        if (length != static_cast<uintmax_t>(-1) && length < SIZE_MAX - 1)
            size = static_cast<size_t>(length) + 1;
        if (bytes.capacity() < size) TByteBuffer().swap(bytes);
        bytes.resize(size);
        for (;;) {
            if (used == bytes.size()) bytes.resize(bytes.size() * 2);
            const size_t read = std::fread(bytes.data() + used, 1, bytes.size() - used, file);
            used += read;
            if (read == 0) break;
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    } catch (const std::length_error&) {
        throw EOutOfMemory();
    }
    if (std::ferror(file)) throw EFOpenError(path, errno != 0 ? errno : EIO);
    bytes.resize(used);
}

}  // namespace

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
    return bytes;
}

void TJPEGImage::FinishLoad(TByteBuffer bytes) {
    auto data = std::make_shared<TJPEGData>();
    if (!bytes.empty()) {
        TJPEGHeader header = ReadJPEGHeader(bytes.data(), bytes.size());
        data->width = header.width;
        data->height = header.height;
        progressive_ = header.multiple_scans;
        orientation_ = header.orientation;
        coefficient_bytes_ = header.coefficient_bytes;
        if (!header.icc_profile.empty())
            icc_profile_ =
                std::make_shared<const std::vector<uint8_t>>(std::move(header.icc_profile));
    }
    data->bytes = std::move(bytes);
    data_ = std::move(data);
}

void TJPEGImage::LoadFromFile(const std::string& path) {
    TByteBuffer bytes = StartLoad();
    errno = 0;
    ReadWholeFile(path, bytes);
    FinishLoad(std::move(bytes));
}

void TJPEGImage::LoadFromMemory(const uint8_t* data, size_t size) {
    TByteBuffer bytes = StartLoad();
    try {
        bytes.assign(data, data + size);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory();
    }
    FinishLoad(std::move(bytes));
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

const TByteBuffer& TJPEGImage::EncodedBytes() const {
    static const TByteBuffer none;
    return data_ ? data_->bytes : none;
}

TPixelBuffer TJPEGImage::DecodePicture() const { return DecodePicture(TJPEGDecoder::kFullScale); }

TPixelBuffer TJPEGImage::DecodePicture(int scale_eighths) const {
    if (!picture_.Empty()) return picture_;
    const TByteBuffer& bytes = EncodedBytes();
    if (bytes.empty()) throw EJPEG(kInputEmpty);
    const uint64_t decoder_memory =
        BudgetLeftBesidePicture(MemoryBudget(), TJPEGDecoder::ScaledSize(Width(), scale_eighths),
                                TJPEGDecoder::ScaledSize(Height(), scale_eighths));
    TJPEGDecoder decoder(bytes.data(), bytes.size(), decoder_memory, scale_eighths);
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
            if (decoder.ReadRows(rows.data(), count) == 0) throw EJPEG(kInputEmpty);
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
            if (read == 0) throw EJPEG(kInputEmpty);
            for (int32_t i = 0; i < read; ++i)
                decoder.SampleRow(rows[static_cast<size_t>(i)], columns.data(), decoder.Width(),
                                  picture.Row(first + i));
        }
    }
    decoder.Finish();
    return picture;
}

void TJPEGImage::Assign(const TPixelBuffer& picture) {
    TByteBuffer bytes = TakeSpareBytes();
    if (bytes.capacity() > spare_.bytes.capacity()) spare_.bytes = std::move(bytes);
    picture_ = picture;
}

void TJPEGImage::SaveToFile(const std::string& path) { SaveToPendingFile(path).Commit(); }

TPendingFile TJPEGImage::SaveToPendingFile(const std::string& path) {
    if (EncodedBytes().empty()) {
        if (picture_.Empty()) throw EJPEG(kInputEmpty);
        auto data = std::make_shared<TJPEGData>();
        data->bytes = std::move(spare_.bytes);
        EncodeJPEG(picture_, TEncodeSettings{progressive_, orientation_, icc_profile_.get()},
                   data->bytes);
        data->width = picture_.Width();
        data->height = picture_.Height();
        data_ = std::move(data);
    }
    const TByteBuffer& bytes = data_->bytes;
    return WriteFilePending(path, bytes.data(), bytes.size());
}

}  // namespace pixmora
