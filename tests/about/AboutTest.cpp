#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTest>
#include <cmath>
#include <vector>

#include "shell/clsMouseOver.h"
#include "support/RecordingMessageBox.h"
#include "ui/about/MakerLinks.h"
#include "ui/about/frmAbout.h"

namespace tintwell {
namespace {

// Desktop handler double: records what would have been opened.
class RecordingOpener : public IUrlOpener {
  public:
    std::int32_t Open(const QString& target) override {
        opened.push_back(target);
        return result;
    }
    std::int32_t result = 42;
    std::vector<QString> opened;
};

QIcon TestIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::darkCyan);
    return QIcon(pixmap);
}

// The About window shown over a main window, with the desktop handler replaced.
struct AboutFixture : ::testing::Test {
    AboutFixture() : about(WithIcon(&owner), messages, &opener) {
        owner.resize(400, 300);
        owner.show();
        about.show();
        QApplication::setActiveWindow(&about);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&about));
    }

    static QWidget* WithIcon(QMainWindow* window) {
        window->setWindowIcon(TestIcon());
        return window;
    }

    QLabel* Label(const char* name) { return about.findChild<QLabel*>(QString::fromLatin1(name)); }

    static void Press(QWidget* widget, Qt::MouseButton button) {
        QTest::mousePress(widget, button, Qt::NoModifier, QPoint(5, 5));
        QTest::mouseRelease(widget, button, Qt::NoModifier, QPoint(5, 5));
    }

    static void Move(QWidget* widget, QPointF pos) {
        QMouseEvent move(QEvent::MouseMove, pos, widget->mapToGlobal(pos), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(widget, &move);
    }

    QMainWindow owner;
    test::RecordingMessageBox messages;
    RecordingOpener opener;
    frmAbout about;
};

TEST(frmAboutVersion, ShowsThreeNumbersEvenWithRevisionZero) {
    EXPECT_EQ(frmAbout::VersionLabelText(1, 0, 0), "Version 1.0.0");
    EXPECT_EQ(frmAbout::VersionLabelText(1, 0, 18), "Version 1.0.18");
    EXPECT_EQ(frmAbout::VersionLabelText(12, 3, 0), "Version 12.3.0");
}

TEST_F(AboutFixture, ShowsTheProgramsTexts) {
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Tintwell"));
    EXPECT_EQ(about.lblTitle->text(), QStringLiteral("Tintwell"));
    EXPECT_TRUE(about.lblTitle->font().bold());
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version " TINTWELL_PROJECT_VERSION));
    EXPECT_EQ(
        about.lblDescription->text(),
        QStringLiteral("Tintwell is an easy-to-use 8-bit (256 color) BMP recoloration program."));
    EXPECT_EQ(about.lblDisclaimer->text(),
              QStringLiteral(
                  "Warning: Not responsible for any lost data.  Be sure to make back up copies."));
    EXPECT_EQ(Label("lbl_0")->text(), QStringLiteral("website:"));
    EXPECT_EQ(Label("lbl_2")->text(), QStringLiteral("website:"));
    EXPECT_EQ(Label("lbl_1")->text(), QStringLiteral("email:"));
    EXPECT_EQ(about.cmdOK->text(), QStringLiteral("OK"));
}

TEST_F(AboutFixture, LinksShowTheMakersAddresses) {
    EXPECT_EQ(about.txtWebSite->text(), QString::fromLatin1(MakerLinks::WebSite));
    EXPECT_EQ(about.txtWebSite2->text(), QString::fromLatin1(MakerLinks::WebSite2));
    EXPECT_EQ(about.txtEmail->text(), QString::fromLatin1(MakerLinks::Email));
    EXPECT_EQ(about.txtEmail->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_TRUE(about.txtEmail->font().underline());
}

TEST_F(AboutFixture, IsAFixedModalDialogOwnedByTheMainWindowWithOkFocused) {
    EXPECT_TRUE(about.isModal());
    EXPECT_EQ(about.parentWidget(), &owner);
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(QApplication::focusWidget(), about.cmdOK);
    EXPECT_TRUE(about.cmdOK->isDefault());
}

TEST_F(AboutFixture, ShowsTheMainWindowsIcon) {
    EXPECT_FALSE(about.windowIcon().isNull());
    QLabel* icon = Label("imgIcon");
    ASSERT_NE(icon, nullptr);
    EXPECT_FALSE(icon->pixmap().isNull());
    EXPECT_EQ(icon->pixmap().toImage().pixelColor(10, 10), QColor(Qt::darkCyan));
}

TEST_F(AboutFixture, RightButtonPressOnALinkOpensIt) {
    Press(about.txtWebSite2, Qt::RightButton);
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], QString::fromLatin1(MakerLinks::WebSite2));
    EXPECT_EQ(QApplication::focusWidget(), about.cmdOK);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(AboutFixture, EmailLinkOpensAsMailto) {
    Press(about.txtEmail, Qt::MiddleButton);
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], QStringLiteral("mailto:") + QString::fromLatin1(MakerLinks::Email));
}

