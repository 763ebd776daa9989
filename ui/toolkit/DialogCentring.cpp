#include "ui/toolkit/DialogCentring.h"

#include <QDialog>
#include <QEvent>
#include <QScreen>
#include <algorithm>

namespace tintwell {

bool DialogCentring::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show) return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    QWidget* owner = dialog != nullptr && dialog->isWindow() && dialog->parentWidget() != nullptr
                         ? dialog->parentWidget()->window()
                         : nullptr;
    if (owner == nullptr || !owner->isVisible() || owner->screen() == nullptr) return false;
    const QRect ownerFrame = owner->frameGeometry();
    const QSize frameExtra = ownerFrame.size() - owner->geometry().size();
    const QSize outer = dialog->size() + frameExtra;
    const QRect area = owner->screen()->availableGeometry();
    QPoint corner = ownerFrame.center() - QPoint(outer.width() / 2, outer.height() / 2);
    corner.setX(std::max(area.left(), std::min(corner.x(), area.right() + 1 - outer.width())));
    corner.setY(std::max(area.top(), std::min(corner.y(), area.bottom() + 1 - outer.height())));
    // A created window without a frame yet is moved by its inner corner.
    if (dialog->frameGeometry() == dialog->geometry())
        corner += owner->geometry().topLeft() - ownerFrame.topLeft();
    dialog->move(corner);
    return false;
}

}  // namespace tintwell
