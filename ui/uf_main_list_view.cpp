// The list box, its header and the drop hint as the list rebuild fills them, and the
// settings boxes as the settings load and save read and set them.
#include "ui/browse_edit.h"
#include "ui/image_list_box.h"
#include "ui/mask_edit.h"
#include "ui/native_text.h"
#include "ui/panel_fill.h"
#include "ui/radio_button.h"
#include "ui/uf_main.h"

namespace pixmora {

void TF_Main::ClearItems() { LBX_File->Clear(); }
void TF_Main::AddItem(const std::string& text) { LBX_File->AddItem(FromNative(text)); }
int TF_Main::ItemCount() const { return LBX_File->ItemCount(); }
void TF_Main::SelectItem(int index) { LBX_File->SetItemIndex(index); }
void TF_Main::SetHeaderText(const std::string& text) {
    PNL_Liste_Entete->SetCaption(FromNative(text));
}
void TF_Main::SetDropHintVisible(bool visible) { PNL_Liste->setVisible(visible); }
// The rebuild previews its first line as a click does, but keeps the preview's failure.
void TF_Main::ListClicked() { RequestPreview(false); }

void TF_Main::SetRatioText(const std::string& text) {
    EDT_Ratio->SetText(QString::fromStdString(text));
}
int32_t TF_Main::RatioValue() const { return EDT_Ratio->AsInteger(); }
void TF_Main::SetSourceFolderSelected(bool selected) { RDB_Source_Folder->SetChecked(selected); }
void TF_Main::SetFixFolderSelected(bool selected) { RDB_Fix_Folder->SetChecked(selected); }
bool TF_Main::IsFixFolderSelected() const { return RDB_Fix_Folder->Checked(); }
std::string TF_Main::DestFolderText() const { return ToNative(DED_Dest_Folder->Path()); }
void TF_Main::SetDestFolderText(const std::string& text) {
    DED_Dest_Folder->SetPath(FromNative(text));
}
std::string TF_Main::SourceFolderText() const { return ToNative(DED_Dir_Source->Path()); }

}  // namespace pixmora
