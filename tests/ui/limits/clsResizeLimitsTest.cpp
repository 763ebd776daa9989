#include "shell/clsResizeLimits.h"

#include <gtest/gtest.h>

#include <QScreen>
#include <QWidget>

#include "support/WindowsTestKit.h"

namespace tintwell::test {
namespace {

TEST(clsResizeLimits, TwipsAreConvertedAndMaximumZeroIsTheDesktop) {
    TestApp();
    QWidget w;
    clsResizeLimits limits;
    limits.AddLimits(&w, 6225, 5895, 0, 0);
    EXPECT_EQ(w.minimumSize(), QSize(415, 393));
    EXPECT_EQ(w.maximumSize(), w.screen()->virtualGeometry().size());
    EXPECT_LT(w.maximumWidth(), QWIDGETSIZE_MAX);
}

TEST(clsResizeLimits, PixelValuesAreUsedUnconverted) {
    TestApp();
    QWidget w;
    clsResizeLimits limits;
    limits.AddLimits(&w, 100.5, 200, 300, 400, true);
    EXPECT_EQ(w.minimumSize(), QSize(100, 200));  // 100.5 rounds to even
    EXPECT_EQ(w.maximumSize(), QSize(300, 400));
}

TEST(clsResizeLimits, RegisteringTwiceKeepsOneEntryWithTheNewLimits) {
    TestApp();
    QWidget w;
    clsResizeLimits limits;
    limits.AddLimits(&w, 100, 100, 0, 0, true);
    limits.AddLimits(&w, 150, 120, 0, 0, true);
    EXPECT_EQ(limits.EntryCount(), 1);
    EXPECT_EQ(limits.EntryAt(0).MinX, 150);
    EXPECT_EQ(w.minimumSize(), QSize(150, 120));
}

TEST(clsResizeLimits, RemovalRestoresTheWindowsOwnLimits) {
    TestApp();
    QWidget w;
    w.setMinimumSize(10, 20);
    w.setMaximumSize(900, 800);
    clsResizeLimits limits;
    limits.AddLimits(&w, 100, 100, 500, 500, true);
    limits.RemoveFormLimits(&w);
    EXPECT_EQ(w.minimumSize(), QSize(10, 20));
    EXPECT_EQ(w.maximumSize(), QSize(900, 800));
    EXPECT_EQ(limits.FindLimits(&w), -1);
    // The emptied entry stays; registering again appends a new one.
    limits.AddLimits(&w, 50, 60, 0, 0, true);
    EXPECT_EQ(limits.EntryCount(), 2);
    EXPECT_EQ(limits.FindLimits(&w), 1);
}

TEST(clsResizeLimits, DestroyingTheObjectRestoresEveryWindow) {
    TestApp();
    QWidget a, b;
    {
        clsResizeLimits limits;
        limits.AddLimits(&a, 100, 100, 0, 0, true);
        limits.AddLimits(&b, 200, 200, 0, 0, true);
        EXPECT_EQ(limits.EntryCount(), 2);
        EXPECT_EQ(b.minimumSize(), QSize(200, 200));
    }
    EXPECT_EQ(a.minimumSize(), QSize(0, 0));
    EXPECT_EQ(b.minimumSize(), QSize(0, 0));
    EXPECT_EQ(b.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

TEST(clsResizeLimits, AClosedWindowsEntryNeverMatchesANewWindow) {
    TestApp();
    clsResizeLimits limits;
    auto* first = new QWidget;
    limits.AddLimits(first, 100, 100, 0, 0, true);
    delete first;
    QWidget second;
    EXPECT_EQ(limits.FindLimits(&second), -1);
    limits.AddLimits(&second, 120, 130, 0, 0, true);
    EXPECT_EQ(second.minimumSize(), QSize(120, 130));
    limits.RemoveAllLimits();  // meets the stale entry without harm
    EXPECT_EQ(second.minimumSize(), QSize(0, 0));
}

TEST(clsResizeLimits, WindowCannotBeResizedBelowTheMinimum) {
    TestApp();
    QWidget w;
    clsResizeLimits limits;
    limits.AddLimits(&w, 200, 150, 0, 0, true);
    w.show();
    w.resize(50, 50);
    // The limits are outer sizes: the frame counts.
    EXPECT_EQ(w.frameGeometry().size(), QSize(200, 150));
}

}  // namespace
}  // namespace tintwell::test
