// Folder scans, drops and the list rebuild, on real folders.
#include "collect/file_list.h"

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "collect/directory_search.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> FullNames(const std::vector<TListe_File>& files) {
    std::vector<std::string> names;
    for (const TListe_File& file : files) names.push_back(file.FullName);
    return names;
}

void MakeFolder(const std::string& path, mode_t mode = 0755) {
    fs::create_directories(path);
    ::chmod(path.c_str(), mode);
}

// Every operation of the list, in order, as one text each.
struct RecordingListView : FileListView {
    std::vector<std::string> calls;
    int items = 0;
    bool click_fails = false;

    void ClearItems() override { calls.push_back("clear"), items = 0; }
    void AddItem(const std::string& text) override { calls.push_back("add " + text), ++items; }
    int ItemCount() const override { return items; }
    void SelectItem(int index) override { calls.push_back("select " + std::to_string(index)); }
    void SetHeaderText(const std::string& text) override { calls.push_back("header " + text); }
    void SetDropHintVisible(bool visible) override {
        calls.push_back(visible ? "hint shown" : "hint hidden");
    }
    void ListClicked() override {
        calls.push_back("click");
        if (click_fails) throw std::runtime_error("Erreur JPEG #53");
    }
};

TEST(DirectorySearchTest, AttributesOfEntries) {
    test::TempFolder temp;
    const std::string dir = temp.Slash();
    temp.WriteFile("file.jpg", "x");
    temp.WriteFile(".hidden.jpg", "x");
    temp.WriteFile("locked.jpg", "x");
    ::chmod((dir + "locked.jpg").c_str(), 0444);
    MakeFolder(dir + "plain");
    MakeFolder(dir + "locked_dir", 0555);
    MakeFolder(dir + ".hidden_dir");
    fs::create_symlink(dir + "plain", dir + "link_dir");
    fs::create_symlink(dir + "file.jpg", dir + "link.jpg");

    struct Row {
        const char* name;
        uint32_t attributes;
    };
    const Row rows[] = {
        {"file.jpg", 32},   {".hidden.jpg", 34}, {"locked.jpg", 33}, {"plain", 16},
        {"locked_dir", 17}, {".hidden_dir", 18}, {"link_dir", 1040}, {"link.jpg", 1056},
        {".", 16},          {"..", 16},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        uint32_t attributes = 0;
        ASSERT_TRUE(ReadSearchAttributes(dir, row.name, attributes));
        EXPECT_EQ(attributes, row.attributes);
    }
    ::chmod((dir + "locked_dir").c_str(), 0755);
}

TEST(DirectorySearchTest, PatternsAndOrder) {
    test::TempFolder temp;
    for (const char* name : {"b.jpg", "A.JPG", "a.jpeg", "c.Jpeg", "B.jpg", "d.png", "e.jpg.txt",
                             "f.jpgx", "_z.jpg"}) {
        temp.WriteFile(name, "x");
    }
    std::vector<std::string> names;
    for (const SearchEntry& entry : SearchFolder(temp.Slash(), "*.jpg")) {
        names.push_back(entry.name);
    }
    // Compared in upper case first ("_" after the letters), bytes break ties ("B" < "b").
    EXPECT_EQ(names,
              (std::vector<std::string>{"a.jpeg", "A.JPG", "B.jpg", "b.jpg", "c.Jpeg", "_z.jpg"}));

    names.clear();
    for (const SearchEntry& entry : SearchFolder(temp.Slash(), "*.*")) {
        names.push_back(entry.name);
    }
    EXPECT_EQ(names.size(), 11u);
    EXPECT_EQ(names[0], ".");
    EXPECT_EQ(names[1], "..");

    EXPECT_TRUE(SearchFolder(temp.Slash() + "missing/", "*.*").empty());
}

TEST(FileListTest, FolderScanListsJpegFilesAndSkipsPlainFolders) {
    test::TempFolder temp;
    const std::string dir = temp.Path().string();  // no trailing separator: one is added
    temp.WriteFile("b.JPG", "x");
    temp.WriteFile("a.jpeg", "x");
    temp.WriteFile("notes.txt", "x");
    MakeFolder(dir + "/folder.jpg");        // plain folder: left out
    MakeFolder(dir + "/locked.jpg", 0555);  // read-only folder: listed like a file
    MakeFolder(dir + "/.hidden.jpg");       // hidden folder: listed like a file

    std::vector<TListe_File> files;
    AddFilesFromFolder(files, dir, "jpg");
    EXPECT_EQ(FullNames(files), (std::vector<std::string>{dir + "/.hidden.jpg", dir + "/a.jpeg",
                                                          dir + "/b.JPG", dir + "/locked.jpg"}));
    ::chmod((dir + "/locked.jpg").c_str(), 0755);

    // A missing folder adds nothing; what was there stays.
    AddFilesFromFolder(files, dir + "/missing", "jpg");
    EXPECT_EQ(files.size(), 4u);
}

TEST(FileListTest, DroppedFolderScansOneLevelOfPlainSubFolders) {
    test::TempFolder temp;
    const std::string dir = temp.Slash() + "drop";
    temp.WriteFile("drop/top.jpg", "x");
    temp.WriteFile("drop/B/b.jpg", "x");
    temp.WriteFile("drop/a/a.jpg", "x");
    temp.WriteFile("drop/a/deeper/deep.jpg", "x");
    temp.WriteFile("drop/.hidden/h.jpg", "x");
    temp.WriteFile("drop/locked/l.jpg", "x");
    ::chmod((dir + "/locked").c_str(), 0555);
    temp.WriteFile("drop/empty.txt", "x");

    std::vector<TListe_File> files;
    AddDroppedFolder(files, dir + "/");
    EXPECT_EQ(FullNames(files),
              (std::vector<std::string>{dir + "/top.jpg", dir + "/a/a.jpg", dir + "/B/b.jpg"}));
    ::chmod((dir + "/locked").c_str(), 0755);

    // An empty folder lists nothing; a missing one neither.
    files.clear();
    MakeFolder(temp.Slash() + "empty");
    AddDroppedFolder(files, temp.Slash() + "empty");
    AddDroppedFolder(files, temp.Slash() + "missing");
    EXPECT_TRUE(files.empty());
}

