// The progress bar: range writes, the percentage with halves to even, and the bar's length.
#include <gtest/gtest.h>

#include "tests/ui/qt_printing.h"
#include "ui/progress_fill.h"

namespace pixmora {
namespace {

TEST(ProgressFillTest, PercentageOfARunOverEightFiles) {
    TProgressFill bar;
    bar.SetMaxValue(8);
    const struct {
        int value;
        int percent;
    } steps[] = {{1, 12}, {3, 38}, {5, 62}, {7, 88}, {8, 100}};
    for (const auto& step : steps) {
        bar.SetUserValue(step.value);
        EXPECT_EQ(bar.Position(), step.percent) << step.value;
        EXPECT_EQ(bar.Text(), QString("%1%").arg(step.percent));
    }
}

TEST(ProgressFillTest, MaxValueEqualToMinOrMaxIsIgnored) {
    TProgressFill bar;
    bar.SetMaxValue(0);  // a run over an empty list
    EXPECT_EQ(bar.MinValue(), 0);
    EXPECT_EQ(bar.MaxValue(), 100);
    bar.SetUserValue(0);
    EXPECT_EQ(bar.Text(), "0%");

    bar.SetUserValue(40);
    bar.SetMaxValue(100);
    EXPECT_EQ(bar.UserValue(), 40);
    EXPECT_EQ(bar.Position(), 40);
}

TEST(ProgressFillTest, NewRangeCarriesTheValueAlong) {
    TProgressFill bar;
    bar.SetUserValue(80);
    bar.SetMaxValue(50);  // the value falls outside and becomes the maximum
    EXPECT_EQ(bar.UserValue(), 50);
    EXPECT_EQ(bar.Position(), 100);

    bar.SetMaxValue(-10);  // below the minimum: the range turns round
    EXPECT_EQ(bar.MinValue(), -10);
    EXPECT_EQ(bar.MaxValue(), 0);
    EXPECT_EQ(bar.UserValue(), 0);
    EXPECT_EQ(bar.Position(), 100);
}

TEST(ProgressFillTest, UserValueIsClampedIntoTheRange) {
    TProgressFill bar;
    bar.SetMaxValue(4);
    bar.SetUserValue(9);
    EXPECT_EQ(bar.UserValue(), 4);
    EXPECT_EQ(bar.Position(), 100);
    bar.SetUserValue(-3);
    EXPECT_EQ(bar.UserValue(), 0);
    EXPECT_EQ(bar.Position(), 0);
}

TEST(ProgressFillTest, BarGrowsFromTheLeftOverItsShareOfTheInnerWidth) {
    TProgressFill bar;
    bar.resize(202, 17);  // inner width 200
    bar.SetMaxValue(8);
    bar.SetUserValue(3);  // 38 %: 76 px
    const QImage shot = bar.grab().toImage();
    const QColor silver(192, 192, 192);
    EXPECT_NE(shot.pixelColor(1 + 75, 2), silver);
    EXPECT_GT(shot.pixelColor(1 + 75, 2).blue(), shot.pixelColor(1 + 75, 2).red());
    EXPECT_EQ(shot.pixelColor(1 + 76, 2), silver);
    EXPECT_EQ(shot.pixelColor(1 + 150, 2), silver);
}

}  // namespace
}  // namespace pixmora
