#include <gtest/gtest.h>
#include <sys/resource.h>

#include <random>

#include "core/ColorMapHistory.h"
#include "core/IndexCounts.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

std::string Bytes(const clsBitmap& b) {
    return {b.Pixels().begin(), b.Pixels().end()};
}

void ExpectAsReference(const Bmp& b, const ColorMap& map, SelectionRect s, bool outside) {
    clsBitmap fast, slow;
    Load(fast, b.Build());
    Load(slow, b.Build());
    RecolorBitmap(fast, map, s, outside);
    ReferenceRecolor(slow, map, s, outside);
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
                    ExpectAsReference(Bmp().Size(7, 5).Bits(bits).TopDown(topDown), Inverted(), s,
                                      outside);
                    ExpectAsReference(Bmp().Size(7, 5).TopDown(topDown), chain, s, outside);
                }
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pos(-4, 14), size(-2, 16);
    for (int i = 0; i < 300; ++i)
        ExpectAsReference(Bmp().Size(11, 9), Inverted(), {pos(rng), pos(rng), size(rng), size(rng)},
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
                ExpectAsReference(b, Inverted(), {}, false);
                ExpectAsReference(b, Inverted(), {1, 1, 100, 100}, true);
                ExpectAsReference(b, Inverted(), {0, 2, 8, 1}, false);
                ExpectAsReference(
                    Bmp(full).Set32(kHeight, topDown ? -2'000'000'000 : 2'000'000'000), Inverted(),
                    {0, topDown ? 1 : 1'999'999'998, 3, 1}, false);
            }
}

// Every pixel the bytes hold counts once for its index, at every palette
// depth; an image without a palette has no counts.
TEST(IndexCounts, CountEachHeldPixelOnceForItsIndex) {
    for (int bits : {1, 4, 8})
        for (bool cut : {false, true}) {  // cut: the top row is not held
            const Bmp b = Bmp().Bits(bits).Size(7, 3);
            const clsBitmap bmp = Loaded(Bmp(b).Cut(b.Build().size() - (cut ? b.Stride() : 0)));
            std::vector<std::int64_t> expected(256);
            for (int y = cut; y < 3; ++y)
                for (int x = 0; x < 7; ++x)
                    ++expected[b.Pixel(x, y)];
            EXPECT_EQ(CountIndices(bmp), expected) << bits << " bits, cut " << cut;
        }
    EXPECT_EQ(CountIndices(Loaded(Bmp().Bits(24))), std::vector<std::int64_t>());
}

TEST(ColorMap, EditsAreUndoneUpToTheHistorysLimitAndSetTheChangedFlag) {
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
    EXPECT_TRUE(three.Redo());
    EXPECT_EQ(small.Entry(148), 0);
    for (undone = 0; standard.Undo();)
        ++undone;
    EXPECT_EQ(undone, 150);
    EXPECT_TRUE(large.IsIdentity());
    ColorMap map;  // an edit sets the changed flag; loading (SetEntry) does not, Reset does
    map.SetEntry(0, 255);
    const bool loaded = map.ColorMapChanged();
    map.SetMapping(1, 2);
    const bool edited = map.ColorMapChanged();
    map.Reset();
    EXPECT_EQ(std::to_string(loaded) + std::to_string(edited) + std::to_string(map.IsIdentity()) +
                  std::to_string(map.ColorMapChanged()),
              "0111");
    EXPECT_THROW(map.Entry(256), std::out_of_range);
    EXPECT_THROW(map.Entry(-1), std::out_of_range);
}

clsBitmap EightBit(int w, int h, std::vector<int> indices) {
    return Loaded(Bmp().Size(w, h).Pixels([=](int x, int y) { return indices[y * w + x]; }));
}

TEST(IndexList, IsWrittenWhollyOrNotAtAll) {
    TempDir dir;
    std::vector<int> many(87381 * 3);  // the text fills its first block exactly
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<int>(i * 7 % 256);
    const clsBitmap big = EightBit(87381, 3, many);
    EXPECT_EQ(ColorIndexListText(big).size(), 3u * (87381 * 4 + 2));
    const clsBitmap cut = Loaded(Bmp().Size(4, 300).Cut(2000)), deep = Loaded(Bmp().Bits(24)),
                    badWidth = Loaded(Bmp().Set32(kWidth, -5)),
                    minWidth = Loaded(Bmp().Set32(kWidth, INT32_MIN));
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
    std::string none = "none";  // an image without rows has an empty list
    EXPECT_EQ(WriteColorIndexList(Loaded(Bmp().Size(3, 0)), dir / "none", none),
              IndexListResult::Written)
        << none;
    EXPECT_EQ(ColorIndexListText(EightBit(3, 1, {0, 12, 255})) + ColorIndexListText(deep),
              "  0, 12,255,\r\n");  // fields of four from the top row; nothing for 24 bits
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
                  std::string error;
                  const clsBitmap wide = Loaded(Bmp().Size(4, 1).Set32(kWidth, 0x7FFFFFF0));
                  r = std::to_string(static_cast<int>(WriteColorIndexList(wide, dir / "a", error)));
                  // Regression: a stream of one run under a row of 2^28 pixels
                  // was decoded whole, and its row of text held whole.
                  WriteFile(dir / "rle.bmp", Bmp().Size(1 << 28, 1).Rle({3, 7, 0, 1}).Build());
                  clsBitmap rle;
                  rle.LoadFromFile(dir / "rle.bmp", BitmapParts::Layout);
                  std::string start;
                  std::int64_t bytes = 0;
                  WriteColorIndexRows(
                      rle,
                      [&](const std::string& block) {
                          if (start.empty()) start = block.substr(0, 20);
                          return bytes += std::int64_t(block.size()), true;
                      },
                      error);
                  r += " " + start + std::to_string(bytes) + error;
              }),
              std::to_string(static_cast<int>(IndexListResult::Failed)) + "   7,  7,  7,  0,  0," +
                  std::to_string((std::int64_t{4} << 28) + 2));
#endif
}

// A stream is read from marks of the parser's state that thin out to every
// other one past 4096 pieces (64 MiB): rows behind that still read right.
TEST(IndexList, RowsBehindAStreamLongerThanItsMarksAreReadRight) {
    TempDir dir;
    std::string stream{2, 5, 0, 0};  // the bottom row, then moves that go nowhere
    for (int i = 0; i < (66 << 18); ++i)
        stream += std::string{0, 2, 0, 0};
    WriteFile(dir / "long.bmp", Bmp().Size(2, 2).Rle(stream + std::string{2, 9, 0, 1}).Build());
    clsBitmap rle;
    ASSERT_TRUE(rle.LoadFromFile(dir / "long.bmp", BitmapParts::Layout)) << rle.LastError();
    std::string text, error;
    EXPECT_TRUE(WriteColorIndexRows(
        rle, [&](const std::string& block) { return text += block, true; }, error))
        << error;
    EXPECT_EQ(text, "  9,  9,\r\n  5,  5,\r\n");
}

}  // namespace
}  // namespace tintwell::test
