// Integer values of the settings file: which texts are numbers, and which are not.
#include <gtest/gtest.h>

#include <optional>

#include "collect/profile_integer.h"

namespace pixmora {
namespace {

struct IntegerCase {
    const char* text;
    std::optional<int32_t> expected;
};

TEST(ProfileInteger, ReadsEveryAcceptedFormAndRejectsTheRest) {
    const IntegerCase cases[] = {
        {"50", 50},
        {"0x32", 50},
        {"0X32", 50},
        {"$32", 50},
        {"x1F", 31},
        {"X1f", 31},
        {"+5", 5},
        {" -7", -7},
        {"\t12", 12},
        {"-0x10", -16},
        {" 0x10", 16},
        {"+$10", 16},
        {"007", 7},
        {"$FFFFFFFF", -1},
        {"0xFFFFFFFF", -1},
        {"0x80000000", INT32_MIN},
        {"$100000000", std::nullopt},
        {"2147483647", INT32_MAX},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999999", std::nullopt},
        {"", std::nullopt},
        {" ", std::nullopt},
        {"0x", std::nullopt},
        {"$", std::nullopt},
        {"-", std::nullopt},
        {"0x-5", std::nullopt},
        {"0x 5", std::nullopt},
        {"12a", std::nullopt},
        {"50%", std::nullopt},
        {"50 ", std::nullopt},
        {"5 0", std::nullopt},
        {"yes", std::nullopt},
        {"--5", std::nullopt},
        {"0x0x5", std::nullopt},
        {"1.5", std::nullopt},
    };
    for (const IntegerCase& c : cases) {
        EXPECT_EQ(ParseProfileInteger(c.text), c.expected) << '"' << c.text << '"';
        EXPECT_EQ(ProfileIntegerOr(c.text, 42), c.expected.value_or(42)) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace pixmora
