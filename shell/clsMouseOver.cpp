#include "shell/clsMouseOver.h"

#include <QWidget>

namespace tintwell {

HoverTarget HoverTargetOf(QWidget* control) {
    HoverTarget target;
    target.window = control;
    if (control) target.outer = QSizeF(control->size());
    return target;
}

clsMouseOver::clsMouseOver(QObject* parent) : QObject(parent) {
    setObjectName(QStringLiteral("MouseOver"));
}

clsMouseOver* clsMouseOver::For(QWidget* owner) {
    if (!owner) return nullptr;
    QWidget* top = owner->window();
    auto* tracker = top->findChild<clsMouseOver*>(QString(), Qt::FindDirectChildrenOnly);
    return tracker ? tracker : new clsMouseOver(top);
}

void clsMouseOver::SetMouseOver(const HoverTarget& control) {
    if (control.window) control.window->grabMouse();
    mouseOverActive_ = true;
}

void clsMouseOver::ReleaseMouseOver() {
    if (!mouseOverActive_) return;
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

bool clsMouseOver::MouseLeft(const HoverTarget& control, float x, float y) {
    if (!mouseOverActive_) return false;
    QSizeF size = control.inner;
    if (size.width() == 0) size = control.outer;
    const bool inside = x >= 0 && y >= 0 && x <= size.width() && y <= size.height();
    if (inside) return false;
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
    mouseOverActive_ = false;
    return true;
}

}  // namespace tintwell
