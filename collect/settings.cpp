// The settings kept between runs: ratio, destination mode, fixed folder, source folder.
#include "collect/settings.h"

#include "collect/settings_file.h"

namespace pixmora {

void LoadSettings(const std::string& settings_file, SettingsView& view) {
    try {
        if (IniReadInteger(settings_file, "integer", "ratio") <= 0)
            IniWriteInteger(settings_file, "integer", "ratio", 100);
        view.SetRatioText(std::to_string(IniReadInteger(settings_file, "integer", "ratio")));
        view.SetSourceFolderSelected(IniReadInteger(settings_file, "integer", "folder") != 1);
        view.SetFixFolderSelected(IniReadInteger(settings_file, "integer", "folder") == 1);
        view.SetDestFolderText(IniReadString(settings_file, "string", "folder_dest"));
        view.RDB_Source_FolderClick();
        view.DED_Dir_SourceBrowse();
    } catch (...) {
        // A window that cannot take a value keeps its start-up state; nothing to report.
    }
}

void SaveSettings(const std::string& settings_file, SettingsView& view) {
    try {
        IniWriteString(settings_file, "string", "folder", view.SourceFolderText());
        IniWriteInteger(settings_file, "integer", "ratio", view.RatioValue());
        IniWriteInteger(settings_file, "integer", "folder", view.IsFixFolderSelected() ? 1 : 0);
        IniWriteString(settings_file, "string", "folder_dest", view.DestFolderText());
    } catch (...) {
        // Closing goes on whatever happens to the settings.
    }
}

}  // namespace pixmora
