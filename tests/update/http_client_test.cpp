// The HTTP client against real servers on 127.0.0.1: the bytes it sends, what it makes of
// each kind of answer, its time limits, name lookups, cancelling, and when it keeps or
// closes the connection.
#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/hanging_lookup.h"
#include "support/scripted_server.h"
#include "update/http_client.h"
#include "update/http_errors.h"

namespace pixmora {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;
using test::ScriptedServer;
using test::ServerScript;

struct Outcome {
    std::string body;
    std::string message;  // "" on success
    int status = 0;
    std::string error_text;
    int socket_code = 0;
};

Outcome Fetch(HttpClient& client, const std::string& address) {
    Outcome outcome;
    try {
        client.Get(address, outcome.body);
    } catch (const HttpProtocolError& e) {
        outcome.message = e.what();
        outcome.status = e.StatusCode();
        outcome.error_text = e.ErrorText();
    } catch (const SocketError& e) {
        outcome.message = e.what();
        outcome.socket_code = e.Code();
    } catch (const HttpError& e) {
        outcome.message = e.what();
    }
    return outcome;
}

long long MillisecondsSince(steady_clock::time_point start) {
    return std::chrono::duration_cast<milliseconds>(steady_clock::now() - start).count();
}

HttpClient QuickClient() {
    HttpClientSettings settings;
    settings.limits = {milliseconds(500), milliseconds(300), milliseconds(1500)};
    return HttpClient(settings);
}

TEST(HttpClientTest, SendsTheRequestAsWritten) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nV2.1"}});
    HttpClient client;
    EXPECT_EQ(Fetch(client, server.Url()).body, "V2.1");
    server.WaitUntilDone();
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0],
              "GET /tolvek/Pixmora/Pixmora.ver HTTP/1.1\r\n"
              "Host: 127.0.0.1:" +
                  std::to_string(server.Port()) +
                  "\r\n"
                  "Accept: text/html, */*\r\n"
                  "Accept-Encoding: identity\r\n"
                  "User-Agent: Mozilla/3.0 (compatible; Indy Library)\r\n"
                  "\r\n");
}

TEST(HttpClientTest, LocalHostInAnyCaseAndTheHostAsWritten) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}});
    HttpClient client;
    const std::string port = std::to_string(server.Port());
    EXPECT_EQ(Fetch(client, "http://LocalHost:" + port + "/a#part").body, "ok");
    server.WaitUntilDone();
    ASSERT_EQ(server.Requests().size(), 1u);
    const std::string expected = "GET /a HTTP/1.1\r\nHost: LocalHost:" + port + "\r\n";
    EXPECT_EQ(server.Requests()[0].substr(0, expected.size()), expected);
}

TEST(HttpClientTest, AnswersOverTheConnection) {
    struct Row {
        const char* name;
        std::string reply;
        std::string body;
        std::string message;
        std::string error_text;
    };
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const std::vector<Row> rows = {
        {"length", ok + "Content-Length: 4\r\n\r\nV2.1", "V2.1", "", ""},
        {"chunked", ok + "Transfer-Encoding: chunked\r\n\r\n4\r\nV2.1\r\n0\r\n\r\n", "V2.1", "",
         ""},
        {"until close", ok + "\r\nV2.1\r\n", "V2.1\r\n", "", ""},
        {"cut short", ok + "Content-Length: 10\r\n\r\nV2.1", "V2.1", "", ""},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", "", "", ""},
        {"continue", "HTTP/1.1 100 Continue\r\n\r\n" + ok + "Content-Length: 4\r\n\r\nV2.1", "V2.1",
         "", ""},
        {"ok with location", ok + "Location: /x\r\nContent-Length: 4\r\n\r\nV2.1", "",
         "HTTP/1.1 200 OK", "V2.1"},
        {"moved", "HTTP/1.1 301 Moved Permanently\r\nLocation: /x\r\nContent-Length: 0\r\n\r\n", "",
         "HTTP/1.1 301 Moved Permanently", ""},
        {"found", "HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", "", "HTTP/1.1 302 Found", ""},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 11\r\n\r\n<b>404</b>\n", "",
         "HTTP/1.1 404 Not Found", "<b>404</b>\n"},
        {"server error", "HTTP/1.1 500 Internal Server Error\r\n\r\n<html>500</html>", "",
         "HTTP/1.1 500 Internal Server Error", "<html>500</html>"},
        {"long line", ok + "X: " + std::string(17000, 'x') + "\r\n\r\n", "",
         "Max line length exceeded.", ""},
        {"close in chunk", ok + "Transfer-Encoding: chunked\r\n\r\n9\r\nV2.1", "V2.1",
         "Connection Closed Gracefully.", ""},
        {"huge length", ok + "Content-Length: 2147483647\r\n\r\nV2.1", "",
         "Response body too large", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedServer server({{row.reply}});
        HttpClient client = QuickClient();
        const Outcome outcome = Fetch(client, server.Url());
        EXPECT_EQ(outcome.body, row.body);
        EXPECT_EQ(outcome.message, row.message);
        EXPECT_EQ(outcome.error_text, row.error_text);
    }
}

