// The main window's life: the first start and its settings file, the one activation that
// loads the settings, closing and what it writes, the window coming back where it was, and
// the one that lay off every screen brought back.
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>

#include "collect/file_list.h"
#include "tests/ui/qt_printing.h"
#include "tests/ui/window_harness.h"
#include "ui/browse_edit.h"
#include "ui/image_list_box.h"
#include "ui/mask_edit.h"
#include "ui/radio_button.h"
#include "ui/uf_main.h"

namespace pixmora {
namespace {

using test::DataHome;
using test::ReadFile;
using test::SectionLines;

// Swallows the window's activations, as a desktop without a window manager gives none.
class ActivationEater : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        return event->type() == QEvent::WindowActivate || QObject::eventFilter(watched, event);
    }
};

void Activate(TF_Main& window) {
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&window, &activate);
}

// A window shown and activated, as at every start.
std::unique_ptr<TF_Main> StartedWindow() {
    auto window = std::make_unique<TF_Main>();
    window->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    Activate(*window);
    return window;
}

// What the scan of the empty source folder box finds: the root folder's JPEG files.
std::size_t RootFolderJpegCount() {
    std::vector<TListe_File> root;
    AddFilesFromFolder(root, "", "jpg");
    return root.size();
}

std::string ScreenSuffix() {
    const QSize size = QGuiApplication::primaryScreen()->size();
    return "(" + std::to_string(size.width()) + "x" + std::to_string(size.height()) + ")";
}

int ScreenPixelsPerInch() { return qRound(QGuiApplication::primaryScreen()->logicalDotsPerInch()); }

// A settings file holding only a placement section with `normal` as the window's rectangle.
std::string PlacementSection(const QRect& normal) {
    const std::string rect = std::to_string(normal.left()) + "," + std::to_string(normal.top()) +
                             "," + std::to_string(normal.left() + normal.width()) + "," +
                             std::to_string(normal.top() + normal.height());
    return "[F_Main]\r\nFormVersion=0\r\nFlags=0\r\nShowCmd=1\r\nPixelsPerInch=" +
           std::to_string(ScreenPixelsPerInch()) + "\r\nMinMaxPos=-1,-1,-4,-4\r\nNormPos=" + rect +
           "\r\nVisible=0\r\n";
}

void WriteSettings(const DataHome& home, const std::string& text) {
    std::filesystem::create_directories(home.DataDir());
    std::ofstream(home.SettingsFile(), std::ios::binary) << text;
}

TEST(MainWindowStart, FirstStartWritesTheDefaultsAndShowsThem) {
    DataHome home;
    TF_Main window;
    EXPECT_EQ(window.DataDir, home.DataDir());
    // Nothing is read or written before the first activation.
    EXPECT_FALSE(std::filesystem::exists(home.SettingsFile()));
    Activate(window);
    EXPECT_EQ(window.EDT_Ratio->Text(), "100");
    EXPECT_TRUE(window.RDB_Source_Folder->Checked());
    EXPECT_FALSE(window.RDB_Fix_Folder->Checked());
    EXPECT_EQ(window.DED_Dest_Folder->Path(), "");
    EXPECT_FALSE(window.DED_Dest_Folder->isEnabled());
    EXPECT_EQ(ReadFile(home.SettingsFile()),
              "[integer]\r\nratio=100\r\nfolder=0\r\n[string]\r\nfolder_dest=\r\n");
}

TEST(MainWindowStart, ComesUpFullyWhenNothingActivatesIt) {
    DataHome home;
    TF_Main window;
    // Where no window manager hands the window the focus (a bare X server, Wayland), it
    // never hears of an activation.
    ActivationEater no_window_manager;
    window.installEventFilter(&no_window_manager);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.EDT_Ratio->Text() == "100"; }));
    EXPECT_TRUE(window.RDB_Source_Folder->Checked());
    // The empty source folder box scans the root folder.
    EXPECT_EQ(window.Files.size(), RootFolderJpegCount());
}

TEST(MainWindowStart, OnlyTheFirstActivationLoadsTheSettingsAndScans) {
    DataHome home;
    test::TempFolder photos;
    test::WritePhoto(photos, "a.jpg", 16, 16);
    test::WritePhoto(photos, "b.jpg", 16, 16);
    test::BoxAnswerer boxes;
    auto started = StartedWindow();
    TF_Main& window = *started;
    ASSERT_EQ(window.EDT_Ratio->Text(), "100");
    const std::size_t root_count = window.Files.size();

    // A second load would put the ratio back and scan the box's folder again: not after a
    // message box, not when the user comes back from another program.
    window.EDT_Ratio->SetText("30");
    window.DED_Dir_Source->SetPath(QString::fromStdString(photos.Path().string()));
    window.ShowError("Impossible");
    Activate(window);
    QTest::qWait(20);
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"Impossible"});
    EXPECT_EQ(window.EDT_Ratio->Text(), "30");
    EXPECT_EQ(window.Files.size(), root_count);
}

