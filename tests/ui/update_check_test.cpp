// The update check as the window runs it: what the published version and the program's age
// bring up, a window that keeps working while the request is under way, the two answers (also
// during a batch run), and a window closed before the answer came.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "collect/settings_file.h"
#include "engine/codec/jpeg_image.h"
#include "support/file_time.h"
#include "support/hanging_lookup.h"
#include "support/jpeg_maker.h"
#include "support/scripted_server.h"
#include "support/temp_folder.h"
#include "tests/ui/window_harness.h"
#include "ui/mask_edit.h"
#include "ui/simple_label.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"
#include "ui/uf_update.h"
#include "update/update_texts.h"

namespace pixmora {
namespace {

using std::chrono::milliseconds;
using test::ScriptedServer;
using test::ServerScript;

constexpr int kPhotos = 4;

std::string Published(const std::string& body) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

// What the window was doing at a moment of the check.
struct WindowState {
    bool running;
    int file_in_progress;
    int outputs;  // resized copies written so far
};

// The update dialog as the user saw it.
struct ShownDialog {
    std::string message;
    std::string label;
    WindowState window;
};

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest() {
        started_at_creation = window->TMR_Update->isActive();
        window->TMR_Update->stop();
        window->UpdateRequestSettings.limits = {milliseconds(300), milliseconds(300),
                                                milliseconds(1000)};
        window->ProgramFile = program;
        SetAge(0);
        window->LBL_Update->SetOpener([this](const QString& address) {
            opened.push_back(address.toStdString());
            return true;
        });
        real_termination = window->RequestTermination;
        window->RequestTermination = [this] { terminations.push_back(State()); };
        answerer.setInterval(5);
        QObject::connect(&answerer, &QTimer::timeout, [this] { Answer(); });
        answerer.start();
    }

    void SetAge(int days) { test::SetWriteTime(program, test::NoonDaysAgo(days)); }

    // From the timer's tick until the dialog, if any, has been answered and freed.
    bool CheckUnderWay() const { return window->findChild<TF_Update*>() != nullptr; }

    void RunCheck(const std::string& url) {
        window->VersionFileUrl = url;
        window->TMR_UpdateTimer();
        ASSERT_TRUE(CheckUnderWay());
        ASSERT_TRUE(QTest::qWaitFor([this] { return !CheckUnderWay(); }, 5000));
    }

    void ShowAndActivate() {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(window.get(), &activate);
    }

    // Lists photos that take a moment each, so that a run lasts a while.
    void ListPhotos() {
        std::vector<std::string> names;
        for (int i = 0; i < kPhotos; ++i) {
            names.push_back(
                photos.WriteFile("album/" + std::to_string(i) + ".jpg",
                                 test::MakeJpeg(test::Progressive(test::Options(2400, 1800)))));
        }
        window->HandleDroppedFiles(names);
        ASSERT_EQ(window->Files.size(), static_cast<std::size_t>(kPhotos));
    }

    std::string OutputOf(int i) const {
        return photos.Slash() + "album/album/" + std::to_string(i) + ".jpg";
    }

    WindowState State() const {
        return {window && window->Running(), window ? window->SelectedLine() : -1, Outputs()};
    }

    int Outputs() const {
        int written = 0;
        for (int i = 0; i < kPhotos; ++i) written += std::filesystem::exists(OutputOf(i));
        return written;
    }

    // Starts a run of two workers over photos that take a while, and the check beside it,
    // on a server that answers at once; returns once both have ended.
    void RunWithCheckBeside(ScriptedServer& server) {
        window->VersionFileUrl = server.Url();
        window->RunJobs = 2;
        window->BTN_StartClick();
        window->TMR_UpdateTimer();
        EXPECT_TRUE(QTest::qWaitFor(
            [this] { return !window->Running() && !CheckUnderWay() && !shown.empty(); }, 30000));
    }

    test::DataHome home;
    test::TempFolder folder;
    test::TempFolder photos;
    const std::string program = folder.WriteFile("bin/pixmora", "program");
    std::vector<std::string> opened;
    std::vector<WindowState> terminations;  // at each request to end
    std::vector<ShownDialog> shown;
    int answer = TF_Update::kAnswerLater;
    std::unique_ptr<TF_Main> window = std::make_unique<TF_Main>();
    bool started_at_creation = false;
    std::function<void()> real_termination;

private:
    void Answer() {
        auto* dialog = qobject_cast<TF_Update*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        shown.push_back({dialog->Message(), dialog->LBL_Update1->text().toStdString(), State()});
        QTest::mouseClick(answer == TF_Update::kAnswerDownload ? dialog->BTN_Yes : dialog->BTN_No,
                          Qt::LeftButton);
    }

