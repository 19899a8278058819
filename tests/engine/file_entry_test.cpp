// Derived names and output folders, in Windows style over a pretend drive and in POSIX style
// over real folders.
#include "engine/files/file_entry.h"

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/temp_folder.h"

namespace pixmora {
namespace {

// A file system that knows a few folders and records what is created.
struct PretendFolders {
    std::set<std::string> existing;
    std::vector<std::string> created;

    FolderOps Ops() {
        FolderOps ops;
        ops.is_directory = [this](const std::string& path) {
            std::string key = path;
            while (key.size() > 3 && key.back() == '\\') key.pop_back();
            return existing.count(key) > 0;
        };
        ops.create_folder = [this](const std::string& path) {
            created.push_back(path);
            existing.insert(path);
            return true;
        };
        return ops;
    }
};

struct NamesRow {
    const char* full_name;
    const char* fixed_folder;  // nullptr: source-folder mode
    const char* file_name;
    const char* base_name;
    const char* file_path;
    const char* folder_name;
    const char* output_folder;
};

TEST(FileEntryTest, WindowsStyleNamesAndOutputFolders) {
    const NamesRow rows[] = {
        {R"(C:\Photos\Trip\a.jpg)", nullptr, "a.jpg", "a", R"(C:\Photos\Trip\)", "Trip",
         R"(C:\Photos\Trip\Trip\)"},
        {R"(C:\Photos\Trip\a.jpg)", R"(D:\Out)", "a.jpg", "a", R"(C:\Photos\Trip\)", "Trip",
         R"(D:\Out\Trip\)"},
        {R"(C:\Photos\Trip\a.jpg)", R"(D:\Out\)", "a.jpg", "a", R"(C:\Photos\Trip\)", "Trip",
         R"(D:\Out\Trip\)"},
        {R"(C:\Photos\Trip\a.jpg)", R"(D:\Missing)", "a.jpg", "a", R"(C:\Photos\Trip\)", "Trip",
         R"(C:\Photos\Trip\Trip\)"},
        {R"(C:\a.jpg)", nullptr, "a.jpg", "a", R"(C:\)", "C:", R"(C:\C:\)"},
        {R"(\\srv\share\pics\a.jpg)", nullptr, "a.jpg", "a", R"(\\srv\share\pics\)", "pics",
         R"(\\srv\share\pics\pics\)"},
        {R"(\\srv\share\pics\a.jpg)", R"(\\srv\out)", "a.jpg", "a", R"(\\srv\share\pics\)", "pics",
         R"(\\srv\out\pics\)"},
        {R"(\\srv\share\a.jpg)", nullptr, "a.jpg", "a", R"(\\srv\share\)", "share",
         R"(\\srv\share\share\)"},
        {R"(C:\P\a.b.jpg)", nullptr, "a.b.jpg", "a.b", R"(C:\P\)", "P", R"(C:\P\P\)"},
        {R"(C:\P\README)", nullptr, "README", "README", R"(C:\P\)", "P", R"(C:\P\P\)"},
        {R"(C:\P\photo.)", nullptr, "photo.", "photo", R"(C:\P\)", "P", R"(C:\P\P\)"},
        {R"(C:\P\.jpg)", nullptr, ".jpg", "", R"(C:\P\)", "P", R"(C:\P\P\)"},
        // Doubled backslashes inside come out single, the network pair aside.
        {R"(C:\Photos\\Trip\a.jpg)", nullptr, "a.jpg", "a", R"(C:\Photos\\Trip\)", "Trip",
         R"(C:\Photos\Trip\Trip\)"},
        // A fixed folder that is the parent of the source folder gives the source folder.
        {R"(C:\Photos\Trip\a.jpg)", R"(C:\Photos)", "a.jpg", "a", R"(C:\Photos\Trip\)", "Trip",
         R"(C:\Photos\Trip\)"},
        // A colon ends the directory part too.
        {R"(C:a.jpg)", nullptr, "a.jpg", "a", "C:", "C:", R"(C:\C:\)"},
    };
    PretendFolders fs;
    fs.existing = {R"(D:\Out)", R"(\\srv\out)", R"(C:\Photos)"};
    const PathStyle style = PathStyle::Windows();
    for (const NamesRow& row : rows) {
        SCOPED_TRACE(std::string(row.full_name) + " fixed " +
                     (row.fixed_folder ? row.fixed_folder : "-"));
        TListe_File entry;
        entry.FullName = row.full_name;
        DeriveEntryNames(entry, style);
        EXPECT_EQ(entry.FileName, row.file_name);
        EXPECT_EQ(entry.BaseName, row.base_name);
        EXPECT_EQ(entry.FilePath, row.file_path);
        EXPECT_EQ(entry.FolderName, row.folder_name);
        EXPECT_EQ(ComposeOutputFolder(entry, row.fixed_folder != nullptr,
                                      row.fixed_folder ? row.fixed_folder : "", style, fs.Ops()),
                  row.output_folder);
    }
}

TEST(FileEntryTest, FixedFolderIgnoredWhenModeOffOrEmpty) {
    PretendFolders fs;
    fs.existing = {R"(D:\Out)"};
    TListe_File entry;
    entry.FullName = R"(C:\Photos\Trip\a.jpg)";
    DeriveEntryNames(entry, PathStyle::Windows());
    EXPECT_EQ(ComposeOutputFolder(entry, false, R"(D:\Out)", PathStyle::Windows(), fs.Ops()),
              R"(C:\Photos\Trip\Trip\)");
    EXPECT_EQ(ComposeOutputFolder(entry, true, "", PathStyle::Windows(), fs.Ops()),
              R"(C:\Photos\Trip\Trip\)");
}

TEST(FileEntryTest, PosixStyleNamesAndOutputFolders) {
    test::TempFolder temp;
    const std::string out = temp.Slash() + "Out";
    std::filesystem::create_directory(out);
    temp.WriteFile("plain_file", "x");
    const NamesRow rows[] = {
        {"/photos/Trip/a.jpg", nullptr, "a.jpg", "a", "/photos/Trip/", "Trip",
         "/photos/Trip/Trip/"},
        {"/photos/Trip/a.jpg", out.c_str(), "a.jpg", "a", "/photos/Trip/", "Trip", nullptr},
        {"/photos/Trip/a.jpg", "/no/such/folder", "a.jpg", "a", "/photos/Trip/", "Trip",
         "/photos/Trip/Trip/"},
        {"/a.jpg", nullptr, "a.jpg", "a", "/", "", "/"},
        {"//photos//Trip/a.jpg", nullptr, "a.jpg", "a", "//photos//Trip/", "Trip",
         "/photos/Trip/Trip/"},
        {"/P/a.b.jpg", nullptr, "a.b.jpg", "a.b", "/P/", "P", "/P/P/"},
        {"/P/README", nullptr, "README", "README", "/P/", "P", "/P/P/"},
        {"/P/photo.", nullptr, "photo.", "photo", "/P/", "P", "/P/P/"},
        {"/P/.jpg", nullptr, ".jpg", "", "/P/", "P", "/P/P/"},
        {"/P/c:d.jpg", nullptr, "c:d.jpg", "c:d", "/P/", "P", "/P/P/"},
        {"/d:/a.jpg", nullptr, "a.jpg", "a", "/d:/", "d:", "/d:/d:/"},
    };
    for (const NamesRow& row : rows) {
        SCOPED_TRACE(std::string(row.full_name) + " fixed " +
                     (row.fixed_folder ? row.fixed_folder : "-"));
        TListe_File entry;
        entry.FullName = row.full_name;
        DeriveEntryNames(entry, PathStyle::Posix());
        EXPECT_EQ(entry.FileName, row.file_name);
        EXPECT_EQ(entry.BaseName, row.base_name);
        EXPECT_EQ(entry.FilePath, row.file_path);
        EXPECT_EQ(entry.FolderName, row.folder_name);
        const std::string expected = row.output_folder ? row.output_folder : out + "/Trip/";
        EXPECT_EQ(ComposeOutputFolder(entry, row.fixed_folder != nullptr,
                                      row.fixed_folder ? row.fixed_folder : ""),
                  expected);
    }
    // A fixed "folder" that is a file falls back to the source folder.
    TListe_File entry;
    entry.FullName = "/photos/Trip/a.jpg";
    DeriveEntryNames(entry);
    EXPECT_EQ(ComposeOutputFolder(entry, true, temp.Slash() + "plain_file"), "/photos/Trip/Trip/");
}

TEST(FileEntryTest, EnsureFolderWindowsStyleCreatesMissingParentsOnly) {
    PretendFolders fs;
    fs.existing = {R"(C:\Photos)"};
    EnsureFolder(R"(C:\Photos\Trip\Trip\)", PathStyle::Windows(), fs.Ops());
    EXPECT_EQ(fs.created,
              (std::vector<std::string>{R"(C:\Photos\Trip)", R"(C:\Photos\Trip\Trip)"}));

    // A drive-root file's folder "C:\C:\" has nothing that can be created.
    fs.created.clear();
    EnsureFolder(R"(C:\C:\)", PathStyle::Windows(), fs.Ops());
    EXPECT_TRUE(fs.created.empty());
}

TEST(FileEntryTest, EnsureFolderStopsWhenAParentCannotBeMade) {
    FolderOps ops;
    std::vector<std::string> attempts;
    ops.is_directory = [](const std::string& path) { return path == "/"; };
    ops.create_folder = [&](const std::string& path) {
        attempts.push_back(path);
        return false;
    };
    EnsureFolder("/a/b/c/", PathStyle::Posix(), ops);
    EXPECT_EQ(attempts, std::vector<std::string>{"/a"});
}

TEST(FileEntryTest, EnsureFolderNativeCreatesNestedFolders) {
    test::TempFolder temp;
    const std::string target = temp.Slash() + "one/two/three/";
    EnsureFolder(target);
    EXPECT_TRUE(std::filesystem::is_directory(target));
    EnsureFolder(target);  // already there: nothing happens, nothing reported
    EXPECT_TRUE(std::filesystem::is_directory(target));
}

}  // namespace
}  // namespace pixmora
