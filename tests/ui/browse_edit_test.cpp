// The folder box: what the picker's answer does to the text, and when OnBrowse comes.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "tests/ui/qt_printing.h"
#include "ui/browse_edit.h"

namespace pixmora {
namespace {

TEST(PickedFolderTextTest, PickedFolderIsTrimmedWithoutTrailingSeparator) {
    const struct {
        const char* picked;
        const char* text;
    } cases[] = {
        {"/home/user/Photos", "/home/user/Photos"},
        {"  /home/user/Photos  ", "/home/user/Photos"},
        {"/home/user/Photos/", "/home/user/Photos"},
        {"/home/user/My Photos//", "/home/user/My Photos"},
        {"/", "/"},
        {" / ", "/"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.picked);
        EXPECT_EQ(PickedFolderText(c.picked), c.text);
    }
}

class BrowseEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        box.resize(197, 17);
        box.SetFolderPicker([this](QWidget*, const QString& start) {
            starts.push_back(start);
            return answer;
        });
    }
    TBrowseEdit box;
    QString answer;
    std::vector<QString> starts;
};

TEST_F(BrowseEditTest, ConfirmedPickerSetsTheTextThenRaisesOnBrowse) {
    QSignalSpy browsed(&box, &TBrowseEdit::OnBrowse);
    box.SetPath("/home/user/old");
    answer = "/home/user/Photos/";
    QString text_at_signal;
    QObject::connect(&box, &TBrowseEdit::OnBrowse, [&] { text_at_signal = box.Path(); });
    box.show();
    QTest::mouseClick(box.BrowseButton(), Qt::LeftButton);
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0], "/home/user/old");
    EXPECT_EQ(box.Path(), "/home/user/Photos");
    EXPECT_EQ(text_at_signal, "/home/user/Photos");
    EXPECT_EQ(browsed.count(), 1);
}

TEST_F(BrowseEditTest, RootFolderKeepsItsSeparator) {
    answer = "/";
    box.Browse();
    EXPECT_EQ(box.Path(), "/");
}

TEST_F(BrowseEditTest, CancelKeepsTheTextAndStillRaisesOnBrowse) {
    QSignalSpy browsed(&box, &TBrowseEdit::OnBrowse);
    box.SetPath("/home/user/Photos");
    answer = QString();
    box.Browse();
    EXPECT_EQ(box.Path(), "/home/user/Photos");
    EXPECT_EQ(browsed.count(), 1);
}

TEST_F(BrowseEditTest, EmptyBoxStartsThePickerWithoutAFolder) {
    box.Browse();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_TRUE(starts[0].isEmpty());
}

TEST_F(BrowseEditTest, TypingNeverRaisesOnBrowse) {
    QSignalSpy browsed(&box, &TBrowseEdit::OnBrowse);
    QTest::keyClicks(&box, "/home/user");
    QTest::keyClick(&box, Qt::Key_Return);
    EXPECT_EQ(box.Path(), "/home/user");
    EXPECT_EQ(browsed.count(), 0);
}

TEST_F(BrowseEditTest, DisabledBoxNeitherBrowsesNorChangesItsText) {
    QSignalSpy browsed(&box, &TBrowseEdit::OnBrowse);
    box.SetPath("/home/user/Photos");
    box.setEnabled(false);
    box.show();
    answer = "/tmp";
    QTest::mouseClick(box.BrowseButton(), Qt::LeftButton);
    QTest::keyClicks(&box, "x");
    EXPECT_TRUE(starts.empty());
    EXPECT_EQ(box.Path(), "/home/user/Photos");
    EXPECT_EQ(browsed.count(), 0);
}

TEST_F(BrowseEditTest, BrowseButtonSitsAtTheRightEnd) {
    box.show();
    EXPECT_EQ(box.BrowseButton()->geometry(), QRect(197 - 18, 0, 18, 17));
    EXPECT_FALSE(box.BrowseButton()->focusPolicy() & Qt::TabFocus);
}

}  // namespace
}  // namespace pixmora
