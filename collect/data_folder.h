// The per-user data folder that holds the settings file and the preview's temporary file.
#pragma once

#include <string>

namespace pixmora {

// The two environment variables the data folder comes from ("" when unset).
struct DataFolderEnvironment {
    std::string xdg_data_home;
    std::string home;

    static DataFolderEnvironment FromProcess();
};

// $XDG_DATA_HOME when it is an absolute path, else $HOME/.local/share when $HOME is one,
// followed by "/_data_Pixmora/"; "" when neither gives an absolute path.
std::string DataDirFor(const DataFolderEnvironment& environment);

// DataDirFor, with the folder and its missing parents created. Whether the creation worked
// is not looked at: a folder that cannot be made shows up later as settings that cannot be
// written.
std::string SetUpDataDir(const DataFolderEnvironment& environment);

// DataDir + "datas.ini", or "" (no settings file) when there is no data folder.
std::string SettingsFilePath(const std::string& data_dir);

}  // namespace pixmora
