#pragma once

#include <QObject>
#include <QSize>
#include <QWidget>
#include <optional>

#include "settings/IPlacementWindow.h"
#include "ui/toolkit/ScreenUnits.h"

namespace tintwell {

// A top-level QWidget as the placement procedures see it: its outer rectangle
// (frame included) in twips and its show state. Before the first show the
// window manager's frame is not known: the window is placed by its frame's
// corner at once, and its size is settled when the frame becomes known (a
// stored size is the outer one; the designed size is the inner one). Then, and
// whenever asked, the title bar is brought onto the screen's available area.
class QtPlacementWindow : public QObject, public IPlacementWindow {
    Q_OBJECT
  public:
    // Made when `window` has its designed (inner) size.
    explicit QtPlacementWindow(QWidget& window);

    TwipsRect OuterRect() const override;
    WindowState State() const override;
    void Move(double left, double top, double width, double height) override;
    void SetState(WindowState state) override;

    // Moves the window so that its whole title bar lies on the available screen
    // area: now when the frame is known, else as soon as it is.
    void KeepTitleBarOnScreen();
    // Puts the frame's corner at `topLeft`, also over a placement restored before
    // the window manager framed the window.
    void MoveFrame(QPoint topLeft);
    // From now on the whole window, not only its title bar, is kept on the
    // available area when it fits there.
    void SetKeepWhole(bool on) { keepWhole_ = on; }
    // Nothing is left to do once the frame is known.
    bool Settled() const { return !wanted_.isValid() && !wantedPlace_ && !checkScreen_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ScreenUnits Units() const;
    QSize FrameExtra() const;
    bool FrameKnown() const;
    void Settle();
    void PullTitleBarOnScreen();

    QWidget& window_;
    QSize designed_;
    QSize wanted_;                       // the size to settle once the frame is known
    std::optional<QPoint> wantedPlace_;  // the frame's corner, likewise
    bool wantedIsOuter_ = false;
    bool checkScreen_ = false;  // the title bar still needs the check
    bool keepWhole_ = false;
};

}  // namespace tintwell
