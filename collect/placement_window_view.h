// What the placement store needs of its window and of the screen.
#pragma once

#include <string>

#include "collect/window_placement.h"

namespace pixmora {

class PlacementWindowView {
public:
    virtual ~PlacementWindowView() = default;

    virtual WindowPlacement GetPlacement() const = 0;
    virtual void SetPlacement(const WindowPlacement& placement) = 0;

    virtual bool IsVisible() const = 0;
    // Whether this is the program's main window, and whether the program is minimised.
    virtual bool IsMainWindow() const = 0;
    virtual bool IsProgramMinimised() const = 0;
    virtual BorderStyle Border() const = 0;
    // The window's current outer rectangle (left, top, left + width, top + height).
    virtual PlacementRect Bounds() const = 0;
    // Whether the window is placed by centring it on the screen or the desktop; and the
    // switch to placing it by its own coordinates.
    virtual bool IsPlacedByCentring() const = 0;
    virtual void PlaceByOwnCoordinates() = 0;

    virtual ScreenSize PrimaryScreenSize() const = 0;
    virtual int32_t PixelsPerInch() const = 0;
    // Horizontal and vertical thickness of the given frame, in pixels.
    virtual PlacementPoint FrameSize(FrameMetric metric) const = 0;

    virtual void Repaint() = 0;
    // The program's standard error box (error icon, program title), showing `text` as given.
    virtual void ShowError(const std::string& text) = 0;
};

}  // namespace pixmora