TEST(HttpClientTest, UnservedAddressesFailBeforeConnecting) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok"}});
    HttpClient client = QuickClient();
    const std::string rest = "127.0.0.1:" + std::to_string(server.Port()) + "/v";
    EXPECT_EQ(Fetch(client, "https://127.0.0.1/v").message, "IOHandler value is not valid");
    EXPECT_EQ(Fetch(client, "https://" + rest).message, "IOHandler value is not valid");
    EXPECT_EQ(Fetch(client, "ftp://127.0.0.1/v").message, "Unknown Protocol");
    EXPECT_EQ(server.Connections(), 0);
    // Another protocol that names its port is spoken to as http.
    EXPECT_EQ(Fetch(client, "ftp://" + rest).body, "ok");
}

TEST(HttpClientTest, RefusedConnectionIsASocketError) {
    HttpClient client = QuickClient();
    const Outcome outcome =
        Fetch(client, "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/v");
    EXPECT_EQ(outcome.socket_code, ECONNREFUSED);
    EXPECT_EQ(outcome.message, "Socket Error # 111\r\nConnection refused");
}

TEST(HttpClientTest, DefaultTimeLimits) {
    const HttpClient client;
    EXPECT_EQ(client.Settings().limits.connect, milliseconds(5000));
    EXPECT_EQ(client.Settings().limits.wait, milliseconds(5000));
    EXPECT_EQ(client.Settings().limits.total, milliseconds(15000));
}

TEST(HttpClientTest, ServerThatNeverAnswersRunsIntoTheWaitLimit) {
    ScriptedServer server({{}, 0, milliseconds(0), false});
    HttpClient client = QuickClient();
    const Outcome outcome = Fetch(client, server.Url());
    EXPECT_EQ(outcome.socket_code, ETIMEDOUT);
    EXPECT_EQ(outcome.message, "Socket Error # 110\r\nConnection timed out");
    EXPECT_FALSE(client.Connected());
}

TEST(HttpClientTest, AResponseCutByALimitHandsNothingOver) {
    struct Row {
        const char* name;
        ServerScript script;
        std::size_t max_body_bytes;  // beyond what the caller's buffer held before
        std::string message;
    };
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    ServerScript trickle;  // each byte well within the wait limit, the whole answer in seconds
    trickle.replies = {ok + "\r\n" + std::string(200, 'A')};
    trickle.piece_size = 1;
    trickle.piece_pause = milliseconds(20);
    ServerScript stall;  // four bytes of ten, then nothing more
    stall.replies = {ok + "Content-Length: 10\r\n\r\nAAAA"};
    stall.close_after_last = false;
    ServerScript flood;  // more than the size limit, in pieces, up to the close
    flood.replies = {ok + "\r\n" + std::string(64, 'A')};
    flood.piece_size = 8;
    flood.piece_pause = milliseconds(10);
    const ServerScript chunks{
        {ok + "Transfer-Encoding: chunked\r\n\r\n8\r\nAAAAAAAA\r\n8\r\nAAAAAAAA\r\n0\r\n\r\n"}};
    const std::string timed_out = "Socket Error # 110\r\nConnection timed out";
    const std::vector<Row> rows = {
        {"whole exchange limit", trickle, 1024, timed_out},
        {"wait limit", stall, 1024, timed_out},
        {"size limit up to the close", flood, 16, "Response body too large"},
        {"size limit in chunks", chunks, 12, "Response body too large"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ScriptedServer server(row.script);
        HttpClientSettings settings;
        settings.limits = {milliseconds(500), milliseconds(300), milliseconds(600)};
        std::string body = "held before";
        settings.max_body_bytes = body.size() + row.max_body_bytes;
        HttpClient client(settings);
        std::string message;
        try {
            client.Get(server.Url(), body);
        } catch (const HttpError& e) {
            message = e.what();
        }
        EXPECT_EQ(message, row.message);
        // Some of the body had come; none of it is handed over, and what was there stays.
        EXPECT_EQ(body, "held before");
        EXPECT_FALSE(client.Connected());
    }
}

TEST(HttpClientTest, ConnectThatIsNeverAnsweredRunsIntoTheConnectLimit) {
    test::UnansweredListener listener;
    HttpClientSettings settings;
    settings.limits = {milliseconds(200), milliseconds(5000), milliseconds(5000)};
    HttpClient client(settings);
    const Outcome outcome =
        Fetch(client, "http://127.0.0.1:" + std::to_string(listener.Port()) + "/v");
    EXPECT_EQ(outcome.socket_code, ETIMEDOUT);
    EXPECT_FALSE(client.Connected());
}

TEST(HttpClientTest, WholeExchangeLimitHoldsWhileBytesKeepComing) {
    std::string more_to_come;
    for (int i = 0; i < 2000; ++i) more_to_come += "HTTP/1.1 100 Continue\r\n\r\n";
    ServerScript flood;  // interim answers faster than the client reads them
    flood.replies = {more_to_come};
    flood.repeat = more_to_come;
    ServerScript trickle;  // a body byte every 100 ms, for ever
    trickle.replies = {"HTTP/1.1 200 OK\r\n\r\n"};
    trickle.repeat = "v";
    trickle.piece_pause = milliseconds(100);
    for (const ServerScript& script : {flood, trickle}) {
        SCOPED_TRACE(script.repeat.substr(0, 12));
        ScriptedServer server(script);
        HttpClientSettings settings;
        settings.limits = {milliseconds(500), milliseconds(500), milliseconds(1000)};
        HttpClient client(settings);
        const auto start = steady_clock::now();
        const Outcome outcome = Fetch(client, server.Url());
        const long long took = MillisecondsSince(start);
        EXPECT_EQ(outcome.socket_code, ETIMEDOUT);
        EXPECT_GE(took, 1000);
        EXPECT_LT(took, 1500);
        EXPECT_FALSE(client.Connected());
    }
}

TEST(HttpClientTest, NameLookupGivesTheAddressOrItsFailure) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nV2.1"}});
    HttpClientSettings settings;
    settings.limits = {milliseconds(500), milliseconds(300), milliseconds(1500)};
    settings.host_lookup = [](const std::string& name) -> std::uint32_t {
        if (name == "version.test") return 0x7F000001;
        throw SocketError(-2, "Name or service not known");
    };
    HttpClient client(settings);
    const std::string rest = ":" + std::to_string(server.Port()) + "/v";
    EXPECT_EQ(Fetch(client, "http://other.test" + rest).message,
              "Socket Error # -2\r\nName or service not known");
    EXPECT_EQ(Fetch(client, "http://version.test" + rest).body, "V2.1");
}

