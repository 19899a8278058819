// Saving and restoring the window placement against a stand-in window, on real files.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <string>
#include <vector>

#include "collect/form_placement.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

using test::ReadFile;
using test::TempFolder;

class FakeWindow : public PlacementWindowView {
public:
    WindowPlacement placement{0, kShowNormal, {-1, -1}, {-1, -1}, {50, 60, 550, 607}};
    std::vector<WindowPlacement> applied;
    bool visible = false;
    bool main_window = true;
    bool program_minimised = false;
    BorderStyle border = BorderStyle::kSizeable;
    bool centred = false;
    bool switched_to_own_coordinates = false;
    ScreenSize screen{800, 600};
    int32_t pixels_per_inch = 96;
    int repaints = 0;
    std::vector<std::string> errors;

    WindowPlacement GetPlacement() const override { return placement; }
    void SetPlacement(const WindowPlacement& value) override {
        applied.push_back(value);
        placement = value;
        placement.show_command = visible ? value.show_command : kShowNormal;
    }
    bool IsVisible() const override { return visible; }
    bool IsMainWindow() const override { return main_window; }
    bool IsProgramMinimised() const override { return program_minimised; }
    BorderStyle Border() const override { return border; }
    PlacementRect Bounds() const override { return placement.normal_rect; }
    bool IsPlacedByCentring() const override { return centred; }
    void PlaceByOwnCoordinates() override {
        EXPECT_TRUE(applied.empty()) << "switch comes before the placement is applied";
        switched_to_own_coordinates = true;
        centred = false;
    }
    ScreenSize PrimaryScreenSize() const override { return screen; }
    int32_t PixelsPerInch() const override { return pixels_per_inch; }
    PlacementPoint FrameSize(FrameMetric metric) const override {
        switch (metric) {
            case FrameMetric::kBorder:
                return {1, 2};
            case FrameMetric::kSizingFrame:
                return {4, 5};
            case FrameMetric::kDialogFrame:
                return {3, 6};
        }
        return {};
    }
    void Repaint() override { ++repaints; }
    void ShowError(const std::string& text) override { errors.push_back(text); }
};

class PlacementStore : public ::testing::Test {
protected:
    PlacementStore() : store(window) {
        file = folder.Slash() + "datas.ini";
        store.SetIniFileName(file);
        store.SetIniSection("F_Main");
    }
    std::string WriteSection(const std::string& keys) {
        return folder.WriteFile("datas.ini", "[F_Main]\r\n" + keys);
    }
    // The rectangle applied by the load itself (before the maximised-position adjustment).
    std::vector<WindowPlacement> PlacedFromFile() const {
        return {window.applied.begin(), window.applied.end() - 1};
    }

    TempFolder folder;
    std::string file;
    FakeWindow window;
    TFormPlacement store;
};

TEST_F(PlacementStore, WritesTheSectionInItsKeyOrderAtTheCloseQueryOnly) {
    store.FormShow();
    window.visible = true;
    window.placement = {0, kShowNormal, {-1, -1}, {-4, -4}, {100, 40, 600, 587}};
    store.FormCloseQuery(true);
    const std::string expected =
        "[F_Main]\r\n"
        "FormVersion=0\r\n"
        "Flags=0\r\n"
        "ShowCmd=1\r\n"
        "PixelsPerInch=96\r\n"
        "MinMaxPos(800x600)=-1,-1,-4,-4\r\n"
        "MinMaxPos=-1,-1,-4,-4\r\n"
        "NormPos(800x600)=100,40,600,587\r\n"
        "NormPos=100,40,600,587\r\n"
        "Visible=0\r\n";
    EXPECT_EQ(ReadFile(file), expected);
    EXPECT_TRUE(store.Saved());

    window.placement.normal_rect = {1, 1, 2, 2};
    store.FormDestroy();
    EXPECT_EQ(ReadFile(file), expected);
    EXPECT_TRUE(window.errors.empty());
}

TEST_F(PlacementStore, FirstStartAppliesNothingButTheMaximisedPosition) {
    store.FormShow();
    ASSERT_EQ(window.applied.size(), 1u);
    const WindowPlacement& adjusted = window.applied[0];
    EXPECT_EQ(adjusted.show_command, kShowHide);
    EXPECT_EQ(adjusted.max_position, (PlacementPoint{-4, -5}));
    EXPECT_EQ(adjusted.normal_rect, (PlacementRect{50, 60, 550, 607}));
    EXPECT_TRUE(store.Restored());
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(window.repaints, 1);
}

