#pragma once

#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

#include "settings/IPlacementWindow.h"
#include "ui/toolkit/ScreenUnits.h"

namespace tintwell {

// A top-level QWidget as the placement procedures see it: its outer rectangle
// (frame included) in twips and its show state. Before the first show the frame
// is not known yet, so a size restored then is corrected by the frame once the
// window is on screen (the stored size is the outer one).
class QtPlacementWindow : public QObject, public IPlacementWindow {
    Q_OBJECT
  public:
    explicit QtPlacementWindow(QWidget& window);

    TwipsRect OuterRect() const override;
    WindowState State() const override;
    void Move(double left, double top, double width, double height) override;
    void SetState(WindowState state) override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ScreenUnits Units() const;
    QSize FrameExtra() const;
    void CorrectForFrame();

    QWidget& window_;
    QSize pendingOuter_;  // outer size restored before the frame was known
    QSize sizeAtMove_;    // the inner size that restore left
};

}  // namespace tintwell
