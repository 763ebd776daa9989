// The About window over a main window, with the desktop's link handler replaced.
#include <gtest/gtest.h>

#include <QLabel>
#include <QMainWindow>
#include <QTest>
#include <cmath>

#include "shell/clsMouseOver.h"
#include "support/GuiKit.h"
#include "ui/about/MakerLinks.h"
#include "ui/about/frmAbout.h"

namespace tintwell::test {
namespace {

struct RecordingOpener : IUrlOpener {
    std::int32_t Open(const QString& target) override { return opened << target, result; }
    std::int32_t result = 42;
    QStringList opened;
};

struct About : ::testing::Test {
    About() : about((Owner(), &owner), messages, &opener) {
        about.show();
        QApplication::setActiveWindow(&about);
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&about));
    }
    void Owner() {
        QPixmap icon(32, 32);
        icon.fill(Qt::darkCyan);
        owner.setWindowIcon(QIcon(icon));
        owner.show();
    }
    QMainWindow owner;
    RecordingMessageBox messages;
    RecordingOpener opener;
    frmAbout about;
};

TEST_F(About, ShowsTheProgramsTextsInAFixedModalWindowOwnedByTheMainWindow) {
    QStringList texts;
    for (const char* name : {"lbl_0", "lbl_1", "lbl_2"})
        texts << about.findChild<QLabel*>(name)->text();
    EXPECT_EQ(texts, (QStringList{"website:", "email:", "website:"}));
    EXPECT_EQ(
        about.windowTitle() + "|" + about.lblTitle->text() + "|" + about.lblVersion->text() + "|" +
            about.lblDescription->text() + "|" + about.lblDisclaimer->text() + "|" +
            about.cmdOK->text(),
        "About Tintwell|Tintwell|Version " TINTWELL_PROJECT_VERSION
        "|Tintwell is an easy-to-use 8-bit (256 color) BMP recoloration program.|Warning: Not "
        "responsible for any lost data.  Be sure to make back up copies.|OK");
    EXPECT_TRUE(about.isModal() && about.parentWidget() == &owner && about.cmdOK->isDefault());
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    EXPECT_EQ(about.width(), static_cast<int>(std::lround(382 * about.LayoutScale())));
    EXPECT_EQ(QApplication::focusWidget(), about.cmdOK);
    // Regression: with a larger font the texts were cut; the layout now grows with the font.
    for (QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->wordWrap()) {
            EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width());
        }
    }
    for (QLineEdit* link : {about.txtWebSite, about.txtWebSite2, about.txtEmail})
        EXPECT_LT(link->fontMetrics().horizontalAdvance(link->text()), link->width());
    EXPECT_EQ(about.findChild<QLabel*>("imgIcon")->pixmap().toImage().pixelColor(10, 10),
              QColor(Qt::darkCyan));
    const QImage shot = about.grab().toImage();  // the etched separator: grey over white
    const int y = ScreenUnits::ForWidget(&about).YToPixels(2565 * about.LayoutScale());
    EXPECT_EQ(QColor(shot.pixel(99, y)), QColor(128, 128, 128));
    EXPECT_EQ(QColor(shot.pixel(99, y + 1)), QColor(Qt::white));
    QTest::mouseClick(about.cmdOK, Qt::LeftButton);
    EXPECT_FALSE(about.isVisible());
}

TEST_F(About, LinksOpenTheMakersAddressesOnAnyPressAndSayWhyWhenTheyCannot) {
    for (QLineEdit* link : {about.txtWebSite, about.txtWebSite2, about.txtEmail}) {
        EXPECT_TRUE(link->isReadOnly());
        EXPECT_FALSE(link->hasFrame());
        link->setFocus();
        QTest::keyClicks(link, "evil://x");
    }
    QTest::mouseClick(about.txtWebSite, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(about.txtWebSite2, Qt::RightButton, {}, QPoint(5, 5));
    QTest::mouseClick(about.txtEmail, Qt::MiddleButton, {}, QPoint(5, 5));
    EXPECT_EQ(opener.opened, (QStringList{MakerLinks::WebSite, MakerLinks::WebSite2,
                                          QString("mailto:") + MakerLinks::Email}));
    EXPECT_EQ(QApplication::focusWidget(), about.cmdOK);
    Move(about.txtWebSite, {40, 5}, Qt::LeftButton);  // a drag over a link selects nothing
    EXPECT_FALSE(about.txtWebSite->hasSelectedText());
    opener.result = 31;
    QTest::mouseClick(about.txtWebSite, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(messages.Titles(), "ShellExecute Error;");
    EXPECT_TRUE(about.isVisible());
}

TEST_F(About, HoveringALinkShowsTheHandAndCapturesThePointerUntilItLeaves) {
    clsMouseOver* hover = clsMouseOver::For(&owner);
    Move(about.txtWebSite, {10, 5});
    EXPECT_EQ(QWidget::mouseGrabber(), about.txtWebSite);
    EXPECT_EQ(about.txtWebSite->cursor().shape(), Qt::PointingHandCursor);
    Move(about.txtWebSite, {about.txtWebSite->width(), 5});  // the right edge is on it
    EXPECT_TRUE(hover->MouseOverActive());
    // The first move outside goes to the link holding the capture, which lets go.
    Move(about.txtWebSite,
         about.txtWebSite->mapFrom(&about, about.txtWebSite2->geometry().center()));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(about.txtWebSite->cursor().shape(), Qt::ArrowCursor);
    Move(about.txtEmail, {10, 5});
    ASSERT_EQ(QWidget::mouseGrabber(), about.txtEmail);
    frmAbout second(&owner, messages, &opener);  // a new About window releases a capture left over
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

}  // namespace
}  // namespace tintwell::test
