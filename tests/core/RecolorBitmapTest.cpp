#include <gtest/gtest.h>

#include <random>

#include "core/modRecolor.h"
#include "support/BmpBuilder.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

// The plain per-pixel rule, with pixels outside the image skipped: the result
// every selection must give.
void ReferenceRecolor(clsBitmap& bmp, const ColorMap& map, SelectionRect s, bool outside) {
    const std::int64_t x1 = std::int64_t{s.x0} + s.w - 1;
    const std::int64_t y1 = std::int64_t{s.y0} + s.h - 1;
    for (int y = 0; y < bmp.Height(); ++y) {
        for (int x = 0; x < bmp.Width(); ++x) {
            const bool inside = x >= s.x0 && x <= x1 && y >= s.y0 && y <= y1;
            if (s.IsNoSelection() || inside != outside)
                bmp.SetPixelAt(x, y, map[static_cast<std::uint8_t>(bmp.GetPixelAt(x, y))]);
        }
    }
}

// Every index moves to a different one, so any pixel recoloured twice or missed shows.
ColorMap Shifted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(i, static_cast<std::uint8_t>(i * 7 + 13));
    return map;
}

clsBitmap Load(const BmpBuilder& b) {
    clsBitmap bmp;
    EXPECT_TRUE(bmp.LoadFromByteArray(b.Build())) << bmp.LastError();
    return bmp;
}

std::vector<std::uint8_t> Bytes(const clsBitmap& bmp) {
    return {bmp.Pixels().begin(), bmp.Pixels().end()};
}

// Pixels that changed between two images of the same size, as "x,y" count.
int ChangedPixels(const clsBitmap& a, const clsBitmap& b) {
    int n = 0;
    for (int y = 0; y < a.Height(); ++y)
        for (int x = 0; x < a.Width(); ++x)
            n += a.GetPixelAt(x, y) != b.GetPixelAt(x, y);
    return n;
}

TEST(RecolorBitmap, MatchesThePerPixelRuleForEverySelection) {
    const ColorMap map = Shifted();
    const std::vector<SelectionRect> selections = {
        {0, 0, 1, 1},
        {3, 2, 1, 1},
        {0, 0, 1, 2},
        {2, 1, 2, 1},
        {1, 1, 3, 2},
        {0, 0, 7, 5},
        {-2, -3, 4, 5},
        {5, 3, 10, 10},
        {-100, 2, 1000, 1},
        {2, -50, 1, 100},
        {0, 0, 0, 5},
        {1, 1, -3, 2},
        {1, 1, 2, 0},
        {40, 40, 2, 2},
        {6, 4, 1, 2},
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
    };
    for (bool topDown : {false, true}) {
        const BmpBuilder b = BmpBuilder().Size(7, 5).TopDown(topDown);
        for (const SelectionRect& s : selections) {
            for (bool outside : {false, true}) {
                clsBitmap fast = Load(b);
                clsBitmap slow = Load(b);
                RecolorBitmap(fast, map, s, outside);
                ReferenceRecolor(slow, map, s, outside);
                EXPECT_EQ(Bytes(fast), Bytes(slow))
                    << s.x0 << "," << s.y0 << " " << s.w << "x" << s.h << " outside " << outside;
            }
        }
    }
}

TEST(RecolorBitmap, MatchesThePerPixelRuleOnRandomSelections) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pos(-4, 14), size(-2, 16);
    const BmpBuilder b = BmpBuilder().Size(11, 9);
    const ColorMap map = Shifted();
    for (int i = 0; i < 300; ++i) {
        const SelectionRect s{pos(rng), pos(rng), size(rng), size(rng)};
        const bool outside = i % 2 == 1;
        clsBitmap fast = Load(b);
        clsBitmap slow = Load(b);
        RecolorBitmap(fast, map, s, outside);
        ReferenceRecolor(slow, map, s, outside);
        ASSERT_EQ(Bytes(fast), Bytes(slow)) << s.x0 << "," << s.y0 << " " << s.w << "x" << s.h;
    }
}

TEST(RecolorBitmap, OnePixelSelectionRecoloursEverythingWhateverTheFlag) {
    const ColorMap map = Shifted();
    for (bool outside : {false, true}) {
        clsBitmap bmp = Load(BmpBuilder().Size(4, 3));
        const clsBitmap before = Load(BmpBuilder().Size(4, 3));
        RecolorBitmap(bmp, map, {2, 1, 1, 1}, outside);
        EXPECT_EQ(ChangedPixels(bmp, before), 12);
    }
}

