#include "ui/toolkit/modPicture.h"

#include <gtest/gtest.h>

#include <random>

#include "core/modRecolor.h"
#include "support/WindowsTestKit.h"

namespace tintwell::test {
namespace {

// A bitmap made in memory: pixel (x, y) = f(x, y), palette DistinctColor.
std::unique_ptr<clsBitmap> Make(int w, int h, int bits, std::function<std::uint32_t(int, int)> f) {
    auto b = std::make_unique<clsBitmap>();
    b->CreateNew(w, h, static_cast<std::int16_t>(bits));
    for (int i = 0; i < b->ColorTableEntryCount(); ++i)
        b->SetColorTableEntry(i, DistinctColor(i));
    for (int y = 0; y < std::abs(h); ++y)
        for (int x = 0; x < w; ++x)
            b->SetPixelAt(x, y, static_cast<std::int32_t>(f(x, y)));
    return b;
}

QRgb Q(ColorValue c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

TEST(CreateStdPicture, PaletteImagesAreIndexedWithTheExactColours) {
    for (int bits : {1, 4, 8}) {
        const int mask = (1 << bits) - 1;
        auto b = Make(13, 5, bits, [mask](int x, int y) { return (x * 3 + y) & mask; });
        QImage pic;
        std::string error;
        ASSERT_TRUE(CreateStdPicture(*b, pic, error)) << error;
        EXPECT_EQ(pic.format(), QImage::Format_Indexed8);
        EXPECT_EQ(pic.size(), QSize(13, 5));
        EXPECT_EQ(pic.colorCount(), 256);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) {
                ASSERT_EQ(pic.pixelIndex(x, y), (x * 3 + y) & mask) << bits << " " << x << "," << y;
                ASSERT_EQ(pic.pixel(x, y), Q(DistinctColor((x * 3 + y) & mask)));
            }
    }
}

TEST(CreateStdPicture, TrueColourImagesAreRgb32WithTheExactColours) {
    for (int bits : {24, 32}) {
        auto b = Make(7, 3, bits, [](int x, int y) { return Rgb(x * 30, y * 80, 255 - x); });
        QImage pic;
        std::string error;
        ASSERT_TRUE(CreateStdPicture(*b, pic, error)) << error;
        EXPECT_EQ(pic.format(), QImage::Format_RGB32);
        EXPECT_EQ(pic.pixel(6, 2), qRgb(180, 160, 249));
        EXPECT_EQ(pic.pixel(0, 0), qRgb(0, 0, 255));
    }
}

TEST(CreateStdPicture, BothRowOrdersGiveTheSamePicture) {
    auto up = Make(9, 4, 8, [](int x, int y) { return x + 10 * y; });
    auto down = Make(9, -4, 8, [](int x, int y) { return x + 10 * y; });
    QImage a, b;
    std::string error;
    ASSERT_TRUE(CreateStdPicture(*up, a, error));
    ASSERT_TRUE(CreateStdPicture(*down, b, error));
    EXPECT_EQ(a, b);
    EXPECT_EQ(a.pixelIndex(0, 0), 0);
    EXPECT_EQ(a.pixelIndex(8, 3), 38);
}

TEST(CreateStdPicture, ReusesThePicturesBufferWhenTheSizeMatches) {
    auto b = Make(64, 64, 8, [](int x, int y) { return x ^ y; });
    QImage pic;
    std::string error;
    ASSERT_TRUE(CreateStdPicture(*b, pic, error));
    const uchar* bits = pic.constBits();
    ASSERT_TRUE(CreateRecoloredPicture(*b, ColorMap{}, {}, false, pic, error));
    EXPECT_EQ(pic.constBits(), bits);
}

// A header of an 8-bit image of width x height over 64 bytes of pixels.
std::vector<std::uint8_t> HeaderOnly(std::int32_t width, std::int32_t height) {
    std::vector<std::uint8_t> bytes(54 + 1024 + 64, 0);
    auto put32 = [&](size_t at, std::int32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put32(2, static_cast<std::int32_t>(bytes.size()));
    put32(10, 54 + 1024);
    put32(14, 40);
    put32(18, width);
    put32(22, height);
    bytes[26] = 1;
    bytes[28] = 8;
    return bytes;
}

TEST(CreateStdPicture, RefusesAnImageTooLargeToShow) {
    clsBitmap b;
    ASSERT_TRUE(b.LoadFromByteArray(HeaderOnly(60000, 60000)));
    QImage pic(4, 4, QImage::Format_RGB32);
    std::string error;
    EXPECT_FALSE(CreateStdPicture(b, pic, error));
    EXPECT_EQ(error, "The image is too large to show (60000 x 60000 pixels).");
    EXPECT_TRUE(pic.isNull());
    EXPECT_FALSE(CreateRecoloredPicture(b, ColorMap{}, {}, false, pic, error));
}

TEST(CreateStdPicture, RefusesPixelDataShorterThanTheImage) {
    clsBitmap b;
    ASSERT_TRUE(b.LoadFromByteArray(HeaderOnly(100, 100)));
    QImage pic;
    std::string error;
    EXPECT_FALSE(CreateStdPicture(b, pic, error));
    EXPECT_EQ(error, "The image's pixel data is shorter than the image.");
    EXPECT_FALSE(CreateRecoloredPicture(b, ColorMap{}, {}, true, pic, error));
}

TEST(CreateRecoloredPicture, ShowsExactlyWhatRecolorBitmapWrites) {
    std::mt19937 rng(7);
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(rng()));
    auto source = Make(37, 23, 8, [&](int, int) { return rng() & 0xFF; });
    std::uniform_int_distribution<int> coord(-10, 45), size(0, 30);
    for (int round = 0; round < 300; ++round) {
        const SelectionRect sel = round == 0
                                      ? SelectionRect{}
                                      : SelectionRect{coord(rng), coord(rng), size(rng), size(rng)};
        const bool outside = round % 2 == 1;
        auto copy = source->CreateCopy();
        RecolorBitmap(*copy, map, sel, outside);
        QImage expected, actual;
        std::string error;
        ASSERT_TRUE(CreateStdPicture(*copy, expected, error));
        ASSERT_TRUE(CreateRecoloredPicture(*source, map, sel, outside, actual, error));
        ASSERT_EQ(actual, expected)
            << sel.x0 << "," << sel.y0 << " " << sel.w << "x" << sel.h << " outside " << outside;
    }
    // The source bitmap itself is never changed.
    auto again = Make(1, 1, 8, [](int, int) { return 0; });
    EXPECT_EQ(source->Width(), 37);
}

TEST(MapBytes, MapsEveryByteThroughTheTable) {
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(255 - i);
    std::vector<std::uint8_t> in(45), out(45);
    for (size_t i = 0; i < in.size(); ++i)
        in[i] = static_cast<std::uint8_t>(i * 5);
    MapBytes(in.data(), out.data(), in.size(), table);
    for (size_t i = 0; i < in.size(); ++i)
        EXPECT_EQ(out[i], 255 - in[i]);

    // Two bytes per lookup, with an odd tail.
    std::vector<std::uint8_t> paired(45);
    PairTable(table).Map(in.data(), paired.data(), in.size(), table);
    EXPECT_EQ(paired, out);
}

TEST(CreateRecoloredPicture, BigImagesMapThroughPairsToTheSameResult) {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 13 + 5));
    auto source = Make(613, 431, 8, [](int x, int y) { return (x * 31 + y * 17) & 0xFF; });
    for (const SelectionRect sel : {SelectionRect{}, SelectionRect{3, 7, 101, 99}}) {
        for (bool outside : {false, true}) {
            auto copy = source->CreateCopy();
            RecolorBitmap(*copy, map, sel, outside);
            QImage expected, actual;
            std::string error;
            ASSERT_TRUE(CreateStdPicture(*copy, expected, error));
            ASSERT_TRUE(CreateRecoloredPicture(*source, map, sel, outside, actual, error));
            ASSERT_EQ(actual, expected);
        }
    }
}

}  // namespace
}  // namespace tintwell::test
