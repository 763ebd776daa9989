#pragma once

// The malformed-file corpus: one-line changes to a good 8-bit file, with what
// the load says and what RecolorFile does with each. Shared by the library and
// the window tests.

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "support/BmpBuilder.h"

namespace tintwell::test {

using Bytes = std::vector<std::uint8_t>;

// The good file: 8-bit, 5 x 3, 40-byte header, 256 colours: 1102 bytes, the
// pixels from 1078.
inline const BmpBuilder kGood = BmpBuilder().Size(5, 3);

inline Bytes Cut(std::size_t n) {
    return BmpBuilder(kGood).TruncateTo(n).Build();
}

inline Bytes WithByte(std::size_t at, std::uint8_t value, Bytes b = kGood.Build()) {
    b.at(at) = value;
    return b;
}

inline Bytes With32(std::size_t at, std::uint32_t value, Bytes b = kGood.Build()) {
    for (int i = 0; i < 4; ++i)
        b.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
    return b;
}

inline Bytes With16(std::size_t at, std::uint16_t value, Bytes b = kGood.Build()) {
    b.at(at) = static_cast<std::uint8_t>(value);
    b.at(at + 1) = static_cast<std::uint8_t>(value >> 8);
    return b;
}

// Ten bytes between the colour table and the pixels, bfOffBits and bfSize
// moved to match.
inline Bytes GapAfterPalette() {
    Bytes b = kGood.Build();
    b.insert(b.begin() + 1078, 10, 0x5A);
    b = With32(2, static_cast<std::uint32_t>(b.size()), b);
    return With32(10, 1088, b);
}

enum class Outcome { Recoloured, NotEightBit, NotReadable, Incomplete, Unsupported, Damaged };

struct Case {
    std::string name;
    std::function<Bytes()> bytes;
    bool loads;
    std::string text;  // the load's recorded text; empty when it loads
    Outcome recolor;
};

inline const std::string kTag = "Did not find bitmap file tag.";
inline const std::string kShort = "Bitmap header is cut short.";
constexpr auto kMin32 = std::numeric_limits<std::int32_t>::min();

inline std::vector<Case> Corpus() {
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
        {"BfOffBitsInsideTheHeader", [] { return BmpBuilder(kGood).BfOffBits(20).Build(); }, false,
         "Pixel data offset lies inside the headers: 20", O::NotReadable},
        {"BfOffBitsInsideThePalette", [] { return BmpBuilder(kGood).BfOffBits(600).Build(); }, true,
         "", O::Recoloured},
        {"GapAfterThePalette", GapAfterPalette, true, "", O::Recoloured},
        {"HeaderSize12", [] { return BmpBuilder(kGood).HeaderSize(12).Build(); }, true, "",
         O::Recoloured},
        {"HeaderSize16", [] { return BmpBuilder(kGood).HeaderSize(16).Build(); }, true, "",
         O::Recoloured},
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
        // The bit count of a refused header is read where it usually lies.
        {"HeaderSizeNonsense", [] { return With32(14, 1000); }, false,
         "Unsupported bitmap header size: 1000", O::Unsupported},
        {"HeaderSizeHuge", [] { return With32(14, 0x7FFFFFF0); }, false,
         "Unsupported bitmap header size: 2147483632", O::Unsupported},
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
        {"Compression1", [] { return BmpBuilder(kGood).Compression(1).Build(); }, true, "",
         O::Damaged},
        {"Compression2", [] { return BmpBuilder(kGood).Compression(2).Build(); }, false,
         "Unsupported compression type: 0x2", O::Unsupported},
        {"Compression3", [] { return BmpBuilder(kGood).Compression(3).Build(); }, false,
         "Unsupported compression type: 0x3", O::Unsupported},
        {"Compression4", [] { return BmpBuilder(kGood).Compression(4).Build(); }, false,
         "Unsupported compression type: 0x4", O::Unsupported},
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

}  // namespace tintwell::test
