#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>

#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;
namespace fs = std::filesystem;

std::int32_t At32(const std::vector<std::uint8_t>& b, std::size_t o) {
    std::int32_t v;
    std::memcpy(&v, b.data() + o, 4);
    return v;
}
std::uint16_t At16(const std::vector<std::uint8_t>& b, std::size_t o) {
    return static_cast<std::uint16_t>(b[o] | (b[o + 1] << 8));
}

// Loads `b`, saves it (or a copy, which has a fresh header) and returns the saved bytes.
std::vector<std::uint8_t> RoundTrip(const BmpBuilder& b, const fs::path& path, bool copy = false) {
    clsBitmap bmp;
    EXPECT_TRUE(bmp.LoadFromByteArray(b.Build())) << bmp.LastError();
    EXPECT_TRUE((copy ? *bmp.CreateCopy() : bmp).SaveAsFile(path)) << bmp.LastError();
    return BmpBuilder::ReadFile(path);
}

TEST(clsBitmapSave, WritesTheHeaderFieldsASaveDerives) {
    test::TempDir dir;
    const auto out = RoundTrip(BmpBuilder().ClrUsed(16).Size(5, 3), dir / "a.bmp", true);
    ASSERT_EQ(out.size(), 1078u + 8 * 3);
    EXPECT_EQ(At16(out, 0), 0x4D42);
    EXPECT_EQ(At32(out, 2), 1078 + 24);  // bfSize
    EXPECT_EQ(At32(out, 6), 0);          // both reserved words
    EXPECT_EQ(At32(out, 10), 1078);      // bfOffBits
    EXPECT_EQ(At32(out, 14), 40);        // biSize
    EXPECT_EQ(At32(out, 18), 5);
    EXPECT_EQ(At32(out, 22), 3);
    EXPECT_EQ(At16(out, 26), 1);
    EXPECT_EQ(At16(out, 28), 8);
    EXPECT_EQ(At32(out, 30), 0);
    EXPECT_EQ(At32(out, 34), 0);     // biSizeImage
    EXPECT_EQ(At32(out, 38), 3780);  // resolution: 96 dpi in pixels per metre
    EXPECT_EQ(At32(out, 42), 3780);
    EXPECT_EQ(At32(out, 46), 256);  // biClrUsed
    EXPECT_EQ(At32(out, 50), 0);
}

TEST(clsBitmapSave, ColorTableEntriesGetTheReservedByte255) {
    test::TempDir dir;
    const BmpBuilder b = BmpBuilder().PaletteReserved(0);
    const auto out = RoundTrip(b, dir / "a.bmp", true);
    for (int i = 0; i < 256; ++i) {
        const std::uint32_t c = b.PaletteColor(i);
        ASSERT_EQ(out[54 + 4 * i], static_cast<std::uint8_t>(c >> 16)) << i;
        ASSERT_EQ(out[54 + 4 * i + 1], static_cast<std::uint8_t>(c >> 8)) << i;
        ASSERT_EQ(out[54 + 4 * i + 2], static_cast<std::uint8_t>(c)) << i;
        ASSERT_EQ(out[54 + 4 * i + 3], 0xFF) << i;
    }
}

TEST(clsBitmapSave, LargeHeaderIsSavedAsFortyBytesWithItsPalette) {
    test::TempDir dir;
    const BmpBuilder b = BmpBuilder().HeaderSize(124).Size(3, 2);
    const auto out = RoundTrip(b, dir / "a.bmp", true);
    EXPECT_EQ(At32(out, 14), 40);
    EXPECT_EQ(At32(out, 10), 1078);
    clsBitmap again;
    ASSERT_TRUE(again.LoadFromByteArray(out));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(again.ColorTableEntry(i), b.PaletteColor(i));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(static_cast<std::uint32_t>(again.GetPixelAt(x, y)), b.PixelValue(x, y));
}

