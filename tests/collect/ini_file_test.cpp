// The settings file's text: look-up rules, and changes that leave every other byte alone.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <set>
#include <string>

#include "collect/ini_file.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::ReadFile;
using test::TempFolder;

std::string ValueOr(const IniFile& ini, const char* section, const char* key) {
    return ini.Value(section, key).value_or("<missing>");
}

TEST(IniFile, ReadsValuesByTheLayoutRules) {
    const IniFile ini(
        "top=outside\r\n"
        "[integer]\r\n"
        "RATIO=70\r\n"
        "  spaced key  =   padded value  \r\n"
        "double=\"quoted \"\r\n"
        "single=' x '\r\n"
        "mismatched='x\"\r\n"
        "lonequote=\"\r\n"
        "empty=\r\n"
        "; hidden=1\r\n"
        "noequals\r\n"
        "dup=first\r\n"
        "dup=second\r\n"
        "eq=a=b\r\n"
        "[ Other ] trailing text\r\n"
        "k=v\r\n"
        "[integer]\r\n"
        "late=1\r\n");
    EXPECT_EQ(ValueOr(ini, "integer", "ratio"), "70");
    EXPECT_EQ(ValueOr(ini, "INTEGER", "Ratio"), "70");
    EXPECT_EQ(ValueOr(ini, "integer", "spaced key"), "padded value");
    EXPECT_EQ(ValueOr(ini, "integer", "double"), "quoted ");
    EXPECT_EQ(ValueOr(ini, "integer", "single"), " x ");
    EXPECT_EQ(ValueOr(ini, "integer", "mismatched"), "'x\"");
    EXPECT_EQ(ValueOr(ini, "integer", "lonequote"), "\"");
    EXPECT_EQ(ValueOr(ini, "integer", "empty"), "");
    EXPECT_EQ(ValueOr(ini, "integer", "dup"), "first");
    EXPECT_EQ(ValueOr(ini, "integer", "eq"), "a=b");
    EXPECT_EQ(ValueOr(ini, "other", "k"), "v");
    // Comments, lines without "=", keys before any section and keys of a repeated section
    // are no keys of the section.
    EXPECT_FALSE(ini.HasKey("integer", "; hidden"));
    EXPECT_FALSE(ini.HasKey("integer", "hidden"));
    EXPECT_FALSE(ini.HasKey("integer", "noequals"));
    EXPECT_FALSE(ini.HasKey("integer", "top"));
    EXPECT_FALSE(ini.HasKey("integer", "late"));
    EXPECT_FALSE(ini.HasKey("missing", "k"));
    EXPECT_TRUE(ini.HasKey("integer", "empty"));
}

TEST(IniFile, CutsLongValuesAfterRemovingQuotes) {
    const std::string long_value(3000, 'a');
    const IniFile ini("[s]\r\nk=" + long_value + "\r\nq=\"" + long_value + "\"\r\n");
    EXPECT_EQ(ValueOr(ini, "s", "k"), std::string(IniFile::kMaxValueLength, 'a'));
    EXPECT_EQ(ValueOr(ini, "s", "q"), std::string(IniFile::kMaxValueLength, 'a'));
}

TEST(IniFile, ReadsLfOnlyUnendedAndBinaryFiles) {
    const IniFile lf("[s]\nk=1\nlast=2");
    EXPECT_EQ(ValueOr(lf, "s", "k"), "1");
    EXPECT_EQ(ValueOr(lf, "s", "last"), "2");

    const std::string binary("\x00\xff\xfe[s]\x01\r\n\x89PNG\x00\x00\r\n[s]\r\nk=\x00v\r\n", 28);
    const IniFile odd(binary);
    EXPECT_EQ(ValueOr(odd, "s", "k"), std::string("\0v", 2));
}

TEST(IniFile, RewritesAKeyInPlaceAndKeepsEveryOtherByte) {
    const std::string before =
        "; Pixmora settings, edited by hand\n"
        "\r\n"
        "[unknown]\r\n"
        "something = else\r\n"
        "[Integer]   ; the numbers\n"
        "  Ratio = 70  \n"
        "odd line without equals\r\n"
        "ratio=duplicate\r\n"
        "\t\r\n"
        "; about strings\r\n"
        "[string]\r\n"
        "folder_dest=/photos";
    IniFile ini(before);
    ASSERT_TRUE(ini.Set("integer", "ratio", "55"));
    EXPECT_EQ(ini.Bytes(),
              "; Pixmora settings, edited by hand\n"
              "\r\n"
              "[unknown]\r\n"
              "something = else\r\n"
              "[Integer]   ; the numbers\n"
              "Ratio=55\n"
              "odd line without equals\r\n"
              "ratio=duplicate\r\n"
              "\t\r\n"
              "; about strings\r\n"
              "[string]\r\n"
              "folder_dest=/photos");

    ASSERT_TRUE(ini.Set("string", "folder_dest", "/out"));
    EXPECT_TRUE(ini.Bytes().size() >= 16);
    EXPECT_EQ(ini.Bytes().substr(ini.Bytes().size() - 16), "folder_dest=/out");
}

