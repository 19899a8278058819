// Writes a whole file or nothing: the bytes go to an unnamed (or hidden temporary) file in
// the destination's folder, reach the disk, and only then replace the destination, so a
// failed or interrupted save never leaves an empty, partial or stray file and never
// destroys the previous file. The one writer of the JPEG outputs and of the settings file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace pixmora {

// How the bytes wait for their name: an unnamed file where the file system has them
// (falling back to a named one), or always a hidden named temporary file.
enum class TTemporaryKind { Unnamed, Named };

// What a symbolic link at the destination stands for: a name that the new file replaces
// (an output), or the way to the file whose contents are replaced while the link stays
// (the settings file).
enum class TLinkHandling { Replace, WriteThrough };

struct TWriteOptions {
    TTemporaryKind temporary = TTemporaryKind::Unnamed;
    TLinkHandling link = TLinkHandling::Replace;
};

// Why the writer leaves what is at a destination alone: a read-only file (its owner write
// bit is clear, which holds for root too, or this user may not write it) or a folder.
enum class TDestinationRefusal { None, ReadOnly, Folder };

// The writer's own rule for what is at path now (links followed); None when nothing is.
TDestinationRefusal DestinationRefusal(const std::string& path);

// Whether an existing file at path is one the writer leaves alone as read-only.
bool IsReadOnlyFile(const std::string& path);

// A file written whole, waiting to be put in place: its bytes are on the disk without the
// destination's name (unnamed, or under the hidden temporary name). Commit gives it the
// name, replacing the file there; destroying it uncommitted drops it and leaves the
// destination as it was. Move-only.
class TPendingFile {
public:
    TPendingFile() = default;
    TPendingFile(TPendingFile&& other) noexcept;
    TPendingFile& operator=(TPendingFile&& other) noexcept;
    ~TPendingFile();
    TPendingFile(const TPendingFile&) = delete;
    TPendingFile& operator=(const TPendingFile&) = delete;

    bool Pending() const { return fd_ >= 0; }
    // Throws EFCreateError; nothing is pending afterwards, whatever the outcome.
    void Commit();
    void Discard();

private:
    friend TPendingFile WriteFilePending(const std::string& path, const uint8_t* data, size_t size,
                                         TWriteOptions options);

    std::string path_;       // as given, named by failures
    std::string target_;     // the name the file takes
    std::string temporary_;  // the hidden name
    TLinkHandling link_ = TLinkHandling::Replace;
    int fd_ = -1;
    bool named_ = false;  // the bytes wait under the hidden name
};

// The first half of WriteFileAtomically: every check and the whole write, with the rules
// and failures below, but the destination untouched until Commit.
TPendingFile WriteFilePending(const std::string& path, const uint8_t* data, size_t size,
                              TWriteOptions options = {});

// Writes size bytes to path, replacing an existing file; the new file keeps the old one's
// permission bits, and its owner and group where the system allows. A read-only file
// (IsReadOnlyFile) or a folder is left alone and the write fails with the access-denied
// (folder: is-a-directory) reason. A hidden temporary that a killed writer left for the
// same destination is removed. Throws EFCreateError (with the system's reason, ENOSPC for
// a short write).
void WriteFileAtomically(const std::string& path, const uint8_t* data, size_t size,
                         TWriteOptions options = {});

}  // namespace pixmora
