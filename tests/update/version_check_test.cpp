// The update check: what the published version file leads to, the age rule on real file
// times, and the exact dialog texts.
#include <ctime>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/file_time.h"
#include "support/scripted_server.h"
#include "support/temp_folder.h"
#include "update/app_identity.h"
#include "update/program_file.h"
#include "update/update_texts.h"
#include "update/version_check.h"

namespace pixmora {
namespace {

using std::chrono::milliseconds;
using test::LocalTime;
using test::ScriptedServer;
using test::SetWriteTime;

HttpClient QuickClient() {
    HttpClientSettings settings;
    settings.limits = {milliseconds(500), milliseconds(300), milliseconds(1500)};
    return HttpClient(settings);
}

const std::string kTextA =
    "Your application :\rPixmora\r may be out of date and you could miss the benefit of new "
    "functions !\rDo you want to proceed to check the latest version of this application ?";

std::string TextB(const std::string& latest) {
    return "Your version V2.0 of Pixmora is out of date !\rActual version available : " + latest +
           "\rYou could miss the benefit of new functions and fixed issues !\rProceed to "
           "download this new application version ...";
}

TEST(UpdateTextsTest, ExactBytes) {
    EXPECT_EQ(OutOfDateText("Pixmora"), kTextA);
    EXPECT_EQ(NewVersionText("Pixmora", "V2.0", "V2.1"), TextB("V2.1"));
    EXPECT_EQ(UpdateMessage("Pixmora", "V2.0", "V2.1"), TextB("V2.1"));
    EXPECT_EQ(UpdateMessage("Pixmora", "V2.0", "V2.0"), kTextA);
    EXPECT_EQ(UpdateMessage("Pixmora", "V2.0", ""), kTextA);
    EXPECT_EQ(kTextA.find('\n'), std::string::npos);
    EXPECT_EQ(TextB("V2.1").find('\n'), std::string::npos);
}

TEST(VersionCheckTest, VersionsDiffer) {
    EXPECT_FALSE(VersionsDiffer("V2.0", "V2.0"));
    EXPECT_TRUE(VersionsDiffer("v2.0", "V2.0"));
    EXPECT_TRUE(VersionsDiffer("V2", "V2.0"));
    EXPECT_FALSE(VersionsDiffer("", "V2.0"));
    EXPECT_FALSE(VersionsDiffer("V2.1", ""));
}

TEST(VersionCheckTest, PublishedVersionDecidesTheDialog) {
    struct Row {
        const char* name;
        std::string reply;  // empty: nobody listens
        bool fetched;
        std::string latest;
    };
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const std::vector<Row> rows = {
        {"same", ok + "Content-Length: 4\r\n\r\nV2.0", true, "V2.0"},
        {"same with line end", ok + "\r\nV2.0\r\n", true, "V2.0"},
        {"same with more", ok + "Content-Length: 9\r\n\r\nV2.0 beta", true, "V2.0"},
        {"newer", ok + "Content-Length: 4\r\n\r\nV2.1", true, "V2.1"},
        {"lower case", ok + "Content-Length: 4\r\n\r\nv2.0", true, "v2.0"},
        {"two digits", ok + "Content-Length: 5\r\n\r\nV10.0", true, "V10."},
        {"short", ok + "Content-Length: 2\r\n\r\nV2", true, "V2"},
        {"cut short in a chunk", ok + "Transfer-Encoding: chunked\r\n\r\n9\r\nV2.1", true, "V2.1"},
        {"empty body", ok + "Content-Length: 0\r\n\r\n", false, ""},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n", false, ""},
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nV9.9", false, ""},
        {"redirect", "HTTP/1.1 302 Found\r\nLocation: /x\r\nContent-Length: 4\r\n\r\nV9.9", false,
         ""},
        {"nobody listens", "", false, ""},
    };
    test::TempFolder folder;
    const std::string program = folder.WriteFile("pixmora", "binary");
    const CivilDate today{2024, 3, 10};
    for (const bool stale : {false, true}) {
        SetWriteTime(program,
                     stale ? LocalTime(2024, 2, 1, 12, 0, 0) : LocalTime(2024, 3, 9, 12, 0, 0));
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.name) + (stale ? " stale" : " fresh"));
            std::unique_ptr<ScriptedServer> server;
            std::string url = "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/v";
            if (!row.reply.empty()) {
                server = std::make_unique<ScriptedServer>(test::ServerScript{{row.reply}});
                url = server->Url();
            }
            HttpClient client = QuickClient();
            const UpdateCheckResult result =
                CheckForUpdate(client, {"Pixmora", "V2.0", url, program, today});
            const bool differs = row.fetched && row.latest != "V2.0";
            EXPECT_EQ(result.fetched, row.fetched);
            EXPECT_EQ(result.latest_version, row.latest);
            EXPECT_EQ(result.differs, differs);
            EXPECT_EQ(result.stale, stale);
            EXPECT_EQ(result.show_dialog, differs || stale);
            const std::string message = differs ? TextB(row.latest) : stale ? kTextA : "";
            EXPECT_EQ(result.message, message);
        }
    }
}

