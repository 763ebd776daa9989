#include <gtest/gtest.h>
#include <sys/resource.h>

#include <random>

#include "core/ColorMapHistory.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

// Every index moves to a different one, so a pixel recoloured twice or missed shows.
ColorMap Shifted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 7 + 13));
    return map;
}

// The plain per-pixel rule: one lookup per pixel inside (or outside) the
// selection, pixels whose bytes the bitmap does not hold skipped.
void Reference(clsBitmap& bmp, const ColorMap& map, SelectionRect s, bool outside) {
    const std::int64_t x1 = std::int64_t{s.x0} + s.w - 1, y1 = std::int64_t{s.y0} + s.h - 1;
    const std::int64_t stored =
        (std::int64_t(bmp.Pixels().size()) + bmp.RowStride() - 1) / bmp.RowStride();
    const std::int64_t first =
        bmp.IsTopDown() ? 0 : std::max<std::int64_t>(bmp.Height() - stored, 0);
    for (std::int64_t y = first;
         y < std::min<std::int64_t>(bmp.Height(), first + stored) && bmp.BitCount() <= 8; ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            try {
                const bool inside = x >= s.x0 && x <= x1 && y >= s.y0 && y <= y1;
                if (s.IsNoSelection() || inside != outside)
                    bmp.SetPixelAt(
                        x, static_cast<int>(y),
                        map[static_cast<std::uint8_t>(bmp.GetPixelAt(x, static_cast<int>(y)))]);
            } catch (const std::out_of_range&) {
            }
}

std::string Bytes(const clsBitmap& b) {
    return {b.Pixels().begin(), b.Pixels().end()};
}

void ExpectAsReference(const Bmp& b, const ColorMap& map, SelectionRect s, bool outside) {
    clsBitmap fast, slow;
    Load(fast, b.Build());
    Load(slow, b.Build());
    RecolorBitmap(fast, map, s, outside);
    Reference(slow, map, s, outside);
    ASSERT_EQ(Bytes(fast), Bytes(slow))
        << s.x0 << "," << s.y0 << " " << s.w << "x" << s.h << " outside " << outside << ", "
        << b.BitCount() << " bits";
}

TEST(RecolorBitmap, FollowsThePerPixelRuleForEverySelectionDepthAndRowOrder) {
    using S = SelectionRect;
    const S selections[] = {
        // One pixel, which means the whole image:
        S{0, 0, 1, 1}, S{3, 2, 1, 1},
        // Rectangles inside, across the edges, beyond, empty and at the limits of int:
        S{0, 0, 1, 2}, S{2, 1, 2, 1}, S{1, 1, 3, 2}, S{0, 0, 7, 5}, S{-2, -3, 4, 5},
        S{5, 3, 10, 10}, S{-100, 2, 1000, 1}, S{2, -50, 1, 100}, S{0, 0, 0, 5}, S{1, 1, -3, 2},
        S{1, 1, 2, 0}, S{40, 40, 2, 2}, S{6, 4, 1, 2},
        S{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
        S{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    ColorMap chain;  // 3 becomes 7 and 7 becomes 9: a 3 ends as 7
    chain.SetMapping(3, 7);
    chain.SetMapping(7, 9);
    for (int bits : {1, 4, 8, 24})
        for (bool topDown : {false, true})
            for (const SelectionRect& s : selections)
                for (bool outside : {false, true}) {
                    ExpectAsReference(Bmp().Size(7, 5).Bits(bits).TopDown(topDown), Shifted(), s,
                                      outside);
                    ExpectAsReference(Bmp().Size(7, 5).TopDown(topDown), chain, s, outside);
                }
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pos(-4, 14), size(-2, 16);
    for (int i = 0; i < 300; ++i)
        ExpectAsReference(Bmp().Size(11, 9), Shifted(), {pos(rng), pos(rng), size(rng), size(rng)},
                          i % 2);
}

// Regression: a header claiming millions of rows over a few bytes made the
// recolouring walk every claimed row; only the rows held are mapped.
TEST(RecolorBitmap, MapsOnlyThePixelsTheBitmapHolds) {
    for (int bits : {4, 8})
        for (bool topDown : {false, true})
            for (std::size_t cut : {3u, 9u, 20u}) {
                const Bmp full = Bmp().Size(8, 4).Bits(bits).TopDown(topDown);
                const Bmp b = Bmp(full).Cut(full.Build().size() - cut);
                ExpectAsReference(b, Shifted(), {}, false);
                ExpectAsReference(b, Shifted(), {1, 1, 100, 100}, true);
                ExpectAsReference(b, Shifted(), {0, 2, 8, 1}, false);
                ExpectAsReference(
                    Bmp(full).Set32(kHeight, topDown ? -2'000'000'000 : 2'000'000'000), Shifted(),
                    {0, topDown ? 1 : 1'999'999'998, 3, 1}, false);
            }
}

TEST(ColorMap, AnEditSetsTheChangedFlagLoadingAndResettingDoNot) {
    ColorMap map;
    EXPECT_TRUE(map.IsIdentity());
    map.SetEntry(0, 255);
    EXPECT_FALSE(map.ColorMapChanged());
    map.SetMapping(1, 2);
    EXPECT_TRUE(map.ColorMapChanged());
    map.Reset();
    EXPECT_TRUE(map.IsIdentity() && map.ColorMapChanged());
    EXPECT_THROW(map.Entry(256), std::out_of_range);
    EXPECT_THROW(map.Entry(-1), std::out_of_range);
}

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

clsBitmap EightBit(int w, int h, std::vector<int> indices) {
    clsBitmap bmp;
    Load(bmp,
         Bmp()
             .Size(w, h)
             .Pixels([=](int x, int y) { return indices[static_cast<std::size_t>(y * w + x)]; })
             .Build());
    return bmp;
}

TEST(IndexList, ListsTheRowsFromTheTopInFieldsOfFourWithCrLf) {
    EXPECT_EQ(ColorIndexListText(EightBit(3, 2, {0, 12, 255, 7, 7, 100})),
              "  0, 12,255,\r\n  7,  7,100,\r\n");
    EXPECT_EQ(ColorIndexListText(EightBit(1, 1, {5})), "  5,\r\n");
    for (int bits : {1, 4, 24, 32}) {
        clsBitmap other;
        Load(other, Bmp().Bits(bits).Build());
        EXPECT_EQ(ColorIndexListText(other), "");
    }
    const std::pair<const char*, const char*> names[] = {
        {"castle.bmp", "castle.txt"}, {"a.b.bmp", "a.txt"}, {"noext", "noext.txt"}, {"", ".txt"}};
    for (const auto& [image, list] : names)
        EXPECT_EQ(SuggestedIndexListName(image), list);
}

TEST(IndexList, IsWrittenWhollyOrNotAtAll) {
    TempDir dir;
    std::vector<int> many(1000 * 600);  // about 2.4 MB of text, several blocks
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<int>(i * 7 % 256);
    const clsBitmap big = EightBit(1000, 600, many);
    clsBitmap cut, deep, badWidth, minWidth;
    Load(cut, Bmp().Size(4, 300).Cut(2000).Build());
    Load(deep, Bmp().Bits(24).Build());
    Load(badWidth, Bmp().Set32(kWidth, -5).Build());
    Load(minWidth, Bmp().Set32(kWidth, INT32_MIN).Build());
    const std::string unreadable =
        "The image could not be read, so its color index list cannot be written.";
    const std::string incomplete =
        "The image's pixel data is incomplete, so its color index list cannot be written.";
    struct Case {
        const clsBitmap& bmp;
        fs::path path;
        IndexListResult result;
        std::string error;  // a part of it
    } cases[] = {
        {big, dir / "kept.txt", IndexListResult::Written, ""},
        {deep, dir / "kept.txt", IndexListResult::NotEightBit, ""},
        {cut, dir / "kept.txt", IndexListResult::Failed, incomplete},
        // Regression: the list of a failed load was sized from a negative width
        // turned unsigned, and std::length_error ended the program.
        {badWidth, dir / "kept.txt", IndexListResult::Failed, unreadable},
        {minWidth, dir / "kept.txt", IndexListResult::Failed, unreadable},
        {big, dir / "no folder" / "a.txt", IndexListResult::Failed, "a.txt"},
        {deep, dir / "new.txt", IndexListResult::NotEightBit, ""},
    };
    for (const Case& c : cases) {
        WriteFile(dir / "kept.txt", "old");
        std::string error;
        EXPECT_EQ(WriteColorIndexList(c.bmp, c.path, error), c.result) << c.path;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(ReadFile(dir / "kept.txt"),
                  c.result == IndexListResult::Written ? ColorIndexListText(big) : "old");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"kept.txt"});
    }
    EXPECT_THROW(ColorIndexListText(badWidth), std::out_of_range);
    const MessageRequest m = IndexListFailedMessage("why");
    EXPECT_EQ(m.text, "The color index list could not be saved.\r\nwhy");
    EXPECT_EQ(m.icon, MsgIcon::Error);
}

// Regression: a 60-byte file claiming a width of two billion pixels had an
// 8 GiB row buffer reserved before the missing pixels were noticed.
TEST(IndexList, AWidthFromTheHeaderIsNotAllocatedBeforeThePixelsAreKnownToBeThere) {
#if !defined(__SANITIZE_ADDRESS__)  // an address-space limit does not mix with the sanitizer
    TempDir dir;
    EXPECT_EQ(InChild([&](std::string& r) {
                  const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
                  ::setrlimit(RLIMIT_AS, &limit);
                  clsBitmap bmp;
                  std::string error;
                  Load(bmp, Bmp().Size(4, 1).Set32(kWidth, 0x7FFFFFF0).Build());
                  r = std::to_string(static_cast<int>(WriteColorIndexList(bmp, dir / "a", error)));
              }),
              std::to_string(static_cast<int>(IndexListResult::Failed)));
#endif
}

}  // namespace
}  // namespace tintwell::test
