// RLE8 and RLE4 streams decoded: every escape, and every kind of damage, which
// stops the decoding where it is found and is never written back.
#include <gtest/gtest.h>

#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;

struct Stream {
    const char* name;
    int bits, width, height;
    Bytes stream;
    Bytes pixels;        // in stream order: the bottom row first
    const char* damage;  // a part of the text, or "" for a whole stream
    int length;          // bytes up to the end mark (whole streams)
};

const char* const kRow = "past the end of its row";
const char* const kLast = "past the last row";
const char* const kDelta = "delta";
const char* const kNoEnd = "without its end-of-bitmap mark";
const char* const kCut = "cut short";

// clang-format off
const Stream kStreams[] = {
    {"RunsAndEndOfLine", 8, 4, 2, {3, 5, 1, 6, 0, 0, 2, 7, 0, 1, 0xAA},
     {5, 5, 5, 6, 7, 7, 0, 0}, "", 10},
    {"AbsoluteRunsArePaddedToAWord", 8, 4, 2, {0, 3, 1, 2, 3, 0xEE, 1, 9, 0, 0, 0, 4, 4, 3, 2, 1, 0, 1},
     {1, 2, 3, 9, 4, 3, 2, 1}, "", 18},
    {"DeltaLeavesSkippedPixelsAtZero", 8, 4, 2, {1, 5, 0, 2, 1, 1, 1, 6, 0, 1},
     {5, 0, 0, 0, 0, 0, 6, 0}, "", 10},
    {"EarlyEndLeavesTheRestAtZero", 8, 4, 2, {2, 8, 0, 1}, {8, 8, 0, 0, 0, 0, 0, 0}, "", 4},
    {"EndOfLineOnTheLastRow", 8, 2, 2, {2, 1, 0, 0, 2, 2, 0, 0, 0, 1}, {1, 1, 2, 2}, "", 10},
    {"RunPastTheRowEnd", 8, 4, 2, {5, 3, 0, 1}, {3, 3, 3, 3, 0, 0, 0, 0}, kRow, 0},
    {"AbsoluteRunPastTheRowEnd", 8, 4, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, {1, 2, 3, 4}, kRow, 0},
    {"RunPastTheLastRow", 8, 2, 1, {2, 4, 0, 0, 1, 1, 0, 1}, {4, 4}, kLast, 0},
    {"EndOfLinePastTheLastRow", 8, 2, 1, {0, 0, 0, 0, 0, 1}, {0, 0}, kLast, 0},
    {"DeltaPastTheRowEnd", 8, 4, 2, {0, 2, 5, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0}, kDelta, 0},
    {"DeltaPastTheLastRow", 8, 4, 2, {1, 9, 0, 2, 0, 2, 0, 1}, {9, 0, 0, 0, 0, 0, 0, 0}, kDelta, 0},
    {"MissingEndOfBitmap", 8, 2, 2, {2, 1, 0, 0, 2, 2}, {1, 1, 2, 2}, kNoEnd, 0},
    {"OnlyAnEndOfLine", 8, 2, 1, {0, 0}, {0, 0}, kNoEnd, 0},
    {"CutInsideARun", 8, 2, 1, {2, 1, 0}, {1, 1}, kCut, 0},
    {"CutInsideADelta", 8, 2, 2, {0, 2, 1}, {0, 0, 0, 0}, kCut, 0},
    {"CutInsideAnAbsoluteRun", 8, 4, 1, {0, 4, 1, 2, 3}, {0, 0, 0, 0}, kCut, 0},
    {"Rle4RunsAlternateTheNibbles", 4, 5, 2, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1},
     {1, 2, 1, 2, 1, 3, 4, 5, 6, 7}, "", 12},
    {"Rle4AbsoluteRunIsPaddedToAWord", 4, 5, 1, {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 1},
     {1, 2, 3, 4, 5}, "", 8},
    {"Rle4RunPastTheRowEnd", 4, 3, 1, {4, 0x12, 0, 1}, {1, 2, 1}, kRow, 0},
};
// clang-format on

class RleDecode : public ::testing::TestWithParam<Stream> {};

TEST_P(RleDecode, GivesThePixelsAndTheDamage) {
    const Stream& s = GetParam();
    const Bytes file = BmpBuilder().Size(s.width, s.height).Bits(s.bits).Rle(s.stream).Build();
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(file)) << bmp.LastError();
    for (int i = 0; i < s.width * s.height; ++i)
        EXPECT_EQ(bmp.GetPixelAt(i % s.width, s.height - 1 - i / s.width), s.pixels[i]) << i;
    EXPECT_NE(bmp.StreamDamage().find(s.damage), std::string::npos) << bmp.StreamDamage();
    EXPECT_EQ(bmp.StreamDamage().empty(), *s.damage == 0);
    if (!*s.damage) EXPECT_EQ(bmp.PixelDataBytes(), s.length);

    // Read through without holding the image: the same length and damage.
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "a.bmp", file);
    clsBitmap layout;
    ASSERT_TRUE(layout.LoadFromFile(dir / "a.bmp", BitmapParts::Layout));
    EXPECT_TRUE(layout.Pixels().empty());
    EXPECT_EQ(layout.StreamDamage(), bmp.StreamDamage());
    EXPECT_EQ(layout.PixelDataBytes(), bmp.PixelDataBytes());
    // A damaged stream, and any RLE4 stream, is never written back.
    EXPECT_EQ(bmp.SaveAsFile(dir / "b.bmp"), s.bits == 8 && !*s.damage) << bmp.LastError();
}

INSTANTIATE_TEST_SUITE_P(Streams, RleDecode, ::testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tintwell
