// The main window's list and preview: drops from a file manager on the list and on the drop
// hint, Clear list, and the preview a click on a line shows.
#include <filesystem>
#include <string>
#include <vector>

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QToolButton>

#include "engine/codec/jpeg_image.h"
#include "engine/text/number_text.h"
#include "tests/ui/qt_printing.h"
#include "tests/ui/window_harness.h"
#include "ui/browse_edit.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/panel_fill.h"
#include "ui/radio_button.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"

namespace pixmora {
namespace {

using test::ReadFile;
using test::WindowTest;
using test::WritePhoto;

const std::vector<std::string> kResetLabels = {
    "Width : ", "Height : ", "Size : ", "Width : ", "Height : ", "Size : "};

class ListAndPreview : public WindowTest {
protected:
    void SetUp() override {
        ShowEmpty();
        QObject::connect(window->LBX_File->model(), &QAbstractItemModel::modelReset, Hooks(),
                         [this] { ++rebuilds; });
    }

    std::vector<std::string> FullNames() const {
        std::vector<std::string> names;
        for (const TListe_File& entry : window->Files) names.push_back(entry.FullName);
        return names;
    }

    std::string Header() const { return window->PNL_Liste_Entete->Caption().toStdString(); }
    std::string Temporary() const { return home.DataDir() + "jpg_tmp.jpg"; }

    // Drops `path` alone with the ratio box showing `ratio` and clicks its line.
    void DropAndClick(const std::string& path, const char* ratio) {
        window->EDT_Ratio->SetText(ratio);
        Drop({path});
        ClickLine(0);
    }

