// The malformed-file corpus: each case is a one-line change to a good file.
// For every case: what the load says, and that RecolorFile either rewrites the
// file completely and correctly or leaves it byte-identical with one message,
// and that a backup, when asked for, is a complete copy of the original.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;

// The good file: 8-bit, 5 x 3, 40-byte header, 256 colours: 1102 bytes, the
// pixels from 1078.
const BmpBuilder kGood = BmpBuilder().Size(5, 3);

Bytes Cut(std::size_t n) {
    return BmpBuilder(kGood).TruncateTo(n).Build();
}

Bytes WithByte(std::size_t at, std::uint8_t value, Bytes b = kGood.Build()) {
    b.at(at) = value;
    return b;
}

Bytes With32(std::size_t at, std::uint32_t value, Bytes b = kGood.Build()) {
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
    return b;
}

Bytes With16(std::size_t at, std::uint16_t value, Bytes b = kGood.Build()) {
    b.at(at) = static_cast<std::uint8_t>(value);
    b.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
    return b;
}

// Ten bytes between the colour table and the pixels, bfOffBits and bfSize
// moved to match.
Bytes GapAfterPalette() {
    Bytes b = kGood.Build();
    b.insert(b.begin() + 1078, 10, 0x5A);
    b = With32(2, static_cast<std::uint32_t>(b.size()), b);
    return With32(10, 1088, b);
}

enum class Outcome { Recoloured, NotEightBit, NotReadable, Incomplete };

struct Case {
    std::string name;
    std::function<Bytes()> bytes;
    bool loads;
    std::string text;  // the load's recorded text; empty when it loads
    Outcome recolor;
};

const std::string kTag = "Did not find bitmap file tag.";
const std::string kShort = "Bitmap header is cut short.";
constexpr auto kMin32 = std::numeric_limits<std::int32_t>::min();

