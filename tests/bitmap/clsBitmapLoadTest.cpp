#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <memory>

#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

// Loads from a heap block of exactly the file's size, so a read past the end
// is caught by the address sanitizer when the tests run under it.
bool LoadExact(clsBitmap& bmp, const std::vector<std::uint8_t>& bytes) {
    std::unique_ptr<std::uint8_t[]> block(new std::uint8_t[bytes.size() ? bytes.size() : 1]);
    if (!bytes.empty()) std::memcpy(block.get(), bytes.data(), bytes.size());
    return bmp.LoadFromByteArray({block.get(), bytes.size()});
}

void ExpectPixelsMatch(const clsBitmap& bmp, const BmpBuilder& b) {
    ASSERT_EQ(bmp.Width(), b.Width());
    ASSERT_EQ(bmp.Height(), b.Height());
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            ASSERT_EQ(static_cast<std::uint32_t>(bmp.GetPixelAt(x, y)), b.PixelValue(x, y))
                << "pixel " << x << "," << y;
}

struct Layout {
    std::int16_t bits;
    bool topDown;
    std::int32_t width;
};

class EveryLayout : public ::testing::TestWithParam<Layout> {};

TEST_P(EveryLayout, LoadsEveryPixelAndPaletteEntry) {
    const Layout l = GetParam();
    const BmpBuilder b = BmpBuilder().Bits(l.bits).TopDown(l.topDown).Size(l.width, 4);
    clsBitmap bmp;
    ASSERT_TRUE(LoadExact(bmp, b.Build())) << bmp.LastError();
    EXPECT_FALSE(bmp.HasError());
    EXPECT_EQ(bmp.BitCount(), l.bits);
    EXPECT_EQ(bmp.RowStride(), b.Stride());
    ExpectPixelsMatch(bmp, b);
    if (l.bits <= 8) {
        EXPECT_EQ(bmp.ColorTableEntryCount(), 1 << l.bits);
        for (int i = 0; i < (1 << l.bits); ++i)
            EXPECT_EQ(bmp.ColorTableEntry(i), b.PaletteColor(i));
    } else {
        EXPECT_EQ(bmp.ColorTableEntryCount(), 0);
        EXPECT_FALSE(bmp.HasColorTable());
    }
}

TEST_P(EveryLayout, RowDataPointsAtTheImageRow) {
    const Layout l = GetParam();
    const BmpBuilder b = BmpBuilder().Bits(l.bits).TopDown(l.topDown).Size(l.width, 4);
    const auto bytes = b.Build();
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(bytes));
    EXPECT_TRUE(bmp.PixelsCoverImage());
    for (int y = 0; y < 4; ++y) {
        const std::uint8_t* row = bmp.RowData(y);
        ASSERT_NE(row, nullptr);
        EXPECT_EQ(0, std::memcmp(row, bytes.data() + b.RowStartInFile(y), bmp.RowDataBytes()));
    }
    EXPECT_EQ(bmp.RowData(4), nullptr);
    EXPECT_EQ(bmp.RowData(-1), nullptr);
}

INSTANTIATE_TEST_SUITE_P(BitsRowOrderAndOddWidths, EveryLayout,
                         ::testing::Values(Layout{1, false, 13}, Layout{1, true, 9},
                                           Layout{4, false, 5}, Layout{4, true, 7},
                                           Layout{8, false, 5}, Layout{8, true, 3},
                                           Layout{24, false, 5}, Layout{24, true, 1},
                                           Layout{32, false, 3}, Layout{32, true, 2},
                                           Layout{8, false, 1}, Layout{1, false, 33}));

TEST(clsBitmapLoad, LoadFromFileMatchesLoadFromBytes) {
    test::TempDir dir;
    const BmpBuilder b = BmpBuilder().Size(7, 5);
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(b.WriteTo(dir / "a.bmp")));
    ExpectPixelsMatch(bmp, b);
    EXPECT_EQ(bmp.ColorTableEntry(200), b.PaletteColor(200));
}

TEST(clsBitmapLoad, MissingFileFailsWithRecordedText) {
    test::TempDir dir;
    clsBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromFile(dir / "none.bmp"));
    EXPECT_NE(bmp.LastError().find("none.bmp"), std::string::npos);
    EXPECT_FALSE(bmp.LoadFromFile(dir.path()));
    EXPECT_TRUE(bmp.HasError());
}

