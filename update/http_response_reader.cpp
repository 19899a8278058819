// Response reading over any byte source.
#include "update/http_response_reader.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <stdexcept>

#include "update/http_errors.h"

namespace pixmora {

std::int32_t ParseChunkSize(std::string_view line) {
    const std::string_view digits = line.substr(0, line.find(' '));
    if (digits.empty() || digits.size() > 8) return 0;
    std::uint32_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, 16);
    if (error != std::errc() || stop != end) return 0;
    return static_cast<std::int32_t>(value);
}

HttpResponseReader::HttpResponseReader(ByteSource& source, HttpReaderLimits limits)
    : source_(source), limits_(limits) {}

bool HttpResponseReader::Fill() {
    if (closed_) return false;
    if (offset_ > 0) {
        pending_.erase(0, offset_);
        offset_ = 0;
    }
    const std::size_t old_size = pending_.size();
    pending_.resize(old_size + limits_.receive_size);
    std::size_t got = 0;
    try {
        got = source_.Receive(pending_.data() + old_size, limits_.receive_size);
    } catch (...) {
        pending_.resize(old_size);
        throw;
    }
    pending_.resize(old_size + got);
    if (got == 0) closed_ = true;
    return got > 0;
}

std::string HttpResponseReader::ReadLine() {
    std::size_t searched = 0;
    for (;;) {
        const auto lf = pending_.find('\n', offset_ + searched);
        if (lf != std::string::npos) {
            if (lf - offset_ > limits_.max_line_length) throw MaxLineLengthExceeded();
            std::string line = pending_.substr(offset_, lf - offset_);
            offset_ = lf + 1;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            return line;
        }
        searched = pending_.size() - offset_;
        if (searched > limits_.max_line_length) throw MaxLineLengthExceeded();
        if (!Fill()) throw ConnectionClosedGracefully();
    }
}

std::size_t HttpResponseReader::TakePending(std::size_t count, std::string& out) {
    const std::size_t taken = std::min(count, pending_.size() - offset_);
    out.append(pending_, offset_, taken);
    offset_ += taken;
    return taken;
}

std::size_t HttpResponseReader::ReadUpTo(std::size_t count, std::string& out) {
    std::size_t got = TakePending(count, out);
    while (got < count && Fill()) got += TakePending(count - got, out);
    return got;
}

void HttpResponseReader::CheckRoom(const std::string& out, std::size_t more) const {
    if (more > limits_.max_body_bytes || out.size() > limits_.max_body_bytes - more)
        throw ResponseTooLarge();
}

void HttpResponseReader::ReadHeaderLines() {
    for (std::size_t count = 0; count < limits_.max_header_lines; ++count) {
        std::string line;
        try {
            line = ReadLine();
        } catch (const ConnectionClosedGracefully&) {
            return;  // a close here ends the headers; the body rules decide what follows
        }
        if (line.empty()) return;
        response_.headers.Add(std::move(line));
    }
}

void HttpResponseReader::ReadStatusAndHeaders() {
    do {
        response_ = HttpResponse{};
        response_.status_line = ReadLine();
        response_.status_code = ParseStatusCode(response_.status_line);
        ReadHeaderLines();
    } while (response_.status_code == 100);
}

void HttpResponseReader::ReadChunkedBody(std::string& out) {
    for (;;) {
        const std::int32_t size = ParseChunkSize(ReadLine());
        if (size <= 0) break;
        const auto count = static_cast<std::size_t>(size);
        CheckRoom(out, count);
        if (ReadUpTo(count, out) < count) throw ConnectionClosedGracefully();
        ReadLine();
    }
    ReadLine();
}

void HttpResponseReader::ReadSizedBody(std::int32_t length, std::string& out) {
    const auto count = static_cast<std::size_t>(length);
    CheckRoom(out, count);
    try {
        out.reserve(out.size() + count);
    } catch (const std::bad_alloc&) {
        throw ResponseTooLarge();
    } catch (const std::length_error&) {
        throw ResponseTooLarge();
    }
    // A close before the end keeps what arrived; give back the room reserved for the rest.
    if (ReadUpTo(count, out) < count) out.shrink_to_fit();
}

void HttpResponseReader::ReadBodyUntilClose(std::string& out) {
    for (;;) {
        const std::size_t available = pending_.size() - offset_;
        CheckRoom(out, available);
        TakePending(available, out);
        if (!Fill()) return;
    }
}

void HttpResponseReader::ReadBody(std::string& out) {
    if (response_.IsChunked()) {
        ReadChunkedBody(out);
        return;
    }
    const std::int32_t length = response_.ContentLength();
    if (length > 0) {
        ReadSizedBody(length, out);
    } else if (length < 0) {
        ReadBodyUntilClose(out);
    }
}

void HttpResponseReader::ReadResponse(std::string& body, const std::vector<int>& statuses_to_pass) {
    complete_ = false;
    ReadStatusAndHeaders();
    const int code = response_.status_code;
    const bool redirect =
        (code >= 300 && code <= 399 && code != 304) || !response_.Location().empty();
    if (!redirect && code >= 200 && code <= 299) {
        if (code != 204) ReadBody(body);
        complete_ = true;
        return;
    }
    std::string error_text;
    ReadBody(error_text);
    complete_ = true;
    if (std::find(statuses_to_pass.begin(), statuses_to_pass.end(), code) != statuses_to_pass.end())
        return;
    throw HttpProtocolError(code, response_.status_line, error_text);
}

}  // namespace pixmora
