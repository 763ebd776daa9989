#include "ui/preview/PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace tintwell {

int ButtonState(Qt::MouseButtons buttons) {
    int state = 0;
    if (buttons & Qt::LeftButton) state += 1;
    if (buttons & Qt::RightButton) state += 2;
    if (buttons & Qt::MiddleButton) state += 4;
    return state;
}

PictureBox::PictureBox(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetPicture(const QImage& picture) {
    picture_ = picture;
    update();
}

void PictureBox::SetZoom(int zoom) {
    zoom_ = zoom < 1 ? 1 : zoom;
    update();
}

void PictureBox::SetOutline(const QRect& outline) {
    if (outline == outline_) return;
    // Repaint only the strips of the old and the new outline.
    update(outline_.adjusted(-1, -1, 1, 1));
    outline_ = outline;
    update(outline_.adjusted(-1, -1, 1, 1));
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect exposed = event->rect();
    p.fillRect(exposed, palette().window());
    if (!picture_.isNull()) {
        // The image pixels under the exposed part, drawn zoom x zoom each.
        const int z = zoom_;
        const int x0 = exposed.left() / z;
        const int y0 = exposed.top() / z;
        const int x1 = std::min(picture_.width(), exposed.right() / z + 1);
        const int y1 = std::min(picture_.height(), exposed.bottom() / z + 1);
        if (x1 > x0 && y1 > y0) {
            const QRect source(x0, y0, x1 - x0, y1 - y0);
            const QRect target(x0 * z, y0 * z, source.width() * z, source.height() * z);
            p.drawImage(target, picture_, source);
        }
    }
    if (outline_.isValid()) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(outline_.adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown) onMouseDown(index_, ButtonState(event->button()), event->position().toPoint());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove)
        onMouseMove(index_, ButtonState(event->buttons()), event->position().toPoint());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseUp) onMouseUp(index_, ButtonState(event->button()), event->position().toPoint());
}

}  // namespace tintwell
