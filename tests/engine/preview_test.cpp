// The preview's rules: what a request gives (the picture for the box, the six figures, the
// temporary file, the failure to report), and how a result is shown.
#include "engine/run/preview.h"

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <sys/resource.h>

#include "engine/codec/jpeg_errors.h"
#include "engine/codec/jpeg_image.h"
#include "engine/codec/picture_kind.h"
#include "engine/text/number_text.h"
#include "support/jpeg_maker.h"
#include "support/temp_folder.h"

namespace pixmora {
namespace {

namespace fs = std::filesystem;

const std::vector<std::string> kResetLabels = {
    "Width : ", "Height : ", "Size : ", "Width : ", "Height : ", "Size : "};

// Bitmaps as the window's reader gives them: a small grey picture, or a refusal.
class FakeBitmaps : public BitmapLoader {
public:
    bool refuses = false;

    TPixelBuffer Load(const std::string&, int32_t, int32_t) const override {
        if (refuses) throw EInvalidGraphic("Image bitmap incorrecte");
        TPixelBuffer picture;
        picture.SetSize(4, 3);
        for (int32_t y = 0; y < 3; ++y) std::memset(picture.Row(y), 128, 12);
        return picture;
    }
};

// The window as the result is shown on it, in the order of the calls.
class RecordingPreview : public PreviewView {
public:
    std::vector<std::string> calls;

    void ShowPreviewPicture(const TPixelBuffer& picture, int32_t width, int32_t height) override {
        calls.push_back("picture " + std::to_string(picture.Width()) + "x" +
                        std::to_string(picture.Height()) + " as " + std::to_string(width) + "x" +
                        std::to_string(height));
    }
    void SetMeasureText(MeasureLabel, const std::string& text) override { calls.push_back(text); }
};

std::vector<std::string> Measures(const PreviewResult& result) {
    return std::vector<std::string>(result.measures.begin(), result.measures.end());
}

// The text of the result's failure, "" when it has none.
std::string FailureText(const PreviewResult& result) {
    if (!result.failure) return "";
    try {
        std::rethrow_exception(result.failure);
    } catch (const std::exception& failure) {
        return failure.what();
    }
}

uint64_t PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<uint64_t>(usage.ru_maxrss) * 1024;
}

class PreviewTest : public ::testing::Test {
protected:
    PreviewTest() { fs::create_directory(data_dir_); }

    PreviewRequest Request(const std::string& path, int32_t ratio = 50) const {
        PreviewRequest request;
        request.full_name = path;
        request.ratio = ratio;
        request.data_dir = data_dir_;
        request.box_width = 254;
        request.box_height = 142;
        return request;
    }
    std::string Jpeg(const std::string& relative, int width, int height) {
        return temp_.WriteFile(relative, test::MakeJpeg(test::Options(width, height)));
    }
    std::string Temporary() const { return data_dir_ + "jpg_tmp.jpg"; }

