#pragma once

namespace tintwell {

// Show state of a top-level window, numbered as stored in "WindowState".
enum class WindowState { Normal = 0, Minimized = 1, Maximized = 2 };

// A window's outer rectangle in screen twips.
struct TwipsRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// What the placement procedures need from a top-level window. The windows adapt
// their toolkit (frame geometry, minimized / maximized) to it.
class IPlacementWindow {
  public:
    virtual ~IPlacementWindow() = default;
    // Outer rectangle (frame included) in twips; while maximized or minimized,
    // whatever the toolkit reports (it is not stored then).
    virtual TwipsRect OuterRect() const = 0;
    virtual WindowState State() const = 0;
    // Moves and sizes the outer rectangle in one call.
    virtual void Move(double left, double top, double width, double height) = 0;
    virtual void SetState(WindowState state) = 0;
};

}  // namespace tintwell