TEST(VersionCheckTest, AnAnswerCutByALimitIsNoVersion) {
    const std::string ok = "HTTP/1.1 200 OK\r\n\r\n";
    test::ServerScript drip;  // a byte every 20 ms, for ever
    drip.replies = {ok};
    drip.repeat = "A";
    drip.piece_pause = milliseconds(20);
    test::ServerScript flood;  // past the size limit, up to the close
    flood.replies = {ok + std::string(64, 'A')};
    flood.piece_size = 8;
    flood.piece_pause = milliseconds(10);
    test::TempFolder folder;
    const std::string program = folder.WriteFile("pixmora", "binary");
    SetWriteTime(program, LocalTime(2024, 2, 1, 12, 0, 0));
    for (const test::ServerScript& script : {drip, flood}) {
        SCOPED_TRACE(script.repeat.empty() ? "size limit" : "time limit");
        ScriptedServer server(script);
        HttpClientSettings settings;
        settings.limits = {milliseconds(500), milliseconds(300), milliseconds(300)};
        settings.max_body_bytes = 16;
        HttpClient client(settings);
        const UpdateCheckResult result =
            CheckForUpdate(client, {"Pixmora", "V2.0", server.Url(), program, {2024, 3, 10}});
        EXPECT_FALSE(result.fetched);
        EXPECT_EQ(result.latest_version, "");
        EXPECT_FALSE(result.differs);
        // Only the age shows the dialog, with no version in it.
        EXPECT_EQ(result.message, kTextA);
    }
}

TEST(VersionCheckTest, StaleFromThe21stDayWhateverTheHour) {
    test::TempFolder folder;
    const std::string program = folder.WriteFile("pixmora", "binary");
    struct Row {
        int year, month, day, hour, minute, second;
        bool stale;
    };
    // Today is 2024-03-10; 2024 is a leap year, so 20 days back is 2024-02-19.
    const std::vector<Row> rows = {
        {2024, 2, 19, 0, 0, 1, false},    {2024, 2, 19, 23, 59, 59, false},
        {2024, 2, 18, 0, 0, 1, true},     {2024, 2, 18, 23, 59, 59, true},
        {2024, 3, 10, 23, 59, 59, false}, {2024, 3, 11, 8, 0, 0, false},
        {2023, 3, 10, 12, 0, 0, true},
    };
    const CivilDate today{2024, 3, 10};
    for (const Row& row : rows) {
        SetWriteTime(program,
                     LocalTime(row.year, row.month, row.day, row.hour, row.minute, row.second));
        const PackedFileTime written = ProgramFileTime(program);
        EXPECT_EQ(IsStale(written, today), row.stale)
            << row.year << "-" << row.month << "-" << row.day << " " << row.hour << ":"
            << row.minute << ":" << row.second;
    }
}

TEST(VersionCheckTest, FileTimesInPackedDateResolution) {
    const PackedFileTime late = ToPackedFileTime(LocalTime(2024, 2, 18, 23, 59, 59));
    EXPECT_EQ(late.date.year, 2024);
    EXPECT_EQ(late.date.month, 2);
    EXPECT_EQ(late.date.day, 18);
    EXPECT_EQ(late.hour, 23);
    EXPECT_EQ(late.minute, 59);
    EXPECT_EQ(late.second, 58);
    // Before the packed range: the oldest packed date, which is stale, not an error.
    const PackedFileTime ancient = ToPackedFileTime(1);
    EXPECT_EQ(ancient.date.year, 1980);
    EXPECT_TRUE(IsStale(ancient, {2024, 3, 10}));
    EXPECT_EQ(ToPackedFileTime(LocalTime(2200, 1, 1, 0, 0, 0)).date.year, 2107);
}

TEST(VersionCheckTest, MissingProgramFileIsReportedAfterTheRequest) {
    ScriptedServer server({{"HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nV2.1"}});
    test::TempFolder folder;
    HttpClient client = QuickClient();
    const UpdateCheckInputs inputs{
        "Pixmora", "V2.0", server.Url(), folder.Path() / "gone", {2024, 3, 10}};
    EXPECT_THROW(CheckForUpdate(client, inputs), ProgramFileTimeError);
    server.WaitUntilDone();
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST(VersionCheckTest, RunningProgramInputs) {
    const UpdateCheckInputs inputs = RunningProgramUpdateCheckInputs();
    EXPECT_EQ(inputs.app_name, "Pixmora");
    EXPECT_EQ(inputs.current_version, "V2.0");
    EXPECT_EQ(inputs.version_file_url, VersionFileUrl());
    // The test's own executable was just built, so it is neither missing nor stale.
    EXPECT_FALSE(IsStale(ProgramFileTime(inputs.program_file), inputs.today));
}

}  // namespace
}  // namespace pixmora