TEST(clsBitmapSave, PixelBytesAndPaddingAreWrittenUnchanged) {
    test::TempDir dir;
    for (const BmpBuilder& b :
         {BmpBuilder().Size(5, 3), BmpBuilder().Bits(4).Size(3, 3),
          BmpBuilder().Bits(1).Size(11, 2).TopDown(), BmpBuilder().Bits(24).Size(3, 2)}) {
        const auto in = b.Build();
        const auto out = RoundTrip(b, dir / "a.bmp");
        const std::size_t pixels = static_cast<std::size_t>(b.Stride() * b.Height());
        ASSERT_EQ(out.size(), (b.BitCount() <= 8 ? 54 + (4u << b.BitCount()) : 54) + pixels);
        EXPECT_TRUE(std::equal(in.end() - pixels, in.end(), out.end() - pixels));
    }
}

TEST(clsBitmapSave, TopDownKeepsItsNegativeHeight) {
    test::TempDir dir;
    const auto out = RoundTrip(BmpBuilder().TopDown().Size(4, 6), dir / "a.bmp");
    EXPECT_EQ(At32(out, 22), -6);
}

TEST(clsBitmapSave, TwentyFourBitHasNoColorTable) {
    test::TempDir dir;
    const auto out = RoundTrip(BmpBuilder().Bits(24).Size(2, 2), dir / "a.bmp");
    EXPECT_EQ(At32(out, 10), 54);
    EXPECT_EQ(At32(out, 46), 0);
    EXPECT_EQ(out.size(), 54u + 16);
}

TEST(clsBitmapSave, BytesInsideAndBeyondBfSizeSurvive) {
    test::TempDir dir;
    const BmpBuilder b = BmpBuilder().Size(4, 2).Trailing({1, 2, 3}).AfterEnd({9, 9});
    EXPECT_EQ(RoundTrip(b, dir / "a.bmp"), b.Build());
}

TEST(clsBitmapSave, OverALongerFileLeavesExactlyTheNewLength) {
    test::TempDir dir;
    const fs::path path = dir / "a.bmp";
    BmpBuilder::WriteFile(path, std::vector<std::uint8_t>(100000, 7));
    const auto out = RoundTrip(BmpBuilder().Size(2, 2), path);
    EXPECT_EQ(out.size(), 1078u + 8);
    EXPECT_EQ(fs::file_size(path), 1078u + 8);
}

TEST(clsBitmapSave, SymbolicLinkStaysALink) {
    test::TempDir dir;
    const fs::path real = BmpBuilder().Size(3, 3).WriteTo(dir / "real.bmp");
    fs::create_symlink("real.bmp", dir / "link.bmp");
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromFile(dir / "link.bmp"));
    bmp.SetPixelAt(0, 0, 200);
    ASSERT_TRUE(bmp.SaveAsFile(dir / "link.bmp")) << bmp.LastError();
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    clsBitmap again;
    ASSERT_TRUE(again.LoadFromFile(real));
    EXPECT_EQ(again.GetPixelAt(0, 0), 200);
}

TEST(clsBitmapSave, FailureIsRecordedAndCreatesNothing) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "plain", {1, 2, 3});
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(BmpBuilder().Build()));
    // A folder that cannot exist: its parent is a regular file.
    EXPECT_FALSE(bmp.SaveAsFile(dir / "plain" / "a.bmp"));
    EXPECT_NE(bmp.LastError().find("a.bmp"), std::string::npos);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "plain"), (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(clsBitmapSave, FailedReplaceLeavesTheOldEntryAndNoTemporaryFile) {
    test::TempDir dir;
    // The target is a folder that is not empty: the final rename must fail.
    fs::create_directories(dir / "a.bmp" / "inner");
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(BmpBuilder().Build()));
    EXPECT_FALSE(bmp.SaveAsFile(dir / "a.bmp"));
    EXPECT_TRUE(bmp.HasError());
    EXPECT_TRUE(fs::is_directory(dir / "a.bmp" / "inner"));
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path()))
        ++entries;
    EXPECT_EQ(entries, 1);
}

TEST(clsBitmapSave, KeepsThePermissionBits) {
    test::TempDir dir;
    const fs::path path = BmpBuilder().WriteTo(dir / "a.bmp");
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    const auto out = RoundTrip(BmpBuilder(), path);
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

}  // namespace
}  // namespace tintwell
