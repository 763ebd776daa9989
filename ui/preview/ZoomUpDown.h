#pragma once

#include <QAbstractSlider>

class QStyleOptionSpinBox;

namespace tintwell {

// An up/down control drawn as the style's spin-box buttons: the upper button,
// the Up key and the wheel turned away from the user raise the value; the
// lower button, Down and the wheel turned towards the user lower it. Which
// button is upper is the style's own spin-box layout, so the direction holds
// under every style.
class ZoomUpDown : public QAbstractSlider {
    Q_OBJECT
  public:
    explicit ZoomUpDown(QWidget* parent);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void InitOption(QStyleOptionSpinBox& option) const;
    int pressed_ = 0;  // the style's sub-control held down, or 0
    int wheel_ = 0;    // the wheel's turn not yet made a step
};

}  // namespace tintwell