TEST(MainWindowStart, ClosingSavesTheSettingsAndThePlacementInItsOrder) {
    DataHome home;
    auto window = StartedWindow();
    window->EDT_Ratio->SetText("42");
    window->RDB_Fix_Folder->SetChecked(true);
    window->DED_Dest_Folder->SetPath("/srv/resized");
    window->DED_Dir_Source->SetPath("/srv/photos");
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(window->isVisible());

    const std::string saved = ReadFile(home.SettingsFile());
    EXPECT_EQ(SectionLines(saved, "integer"), (std::vector<std::string>{"ratio=42", "folder=1"}));
    EXPECT_EQ(SectionLines(saved, "string"),
              (std::vector<std::string>{"folder_dest=/srv/resized", "folder=/srv/photos"}));
    const std::vector<std::string> lines = SectionLines(saved, "F_Main");
    std::vector<std::string> keys;
    for (const std::string& line : lines) keys.push_back(line.substr(0, line.find('=')));
    const std::string suffix = ScreenSuffix();
    EXPECT_EQ(keys, (std::vector<std::string>{"FormVersion", "Flags", "ShowCmd", "PixelsPerInch",
                                              "MinMaxPos" + suffix, "MinMaxPos", "NormPos" + suffix,
                                              "NormPos", "Visible"}));
    EXPECT_EQ(lines.front(), "FormVersion=0");
    EXPECT_EQ(lines.back(), "Visible=0");

    // Saved at the close, the window writes nothing more when it is destroyed.
    window.reset();
    EXPECT_EQ(ReadFile(home.SettingsFile()), saved);
}

TEST(MainWindowStart, DestroyedWithoutClosingStoresOnlyThePlacement) {
    DataHome home;
    auto window = StartedWindow();
    window->DED_Dir_Source->SetPath("/srv/photos");
    window.reset();
    const std::string saved = ReadFile(home.SettingsFile());
    EXPECT_EQ(SectionLines(saved, "string"), (std::vector<std::string>{"folder_dest="}));
    EXPECT_EQ(SectionLines(saved, "F_Main").back(), "Visible=1");
}

TEST(MainWindowStart, ComesBackWhereItWasClosed) {
    DataHome home;
    QRect closed_at;
    {
        TF_Main window;
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(120, 80, 560, 540);
        QCoreApplication::processEvents();
        closed_at = window.frameGeometry();
        window.close();
    }
    TF_Main window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.frameGeometry(), closed_at);
}

TEST(MainWindowStart, StaysWhereTheUserPutsIt) {
    // Framed by a window manager, or without any frame as on a bare X server.
    for (const bool framed : {true, false}) {
        SCOPED_TRACE(framed ? "framed" : "frameless");
        DataHome home;
        WriteSettings(home, PlacementSection(QRect(100, 40, 500, 547)));
        test::BoxAnswerer boxes;
        TF_Main window;
        window.setWindowFlag(Qt::FramelessWindowHint, !framed);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        ASSERT_EQ(window.frameGeometry(), QRect(100, 40, 500, 547));
        // Once the window has settled (its frame known, or the wait for one over), the
        // stored place is not forced on it again: not when it is activated anew, not after
        // a message box.
        QTest::qWait(framed ? 200 : TF_Main::kFrameWait + 200);
        window.setGeometry(150, 60, 520, 530);
        const QRect moved = window.frameGeometry();
        window.ShowError("Impossible");
        Activate(window);
        QTest::qWait(20);
        EXPECT_EQ(window.frameGeometry(), moved);
    }
}

TEST(MainWindowStart, ARectangleOffEveryScreenIsBroughtBack) {
    DataHome home;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    WriteSettings(home,
                  PlacementSection(QRect(screen.right() + 2000, screen.bottom() + 1500, 500, 520)));
    TF_Main window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.frameGeometry().size(), QSize(500, 520));
    EXPECT_TRUE(screen.contains(window.frameGeometry()))
        << ::testing::PrintToString(window.frameGeometry());
}

}  // namespace
}  // namespace pixmora