TEST(IniFile, AddsKeysAfterTheSectionsLastLineAndSectionsAtTheEnd) {
    IniFile ini(
        "[integer]\r\n"
        "ratio=50\r\n"
        "\r\n"
        "; the strings follow\r\n"
        "[string]\r\n"
        "\r\n");
    ASSERT_TRUE(ini.Set("integer", "folder", "1"));
    ASSERT_TRUE(ini.Set("string", "folder", "/src"));
    ASSERT_TRUE(ini.Set("F_Main", "Visible", "0"));
    EXPECT_EQ(ini.Bytes(),
              "[integer]\r\n"
              "ratio=50\r\n"
              "folder=1\r\n"
              "\r\n"
              "; the strings follow\r\n"
              "[string]\r\n"
              "folder=/src\r\n"
              "\r\n"
              "[F_Main]\r\n"
              "Visible=0\r\n");
}

TEST(IniFile, EndsAnUnendedLastLineBeforeAddingAfterIt) {
    IniFile key_last("[s]\nk=1");
    ASSERT_TRUE(key_last.Set("s", "n", "2"));
    EXPECT_EQ(key_last.Bytes(), "[s]\nk=1\r\nn=2\r\n");

    IniFile header_last("x=1\n[s]");
    ASSERT_TRUE(header_last.Set("s", "n", "2"));
    ASSERT_TRUE(header_last.Set("t", "m", "3"));
    EXPECT_EQ(header_last.Bytes(), "x=1\n[s]\r\nn=2\r\n[t]\r\nm=3\r\n");
}

// An editor's UTF-8 byte-order mark before the first section: the section is still found,
// no second one is added, and the mark stays at the start.
TEST(IniFile, ReadsPastAByteOrderMarkAndKeepsIt) {
    const std::string mark = "\xEF\xBB\xBF";
    IniFile ini(mark + "[integer]\r\nratio=30\r\n");
    EXPECT_EQ(ValueOr(ini, "integer", "ratio"), "30");
    ASSERT_TRUE(ini.Set("integer", "ratio", "40"));
    ASSERT_TRUE(ini.Set("integer", "folder", "1"));
    EXPECT_EQ(ini.Bytes(), mark + "[integer]\r\nratio=40\r\nfolder=1\r\n");

    IniFile only_mark(mark);
    ASSERT_TRUE(only_mark.Set("s", "k", "v"));
    EXPECT_EQ(only_mark.Bytes(), mark + "[s]\r\nk=v\r\n");

    // A mark anywhere else is text like any other.
    const IniFile later("\r\n" + mark + "[integer]\r\nratio=30\r\n");
    EXPECT_EQ(ValueOr(later, "integer", "ratio"), "<missing>");
}

TEST(IniFile, RefusesNamesAndValuesThatWouldBreakTheLayout) {
    IniFile ini("[s]\r\nk=1\r\n");
    EXPECT_FALSE(ini.Set("s", "k", "a\r\nratio=5"));
    EXPECT_FALSE(ini.Set("s", "k", "a\nb"));
    EXPECT_FALSE(ini.Set("s", "k", std::string("a\0b", 3)));
    EXPECT_FALSE(ini.Set("s", "a=b", "1"));
    EXPECT_FALSE(ini.Set("s", ";k", "1"));
    EXPECT_FALSE(ini.Set("s", "", "1"));
    EXPECT_FALSE(ini.Set("", "k", "1"));
    EXPECT_FALSE(ini.Set("a]b", "k", "1"));
    EXPECT_FALSE(ini.Set(" s", "k", "1"));
    EXPECT_EQ(ini.Bytes(), "[s]\r\nk=1\r\n");
}

TEST(IniFileOnDisk, LoadsMissingAsEmptyAndSavesThroughAReplacement) {
    TempFolder folder;
    const std::string path = folder.Slash() + "datas.ini";
    auto ini = IniFile::Load(path);
    ASSERT_TRUE(ini);
    EXPECT_EQ(ini->Bytes(), "");
    ASSERT_TRUE(ini->Set("s", "k", "v"));
    ASSERT_TRUE(ini->Save(path));
    EXPECT_EQ(ReadFile(path), "[s]\r\nk=v\r\n");
    // Nothing but the file itself is left in the folder.
    EXPECT_EQ(test::EntryNames(folder.Path()), std::set<std::string>{"datas.ini"});
}

TEST(IniFileOnDisk, KeepsPermissionsAndSymbolicLinks) {
    TempFolder folder;
    const std::string target = folder.WriteFile("real/datas.ini", "[s]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
    const std::string link = folder.Slash() + "datas.ini";
    std::filesystem::create_symlink(target, link);

    auto ini = IniFile::Load(link);
    ASSERT_TRUE(ini && ini->Set("s", "k", "2"));
    ASSERT_TRUE(ini->Save(link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadFile(target), "[s]\r\nk=2\r\n");
    struct stat info {};
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(IniFileOnDisk, FailsWithoutTouchingAReadOnlyFileOrAMissingFolder) {
    TempFolder folder;
    const std::string read_only = folder.WriteFile("datas.ini", "[s]\r\nk=1\r\n");
    ASSERT_EQ(::chmod(read_only.c_str(), 0444), 0);
    auto ini = IniFile::Load(read_only);
    ASSERT_TRUE(ini && ini->Set("s", "k", "2"));
    EXPECT_FALSE(ini->Save(read_only));
    EXPECT_EQ(ReadFile(read_only), "[s]\r\nk=1\r\n");

    const std::string blocker = folder.WriteFile("plain", "not a folder");
    EXPECT_FALSE(IniFile().Save(blocker + "/datas.ini"));
    EXPECT_FALSE(IniFile::Load(""));
    // A folder where the file should be cannot be read as settings.
    std::filesystem::create_directory(folder.Path() / "dir.ini");
    EXPECT_FALSE(IniFile::Load(folder.Slash() + "dir.ini"));
}

}  // namespace
}  // namespace pixmora
