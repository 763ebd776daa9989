#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>

#include "bitmap/clsBitmap.h"
#include "core/SelectionRect.h"

namespace tintwell {

// A picture control that shows a palette image at a whole-number zoom through
// a window onto it: the widget is the visible part, `Offset` the scroll
// position in zoomed pixels. It paints only the exposed part, each image pixel
// as a zoom x zoom square (nearest neighbour, never smoothed), straight from
// the bitmap's indices through a colour table: no copy of the image is made,
// and a new colour table (a changed map) costs a repaint of what is visible.
// The recoloured table applies within the recolour spans of the selection.
// It can draw the white selection outline over the picture. Mouse events are
// reported with the control's index, the buttons (1 left, 2 right, 4 middle,
// added together) and the point in the zoomed picture's pixels.
class PictureBox : public QWidget {
    Q_OBJECT
  public:
    using Colors = std::array<QRgb, 256>;

    PictureBox(int index, QWidget* parent);

    int Index() const { return index_; }
    // The bitmap shown (null: none); it must outlive its showing. 1-, 4- and
    // 8-bit bitmaps only.
    void SetSource(const clsBitmap* bitmap);
    bool HasPicture() const { return bitmap_ != nullptr; }
    // `base` everywhere, `recolored` within the pixels a recolour through
    // `selection` (outside it when `outside`) changes.
    void SetColors(const Colors& base, const Colors& recolored, const SelectionRect& selection,
                   bool outside);
    // The colour shown for image pixel (x, y).
    QRgb ColorAt(int x, int y) const;
    // Whole-number zoom: widget pixels per image pixel along each axis.
    void SetZoom(int zoom);
    int Zoom() const { return zoom_; }
    // The whole picture at the zoom, in pixels.
    QSize PictureSize() const;
    // The picture's pixel shown at the widget's top left corner.
    void SetOffset(QPoint offset);
    QPoint Offset() const { return offset_; }
    // The outline in the zoomed picture's pixels; an empty rectangle draws none.
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
    int IndexAt(const std::uint8_t* row, int x) const;
    void ConvertRow(int y, int x0, int x1, QRgb* out) const;

    int index_;
    int zoom_ = 1;
    QPoint offset_;
    const clsBitmap* bitmap_ = nullptr;
    Colors base_{};
    Colors recolored_{};
    SelectionRect selection_;
    bool outside_ = false;
    QRect outline_;
    QImage scratch_;  // the visible image pixels at zoom 1, reused between paints
};

// 1 left, 2 right, 4 middle, added together: the buttons as the handlers count them.
int ButtonState(Qt::MouseButtons buttons);

}  // namespace tintwell