std::vector<Case> Corpus() {
    using O = Outcome;
    return {
        {"Good", [] { return kGood.Build(); }, true, "", O::Recoloured},
        {"Empty", [] { return Bytes{}; }, false, kTag, O::NotEightBit},
        {"OneByte", [] { return Cut(1); }, false, kTag, O::NotEightBit},
        {"ThirteenBytes", [] { return Cut(13); }, false, kShort, O::NotEightBit},
        {"FourteenBytes", [] { return Cut(14); }, false, kShort, O::NotEightBit},
        {"FiftyThreeBytes", [] { return Cut(53); }, false, kShort, O::NotEightBit},
        {"FiftyFourBytes", [] { return Cut(54); }, false,
         "Pixel data offset lies outside the file: 1078", O::NotReadable},
        {"BadTag", [] { return WithByte(1, 'A'); }, false, kTag, O::NotEightBit},
        {"BfSizeZero", [] { return BmpBuilder(kGood).BfSize(0).Build(); }, false,
         "Pixel data had an invalid length: -1078", O::NotReadable},
        {"BfSizeBelowOffBits", [] { return BmpBuilder(kGood).BfSize(1000).Build(); }, false,
         "Pixel data had an invalid length: -78", O::NotReadable},
        {"BfSizeFarBeyondTheFile", [] { return BmpBuilder(kGood).BfSize(0x7FFFFFFF).Build(); },
         true, "", O::Recoloured},
        {"BfOffBitsPastTheEnd",
         [] { return BmpBuilder(kGood).BfOffBits(5000).BfSize(6000).Build(); }, false,
         "Pixel data offset lies outside the file: 5000", O::NotReadable},
        {"BfOffBitsNegative", [] { return BmpBuilder(kGood).BfOffBits(-4).Build(); }, false,
         "Pixel data offset lies outside the file: -4", O::NotReadable},
        {"BfOffBitsInsideTheHeader", [] { return BmpBuilder(kGood).BfOffBits(20).Build(); }, true,
         "", O::Recoloured},
        {"BfOffBitsInsideThePalette", [] { return BmpBuilder(kGood).BfOffBits(600).Build(); }, true,
         "", O::Recoloured},
        {"GapAfterThePalette", GapAfterPalette, true, "", O::Recoloured},
        {"HeaderSize12", [] { return BmpBuilder(kGood).HeaderSize(12).Build(); }, false,
         "Unsupported bitmap header size: 12", O::NotEightBit},
        {"HeaderSize16", [] { return BmpBuilder(kGood).HeaderSize(16).Build(); }, false,
         "Unsupported bitmap header size: 16", O::NotEightBit},
        {"HeaderSize40", [] { return BmpBuilder(kGood).HeaderSize(40).Build(); }, true, "",
         O::Recoloured},
        {"HeaderSize52", [] { return BmpBuilder(kGood).HeaderSize(52).Build(); }, true, "",
         O::Recoloured},
        {"HeaderSize56", [] { return BmpBuilder(kGood).HeaderSize(56).Build(); }, true, "",
         O::Recoloured},
        {"HeaderSize64", [] { return BmpBuilder(kGood).HeaderSize(64).Build(); }, true, "",
         O::Recoloured},
        {"HeaderSize108", [] { return BmpBuilder(kGood).HeaderSize(108).Build(); }, true, "",
         O::Recoloured},
        {"HeaderSize124", [] { return BmpBuilder(kGood).HeaderSize(124).Build(); }, true, "",
         O::Recoloured},
        // The colour table would be read from the wrong place (and a rewrite
        // would replace the real one): sizes no BMP flavour uses are refused.
        // A refused header leaves the bit count unread, hence "not 8-bit".
        {"HeaderSizeNonsense", [] { return With32(14, 1000); }, false,
         "Unsupported bitmap header size: 1000", O::NotEightBit},
        {"HeaderSizeHuge", [] { return With32(14, 0x7FFFFFF0); }, false,
         "Unsupported bitmap header size: 2147483632", O::NotEightBit},
        {"HeaderSizeNegative", [] { return With32(14, 0xFFFFFFD8); }, false,
         "Unsupported bitmap header size: -40", O::NotEightBit},
        {"BitCount0", [] { return With16(28, 0); }, false, "Unsupported bit count: 0",
         O::NotEightBit},
        {"BitCount2", [] { return With16(28, 2); }, false, "Unsupported bit count: 2",
         O::NotEightBit},
        {"BitCount16", [] { return With16(28, 16); }, false, "Unsupported bit count: 16",
         O::NotEightBit},
        {"BitCount30000", [] { return With16(28, 30000); }, false, "Unsupported bit count: 30000",
         O::NotEightBit},
        {"BitCountNegative", [] { return With16(28, 0xFFF8); }, false, "Unsupported bit count: -8",
         O::NotEightBit},
        {"Compression1", [] { return BmpBuilder(kGood).Compression(1).Build(); }, false,
         "Unsupported compression type: 0x1", O::NotReadable},
        {"Compression2", [] { return BmpBuilder(kGood).Compression(2).Build(); }, false,
         "Unsupported compression type: 0x2", O::NotReadable},
        {"Compression3", [] { return BmpBuilder(kGood).Compression(3).Build(); }, false,
         "Unsupported compression type: 0x3", O::NotReadable},
        {"Compression4", [] { return BmpBuilder(kGood).Compression(4).Build(); }, false,
         "Unsupported compression type: 0x4", O::NotReadable},
        {"WidthZero", [] { return BmpBuilder(kGood).BiWidthField(0).Build(); }, true, "",
         O::Recoloured},
        {"WidthNegative", [] { return BmpBuilder(kGood).BiWidthField(-5).Build(); }, false,
         "Invalid image width: -5", O::NotReadable},
        {"WidthMostNegative", [] { return BmpBuilder(kGood).BiWidthField(kMin32).Build(); }, false,
         "Invalid image width: -2147483648", O::NotReadable},
        {"HeightZero", [] { return BmpBuilder(kGood).BiHeightField(0).Build(); }, true, "",
         O::Recoloured},
        {"HeightNegative", [] { return BmpBuilder(kGood).BiHeightField(-3).Build(); }, true, "",
         O::Recoloured},
        {"HeightMostNegative", [] { return BmpBuilder(kGood).BiHeightField(kMin32).Build(); },
         false, "Invalid image height: -2147483648", O::NotReadable},
        // 0x20000001 x 8 bits and 0x08000001 x 32 bits wrap a 32-bit stride.
        {"WidthTimesBitsWraps32Bits",
         [] { return BmpBuilder(kGood).BiWidthField(0x20000001).Build(); }, true, "",
         O::Incomplete},
        {"WidthTimesBitsWraps32Bits32bpp",
         [] { return BmpBuilder(kGood).Bits(32).BiWidthField(0x08000001).Build(); }, true, "",
         O::NotEightBit},
        {"MillionsOfPixelsPerSideWithTinyData",
         [] { return BmpBuilder(kGood).BiWidthField(5'000'000).BiHeightField(-3'000'000).Build(); },
         true, "", O::Incomplete},
        {"MostPixelsEachSideWithTinyData",
         [] {
             return BmpBuilder(kGood).BiWidthField(0x7FFFFFFF).BiHeightField(0x7FFFFFFF).Build();
         },
         false, "Image is too large to address: 2147483647 x 2147483647", O::NotReadable},
        {"ClrUsed0", [] { return BmpBuilder(kGood).ClrUsed(0).Build(); }, true, "", O::Recoloured},
        {"ClrUsed16", [] { return BmpBuilder(kGood).ClrUsed(16).Build(); }, true, "",
         O::Recoloured},
        {"ClrUsed257", [] { return BmpBuilder(kGood).ClrUsed(257).PaletteEntries(256).Build(); },
         true, "", O::Recoloured},
        {"ClrUsedHuge",
         [] { return BmpBuilder(kGood).ClrUsed(0x12341234).PaletteEntries(256).Build(); }, true, "",
         O::Recoloured},
        // Pixels of index 7 and more over a palette of 4 entries.
        {"PixelIndicesBeyondThePalette", [] { return BmpBuilder(kGood).ClrUsed(4).Build(); }, true,
         "", O::Recoloured},
        {"PixelDataCutShort", [] { return Cut(1090); }, true, "", O::Incomplete},
        {"FourBitCutShort", [] { return BmpBuilder(kGood).Bits(4).TruncateTo(60).Build(); }, false,
         "Pixel data offset lies outside the file: 118", O::NotEightBit},
    };
}

ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

