// Integer and size texts, and file sizes.
#include "engine/text/number_text.h"

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <locale.h>
#include <string>

#include <gtest/gtest.h>

#include "engine/text/user_locale.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

TEST(NumberTextTest, IntegerTexts) {
    EXPECT_EQ(FormatIntText(0), "0");
    EXPECT_EQ(FormatIntText(4000), "4000");
    EXPECT_EQ(FormatIntText(-200), "-200");
    EXPECT_EQ(FormatIntText(2147483647), "2147483647");
}

TEST(NumberTextTest, MegabyteTextsWithEitherSeparator) {
    struct Row {
        double value;
        const char* point;
        const char* comma;
    };
    const Row rows[] = {
        {65536 / 1048576.0, "0.063", "0,063"},  // 0.0625: the half goes away from zero
        {1.0, "1.000", "1,000"},
        {0.0, "0.000", "0,000"},
        {0.0005, "0.001", "0,001"},
        {0.0004999, "0.000", "0,000"},
        {9.9996, "10.000", "10,000"},
        {2.5e9 / 1048576.0, "2384.186", "2384,186"},
        {-0.0625, "-0.063", "-0,063"},
        {-0.0001, "0.000", "0,000"},
        {123456789.0125, "123456789.013", "123456789,013"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.point);
        EXPECT_EQ(FormatFloatText(row.value, 0, 3, "."), row.point);
        EXPECT_EQ(FormatFloatText(row.value, 0, 3, ","), row.comma);
    }
}

TEST(NumberTextTest, SeparatorComesFromTheUsersSettingsNotTheProcessLocale) {
    // The process-wide locale stays "C"; the user's settings come from the environment.
    std::setlocale(LC_ALL, "C");
    ::setenv("LC_ALL", "C", 1);
    EXPECT_EQ(UserDecimalSeparator(), ".");
    ::unsetenv("LC_ALL");

    // Where a comma locale is installed, the user's choice wins over the process's "C".
    for (const char* name : {"fr_FR.UTF-8", "de_DE.UTF-8"}) {
        locale_t probe = newlocale(LC_NUMERIC_MASK, name, static_cast<locale_t>(0));
        if (probe == static_cast<locale_t>(0)) continue;
        freelocale(probe);
        ::setenv("LC_NUMERIC", name, 1);
        EXPECT_EQ(UserDecimalSeparator(), ",");
        EXPECT_EQ(FormatFloatText(0.0625, 0, 3), "0,063");
        ::unsetenv("LC_NUMERIC");
        break;
    }
}

TEST(NumberTextTest, FileSizes) {
    test::TempFolder temp;
    EXPECT_EQ(GetFileSizeBytes(temp.WriteFile("a.bin", std::string(65536, 'x'))), 65536);
    EXPECT_EQ(GetFileSizeBytes(temp.WriteFile("empty.bin", "")), 0);
    EXPECT_EQ(GetFileSizeBytes(temp.Slash() + "missing.bin"), 0);
    EXPECT_EQ(GetFileSizeBytes(temp.Path().string()), 0);
    EXPECT_EQ(GetFileSizeBytes(""), 0);

    // A sparse file beyond 4 GiB reads as its full 64-bit size, never negative.
    const std::string big = temp.Slash() + "big.bin";
    { std::ofstream(big, std::ios::binary).put('x'); }
    std::error_code ec;
    std::filesystem::resize_file(big, (int64_t{5} << 30) + 7, ec);
    if (!ec) {
        EXPECT_EQ(GetFileSizeBytes(big), (int64_t{5} << 30) + 7);
    }
}

}  // namespace
}  // namespace pixmora