TEST(clsBitmapLoad, NamedPipeIsRefusedWithoutWaiting) {
    test::TempDir dir;
    const auto fifo = dir / "pipe.bmp";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    clsBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromFile(fifo));
    EXPECT_NE(bmp.LastError().find("not a regular file"), std::string::npos);
}

// The colour table follows the information header, whatever its size.
class HeaderSize : public ::testing::TestWithParam<int> {};

TEST_P(HeaderSize, ColorTableIsReadAfterTheInformationHeader) {
    const BmpBuilder b = BmpBuilder().HeaderSize(GetParam());
    clsBitmap bmp;
    ASSERT_TRUE(LoadExact(bmp, b.Build())) << bmp.LastError();
    EXPECT_EQ(bmp.InfoHeader().biSize, GetParam());
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(bmp.ColorTableEntry(i), b.PaletteColor(i)) << i;
    ExpectPixelsMatch(bmp, b);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HeaderSize, ::testing::Values(40, 52, 56, 64, 108, 124));

TEST(clsBitmapLoad, HeaderSmallerThanFortyBytesIsRefused) {
    clsBitmap bmp;
    EXPECT_FALSE(LoadExact(bmp, BmpBuilder().HeaderSize(20).Build()));
    EXPECT_EQ(bmp.LastError(), "Unsupported bitmap header size: 20");
}

TEST(clsBitmapLoad, HeaderOfNoKnownSizeIsRefused) {
    for (int size : {41, 100, 1000}) {
        clsBitmap bmp;
        EXPECT_FALSE(LoadExact(bmp, BmpBuilder().HeaderSize(size).Build()));
        EXPECT_EQ(bmp.LastError(), "Unsupported bitmap header size: " + std::to_string(size));
    }
}

TEST(clsBitmapLoad, ClrUsedZeroReadsAllEntries) {
    const BmpBuilder b;
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(b.Build()));
    EXPECT_EQ(bmp.ActualColorTableEntryCount(), 256);
    EXPECT_EQ(bmp.ColorTableEntry(255), b.PaletteColor(255));
}

TEST(clsBitmapLoad, ClrUsedSixteenLeavesTheRestBlack) {
    const BmpBuilder b = BmpBuilder().ClrUsed(16);
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(b.Build()));
    EXPECT_EQ(bmp.ColorTableEntryCount(), 256);
    EXPECT_EQ(bmp.ActualColorTableEntryCount(), 16);
    EXPECT_EQ(bmp.ColorTableEntry(15), b.PaletteColor(15));
    for (int i = 16; i < 256; ++i)
        EXPECT_EQ(bmp.ColorTableEntry(i), 0u);
    ExpectPixelsMatch(bmp, b);
}

TEST(clsBitmapLoad, ClrUsedAboveTwoToTheBitsReadsTheEntriesThatFit) {
    const BmpBuilder b = BmpBuilder().ClrUsed(300);
    clsBitmap bmp;
    ASSERT_TRUE(LoadExact(bmp, b.Build())) << bmp.LastError();
    EXPECT_EQ(bmp.ColorTableEntryCount(), 256);
    EXPECT_EQ(bmp.ActualColorTableEntryCount(), 256);
    EXPECT_EQ(bmp.ColorTableEntry(255), b.PaletteColor(255));
    EXPECT_THROW(bmp.ColorTableEntry(256), std::out_of_range);
    ExpectPixelsMatch(bmp, b);
}

TEST(clsBitmapLoad, PaletteReservedByteIsIgnored) {
    const BmpBuilder b = BmpBuilder().PaletteReserved(0x42);
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(b.Build()));
    EXPECT_EQ(bmp.ColorTableEntry(3), b.PaletteColor(3));
    EXPECT_EQ(bmp.ColorTableEntry(3) >> 24, 0u);
}

