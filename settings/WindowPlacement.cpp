#include "settings/WindowPlacement.h"

#include <cmath>
#include <cstdint>

namespace tintwell {
namespace {

// A coordinate as a whole number ("2880", never "1e+05"), rounded half to even.
std::string CoordinateText(double twips) {
    if (std::isnan(twips)) return "0";
    return std::to_string(static_cast<std::int64_t>(std::nearbyint(twips)));
}

}  // namespace

WindowState WindowStateFromNumber(int value) {
    switch (value) {
        case 1:
            return WindowState::Minimized;
        case 2:
            return WindowState::Maximized;
        default:
            return WindowState::Normal;
    }
}

void SaveWindowPlacement(clsINI& settings, const IPlacementWindow& window,
                         const std::string& section) {
    switch (window.State()) {
        case WindowState::Minimized:
            return;  // keeps what an earlier run stored
        case WindowState::Maximized:
            settings.WriteValue(section, "WindowState", "2");
            return;
        case WindowState::Normal: {
            const TwipsRect r = window.OuterRect();
            settings.WriteValue(section, "Left", CoordinateText(r.left));
            settings.WriteValue(section, "Top", CoordinateText(r.top));
            settings.WriteValue(section, "Width", CoordinateText(r.width));
            settings.WriteValue(section, "Height", CoordinateText(r.height));
            settings.WriteValue(section, "WindowState", "0");
            return;
        }
    }
}

void RestoreWindowPlacement(const clsINI& settings, IPlacementWindow& window,
                            const std::string& section) {
    const TwipsRect current = window.OuterRect();
    // The current (designed) size as the whole number the defaults need.
    const auto currentWidth = static_cast<std::int32_t>(std::nearbyint(current.width));
    const auto currentHeight = static_cast<std::int32_t>(std::nearbyint(current.height));
    std::int32_t left = settings.ReadLong(section, "Left", 0);
    std::int32_t top = settings.ReadLong(section, "Top", 0);
    std::int32_t width = settings.ReadLong(section, "Width", currentWidth);
    std::int32_t height = settings.ReadLong(section, "Height", currentHeight);
    if (left < 0) left = 0;
    if (top < 0) top = 0;
    // A stored size can make the window larger than designed, never smaller.
    if (currentWidth > width) width = currentWidth;
    if (currentHeight > height) height = currentHeight;
    window.Move(left, top, width, height);
    window.SetState(WindowStateFromNumber(settings.ReadLong(section, "WindowState", 0)));
}

}  // namespace tintwell
