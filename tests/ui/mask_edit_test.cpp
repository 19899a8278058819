// The ratio box: reading its text as a whole number, and what typing does to it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QVBoxLayout>

#include "tests/ui/qt_printing.h"
#include "ui/mask_edit.h"

namespace pixmora {
namespace {

TEST(MaskEditTest, ReadsTheTextAsA32BitInteger) {
    const struct {
        const char* text;
        int32_t value;
    } cases[] = {
        {"", 0},
        {"50", 50},
        {"007", 7},
        {"-15", -15},
        {"4294967396", 100},  // 2^32 + 100 wraps to 100
        {"2147483648", INT32_MIN},
        {"-", 0},
        {"99999999999999999999", 0},  // beyond 64 bits
        {"9223372036854775807", -1},
        {"12a", 0},
        {"abc", 0},
        {" 5", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(IntegerBoxValue(c.text), c.value);
    }
}

TEST(MaskEditTest, TextWriteStoresItUnchangedWithTheCaretAtTheStart) {
    TMaskEdit box;
    box.SetText("50");
    box.setSelection(0, 2);
    box.SetText("1x5");
    EXPECT_EQ(box.Text(), "1x5");
    EXPECT_EQ(box.cursorPosition(), 0);
    EXPECT_FALSE(box.hasSelectedText());
    EXPECT_EQ(box.AsInteger(), 0);
}

TEST(MaskEditTest, TypingRules) {
    const struct {
        const char* start;
        int caret;
        int selection_length;  // selected from the caret on
        const char* typed;
        const char* result;
    } cases[] = {
        {"50", 2, 0, "5", "505"}, {"50", 0, 0, "1", "150"},
        {"0", 1, 0, "5", "5"},  // a box reading 0 gives its digit up
        {"0", 0, 0, "12", "12"},  {"-0", 2, 0, "4", "-4"},
        {"", 0, 0, "42", "42"},   {"-5", 0, 0, "3", "-5"},  // no digit in front of the minus
        {"25", 1, 0, "-", "-25"}, {"-25", 2, 0, "-", "25"},
        {"25", 2, 0, "--", "25"}, {"50", 2, 0, "a. +", "50"},
        {"50", 0, 2, "-", "-"},  // a selection is replaced by the minus
        {"50", 0, 2, "7", "7"},   {"125", 1, 1, "9", "195"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.start) + " + " + c.typed);
        TMaskEdit box;
        box.SetText(c.start);
        box.setCursorPosition(c.caret);
        if (c.selection_length > 0) box.setSelection(c.caret, c.selection_length);
        QTest::keyClicks(&box, c.typed);
        EXPECT_EQ(box.Text().toStdString(), c.result);
    }
}

TEST(MaskEditTest, EnterMovesToTheNextBoxUnlessCtrlIsHeld) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* box = new TMaskEdit;
    auto* next = new TMaskEdit;
    layout->addWidget(box);
    layout->addWidget(next);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    box->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), box);

    QTest::keyClick(box, Qt::Key_Return, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), box);
    QTest::keyClick(box, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), next);
}

}  // namespace
}  // namespace pixmora
