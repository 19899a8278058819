// What the batch run shows on the main window and reads from it.
#include <QApplication>
#include <QImage>

#include "collect/file_list.h"
#include "engine/codec/jpeg_image.h"
#include "engine/run/batch_run.h"
#include "engine/text/number_text.h"
#include "ui/browse_edit.h"
#include "ui/failure_box.h"
#include "ui/image.h"
#include "ui/image_list_box.h"
#include "ui/label.h"
#include "ui/mask_edit.h"
#include "ui/native_text.h"
#include "ui/panel_fill.h"
#include "ui/pixel_image.h"
#include "ui/progress_fill.h"
#include "ui/radio_button.h"
#include "ui/speed_button.h"
#include "ui/uf_main.h"

namespace pixmora {

void TF_Main::SetStartEnabled(bool enabled) { BTN_Start->setEnabled(enabled); }
void TF_Main::SetStopEnabled(bool enabled) { BTN_Stop->setEnabled(enabled); }

void TF_Main::RefreshFileList() { pixmora::RefreshFileList(Files, *this); }

void TF_Main::SelectLine(int32_t index) { LBX_File->SetItemIndex(index); }

void TF_Main::SetLineText(int32_t index, const std::string& text) {
    LBX_File->ReplaceItem(index, FromNative(text));
}

int32_t TF_Main::SelectedLine() const { return LBX_File->ItemIndex(); }

void TF_Main::ClearPicture() { IMG_Source->Clear(); }

bool TF_Main::StartFile(int32_t index, TListe_File& entry, FileSettings& settings) {
    // Clear list or a rebuild may have shortened the list: the run ends at its end.
    if (index < 0 || static_cast<std::size_t>(index) >= Files.size()) return false;
    entry = Files[static_cast<std::size_t>(index)];
    settings.ratio = RatioInteger();
    settings.fixed_folder_mode = FixedFolderMode();
    settings.fixed_folder = FixedFolder();
    settings.box_width = IMG_Source->width();
    settings.box_height = IMG_Source->height();
    return true;
}

void TF_Main::FileDone(int32_t index, const TListe_File& entry, const FileResult& result,
                       int32_t processed) {
    // The line still shows the file done: the list may have been rebuilt meanwhile.
    const bool listed = static_cast<std::size_t>(index) < Files.size() &&
                        Files[static_cast<std::size_t>(index)].FullName == entry.FullName;
    if (listed) SelectLine(index);
    if (result.measured) {
        IMG_Source->SetPicture(ImageOf(result.shown).copy());
        SetMeasureText(MeasureLabel::Width, "Width : " + FormatIntText(result.source_width));
        SetMeasureText(MeasureLabel::Height, "Height : " + FormatIntText(result.source_height));
        SetMeasureText(MeasureLabel::Size, SizeText(entry.FullName));
    }
    if (result.outcome == FileOutcome::LoadFailed) {
        // The run ends here; the progress keeps its last values.
        ShowFailureMessage(kFileErrorPrefix + entry.FullName);
        return;
    }
    if (result.outcome == FileOutcome::Saved) {
        if (listed) SetLineText(index, entry.FullName + "|1");
    } else {
        ShowFailureMessage(kFileErrorPrefix + entry.FullName);
    }
    SetMeasureText(MeasureLabel::WidthNew, "Width : " + FormatIntText(result.target_width));
    SetMeasureText(MeasureLabel::HeightNew, "Height : " + FormatIntText(result.target_height));
    SetMeasureText(MeasureLabel::SizeNew, SizeText(result.output));
    SetProgressValue(processed);
    SetStatusCaption(ProcessingText(processed, Run.FileCount));
}

void TF_Main::SetMeasureText(MeasureLabel label, const std::string& text) {
    TLabel* target = nullptr;
    switch (label) {
        case MeasureLabel::Width:
            target = LBL_Width;
            break;
        case MeasureLabel::Height:
            target = LBL_Height;
            break;
        case MeasureLabel::Size:
            target = LBL_Size;
            break;
        case MeasureLabel::WidthNew:
            target = LBL_Width_New;
            break;
        case MeasureLabel::HeightNew:
            target = LBL_Height_New;
            break;
        case MeasureLabel::SizeNew:
            target = LBL_Size_New;
            break;
    }
    target->SetCaption(QString::fromStdString(text));
}

void TF_Main::SetStatusCaption(const std::string& text) {
    PNL_Process->SetCaption(QString::fromStdString(text));
}

void TF_Main::SetProgressMax(int32_t max) { PGB_Progression->SetMaxValue(max); }
void TF_Main::SetProgressValue(int32_t value) { PGB_Progression->SetUserValue(value); }
void TF_Main::RepaintProgress() { PGB_Progression->Refresh(); }

void TF_Main::ShowFailureMessage(const std::string& text) { ShowErrorBox(this, text); }

int32_t TF_Main::RatioInteger() const { return EDT_Ratio->AsInteger(); }
bool TF_Main::FixedFolderMode() const { return RDB_Fix_Folder->Checked(); }
std::string TF_Main::FixedFolder() const { return ToNative(DED_Dest_Folder->Path()); }

}  // namespace pixmora
