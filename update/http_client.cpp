// The HTTP client's exchange: connect, send the request as one block, read the response,
// then keep or close the connection.
#include "update/http_client.h"

#include "update/http_errors.h"
#include "update/http_request.h"
#include "update/http_url.h"
#include "update/socket_byte_source.h"

namespace pixmora {

namespace {

// Whether the failure being handled is the expiry of a time limit or a body over the size
// limit.
bool CutByALimit() {
    try {
        throw;
    } catch (const TimeLimitExpired&) {
        return true;
    } catch (const ResponseTooLarge&) {
        return true;
    } catch (...) {
        return false;
    }
}

}  // namespace

void HttpClient::EndExchange(const HttpResponseReader& reader) {
    last_response_ = reader.Response();
    // A response cut off by a failure, or followed by bytes nobody asked for, leaves the
    // connection out of step: never reuse it.
    const bool keep = reader.Complete() && !reader.PeerClosed() && !reader.HasUnreadBytes() &&
                      reader.Response().KeepAlive();
    if (!keep) socket_.Close();
}

void HttpClient::Get(std::string_view address, std::string& body,
                     const std::vector<int>& statuses_to_pass) {
    if (cancel_.IsRaised()) throw RequestCancelled();
    const HttpRequest request = PrepareGetRequest(ParseHttpUrl(address));
    const HttpTimeLimits& limits = settings_.limits;
    const SteadyTime deadline = std::chrono::steady_clock::now() + limits.total;

    // A kept connection to another server, or one with something unread (most often the
    // server's close), is not reused.
    if (socket_.IsOpen() && (request.host != connected_host_ || request.port != connected_port_ ||
                             socket_.HasIncoming()))
        socket_.Close();
    last_response_ = HttpResponse{};
    if (!socket_.IsOpen()) {
        socket_.Connect(request.host, request.port, settings_.host_lookup, limits.connect,
                        deadline);
        connected_host_ = request.host;
        connected_port_ = request.port;
    }

    SocketByteSource source(socket_, limits.wait, deadline);
    HttpReaderLimits reader_limits;
    reader_limits.max_body_bytes = settings_.max_body_bytes;
    HttpResponseReader reader(source, reader_limits);
    const std::size_t body_before = body.size();
    try {
        socket_.SendAll(GetRequestText(request), limits.wait, deadline);
        reader.ReadResponse(body, statuses_to_pass);
    } catch (...) {
        EndExchange(reader);
        // A response cut by one of the client's own limits is no answer: none of it is
        // handed over.
        if (CutByALimit()) body.resize(body_before);
        throw;
    }
    EndExchange(reader);
}

}  // namespace pixmora
