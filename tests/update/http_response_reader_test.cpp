// Response reading over in-memory bytes: status decisions, header rules and every way a
// body can be framed, each fed whole and one byte at a time.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "update/http_errors.h"
#include "update/http_response_reader.h"
#include "update/memory_byte_source.h"

namespace pixmora {
namespace {

struct Outcome {
    std::string body;
    std::string failure;  // "" on success, else the kind
    std::string message;
    int status = 0;
    std::string error_text;
    std::size_t header_lines = 0;
};

Outcome Read(const std::string& bytes, std::size_t piece, const std::vector<int>& pass = {},
             HttpReaderLimits limits = {}) {
    MemoryByteSource source(bytes, piece);
    HttpResponseReader reader(source, limits);
    Outcome outcome;
    try {
        reader.ReadResponse(outcome.body, pass);
    } catch (const HttpProtocolError& e) {
        outcome.failure = "protocol";
        outcome.message = e.what();
        outcome.status = e.StatusCode();
        outcome.error_text = e.ErrorText();
    } catch (const ConnectionClosedGracefully& e) {
        outcome.failure = "closed";
        outcome.message = e.what();
    } catch (const MaxLineLengthExceeded& e) {
        outcome.failure = "line";
        outcome.message = e.what();
    } catch (const ResponseTooLarge& e) {
        outcome.failure = "large";
        outcome.message = e.what();
    }
    if (outcome.failure.empty()) outcome.status = reader.Response().status_code;
    outcome.header_lines = reader.Response().headers.Lines().size();
    return outcome;
}

struct Row {
    const char* name;
    std::string response;
    std::string body;
    std::string failure;
    int status;
    std::string error_text;
};

const std::string kOk = "HTTP/1.1 200 OK\r\n";

std::vector<Row> Rows() {
    return {
        {"length", kOk + "Content-Length: 4\r\n\r\nV2.1", "V2.1", "", 200, ""},
        {"chunked", kOk + "Transfer-Encoding: chunked\r\n\r\n4\r\nV2.1\r\n0\r\n\r\n", "V2.1", "",
         200, ""},
        {"two chunks", kOk + "Transfer-Encoding: chunked\r\n\r\n2 x\r\nV2\r\n2\r\n.1\r\n0\r\n\r\n",
         "V2.1", "", 200, ""},
        {"until close", kOk + "\r\nV2.1\r\n", "V2.1\r\n", "", 200, ""},
        {"length cut short", kOk + "Content-Length: 10\r\n\r\nV2.1", "V2.1", "", 200, ""},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", "", "", 204, ""},
        {"continue then ok",
         "HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 100 Continue\r\nX: y\r\n\r\n" + kOk +
             "Content-Length: 4\r\n\r\nV2.1",
         "V2.1", "", 200, ""},
        {"ok with location", kOk + "Location: http://a/\r\nContent-Length: 4\r\n\r\nV2.1", "",
         "protocol", 200, "V2.1"},
        {"moved", "HTTP/1.1 301 Moved\r\nLocation: /x\r\nContent-Length: 3\r\n\r\nbye", "",
         "protocol", 301, "bye"},
        {"found without location", "HTTP/1.1 302 Found\r\nContent-Length: 0\r\n\r\n", "",
         "protocol", 302, ""},
        {"not modified", "HTTP/1.1 304 Not Modified\r\nContent-Length: 0\r\n\r\n", "", "protocol",
         304, ""},
        {"not found html", "HTTP/1.1 404 Not Found\r\nContent-Length: 13\r\n\r\n<h1>gone</h1>", "",
         "protocol", 404, "<h1>gone</h1>"},
        {"server error html until close", "HTTP/1.1 500 Oops\r\n\r\n<p>down</p>", "", "protocol",
         500, "<p>down</p>"},
        {"error body chunked",
         "HTTP/1.1 404 Not Found\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nnot\r\n0\r\n\r\n", "",
         "protocol", 404, "not"},
        {"status not a number", "HTTP/1.1 abc\r\nContent-Length: 0\r\n\r\n", "", "protocol", -1,
         ""},
        {"unauthorized", "HTTP/1.1 401 Unauthorized\r\nContent-Length: 0\r\n\r\n", "", "protocol",
         401, ""},
        {"capital Chunked is not chunked",
         kOk + "Transfer-Encoding: Chunked\r\n\r\n4\r\nV2.1\r\n0\r\n\r\n", "4\r\nV2.1\r\n0\r\n\r\n",
         "", 200, ""},
        {"chunked wins over length",
         kOk + "Content-Length: 100\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nV2.1\r\n0\r\n\r\n",
         "V2.1", "", 200, ""},
        {"chunk extension ends the body",
         kOk + "Transfer-Encoding: chunked\r\n\r\n4;name=value\r\nV2.1\r\n0\r\n\r\n", "", "", 200,
         ""},
        {"continued header with tab",
         kOk + "Transfer-Encoding: identity,\r\n\tchunked\r\n\r\n4\r\nV2.1\r\n0\r\n\r\n", "V2.1",
         "", 200, ""},
        {"lower-case name", kOk + "content-length: 4\r\n\r\nV2.1 and more", "V2.1", "", 200, ""},
        {"first header counts", kOk + "Content-Length: 2\r\nContent-Length: 4\r\n\r\nV2.1", "V2",
         "", 200, ""},
        {"length zero", kOk + "Content-Length: 0\r\n\r\nV2.1", "", "", 200, ""},
        {"negative length reads to close", kOk + "Content-Length: -5\r\n\r\nV2.1", "V2.1", "", 200,
         ""},
        {"length beyond 32 bits reads to close", kOk + "Content-Length: 4294967300\r\n\r\nV2.1",
         "V2.1", "", 200, ""},
        {"close during headers", kOk + "Content-Length: 4\r\n", "", "", 200, ""},
        {"close inside a chunk", kOk + "Transfer-Encoding: chunked\r\n\r\n8\r\nV2.1", "V2.1",
         "closed", 0, ""},
        {"close before the status line ends", "HTTP/1.1 200", "", "closed", 0, ""},
        {"nothing at all", "", "", "closed", 0, ""},
        {"length too large to hold", kOk + "Content-Length: 2147483647\r\n\r\nV2.1", "", "large", 0,
         ""},
    };
}

TEST(HttpResponseReaderTest, ResponsesWholeAndByteByByte) {
    for (const Row& row : Rows()) {
        for (const std::size_t piece : {std::size_t{32768}, std::size_t{1}}) {
            SCOPED_TRACE(std::string(row.name) + " piece " + std::to_string(piece));
            const Outcome outcome = Read(row.response, piece);
            EXPECT_EQ(outcome.body, row.body);
            EXPECT_EQ(outcome.failure, row.failure);
            if (row.failure.empty() || row.failure == "protocol") {
                EXPECT_EQ(outcome.status, row.status);
            }
            EXPECT_EQ(outcome.error_text, row.error_text);
        }
    }
}

TEST(HttpResponseReaderTest, ProtocolErrorCarriesTheStatusLineAsReceived) {
    const Outcome outcome = Read("HTTP/1.1 404  Not  Found\r\nContent-Length: 0\r\n\r\n", 7);
    EXPECT_EQ(outcome.message, "HTTP/1.1 404  Not  Found");
    EXPECT_EQ(outcome.status, 404);
}

TEST(HttpResponseReaderTest, FailureTexts) {
    EXPECT_EQ(Read("HTTP/1.1 2", 100).message, "Connection Closed Gracefully.");
    EXPECT_EQ(Read(std::string(20000, 'x'), 100).message, "Max line length exceeded.");
}

TEST(HttpResponseReaderTest, StatusesToPassReadTheBodyWithoutFailing) {
    const Outcome outcome =
        Read("HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nnope", 32768, {404});
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(outcome.body, "");
}

TEST(HttpResponseReaderTest, OnlyTheFirst255HeaderLinesAreHeaders) {
    std::string response = kOk + "Content-Length: 4\r\n";
    for (int line = 2; line <= 300; ++line) {
        response += line == 256 ? "Location: /elsewhere\r\n"
                                : "X-Filler-" + std::to_string(line) + ": v\r\n";
    }
    response += "\r\n";
    const Outcome outcome = Read(response, 32768);
    EXPECT_EQ(outcome.header_lines, 255u);
    // The 256th line is not a header, so its Location makes no redirect; it starts the body.
    EXPECT_EQ(outcome.failure, "");
    EXPECT_EQ(outcome.body, "Loca");
}

TEST(HttpResponseReaderTest, LineLengthLimitCountsTheBytesBeforeTheLineFeed) {
    const std::string prefix = "X-Long: ";
    for (const std::size_t piece : {std::size_t{32768}, std::size_t{1000}}) {
        // 16384 bytes before the LF, its CR included, still pass.
        const std::string fits = prefix + std::string(16384 - prefix.size() - 1, 'a') + "\r\n";
        Outcome outcome = Read(kOk + fits + "Content-Length: 4\r\n\r\nV2.1", piece);
        EXPECT_EQ(outcome.failure, "") << piece;
        EXPECT_EQ(outcome.body, "V2.1");

        const std::string too_long = prefix + std::string(16384 - prefix.size(), 'a') + "\r\n";
        outcome = Read(kOk + too_long + "Content-Length: 4\r\n\r\nV2.1", piece);
        EXPECT_EQ(outcome.failure, "line") << piece;
    }
}

TEST(HttpResponseReaderTest, BodyLimitAppliesToEveryFraming) {
    HttpReaderLimits limits;
    limits.max_body_bytes = 8;
    const std::string nine(9, 'b');
    const std::vector<std::string> responses = {
        kOk + "Content-Length: 9\r\n\r\n" + nine,
        kOk + "Transfer-Encoding: chunked\r\n\r\n5\r\nbbbbb\r\n4\r\nbbbb\r\n0\r\n\r\n",
        kOk + "\r\n" + nine,
    };
    for (const std::string& response : responses) {
        EXPECT_EQ(Read(response, 3, {}, limits).failure, "large") << response;
        limits.max_body_bytes = 9;
        EXPECT_EQ(Read(response, 3, {}, limits).body, nine) << response;
        limits.max_body_bytes = 8;
    }
}

TEST(ChunkSizeTest, HexBeforeTheFirstSpace) {
    const std::vector<std::pair<std::string, std::int32_t>> cases = {
        {"4", 4},         {"1a", 26},       {"1A ext", 26}, {"4;name=value", 0},
        {"", 0},          {" 4", 0},        {"zz", 0},      {"7fffffff", 2147483647},
        {"FFFFFFFF", -1}, {"100000000", 0}, {"-4", 0},
    };
    for (const auto& [line, size] : cases) EXPECT_EQ(ParseChunkSize(line), size) << line;
}

TEST(StatusCodeTest, SecondWordAsDecimal) {
    const std::vector<std::pair<std::string, int>> cases = {
        {"HTTP/1.1 200 OK", 200},
        {"HTTP/1.1   404", 404},
        {"HTTP/1.1 abc", -1},
        {"HTTP/1.1", -1},
        {"", -1},
        {"HTTP/1.1 200OK", -1},
        {"HTTP/1.0 99999999999 x", -1},
    };
    for (const auto& [line, code] : cases) EXPECT_EQ(ParseStatusCode(line), code) << line;
}

TEST(HttpHeadersTest, LookupByNameInAnyCaseWithContinuations) {
    HttpHeaders headers;
    for (const char* line : {"Server: a", "X-Note:  first  ", "\tsecond ", "  third",
                             "x-note: again", "Empty:", "NoColon"})
        headers.Add(line);
    EXPECT_EQ(headers.Value("x-NOTE"), "first second third");
    EXPECT_EQ(headers.Value("server"), "a");
    EXPECT_EQ(headers.Value("Empty"), "");
    EXPECT_EQ(headers.Value("Missing"), "");
    // A continuation line is never taken for a header of its own.
    headers.Add("Server2: b");
    headers.Add(" Hidden: c");
    EXPECT_EQ(headers.Value("Hidden"), "");
}

TEST(HttpResponseTest, KeepAliveUnlessAskedToClose) {
    const std::vector<std::pair<std::vector<const char*>, bool>> cases = {
        {{}, true},
        {{"Connection: keep-alive"}, true},
        {{"Connection:  CLOSE "}, false},
        {{"proxy-connection: Close"}, false},
        {{"Connection: close, upgrade"}, true},
    };
    for (const auto& [lines, keep] : cases) {
        HttpResponse response;
        for (const char* line : lines) response.headers.Add(line);
        EXPECT_EQ(response.KeepAlive(), keep) << (lines.empty() ? "none" : lines[0]);
    }
}

}  // namespace
}  // namespace pixmora
