#include <gtest/gtest.h>

#include "settings/WindowPlacement.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

// A window whose outer rectangle is one coordinate repeated.
class SquareWindow : public IPlacementWindow {
  public:
    explicit SquareWindow(double v) : v_(v) {}
    TwipsRect OuterRect() const override { return {v_, v_, v_, v_}; }
    WindowState State() const override { return WindowState::Normal; }
    void Move(double, double, double, double) override {}
    void SetState(WindowState) override {}

  private:
    double v_;
};

// Coordinates are stored as whole numbers of twips, never in scientific form
// (100000 was written "1e+05").
TEST(PlacementNumbers, CoordinatesAreWholeNumbers) {
    const struct {
        double twips;
        const char* text;
    } rows[] = {{100000, "100000"}, {2880, "2880"},   {-300, "-300"},
                {2880.5, "2880"},   {2881.5, "2882"}, {123456789, "123456789"}};
    for (const auto& row : rows) {
        test::RecordingMessageBox box;
        clsINI ini{box};
        ini.LoadINIFromString("");
        SaveWindowPlacement(ini, SquareWindow(row.twips), "Main");
        for (const char* key : {"Left", "Top", "Width", "Height"}) {
            EXPECT_EQ(ini.ReadString("Main", key), row.text) << key << " of " << row.twips;
        }
    }
}

}  // namespace
}  // namespace tintwell