TEST_F(PlacementStore, ReadsTheKeyForThisScreenSizeFirst) {
    const std::string keys =
        "FormVersion=0\r\nFlags=2\r\nPixelsPerInch=96\r\n"
        "MinMaxPos(800x600)=-1,-1,-4,-4\r\nMinMaxPos=7,7,7,7\r\n"
        "NormPos(800x600)=10,20,510,420\r\nNormPos=30,40,630,540\r\n"
        "NormPos(1024x768)=\r\n";
    WriteSection(keys);
    store.FormShow();
    auto placed = PlacedFromFile();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0], (WindowPlacement{2, kShowHide, {-1, -1}, {-4, -4}, {10, 20, 510, 420}}));

    // Another screen size, whose own key is empty: the plain keys count.
    FakeWindow other;
    other.screen = {1024, 768};
    TFormPlacement other_store(other);
    other_store.SetIniFileName(file);
    other_store.SetIniSection("f_main");
    other_store.FormShow();
    ASSERT_EQ(other.applied.size(), 2u);
    EXPECT_EQ(other.applied[0],
              (WindowPlacement{2, kShowHide, {7, 7}, {7, 7}, {30, 40, 630, 540}}));
    EXPECT_EQ(ReadFile(file), "[F_Main]\r\n" + keys);
}

