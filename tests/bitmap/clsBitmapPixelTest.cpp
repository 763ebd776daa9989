#include <gtest/gtest.h>

#include <stdexcept>

#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

clsBitmap Loaded(const BmpBuilder& b) {
    clsBitmap bmp;
    EXPECT_TRUE(bmp.LoadFromByteArray(b.Build())) << bmp.LastError();
    return bmp;
}

// A one-row image whose bytes are given directly.
clsBitmap OneRow(std::int16_t bits, int width, std::vector<std::uint8_t> row) {
    clsBitmap bmp;
    EXPECT_TRUE(bmp.CreateNew(width, 1, bits));
    std::copy(row.begin(), row.end(), bmp.MutablePixels().begin());
    return bmp;
}

TEST(clsBitmapPixels, OneBitPixelsRunFromTheTopBit) {
    clsBitmap bmp = OneRow(1, 16, {0b10000001, 0b10000000});
    EXPECT_EQ(bmp.GetPixelAt(0, 0), 1);
    EXPECT_EQ(bmp.GetPixelAt(1, 0), 0);
    EXPECT_EQ(bmp.GetPixelAt(7, 0), 1);
    EXPECT_EQ(bmp.GetPixelAt(8, 0), 1);
    EXPECT_EQ(bmp.GetPixelAt(9, 0), 0);
    bmp.SetPixelAt(9, 0, 3);  // masked to 1
    EXPECT_EQ(bmp.Pixels()[1], 0b11000000);
    bmp.SetPixelAt(0, 0, 0);
    EXPECT_EQ(bmp.Pixels()[0], 0b00000001);
}

TEST(clsBitmapPixels, FourBitEvenColumnIsTheHighNibble) {
    clsBitmap bmp = OneRow(4, 4, {0xAB, 0xCD});
    EXPECT_EQ(bmp.GetPixelAt(0, 0), 0xA);
    EXPECT_EQ(bmp.GetPixelAt(1, 0), 0xB);
    EXPECT_EQ(bmp.GetPixelAt(3, 0), 0xD);
    bmp.SetPixelAt(1, 0, 0x1F);
    EXPECT_EQ(bmp.Pixels()[0], 0xAF);
    bmp.SetPixelAt(2, 0, 0x3);
    EXPECT_EQ(bmp.Pixels()[1], 0x3D);
}

TEST(clsBitmapPixels, RowZeroIsTheTopRowInBothOrders) {
    clsBitmap up = Loaded(BmpBuilder().Size(5, 10).Pixels([](int x, int y) { return y * 10 + x; }));
    EXPECT_EQ(up.RowStride(), 8);
    EXPECT_EQ(up.Pixels()[9 * 8], 0);
    EXPECT_EQ(up.GetPixelAt(0, 0), 0);
    EXPECT_EQ(up.GetPixelAt(2, 9), 92);
    EXPECT_EQ(up.Pixels()[2], 92);
    clsBitmap down =
        Loaded(BmpBuilder().Size(5, 10).TopDown().Pixels([](int x, int y) { return y * 10 + x; }));
    EXPECT_EQ(down.Height(), 10);
    EXPECT_EQ(down.Pixels()[0], 0);
    EXPECT_EQ(down.Pixels()[9 * 8 + 2], 92);
}

TEST(clsBitmapPixels, EightBitValueOutside0To255OverflowsAndKeepsTheByte) {
    clsBitmap bmp = Loaded(BmpBuilder().Pixels([](int, int) { return 42; }));
    EXPECT_THROW(bmp.SetPixelAt(1, 1, 256), std::overflow_error);
    EXPECT_THROW(bmp.SetPixelAt(1, 1, -1), std::overflow_error);
    EXPECT_EQ(bmp.GetPixelAt(1, 1), 42);
    bmp.SetPixelAt(1, 1, 255);
    EXPECT_EQ(bmp.GetPixelAt(1, 1), 255);
}

TEST(clsBitmapPixels, TwentyFourBitStoresBlueGreenRed) {
    clsBitmap bmp;
    ASSERT_TRUE(bmp.CreateNew(2, 1, 24));
    bmp.SetPixelAt(1, 0, 0x00112233);  // red 0x33, green 0x22, blue 0x11
    EXPECT_EQ(bmp.Pixels()[3], 0x11);
    EXPECT_EQ(bmp.Pixels()[4], 0x22);
    EXPECT_EQ(bmp.Pixels()[5], 0x33);
    EXPECT_EQ(bmp.GetPixelAt(1, 0), 0x00112233);
}

TEST(clsBitmapPixels, ThirtyTwoBitSetsTheFourthByteTo255) {
    clsBitmap bmp = Loaded(BmpBuilder().Bits(32).Size(2, 1).AlphaByte(0x10));
    EXPECT_EQ(bmp.Pixels()[7], 0x10);
    bmp.SetPixelAt(1, 0, 0x00ABCDEF);
    EXPECT_EQ(bmp.Pixels()[7], 0xFF);
    EXPECT_EQ(bmp.GetPixelAt(1, 0), 0x00ABCDEF);
}