    test::TempFolder temp_;
    std::string data_dir_ = temp_.Slash() + "data/";
    FakeBitmaps bitmaps_;
};

TEST_F(PreviewTest, MeasuresBeforeAndAfterWithTheTemporaryFile) {
    const std::string photo = Jpeg("p/photo.JPG", 400, 300);
    const PreviewResult result = MakePreview(Request(photo), bitmaps_);
    EXPECT_EQ(FailureText(result), "");
    EXPECT_FALSE(result.abandoned);
    ASSERT_TRUE(fs::exists(Temporary()));
    EXPECT_EQ(Measures(result),
              (std::vector<std::string>{"Width : 400", "Height : 300", SizeText(photo),
                                        "Width : 200", "Height : 150", SizeText(Temporary())}));
    TJPEGImage written;
    written.LoadFromFile(Temporary());
    EXPECT_EQ(written.Width(), 200);
    // The box (254 x 142) shows the photo at 189 x 142: the half-size decode covers it.
    EXPECT_EQ(result.picture.Width(), 200);
    EXPECT_EQ(result.picture.Height(), 150);
    EXPECT_EQ(result.picture_width, 400);
    EXPECT_EQ(result.picture_height, 300);
    // No output folder is touched.
    EXPECT_FALSE(fs::exists(temp_.Slash() + "p/p"));
}

TEST_F(PreviewTest, LoadFailuresComeBackWithTheirOwnTextsAndNoPicture) {
    const struct {
        std::string path;
        std::string text;
    } cases[] = {
        {temp_.WriteFile("p/notes.txt", "text"), "Extension de fichier image inconnue (.txt)"},
        {temp_.WriteFile("p/drawing.WMF", "text"), "Extension de fichier image inconnue (.WMF)"},
        {temp_.WriteFile("p/notes.jpg", "text"), "Erreur JPEG #53"},
        {temp_.WriteFile("p/empty.jpeg", ""), "Erreur JPEG #42"},
        {temp_.Slash() + "p/missing.jpg", std::string("Impossible d'ouvrir le fichier \"") +
                                              temp_.Slash() + "p/missing.jpg\". " +
                                              std::strerror(ENOENT)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const PreviewResult result = MakePreview(Request(c.path), bitmaps_);
        EXPECT_EQ(FailureText(result), c.text);
        EXPECT_TRUE(result.picture.Empty());
        EXPECT_EQ(Measures(result), kResetLabels);
        EXPECT_FALSE(fs::exists(Temporary()));
    }
}

TEST_F(PreviewTest, ABitmapIsShownButFailsAsAJpegFile) {
    const std::string bitmap = temp_.WriteFile("p/red.BMP", "BM not really");
    PreviewResult result = MakePreview(Request(bitmap), bitmaps_);
    EXPECT_EQ(FailureText(result), "Erreur JPEG #53");
    EXPECT_EQ(result.picture.Width(), 4);
    EXPECT_EQ(Measures(result), kResetLabels);

    // A file the bitmap reader refuses shows nothing.
    bitmaps_.refuses = true;
    result = MakePreview(Request(temp_.WriteFile("p/icon.ico", "x")), bitmaps_);
    EXPECT_EQ(FailureText(result), "Image bitmap incorrecte");
    EXPECT_TRUE(result.picture.Empty());
}

TEST_F(PreviewTest, ResizeAndSaveFailuresAreSilent) {
    const std::string photo = Jpeg("p/a.jpg", 40, 30);
    temp_.WriteFile("data/jpg_tmp.jpg", "previous");
    for (int32_t ratio : {0, -50}) {
        SCOPED_TRACE(ratio);
        const PreviewResult result = MakePreview(Request(photo, ratio), bitmaps_);
        EXPECT_EQ(FailureText(result), "");
        EXPECT_FALSE(result.picture.Empty());
        EXPECT_EQ(result.measures[0], "Width : 40");
        EXPECT_EQ(result.measures[3], "Width : ");
        EXPECT_EQ(result.measures[5], "Size : ");
        EXPECT_EQ(test::ReadFile(Temporary()), "previous");
    }

    // A missing data folder: the after labels stay blank and nothing lands elsewhere.
    PreviewRequest request = Request(photo);
    request.data_dir = temp_.Slash() + "missing/";
    EXPECT_EQ(MakePreview(request, bitmaps_).measures[3], "Width : ");
    request.data_dir = "";
    const fs::path before = fs::current_path();
    fs::current_path(temp_.Path());
    const PreviewResult result = MakePreview(request, bitmaps_);
    fs::current_path(before);
    EXPECT_FALSE(fs::exists(temp_.Slash() + "jpg_tmp.jpg"));
    EXPECT_EQ(result.measures[3], "Width : ");
    EXPECT_EQ(result.measures[0], "Width : 40");
}

// Damaged files of some 600 bytes whose progressive header claims 49157 x 27397 pixels:
// their coefficients alone would take 4 GB. Huffman-coded, the file is refused at load as
// too short for its picture; arithmetic-coded (which might hold it), the preview's budget
// refuses the coefficients before anything large is allocated. Either failure is the
// showing's.
TEST_F(PreviewTest, AHugeDamagedHeaderFailsWithinThePreviewsBudget) {
    for (const bool arithmetic : {false, true}) {
        SCOPED_TRACE(arithmetic ? "arithmetic" : "huffman");
        test::JpegOptions options = test::Progressive(test::Options(16, 16));
        options.arithmetic = arithmetic;
        const std::string bytes = test::WithFrameSize(test::MakeJpeg(options), 49157, 27397);
        ASSERT_LT(bytes.size(), 1000u);
        const std::string damaged = temp_.WriteFile("p/damaged.jpg", bytes);
        const uint64_t peak_before = PeakResidentBytes();
        const PreviewResult result = MakePreview(Request(damaged), bitmaps_);
        EXPECT_LT(PeakResidentBytes() - peak_before, uint64_t{64} << 20);
        EXPECT_EQ(FailureText(result), arithmetic
                                           ? std::string(EOutOfMemory().what())
                                           : std::to_string(bytes.size()) +
                                                 " bytes cannot hold a 49157 x 27397 picture");
        EXPECT_TRUE(result.picture.Empty());
        EXPECT_EQ(Measures(result), kResetLabels);
        EXPECT_FALSE(fs::exists(Temporary()));
    }
}

TEST_F(PreviewTest, ASupersededPreviewStopsWithoutWritingTheTemporaryFile) {
    const std::string photo = Jpeg("p/a.jpg", 40, 30);
    temp_.WriteFile("data/jpg_tmp.jpg", "previous");
    // Superseded at the first, second... question: abandoned every time before the save.
    for (int asked_before = 0; asked_before < 2; ++asked_before) {
        SCOPED_TRACE(asked_before);
        int asked = 0;
        const PreviewResult result =
            MakePreview(Request(photo), bitmaps_, [&] { return asked++ >= asked_before; });
        EXPECT_TRUE(result.abandoned);
        EXPECT_EQ(test::ReadFile(Temporary()), "previous");
    }
    const PreviewResult result = MakePreview(Request(photo), bitmaps_, [] { return false; });
    EXPECT_FALSE(result.abandoned);
    EXPECT_NE(test::ReadFile(Temporary()), "previous");
}

TEST_F(PreviewTest, ShowingSetsThePictureAndTheSixFiguresBeforeReportingTheFailure) {
    RecordingPreview view;
    ShowPreview(BlankPreview(), view);
    std::vector<std::string> blank = {"picture 0x0 as 0x0"};
    blank.insert(blank.end(), kResetLabels.begin(), kResetLabels.end());
    EXPECT_EQ(view.calls, blank);

    view.calls.clear();
    const PreviewResult bitmap = MakePreview(Request(temp_.WriteFile("p/a.bmp", "x")), bitmaps_);
    EXPECT_THROW(ShowPreview(bitmap, view), EJPEG);
    ASSERT_EQ(view.calls.size(), 7u);
    EXPECT_EQ(view.calls[0], "picture 4x3 as 4x3");
}

}  // namespace
}  // namespace pixmora