std::string TitleOf(Outcome o) {
    switch (o) {
        case Outcome::Recoloured:
            return "";
        case Outcome::NotEightBit:
            return "BMP is not 8-bit";
        case Outcome::NotReadable:
            return "BMP not readable";
        case Outcome::Incomplete:
            return "BMP is incomplete";
    }
    return "?";
}

std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class MalformedFile : public ::testing::TestWithParam<Case> {
  protected:
    // Recolours a fresh copy of the case's bytes and checks the outcome.
    void CheckRecolor(bool backup) {
        const Case& c = GetParam();
        const Bytes original = c.bytes();
        test::TempDir dir;
        const fs::path file = dir / "case.bmp";
        BmpBuilder::WriteFile(file, original);
        test::RecordingMessageBox box;
        const bool done = RecolorFile(file, backup, SelectionRect{}, false, Inverted(), box);
        const Bytes after = BmpBuilder::ReadFile(file);

        EXPECT_EQ(done, c.recolor == Outcome::Recoloured);
        if (done) {
            EXPECT_TRUE(box.shown.empty());
            ExpectRecolouredCopyOf(original, file);
        } else {
            EXPECT_EQ(after, original) << "a refused file must stay byte-identical";
            ASSERT_EQ(box.shown.size(), 1u);
            EXPECT_EQ(box.shown[0].title, TitleOf(c.recolor));
            EXPECT_NE(box.shown[0].text.find(file.string()), std::string::npos);
        }
        if (backup) {
            // Made before the file is examined; always a complete copy.
            ASSERT_EQ(Names(dir.path()), (std::vector<std::string>{"Tintwell Backup", "case.bmp"}));
            ASSERT_EQ(Names(dir / "Tintwell Backup"), std::vector<std::string>{"case.bmp"});
            EXPECT_EQ(BmpBuilder::ReadFile(dir / "Tintwell Backup" / "case.bmp"), original);
        } else {
            EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"case.bmp"});
        }
    }

  public:
    // The rewritten file holds the original's palette and its pixels mapped,
    // everything else as a save writes it.
    static void ExpectRecolouredCopyOf(const Bytes& original, const fs::path& file) {
        clsBitmap before, after;
        ASSERT_TRUE(before.LoadFromByteArray(original));
        ASSERT_TRUE(after.LoadFromFile(file)) << after.LastError();
        EXPECT_EQ(after.ColorTable(), before.ColorTable());
        EXPECT_EQ(after.Width(), before.Width());
        EXPECT_EQ(after.InfoHeader().biHeight, before.InfoHeader().biHeight);
        ASSERT_EQ(after.Pixels().size(), before.Pixels().size());
        for (std::int32_t y = 0; y < before.Height(); ++y)
            for (std::int32_t x = 0; x < before.Width(); ++x)
                ASSERT_EQ(after.GetPixelAt(x, y), 255 - before.GetPixelAt(x, y)) << x << "," << y;
    }
};

