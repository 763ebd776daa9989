// Regression tests for faults the malformed-file corpus found in the loader.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

// biSize 1000 on a file with a 40-byte header: the colour table was read from
// offset 1014 (pixel bytes and the end of the file, so mostly black) and
// RecolorFile then wrote that black table over the file's real palette.
TEST(HeaderSizeNoBmpFlavourUses, IsRefusedAndRecolorFileKeepsTheRealPalette) {
    for (const std::int32_t size : {41, 100, 1000, 0x7FFFFFF0}) {
        SCOPED_TRACE(size);
        std::vector<std::uint8_t> bytes = BmpBuilder().Size(4, 2).Build();
        for (int i = 0; i < 4; ++i)
            bytes[14 + i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(size) >> (8 * i));
        clsBitmap bmp;
        EXPECT_FALSE(bmp.LoadFromByteArray(bytes));
        EXPECT_EQ(bmp.LastError(), "Unsupported bitmap header size: " + std::to_string(size));

        test::TempDir dir;
        BmpBuilder::WriteFile(dir / "a.bmp", bytes);
        ColorMap map;
        map.SetMapping(1, 2);
        test::RecordingMessageBox box;
        EXPECT_FALSE(RecolorFile(dir / "a.bmp", false, SelectionRect{}, false, map, box));
        EXPECT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(BmpBuilder::ReadFile(dir / "a.bmp"), bytes);
    }
}

TEST(HeaderSizeNoBmpFlavourUses, EveryKnownFlavourStillLoadsItsPalette) {
    for (const std::int32_t size : {40, 52, 56, 64, 108, 124}) {
        SCOPED_TRACE(size);
        const BmpBuilder b = BmpBuilder().Size(3, 2).HeaderSize(size);
        clsBitmap bmp;
        ASSERT_TRUE(bmp.LoadFromByteArray(b.Build())) << bmp.LastError();
        for (int i = 0; i < 256; ++i)
            ASSERT_EQ(bmp.ColorTableEntry(i), b.PaletteColor(i)) << i;
    }
}

}  // namespace
}  // namespace tintwell
