#pragma once

#include <QObject>

#include "shell/HoverTarget.h"

namespace tintwell {

// Hover tracking for links: while the pointer is over a link, that link holds
// the mouse capture so it keeps receiving moves and notices when the pointer
// leaves. One hover at a time is tracked for all links of a window tree; the
// main window owns the tracker (see For).
class clsMouseOver : public QObject {
    Q_OBJECT
  public:
    explicit clsMouseOver(QObject* parent = nullptr);

    // The tracker owned by `owner`'s top-level window, created on first use;
    // null for a null owner.
    static clsMouseOver* For(QWidget* owner);

    // True while some control holds the capture because the pointer is over it.
    bool MouseOverActive() const { return mouseOverActive_; }

    // Captures the mouse for `control` and marks a hover as active.
    void SetMouseOver(const HoverTarget& control);
    // Releases a capture taken by SetMouseOver; the flag itself stays as it is.
    void ReleaseMouseOver();
    // True when the pointer at x, y has left `control` (edges count as inside);
    // then the capture is released and no hover is active. False while no hover
    // is active, whatever the position.
    bool MouseLeft(const HoverTarget& control, float x, float y);

  private:
    bool mouseOverActive_ = false;
};

}  // namespace tintwell