    int rebuilds = 0;
};

TEST_F(ListAndPreview, DroppedFilesAreListedInTheDropsOrderOneRebuildPerDrop) {
    const std::string a = WritePhoto(photos, "a.jpg", 64, 48);
    const std::string b = WritePhoto(photos, "plage d'été.jpg", 80, 60);
    const std::string notes = photos.WriteFile("notes.txt", "not a picture");
    ASSERT_TRUE(window->PNL_Liste->isVisible());

    // On the drop hint: any kind of file is listed as it is, once the drop has been answered.
    EXPECT_TRUE(test::DropPaths(window->PNL_Liste, {b, notes, a}));
    EXPECT_EQ(rebuilds, 0);
    QCoreApplication::processEvents();
    WaitForPreview();
    EXPECT_EQ(rebuilds, 1);
    EXPECT_EQ(ItemTexts(), (std::vector<std::string>{b + "|0", notes + "|0", a + "|0"}));
    EXPECT_EQ(Header(), "List of JPEG files : 3 files found");
    EXPECT_TRUE(window->PNL_Liste->isHidden());
    // The first line is chosen and previewed.
    EXPECT_EQ(window->LBX_File->ItemIndex(), 0);
    EXPECT_EQ(window->LBL_Width->text(), "Width : 80");

    // On the list: the same file twice is listed twice.
    Drop({a, a});
    EXPECT_EQ(rebuilds, 2);
    EXPECT_EQ(FullNames(), (std::vector<std::string>{b, notes, a, a, a}));
    EXPECT_EQ(Header(), "List of JPEG files : 5 files found");
    EXPECT_TRUE(boxes.ErrorTexts().empty());

    // Choosing lines with the keyboard previews them as a click does.
    QTest::keyClick(window->LBX_File, Qt::Key_Down);
    WaitForPreview();
    EXPECT_EQ(boxes.ErrorTexts(),
              std::vector<std::string>{"Extension de fichier image inconnue (.txt)"});
    QTest::keyClick(window->LBX_File, Qt::Key_Down);
    WaitForPreview();
    EXPECT_EQ(window->LBX_File->ItemIndex(), 2);
    EXPECT_EQ(window->LBL_Width->text(), "Width : 64");
}

TEST_F(ListAndPreview, ADroppedFolderGivesItsOwnAndItsSubFoldersPhotosOnly) {
    const std::string top = WritePhoto(photos, "vacances d'été/top.jpg", 16, 16);
    photos.WriteFile("vacances d'été/notes.txt", "x");
    const std::string one = WritePhoto(photos, "vacances d'été/trip/one.jpg", 16, 16);
    WritePhoto(photos, "vacances d'été/trip/deep/two.jpg", 16, 16);
    std::filesystem::create_directories(photos.Path() / "empty");

    Drop({photos.Slash() + "vacances d'été"});
    EXPECT_EQ(FullNames(), (std::vector<std::string>{top, one}));
    EXPECT_EQ(Header(), "List of JPEG files : 2 files found");

    // An empty folder adds nothing and the list is still rebuilt.
    Drop({photos.Slash() + "empty"});
    EXPECT_EQ(rebuilds, 2);
    EXPECT_EQ(FullNames(), (std::vector<std::string>{top, one}));
}

TEST_F(ListAndPreview, DropsAreBuiltAfterTheyAreAnsweredInTheirOrder) {
    const std::string a = WritePhoto(photos, "a.jpg", 16, 16);
    const std::string b = WritePhoto(photos, "b.jpg", 16, 16);
    EXPECT_TRUE(test::DropPaths(window->LBX_File->viewport(), {a}));
    EXPECT_TRUE(test::DropPaths(window->PNL_Liste, {b, a}));
    EXPECT_TRUE(window->Files.empty());
    EXPECT_EQ(rebuilds, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(FullNames(), (std::vector<std::string>{a, b, a}));
    EXPECT_EQ(rebuilds, 2);
}

TEST_F(ListAndPreview, LongNamesAreTakenWholeAndMissingOnesSkippedQuietly) {
    const std::string base = photos.Slash();
    const std::string folders = base + std::string(120, 'd') + "/" + std::string(120, 'e') + "/";
    const std::string long_path = folders + std::string(300 - folders.size() - 4, 'f') + ".jpg";
    ASSERT_EQ(long_path.size(), 300u);
    WritePhoto(photos, long_path.substr(base.size()), 16, 16);
    const std::string a = WritePhoto(photos, "a.jpg", 16, 16);

    Drop({long_path, photos.Slash() + "missing.jpg", a});
    EXPECT_EQ(FullNames(), (std::vector<std::string>{long_path, a}));
    EXPECT_EQ(rebuilds, 1);

    Drop({photos.Slash() + "missing"});
    EXPECT_EQ(rebuilds, 2);
    // A drag that carries no file at all is refused and changes nothing.
    EXPECT_FALSE(test::DropPaths(window->LBX_File->viewport(), {}));
    QCoreApplication::processEvents();
    EXPECT_EQ(rebuilds, 2);
    EXPECT_EQ(Header(), "List of JPEG files : 2 files found");
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(ListAndPreview, NamesTheSystemRefusesAreNamedInOneErrorBox) {
    const std::string a = WritePhoto(photos, "a.jpg", 16, 16);
    const std::string too_long = photos.Slash() + std::string(300, 'n') + ".jpg";
    const std::string loop = photos.Slash() + "loop";
    std::filesystem::create_symlink(loop, loop);
    std::vector<std::string> listed_while_shown;
    boxes.WhileShown([&] { listed_while_shown = ItemTexts(); });

    Drop({too_long, a, loop + "/b.jpg"});
    EXPECT_EQ(
        boxes.ErrorTexts(),
        std::vector<std::string>{"These dropped names were refused by the system and left out :\n" +
                                 too_long.substr(0, 40) + "\u2026" + std::string(55, 'n') +
                                 ".jpg : File name too long\n" + loop +
                                 "/b.jpg : Too many levels of symbolic links"});
    // The other names are listed, before the box comes up.
    EXPECT_EQ(listed_while_shown, std::vector<std::string>{a + "|0"});
    EXPECT_EQ(FullNames(), std::vector<std::string>{a});
}

TEST_F(ListAndPreview, TheFixedFolderBrowseChoosesThatFolderAndNothingElse) {
    const std::string source = WritePhoto(photos, "source/a.jpg", 16, 16);
    window->DED_Dir_Source->SetPath(QString::fromStdString(photos.Slash() + "source"));
    window->RDB_Fix_Folder->SetChecked(true);
    QString answer;
    window->DED_Dest_Folder->SetFolderPicker(
        [&answer](QWidget*, const QString&) { return answer; });
    window->DED_Dir_Source->SetFolderPicker([](QWidget*, const QString&) { return QString(); });

    answer = QString::fromStdString(photos.Slash() + "small/");
    QTest::mouseClick(window->DED_Dest_Folder->BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(window->DED_Dest_Folder->Path().toStdString(), photos.Slash() + "small");
    answer.clear();  // cancelled
    QTest::mouseClick(window->DED_Dest_Folder->BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(window->DED_Dest_Folder->Path().toStdString(), photos.Slash() + "small");
    EXPECT_TRUE(window->Files.empty());
    EXPECT_EQ(rebuilds, 0);

    // The source folder's browse, even cancelled, adds that folder's photos.
    QTest::mouseClick(window->DED_Dir_Source->BrowseButton(), Qt::LeftButton);
    EXPECT_EQ(FullNames(), std::vector<std::string>{source});
    EXPECT_EQ(window->DED_Dest_Folder->Path().toStdString(), photos.Slash() + "small");
}

TEST_F(ListAndPreview, ClearListEmptiesTheListAndBlanksThePreview) {
    const std::string a = WritePhoto(photos, "a.jpg", 64, 48);
    Drop({a, a});
    ASSERT_FALSE(window->IMG_Source->Picture().isNull());
    const std::string preview = ReadFile(Temporary());
    ASSERT_FALSE(preview.empty());

    QTest::mouseClick(window->BTN_Clear_Liste, Qt::LeftButton);
    EXPECT_TRUE(window->Files.empty());
    EXPECT_EQ(window->LBX_File->ItemCount(), 0);
    EXPECT_EQ(window->LBX_File->ItemIndex(), -1);
    EXPECT_EQ(Header(), "List of JPEG files : 0 files found");
    EXPECT_FALSE(window->PNL_Liste->isHidden());
    EXPECT_TRUE(window->IMG_Source->Picture().isNull());
    EXPECT_EQ(Labels(), kResetLabels);
    // No file is touched.
    EXPECT_EQ(ReadFile(Temporary()), preview);
    EXPECT_TRUE(std::filesystem::exists(a));
}

TEST_F(ListAndPreview, ALargePhotoAtHalfSize) {
    const std::string big = WritePhoto(photos, "big.jpg", 4000, 3000);
    window->EDT_Ratio->SetText("50");
    // The drop's rebuild previews its first line through the list's click handler.
    Drop({big});
    EXPECT_EQ(Labels(),
              (std::vector<std::string>{"Width : 4000", "Height : 3000", SizeText(big),
                                        "Width : 2000", "Height : 1500", SizeText(Temporary())}));
    TJPEGImage written;
    written.LoadFromFile(Temporary());
    EXPECT_EQ(written.Width(), 2000);
    EXPECT_EQ(written.Height(), 1500);
    // The box gets no more pixels than it paints, proportions kept.
    const QSize box = window->IMG_Source->size();
    EXPECT_EQ(window->IMG_Source->Picture().size(),
              FitPicture(4000, 3000, box.width(), box.height()).size());
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(ListAndPreview, RatioZeroMeasuresThePhotoButMakesNoCopy) {
    const std::string a = WritePhoto(photos, "a.jpg", 64, 48);
    const std::string b = WritePhoto(photos, "b.jpg", 80, 60);
    Drop({b});
    const std::string previous = ReadFile(Temporary());
    ASSERT_FALSE(previous.empty());
    QTest::mouseClick(window->BTN_Clear_Liste, Qt::LeftButton);
    // A picture of no pixels is not written: the after figures stay blank and the
    // previous temporary file stays as it was.
    DropAndClick(a, "0");
    EXPECT_EQ(Labels(), (std::vector<std::string>{"Width : 64", "Height : 48", SizeText(a),
                                                  "Width : ", "Height : ", "Size : "}));
    EXPECT_EQ(ReadFile(Temporary()), previous);
    EXPECT_FALSE(window->IMG_Source->Picture().isNull());
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(ListAndPreview, AnUpperCaseExtensionIsAJpegPhotoToo) {
    const std::string photo = WritePhoto(photos, "PHOTO.JPG", 64, 48);
    DropAndClick(photo, "50");
    EXPECT_EQ(Labels(),
              (std::vector<std::string>{"Width : 64", "Height : 48", SizeText(photo), "Width : 32",
                                        "Height : 24", SizeText(Temporary())}));
    EXPECT_FALSE(window->IMG_Source->Picture().isNull());
    EXPECT_TRUE(boxes.ErrorTexts().empty());
}

TEST_F(ListAndPreview, ABitmapIsShownAndItsJpegFailureBoxed) {
    QImage red(40, 30, QImage::Format_RGB32);
    red.fill(Qt::red);
    const std::string bitmap = photos.Slash() + "red.bmp";
    ASSERT_TRUE(red.save(QString::fromStdString(bitmap)));
    DropAndClick(bitmap, "50");
    // A failure leaving the click handler: error icon, the application's title, and a full
    // stop after a text ending in a digit.
    EXPECT_EQ(boxes.ErrorTexts(), std::vector<std::string>{"Erreur JPEG #53."});
    ASSERT_FALSE(window->IMG_Source->Picture().isNull());
    EXPECT_EQ(window->IMG_Source->Picture().pixelColor(20, 15), QColor(Qt::red));
    EXPECT_EQ(Labels(), kResetLabels);
}

TEST_F(ListAndPreview, AFileOfAnUnknownKindShowsTheFailureBox) {
    const std::string notes = photos.WriteFile("notes.txt", "not a picture");
    window->EDT_Ratio->SetText("50");
    Drop({notes});
    // The rebuild's own preview keeps its failure; the click on the line shows it.
    ASSERT_TRUE(boxes.ErrorTexts().empty());
    ClickLine(0);
    // No full stop after a closing parenthesis: its code is below that of the full stop.
    EXPECT_EQ(boxes.ErrorTexts(),
              std::vector<std::string>{"Extension de fichier image inconnue (.txt)"});
    EXPECT_TRUE(window->IMG_Source->Picture().isNull());
    EXPECT_EQ(Labels(), kResetLabels);
    // The program carries on.
    ClickLine(0);
    EXPECT_EQ(boxes.ErrorTexts().size(), 2u);
}

}  // namespace
}  // namespace pixmora
