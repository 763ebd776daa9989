// Recolouring changes the pixel indices and nothing else, in every header
// flavour: the identity leaves the file byte-identical, any other map changes
// only the bytes of the pixels it recolours, and a loaded bitmap is saved
// with the same bytes. A file that cannot be recoloured says why.
#include <gtest/gtest.h>

#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;

struct Flavour {
    const char* name;
    BmpBuilder builder;
};

const Flavour kFlavours[] = {
    {"V4Header", BmpBuilder().HeaderSize(108).Size(5, 3)},
    {"V5HeaderWithProfile", BmpBuilder().HeaderSize(124).Size(6, 2).Profile({'i', 'c', 'c'})},
    {"SixteenEntryTable", BmpBuilder().ClrUsed(16).Size(3, 4)},
    {"GapAndTrailingBytes", BmpBuilder().Gap({7, 7, 7}).Trailing({1, 2}).AfterEnd({9, 9, 9})},
    {"OddClrImportantTopDown", BmpBuilder().ClrImportant(7).TopDown().Size(7, 2)},
    {"Os2CoreHeader", BmpBuilder().HeaderSize(12).Size(5, 2)},
    {"Os2CoreShortTable", BmpBuilder().HeaderSize(12).PaletteEntries(20)},
    {"Os2ShortHeader", BmpBuilder().HeaderSize(16).Size(2, 5)},
    {"Os2LongHeader", BmpBuilder().HeaderSize(64).ClrUsed(100)},
};

class RecolorFlavour : public ::testing::TestWithParam<Flavour> {};

TEST_P(RecolorFlavour, ChangesOnlyThePixelIndices) {
    const BmpBuilder& b = GetParam().builder;
    const Bytes original = b.Build();
    test::TempDir dir;
    const auto path = dir / "a.bmp";
    BmpBuilder::WriteFile(path, original);
    test::RecordingMessageBox box;
    ASSERT_TRUE(RecolorFile(path, false, {1, 0, 2, 9}, false, ColorMap{}, box));
    EXPECT_EQ(BmpBuilder::ReadFile(path), original);

    ColorMap inverted;
    for (int i = 0; i < 256; ++i)
        inverted.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    for (const SelectionRect sel : {SelectionRect{}, SelectionRect{1, 0, 2, 9}}) {
        BmpBuilder::WriteFile(path, original);
        ASSERT_TRUE(RecolorFile(path, false, sel, false, inverted, box)) << box.shown[0].text;
        Bytes expected = original;
        for (int y = 0; y < b.Height(); ++y)
            for (int x = 0; x < b.Width(); ++x)
                if (sel.IsNoSelection() || (x >= 1 && x < 3)) {
                    auto& v = expected[static_cast<std::size_t>(b.RowStartInFile(y) + x)];
                    v = static_cast<std::uint8_t>(255 - v);
                }
        EXPECT_EQ(BmpBuilder::ReadFile(path), expected);
    }

    clsBitmap loaded;
    BmpBuilder::WriteFile(path, original);
    ASSERT_TRUE(loaded.LoadFromFile(path)) << loaded.LastError();
    for (int i = 0; i < b.PaletteCount(); ++i)
        ASSERT_EQ(loaded.ColorTableEntry(i), b.PaletteColor(i)) << i;
    ASSERT_TRUE(loaded.SaveAsFile(dir / "b.bmp")) << loaded.LastError();
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "b.bmp"), original);
    // A copy, like a new bitmap, has a fresh 40-byte header at 96 dpi.
    EXPECT_EQ(loaded.CreateCopy()->InfoHeader().biSize, 40);
    EXPECT_EQ(loaded.CreateCopy()->InfoHeader().biXPelsPerMeter, 3780);
}

INSTANTIATE_TEST_SUITE_P(Flavours, RecolorFlavour, ::testing::ValuesIn(kFlavours),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(RecolorFlavours, ARefusalSaysWhatIsWrongWithTheFile) {
    const struct {
        BmpBuilder builder;
        std::string title, text;
    } cases[] = {
        {BmpBuilder().HeaderSize(20), "BMP is not supported",
         "is a 256 color BMP, but its header size (20 bytes) is not supported."},
        {BmpBuilder().Compression(3), "BMP is not supported",
         "is a 256 color BMP, but its compression (bit fields, 0x3) is not supported."},
        {BmpBuilder().Compression(2), "BMP is not supported", "but its compression (RLE4) is"},
        {BmpBuilder().Size(2, 1).Rle({3, 1, 0, 1}), "BMP is damaged",
         "damaged compressed pixel data: a run of pixels goes past the end of its row."},
        {BmpBuilder().Size(2, 1).ClrUsed(2).Rle({2, 1, 0, 1}).BfOffBits(60), "BMP not readable",
         "Pixel data offset lies inside the color table: 60."},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        const Bytes original = c.builder.Build();
        BmpBuilder::WriteFile(dir / "a.bmp", original);
        test::RecordingMessageBox box;
        EXPECT_FALSE(RecolorFile(dir / "a.bmp", false, {}, false, ColorMap{}, box));
        ASSERT_EQ(box.shown.size(), 1u) << c.text;
        EXPECT_EQ(box.shown[0].title, c.title);
        EXPECT_NE(box.shown[0].text.find(c.text), std::string::npos) << box.shown[0].text;
        EXPECT_EQ(BmpBuilder::ReadFile(dir / "a.bmp"), original);
    }
    clsBitmap fresh;
    ASSERT_TRUE(fresh.CreateNew(2, 2, 8));
    EXPECT_EQ(fresh.InfoHeader().biYPelsPerMeter, 3780);
}

}  // namespace
}  // namespace tintwell
