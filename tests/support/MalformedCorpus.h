#pragma once
// The malformed-file corpus: one change each to a good 8-bit file, with the
// text the load records ("" when it loads) and what RecolorFile makes of it.

#include <string>
#include <vector>

#include "support/BmpBuilder.h"

namespace tintwell::test {

enum class Outcome { Recolored, NotEightBit, NotReadable, Incomplete, Unsupported, Damaged };

struct Malformed {
    const char* name;
    std::string bytes;
    std::string loadError;
    Outcome outcome;
};

inline std::vector<Malformed> MalformedCorpus() {
    using O = Outcome;
    const std::string tag = "Did not find bitmap file tag.", cut = "Bitmap header is cut short.";
    const std::string offset = "Pixel data would start at byte ",
                      negative = "Pixel data offset is negative: ";
    const auto past = [&](std::int64_t at, std::int64_t size) {
        return offset + std::to_string(at) + ", past the end of the file (" + std::to_string(size) +
               " bytes)";
    };
    const std::string header = "Unsupported bitmap header size: ", bits = "Unsupported bit count: ";
    const std::string compression = "Unsupported compression type: 0x";
    return {
        {"Good", Bmp().Build(), "", O::Recolored},
        {"Empty", "", tag, O::NotEightBit},
        {"BadTag", "BA" + Bmp().Build().substr(2), tag, O::NotEightBit},
        {"CutInTheFileHeader", Bmp().Cut(13).Build(), cut, O::NotEightBit},
        {"CutAfterTheHeaderSize", Bmp().Cut(18).Build(), cut, O::NotEightBit},
        {"UnknownHeaderSizeCutAfterIt", Bmp().Set32(kBiSize, 20).Cut(18).Build(), header + "20",
         O::NotEightBit},
        // Regression: an 8-bit file cut inside its header was "not a 256 color BMP".
        {"CutInTheInfoHeader", Bmp().Cut(53).Build(), cut, O::NotReadable},
        {"CutAfterTheHeaders", Bmp().Cut(54).Build(), past(1078, 54), O::NotReadable},
        {"CutWhereThePixelsStart", Bmp().Cut(1078).Build(), past(1078, 1078), O::NotReadable},
        {"CutInThePixels", Bmp().Cut(1090).Build(), "", O::Incomplete},
        {"FourBitCutInThePalette", Bmp().Bits(4).Cut(60).Build(), past(118, 60), O::NotEightBit},
        // Regressions: the file's length, not bfSize, says where the pixels end.
        {"BfSizeZero", Bmp().Set32(kBfSize, 0).Build(), "", O::Recolored},
        {"BfSizeIsTheHeadersSize", Bmp().Set32(kBfSize, 1078).Build(), "", O::Recolored},
        {"BfSizeAFewBytesShort", Bmp().Set32(kBfSize, 1098).Build(), "", O::Recolored},
        {"Os2BfSizeIsTheHeadersSize", Bmp().HeaderSize(12).Set32(kBfSize, 794).Build(), "",
         O::Recolored},
        {"BfSizeFarBeyondTheFile", Bmp().Set32(kBfSize, 0x7FFFFFFF).Build(), "", O::Recolored},
        {"OffsetsThatOverflow", Bmp().Set32(kBfSize, INT32_MIN).Set32(kOffBits, INT32_MAX).Build(),
         past(INT32_MAX, 1102), O::NotReadable},
        // Regression: "Pixel data had an invalid length: -98809".
        {"OffBitsPastTheEnd", Bmp().Set32(kOffBits, 100000).Set32(kBfSize, 1191).Build(),
         past(100000, 1102), O::NotReadable},
        {"OffBitsNegative", Bmp().Set32(kOffBits, -4).Build(), negative + "-4", O::NotReadable},
        {"OffBitsMostNegative", Bmp().Set32(kBfSize, INT32_MAX).Set32(kOffBits, INT32_MIN).Build(),
         negative + "-2147483648", O::NotReadable},
        {"OffBitsInsideThePalette", Bmp().Set32(kOffBits, 600).Build(), "", O::Recolored},
        // Regression: the headers were taken for pixels, recoloured and rewritten.
        {"OffBitsInsideTheHeaders", Bmp().Set32(kOffBits, 20).Build(),
         "Pixel data offset lies inside the headers: 20", O::NotReadable},
        {"HeaderSize20", Bmp().HeaderSize(20).Build(), header + "20", O::Unsupported},
        // Regression: a header size no BMP flavour uses had the colour table read
        // from the wrong place, and RecolorFile wrote that black table over the
        // file's real palette.
        {"HeaderSize41", Bmp().Set32(kBiSize, 41).Build(), header + "41", O::Unsupported},
        {"HeaderSizeHuge", Bmp().Set32(kBiSize, 0x7FFFFFF0).Build(), header + "2147483632",
         O::Unsupported},
        {"HeaderSizeNegative", Bmp().Set32(kBiSize, -40).Build(), header + "-40", O::NotEightBit},
        {"BitCount0", Bmp().Bits(0).Build(), bits + "0", O::NotEightBit},
        {"BitCount16", Bmp().Bits(16).Build(), bits + "16", O::NotEightBit},
        {"BitCountNegative", Bmp().Set32(kBits, 0xFFF8).Build(), bits + "-8", O::NotEightBit},
        {"Compression1OverRows", Bmp().Set32(kCompression, 1).Build(), "", O::Damaged},
        {"Compression2", Bmp().Set32(kCompression, 2).Build(), compression + "2", O::Unsupported},
        {"Compression3", Bmp().Set32(kCompression, 3).Build(), compression + "3", O::Unsupported},
        {"CompressionNegative", Bmp().Set32(kCompression, -1).Build(), compression + "FFFFFFFF",
         O::Unsupported},
        {"WidthZero", Bmp().Set32(kWidth, 0).Build(), "", O::Recolored},
        {"WidthNegative", Bmp().Set32(kWidth, -5).Build(), "Invalid image width: -5",
         O::NotReadable},
        {"WidthMostNegative", Bmp().Set32(kWidth, INT32_MIN).Build(),
         "Invalid image width: -2147483648", O::NotReadable},
        {"HeightZero", Bmp().Set32(kHeight, 0).Build(), "", O::Recolored},
        {"HeightNegative", Bmp().Set32(kHeight, -3).Build(), "", O::Recolored},
        {"HeightMostNegative", Bmp().Set32(kHeight, INT32_MIN).Build(),
         "Invalid image height: -2147483648", O::NotReadable},
        // Width times bits wraps a 32-bit stride.
        {"StrideWraps32Bits", Bmp().Set32(kWidth, 0x20000001).Build(), "", O::Incomplete},
        {"StrideWraps32Bits32bpp", Bmp().Bits(32).Set32(kWidth, 0x08000001).Build(), "",
         O::NotEightBit},
        {"MillionsOfPixelsOverTinyData",
         Bmp().Set32(kWidth, 5'000'000).Set32(kHeight, -3'000'000).Build(), "", O::Incomplete},
        {"TooLargeToAddress", Bmp().Set32(kWidth, INT32_MAX).Set32(kHeight, INT32_MAX).Build(),
         "Image is too large to address: 2147483647 x 2147483647", O::NotReadable},
        {"ClrUsed16", Bmp().ClrUsed(16).Build(), "", O::Recolored},
        {"ClrUsedHugeOverAFullPalette", Bmp().ClrUsed(0x12341234, 256).Build(), "", O::Recolored},
        {"PixelIndicesBeyondThePalette", Bmp().ClrUsed(4).Build(), "", O::Recolored},
    };
}

}  // namespace tintwell::test
