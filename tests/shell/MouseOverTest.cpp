#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "shell/clsMouseOver.h"
#include "shell/modSetCursorToHand.h"

namespace tintwell {
namespace {

HoverTarget Target(QWidget* window, QSizeF inner, QSizeF outer) {
    HoverTarget t;
    t.window = window;
    t.inner = inner;
    t.outer = outer;
    return t;
}

TEST(MouseLeft, IsFalseWhileNoCaptureIsActiveWhateverThePosition) {
    clsMouseOver hover;
    const HoverTarget t = Target(nullptr, QSizeF(100, 20), QSizeF(100, 20));
    EXPECT_FALSE(hover.MouseLeft(t, -500, -500));
    EXPECT_FALSE(hover.MouseLeft(t, 5000, 10));
    EXPECT_FALSE(hover.MouseOverActive());
}

TEST(MouseLeft, RightAndBottomEdgesCountAsInside) {
    clsMouseOver hover;
    const HoverTarget t = Target(nullptr, QSizeF(100, 20), QSizeF(110, 30));
    hover.SetMouseOver(t);
    EXPECT_FALSE(hover.MouseLeft(t, 100, 20));
    EXPECT_FALSE(hover.MouseLeft(t, 0, 0));
    EXPECT_TRUE(hover.MouseOverActive());
    EXPECT_TRUE(hover.MouseLeft(t, 100.5f, 20));
    EXPECT_FALSE(hover.MouseOverActive());
}

TEST(MouseLeft, NegativePositionHasLeft) {
    clsMouseOver hover;
    const HoverTarget t = Target(nullptr, QSizeF(100, 20), QSizeF(100, 20));
    hover.SetMouseOver(t);
    EXPECT_TRUE(hover.MouseLeft(t, 10, -0.5f));
    hover.SetMouseOver(t);
    EXPECT_TRUE(hover.MouseLeft(t, -1, 10));
}

TEST(MouseLeft, ControlWithoutInnerSizeUsesItsOuterSize) {
    clsMouseOver hover;
    const HoverTarget t = Target(nullptr, QSizeF(0, 0), QSizeF(150, 17));
    hover.SetMouseOver(t);
    EXPECT_FALSE(hover.MouseLeft(t, 150, 17));
    EXPECT_TRUE(hover.MouseLeft(t, 150, 18));
}

TEST(MouseLeft, AfterLeavingAFurtherMoveOutsideIsNotReportedAgain) {
    clsMouseOver hover;
    const HoverTarget t = Target(nullptr, QSizeF(10, 10), QSizeF(10, 10));
    hover.SetMouseOver(t);
    EXPECT_TRUE(hover.MouseLeft(t, 50, 50));
    EXPECT_FALSE(hover.MouseLeft(t, 60, 60));
}

TEST(SetMouseOver, CapturesTheMouseUntilThePointerLeaves) {
    QWidget window;
    auto* link = new QLineEdit(&window);
    link->setGeometry(10, 10, 120, 18);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    clsMouseOver hover;
    const HoverTarget t = HoverTargetOf(link);
    EXPECT_EQ(t.outer, QSizeF(120, 18));
    EXPECT_EQ(t.inner, QSizeF(0, 0));

    hover.SetMouseOver(t);
    EXPECT_EQ(QWidget::mouseGrabber(), link);
    EXPECT_TRUE(hover.MouseLeft(t, 121, 5));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

TEST(ReleaseMouseOver, ReleasesTheCaptureButKeepsTheFlag) {
    QWidget window;
    auto* link = new QLineEdit(&window);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    clsMouseOver hover;
    hover.SetMouseOver(HoverTargetOf(link));
    hover.ReleaseMouseOver();
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(hover.MouseOverActive());
}

TEST(clsMouseOver, IsSharedByAllControlsOfOneWindow) {
    QWidget window;
    auto* a = new QWidget(&window);
    auto* b = new QWidget(a);
    clsMouseOver* tracker = clsMouseOver::For(a);
    ASSERT_NE(tracker, nullptr);
    EXPECT_EQ(clsMouseOver::For(b), tracker);
    EXPECT_EQ(clsMouseOver::For(&window), tracker);
    EXPECT_EQ(clsMouseOver::For(nullptr), nullptr);
}

TEST(SetCursorToHand, ShowsThePointingHand) {
    QWidget control;
    SetCursorToHand(&control);
    EXPECT_EQ(control.cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace tintwell
