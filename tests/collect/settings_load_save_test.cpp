// Loading and saving the remembered settings against a recording stand-in for the window,
// on real files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "collect/settings.h"
#include "collect/settings_file.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::ReadFile;
using test::TempFolder;

class RecordingSettingsView : public SettingsView {
public:
    std::vector<std::string> calls;
    std::string ratio_text;
    int32_t ratio_value = 0;
    bool source_selected = false;
    bool fix_selected = false;
    bool dest_enabled = false;
    std::string dest_text;
    std::string source_text;

    void SetRatioText(const std::string& text) override {
        ratio_text = text;
        calls.push_back("ratio " + text);
    }
    int32_t RatioValue() const override { return ratio_value; }
    void SetSourceFolderSelected(bool selected) override {
        source_selected = selected;
        calls.push_back(selected ? "source on" : "source off");
    }
    void SetFixFolderSelected(bool selected) override {
        fix_selected = selected;
        calls.push_back(selected ? "fix on" : "fix off");
    }
    bool IsFixFolderSelected() const override { return fix_selected; }
    std::string DestFolderText() const override { return dest_text; }
    void SetDestFolderText(const std::string& text) override {
        dest_text = text;
        calls.push_back("dest '" + text + "'");
    }
    std::string SourceFolderText() const override { return source_text; }
    void RDB_Source_FolderClick() override {
        dest_enabled = fix_selected;
        calls.push_back("destination rule");
    }
    void DED_Dir_SourceBrowse() override { calls.push_back("browse"); }
};

TEST(LoadSettings, FirstStartCreatesTheFileWithDefaultsAndShowsThem) {
    TempFolder folder;
    const std::string file = folder.Slash() + "datas.ini";
    RecordingSettingsView view;
    LoadSettings(file, view);
    EXPECT_EQ(ReadFile(file), "[integer]\r\nratio=100\r\nfolder=0\r\n[string]\r\nfolder_dest=\r\n");
    EXPECT_EQ(view.calls, (std::vector<std::string>{"ratio 100", "source on", "fix off", "dest ''",
                                                    "destination rule", "browse"}));
    EXPECT_FALSE(view.dest_enabled);
}

struct StoredCase {
    const char* integer_section;
    const char* ratio_shown;
    const char* ratio_stored_after;  // the ratio line after loading
    bool fixed_mode;
};

TEST(LoadSettings, ShowsStoredValuesAndMendsABadRatio) {
    const StoredCase cases[] = {
        {"ratio=0x32\r\nfolder=0\r\n", "50", "ratio=0x32", false},
        {"ratio=$32\r\nfolder=0\r\n", "50", "ratio=$32", false},
        {"ratio= 50 \r\nfolder=0\r\n", "50", "ratio= 50 ", false},
        {"RATIO=70\r\nfolder=0\r\n", "70", "RATIO=70", false},
        {"ratio=\"75\"\r\nfolder=0\r\n", "75", "ratio=\"75\"", false},
        {"ratio=999999\r\nfolder=1\r\n", "999999", "ratio=999999", true},
        {"ratio=50%\r\nfolder=0\r\n", "100", "ratio=100", false},
        {"ratio=-5\r\nfolder=0\r\n", "100", "ratio=100", false},
        {"ratio=\r\nfolder=0\r\n", "100", "ratio=100", false},
        {"ratio=40\r\nfolder=2\r\n", "40", "ratio=40", false},
        {"ratio=40\r\nfolder=yes\r\n", "40", "ratio=40", false},
        {"ratio=40\r\nFOLDER= 1 \r\n", "40", "ratio=40", true},
        {"ratio=40\r\nfolder=$1\r\n", "40", "ratio=40", true},
    };
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(c.integer_section);
        TempFolder folder;
        const std::string file =
            folder.WriteFile("datas.ini", std::string("[integer]\r\n") + c.integer_section +
                                              "[string]\r\nfolder_dest=/home/ann/out\r\n");
        RecordingSettingsView view;
        LoadSettings(file, view);
        EXPECT_EQ(view.ratio_text, c.ratio_shown);
        EXPECT_EQ(view.source_selected, !c.fixed_mode);
        EXPECT_EQ(view.fix_selected, c.fixed_mode);
        EXPECT_EQ(view.dest_enabled, c.fixed_mode);
        EXPECT_EQ(view.dest_text, "/home/ann/out");
        EXPECT_NE(ReadFile(file).find(std::string(c.ratio_stored_after) + "\r\n"),
                  std::string::npos);
    }
}

TEST(LoadSettings, ShowsAFolderWithLongValueCut) {
    TempFolder folder;
    const std::string long_folder = "/" + std::string(2100, 'd');
    const std::string file = folder.WriteFile(
        "datas.ini", "[string]\r\nfolder_dest=" + long_folder + "\r\n[integer]\r\nratio=10\r\n");
    RecordingSettingsView view;
    LoadSettings(file, view);
    EXPECT_EQ(view.dest_text, long_folder.substr(0, 2047));
}

