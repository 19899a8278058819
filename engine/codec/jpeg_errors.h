// The failures of the JPEG image object: codec errors, files that cannot be opened or
// created, and pictures that cannot be allocated.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace pixmora {

// A fatal libjpeg error, carrying libjpeg's message code ("Erreur JPEG #53") and, when
// libjpeg formatted one, its own message.
class EJPEG : public std::runtime_error {
public:
    explicit EJPEG(int code, std::string message = {});
    int Code() const { return code_; }
    // libjpeg's text of the error, parameters filled in; empty when the error was not
    // raised by libjpeg itself.
    const std::string& Message() const { return message_; }

private:
    int code_;
    std::string message_;
};

// A file that cannot be opened for reading; the text names it and the system's reason.
class EFOpenError : public std::runtime_error {
public:
    EFOpenError(const std::string& path, int error_number);
    int ErrorNumber() const { return error_number_; }
    // The reason alone: the system's error text, or the program's own.
    const std::string& Reason() const { return reason_; }

protected:
    // error_number 0: a refusal of the program's own, told by reason.
    EFOpenError(const std::string& path, int error_number, const std::string& reason);

private:
    int error_number_;
    std::string reason_;
};

// A source that is a FIFO, a device, a socket or a folder: never read, since reading it
// could wait for ever or never end.
class ENotRegularFile : public EFOpenError {
public:
    explicit ENotRegularFile(const std::string& path);
};

// A file too short to hold the picture its header claims: refused before decoding, which
// would only make a picture of that size out of nothing.
class EDamagedData : public std::runtime_error {
public:
    EDamagedData(uint64_t file_bytes, int32_t width, int32_t height);
    uint64_t FileBytes() const { return file_bytes_; }
    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }

private:
    uint64_t file_bytes_;
    int32_t width_;
    int32_t height_;
};

// An output file that cannot be created or written completely.
class EFCreateError : public std::runtime_error {
public:
    EFCreateError(const std::string& path, int error_number);
    int ErrorNumber() const { return error_number_; }

private:
    int error_number_;
};

// A picture whose pixels cannot be allocated: a zero or negative dimension, a size that
// overflows, more than the machine's memory, or a refused allocation.
class EOutOfMemory : public std::runtime_error {
public:
    EOutOfMemory();
};

// A file whose decoding needs more than the whole memory budget of its run.
class EMemoryBudgetExceeded : public EOutOfMemory {
public:
    EMemoryBudgetExceeded(uint64_t needed, uint64_t budget) : needed_(needed), budget_(budget) {}
    uint64_t Needed() const { return needed_; }
    uint64_t Budget() const { return budget_; }

private:
    uint64_t needed_;
    uint64_t budget_;
};

}  // namespace pixmora
