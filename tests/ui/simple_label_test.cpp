// Link labels: address completion, opening, and switching off after a failed opening.
#include <vector>

#include <gtest/gtest.h>

#include "tests/ui/qt_printing.h"
#include "ui/simple_label.h"

namespace pixmora {
namespace {

TEST(CompleteAddressTest, CompletesAddressesWithoutScheme) {
    const struct {
        const char* address;
        const char* completed;
    } cases[] = {
        {"www.tolvek.example", "http://www.tolvek.example"},
        {"ftp.tolvek.example", "ftp://ftp.tolvek.example"},
        {"contact@tolvek.example", "mailto:contact@tolvek.example"},
        {"ftpuser@tolvek.example", "ftp://ftpuser@tolvek.example"},
        {"@tolvek.example", "@tolvek.example"},
        {"WWW.tolvek.example", "WWW.tolvek.example"},
        {"tolvek.example", "tolvek.example"},
        {"http://www.tolvek.example/software/index.html",
         "http://www.tolvek.example/software/index.html"},
        {"mailto:contact@tolvek.example", "mailto:contact@tolvek.example"},
        {"www.tolvek.example:8080", "www.tolvek.example:8080"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(CompleteAddress(c.address), c.completed);
    }
}

class SimpleLabelTest : public ::testing::Test {
protected:
    void SetUp() override {
        label.SetOpener([this](const QString& address) {
            opened.push_back(address);
            return succeed;
        });
    }
    TSimpleLabel label{"www.caption.example"};
    std::vector<QString> opened;
    bool succeed = true;
};

TEST_F(SimpleLabelTest, ClickOpensTheCompletedJump) {
    label.SetJump("www.tolvek.example");
    label.Click();
    label.Click();
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], "http://www.tolvek.example");
    EXPECT_EQ(label.JumpMode(), JumpMode::jmInternet);
    EXPECT_TRUE(label.isEnabled());
}

TEST_F(SimpleLabelTest, BlankJumpOpensTheCaption) {
    label.SetJump("   ");
    label.Click();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], "http://www.caption.example");
}

TEST_F(SimpleLabelTest, FailedOpeningSwitchesTheLabelOffForGood) {
    label.SetJump("http://www.tolvek.example/tolvek/Pixmora/Pixmora.exe");
    succeed = false;
    label.Click();
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(label.JumpMode(), JumpMode::jmNone);
    EXPECT_FALSE(label.isEnabled());

    succeed = true;
    label.Click();
    EXPECT_EQ(opened.size(), 1u);
}

}  // namespace
}  // namespace pixmora
