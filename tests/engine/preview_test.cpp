// The preview of the selected file, watched through a recording view.
#include "engine/run/preview.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_image.h"
#include "engine/text/number_text.h"
#include "engine/codec/picture_kind.h"
#include "recording_view.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;

class PreviewTest : public ::testing::Test {
protected:
    void List(const std::string& path) {
        TListe_File entry;
        entry.FullName = path;
        DeriveEntryNames(entry);
        files_.push_back(entry);
        view_.selected = 0;
    }
    std::string Jpeg(const std::string& relative, int width, int height) {
        test::JpegOptions options;
        options.width = width;
        options.height = height;
        return temp_.WriteFile(relative, test::MakeJpeg(options));
    }
    std::vector<std::string> Measures() const {
        return std::vector<std::string>(std::begin(view_.measures), std::end(view_.measures));
    }

    test::TempFolder temp_;
    std::string data_dir_ = temp_.Slash() + "data/";
    std::vector<TListe_File> files_;
    test::RecordingView view_{files_};
};

const std::vector<std::string> kResetLabels = {
    "Width : ", "Height : ", "Size : ", "Width : ", "Height : ", "Size : "};

TEST_F(PreviewTest, MeasuresBeforeAndAfterWithTheTemporaryFile) {
    fs::create_directory(data_dir_);
    const std::string photo = Jpeg("p/photo.JPG", 400, 300);
    List(photo);
    PreviewFile(files_, view_, data_dir_);
    const std::string temporary = data_dir_ + "jpg_tmp.jpg";
    ASSERT_TRUE(fs::exists(temporary));
    EXPECT_EQ(Measures(),
              (std::vector<std::string>{"Width : 400", "Height : 300", SizeText(photo),
                                        "Width : 200", "Height : 150", SizeText(temporary)}));
    EXPECT_EQ(view_.calls[0], "clear picture");
    TJPEGImage written;
    written.LoadFromFile(temporary);
    EXPECT_EQ(written.Width(), 200);
    // No output folder is touched.
    EXPECT_FALSE(fs::exists(temp_.Slash() + "p/p"));
}

TEST_F(PreviewTest, NothingSelectedOnlyBlanksThePreview) {
    List(Jpeg("p/a.jpg", 20, 20));
    for (int32_t selected : {-1, 1}) {
        view_.selected = selected;
        view_.calls.clear();
        PreviewFile(files_, view_, data_dir_);
        EXPECT_EQ(Measures(), kResetLabels);
        EXPECT_EQ(view_.calls.size(), 7u);  // the picture cleared and six labels reset
    }
}

TEST_F(PreviewTest, LoadFailuresReachTheCallerWithTheirOwnTexts) {
    List(temp_.WriteFile("p/notes.txt", "text"));
    try {
        PreviewFile(files_, view_, data_dir_);
        FAIL() << "no failure";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Extension de fichier image inconnue (.txt)");
    }
    EXPECT_EQ(Measures(), kResetLabels);

    files_.clear();
    List(temp_.WriteFile("p/notes.jpg", "text"));
    try {
        PreviewFile(files_, view_, data_dir_);
        FAIL() << "no failure";
    } catch (const EJPEG& e) {
        EXPECT_STREQ(e.what(), "Erreur JPEG #53");
    }
    EXPECT_EQ(Measures(), kResetLabels);
}

TEST_F(PreviewTest, ResizeAndSaveFailuresAreSilent) {
    fs::create_directory(data_dir_);
    const std::string photo = Jpeg("p/a.jpg", 40, 30);
    List(photo);
    const std::string temporary = temp_.WriteFile("data/jpg_tmp.jpg", "previous");
    for (int32_t ratio : {0, -50}) {
        view_.ratio = ratio;
        PreviewFile(files_, view_, data_dir_);
        EXPECT_EQ(view_.measures[0], "Width : 40");
        EXPECT_EQ(view_.measures[3], "Width : ");
        EXPECT_EQ(view_.measures[5], "Size : ");
        EXPECT_EQ(test::ReadFile(temporary), "previous");
    }

    // A missing data folder: the after labels stay blank and nothing lands elsewhere.
    view_.ratio = 50;
    PreviewFile(files_, view_, temp_.Slash() + "missing/");
    EXPECT_EQ(view_.measures[3], "Width : ");
    const fs::path before = fs::current_path();
    fs::current_path(temp_.Path());
    PreviewFile(files_, view_, "");
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(temp_.Slash() + "jpg_tmp.jpg"));
    EXPECT_EQ(view_.measures[3], "Width : ");
}

}  // namespace
}  // namespace pixmora