TEST_F(AboutFixture, PressMovesFocusToOkAndLeavesNoSelection) {
    about.txtWebSite->setFocus();
    Press(about.txtWebSite, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), about.cmdOK);
    EXPECT_FALSE(about.txtWebSite->hasSelectedText());
    ASSERT_EQ(opener.opened.size(), 1u);
    EXPECT_EQ(opener.opened[0], QString::fromLatin1(MakerLinks::WebSite));
}

TEST_F(AboutFixture, LinkThatCannotBeOpenedIsReportedAndTheWindowStaysOpen) {
    opener.result = 31;
    Press(about.txtWebSite, Qt::LeftButton);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].title, "ShellExecute Error");
    EXPECT_EQ(messages.shown[0].text,
              "Error opening URL in browser.\r\nShellExecute returned code 31: There is no "
              "application associated with the given filename extension.");
    EXPECT_TRUE(about.isVisible());
}

TEST_F(AboutFixture, LinkBoxesAreReadOnlySoOnlyTheProgramsAddressesOpen) {
    for (QLineEdit* link : {about.txtWebSite, about.txtWebSite2, about.txtEmail}) {
        EXPECT_TRUE(link->isReadOnly());
        link->setFocus();
        QTest::keyClicks(link, "evil://x");
        QTest::keyClick(link, Qt::Key_Backspace);
    }
    Press(about.txtWebSite, Qt::LeftButton);
    Press(about.txtWebSite2, Qt::LeftButton);
    Press(about.txtEmail, Qt::LeftButton);
    ASSERT_EQ(opener.opened.size(), 3u);
    EXPECT_EQ(opener.opened[0], QString::fromLatin1(MakerLinks::WebSite));
    EXPECT_EQ(opener.opened[1], QString::fromLatin1(MakerLinks::WebSite2));
    EXPECT_EQ(opener.opened[2], QStringLiteral("mailto:") + QString::fromLatin1(MakerLinks::Email));
}

TEST_F(AboutFixture, HoverShowsTheHandAndLeavingReleasesTheCapture) {
    clsMouseOver* hover = clsMouseOver::For(&owner);
    Move(about.txtWebSite, QPointF(10, 5));
    EXPECT_TRUE(hover->MouseOverActive());
    EXPECT_EQ(QWidget::mouseGrabber(), about.txtWebSite);
    EXPECT_EQ(about.txtWebSite->cursor().shape(), Qt::PointingHandCursor);

    // The right edge itself is still on the link.
    Move(about.txtWebSite, QPointF(about.txtWebSite->width(), 5));
    EXPECT_TRUE(hover->MouseOverActive());

    Move(about.txtWebSite, QPointF(about.txtWebSite->width() + 3, 5));
    EXPECT_FALSE(hover->MouseOverActive());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(about.txtWebSite->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(AboutFixture, MovingStraightOntoAnotherLinkHandsTheCaptureOver) {
    Move(about.txtWebSite, QPointF(10, 5));
    ASSERT_EQ(QWidget::mouseGrabber(), about.txtWebSite);
    // The first move outside goes to the link holding the capture, which lets go.
    const QPoint onSecond =
        about.txtWebSite->mapFrom(&about, about.txtWebSite2->geometry().center());
    Move(about.txtWebSite, onSecond);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    Move(about.txtWebSite2, QPointF(10, 5));
    EXPECT_EQ(QWidget::mouseGrabber(), about.txtWebSite2);
    Move(about.txtWebSite2, QPointF(-2, 5));
}

TEST_F(AboutFixture, NewAboutWindowReleasesACaptureLeftOver) {
    Move(about.txtEmail, QPointF(10, 5));
    ASSERT_EQ(QWidget::mouseGrabber(), about.txtEmail);
    frmAbout second(&owner, messages, &opener);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST_F(AboutFixture, OkClosesTheWindow) {
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

TEST_F(AboutFixture, DrawsAnEtchedLineAboveTheDisclaimer) {
    const QImage image = about.grab().toImage();
    // The grey line at 2565 twips and the white one at 2580, 15 twips per pixel.
    const double dpr = image.width() / static_cast<double>(about.width());
    const double scale = about.LayoutScale();
    auto row = [&](double twips) {
        return static_cast<int>(std::lround(twips / 15 * scale) * dpr);
    };
    const int x = static_cast<int>(100 * dpr);
    EXPECT_EQ(image.pixelColor(x, row(2565)), QColor(128, 128, 128));
    EXPECT_EQ(image.pixelColor(x, row(2580)), QColor(255, 255, 255));
}

TEST_F(AboutFixture, EveryFixedTextFitsItsBox) {
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (label->text().isEmpty() || label->wordWrap()) continue;
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->objectName().toStdString();
    }
    for (QLineEdit* link : {about.txtWebSite, about.txtWebSite2, about.txtEmail}) {
        EXPECT_LT(link->fontMetrics().horizontalAdvance(link->text()), link->width())
            << link->objectName().toStdString();
    }
    EXPECT_GE(about.LayoutScale(), 1.0);
    EXPECT_EQ(about.width(), static_cast<int>(std::lround(382 * about.LayoutScale())));
}

}  // namespace
}  // namespace tintwell
