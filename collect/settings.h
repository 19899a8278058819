// Moving the remembered settings between the settings file and the main window.
#pragma once

#include <string>

#include "collect/settings_view.h"

namespace pixmora {

// File to window, at the window's first activation: ratio (100 stored and shown when the
// stored one is missing or not positive), destination mode, fixed folder, then the
// destination rule and the scan of the source folder. Failures are dropped; the steps
// already done stand.
void LoadSettings(const std::string& settings_file, SettingsView& view);

// Window to file, when the window closes. Failures are dropped.
void SaveSettings(const std::string& settings_file, SettingsView& view);

}  // namespace pixmora
