// A window's placement record: its state and the positions it takes when minimised,
// maximised and restored, in screen coordinates.
#pragma once

#include <cstdint>

namespace pixmora {

struct PlacementPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const PlacementPoint& other) const { return x == other.x && y == other.y; }
};

// Left, top, right, bottom; right and bottom lie just outside the rectangle.
struct PlacementRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool operator==(const PlacementRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// Show commands of the record.
inline constexpr int32_t kShowHide = 0;
inline constexpr int32_t kShowNormal = 1;
inline constexpr int32_t kShowMinimized = 2;
inline constexpr int32_t kShowMaximized = 3;

struct WindowPlacement {
    int32_t flags = 0;
    int32_t show_command = kShowNormal;
    PlacementPoint min_position{-1, -1};  // -1,-1 when unknown
    PlacementPoint max_position{-1, -1};
    PlacementRect normal_rect;  // the outer frame of the restored window
    bool operator==(const WindowPlacement& other) const {
        return flags == other.flags && show_command == other.show_command &&
               min_position == other.min_position && max_position == other.max_position &&
               normal_rect == other.normal_rect;
    }
};

enum class BorderStyle { kNone, kSingle, kSizeable, kDialog, kToolWindow, kSizeableToolWindow };

// The frame thicknesses a border style is measured with.
enum class FrameMetric { kBorder, kSizingFrame, kDialogFrame };

struct ScreenSize {
    int32_t width = 0;
    int32_t height = 0;
};

}  // namespace pixmora
