// Regression tests for faults the fuzz targets found; each input is also in
// fuzz/corpus/<target>/ under a "finding-" name.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

// A header claiming two billion rows over the bytes of two: RecolorBitmap used
// to walk every claimed row (and for 1- and 4-bit images throw and catch once
// per row), which froze the preview for minutes on a 70-byte file.
TEST(RecolorBitmapHugeHeightOverTinyData, MapsOnlyTheHeldRowsAndReturnsAtOnce) {
    for (const std::int16_t bits : {1, 4, 8}) {
        for (const bool topDown : {false, true}) {
            SCOPED_TRACE(std::to_string(bits) + (topDown ? " top-down" : " bottom-up"));
            const BmpBuilder good = BmpBuilder().Size(9, 2).Bits(bits).TopDown(topDown);
            const std::int32_t claimed = 2'000'000'000;
            std::vector<std::uint8_t> bytes =
                BmpBuilder(good).BiHeightField(topDown ? -claimed : claimed).Build();
            clsBitmap bmp;
            ASSERT_TRUE(bmp.LoadFromByteArray(bytes)) << bmp.LastError();
            ASSERT_FALSE(bmp.PixelsCoverImage());
            const std::vector<std::uint8_t> before(bmp.Pixels().begin(), bmp.Pixels().end());
            RecolorBitmap(bmp, Inverted(), SelectionRect{}, false);
            // The held rows are the first stored ones: rows 0-1 top-down, the
            // last two image rows bottom-up. All of their pixels changed.
            const std::int32_t firstHeld = topDown ? 0 : claimed - 2;
            const std::int32_t mask = (1 << bits) - 1;
            for (std::int32_t y = firstHeld; y < firstHeld + 2; ++y)
                for (std::int32_t x = 0; x < 9; ++x) {
                    clsBitmap original;
                    ASSERT_TRUE(original.LoadFromByteArray(bytes));
                    EXPECT_EQ(bmp.GetPixelAt(x, y), (255 - original.GetPixelAt(x, y)) & mask);
                }
            EXPECT_NE(std::vector<std::uint8_t>(bmp.Pixels().begin(), bmp.Pixels().end()), before);
        }
    }
}

TEST(RecolorBitmapHugeHeightOverTinyData, SelectionsInsideAndOutsideStayWithinTheHeldRows) {
    const std::int32_t claimed = 1'500'000'000;
    const std::vector<std::uint8_t> bytes = BmpBuilder().Size(4, 3).BiHeightField(claimed).Build();
    clsBitmap inside, outside;
    ASSERT_TRUE(inside.LoadFromByteArray(bytes));
    ASSERT_TRUE(outside.LoadFromByteArray(bytes));
    // Rows 0 .. claimed-4 are not held; the selection covers the last held row only.
    const SelectionRect lastRow{0, claimed - 1, 4, 1};
    RecolorBitmap(inside, Inverted(), lastRow, false);
    RecolorBitmap(outside, Inverted(), lastRow, true);
    clsBitmap original;
    ASSERT_TRUE(original.LoadFromByteArray(bytes));
    for (std::int32_t x = 0; x < 4; ++x) {
        EXPECT_EQ(inside.GetPixelAt(x, claimed - 1), 255 - original.GetPixelAt(x, claimed - 1));
        EXPECT_EQ(inside.GetPixelAt(x, claimed - 2), original.GetPixelAt(x, claimed - 2));
        EXPECT_EQ(outside.GetPixelAt(x, claimed - 1), original.GetPixelAt(x, claimed - 1));
        EXPECT_EQ(outside.GetPixelAt(x, claimed - 3), 255 - original.GetPixelAt(x, claimed - 3));
    }
}

}  // namespace
}  // namespace tintwell
