// Feeds arbitrary server responses to the HTTP response reader. The first byte chooses how
// the bytes arrive (in pieces of 1 to 255 bytes, or all at once) and whether a small body
// limit and a status to let pass are in force.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "update/http_errors.h"
#include "update/http_response_reader.h"
#include "update/memory_byte_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t mode = data[0];
    const std::size_t piece = data[1] == 0 ? 32768 : data[1];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 2), size - 2);

    pixmora::HttpReaderLimits limits;
    if (mode & 1) limits.max_body_bytes = 64;
    std::vector<int> statuses_to_pass;
    if (mode & 2) statuses_to_pass.push_back(404);

    pixmora::MemoryByteSource source(bytes, piece);
    pixmora::HttpResponseReader reader(source, limits);
    std::string body;
    try {
        reader.ReadResponse(body, statuses_to_pass);
    } catch (const pixmora::HttpError&) {
        // Every malformed response must end in one of the client's own failures.
    }
    // The reader never makes up bytes, never passes its limits.
    if (body.size() > bytes.size() || body.size() > limits.max_body_bytes) __builtin_trap();
    if (reader.Response().headers.Lines().size() > limits.max_header_lines) __builtin_trap();
    return 0;
}
