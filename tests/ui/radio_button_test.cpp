// Radio buttons: the click that comes with a selection by the program or by the user.
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "tests/ui/qt_printing.h"
#include "ui/radio_button.h"

namespace pixmora {
namespace {

class RadioButtonTest : public ::testing::Test {
protected:
    QWidget group;
    TRadioButton* source = new TRadioButton("Create sub folder into source folder", &group);
    TRadioButton* fixed = new TRadioButton("Create sub folder into fixed folder below :", &group);
    QSignalSpy source_clicks{source, &TRadioButton::Click};
    QSignalSpy fixed_clicks{fixed, &TRadioButton::Click};
};

TEST_F(RadioButtonTest, SelectingFromTheProgramRaisesClickOnce) {
    fixed->SetChecked(true);
    EXPECT_TRUE(fixed->Checked());
    EXPECT_EQ(fixed_clicks.count(), 1);
    fixed->SetChecked(true);
    EXPECT_EQ(fixed_clicks.count(), 1);

    source->SetChecked(true);
    EXPECT_TRUE(source->Checked());
    EXPECT_FALSE(fixed->Checked());
    EXPECT_EQ(source_clicks.count(), 1);
    EXPECT_EQ(fixed_clicks.count(), 1);
}

TEST_F(RadioButtonTest, DeselectingRaisesNothing) {
    source->SetChecked(false);
    EXPECT_EQ(source_clicks.count(), 0);
}

TEST_F(RadioButtonTest, UserClickRaisesClickEvenWhenAlreadySelected) {
    source->setGeometry(0, 0, 219, 18);
    fixed->setGeometry(0, 20, 219, 18);
    group.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&group));
    QTest::mouseClick(fixed, Qt::LeftButton, {}, QPoint(100, 9));
    QTest::mouseClick(fixed, Qt::LeftButton, {}, QPoint(100, 9));
    EXPECT_TRUE(fixed->Checked());
    EXPECT_EQ(fixed_clicks.count(), 2);
    QTest::mouseClick(source, Qt::LeftButton, {}, QPoint(5, 9));
    EXPECT_TRUE(source->Checked());
    EXPECT_FALSE(fixed->Checked());
    EXPECT_EQ(source_clicks.count(), 1);
}

}  // namespace
}  // namespace pixmora
