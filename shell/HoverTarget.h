#pragma once

#include <QSizeF>

class QWidget;

namespace tintwell {

// What the hover functions need to know of a control: the widget that takes the
// mouse capture, its inner (scale) size and its outer size, both in the units
// of its mouse-event positions. Controls without an inner coordinate space
// (text boxes) leave `inner` at 0 x 0.
struct HoverTarget {
    QWidget* window = nullptr;
    QSizeF inner{0, 0};
    QSizeF outer{0, 0};
};

// A text-box-like control: no inner size, the outer size is the widget's size.
HoverTarget HoverTargetOf(QWidget* control);

}  // namespace tintwell