TEST_F(PlacementStore, FillsMissingOrBadWordsFromTheWindow) {
    struct Case {
        const char* keys;
        PlacementPoint min_position;
        PlacementPoint max_position;
        PlacementRect normal_rect;
    };
    // The window's current rectangle is 50,60,550,607; its record's positions are -1,-1.
    const Case cases[] = {
        {"NormPos=100,100\r\n", {-1, -1}, {-1, -1}, {100, 100, 550, 607}},
        {"NormPos=  100 ,, 120,,,700 ;\r\n", {-1, -1}, {-1, -1}, {100, 120, 700, 607}},
        {"NormPos=abc,20,x,$200\r\n", {-1, -1}, {-1, -1}, {50, 20, 550, 512}},
        {"NormPos=\"1,2,3,4\"\r\n", {-1, -1}, {-1, -1}, {1, 2, 3, 4}},
        {"MinMaxPos=5\r\n", {5, 0}, {0, 0}, {50, 60, 550, 607}},
        {"MinMaxPos=1 2\t3,4,99\r\nNormPos=0x10,0,600,400\r\n", {1, 2}, {3, 4}, {16, 0, 600, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        WriteSection(c.keys);
        FakeWindow fresh;
        TFormPlacement fresh_store(fresh);
        fresh_store.SetIniFileName(file);
        fresh_store.SetIniSection("F_Main");
        fresh_store.FormShow();
        ASSERT_EQ(fresh.applied.size(), 2u);
        EXPECT_EQ(fresh.applied[0].min_position, c.min_position);
        EXPECT_EQ(fresh.applied[0].max_position, c.max_position);
        EXPECT_EQ(fresh.applied[0].normal_rect, c.normal_rect);
    }
}

TEST_F(PlacementStore, AppliesNothingForAnotherVersionResolutionOrAnEmptyRectangle) {
    const char* sections[] = {
        "FormVersion=-1\r\nNormPos=100,40,600,587\r\n",
        "PixelsPerInch=120\r\nNormPos=100,40,600,587\r\n",
        "NormPos=600,40,600,587\r\n",
        "NormPos=700,40,600,587\r\n",
        "Flags=1\r\nShowCmd=3\r\nVisible=1\r\n",
    };
    for (const char* keys : sections) {
        SCOPED_TRACE(keys);
        WriteSection(keys);
        FakeWindow fresh;
        TFormPlacement fresh_store(fresh);
        fresh_store.SetIniFileName(file);
        fresh_store.SetIniSection("F_Main");
        fresh_store.FormShow();
        ASSERT_EQ(fresh.applied.size(), 1u);  // only the maximised-position adjustment
        EXPECT_EQ(fresh.applied[0].normal_rect, (PlacementRect{50, 60, 550, 607}));
        EXPECT_TRUE(fresh_store.Restored());
    }
    // The store restored nothing, yet the next save writes its own version.
    WriteSection("FormVersion=-1\r\n");
    store.FormShow();
    store.FormCloseQuery(true);
    EXPECT_EQ(ReadFile(file).rfind("[F_Main]\r\nFormVersion=0\r\nFlags=0\r\n", 0), 0u);
}

TEST_F(PlacementStore, KeepsTheSizeOfAWindowThatCannotBeResized) {
    WriteSection("NormPos=100,40,9000,9000\r\n");
    window.border = BorderStyle::kDialog;
    window.centred = true;
    store.FormShow();
    const auto placed = PlacedFromFile();
    ASSERT_EQ(placed.size(), 1u);
    EXPECT_EQ(placed[0].normal_rect, (PlacementRect{100, 40, 600, 587}));
    EXPECT_TRUE(window.switched_to_own_coordinates);
}

TEST_F(PlacementStore, PutsTheMaximisedPositionAtMinusTheFrame) {
    struct Case {
        BorderStyle border;
        PlacementPoint expected;
    };
    const Case cases[] = {
        {BorderStyle::kNone, {0, 0}},
        {BorderStyle::kSingle, {-1, -2}},
        {BorderStyle::kToolWindow, {-1, -2}},
        {BorderStyle::kSizeable, {-4, -5}},
        {BorderStyle::kSizeableToolWindow, {-4, -5}},
        {BorderStyle::kDialog, {-3, -6}},
    };
    for (const Case& c : cases) {
        window.border = c.border;
        window.visible = true;
        window.placement.show_command = kShowMaximized;
        window.applied.clear();
        store.AdjustMaxPosition();
        ASSERT_EQ(window.applied.size(), 1u);
        EXPECT_EQ(window.applied[0].max_position, c.expected);
        EXPECT_EQ(window.applied[0].show_command, kShowMaximized);
    }
}

TEST_F(PlacementStore, StoresShowCommandTwoForAMinimisedProgram) {
    store.FormShow();
    window.program_minimised = true;
    store.FormCloseQuery(true);
    EXPECT_NE(ReadFile(file).find("\r\nShowCmd=2\r\n"), std::string::npos);

    window.main_window = false;
    window.placement.show_command = kShowMaximized;
    store.FormCloseQuery(true);
    EXPECT_NE(ReadFile(file).find("\r\nShowCmd=3\r\n"), std::string::npos);
}

TEST_F(PlacementStore, StoresAtDestructionOnlyWhenNotSavedBefore) {
    store.FormDestroy();  // no load yet: nothing to store
    EXPECT_FALSE(std::filesystem::exists(file));

    store.FormShow();
    store.FormCloseQuery(false);  // closing refused
    EXPECT_FALSE(std::filesystem::exists(file));
    store.FormDestroy();
    EXPECT_NE(ReadFile(file).find("\r\nVisible=1\r\n"), std::string::npos);

    // A later load clears the saved flag again, and the flag for destruction is gone.
    store.FormShow();
    EXPECT_FALSE(store.Saved());
    store.FormCloseQuery(true);
    EXPECT_NE(ReadFile(file).find("\r\nVisible=0\r\n"), std::string::npos);
}

TEST_F(PlacementStore, ReportsAFailedWriteAtCloseAndAgainAtDestruction) {
    const std::string blocker = folder.WriteFile("blocker", "x");
    const std::string unwritable = blocker + "/_data_Pixmora/datas.ini";
    store.SetIniFileName(unwritable);
    store.FormShow();
    EXPECT_TRUE(window.errors.empty());
    store.FormCloseQuery(true);
    store.FormDestroy();
    const std::string message = "Impossible d'écrire dans " + unwritable + ".";
    EXPECT_EQ(window.errors, (std::vector<std::string>{message, message}));
    EXPECT_FALSE(store.Saved());
}

TEST_F(PlacementStore, ReportsAReadOnlyFileAndLeavesItAlone) {
    const std::string before = "[F_Main]\r\nNormPos=100,40,600,587\r\n";
    WriteSection("NormPos=100,40,600,587\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    store.FormShow();
    store.FormCloseQuery(true);
    ASSERT_EQ(window.errors.size(), 1u);
    EXPECT_EQ(ReadFile(file), before);
}

TEST_F(PlacementStore, StaysQuietWithoutASettingsFileOrWhenInactive) {
    store.SetIniFileName("");
    store.FormShow();
    store.FormCloseQuery(true);
    store.FormDestroy();
    EXPECT_TRUE(window.errors.empty());
    EXPECT_EQ(window.applied.size(), 1u);

    FakeWindow idle;
    TFormPlacement inactive(idle);
    inactive.SetActive(false);
    inactive.SetIniFileName(file);
    inactive.SetIniSection("F_Main");
    inactive.FormShow();
    inactive.FormCloseQuery(true);
    inactive.FormDestroy();
    EXPECT_TRUE(idle.applied.empty());
    EXPECT_FALSE(std::filesystem::exists(file));
}

TEST_F(PlacementStore, AddsTheKeysOfANewScreenSizeAndKeepsTheOldOnes) {
    WriteSection("FormVersion=0\r\nNormPos(800x600)=10,20,510,420\r\nNormPos=10,20,510,420\r\n");
    window.screen = {1920, 1080};
    store.FormShow();
    window.placement.normal_rect = {300, 200, 900, 800};
    store.FormCloseQuery(true);
    const std::string text = ReadFile(file);
    EXPECT_NE(text.find("NormPos(800x600)=10,20,510,420\r\n"), std::string::npos);
    EXPECT_NE(text.find("NormPos=300,200,900,800\r\n"), std::string::npos);
    EXPECT_NE(text.find("NormPos(1920x1080)=300,200,900,800\r\n"), std::string::npos);
}

}  // namespace
}  // namespace pixmora