TEST_P(MalformedFile, LoadReportsTheOutcome) {
    const Case& c = GetParam();
    const Bytes bytes = c.bytes();
    clsBitmap fromBytes;
    EXPECT_EQ(fromBytes.LoadFromByteArray(bytes), c.loads);
    EXPECT_EQ(fromBytes.LastError(), c.text);
    EXPECT_LE(fromBytes.Pixels().size(), bytes.size());

    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "case.bmp", bytes);
    clsBitmap fromFile;
    EXPECT_EQ(fromFile.LoadFromFile(dir / "case.bmp"), c.loads);
    EXPECT_EQ(fromFile.LastError(), c.text);
    EXPECT_EQ(fromFile.BitCount(), fromBytes.BitCount());
    EXPECT_EQ(fromFile.ColorTable(), fromBytes.ColorTable());
    EXPECT_TRUE(std::equal(fromFile.Pixels().begin(), fromFile.Pixels().end(),
                           fromBytes.Pixels().begin(), fromBytes.Pixels().end()));
}

TEST_P(MalformedFile, RecolorFileRewritesWhollyOrLeavesTheFileAlone) {
    CheckRecolor(false);
}

TEST_P(MalformedFile, RecolorFileWithBackupMakesACompleteCopyFirst) {
    CheckRecolor(true);
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedFile, ::testing::ValuesIn(Corpus()),
                         [](const auto& info) { return info.param.name; });

// Every length of the good file, and of one with a 108-byte header: no crash,
// nothing held beyond the bytes, and RecolorFile rewrites a cut file only when
// every pixel is still there (only the last row's padding is missing), and
// then wholly.
TEST(MalformedFileTruncation, EveryCutLeavesTheFileAlone) {
    for (const BmpBuilder& good : {kGood, BmpBuilder(kGood).HeaderSize(108)}) {
        const Bytes full = good.Build();
        test::TempDir dir;
        const fs::path file = dir / "cut.bmp";
        for (std::size_t n = 0; n < full.size(); ++n) {
            SCOPED_TRACE(n);
            const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(n));
            clsBitmap bmp;
            const bool loaded = bmp.LoadFromByteArray(cut);
            EXPECT_TRUE(loaded || bmp.HasError());
            EXPECT_LE(bmp.Pixels().size(), n);
            BmpBuilder::WriteFile(file, cut);
            test::RecordingMessageBox box;
            const bool whole = loaded && bmp.PixelsCoverImage();
            EXPECT_EQ(whole, n >= full.size() - 3);
            ASSERT_EQ(RecolorFile(file, false, SelectionRect{}, false, Inverted(), box), whole);
            if (whole) {
                MalformedFile::ExpectRecolouredCopyOf(cut, file);
            } else {
                EXPECT_EQ(box.shown.size(), 1u);
                ASSERT_EQ(BmpBuilder::ReadFile(file), cut);
            }
        }
        EXPECT_EQ(Names(dir.path()), std::vector<std::string>{"cut.bmp"});
    }
}

}  // namespace
}  // namespace tintwell
