// Saving and restoring the main window's placement in its section of the settings file.
#include "collect/form_placement.h"

#include <cstdio>
#include <stdexcept>
#include <vector>

#include "collect/ini_file.h"
#include "collect/ini_file_lock.h"
#include "collect/profile_integer.h"
#include "engine/text/failure_text.h"

namespace pixmora {
namespace {

class WriteFailure : public std::runtime_error {
public:
    explicit WriteFailure(const std::string& file)
        : std::runtime_error("Impossible d'écrire dans " + file) {}
};

// Words separated by runs of "," and blanks.
std::vector<std::string_view> Words(std::string_view text) {
    std::vector<std::string_view> words;
    constexpr std::string_view kSeparators = ", \t";
    size_t pos = text.find_first_not_of(kSeparators);
    while (pos != std::string_view::npos) {
        const size_t end = text.find_first_of(kSeparators, pos);
        words.push_back(text.substr(pos, end == std::string_view::npos ? end : end - pos));
        pos = text.find_first_not_of(kSeparators, end);
    }
    return words;
}

int32_t WordOr(const std::vector<std::string_view>& words, size_t index, int32_t fallback) {
    return index < words.size() ? ProfileIntegerOr(words[index], fallback) : fallback;
}

std::string FourNumbers(int32_t a, int32_t b, int32_t c, int32_t d) {
    char text[64];
    std::snprintf(text, sizeof text, "%d,%d,%d,%d", a, b, c, d);
    return text;
}

// Reads of the store, which never add a missing key.
class SectionReader {
public:
    SectionReader(const std::string& file, const std::string& section)
        : ini_(IniFile::Load(file).value_or(IniFile())), section_(section) {}