TEST(HttpClientTest, NameLookupThatHangsRunsIntoTheTimeLimits) {
    struct Row {
        const char* name;
        HttpTimeLimits limits;
    };
    const std::vector<Row> rows = {
        {"connect", {milliseconds(300), milliseconds(5000), milliseconds(5000)}},
        {"whole exchange", {milliseconds(5000), milliseconds(5000), milliseconds(300)}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        test::HangingLookup lookup;
        HttpClientSettings settings;
        settings.limits = row.limits;
        settings.host_lookup = lookup.Function();
        HttpClient client(settings);
        const auto start = steady_clock::now();
        const Outcome outcome = Fetch(client, "http://version.test/v");
        const long long took = MillisecondsSince(start);
        EXPECT_EQ(outcome.socket_code, ETIMEDOUT);
        EXPECT_GE(took, 300);
        EXPECT_LT(took, 800);
    }
}

TEST(HttpClientTest, CancelFromAnotherThreadEndsTheExchangeAndEveryLaterOne) {
    ScriptedServer server({{}, 0, milliseconds(0), false});  // accepts, never answers
    HttpClientSettings settings;  // the full limits: only the cancel ends the wait
    HttpClient client(settings);
    const auto start = steady_clock::now();
    std::thread canceller([&client] {
        std::this_thread::sleep_for(milliseconds(200));
        client.Cancel();
    });
    const Outcome outcome = Fetch(client, server.Url());
    const long long took = MillisecondsSince(start);
    canceller.join();
    EXPECT_EQ(outcome.message, "Request cancelled.");
    EXPECT_LT(took, 300);
    EXPECT_FALSE(client.Connected());
    EXPECT_EQ(Fetch(client, server.Url()).message, "Request cancelled.");
}

TEST(HttpClientTest, KeptConnectionServesTheNextRequest) {
    ServerScript script;
    script.replies = {"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nV2.1",
                      "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nV2.2"};
    script.close_after_last = false;
    ScriptedServer server(script);
    {
        HttpClient client = QuickClient();
        EXPECT_EQ(Fetch(client, server.Url()).body, "V2.1");
        EXPECT_TRUE(client.Connected());
        EXPECT_EQ(Fetch(client, server.Url()).body, "V2.2");
        EXPECT_TRUE(client.Connected());
    }
    server.WaitUntilDone();
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_EQ(server.Requests().size(), 2u);
    EXPECT_TRUE(server.ClientClosed());  // closed when the client went away
}

TEST(HttpClientTest, ConnectionCloseIsHonouredAfterSuccessAndFailure) {
    const std::vector<std::string> replies = {
        "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: 4\r\n\r\nV2.1",
        "HTTP/1.1 404 Not Found\r\nProxy-Connection: CLOSE\r\nContent-Length: 0\r\n\r\n",
    };
    for (const std::string& reply : replies) {
        ScriptedServer server({{reply}, 0, milliseconds(0), false});
        HttpClient client = QuickClient();
        Fetch(client, server.Url());
        EXPECT_FALSE(client.Connected()) << reply;
        server.WaitUntilDone();
        EXPECT_TRUE(server.ClientClosed()) << reply;
    }
}

}  // namespace
}  // namespace pixmora
