#include "ui/toolkit/QtPlacementWindow.h"

#include <QEvent>
#include <QScreen>
#include <algorithm>

namespace tintwell {

QtPlacementWindow::QtPlacementWindow(QWidget& window)
    : QObject(&window), window_(window), designed_(window.size()) {
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

// Without a window manager (or before it has framed the window) there is no frame.
bool QtPlacementWindow::FrameKnown() const {
    return !FrameExtra().isNull();
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

void QtPlacementWindow::MoveFrame(QPoint topLeft) {
    window_.move(topLeft);
    if (wantedPlace_) wantedPlace_ = topLeft;
}

void QtPlacementWindow::Move(double left, double top, double width, double height) {
    const ScreenUnits u = Units();
    const QSize outer(u.XToPixels(width), u.YToPixels(height));
    // A top-level's move() places its frame's corner, also before the frame is known.
    window_.move(u.XToPixels(left), u.YToPixels(top));
    wantedPlace_ = QPoint(u.XToPixels(left), u.YToPixels(top));
    checkScreen_ = true;
    if (FrameKnown()) {
        window_.resize(outer - FrameExtra());
        wanted_ = QSize();
    } else {
        // The size at this moment stands for the designed inner size (size
        // limits may have enlarged it meanwhile); any other is a stored outer one.
        wantedIsOuter_ = outer != window_.size();
        wanted_ = wantedIsOuter_ ? outer : designed_;
        window_.resize(outer);
    }
    Settle();
}

void QtPlacementWindow::SetState(WindowState state) {
    Qt::WindowStates s = window_.windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == WindowState::Maximized) s |= Qt::WindowMaximized;
    if (state == WindowState::Minimized) s |= Qt::WindowMinimized;
    window_.setWindowState(s);
}

void QtPlacementWindow::KeepTitleBarOnScreen() {
    checkScreen_ = true;
    Settle();
}

// Runs once the window is on screen in its frame: the size restored before is
// made right, then the title bar is checked.
void QtPlacementWindow::Settle() {
    if (!window_.isVisible() || !FrameKnown() || State() != WindowState::Normal) return;
    if (wanted_.isValid()) {
        const QSize inner = wantedIsOuter_ ? wanted_ - FrameExtra() : wanted_;
        wanted_ = QSize();
        window_.resize(inner);
    }
    // A resize before the frame was known makes Qt place the inner corner:
    // the frame's corner is put where it was asked for.
    if (wantedPlace_) {
        if (window_.frameGeometry().topLeft() != *wantedPlace_) window_.move(*wantedPlace_);
        wantedPlace_.reset();
    }
    if (checkScreen_) PullTitleBarOnScreen();
}

void QtPlacementWindow::PullTitleBarOnScreen() {
    checkScreen_ = false;
    const QScreen* screen = window_.screen();
    if (screen == nullptr) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window_.frameGeometry();
    const int titleHeight = std::max(0, window_.geometry().top() - frame.top());
    int x = area.left();
    if (frame.width() <= area.width())
        x = std::clamp(frame.left(), area.left(), area.right() + 1 - frame.width());
    const int keep = keepWhole_ && frame.height() <= area.height() ? frame.height() : titleHeight;
    const int y =
        std::clamp(frame.top(), area.top(), std::max(area.top(), area.bottom() + 1 - keep));
    if (QPoint(x, y) != frame.topLeft()) window_.move(x, y);
}

bool QtPlacementWindow::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type t = event->type();
    // The window manager reports the frame with the first move after the window is mapped.
    if (watched == &window_ && (wanted_.isValid() || wantedPlace_ || checkScreen_) &&
        (t == QEvent::Show || t == QEvent::Move || t == QEvent::Resize ||
         t == QEvent::WindowActivate)) {
        Settle();
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace tintwell