TEST(FileListTest, DroppedNamesAreTakenWholeInOrder) {
    test::TempFolder temp;
    const std::string text = temp.WriteFile("notes.txt", "x");
    const std::string photo = temp.WriteFile("p/photo.jpg", "x");
    const std::string locked = temp.WriteFile("locked.bin", "x");
    ::chmod(locked.c_str(), 0444);
    // A photo in a folder whose own path is 255 bytes long, beside a sub folder of photos:
    // the photo alone is listed, by its whole name.
    const std::string deep_folder = temp.Slash() + std::string(120, 'd') + "/" +
                                    std::string(255 - temp.Slash().size() - 121, 'e');
    ASSERT_EQ(deep_folder.size(), 255u);
    const std::string deep =
        temp.WriteFile(deep_folder.substr(temp.Slash().size()) + "/a.jpg", "x");
    temp.WriteFile(deep_folder.substr(temp.Slash().size()) + "/sub/b.jpg", "x");

    std::vector<TListe_File> files;
    const std::vector<RefusedName> refused = AddDroppedNames(
        files, {text, temp.Slash() + "p", deep, photo, temp.Slash() + "missing.jpg", locked});
    EXPECT_EQ(FullNames(files), (std::vector<std::string>{text, photo, deep, photo, locked}));
    EXPECT_TRUE(refused.empty());
}

TEST(FileListTest, NamesTheSystemRefusesAreReturnedAndTheOthersTaken) {
    test::TempFolder temp;
    const std::string photo = temp.WriteFile("photo.jpg", "x");
    const std::string loop = temp.Slash() + "loop";
    fs::create_symlink(loop, loop);
    const std::string long_part = temp.Slash() + std::string(256, 'n') + ".jpg";
    std::string over_path_limit = temp.Slash();
    while (over_path_limit.size() <= 4096) over_path_limit += std::string(200, 'f') + "/";

    std::vector<TListe_File> files;
    const std::vector<RefusedName> refused =
        AddDroppedNames(files, {long_part, photo, loop + "/a.jpg", over_path_limit, photo});
    EXPECT_EQ(FullNames(files), (std::vector<std::string>{photo, photo}));
    ASSERT_EQ(refused.size(), 3u);
    EXPECT_EQ(refused[0].name, long_part);
    EXPECT_EQ(refused[0].reason, std::errc::filename_too_long);
    EXPECT_EQ(refused[1].name, loop + "/a.jpg");
    EXPECT_EQ(refused[1].reason, std::errc::too_many_symbolic_link_levels);
    EXPECT_EQ(refused[2].name, over_path_limit);
    EXPECT_EQ(refused[2].reason, std::errc::filename_too_long);

    // Long names keep their start and their end; a short one is shown whole.
    const auto shown = [](const std::string& name) {
        return name.substr(0, 40) + "\u2026" + name.substr(name.size() - 59);
    };
    EXPECT_EQ(RefusedNamesText(refused),
              "These dropped names were refused by the system and left out :\n" + shown(long_part) +
                  " : File name too long\n" + loop +
                  "/a.jpg : Too many levels of symbolic links\n" + shown(over_path_limit) +
                  " : File name too long");
    // A cut never splits a character: each "é" is two bytes, the second ones at the cuts.
    const std::string accents = std::string(39, 'a') + "\u00e9\u00e9" + std::string(58, 'c');
    EXPECT_EQ(RefusedNamesText({{accents, std::make_error_code(std::errc::filename_too_long)}}),
              "These dropped names were refused by the system and left out :\n" +
                  std::string(39, 'a') + "\u2026" + std::string(58, 'c') + " : File name too long");
}

TEST(FileListTest, RebuildWritesUnmarkedLinesHeaderAndPreviewsFirst) {
    std::vector<TListe_File> files(2);
    files[0].FullName = "/p/Trip/a.jpg";
    files[1].FullName = "/p/b.jpg";
    files[0].FolderName = "stale";
    RecordingListView view;
    RefreshFileList(files, view);
    EXPECT_EQ(view.calls,
              (std::vector<std::string>{"clear", "add /p/Trip/a.jpg|0", "add /p/b.jpg|0",
                                        "header List of JPEG files : 2 files found", "hint hidden",
                                        "select 0", "click"}));
    EXPECT_EQ(files[0].FolderName, "Trip");
    EXPECT_EQ(files[1].FileName, "b.jpg");

    view.calls.clear();
    files.resize(1);
    view.click_fails = true;  // a first file that cannot be previewed leaves the list built
    RefreshFileList(files, view);
    EXPECT_EQ(view.calls.back(), "click");
    EXPECT_EQ(view.calls[2], "header List of JPEG files : 1 files found");

    view.calls.clear();
    files.clear();
    RefreshFileList(files, view);
    EXPECT_EQ(view.calls, (std::vector<std::string>{
                              "clear", "header List of JPEG files : 0 files found", "hint shown"}));
}

}  // namespace
}  // namespace pixmora
