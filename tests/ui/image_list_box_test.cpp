// The file list: how item texts are shown, which selections raise its click, and how it
// draws its status images.
#include <algorithm>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractItemDelegate>
#include <QPointer>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include "tests/ui/qt_printing.h"
#include "ui/artwork.h"
#include "ui/bitmap_list.h"
#include "ui/image_list_box.h"

namespace pixmora {
namespace {

struct LookCase {
    const char* text;
    const char* display;
    int image;
};

TEST(ListItemLookTest, ItemTextGivesDisplayAndImage) {
    const LookCase cases[] = {
        {"/photos/a.jpg|1", "/photos/a.jpg", 1},
        {"/photos/a.jpg|0", "/photos/a.jpg", 0},
        {"/photos/a.jpg", "/photos/a.jpg", -1},
        {"/photos/a.jpg|", "/photos/a.jpg", -1},
        {"/photos/a.jpg|x", "/photos/a.jpg", -1},
        {"/photos/a.jpg|1x", "/photos/a.jpg", -1},
        {"/photos/a.jpg|1|0", "/photos/a.jpg", -1},
        {"/photos/a.jpg| 1", "/photos/a.jpg", -1},
        {"|1", "", 1},
        {"", "", -1},
        {"/photos/a.jpg|99999999999", "/photos/a.jpg", -1},
    };
    for (const LookCase& c : cases) {
        SCOPED_TRACE(c.text);
        const ListItemLook look = LookOfItem(c.text);
        EXPECT_EQ(look.display, c.display);
        EXPECT_EQ(look.image, c.image);
    }
}

class ImageListBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        images.Add(FrowningFaceBitmap());
        images.Add(SmilingFaceBitmap());
        list.SetImages(&images);
        list.resize(212, 352);
        list.setFont(QFont("Liberation Sans", 8));
    }
    void Fill(int count) {
        for (int i = 0; i < count; ++i) list.AddItem(QString("/photos/%1.jpg|0").arg(i));
    }
    QPoint CentreOf(int row) { return list.visualItemRect(list.item(row)).center(); }

    TBitmapList images;
    TImageListBox list;
};

TEST_F(ImageListBoxTest, ProgramSelectionRaisesNoClick) {
    Fill(5);
    QSignalSpy clicks(&list, &TImageListBox::Click);
    list.SetItemIndex(2);
    EXPECT_EQ(list.ItemIndex(), 2);
    list.SetItemIndex(-1);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.SetItemIndex(7);
    EXPECT_EQ(list.ItemIndex(), -1);
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(ImageListBoxTest, UserSelectionRaisesClick) {
    Fill(5);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QSignalSpy clicks(&list, &TImageListBox::Click);

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, CentreOf(3));
    EXPECT_EQ(list.ItemIndex(), 3);
    EXPECT_EQ(clicks.count(), 1);

    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(list.ItemIndex(), 4);
    EXPECT_EQ(clicks.count(), 2);

    // Down on the last line changes nothing and raises nothing.
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(clicks.count(), 2);

    // Below the last line there is no item to choose.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(50, 300));
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(list.ItemIndex(), 4);

    // Choosing the chosen line again raises Click again; Ctrl does not take it away.
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::ControlModifier, CentreOf(4));
    EXPECT_EQ(list.ItemIndex(), 4);
    EXPECT_EQ(clicks.count(), 3);
}

TEST_F(ImageListBoxTest, ReplacingAnItemKeepsTheSelection) {
    Fill(5);
    list.SetItemIndex(1);
    list.ReplaceItem(3, "/photos/3.jpg|1");
    EXPECT_EQ(list.ItemText(3), "/photos/3.jpg|1");
    EXPECT_EQ(list.ItemIndex(), 1);
    list.SetItemIndex(3);
    list.ReplaceItem(3, "/photos/3.jpg|0");
    EXPECT_EQ(list.ItemIndex(), 3);
    EXPECT_EQ(list.ItemCount(), 5);
}

TEST_F(ImageListBoxTest, ClearEmptiesAndDeselects) {
    Fill(3);
    list.SetItemIndex(0);
    list.Clear();
    EXPECT_EQ(list.ItemCount(), 0);
    EXPECT_EQ(list.ItemIndex(), -1);
    list.AddItem("/photos/new.jpg|0");
    EXPECT_EQ(list.ItemIndex(), -1);
}

TEST_F(ImageListBoxTest, HorizontalScrollBarOnlyWhileAnItemIsWiderThanTheBox) {
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.AddItem("/a.jpg|0");
    QCoreApplication::processEvents();
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());

    list.AddItem("/photos/a folder with a long name/and another one/picture_0001.jpg|0");
    QCoreApplication::processEvents();
    EXPECT_TRUE(list.horizontalScrollBar()->isVisible());

    list.ReplaceItem(1, "/b.jpg|0");
    QCoreApplication::processEvents();
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
}

