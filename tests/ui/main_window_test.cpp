// The main window as built: every control's place, how the places follow the window's size,
// the focus order, the state at start, and screenshots to look at.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "tests/ui/qt_printing.h"
#include "ui/browse_edit.h"
#include "ui/group_box.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/panel_fill.h"
#include "ui/progress_fill.h"
#include "ui/radio_button.h"
#include "ui/simple_label.h"
#include "ui/speed_button.h"
#include "ui/status_bar.h"
#include "ui/uf_main.h"

namespace pixmora {
namespace {

struct Place {
    const char* name;
    const char* parent;
    QRect bounds;
};

// Every control at the designed size, relative to its parent.
const std::vector<Place> kDesignedPlaces = {
    {"PNL_Global", "F_Main", {0, 0, 484, 509}},
    {"PGB_Progression", "PNL_Global", {1, 472, 482, 17}},
    {"BTN_Paypal", "PNL_Global", {224, 402, 254, 47}},
    {"BTN_Update", "PNL_Global", {3, 402, 215, 20}},
    {"BTN_Site_Tolvek", "PNL_Global", {3, 429, 215, 20}},
    {"LBL_Update", "PNL_Global", {224, 402, 72, 28}},
    {"LBL_Site_Tolvek", "PNL_Global", {224, 416, 104, 15}},
    {"LBL_Paypal", "PNL_Global", {223, 431, 72, 15}},
    {"PNL_Datas", "PNL_Global", {223, 238, 255, 158}},
    {"PNL_Before", "PNL_Global", {223, 154, 125, 78}},
    {"PNL_After", "PNL_Global", {353, 154, 125, 78}},
    {"PNL_Process", "PNL_Global", {1, 455, 482, 17}},
    {"STB_Main", "PNL_Global", {1, 489, 482, 19}},
    {"PNL_Img", "PNL_Global", {222, 5, 256, 144}},
    {"IMG_Source", "PNL_Img", {1, 1, 254, 142}},
    {"PNL_Liste_Global", "PNL_Global", {4, 5, 214, 391}},
    {"PNL_Liste_Entete", "PNL_Liste_Global", {1, 1, 212, 20}},
    {"PNL_Dir_Source", "PNL_Liste_Global", {1, 21, 212, 17}},
    {"LBL_Dir_Source", "PNL_Dir_Source", {0, 0, 159, 17}},
    {"DED_Dir_Source", "PNL_Dir_Source", {159, 0, 53, 17}},
    {"LBX_File", "PNL_Liste_Global", {1, 38, 212, 352}},
    {"PNL_Liste", "PNL_Liste_Global", {1, 38, 212, 352}},
    {"IMG_Liste", "PNL_Liste", {48, 141, 113, 107}},
    {"LBL_Info_DDP", "PNL_Liste", {54, 56, 107, 79}},
    {"LBL_Ratio", "PNL_Datas", {8, 6, 185, 17}},
    {"EDT_Ratio", "PNL_Datas", {192, 6, 42, 17}},
    {"LBL_U_Ratio", "PNL_Datas", {234, 6, 13, 17}},
    {"RDG_Destination_Folder", "PNL_Datas", {8, 27, 239, 81}},
    {"RDB_Source_Folder", "RDG_Destination_Folder", {8, 16, 219, 18}},
    {"RDB_Fix_Folder", "RDG_Destination_Folder", {8, 33, 219, 18}},
    {"DED_Dest_Folder", "RDG_Destination_Folder", {24, 54, 197, 17}},
    {"BTN_Start", "PNL_Datas", {8, 114, 78, 35}},
    {"BTN_Stop", "PNL_Datas", {91, 114, 73, 35}},
    {"BTN_Clear_Liste", "PNL_Datas", {169, 114, 78, 35}},
    {"PNL_Titre_Before", "PNL_Before", {1, 1, 123, 17}},
    {"LBL_Width", "PNL_Before", {5, 24, 36, 14}},
    {"LBL_Height", "PNL_Before", {5, 42, 39, 14}},
    {"LBL_Size", "PNL_Before", {5, 61, 116, 14}},
    {"PNL_Titre_After", "PNL_After", {1, 1, 123, 17}},
    {"LBL_Width_New", "PNL_After", {5, 24, 36, 14}},
    {"LBL_Height_New", "PNL_After", {5, 42, 39, 14}},
    {"LBL_Size_New", "PNL_After", {5, 61, 116, 14}},
};

// The window enlarged by 200 x 150: the list area grows, what sits right of it keeps its
// distance from the right edge, the bottom rows keep theirs from the bottom and widen.
const std::vector<Place> kEnlargedPlaces = {
    {"PNL_Global", "F_Main", {0, 0, 684, 659}},
    {"STB_Main", "PNL_Global", {1, 639, 682, 19}},
    {"PGB_Progression", "PNL_Global", {1, 622, 682, 17}},
    {"PNL_Process", "PNL_Global", {1, 605, 682, 17}},
    {"BTN_Paypal", "PNL_Global", {224, 552, 454, 47}},
    {"BTN_Update", "PNL_Global", {3, 552, 215, 20}},
    {"BTN_Site_Tolvek", "PNL_Global", {3, 579, 215, 20}},
    {"LBL_Update", "PNL_Global", {224, 402, 72, 28}},
    {"PNL_Datas", "PNL_Global", {423, 238, 255, 158}},
    {"PNL_Before", "PNL_Global", {423, 154, 125, 78}},
    {"PNL_After", "PNL_Global", {553, 154, 125, 78}},
    {"PNL_Img", "PNL_Global", {422, 5, 256, 144}},
    {"IMG_Source", "PNL_Img", {1, 1, 254, 142}},
    {"PNL_Liste_Global", "PNL_Global", {4, 5, 414, 541}},
    {"PNL_Liste_Entete", "PNL_Liste_Global", {1, 1, 412, 20}},
    {"PNL_Dir_Source", "PNL_Liste_Global", {1, 21, 412, 17}},
    {"LBL_Dir_Source", "PNL_Dir_Source", {0, 0, 159, 17}},
    {"DED_Dir_Source", "PNL_Dir_Source", {159, 0, 253, 17}},
    {"LBX_File", "PNL_Liste_Global", {1, 38, 412, 502}},
    {"PNL_Liste", "PNL_Liste_Global", {1, 38, 412, 502}},
    {"IMG_Liste", "PNL_Liste", {48, 141, 313, 107}},
    {"LBL_Info_DDP", "PNL_Liste", {54, 56, 307, 79}},
    {"EDT_Ratio", "PNL_Datas", {192, 6, 42, 17}},
    {"DED_Dest_Folder", "RDG_Destination_Folder", {24, 54, 197, 17}},
    {"LBL_Size_New", "PNL_After", {5, 61, 116, 14}},
};

void ExpectPlaces(const TF_Main& window, const std::vector<Place>& places) {
    for (const Place& place : places) {
        SCOPED_TRACE(place.name);
        const QWidget* control = window.findChild<QWidget*>(place.name);
        ASSERT_NE(control, nullptr);
        ASSERT_NE(control->parentWidget(), nullptr);
        EXPECT_EQ(control->parentWidget()->objectName().toStdString(), place.parent);
        EXPECT_EQ(control->geometry(), place.bounds);
    }
}

QString ScreenshotFolder() {
    const QString folder = QCoreApplication::applicationDirPath() + "/ui";
    QDir().mkpath(folder);
    return folder;
}

class MainWindowTest : public ::testing::Test {
protected:
    void Show() {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    TF_Main window;
};

TEST_F(MainWindowTest, ControlsSitAtTheirDesignedPlaces) {
    Show();
    EXPECT_EQ(window.size(), QSize(484, 509));
    ExpectPlaces(window, kDesignedPlaces);
}

TEST_F(MainWindowTest, EnlargingMovesAndStretchesTheAnchoredControls) {
    Show();
    window.resize(684, 659);
    QCoreApplication::processEvents();
    ExpectPlaces(window, kEnlargedPlaces);

    // Back to the designed size, everything is where it started.
    window.resize(484, 509);
    QCoreApplication::processEvents();
    ExpectPlaces(window, kDesignedPlaces);
}

TEST_F(MainWindowTest, CannotBeMadeSmallerThanTheDesignedClientArea) {
    Show();
    EXPECT_EQ(window.minimumSize(), QSize(484, 509));
    window.resize(300, 200);
    EXPECT_EQ(window.size(), QSize(484, 509));
}

TEST_F(MainWindowTest, TabCyclesThroughTheBoxesAndTheList) {
    Show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(QApplication::focusWidget(), window.EDT_Ratio);

    // The destination folder box is disabled and passed over.
    const std::vector<QWidget*> cycle = {window.LBX_File, window.DED_Dir_Source, window.EDT_Ratio};
    for (QWidget* expected : cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }

    window.RDB_Fix_Folder->SetChecked(true);
    ASSERT_TRUE(window.DED_Dest_Folder->isEnabled());
    window.DED_Dir_Source->setFocus();
    const std::vector<QWidget*> enabled_cycle = {window.DED_Dest_Folder, window.EDT_Ratio,
                                                 window.LBX_File, window.DED_Dir_Source};
    for (QWidget* expected : enabled_cycle) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, ButtonsAndChoicesAreNoTabStops) {
    for (QWidget* control : std::vector<QWidget*>{
             window.BTN_Start, window.BTN_Stop, window.BTN_Clear_Liste, window.BTN_Update,
             window.BTN_Site_Tolvek, window.BTN_Paypal, window.RDB_Source_Folder,
             window.RDB_Fix_Folder, window.DED_Dir_Source->BrowseButton()}) {
        EXPECT_FALSE(control->focusPolicy() & Qt::TabFocus) << control->objectName().toStdString();
    }
}

TEST_F(MainWindowTest, StartsEmptyAndIdle) {
    EXPECT_EQ(window.objectName(), "F_Main");
    EXPECT_EQ(window.windowTitle(), "Pixmora");
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(window.LBX_File->ItemCount(), 0);
    EXPECT_EQ(window.LBX_File->ItemIndex(), -1);
    EXPECT_FALSE(window.PNL_Liste->isHidden());
    EXPECT_EQ(window.EDT_Ratio->Text(), "50");
    EXPECT_EQ(window.EDT_Ratio->AsInteger(), 50);
    EXPECT_FALSE(window.RDB_Source_Folder->Checked());
    EXPECT_FALSE(window.RDB_Fix_Folder->Checked());
    EXPECT_FALSE(window.DED_Dest_Folder->isEnabled());
    EXPECT_EQ(window.DED_Dest_Folder->Path(), "");
    EXPECT_EQ(window.DED_Dir_Source->Path(), "");
    EXPECT_TRUE(window.BTN_Start->isEnabled());
    EXPECT_FALSE(window.BTN_Stop->isEnabled());
    EXPECT_EQ(window.PNL_Process->Caption(), "processing 0/0");
    EXPECT_EQ(window.PGB_Progression->Position(), 0);
    EXPECT_EQ(window.PGB_Progression->Text(), "0%");
    EXPECT_EQ(window.PNL_Liste_Entete->Caption(), "List of JPEG files");
    EXPECT_EQ(window.LBL_Width->text(), "Width : ");
    EXPECT_EQ(window.LBL_Height->text(), "Height : ");
    EXPECT_EQ(window.LBL_Size->text(), "Size : ");
    EXPECT_EQ(window.LBL_Width_New->text(), "Width : ");
    EXPECT_EQ(window.LBL_Height_New->text(), "Height : ");
    EXPECT_EQ(window.LBL_Size_New->text(), "Size : ");
    EXPECT_TRUE(window.IMG_Source->Picture().isNull());
    EXPECT_EQ(window.STB_Main->PanelText(), "contact@tolvek.example  |  Pixmora V2.0");
    // Start-up has set the update check going: one tick, ten seconds later.
    EXPECT_TRUE(window.TMR_Update->isActive());
    EXPECT_TRUE(window.TMR_Update->isSingleShot());
    EXPECT_EQ(window.TMR_Update->interval(), 10000);
    EXPECT_EQ(window.BML_1.Count(), 2);
    for (TSimpleLabel* link : {window.LBL_Update, window.LBL_Site_Tolvek, window.LBL_Paypal}) {
        EXPECT_TRUE(link->isHidden());
        EXPECT_EQ(link->JumpMode(), JumpMode::jmInternet);
    }
    Show();
    for (TSimpleLabel* link : {window.LBL_Update, window.LBL_Site_Tolvek, window.LBL_Paypal}) {
        EXPECT_FALSE(link->isVisible());
    }
}

TEST_F(MainWindowTest, EveryTextFitsItsControl) {
    Show();
    for (QLabel* label : window.findChildren<QLabel*>()) {
        if (label->isHidden() || label->text().isEmpty()) continue;
        SCOPED_TRACE(label->objectName().toStdString());
        const QFontMetrics metrics(label->font());
        const QRect area = label->contentsRect();
        const int flags = label->wordWrap() ? Qt::TextWordWrap : Qt::TextSingleLine;
        // A trailing blank shows nothing, so it may run past the edge.
        QString visible = label->text();
        while (visible.endsWith(' ')) visible.chop(1);
        const QRect needed = metrics.boundingRect(QRect(0, 0, area.width(), 1000), flags, visible);
        EXPECT_LE(needed.width(), area.width());
        EXPECT_LE(needed.height(), area.height());
    }
    for (TPanelFill* strip : window.findChildren<TPanelFill*>()) {
        if (strip->Caption().isEmpty()) continue;
        SCOPED_TRACE(strip->objectName().toStdString());
        const QFontMetrics metrics(strip->font());
        EXPECT_LE(metrics.horizontalAdvance(strip->Caption()), strip->width() - 4);
        EXPECT_LE(metrics.height(), strip->height());
    }
    for (TSpeedButton* button : window.findChildren<TSpeedButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        EXPECT_LE(button->sizeHint().width(), button->width());
        EXPECT_LE(button->sizeHint().height() - 4, button->height());
    }
    for (TRadioButton* choice : {window.RDB_Source_Folder, window.RDB_Fix_Folder}) {
        SCOPED_TRACE(choice->objectName().toStdString());
        EXPECT_LE(choice->sizeHint().width(), choice->width());
        EXPECT_LE(choice->sizeHint().height(), choice->height());
    }
    const QFontMetrics status(window.STB_Main->font());
    EXPECT_LE(status.horizontalAdvance(window.STB_Main->PanelText()), window.STB_Main->width());
    const QFontMetrics ratio(window.EDT_Ratio->font());
    EXPECT_LE(ratio.height(), window.EDT_Ratio->height());
}

TEST_F(MainWindowTest, DestinationChoiceEnablesTheFixedFolderBox) {
    window.DED_Dest_Folder->SetPath("/home/user/resized");
    window.RDB_Fix_Folder->SetChecked(true);
    EXPECT_TRUE(window.DED_Dest_Folder->isEnabled());
    window.RDB_Source_Folder->SetChecked(true);
    EXPECT_FALSE(window.RDB_Fix_Folder->Checked());
    EXPECT_FALSE(window.DED_Dest_Folder->isEnabled());
    EXPECT_EQ(window.DED_Dest_Folder->Path(), "/home/user/resized");
}

TEST_F(MainWindowTest, LinkButtonsOpenTheirLabelsAddresses) {
    std::vector<QString> opened;
    for (TSimpleLabel* link : {window.LBL_Update, window.LBL_Site_Tolvek, window.LBL_Paypal}) {
        link->SetOpener([&opened](const QString& address) {
            opened.push_back(address);
            return true;
        });
    }
    Show();
    QTest::mouseClick(window.BTN_Update, Qt::LeftButton);
    QTest::mouseClick(window.BTN_Site_Tolvek, Qt::LeftButton);
    QTest::mouseClick(window.BTN_Paypal, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 3u);
    EXPECT_TRUE(opened[0].endsWith("/tolvek/Pixmora/Pixmora.exe"));
    EXPECT_TRUE(opened[1].endsWith("/software/index.html"));
    EXPECT_TRUE(opened[2].startsWith("https://"));
}

TEST_F(MainWindowTest, Screenshots) {
    Show();
    const QImage empty = window.grab().toImage();
    ASSERT_EQ(empty.size(), QSize(484, 509));
    EXPECT_TRUE(empty.save(ScreenshotFolder() + "/main_window.png"));

    // A list part-way through a run, with a picture in the preview.
    window.PNL_Liste->hide();
    window.PNL_Liste_Entete->SetCaption("List of JPEG files (5)");
    const char* names[] = {"beach_0001", "beach_0002", "harbour_at_dusk_with_the_boats_0003",
                           "market_0004", "mountains_0005"};
    for (int i = 0; i < 5; ++i) {
        window.LBX_File->AddItem(QString("/home/user/Pictures/Holidays 2023/%1.jpg|%2")
                                     .arg(names[i])
                                     .arg(i < 2 ? 1 : 0));
    }
    window.LBX_File->SetItemIndex(1);
    QImage photo(1000, 500, QImage::Format_RGB32);
    QPainter painter(&photo);
    QLinearGradient sky(0, 0, 0, 500);
    sky.setColorAt(0, QColor(70, 130, 200));
    sky.setColorAt(1, QColor(220, 235, 250));
    painter.fillRect(photo.rect(), sky);
    painter.setBrush(QColor(60, 140, 70));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(300, 650), 600, 300);
    painter.setBrush(QColor(250, 210, 60));
    painter.drawEllipse(QPoint(800, 120), 60, 60);
    painter.end();
    window.IMG_Source->SetPicture(photo);
    window.LBL_Width->SetCaption("Width : 4000 px");
    window.LBL_Height->SetCaption("Height : 2000 px");
    window.LBL_Size->setText("Size : 3.412 Mo");
    window.LBL_Width_New->SetCaption("Width : 2000 px");
    window.LBL_Height_New->SetCaption("Height : 1000 px");
    window.LBL_Size_New->setText("Size : 0.871 Mo");
    window.PNL_Process->SetCaption("processing 2/5");
    window.PGB_Progression->SetMaxValue(5);
    window.PGB_Progression->SetUserValue(2);
    window.BTN_Start->setEnabled(false);
    window.BTN_Stop->setEnabled(true);
    window.RDB_Source_Folder->SetChecked(true);
    window.DED_Dir_Source->SetPath("/home/user/Pictures/Holidays 2023");
    const QImage busy = window.grab().toImage();
    EXPECT_TRUE(busy.save(ScreenshotFolder() + "/main_window_list.png"));
}

}  // namespace
}  // namespace pixmora
