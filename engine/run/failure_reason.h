// Why a listed file was not written, as facts rather than words: the kind of failure and
// what it names (the system's error number, libjpeg's message, the sizes), so that each
// program can word it as its users expect.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

namespace pixmora {

enum class FailureKind {
    None,
    CannotOpen,      // the source cannot be opened or read: error_number
    NotRegularFile,  // the source is a folder, a device or a pipe
    NotJpeg,         // the source does not start like a JPEG file
    DamagedData,     // the source is damaged: message
    OverBudget,      // decoding needs more than the run's memory budget: needed, budget
    OutOfMemory,     // the picture cannot be allocated
    NoPixels,        // the target has no pixels at ratio (0: the source has none)
    OwnSource,       // the output is the source file itself
    ReadOnlyOutput,  // an existing read-only file is at path
    CannotWrite,     // the output at path cannot be created or written: error_number
    CannotEncode,    // the encoder refused the picture: message
    Other,           // anything else: message
};

struct FailureReason {
    FailureKind kind = FailureKind::None;
    int error_number = 0;
    std::string path;
    std::string message;
    uint64_t needed = 0;
    uint64_t budget = 0;
    int32_t ratio = 0;
};

// Where in a file's way through the run a failure came: reading and decoding the source,
// or encoding and writing the output.
enum class FailureStage { Load, Save };

// The reason of a failure caught at stage; output is the path being written.
FailureReason FailureReasonOf(const std::exception& failure, FailureStage stage,
                              const std::string& output);

}  // namespace pixmora
