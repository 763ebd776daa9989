#include "ui/toolkit/ScreenUnits.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>
#include <climits>
#include <cmath>

namespace tintwell {

namespace {
constexpr double kTwipsPerInch = 1440.0;
}

ScreenUnits::ScreenUnits(double twipsPerPixelX, double twipsPerPixelY)
    : tx_(twipsPerPixelX > 0 ? twipsPerPixelX : 15.0),
      ty_(twipsPerPixelY > 0 ? twipsPerPixelY : 15.0) {}

ScreenUnits ScreenUnits::ForScreen(const QScreen* screen) {
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) return {};
    const double dpiX = screen->logicalDotsPerInchX();
    const double dpiY = screen->logicalDotsPerInchY();
    return ScreenUnits(dpiX > 0 ? kTwipsPerInch / dpiX : 15.0,
                       dpiY > 0 ? kTwipsPerInch / dpiY : 15.0);
}

ScreenUnits ScreenUnits::ForWidget(const QWidget* widget) {
    return ForScreen(widget != nullptr ? widget->screen() : nullptr);
}

int ScreenUnits::Round(double value) {
    if (std::isnan(value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(std::nearbyint(value));
}

int ScreenUnits::XToPixels(double twips) const {
    return Round(twips / tx_);
}
int ScreenUnits::YToPixels(double twips) const {
    return Round(twips / ty_);
}

QRect ScreenUnits::RectToPixels(double left, double top, double width, double height) const {
    return QRect(XToPixels(left), YToPixels(top), XToPixels(width), YToPixels(height));
}

QSize ScreenUnits::SizeToPixels(double width, double height) const {
    return QSize(XToPixels(width), YToPixels(height));
}

QFont DesignFont(const QFont& base) {
    QFont f = base;
    f.setPointSizeF(8);
    return f;
}

}  // namespace tintwell
