#include "shell/modSetCursorToHand.h"

#include <QWidget>

namespace tintwell {

void SetCursorToHand(QWidget* control) {
    if (control) control->setCursor(Qt::PointingHandCursor);
}

}  // namespace tintwell
