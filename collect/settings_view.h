// What the settings load and save need of the main window: the ratio box, the two
// destination radio buttons, the two folder boxes and two of the window's handlers.
#pragma once

#include <cstdint>
#include <string>

namespace pixmora {

class SettingsView {
public:
    virtual ~SettingsView() = default;

    // EDT_Ratio: its text, and its integer value (0 when empty or not a number).
    virtual void SetRatioText(const std::string& text) = 0;
    virtual int32_t RatioValue() const = 0;

    // RDB_Source_Folder and RDB_Fix_Folder: selected state.
    virtual void SetSourceFolderSelected(bool selected) = 0;
    virtual void SetFixFolderSelected(bool selected) = 0;
    virtual bool IsFixFolderSelected() const = 0;

    // DED_Dest_Folder (the fixed destination folder) and DED_Dir_Source (the source folder).
    virtual std::string DestFolderText() const = 0;
    virtual void SetDestFolderText(const std::string& text) = 0;
    virtual std::string SourceFolderText() const = 0;

    // The destination rule: DED_Dest_Folder enabled exactly when RDB_Fix_Folder is selected.
    virtual void RDB_Source_FolderClick() = 0;
    // Appends the source folder's pictures to the list and rebuilds it.
    virtual void DED_Dir_SourceBrowse() = 0;
};

}  // namespace pixmora
