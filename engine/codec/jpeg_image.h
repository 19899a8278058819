// A JPEG picture as the run and the preview handle it: loading maps (or reads) the whole
// file and parses only its header, decoding happens on demand, a 24-bit picture can be
// taken as new content, and saving encodes that picture (or writes the loaded bytes
// unchanged).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/codec/jpeg_metadata.h"
#include "engine/files/atomic_file_writer.h"
#include "engine/files/byte_view.h"
#include "engine/files/mapped_file.h"
#include "engine/memory/codec_arena.h"
#include "engine/memory/large_allocation.h"
#include "engine/resample/pixel_buffer.h"

namespace pixmora {

// What a save writes besides the picture; the defaults are the window's.
struct TSaveChoices {
    int quality = 90;  // libjpeg's, 1 to 100
    // Carry the file's Exif, XMP, Photoshop (IPTC) and comment segments, not only its
    // orientation and colour profile.
    bool keep_metadata = false;
};

class TJPEGImage {
public:
    TJPEGImage() = default;
    // Copies are cheap: they share the encoded data and the picture.
    TJPEGImage(const TJPEGImage&) = default;
    TJPEGImage& operator=(const TJPEGImage&) = default;

    // Maps (or reads) all bytes of the file and parses the header; the previous content is
    // dropped first. A 0-byte file gives 0 x 0 without error. Throws ENotRegularFile (a
    // FIFO, device, socket or folder), EFOpenError, EJPEG (53 not a JPEG file, 41 a
    // dimension above 65500), EDamagedData (a Huffman-coded file with fewer bits than its
    // picture has blocks: it cannot be whole). Sets ProgressiveEncoding() to whether the
    // file has more than one scan, Orientation() to its Exif orientation and ICCProfile()
    // to its RGB colour profile.
    void LoadFromFile(const std::string& path);
    // The same with the file's bytes given in memory (copied).
    void LoadFromMemory(const uint8_t* data, size_t size);

    // Applies from the next load on: keep_metadata to what the load keeps of the file's
    // segments, quality to the saves after it.
    void SetSaveChoices(const TSaveChoices& choices) { save_choices_ = choices; }

    // The memory one decoding may take (see memory_budget.h); 0, the start, means
    // DefaultMemoryBudget().
    void SetMemoryBudget(uint64_t bytes) { memory_budget_ = bytes; }
    uint64_t MemoryBudget() const;

    // Where the decodings of this object (not of its copies) take libjpeg's large memory
    // from; null, the start: from the system. The arena must outlive the decodings.
    void SetCodecArena(TCodecArena* arena) { arena_.arena = arena; }
    TCodecArena* CodecArena() const { return arena_.arena; }

    // The held picture's size when there is one, otherwise the loaded header's.
    int32_t Width() const;
    int32_t Height() const;

    // Whether the next encoding is progressive: set by the last load.
    bool ProgressiveEncoding() const { return progressive_; }
    // What decoding the loaded file at full size holds besides its picture: the whole
    // image's coefficients of a multi-scan file and libjpeg's rows and tables, generously.
    uint64_t DecoderMemoryNeed() const;
    // Exif orientation of the last loaded file (1 to 8), 0 when it had none; an encoded
    // picture carries it when it is not 1.
    int Orientation() const { return orientation_; }
    // ICC profile of the last loaded file, byte for byte, when it describes RGB colours;
    // empty when the file had none, or a gray, CMYK or damaged one. An encoded picture
    // carries it.
    const std::vector<uint8_t>& ICCProfile() const;
    // The carried metadata segments of the last loaded file, when it was loaded with
    // keep_metadata; null otherwise. An encoded picture carries them, its Exif in place of
    // the orientation-only one.
    const TJPEGMetadata* Metadata() const { return metadata_.get(); }

    // The loaded (or last encoded) file bytes; empty when there are none. Valid until the
    // next load, Assign or save of this object (copies keep theirs).
    TByteView EncodedBytes() const;
    // The picture taken as content; empty when the content is a loaded file.
    const TPixelBuffer& Picture() const { return picture_; }