    std::string String(std::string_view key) const {
        return ini_.Value(section_, key).value_or(std::string());
    }
    int32_t Integer(std::string_view key, int32_t fallback) const {
        const auto value = ini_.Value(section_, key);
        return value ? ProfileIntegerOr(*value, fallback) : fallback;
    }
    // The key for this screen size, else the plain key.
    std::string ForScreen(const std::string& key, const std::string& suffix) const {
        std::string text = String(key + suffix);
        return text.empty() ? String(key) : text;
    }

private:
    IniFile ini_;
    std::string section_;
};

}  // namespace

void TFormPlacement::FormShow() {
    if (active_) LoadPlacement();
}

void TFormPlacement::FormCloseQuery(bool can_close) {
    if (can_close && active_) StorePlacement();
}

void TFormPlacement::FormDestroy() {
    if (!active_ || saved_) return;
    destroying_ = true;
    StorePlacement();
    destroying_ = false;
}

std::string TFormPlacement::ResolutionSuffix() const {
    const ScreenSize screen = window_.PrimaryScreenSize();
    return "(" + std::to_string(screen.width) + "x" + std::to_string(screen.height) + ")";
}

void TFormPlacement::Report(const std::string& message) {
    window_.ShowError(WithFinalStop(message));
}

void TFormPlacement::LoadPlacement() {
    try {
        saved_ = false;
        PlaceFromFile();
        restored_ = true;
        AdjustMaxPosition();
    } catch (const std::exception& failure) {
        restored_ = true;
        Report(failure.what());
    }
}

void TFormPlacement::PlaceFromFile() {
    const SectionReader reader(ini_file_name_, ini_section_);
    if (reader.Integer("FormVersion", 0) < version_) return;

    WindowPlacement placement = window_.GetPlacement();
    if (!window_.IsVisible()) placement.show_command = kShowHide;
    placement.flags = reader.Integer("Flags", placement.flags);

    const std::string suffix = ResolutionSuffix();
    bool found = false;
    const std::string min_max = reader.ForScreen("MinMaxPos", suffix);
    if (!min_max.empty()) {
        found = true;
        const auto words = Words(min_max);
        placement.min_position = {WordOr(words, 0, 0), WordOr(words, 1, 0)};
        placement.max_position = {WordOr(words, 2, 0), WordOr(words, 3, 0)};
    }
    const std::string normal = reader.ForScreen("NormPos", suffix);
    if (!normal.empty()) {
        found = true;
        const auto words = Words(normal);
        const PlacementRect bounds = window_.Bounds();
        placement.normal_rect = {WordOr(words, 0, bounds.left), WordOr(words, 1, bounds.top),
                                 WordOr(words, 2, bounds.right), WordOr(words, 3, bounds.bottom)};
    }

    const int32_t pixels_per_inch = window_.PixelsPerInch();
    if (found && reader.Integer("PixelsPerInch", pixels_per_inch) == pixels_per_inch) {
        const BorderStyle border = window_.Border();
        if (border != BorderStyle::kSizeable && border != BorderStyle::kSizeableToolWindow) {
            // A window of fixed size keeps its size; only its position comes from the file.
            const PlacementRect bounds = window_.Bounds();
            PlacementRect& rect = placement.normal_rect;
            rect.right = rect.left + bounds.Width();
            rect.bottom = rect.top + bounds.Height();
        }
        if (placement.normal_rect.left < placement.normal_rect.right) {
            if (window_.IsPlacedByCentring()) window_.PlaceByOwnCoordinates();
            window_.SetPlacement(placement);
        }
    }
    window_.Repaint();
}

void TFormPlacement::AdjustMaxPosition() {
    WindowPlacement placement = window_.GetPlacement();
    if (!window_.IsVisible()) placement.show_command = kShowHide;
    PlacementPoint frame{0, 0};
    switch (window_.Border()) {
        case BorderStyle::kNone:
            break;
        case BorderStyle::kSingle:
        case BorderStyle::kToolWindow:
            frame = window_.FrameSize(FrameMetric::kBorder);
            break;
        case BorderStyle::kSizeable:
        case BorderStyle::kSizeableToolWindow:
            frame = window_.FrameSize(FrameMetric::kSizingFrame);
            break;
        case BorderStyle::kDialog:
            frame = window_.FrameSize(FrameMetric::kDialogFrame);
            break;
    }
    placement.max_position = {-frame.x, -frame.y};
    window_.SetPlacement(placement);
}

void TFormPlacement::StorePlacement() {
    if (!restored_ || ini_file_name_.empty()) return;
    try {
        WriteSection();
        saved_ = true;
    } catch (const std::exception& failure) {
        Report(failure.what());
    }
}

void TFormPlacement::WriteSection() {
    const IniFileLock lock(ini_file_name_);
    auto ini = IniFile::Load(ini_file_name_);
    if (!ini) throw WriteFailure(ini_file_name_);
    const auto set = [&](const std::string& key, const std::string& value) {
        if (!ini->Set(ini_section_, key, value)) throw WriteFailure(ini_file_name_);
    };

    set("FormVersion", std::to_string(version_));
    WindowPlacement placement = window_.GetPlacement();
    if (window_.IsMainWindow() && window_.IsProgramMinimised())
        placement.show_command = kShowMinimized;
    set("Flags", std::to_string(placement.flags));
    set("ShowCmd", std::to_string(placement.show_command));
    set("PixelsPerInch", std::to_string(window_.PixelsPerInch()));

    const std::string suffix = ResolutionSuffix();
    const std::string min_max = FourNumbers(placement.min_position.x, placement.min_position.y,
                                            placement.max_position.x, placement.max_position.y);
    set("MinMaxPos" + suffix, min_max);
    set("MinMaxPos", min_max);
    const PlacementRect& rect = placement.normal_rect;
    const std::string normal = FourNumbers(rect.left, rect.top, rect.right, rect.bottom);
    set("NormPos" + suffix, normal);
    set("NormPos", normal);
    set("Visible", destroying_ ? "1" : "0");

    if (!ini->Save(ini_file_name_)) throw WriteFailure(ini_file_name_);
}

}  // namespace pixmora
