#include "ui/toolkit/QtPlacementWindow.h"

#include <QEvent>
#include <QTimer>
#include <algorithm>

namespace tintwell {

QtPlacementWindow::QtPlacementWindow(QWidget& window) : QObject(&window), window_(window) {
    window_.installEventFilter(this);
}

ScreenUnits QtPlacementWindow::Units() const {
    return ScreenUnits::ForWidget(&window_);
}

QSize QtPlacementWindow::FrameExtra() const {
    if (!window_.isVisible()) return {0, 0};
    const QSize extra = window_.frameGeometry().size() - window_.geometry().size();
    return {std::max(0, extra.width()), std::max(0, extra.height())};
}

TwipsRect QtPlacementWindow::OuterRect() const {
    const ScreenUnits u = Units();
    const QRect r = window_.frameGeometry();
    return {u.XToTwips(r.x()), u.YToTwips(r.y()), u.XToTwips(r.width()), u.YToTwips(r.height())};
}

WindowState QtPlacementWindow::State() const {
    if (window_.isMinimized()) return WindowState::Minimized;
    if (window_.isMaximized()) return WindowState::Maximized;
    return WindowState::Normal;
}

void QtPlacementWindow::Move(double left, double top, double width, double height) {
    const ScreenUnits u = Units();
    const QSize outer(u.XToPixels(width), u.YToPixels(height));
    const QSize extra = FrameExtra();
    window_.move(u.XToPixels(left), u.YToPixels(top));
    const QSize before = window_.size();
    window_.resize(outer - extra);
    // Before the first show the frame is unknown: a stored outer size is made
    // the outer size once it is; the designed size itself stays the inner one.
    pendingOuter_ = QSize();
    if (!window_.isVisible() && outer != before) {
        pendingOuter_ = outer;
        sizeAtMove_ = window_.size();
    }
}

void QtPlacementWindow::SetState(WindowState state) {
    Qt::WindowStates s = window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == WindowState::Maximized) s |= Qt::WindowMaximized;
    if (state == WindowState::Minimized) s |= Qt::WindowMinimized;
    window_.setWindowState(s);
}

void QtPlacementWindow::CorrectForFrame() {
    if (!pendingOuter_.isValid() || !window_.isVisible()) return;
    const QSize extra = FrameExtra();
    // Only when nothing has sized the window since (the preview sizes itself to its image).
    if (State() == WindowState::Normal && !extra.isNull() && window_.size() == sizeAtMove_) {
        window_.resize(pendingOuter_ - extra);
    }
    pendingOuter_ = QSize();
}

bool QtPlacementWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_ && event->type() == QEvent::Show && pendingOuter_.isValid()) {
        // The window manager reports the frame shortly after the window is mapped.
        QTimer::singleShot(0, this, [this] { CorrectForFrame(); });
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tintwell
