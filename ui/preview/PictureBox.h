#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

namespace tintwell {

// A picture control that stretches its picture to its own size: paints only
// the exposed part of the widget, each image pixel as a zoom x zoom square
// (nearest neighbour, never smoothed, never a pre-scaled copy of the image).
// It can draw the white selection outline over the picture. Mouse events are
// reported with the control's index, the buttons (1 left, 2 right, 4 middle,
// added together) and the point in widget pixels.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    PictureBox(int index, QWidget* parent);

    int Index() const { return index_; }
    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return picture_; }
    // Whole-number zoom: widget pixels per image pixel along each axis.
    void SetZoom(int zoom);
    int Zoom() const { return zoom_; }
    // The outline in widget pixels; an empty rectangle draws none.
    void SetOutline(const QRect& outline);
    QRect Outline() const { return outline_; }

    std::function<void(int index, int button, QPoint point)> onMouseDown;
    std::function<void(int index, int buttons, QPoint point)> onMouseMove;
    std::function<void(int index, int button, QPoint point)> onMouseUp;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    int index_;
    int zoom_ = 1;
    QImage picture_;
    QRect outline_;
};

// 1 left, 2 right, 4 middle, added together: the buttons as the handlers count them.
int ButtonState(Qt::MouseButtons buttons);

}  // namespace tintwell