    QTimer answerer;
};

TEST_F(UpdateCheckTest, PublishedVersionAndProgramAgeDecideTheDialog) {
    const std::string text_a = OutOfDateText("Pixmora");
    struct Row {
        const char* name;
        std::string reply;  // empty: nobody listens on the port
        int age;            // days since the program file was written
        std::string message;
    };
    std::vector<Row> rows = {
        {"same, 20 days", Published("V2.0"), 20, ""},
        {"same, 21 days", Published("V2.0"), 21, text_a},
        {"newer", Published("V2.1"), 0, NewVersionText("Pixmora", "V2.0", "V2.1")},
        {"newer, 21 days", Published("V2.1"), 21, NewVersionText("Pixmora", "V2.0", "V2.1")},
        {"short", Published("V2"), 0, NewVersionText("Pixmora", "V2.0", "V2")},
    };
    const std::vector<std::pair<const char*, std::string>> failures = {
        {"not found", "HTTP/1.1 404 Not Found\r\nContent-Length: 4\r\n\r\nV9.9"},
        {"no content", "HTTP/1.1 204 No Content\r\n\r\n"},
        {"redirect", "HTTP/1.1 302 Found\r\nLocation: /v\r\nContent-Length: 4\r\n\r\nV9.9"},
        {"nobody listens", ""},
    };
    for (const auto& [name, reply] : failures) {
        rows.push_back({name, reply, 20, ""});
        rows.push_back({name, reply, 21, text_a});
    }
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.name) + ", " + std::to_string(row.age) + " days");
        SetAge(row.age);
        std::optional<ScriptedServer> server;
        const std::string url =
            row.reply.empty() ? "http://127.0.0.1:" + std::to_string(test::UnusedPort()) + "/v"
                              : server.emplace(ServerScript{{row.reply}}).Url();
        shown.clear();
        RunCheck(url);
        if (row.message.empty()) {
            EXPECT_TRUE(shown.empty());
        } else {
            ASSERT_EQ(shown.size(), 1u);
            EXPECT_EQ(shown[0].message, row.message);
            EXPECT_EQ(shown[0].label,
                      QString::fromStdString(row.message).replace('\r', '\n').toStdString());
        }
        // The version file is asked for whatever the age.
        if (server) {
            EXPECT_EQ(server->Requests().size(), 1u);
        }
    }
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(terminations.empty());
}

TEST_F(UpdateCheckTest, WindowKeepsHandlingEventsWhileTheServerIsSilent) {
    ScriptedServer server(ServerScript{});  // accepts, reads, never answers
    SetAge(21);
    std::vector<qint64> ticks;
    QElapsedTimer clock;
    QTimer ticker;
    ticker.setInterval(50);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ticks.push_back(clock.elapsed()); });
    window->VersionFileUrl = server.Url();
    clock.start();
    ticker.start();
    window->TMR_UpdateTimer();
    // The check ends with the dialog: no news, but a stale program file.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !shown.empty(); }, 3000));
    const qint64 ended = clock.elapsed();
    ticker.stop();

    EXPECT_EQ(shown[0].message, OutOfDateText("Pixmora"));
    EXPECT_EQ(server.Connections(), 1);
    // Given up after the 300 ms wait, well within the 1 s for the whole exchange.
    EXPECT_GE(ended, 280);
    EXPECT_LE(ended, 1200);
    ASSERT_GE(ticks.size(), 4u);
    // From the tick to the first test tick, between ticks, and from the last one to the end.
    ticks.push_back(ended);
    qint64 longest = ticks[0];
    for (std::size_t i = 1; i < ticks.size(); ++i)
        longest = std::max(longest, ticks[i] - ticks[i - 1]);
    EXPECT_LT(longest, 100);
}

TEST_F(UpdateCheckTest, AnswerOneOpensTheDownloadSavesTheSettingsAndEnds) {
    ScriptedServer server(ServerScript{{Published("V2.1")}});
    ShowAndActivate();
    window->EDT_Ratio->SetText("");
    QTest::keyClicks(window->EDT_Ratio, "37");
    ASSERT_EQ(window->EDT_Ratio->Text(), "37");
    answer = TF_Update::kAnswerDownload;
    // The real request to end: the application's event loop returns 0.
    window->RequestTermination = [this] {
        terminations.push_back(State());
        real_termination();
    };
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    watchdog.start(5000);
    window->VersionFileUrl = server.Url();
    window->TMR_Update->start(0);
    EXPECT_EQ(QApplication::exec(), 0);
    watchdog.stop();

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].message, NewVersionText("Pixmora", "V2.0", "V2.1"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], window->DownloadUrl);
    EXPECT_TRUE(window->DownloadUrl.find("/tolvek/Pixmora/Pixmora.exe") != std::string::npos);
    EXPECT_EQ(IniReadInteger(window->SettingsFile(), "integer", "ratio"), 37);
    ASSERT_EQ(terminations.size(), 1u);
    EXPECT_FALSE(CheckUnderWay());
    // The placement is stored when the window goes, as the program's end destroys it.
    const std::string settings = window->SettingsFile();
    window.reset();
    EXPECT_FALSE(IniReadString(settings, "F_Main", "NormPos").empty());
}

