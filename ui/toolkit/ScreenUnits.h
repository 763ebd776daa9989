#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

class QScreen;
class QWidget;

namespace tintwell {

// Twips (1/1440 inch) against Qt's device-independent pixels: the one place the
// windows convert between the designed geometry and the toolkit's units.
// Whole-number results round half to even.
class ScreenUnits {
  public:
    // 15 twips per pixel: a 96 DPI screen.
    ScreenUnits() = default;
    ScreenUnits(double twipsPerPixelX, double twipsPerPixelY);

    // 1440 / the screen's logical DPI; the primary screen when `screen` is null.
    static ScreenUnits ForScreen(const QScreen* screen);
    static ScreenUnits ForWidget(const QWidget* widget);

    double TwipsPerPixelX() const { return tx_; }
    double TwipsPerPixelY() const { return ty_; }

    int XToPixels(double twips) const;
    int YToPixels(double twips) const;
    double XToTwips(double pixels) const { return pixels * tx_; }
    double YToTwips(double pixels) const { return pixels * ty_; }

    QRect RectToPixels(double left, double top, double width, double height) const;
    QSize SizeToPixels(double width, double height) const;

    // Rounds half to even to a whole number.
    static int Round(double value);

  private:
    double tx_ = 15.0;
    double ty_ = 15.0;
};

// The windows' font: the toolkit's family at 8 points, the size the designed
// twip measures of labels and buttons were made for.
QFont DesignFont(const QFont& base);

}  // namespace tintwell
