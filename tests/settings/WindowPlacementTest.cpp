#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/WindowPlacement.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

using test::RecordingMessageBox;

// A window that records what was done to it.
class FakeWindow : public IPlacementWindow {
  public:
    TwipsRect OuterRect() const override { return rect; }
    WindowState State() const override { return state; }
    void Move(double left, double top, double width, double height) override {
        rect = {left, top, width, height};
        ++moves;
    }
    void SetState(WindowState s) override {
        state = s;
        states.push_back(s);
    }

    TwipsRect rect;
    WindowState state = WindowState::Normal;
    int moves = 0;
    std::vector<WindowState> states;
};

class Placement : public testing::Test {
  protected:
    Placement() { ini.LoadINIFromString(""); }
    RecordingMessageBox box;
    clsINI ini{box};
    FakeWindow window;
};

TEST_F(Placement, NormalWindowStoresItsRectangleThenItsState) {
    window.rect = {1200, -300, 9615.5, 6000};
    SaveWindowPlacement(ini, window, "Main");
    EXPECT_EQ(
        ini.ToText(),
        "[Main]\r\nHeight=6000\r\nLeft=1200\r\nTop=-300\r\nWidth=9616\r\nWindowState=0\r\n");
}

TEST_F(Placement, MaximizedStoresOnlyTheStateAndKeepsTheNormalRectangle) {
    ini.LoadINIFromString("[Main]\r\nHeight=5000\r\nLeft=100\r\nTop=200\r\nWidth=7000\r\n");
    window.state = WindowState::Maximized;
    window.rect = {0, 0, 20000, 15000};
    SaveWindowPlacement(ini, window, "Main");
    EXPECT_EQ(ini.ToText(),
              "[Main]\r\nHeight=5000\r\nLeft=100\r\nTop=200\r\nWidth=7000\r\nWindowState=2\r\n");

    FakeWindow next;
    next.rect = {0, 0, 6000, 4000};
    RestoreWindowPlacement(ini, next, "Main");
    EXPECT_EQ(next.moves, 1);
    EXPECT_EQ(next.rect.left, 100);
    EXPECT_EQ(next.rect.width, 7000);
    EXPECT_EQ(next.states, std::vector<WindowState>{WindowState::Maximized});
}

TEST_F(Placement, MinimizedWritesNothing) {
    ini.LoadINIFromString("[Main]\r\nLeft=100\r\n");
    window.state = WindowState::Minimized;
    SaveWindowPlacement(ini, window, "Main");
    EXPECT_EQ(ini.ToText(), "[Main]\r\nLeft=100\r\n");
}

TEST_F(Placement, FirstRunMovesToTheOriginAtTheDesignedSize) {
    window.rect = {500, 600, 6000, 4000};
    RestoreWindowPlacement(ini, window, "Preview");
    EXPECT_EQ(window.moves, 1);
    EXPECT_EQ(window.rect.left, 0);
    EXPECT_EQ(window.rect.top, 0);
    EXPECT_EQ(window.rect.width, 6000);
    EXPECT_EQ(window.rect.height, 4000);
    EXPECT_EQ(window.states, std::vector<WindowState>{WindowState::Normal});
}

TEST_F(Placement, NegativeCornerIsPulledToZeroAndStoredSizeNeverShrinksTheWindow) {
    ini.LoadINIFromString(
        "[Main]\r\nLeft=-300\r\nTop=-1\r\nWidth=100\r\nHeight=9000.4\r\nWindowState=0\r\n");
    window.rect = {0, 0, 6000.5, 4000};
    RestoreWindowPlacement(ini, window, "Main");
    EXPECT_EQ(window.rect.left, 0);
    EXPECT_EQ(window.rect.top, 0);
    EXPECT_EQ(window.rect.width, 6000);  // designed width, rounded half to even
    EXPECT_EQ(window.rect.height, 9000);
}

TEST_F(Placement, PositionBeyondTheScreensIsAppliedUnchanged) {
    ini.LoadINIFromString("[Main]\r\nLeft=999999\r\nTop=88888\r\nWindowState=7\r\n");
    window.rect = {0, 0, 10, 10};
    RestoreWindowPlacement(ini, window, "Main");
    EXPECT_EQ(window.rect.left, 999999);
    EXPECT_EQ(window.rect.top, 88888);
    EXPECT_EQ(window.states, std::vector<WindowState>{WindowState::Normal});
}

TEST_F(Placement, RoundTripThroughTheFileText) {
    window.rect = {2880, 1440, 9000, 7000};
    SaveWindowPlacement(ini, window, "Preview");
    clsINI reread(box);
    reread.LoadINIFromString(ini.ToText());
    FakeWindow restored;
    restored.rect = {0, 0, 3000, 2000};
    RestoreWindowPlacement(reread, restored, "Preview");
    EXPECT_EQ(restored.rect.left, 2880);
    EXPECT_EQ(restored.rect.top, 1440);
    EXPECT_EQ(restored.rect.width, 9000);
    EXPECT_EQ(restored.rect.height, 7000);
}

}  // namespace
}  // namespace tintwell
