// The main window's placement as the placement store reads and sets it: Qt's geometry in
// place of the desktop's placement record.
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "collect/placement_on_screen.h"
#include "ui/failure_box.h"
#include "ui/uf_main.h"

namespace pixmora {

namespace {

PlacementRect ToPlacement(const QRect& rect) {
    return {rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height()};
}

QRect ToQt(const PlacementRect& rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}

// The frame the window manager draws around the client area; none before it is framed.
// Asked of the native window each time: the widget keeps the first answer it got.
QMargins FrameMargins(const QWidget& window) {
    const QWindow* native = window.windowHandle();
    if (!native) return QMargins();
    const QMargins margins = native->frameMargins();
    if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0)
        return QMargins();
    return margins;
}

// The window's outer rectangle, frame included.
QRect OuterRect(const QWidget& window, const QRect& client) {
    return client.marginsAdded(FrameMargins(window));
}

}  // namespace

WindowPlacement TF_Main::GetPlacement() const {
    WindowPlacement placement;
    if (isMinimized()) {
        placement.show_command = kShowMinimized;
    } else if (isMaximized()) {
        placement.show_command = kShowMaximized;
    }
    placement.max_position = max_position_;
    const QRect normal = OuterRect(
        *this, (isMinimized() || isMaximized()) && normalGeometry().isValid() ? normalGeometry()
                                                                              : geometry());
    placement.normal_rect = ToPlacement(normal);
    return placement;
}

void TF_Main::SetPlacement(const WindowPlacement& placement) {
    max_position_ = placement.max_position;
    std::vector<PlacementRect> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.push_back(ToPlacement(screen->availableGeometry()));
    const PlacementRect wanted = ToPlacement(ToQt(placement.normal_rect));
    placed_frame_ = BringOntoScreens(wanted, screens);
    placement_pending_ = true;
    SettlePlacement();
}

void TF_Main::SettlePlacement() {
    if (!placement_pending_) return;
    const QMargins margins = FrameMargins(*this);
    setGeometry(ToQt(placed_frame_).marginsRemoved(margins));
    // Until the window manager has framed the window its frame is unknown: the placement
    // is applied again once it is (first activation, or shortly after showing).
    placement_pending_ = margins.isNull();
}

bool TF_Main::IsVisible() const { return isVisible(); }
bool TF_Main::IsMainWindow() const { return true; }
bool TF_Main::IsProgramMinimised() const { return isMinimized(); }
BorderStyle TF_Main::Border() const { return BorderStyle::kSizeable; }
PlacementRect TF_Main::Bounds() const { return ToPlacement(OuterRect(*this, geometry())); }
bool TF_Main::IsPlacedByCentring() const { return false; }
void TF_Main::PlaceByOwnCoordinates() {}

ScreenSize TF_Main::PrimaryScreenSize() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {};
    return {screen->size().width(), screen->size().height()};
}

int32_t TF_Main::PixelsPerInch() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInch()) : 96;
}

PlacementPoint TF_Main::FrameSize(FrameMetric metric) const {
    switch (metric) {
        case FrameMetric::kSizingFrame: {
            const QMargins margins = FrameMargins(*this);
            return {margins.left(), margins.bottom()};
        }
        case FrameMetric::kBorder:
            return {1, 1};
        case FrameMetric::kDialogFrame:
            return {3, 3};
    }
    return {0, 0};
}

void TF_Main::Repaint() {
    if (isVisible()) repaint();
}

void TF_Main::ShowError(const std::string& text) { ShowErrorBox(this, text); }

}  // namespace pixmora
