#pragma once

#include <QColor>
#include <QRect>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "ui/toolkit/ScreenUnits.h"

namespace tintwell {

// The 16 x 16 palette cells `lblColor(0..255)` and the three marker frames, as
// one widget that paints them. Cell i lies in column i mod 16 and row i div 16,
// 255 twips square with no gaps, from 1920, 480 twips in the window's client
// area. Mouse events are reported with the cell's index, as the cells' own.
//
// From the keyboard: the grid takes the focus with Tab, the arrow keys move a
// focus frame from cell to cell (as hovering), Space acts as a left press and
// Enter as a right press on the focused cell. A cell whose map entry is not
// its own index carries a mark, and its tooltip reads "17 → 200". With pixel
// counts given, cells of indices the image does not use are dimmed and the
// tooltip gives the count.
class PaletteGrid : public QWidget {
    Q_OBJECT
  public:
    enum Frame { shpOld = 0, shpSel = 1, shpNew = 2 };

    PaletteGrid(const ScreenUnits& units, QWidget* parent);

    // Cell i's rectangle in the parent's pixels, and in twips.
    QRect CellRect(int index) const;
    static QRectF CellRectTwips(int index);
    // The cell under a point of this widget, or -1.
    int CellAt(QPoint point) const;

    ColorValue BackColor(int index) const { return colors_[static_cast<size_t>(index)]; }
    void SetBackColor(int index, ColorValue color);
    // A cell whose alpha is below 255 (a PNG's transparent entry) shows its
    // colour over a checkerboard in its lower right half.
    std::uint8_t Alpha(int index) const { return alphas_[static_cast<size_t>(index)]; }
    void SetAlpha(int index, std::uint8_t alpha);

    // A marker frame's rectangle in the parent's pixels; border 2 pixels, drawn inside.
    void MoveFrame(Frame frame, const QRect& rect);
    QRect FrameRect(Frame frame) const { return frames_[frame]; }
    static QColor FrameColor(Frame frame);

    // The map whose entries the marks and tooltips show (null: none); call
    // update() when it changes.
    void SetMap(const ColorMap* map) { map_ = map; }
    bool HasMark(int index) const;
    // How many pixels of the image use each index; empty: not counted.
    void SetCounts(std::vector<std::int64_t> counts);
    bool IsDimmed(int index) const;
    QString ToolTipText(int index) const;
    int FocusCell() const { return focusCell_; }

    // Index, button (1 left, 2 right, 4 middle) of a press.
    std::function<void(int index, int button)> onMouseDown;
    // Index and buttons held (added together) of a move; while a button is held
    // the cell that was pressed keeps receiving the moves.
    std::function<void(int index, int buttons)> onMouseMove;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool event(QEvent* event) override;

  private:
    void PaintMark(QPainter& p, const QRect& cell, ColorValue color) const;
    void PaintFocus(QPainter& p) const;

    ScreenUnits units_;
    std::array<ColorValue, 256> colors_{};
    std::array<std::uint8_t, 256> alphas_ = Opaque();
    static std::array<std::uint8_t, 256> Opaque();
    QRect frames_[3];
    int pressed_ = -1;
    int focusCell_ = 0;
    const ColorMap* map_ = nullptr;
    std::vector<std::int64_t> counts_;
};

}  // namespace tintwell
