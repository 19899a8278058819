// Where the data folder lies for each environment, and its creation.
#include <gtest/gtest.h>

#include <filesystem>

#include "collect/data_folder.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

TEST(DataFolder, FollowsXdgDataHomeThenHome) {
    struct Case {
        const char* xdg_data_home;
        const char* home;
        const char* expected;
    };
    const Case cases[] = {
        {"/x/data", "/home/ann", "/x/data/_data_Pixmora/"},
        {"/x/data/", "/home/ann", "/x/data/_data_Pixmora/"},
        {"relative/data", "/home/ann", "/home/ann/.local/share/_data_Pixmora/"},
        {"", "/home/ann/", "/home/ann/.local/share/_data_Pixmora/"},
        {"", "/", "/.local/share/_data_Pixmora/"},
        {"", "", ""},
        {"", "ann", ""},
        {"~/data", "~", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DataDirFor({c.xdg_data_home, c.home}), c.expected)
            << c.xdg_data_home << " | " << c.home;
    }
    EXPECT_EQ(SettingsFilePath("/x/_data_Pixmora/"), "/x/_data_Pixmora/datas.ini");
    EXPECT_EQ(SettingsFilePath(""), "");
}

TEST(DataFolder, IsCreatedWithItsParentsAndFailureIsNotFatal) {
    test::TempFolder folder;
    const std::string data_dir = SetUpDataDir({"", folder.Slash() + "home"});
    EXPECT_EQ(data_dir, folder.Slash() + "home/.local/share/_data_Pixmora/");
    EXPECT_TRUE(std::filesystem::is_directory(data_dir));

    const std::string blocker = folder.WriteFile("blocker", "x");
    EXPECT_EQ(SetUpDataDir({blocker, ""}), blocker + "/_data_Pixmora/");
    EXPECT_EQ(SetUpDataDir({"", ""}), "");
}

}  // namespace
}  // namespace pixmora