    // The whole picture at full size in 24-bit RGB: the held picture, or the loaded bytes
    // decoded (gray files dithered to 236 levels). Throws EJPEG (42 when there are no
    // bytes), EOutOfMemory (before decoding when the picture and the decoder's memory
    // exceed the budget).
    TPixelBuffer DecodePicture() const;
    // The loaded bytes decoded at scale_eighths / 8 of the full size (1 to 8), or the held
    // picture as it is. Throws as DecodePicture.
    TPixelBuffer DecodePicture(int scale_eighths) const;

    // libjpeg's warnings about the data in the last decoding of the loaded bytes (this
    // object's DecodePicture or a resize): how many, and the first one's text. A file cut
    // short or corrupt still decodes, with its missing part grey; these tell it. Cleared
    // by a load, kept by Assign.
    int DecodeWarnings() const { return decode_warnings_; }
    const std::string& FirstWarning() const { return first_warning_; }
    // Records the warnings of a decoding of the loaded bytes done outside the object.
    void NoteDecodeWarnings(int count, const std::string& first) const;

    // Makes picture (shared, not copied) the content: the loaded bytes are dropped, the
    // size reports the picture's, and the next save encodes it with the progressive
    // setting, orientation, colour profile and metadata of the last load.
    void Assign(const TPixelBuffer& picture);

    // Writes the content to path, encoding the picture first when there are no bytes.
    // The file appears complete or not at all; an existing file is replaced only by a
    // complete one, and not at all when its owner write bit is clear. Throws
    // EFCreateError, EJPEG (41 for a dimension above 65500; 42 when there is nothing to
    // write).
    void SaveToFile(const std::string& path);
    // The same, up to the last step: the file is written whole but takes its name only when
    // the result is committed.
    TPendingFile SaveToPendingFile(const std::string& path);

private:
    struct TJPEGData {
        // The file mapped, or its bytes in memory (read, copied or encoded).
        TMappedFile mapped;
        TByteBuffer bytes;
        int32_t width = 0;
        int32_t height = 0;
        TByteView View() const { return mapped.Mapped() ? mapped.View() : TByteView(bytes); }
    };

    // Bytes for new data, reusing the memory of data no copy shares any more.
    TByteBuffer TakeSpareBytes();
    // Drops the content before a load; returns bytes to load into.
    TByteBuffer StartLoad();
    // Makes the mapping, or bytes when nothing is mapped, the loaded file and parses its
    // header.
    void FinishLoad(TByteBuffer bytes, TMappedFile mapped);

    // Memory of dropped bytes, kept for the next load or encoding; copies start without.
    struct TSpareBytes {
        TByteBuffer bytes;
        TSpareBytes() = default;
        TSpareBytes(const TSpareBytes&) {}
        TSpareBytes& operator=(const TSpareBytes&) { return *this; }
    };

    // The worker's arena belongs to this object alone; copies start without.
    struct TArenaLink {
        TCodecArena* arena = nullptr;
        TArenaLink() = default;
        TArenaLink(const TArenaLink&) {}
        TArenaLink& operator=(const TArenaLink&) { return *this; }
    };

    std::shared_ptr<TJPEGData> data_;
    TSpareBytes spare_;
    TArenaLink arena_;
    TPixelBuffer picture_;
    bool progressive_ = false;
    int orientation_ = 0;
    uint64_t coefficient_bytes_ = 0;
    // Shared by copies; null when the last load had no RGB profile.
    std::shared_ptr<const std::vector<uint8_t>> icc_profile_;
    // Shared by copies; null unless the last load kept its metadata.
    std::shared_ptr<const TJPEGMetadata> metadata_;
    TSaveChoices save_choices_;
    uint64_t memory_budget_ = 0;
    // What the last decoding told, whichever decoded.
    mutable int decode_warnings_ = 0;
    mutable std::string first_warning_;
};

}  // namespace pixmora
