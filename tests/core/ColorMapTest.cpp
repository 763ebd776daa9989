#include <gtest/gtest.h>

#include "core/ColorMap.h"

namespace tintwell {
namespace {

TEST(ColorMap, StartsAsTheIdentityAndUnchanged) {
    ColorMap map;
    EXPECT_TRUE(map.IsIdentity());
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(map.Entry(i), i);
    EXPECT_FALSE(map.ColorMapChanged());
}

TEST(ColorMap, SetMappingStoresTheTargetAndSetsTheFlag) {
    ColorMap map;
    map.SetMapping(3, 7);
    EXPECT_EQ(map[3], 7);
    EXPECT_EQ(map.data()[3], 7);
    EXPECT_TRUE(map.ColorMapChanged());
    EXPECT_FALSE(map.IsIdentity());
}

TEST(ColorMap, SetEntryAndResetLeaveTheFlagAlone) {
    ColorMap map;
    map.SetEntry(0, 255);
    EXPECT_FALSE(map.ColorMapChanged());
    map.SetMapping(1, 2);
    map.Reset();
    EXPECT_TRUE(map.IsIdentity());
    EXPECT_TRUE(map.ColorMapChanged());
    map.SetColorMapChanged(false);
    EXPECT_FALSE(map.ColorMapChanged());
}

TEST(ColorMap, EntryOutsideTheTableThrows) {
    ColorMap map;
    EXPECT_THROW(map.Entry(256), std::out_of_range);
    EXPECT_THROW(map.Entry(-1), std::out_of_range);
}

}  // namespace
}  // namespace tintwell
