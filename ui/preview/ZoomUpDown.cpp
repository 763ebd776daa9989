#include "ui/preview/ZoomUpDown.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>
#include <QWheelEvent>

namespace tintwell {

ZoomUpDown::ZoomUpDown(QWidget* parent) : QAbstractSlider(parent) {
    setOrientation(Qt::Vertical);
    setInvertedControls(false);  // Up and the wheel away from the user raise the value
    setFocusPolicy(Qt::StrongFocus);
}

// The spin box's buttons only: the option's rectangle reaches to our left by
// the width of the box's text field, so the buttons fill this widget.
void ZoomUpDown::InitOption(QStyleOptionSpinBox& option) const {
    option.initFrom(this);
    option.frame = false;
    option.buttonSymbols = QAbstractSpinBox::UpDownArrows;
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    option.stepEnabled = QAbstractSpinBox::StepNone;
    if (value() < maximum()) option.stepEnabled |= QAbstractSpinBox::StepUpEnabled;
    if (value() > minimum()) option.stepEnabled |= QAbstractSpinBox::StepDownEnabled;
    option.rect = rect();
    const QRect up =
        style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const int field = up.isValid() ? up.left() : 0;
    option.rect = QRect(-field, 0, width() + field, height());
    option.activeSubControls = static_cast<QStyle::SubControl>(pressed_);
    if (pressed_ != 0) option.state |= QStyle::State_Sunken;
}

QSize ZoomUpDown::sizeHint() const {
    QSpinBox probe;
    probe.setFont(font());
    QStyleOptionSpinBox option;
    option.initFrom(&probe);
    option.rect = QRect(QPoint(0, 0), probe.sizeHint());
    option.subControls = QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const QRect up =
        probe.style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, &probe);
    return {up.width(), probe.sizeHint().height()};
}

void ZoomUpDown::paintEvent(QPaintEvent*) {
    QPainter p(this);
    QStyleOptionSpinBox option;
    InitOption(option);
    style()->drawComplexControl(QStyle::CC_SpinBox, &option, &p, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(1, 1, -1, -1);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}

void ZoomUpDown::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    QStyleOptionSpinBox option;
    InitOption(option);
    const QStyle::SubControl hit = style()->hitTestComplexControl(
        QStyle::CC_SpinBox, &option, event->position().toPoint(), this);
    SliderAction action = SliderNoAction;
    if (hit == QStyle::SC_SpinBoxUp) action = SliderSingleStepAdd;
    if (hit == QStyle::SC_SpinBoxDown) action = SliderSingleStepSub;
    if (action == SliderNoAction) {
        // Outside the drawn buttons: the upper half raises, the lower half lowers.
        action = event->position().y() < height() / 2.0 ? SliderSingleStepAdd : SliderSingleStepSub;
    }
    pressed_ = action == SliderSingleStepAdd ? QStyle::SC_SpinBoxUp : QStyle::SC_SpinBoxDown;
    setFocus(Qt::MouseFocusReason);
    triggerAction(action);  // one step a click: eight steps need no repeating
    update();
}

void ZoomUpDown::mouseReleaseEvent(QMouseEvent*) {
    pressed_ = 0;
    update();
}

}  // namespace tintwell

namespace tintwell {

// One step for each notch of the wheel, whatever the system's lines per notch.
void ZoomUpDown::wheelEvent(QWheelEvent* event) {
    wheel_ += event->angleDelta().y();
    const int steps = wheel_ / 120;
    wheel_ -= steps * 120;
    if (steps != 0) setValue(value() + steps);
    event->accept();
}

}  // namespace tintwell
