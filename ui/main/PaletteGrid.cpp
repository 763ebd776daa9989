#include "ui/main/PaletteGrid.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPolygon>
#include <QToolTip>

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
    setFocusPolicy(Qt::StrongFocus);
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

bool PaletteGrid::HasMark(int index) const {
    return map_ != nullptr && (*map_)[static_cast<std::uint8_t>(index)] != index;
}

void PaletteGrid::SetCounts(std::vector<std::int64_t> counts) {
    counts_ = std::move(counts);
    update();
}

bool PaletteGrid::IsDimmed(int index) const {
    return static_cast<size_t>(index) < counts_.size() && counts_[static_cast<size_t>(index)] == 0;
}

QString PaletteGrid::ToolTipText(int index) const {
    QString text = QString::number(index);
    if (HasMark(index))
        text += QString::fromUtf8(" \u2192 ") +
                QString::number((*map_)[static_cast<std::uint8_t>(index)]);
    if (static_cast<size_t>(index) < counts_.size()) {
        const std::int64_t n = counts_[static_cast<size_t>(index)];
        const QString count = QLocale().toString(static_cast<qlonglong>(n));
        text += "\n" + (n == 1 ? tr("%1 pixel") : tr("%1 pixels")).arg(count);
    }
    return text;
}

namespace {
bool IsLight(ColorValue c) {
    return (c & 0xFF) * 299 + ((c >> 8) & 0xFF) * 587 + ((c >> 16) & 0xFF) * 114 > 128000;
}
QColor ToQColor(ColorValue c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}
}  // namespace

// A small triangle in the cell's top right corner, in black or white, whichever
// stands out from the cell's colour.
void PaletteGrid::PaintMark(QPainter& p, const QRect& cell, ColorValue color) const {
    const int side = std::max(4, cell.width() * 2 / 5);
    const QPoint corner = cell.topLeft() + QPoint(cell.width(), 0);
    p.setPen(Qt::NoPen);
    p.setBrush(IsLight(color) ? Qt::black : Qt::white);
    p.drawPolygon(QPolygon({corner, corner - QPoint(side, 0), corner + QPoint(0, side)}));
}

// A dotted frame inside the focused cell, black under white, seen on any colour.
void PaletteGrid::PaintFocus(QPainter& p) const {
    const QRect r = CellRect(focusCell_).adjusted(1, 1, -2, -2);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(r);
    p.setPen(QPen(Qt::white, 1, Qt::DotLine));
    p.drawRect(r);
}

void PaletteGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.translate(-pos());
    QColor dim = palette().window().color();
    dim.setAlpha(190);
    for (int i = 0; i < 256; ++i) {
        const ColorValue c = colors_[static_cast<size_t>(i)];
        const QRect cell = CellRect(i);
        p.fillRect(cell, ToQColor(c));
        if (alphas_[static_cast<size_t>(i)] < 255)
            PaintTransparent(p, cell, ToQColor(c), alphas_[static_cast<size_t>(i)]);
        if (IsDimmed(i)) p.fillRect(cell, dim);
        if (HasMark(i)) PaintMark(p, cell, c);
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
    if (hasFocus()) PaintFocus(p);
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

void PaletteGrid::keyPressEvent(QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int row = focusCell_ / 16, column = focusCell_ % 16;
    int next = -1;
    switch (event->key()) {
        case Qt::Key_Left:
            next = row * 16 + std::max(0, column - 1);
            break;
        case Qt::Key_Right:
            next = row * 16 + std::min(15, column + 1);
            break;
        case Qt::Key_Up:
            next = std::max(0, row - 1) * 16 + column;
            break;
        case Qt::Key_Down:
            next = std::min(15, row + 1) * 16 + column;
            break;
        case Qt::Key_Space:
            if (onMouseDown) onMouseDown(focusCell_, 1);
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (onMouseDown) onMouseDown(focusCell_, 2);
            return;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    update(CellRect(focusCell_).translated(-pos()));
    focusCell_ = next;
    update(CellRect(focusCell_).translated(-pos()));
    if (onMouseMove) onMouseMove(focusCell_, 0);
}

void PaletteGrid::focusInEvent(QFocusEvent* event) {
    update(CellRect(focusCell_).translated(-pos()));
    QWidget::focusInEvent(event);
}

void PaletteGrid::focusOutEvent(QFocusEvent* event) {
    update(CellRect(focusCell_).translated(-pos()));
    QWidget::focusOutEvent(event);
}

bool PaletteGrid::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int i = CellAt(help->pos());
    if (i < 0) {
        QToolTip::hideText();
        return true;
    }
    QToolTip::showText(help->globalPos(), ToolTipText(i), this, CellRect(i).translated(-pos()));
    return true;
}

}  // namespace tintwell
