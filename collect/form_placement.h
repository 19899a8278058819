// The placement store: writes the main window's position and size into the settings file
// when the window closes and puts the window back there when it is shown.
#pragma once

#include <cstdint>
#include <string>

#include "collect/placement_window_view.h"

namespace pixmora {

// Keys of the store's section, in the order a save writes them: FormVersion, Flags,
// ShowCmd, PixelsPerInch, MinMaxPos(WxH), MinMaxPos, NormPos(WxH), NormPos, Visible, where
// (WxH) is the primary screen's size at the time. Only the position and size are restored,
// never the window state. The store's reads never add missing keys.
class TFormPlacement {
public:
    explicit TFormPlacement(PlacementWindowView& window) : window_(window) {}

    void SetActive(bool active) { active_ = active; }
    void SetVersion(int32_t version) { version_ = version; }
    void SetIniFileName(std::string file) { ini_file_name_ = std::move(file); }
    void SetIniSection(std::string section) { ini_section_ = std::move(section); }
    const std::string& IniFileName() const { return ini_file_name_; }

    // The window's events, called by the window before (show: after) its own handlers.
    void FormShow();
    void FormCloseQuery(bool can_close);
    void FormDestroy();

    // Reads the section and places the window, then AdjustMaxPosition. Failures are
    // reported through the window's error box and then ignored.
    void LoadPlacement();
    // Writes the section, once a load has run. A failed write is reported ("Impossible
    // d'écrire dans <file>.") and leaves the saved flag clear. With no settings file name
    // there is nothing to write to and nothing is reported.
    void StorePlacement();
    // Sets the maximised position to minus the frame thickness of the window's border.
    void AdjustMaxPosition();

    bool Restored() const { return restored_; }
    bool Saved() const { return saved_; }

private:
    std::string ResolutionSuffix() const;
    void PlaceFromFile();
    void WriteSection();
    void Report(const std::string& message);

    PlacementWindowView& window_;
    bool active_ = true;
    int32_t version_ = 0;
    std::string ini_file_name_;
    std::string ini_section_;
    bool restored_ = false;
    bool saved_ = false;
    bool destroying_ = false;
};

}  // namespace pixmora
