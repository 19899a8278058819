// Reads one response from a byte source: status line and headers (again after each 100),
// the decision on the status, and the body by chunks, by length or up to the close.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "update/byte_source.h"
#include "update/http_response.h"

namespace pixmora {

struct HttpReaderLimits {
    std::size_t max_line_length = 16384;  // bytes before the LF
    std::size_t max_header_lines = 255;
    std::size_t receive_size = 32768;  // at most this much per Receive
    std::size_t max_body_bytes = std::size_t{64} << 20;
};

class HttpResponseReader {
public:
    explicit HttpResponseReader(ByteSource& source, HttpReaderLimits limits = {});

    // Reads the whole response. A 2xx status (no redirect) appends its body to `body`
    // (nothing for 204); any other status reads its body apart and throws HttpProtocolError
    // with it, unless the status is one of `statuses_to_pass`. Other failures are thrown as
    // they occur; bytes already appended to `body` stay there.
    void ReadResponse(std::string& body, const std::vector<int>& statuses_to_pass = {});

    // The last response record read, also after a failure.
    const HttpResponse& Response() const { return response_; }
    // True once the response has been read to its end (a protocol error included).
    bool Complete() const { return complete_; }
    bool PeerClosed() const { return closed_; }
    // Bytes received beyond what the response used.
    bool HasUnreadBytes() const { return offset_ < pending_.size(); }

    // One line without its LF and one CR before it.
    std::string ReadLine();

private:
    void ReadStatusAndHeaders();
    void ReadHeaderLines();
    void ReadBody(std::string& out);
    void ReadChunkedBody(std::string& out);
    void ReadSizedBody(std::int32_t length, std::string& out);
    void ReadBodyUntilClose(std::string& out);
    // Appends at most `count` bytes to `out`; fewer only when the peer closed.
    std::size_t ReadUpTo(std::size_t count, std::string& out);
    std::size_t TakePending(std::size_t count, std::string& out);
    void CheckRoom(const std::string& out, std::size_t more) const;
    bool Fill();

    ByteSource& source_;
    HttpReaderLimits limits_;
    HttpResponse response_;
    std::string pending_;
    std::size_t offset_ = 0;
    bool closed_ = false;
    bool complete_ = false;
};

// A chunk-size line: the text before its first space as a hexadecimal number of at most
// eight digits (taken as signed 32 bits), 0 when it is not one.
std::int32_t ParseChunkSize(std::string_view line);

}  // namespace pixmora
