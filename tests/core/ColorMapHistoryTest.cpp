#include "core/ColorMapHistory.h"

#include <gtest/gtest.h>

namespace tintwell {
namespace {

TEST(ColorMapHistory, KeepsTheNewestStepsUpToItsLimit) {
    ColorMap small, large;
    ColorMapHistory three(small, 3), standard(large);
    for (int i = 1; i <= 150; ++i) {
        three.SetMapping(static_cast<std::uint8_t>(i), 0);
        standard.SetMapping(static_cast<std::uint8_t>(i), 0);
    }
    int undone = 0;
    while (three.Undo())
        ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(small.Entry(147), 0);
    EXPECT_EQ(small.Entry(148), 148);
    for (undone = 0; standard.Undo();)
        ++undone;
    EXPECT_EQ(undone, 150);
    EXPECT_TRUE(large.IsIdentity());
}

}  // namespace
}  // namespace tintwell