TEST_F(ImageListBoxTest, HorizontalScrollBarFollowsTheFontAndTheClearedList) {
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    list.AddItem("/photos/a folder/picture_0001.jpg|0");
    list.AddItem("/b.jpg|0");
    QCoreApplication::processEvents();
    ASSERT_FALSE(list.horizontalScrollBar()->isVisible());

    // The same texts in a larger font no longer fit.
    list.setFont(QFont("Liberation Sans", 16));
    QCoreApplication::processEvents();
    EXPECT_TRUE(list.horizontalScrollBar()->isVisible());

    list.Clear();
    list.AddItem("/b.jpg|0");
    QCoreApplication::processEvents();
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible());
}

TEST_F(ImageListBoxTest, EveryLineIsAsHighAsTheOthersAndAsWideAsTheWidest) {
    list.AddItem("/a.jpg|0");
    list.AddItem("/photos/a folder with a long name/and another one/picture_0001.jpg|1");
    list.AddItem("/b.jpg");
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    QFont bold = list.font();
    bold.setBold(true);
    const int widest = QFontMetrics(bold).horizontalAdvance(
        "/photos/a folder with a long name/and another one/picture_0001.jpg");
    EXPECT_EQ(list.LineWidth(), TImageListBox::kMargin + TImageListBox::kImageSize +
                                    TImageListBox::kImageTextGap + widest + TImageListBox::kMargin);
    for (int row = 0; row < 3; ++row) {
        SCOPED_TRACE(row);
        const QRect line = list.visualItemRect(list.item(row));
        EXPECT_EQ(line.top(), row * TImageListBox::kItemHeight);
        EXPECT_EQ(line.height(), TImageListBox::kItemHeight);
        EXPECT_GE(line.width(), list.LineWidth());
    }
    // The widest line goes back to a short text: the lines narrow with it.
    list.ReplaceItem(1, "/c.jpg|1");
    const int short_text = std::max({QFontMetrics(bold).horizontalAdvance("/a.jpg"),
                                     QFontMetrics(bold).horizontalAdvance("/b.jpg"),
                                     QFontMetrics(bold).horizontalAdvance("/c.jpg")});
    EXPECT_EQ(list.LineWidth(), TImageListBox::kMargin + TImageListBox::kImageSize +
                                    TImageListBox::kImageTextGap + short_text +
                                    TImageListBox::kMargin);
    // And widen again when another line takes a long text.
    list.ReplaceItem(2, "/photos/a folder with a long name/and another one/picture_0001.jpg");
    EXPECT_EQ(list.LineWidth(), TImageListBox::kMargin + TImageListBox::kImageSize +
                                    TImageListBox::kImageTextGap + widest + TImageListBox::kMargin);
}

TEST(ImageListBoxOwnership, TheLinePainterGoesWithTheList) {
    auto list = std::make_unique<TImageListBox>();
    const QPointer<QAbstractItemDelegate> painter = list->itemDelegate();
    ASSERT_FALSE(painter.isNull());
    list.reset();
    EXPECT_TRUE(painter.isNull());
}

TEST_F(ImageListBoxTest, DrawsTheNumberedImageAtTheTopLeftOfTheLine) {
    list.AddItem("/photos/a.jpg|0");
    list.AddItem("/photos/b.jpg|1");
    list.AddItem("/photos/c.jpg");
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    const QImage shot = list.viewport()->grab().toImage();
    auto pixel = [&](int row, int x, int y) {
        const QRect line = list.visualItemRect(list.item(row));
        return shot.pixelColor(line.left() + x, line.top() + y);
    };
    const int cx = TImageListBox::kMargin + 8;  // the middle of a face, 16 px high
    const int cy = (TImageListBox::kItemHeight - 16) / 2 + 8;
    const QColor frowning = pixel(0, cx, cy);
    const QColor smiling = pixel(1, cx, cy);
    EXPECT_GT(frowning.red(), 2 * frowning.green());
    EXPECT_GT(smiling.green(), 2 * smiling.red());
    // No image for a text without "|": the background shows where the face would be.
    EXPECT_EQ(pixel(2, cx, cy), list.palette().color(QPalette::Base));
    // The key colour around a face is left unpainted.
    EXPECT_EQ(pixel(0, TImageListBox::kMargin, (TImageListBox::kItemHeight - 16) / 2),
              list.palette().color(QPalette::Base));
}

}  // namespace
}  // namespace pixmora