TEST(RecolorBitmap, OneByTwoIsARealSelection) {
    const ColorMap map = Shifted();
    const BmpBuilder b = BmpBuilder().Size(4, 3);
    clsBitmap inside = Load(b);
    RecolorBitmap(inside, map, {1, 1, 1, 2}, false);
    EXPECT_EQ(ChangedPixels(inside, Load(b)), 2);
    EXPECT_NE(inside.GetPixelAt(1, 1), Load(b).GetPixelAt(1, 1));
    EXPECT_NE(inside.GetPixelAt(1, 2), Load(b).GetPixelAt(1, 2));
    clsBitmap outside = Load(b);
    RecolorBitmap(outside, map, {1, 1, 1, 2}, true);
    EXPECT_EQ(ChangedPixels(outside, Load(b)), 10);
    EXPECT_EQ(outside.GetPixelAt(1, 1), Load(b).GetPixelAt(1, 1));
}

TEST(RecolorBitmap, OutsideASelectionCoveringTheImageChangesNothing) {
    const BmpBuilder b = BmpBuilder().Size(4, 3);
    clsBitmap bmp = Load(b);
    RecolorBitmap(bmp, Shifted(), {0, 0, 4, 3}, true);
    EXPECT_EQ(Bytes(bmp), Bytes(Load(b)));
    RecolorBitmap(bmp, Shifted(), {-5, -5, 50, 50}, true);
    EXPECT_EQ(Bytes(bmp), Bytes(Load(b)));
}

TEST(RecolorBitmap, MapsDoNotChain) {
    ColorMap map;
    map.SetMapping(3, 7);
    map.SetMapping(7, 9);
    clsBitmap bmp = Load(BmpBuilder().Size(2, 1).Pixels([](int x, int) { return x ? 7 : 3; }));
    RecolorBitmap(bmp, map, {}, false);
    EXPECT_EQ(bmp.GetPixelAt(0, 0), 7);
    EXPECT_EQ(bmp.GetPixelAt(1, 0), 9);
}

TEST(RecolorBitmap, RowPaddingIsLeftAlone) {
    ColorMap map;
    map.SetMapping(0xEE, 1);  // the builder's padding byte
    BmpBuilder b;
    b.Size(5, 3).Pixels([](int, int) { return 0xEEu; });
    clsBitmap bmp = Load(b);
    RecolorBitmap(bmp, map, {}, false);
    for (int y = 0; y < 3; ++y) {
        for (int i = 0; i < 8; ++i)
            EXPECT_EQ(bmp.Pixels()[y * 8 + i], i < 5 ? 1 : 0xEE);
    }
}

TEST(RecolorBitmap, IdentityMapKeepsEveryByte) {
    const BmpBuilder b = BmpBuilder().Size(9, 4);
    clsBitmap bmp = Load(b);
    RecolorBitmap(bmp, ColorMap(), {}, false);
    EXPECT_EQ(Bytes(bmp), Bytes(Load(b)));
}

TEST(RecolorBitmap, FourBitResultsAreMaskedToTheNibble) {
    ColorMap map;
    map.SetMapping(2, 0x31);
    clsBitmap bmp = Load(BmpBuilder().Bits(4).Size(3, 1).Pixels([](int x, int) { return x + 1; }));
    RecolorBitmap(bmp, map, {}, false);
    EXPECT_EQ(bmp.GetPixelAt(0, 0), 1);
    EXPECT_EQ(bmp.GetPixelAt(1, 0), 1);
    EXPECT_EQ(bmp.GetPixelAt(2, 0), 3);
}

TEST(RecolorBitmap, TrueColourImagesAreLeftUnchanged) {
    const BmpBuilder b = BmpBuilder().Bits(24).Size(3, 2);
    clsBitmap bmp = Load(b);
    RecolorBitmap(bmp, Shifted(), {}, false);
    EXPECT_EQ(Bytes(bmp), Bytes(Load(b)));
}

TEST(RecolorBitmap, PixelsTheBitmapDoesNotHoldAreSkipped) {
    const std::size_t full8 = BmpBuilder().Size(8, 4).Build().size();
    const std::size_t full4 = BmpBuilder().Size(8, 4).Bits(4).Build().size();
    for (const BmpBuilder& cut : {BmpBuilder().Size(8, 4).TruncateTo(full8 - 3),
                                  BmpBuilder().Size(8, 4).Bits(4).TruncateTo(full4 - 3)}) {
        clsBitmap bmp = Load(cut);
        ASSERT_FALSE(bmp.PixelsCoverImage());
        EXPECT_NO_THROW(RecolorBitmap(bmp, Shifted(), {}, false));
        EXPECT_NO_THROW(RecolorBitmap(bmp, Shifted(), {1, 1, 100, 100}, true));
    }
}

}  // namespace
}  // namespace tintwell
