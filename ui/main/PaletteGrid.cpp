#include "ui/main/PaletteGrid.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "ui/preview/PictureBox.h"

namespace tintwell {

namespace {
constexpr double kGridLeft = 1920;
constexpr double kGridTop = 480;
constexpr double kCell = 255;
constexpr int kMargin = 3;  // room for the frames drawn round the outer cells
}  // namespace

PaletteGrid::PaletteGrid(const ScreenUnits& units, QWidget* parent)
    : QWidget(parent), units_(units) {
    setObjectName("lblColor");
    setMouseTracking(true);
    const QRect first = CellRect(0);
    const QRect last = CellRect(255);
    setGeometry(
        QRect(first.topLeft(), last.bottomRight()).adjusted(-kMargin, -kMargin, kMargin, kMargin));
}

QRectF PaletteGrid::CellRectTwips(int index) {
    return QRectF(kGridLeft + kCell * (index % 16), kGridTop + kCell * (index / 16), kCell, kCell);
}

QRect PaletteGrid::CellRect(int index) const {
    const QRectF t = CellRectTwips(index);
    // Edges converted one by one, so neighbouring cells share their edge exactly.
    const int left = units_.XToPixels(t.left());
    const int top = units_.YToPixels(t.top());
    const int right = units_.XToPixels(t.left() + t.width());
    const int bottom = units_.YToPixels(t.top() + t.height());
    return QRect(left, top, right - left, bottom - top);
}

int PaletteGrid::CellAt(QPoint point) const {
    const QPoint p = point + pos();
    for (int i = 0; i < 256; ++i) {
        if (CellRect(i).contains(p)) return i;
    }
    return -1;
}

void PaletteGrid::SetBackColor(int index, ColorValue color) {
    colors_[static_cast<size_t>(index)] = color & 0xFFFFFF;
    update(CellRect(index).translated(-pos()));
}

std::array<std::uint8_t, 256> PaletteGrid::Opaque() {
    std::array<std::uint8_t, 256> alphas;
    alphas.fill(255);
    return alphas;
}

void PaletteGrid::SetAlpha(int index, std::uint8_t alpha) {
    alphas_[static_cast<size_t>(index)] = alpha;
    update(CellRect(index).translated(-pos()));
}

// The colour at `alpha` over a grey and white checkerboard, in the cell's
// lower right half.
static void PaintTransparent(QPainter& p, const QRect& cell, QColor color, int alpha) {
    QPainterPath half;
    half.moveTo(cell.topRight() + QPoint(1, 0));
    half.lineTo(cell.bottomRight() + QPoint(1, 1));
    half.lineTo(cell.bottomLeft() + QPoint(0, 1));
    half.closeSubpath();
    p.save();
    p.setClipPath(half);
    const int square = std::max(2, cell.width() / 4);
    for (int y = cell.top(); y <= cell.bottom(); y += square)
        for (int x = cell.left(); x <= cell.right(); x += square)
            p.fillRect(QRect(x, y, square, square),
                       ((x - cell.left()) / square + (y - cell.top()) / square) % 2
                           ? Qt::white
                           : Qt::lightGray);
    color.setAlpha(alpha);
    p.fillRect(cell, color);
    p.restore();
}

void PaletteGrid::MoveFrame(Frame frame, const QRect& rect) {
    update(frames_[frame].translated(-pos()));
    frames_[frame] = rect;
    update(rect.translated(-pos()));
}

QColor PaletteGrid::FrameColor(Frame frame) {
    switch (frame) {
        case shpSel:
            return Qt::red;
        case shpNew:
            return Qt::blue;
        case shpOld:
            break;
    }
    return Qt::black;
}

void PaletteGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.translate(-pos());
    for (int i = 0; i < 256; ++i) {
        const ColorValue c = colors_[static_cast<size_t>(i)];
        const QColor color(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
        p.fillRect(CellRect(i), color);
        if (alphas_[static_cast<size_t>(i)] < 255)
            PaintTransparent(p, CellRect(i), color, alphas_[static_cast<size_t>(i)]);
    }
    for (Frame f : {shpOld, shpSel, shpNew}) {
        const QRect r = frames_[f];
        if (!r.isValid()) continue;
        const QColor color = FrameColor(f);
        // A 2-pixel border inside the frame's rectangle.
        p.fillRect(QRect(r.left(), r.top(), r.width(), 2), color);
        p.fillRect(QRect(r.left(), r.bottom() - 1, r.width(), 2), color);
        p.fillRect(QRect(r.left(), r.top(), 2, r.height()), color);
        p.fillRect(QRect(r.right() - 1, r.top(), 2, r.height()), color);
    }
}

void PaletteGrid::mousePressEvent(QMouseEvent* event) {
    const int i = CellAt(event->position().toPoint());
    if (i < 0) return;
    pressed_ = i;
    if (onMouseDown) onMouseDown(i, ButtonState(event->button()));
}

void PaletteGrid::mouseMoveEvent(QMouseEvent* event) {
    int i = pressed_;
    if (i < 0 || event->buttons() == Qt::NoButton) i = CellAt(event->position().toPoint());
    if (i < 0) return;
    if (onMouseMove) onMouseMove(i, ButtonState(event->buttons()));
}

void PaletteGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->buttons() == Qt::NoButton) pressed_ = -1;
}

}  // namespace tintwell
