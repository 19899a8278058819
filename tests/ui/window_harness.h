// What the main window's behaviour tests share: a data folder of their own, the error boxes
// answered as a user would, drops as a file manager makes them, and photos written on the fly.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QByteArray>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QTimer>

#include "support/temp_folder.h"

class QWidget;

namespace pixmora {

class TF_Main;

namespace test {

// Points XDG_DATA_HOME at a fresh folder while alive, so that each window starts with no
// settings file; the previous value comes back afterwards.
class DataHome {
public:
    DataHome();
    ~DataHome();
    DataHome(const DataHome&) = delete;
    DataHome& operator=(const DataHome&) = delete;

    // The window's data folder and its settings file inside the fresh folder.
    std::string DataDir() const;
    std::string SettingsFile() const;

private:
    TempFolder folder_;
    bool had_value_;
    QByteArray previous_;
};

// One message box as the user saw it.
struct ShownBox {
    QString title;
    QString text;
    QMessageBox::Icon icon;
};

// Watches for modal message boxes while alive, notes each one and presses its OK button.
class BoxAnswerer : public QObject {
public:
    BoxAnswerer();

    // The texts of the boxes shown so far, each marked when the box lacked the error icon
    // or the application's title.
    std::vector<std::string> ErrorTexts() const;
    // Runs while each box is up, before it is answered.
    void WhileShown(std::function<void()> check) { while_shown_ = std::move(check); }

private:
    void Poll();

    QTimer poll_;
    std::vector<ShownBox> boxes_;
    std::function<void()> while_shown_;
};

// Drops `paths` on `target` as a file manager does: a drag entering, then the drop with
// the paths as file URLs in this order. Returns whether the entering drag was accepted,
// as soon as the drop is answered: the list is built later, from the event loop.
bool DropPaths(QWidget* target, const std::vector<std::string>& paths);

// A JPEG file of the test pattern written below `folder`; plain (one colour, quick to
// make) for large sizes.
std::string WritePhoto(const TempFolder& folder, const std::string& relative, int width,
                       int height);

// The window's title rule applied to the test program: the caption of every error box.
QString TestApplicationTitle();

// The lines of `text` (CR LF ended) between "[section]" and the next section.
std::vector<std::string> SectionLines(const std::string& text, const std::string& section);

// A window over a data folder of its own, with its boxes answered.
class WindowTest : public ::testing::Test {
protected:
    WindowTest();
    ~WindowTest() override;

    // Shows the window, waits until it is up and its first activation has run, and
    // empties the list that activation filled from the scan of the root folder.
    void ShowEmpty();
    // Drops `paths` on the list, expects the drop to be taken, lets the event loop build
    // the list from it, and waits for the preview of the rebuilt list.
    void Drop(const std::vector<std::string>& paths);
    // Clicks line `index` of the list as the user does, and waits for its preview.
    void ClickLine(int index);
    // Handles events until the preview last asked for is shown (its failure box answered).
    void WaitForPreview();
    // Clicks Start; the run's files are started and go on after this returns.
    void ClickStart();
    // Waits, handling events, until the run has returned.
    void WaitForRunEnd();
    // Clicks Start and waits until the run has returned.
    void RunToEnd();

    // The context of the test's own connections: they end before the window goes.
    QObject* Hooks() const { return hooks_.get(); }

    std::vector<std::string> ItemTexts() const;
    // The six measure labels: before, then after.
    std::vector<std::string> Labels() const;
    // Where the run writes the copy of `source` with the fixed folder off.
    static std::string OutputOf(const std::string& source);

    DataHome home;
    TempFolder photos;
    BoxAnswerer boxes;
    std::unique_ptr<TF_Main> window;

private:
    std::unique_ptr<QObject> hooks_;
};

}  // namespace test
}  // namespace pixmora