TEST_F(UpdateCheckTest, AnswerTwoDoesNothingMoreAndTheCheckNeverComesBack) {
    EXPECT_TRUE(started_at_creation);
    EXPECT_EQ(window->TMR_Update->interval(), 10000);
    ScriptedServer server(ServerScript{{Published("V2.1")}});
    SetAge(21);
    ShowAndActivate();
    window->VersionFileUrl = server.Url();
    window->TMR_Update->start(1);
    ASSERT_TRUE(QTest::qWaitFor([this] { return !shown.empty() && !CheckUnderWay(); }, 3000));
    EXPECT_FALSE(window->TMR_Update->isActive());

    // Another activation and time past the request's limits: no second check.
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(window.get(), &activate);
    EXPECT_FALSE(QTest::qWaitFor([this] { return CheckUnderWay(); }, 500));
    EXPECT_EQ(shown.size(), 1u);
    EXPECT_EQ(server.Connections(), 1);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(terminations.empty());
    EXPECT_TRUE(window->isVisible());
}

TEST_F(UpdateCheckTest, DuringARunTheDialogComesWhileTheRunGoesOn) {
    ListPhotos();
    ScriptedServer server(ServerScript{{Published("V2.1")}});
    RunWithCheckBeside(server);

    ASSERT_EQ(shown.size(), 1u);
    EXPECT_TRUE(shown[0].window.running);
    EXPECT_LT(shown[0].window.outputs, kPhotos);
    // Answered later: the run went on to the end.
    EXPECT_EQ(Outputs(), kPhotos);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(terminations.empty());
    EXPECT_FALSE(CheckUnderWay());
}

TEST_F(UpdateCheckTest, AnswerOneDuringARunEndsAfterTheFilesInProgress) {
    ListPhotos();
    ScriptedServer server(ServerScript{{Published("V2.1")}});
    answer = TF_Update::kAnswerDownload;
    RunWithCheckBeside(server);

    ASSERT_EQ(shown.size(), 1u);
    ASSERT_TRUE(shown[0].window.running);
    // Asked to end once, after the run had returned with the files in progress written
    // whole and no other begun.
    ASSERT_EQ(terminations.size(), 1u);
    EXPECT_FALSE(terminations[0].running);
    EXPECT_GE(terminations[0].outputs, 1);
    EXPECT_LT(terminations[0].outputs, kPhotos);
    for (int i = 0; i < kPhotos; ++i) {
        SCOPED_TRACE(i);
        if (i < terminations[0].outputs) {
            TJPEGImage copy;
            copy.LoadFromFile(OutputOf(i));
            EXPECT_EQ(copy.Width(), 1200);
            EXPECT_EQ(copy.Height(), 900);
        } else {
            EXPECT_FALSE(std::filesystem::exists(OutputOf(i)));
        }
    }
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], window->DownloadUrl);
    EXPECT_EQ(IniReadInteger(window->SettingsFile(), "integer", "ratio"), 50);
}

TEST_F(UpdateCheckTest, AnswerComingAfterTheWindowClosedAsksNothing) {
    ServerScript slow{{Published("V2.1")}};
    slow.piece_size = 16;
    slow.piece_pause = milliseconds(100);
    ScriptedServer server(slow);
    ShowAndActivate();
    window->VersionFileUrl = server.Url();
    window->TMR_UpdateTimer();
    window->close();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !CheckUnderWay(); }, 3000));
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_TRUE(shown.empty());
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(terminations.empty());
}

TEST_F(UpdateCheckTest, ClosingTheWindowDuringTheRequestReturnsAtOnce) {
    for (const bool hanging_lookup : {false, true}) {
        SCOPED_TRACE(hanging_lookup ? "name lookup hangs" : "server silent");
        if (!window) window = std::make_unique<TF_Main>();
        window->TMR_Update->stop();
        ScriptedServer server(ServerScript{});
        test::HangingLookup lookup;
        // The limits as shipped: closing must not wait for them.
        window->UpdateRequestSettings = HttpClientSettings{};
        window->VersionFileUrl = server.Url();
        if (hanging_lookup) {
            window->UpdateRequestSettings.host_lookup = lookup.Function();
            window->VersionFileUrl = "http://version.test/tolvek/Pixmora/Pixmora.ver";
        }
        window->show();
        window->TMR_UpdateTimer();
        if (hanging_lookup) {
            ASSERT_TRUE(lookup.WaitUntilEntered());
        } else {
            ASSERT_TRUE(QTest::qWaitFor([&] { return server.Connections() == 1; }, 3000));
        }
        QElapsedTimer clock;
        clock.start();
        window->close();
        window.reset();
        EXPECT_LT(clock.elapsed(), 200);
        // Nothing left behind comes back to the window that is gone.
        QTest::qWait(100);
        EXPECT_TRUE(shown.empty());
    }
}

}  // namespace
}  // namespace pixmora