TEST(clsBitmapPixels, AccessOutsideThePixelBytesThrowsOutOfRange) {
    clsBitmap bmp = Loaded(BmpBuilder().Size(5, 3));
    EXPECT_THROW(bmp.GetPixelAt(0, 3), std::out_of_range);
    EXPECT_THROW(bmp.GetPixelAt(0, -1), std::out_of_range);
    EXPECT_THROW(bmp.SetPixelAt(8, 0, 1), std::out_of_range);  // past the last stored byte
    clsBitmap one = OneRow(1, 8, {0xFF});
    EXPECT_THROW(one.GetPixelAt(-1, 0), std::out_of_range);
    clsBitmap rgb = Loaded(BmpBuilder().Bits(24).Size(1, 1));
    EXPECT_THROW(rgb.GetPixelAt(1, 0), std::out_of_range);  // needs bytes 3..5 of 4
    clsBitmap empty;
    EXPECT_THROW(empty.GetPixelAt(0, 0), std::out_of_range);
    EXPECT_THROW(empty.ColorTableEntry(0), std::out_of_range);
}

TEST(clsBitmapColorTable, EntriesAreStoredUnchanged) {
    clsBitmap bmp = Loaded(BmpBuilder());
    bmp.SetColorTableEntry(5, 0x000000FF);
    EXPECT_EQ(bmp.ColorTableEntry(5), 0x000000FFu);
    EXPECT_THROW(bmp.SetColorTableEntry(256, 0), std::out_of_range);
    EXPECT_THROW(bmp.ColorTableEntry(-1), std::out_of_range);
    clsBitmap rgb = Loaded(BmpBuilder().Bits(24));
    EXPECT_THROW(rgb.ColorTableEntry(0), std::out_of_range);
}

TEST(clsBitmapCreateNew, MakesABlackZeroedImage) {
    clsBitmap bmp;
    ASSERT_TRUE(bmp.CreateNew(10, 10, 8));
    EXPECT_EQ(bmp.RowStride(), 12);
    EXPECT_EQ(bmp.Pixels().size(), 120u);
    for (std::uint8_t b : bmp.Pixels())
        ASSERT_EQ(b, 0);
    EXPECT_EQ(bmp.ColorTableEntryCount(), 256);
    EXPECT_EQ(bmp.ColorTableEntry(255), 0u);
    EXPECT_EQ(bmp.InfoHeader().biClrUsed, 256);
    EXPECT_EQ(bmp.FileHeader().bfSize, 1078 + 120);
}

TEST(clsBitmapCreateNew, NegativeHeightIsTopDownAndEmptySizesHoldOneByte) {
    clsBitmap bmp;
    ASSERT_TRUE(bmp.CreateNew(3, -2, 24));
    EXPECT_TRUE(bmp.IsTopDown());
    EXPECT_EQ(bmp.Height(), 2);
    EXPECT_EQ(bmp.Pixels().size(), 24u);
    clsBitmap none;
    ASSERT_TRUE(none.CreateNew(0, 0, 8));
    EXPECT_EQ(none.Pixels().size(), 1u);
}

TEST(clsBitmapCreateNew, UnsupportedBitCountFails) {
    clsBitmap bmp;
    EXPECT_FALSE(bmp.CreateNew(10, 10, 16));
    EXPECT_EQ(bmp.LastError(), "Unsupported bit count: 16");
}

TEST(clsBitmapCopy, IsIndependentOfItsSource) {
    clsBitmap src = Loaded(BmpBuilder().Pixels([](int, int) { return 9; }));
    auto copy = src.CreateCopy();
    ASSERT_TRUE(copy);
    copy->SetPixelAt(0, 0, 77);
    copy->SetColorTableEntry(0, 0x123456);
    EXPECT_EQ(src.GetPixelAt(0, 0), 9);
    EXPECT_NE(src.ColorTableEntry(0), 0x123456u);
    EXPECT_EQ(copy->GetPixelAt(1, 0), 9);
}

TEST(clsBitmapCopy, CarriesTheHeadersASaveWouldWrite) {
    clsBitmap src = Loaded(BmpBuilder().ClrUsed(0).HeaderSize(108));
    auto copy = src.CreateCopy();
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->InfoHeader().biClrUsed, 256);
    EXPECT_EQ(copy->InfoHeader().biSize, 40);
    EXPECT_EQ(copy->FileHeader().bfOffBits, 1078);
    EXPECT_EQ(copy->ColorTableEntryCount(), 256);
    EXPECT_FALSE(copy->HasError());
}

TEST(clsBitmapCopy, UnsupportedBitCountGivesNoObject) {
    clsBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromByteArray(BmpBuilder().Bits(16).Build()));
    EXPECT_EQ(bmp.CreateCopy(), nullptr);
}

}  // namespace
}  // namespace tintwell