TEST(LoadSettings, WithAnUnwritableFileShowsDefaultsOrStoredValues) {
    TempFolder folder;
    const std::string blocker = folder.WriteFile("plain", "a file, not a folder");
    RecordingSettingsView view;
    LoadSettings(blocker + "/_data_Pixmora/datas.ini", view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"ratio 0", "source on", "fix off", "dest ''",
                                                    "destination rule", "browse"}));

    // Without a data folder there is no file name at all.
    RecordingSettingsView no_file_view;
    LoadSettings("", no_file_view);
    EXPECT_EQ(no_file_view.calls, view.calls);

    // A read-only file still gives what it holds; the missing key keeps its default.
    const std::string read_only =
        folder.WriteFile("ro/datas.ini", "[integer]\r\nratio=30\r\nfolder=1\r\n");
    ASSERT_EQ(::chmod(read_only.c_str(), 0444), 0);
    RecordingSettingsView read_only_view;
    LoadSettings(read_only, read_only_view);
    EXPECT_EQ(read_only_view.ratio_text, "30");
    EXPECT_TRUE(read_only_view.fix_selected);
    EXPECT_EQ(read_only_view.dest_text, "");
    EXPECT_EQ(ReadFile(read_only), "[integer]\r\nratio=30\r\nfolder=1\r\n");
}

TEST(LoadSettings, AFailingWindowStopsTheStepsQuietly) {
    struct ThrowingView : RecordingSettingsView {
        void SetDestFolderText(const std::string&) override { throw std::runtime_error("gone"); }
    };
    TempFolder folder;
    ThrowingView view;
    EXPECT_NO_THROW(LoadSettings(folder.Slash() + "datas.ini", view));
    EXPECT_EQ(view.calls, (std::vector<std::string>{"ratio 100", "source on", "fix off"}));
}

TEST(SaveSettings, WritesInOrderAndReloadsTheSame) {
    TempFolder folder;
    const std::string file = folder.Slash() + "datas.ini";
    RecordingSettingsView view;
    view.source_text = "/home/ann/photos";
    view.ratio_value = 35;
    view.fix_selected = true;
    view.dest_text = "";
    SaveSettings(file, view);
    EXPECT_EQ(ReadFile(file),
              "[string]\r\nfolder=/home/ann/photos\r\nfolder_dest=\r\n"
              "[integer]\r\nratio=35\r\nfolder=1\r\n");

    RecordingSettingsView next_start;
    LoadSettings(file, next_start);
    EXPECT_EQ(next_start.ratio_text, "35");
    EXPECT_TRUE(next_start.fix_selected);
    EXPECT_TRUE(next_start.dest_enabled);
    EXPECT_EQ(next_start.dest_text, "");
}

TEST(SaveSettings, RewritesExistingKeysInPlaceAndStoresANegativeRatio) {
    TempFolder folder;
    const std::string file = folder.WriteFile(
        "datas.ini",
        "[F_Main]\r\nVisible=0\r\n[integer]\r\nratio=100\r\nfolder=1\r\n[string]\r\n"
        "folder_dest=/old\r\nfolder=/was\r\n");
    RecordingSettingsView view;
    view.ratio_value = -20;
    view.dest_text = "/new";
    view.source_text = "";
    SaveSettings(file, view);
    EXPECT_EQ(ReadFile(file),
              "[F_Main]\r\nVisible=0\r\n[integer]\r\nratio=-20\r\nfolder=0\r\n[string]\r\n"
              "folder_dest=/new\r\nfolder=\r\n");
    RecordingSettingsView next_start;
    LoadSettings(file, next_start);
    EXPECT_EQ(next_start.ratio_text, "100");
}

TEST(SettingsFile, ReadWithCreateWritesTheDefaultOnlyWhenTheKeyIsMissing) {
    TempFolder folder;
    const std::string file = folder.WriteFile("datas.ini", "[integer]\r\nratio=\r\n");
    EXPECT_EQ(IniReadInteger(file, "integer", "ratio"), 0);
    EXPECT_EQ(IniReadString(file, "Integer", "Ratio"), "");
    EXPECT_EQ(IniReadInteger(file, "integer", "count"), 0);
    EXPECT_EQ(IniReadString(file, "string", "name"), "");
    EXPECT_EQ(ReadFile(file), "[integer]\r\nratio=\r\ncount=0\r\n[string]\r\nname=\r\n");

    // A value that cannot be one line is not written.
    IniWriteString(file, "string", "name", "two\nlines");
    EXPECT_EQ(IniReadString(file, "string", "name"), "");
}

}  // namespace
}  // namespace pixmora
