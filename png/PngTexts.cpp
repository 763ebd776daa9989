#include "png/PngTexts.h"

namespace tintwell {

std::span<const char* const> PngTexts() {
    static const char* const texts[] = {
        TINTWELL_TEXT("Logic", "the compressor failed"),
        TINTWELL_TEXT("Logic", "the compressor could not start"),
        TINTWELL_TEXT("Logic", "it has no PNG signature"),
        TINTWELL_TEXT("Logic", "animated PNG is not supported"),
        TINTWELL_TEXT("Logic", "it holds %1 pixels, not palette indices"),
        TINTWELL_TEXT("Logic", "greyscale"),
        TINTWELL_TEXT("Logic", "truecolor"),
        TINTWELL_TEXT("Logic", "greyscale with alpha"),
        TINTWELL_TEXT("Logic", "truecolor with alpha"),
        TINTWELL_TEXT("Logic", "an unknown kind of"),
        TINTWELL_TEXT("Logic", "its image data is cut short"),
        TINTWELL_TEXT("Logic", "it ends without an IEND chunk"),
        TINTWELL_TEXT("Logic", "a chunk at byte %1 is damaged"),
        TINTWELL_TEXT("Logic", "its critical chunk %1 is not known"),
        TINTWELL_TEXT("Logic", "it has two IHDR chunks"),
        TINTWELL_TEXT("Logic", "its IHDR chunk is damaged"),
        TINTWELL_TEXT("Logic", "its size of %1 x %2 pixels is larger than supported"),
        TINTWELL_TEXT("Logic", "its PLTE chunk is damaged"),
        TINTWELL_TEXT("Logic", "it does not start with IHDR"),
        TINTWELL_TEXT("Logic", "its image data is split by other chunks"),
        TINTWELL_TEXT("Logic", "it has no image data"),
        TINTWELL_TEXT("Logic", "its PLTE chunk follows the image data"),
        TINTWELL_TEXT("Logic", "it has no PLTE chunk"),
        TINTWELL_TEXT("Logic", "the file could not be read"),
        TINTWELL_TEXT("Logic", "an IDAT chunk is damaged (bad CRC)"),
        TINTWELL_TEXT("Logic", "its image data cannot be decoded"),
        TINTWELL_TEXT("Logic", "the decompressor could not start"),
        TINTWELL_TEXT("Logic", "its image data holds more rows than the image"),
        TINTWELL_TEXT("Logic", "the pixel at %1, %2 would get index %3, but %4"),
        TINTWELL_TEXT("Logic", "its palette holds only %1 colors"),
        TINTWELL_TEXT("Logic", "its %1-bit pixels hold only indices below %2"),
    };
    return texts;
}

}  // namespace tintwell
