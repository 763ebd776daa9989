#include "ui/preview/PictureBox.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "core/RecolorSpans.h"

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

void PictureBox::SetSource(const clsBitmap* bitmap) {
    bitmap_ = bitmap;
    update();
}

void PictureBox::SetColors(const Colors& base, const Colors& recolored,
                           const SelectionRect& selection, bool outside) {
    base_ = base;
    recolored_ = recolored;
    selection_ = selection;
    outside_ = outside;
    update();
}

void PictureBox::SetZoom(int zoom) {
    zoom_ = std::max(1, zoom);
    update();
}

QSize PictureBox::PictureSize() const {
    if (bitmap_ == nullptr) return {0, 0};
    return {bitmap_->Width() * zoom_, bitmap_->Height() * zoom_};
}

void PictureBox::SetOffset(QPoint offset) {
    if (offset == offset_) return;
    offset_ = offset;
    update();
}

void PictureBox::SetOutline(const QRect& outline) {
    if (outline == outline_) return;
    // Repaint only the strips of the old and the new outline.
    update(outline_.translated(-offset_).adjusted(-1, -1, 1, 1));
    outline_ = outline;
    update(outline_.translated(-offset_).adjusted(-1, -1, 1, 1));
}

int PictureBox::IndexAt(const std::uint8_t* row, int x) const {
    switch (bitmap_->BitCount()) {
        case 4:
            return (x & 1) ? (row[x >> 1] & 0x0F) : (row[x >> 1] >> 4);
        case 1:
            return (row[x >> 3] >> (7 - (x & 7))) & 1;
        default:
            return row[x];
    }
}

QRgb PictureBox::ColorAt(int x, int y) const {
    if (bitmap_ == nullptr || x < 0 || y < 0 || x >= bitmap_->Width() || y >= bitmap_->Height())
        return 0;
    const std::uint8_t* row = bitmap_->RowData(y);
    if (row == nullptr) return 0;
    const RecolorSpans spans = RecolorSpans::ForRow(selection_, outside_, bitmap_->Width(), y);
    bool inside = false;
    for (int r = 0; r < spans.count; ++r)
        inside = inside || (x >= spans.from[r] && x < spans.to[r]);
    return (inside ? recolored_ : base_)[static_cast<size_t>(IndexAt(row, x))];
}

// Columns x0 .. x1 - 1 of image row y, through the colour tables.
void PictureBox::ConvertRow(int y, int x0, int x1, QRgb* out) const {
    const std::uint8_t* row = bitmap_->RowData(y);
    if (row == nullptr) {
        std::fill(out, out + (x1 - x0), qRgb(0, 0, 0));
        return;
    }
    const RecolorSpans spans = RecolorSpans::ForRow(selection_, outside_, bitmap_->Width(), y);
    const bool eightBit = bitmap_->BitCount() == 8;
    int x = x0;
    auto run = [&](int to, const Colors& table) {
        to = std::clamp(to, x, x1);
        if (eightBit) {
            for (; x < to; ++x)
                out[x - x0] = table[row[x]];
        } else {
            for (; x < to; ++x)
                out[x - x0] = table[static_cast<size_t>(IndexAt(row, x))];
        }
    };
    for (int r = 0; r < spans.count; ++r) {
        run(static_cast<int>(spans.from[r]), base_);
        run(static_cast<int>(spans.to[r]), recolored_);
    }
    run(x1, base_);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QRect exposed = event->rect();
    p.fillRect(exposed, palette().window());
    const QRect shown = exposed.translated(offset_) & QRect(QPoint(0, 0), PictureSize());
    if (!shown.isEmpty()) {
        // The image pixels under the exposed part, at zoom 1, drawn zoom x zoom each.
        const int z = zoom_;
        const int x0 = shown.left() / z, x1 = shown.right() / z + 1;
        const int y0 = shown.top() / z, y1 = shown.bottom() / z + 1;
        const QSize need(x1 - x0, y1 - y0);
        if (scratch_.width() < need.width() || scratch_.height() < need.height())
            scratch_ = QImage(need.expandedTo(scratch_.size()), QImage::Format_RGB32);
        for (int y = y0; y < y1; ++y)
            ConvertRow(y, x0, x1, reinterpret_cast<QRgb*>(scratch_.scanLine(y - y0)));
        const QRect target(QPoint(x0 * z, y0 * z) - offset_, need * z);
        p.drawImage(target, scratch_, QRect(QPoint(0, 0), need));
    }
    if (outline_.isValid()) {
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(outline_.translated(-offset_).adjusted(0, 0, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (onMouseDown)
        onMouseDown(index_, ButtonState(event->button()), event->position().toPoint() + offset_);
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    if (onMouseMove)
        onMouseMove(index_, ButtonState(event->buttons()), event->position().toPoint() + offset_);
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    if (onMouseUp)
        onMouseUp(index_, ButtonState(event->button()), event->position().toPoint() + offset_);
}

}  // namespace tintwell
