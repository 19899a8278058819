// The update dialog: its places, its two texts, its answers, and a screenshot to look at.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QTimer>

#include "ui/image.h"
#include "ui/panel_fill.h"
#include "ui/speed_button.h"
#include "ui/uf_update.h"
#include "update/update_texts.h"

namespace pixmora {
namespace {

struct DialogCase {
    const char* latest;
    bool new_version_text;
};

TEST(UpdateDialogTest, ControlsSitAtTheirPlaces) {
    TF_Update dialog(nullptr);
    EXPECT_EQ(dialog.objectName(), "F_Update");
    EXPECT_EQ(dialog.windowTitle(), "Update ...");
    EXPECT_EQ(dialog.size(), QSize(405, 177));
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint);
    EXPECT_EQ(dialog.PNL_Global->geometry(), QRect(0, 0, 405, 177));
    EXPECT_EQ(dialog.LBL_Update1->geometry(), QRect(67, 8, 329, 117));
    EXPECT_EQ(dialog.IMG_Update->geometry(), QRect(10, 8, 57, 117));
    EXPECT_EQ(dialog.BTN_Yes->geometry(), QRect(10, 131, 191, 37));
    EXPECT_EQ(dialog.BTN_No->geometry(), QRect(200, 131, 196, 37));
    EXPECT_EQ(dialog.BTN_Yes->text(), "Check update now ...");
    EXPECT_EQ(dialog.BTN_No->text(), "No, I will do it later...");
    EXPECT_EQ(dialog.IMG_Update->PictureRect().size(), QSize(48, 48));
}

TEST(UpdateDialogTest, ShowingBuildsTheTextOfWhatIsKnown) {
    const DialogCase cases[] = {{"V2.1", true}, {"V2", true}, {"", false}, {"V2.0", false}};
    for (const DialogCase& c : cases) {
        TF_Update dialog(nullptr);
        dialog.AppName = "Pixmora";
        dialog.CurrentVersion = "V2.0";
        dialog.LatestVersion = c.latest;
        dialog.show();
        const std::string expected = c.new_version_text
                                         ? NewVersionText("Pixmora", "V2.0", c.latest)
                                         : OutOfDateText("Pixmora");
        EXPECT_EQ(dialog.Message(), expected) << c.latest;
        EXPECT_EQ(dialog.LBL_Update1->text().toStdString(),
                  QString::fromStdString(expected).replace('\r', '\n').toStdString());
        dialog.hide();
    }
}

TEST(UpdateDialogTest, TheButtonsAnswerOneAndTwo) {
    for (int answer : {TF_Update::kAnswerDownload, TF_Update::kAnswerLater}) {
        TF_Update dialog(nullptr);
        TSpeedButton* button = answer == 1 ? dialog.BTN_Yes : dialog.BTN_No;
        QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
        EXPECT_EQ(dialog.exec(), answer);
    }
}

TEST(UpdateDialogTest, ScreenshotWithTheNewVersionText) {
    QWidget owner;
    owner.resize(484, 509);
    owner.show();
    TF_Update dialog(&owner);
    dialog.AppName = "Pixmora";
    dialog.CurrentVersion = "V2.0";
    dialog.LatestVersion = "V2.1";
    dialog.show();
    // Centred on its owner.
    EXPECT_LE(std::abs(dialog.frameGeometry().center().x() - owner.frameGeometry().center().x()),
              2);
    const QString folder = QCoreApplication::applicationDirPath() + "/ui";
    QDir().mkpath(folder);
    EXPECT_TRUE(dialog.grab().toImage().save(folder + "/update_dialog.png"));
    // Every line fits the label's width without wrapping: four lines' height at most.
    const QFontMetrics metrics(dialog.LBL_Update1->font());
    const QRect needed = metrics.boundingRect(
        QRect(0, 0, 329, 1000), Qt::AlignCenter | Qt::TextWordWrap, dialog.LBL_Update1->text());
    EXPECT_LE(needed.height(), 117);
}

}  // namespace
}  // namespace pixmora