TEST(clsBitmapLoadErrors, RecordsTheTextOfEachRefusal) {
    struct Case {
        BmpBuilder builder;
        std::string text;
    };
    std::vector<std::uint8_t> notBm = BmpBuilder().Build();
    notBm[1] = 'A';
    clsBitmap tag;
    EXPECT_FALSE(LoadExact(tag, notBm));
    EXPECT_EQ(tag.LastError(), "Did not find bitmap file tag.");

    const Case cases[] = {
        {BmpBuilder().Compression(2), "Unsupported compression type: 0x2"},
        {BmpBuilder().Compression(3), "Unsupported compression type: 0x3"},
        {BmpBuilder().Compression(-1), "Unsupported compression type: 0xFFFFFFFF"},
        {BmpBuilder().Bits(16), "Unsupported bit count: 16"},
        {BmpBuilder().Bits(2), "Unsupported bit count: 2"},
        {BmpBuilder().Bits(0), "Unsupported bit count: 0"},
        {BmpBuilder().BfSize(0), "Pixel data had an invalid length: -1078"},
        {BmpBuilder().BfSize(1078), "Pixel data had an invalid length: 0"},
        {BmpBuilder().BfOffBits(5000).BfSize(6000),
         "Pixel data offset lies outside the file: 5000"},
        {BmpBuilder().BfOffBits(-8).BfSize(100), "Pixel data offset lies outside the file: -8"},
        {BmpBuilder().BfSize(INT32_MAX).BfOffBits(INT32_MIN),
         "Pixel data offset lies outside the file: -2147483648"},
        {BmpBuilder().BfSize(INT32_MIN).BfOffBits(INT32_MAX),
         "Pixel data had an invalid length: -4294967295"},
        {BmpBuilder().BiWidthField(-5), "Invalid image width: -5"},
        {BmpBuilder().BiHeightField(INT32_MIN), "Invalid image height: -2147483648"},
        {BmpBuilder().Bits(32).BiWidthField(INT32_MAX).BiHeightField(INT32_MAX),
         "Image is too large to address: 2147483647 x 2147483647"},
    };
    for (const Case& c : cases) {
        clsBitmap bmp;
        EXPECT_FALSE(LoadExact(bmp, c.builder.Build())) << c.text;
        EXPECT_EQ(bmp.LastError(), c.text);
    }
}

TEST(clsBitmapLoadErrors, FailedLoadLeavesThePartsItReached) {
    std::vector<std::uint8_t> notBm = BmpBuilder().Build();
    notBm[0] = 'X';
    clsBitmap tag;
    EXPECT_FALSE(tag.LoadFromByteArray(notBm));
    EXPECT_EQ(tag.FileHeader().bfType, 0x4D58);
    EXPECT_EQ(tag.Width(), 0);

    clsBitmap bits;
    EXPECT_FALSE(bits.LoadFromByteArray(BmpBuilder().Bits(16).Size(10, 2).Build()));
    EXPECT_EQ(bits.BitCount(), 16);
    EXPECT_EQ(bits.Width(), 10);
    EXPECT_EQ(bits.RowStride(), 20);
    EXPECT_TRUE(bits.Pixels().empty());
    EXPECT_THROW(bits.GetPixelAt(0, 0), std::out_of_range);

    clsBitmap length;
    const BmpBuilder b = BmpBuilder().BfSize(0);
    EXPECT_FALSE(length.LoadFromByteArray(b.Build()));
    EXPECT_EQ(length.ColorTableEntry(7), b.PaletteColor(7));
    EXPECT_TRUE(length.Pixels().empty());
}

TEST(clsBitmapLoadErrors, EmptyAndShortHeadersAreRefused) {
    clsBitmap empty;
    EXPECT_FALSE(LoadExact(empty, {}));
    EXPECT_EQ(empty.LastError(), "Did not find bitmap file tag.");
    clsBitmap shortHeader;
    EXPECT_FALSE(LoadExact(shortHeader, BmpBuilder().TruncateTo(40).Build()));
    EXPECT_EQ(shortHeader.LastError(), "Bitmap header is cut short.");
}

TEST(clsBitmapLoad, HugeHeaderSizesAllocateNothingBeyondTheFile) {
    // The image claims 2^31 - 1 rows of 16383 bytes; only the bytes the file
    // holds are taken and the pixel bytes do not cover the image.
    clsBitmap bmp;
    ASSERT_TRUE(LoadExact(bmp, BmpBuilder().BiWidthField(16383).BiHeightField(INT32_MAX).Build()))
        << bmp.LastError();
    EXPECT_LT(bmp.Pixels().size(), 100u);
    EXPECT_FALSE(bmp.PixelsCoverImage());
    EXPECT_EQ(bmp.RowData(0), nullptr);
    EXPECT_THROW(bmp.GetPixelAt(0, 0), std::out_of_range);
}

