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

private:
    int error_number_;
};

// A path that names something other than a regular file (a folder, a device, a pipe).
class ENotRegularFile : public EFOpenError {
public:
    explicit ENotRegularFile(const std::string& path);
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

// A file too short to hold the picture its header announces.
class EDamagedData : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace pixmora
