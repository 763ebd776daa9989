#pragma once

class QWidget;

namespace tintwell {

// Shows the hand pointer over `control` (the widget under the pointer or holding
// the mouse capture).
void SetCursorToHand(QWidget* control);

}  // namespace tintwell