TEST(clsBitmapLoad, BfSizeBeyondTheEndTakesTheBytesThatAreThere) {
    const BmpBuilder b = BmpBuilder().BfSize(1000000);
    clsBitmap bmp;
    ASSERT_TRUE(LoadExact(bmp, b.Build())) << bmp.LastError();
    EXPECT_EQ(bmp.Pixels().size(), static_cast<std::size_t>(b.Stride() * b.Height()));
    ExpectPixelsMatch(bmp, b);
}

TEST(clsBitmapLoad, PixelDataCutShortLoadsButDoesNotCoverTheImage) {
    const BmpBuilder b = BmpBuilder().Size(8, 4);
    const auto full = b.Build();
    clsBitmap bmp;
    ASSERT_TRUE(LoadExact(bmp, BmpBuilder(b).TruncateTo(full.size() - 3).Build()));
    EXPECT_FALSE(bmp.PixelsCoverImage());
    // Bottom-up: the image's top row is the last stored one and is incomplete.
    EXPECT_EQ(bmp.RowData(0), nullptr);
    ASSERT_NE(bmp.RowData(3), nullptr);
    EXPECT_EQ(static_cast<std::uint32_t>(bmp.GetPixelAt(4, 0)), b.PixelValue(4, 0));
    EXPECT_THROW(bmp.GetPixelAt(5, 0), std::out_of_range);
}

// Every length of a good file: no crash, no read past the end (under the
// sanitizer), and a load that succeeds yields the pixels it holds.
TEST(clsBitmapLoad, TruncationSweepNeverReadsPastTheEnd) {
    for (const BmpBuilder& b :
         {BmpBuilder().Size(5, 3), BmpBuilder().Bits(4).Size(3, 2).HeaderSize(108),
          BmpBuilder().Bits(24).Size(3, 3).TopDown(), BmpBuilder().Bits(1).Size(9, 2)}) {
        const auto full = b.Build();
        for (std::size_t n = 0; n <= full.size(); ++n) {
            clsBitmap bmp;
            const std::vector<std::uint8_t> part(full.begin(), full.begin() + n);
            const bool ok = LoadExact(bmp, part);
            EXPECT_EQ(ok, !bmp.HasError()) << n;
            if (ok) {
                EXPECT_LE(bmp.Pixels().size(), n);
                if (n == full.size()) ExpectPixelsMatch(bmp, b);
            }
        }
    }
}

TEST(clsBitmapLoad, TruncatedFilesLoadFromDiskWithoutCrashing) {
    test::TempDir dir;
    const auto full = BmpBuilder().Build();
    for (std::size_t n : {std::size_t{0}, std::size_t{1}, std::size_t{17}, std::size_t{53},
                          std::size_t{54}, std::size_t{600}, std::size_t{1078}, full.size() - 1}) {
        const auto path = dir / (std::to_string(n) + ".bmp");
        BmpBuilder::WriteFile(path, {full.begin(), full.begin() + n});
        clsBitmap bmp;
        const bool ok = bmp.LoadFromFile(path);
        EXPECT_EQ(ok, n == full.size() - 1) << n << ": " << bmp.LastError();
    }
}

TEST(clsBitmapErrors, ANewObjectHasNoError) {
    clsBitmap failed;
    EXPECT_FALSE(failed.LoadFromByteArray(BmpBuilder().Bits(16).Build()));
    clsBitmap good;
    EXPECT_TRUE(good.LoadFromByteArray(BmpBuilder().Build()));
    EXPECT_FALSE(good.HasError());
    EXPECT_TRUE(good.LastError().empty());
}

TEST(clsBitmapErrors, SuccessKeepsAnEarlierErrorUntilCleared) {
    clsBitmap bmp;
    EXPECT_FALSE(bmp.LoadFromByteArray(BmpBuilder().Bits(16).Build()));
    EXPECT_TRUE(bmp.LoadFromByteArray(BmpBuilder().Build()));
    EXPECT_EQ(bmp.LastError(), "Unsupported bit count: 16");
    bmp.ClearError();
    EXPECT_FALSE(bmp.HasError());
}

}  // namespace
}  // namespace tintwell
