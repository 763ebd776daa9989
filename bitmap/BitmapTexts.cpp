#include "bitmap/BitmapTexts.h"

namespace tintwell {

std::span<const char* const> BitmapTexts() {
    static const char* const texts[] = {
        TINTWELL_TEXT("Logic", "Could not open %1: %2"),
        TINTWELL_TEXT("Logic", "Could not read %1: %2"),
        TINTWELL_TEXT("Logic", "File became shorter while reading %1: %2"),
        TINTWELL_TEXT("Logic", "Could not write %1: %2"),
        TINTWELL_TEXT("Logic", "Could not create a temporary file for %1: %2"),
        TINTWELL_TEXT("Logic", "Could not copy into %1: %2"),
        TINTWELL_TEXT("Logic", "Source became shorter while copying into %1: %2"),
        TINTWELL_TEXT("Logic", "Could not set the permissions of %1: %2"),
        TINTWELL_TEXT("Logic", "Could not copy the permissions of %1: %2"),
        TINTWELL_TEXT("Logic", "Could not keep the attribute %1 of %2: %3"),
        TINTWELL_TEXT("Logic", "Could not flush %1: %2"),
        TINTWELL_TEXT("Logic", "%1 (the file size limit was reached)"),
        TINTWELL_TEXT("Logic", "not a regular file"),
        TINTWELL_TEXT("Logic", "There is not enough memory to load the image (%1 x %2 pixels)."),
        TINTWELL_TEXT("Logic", "Did not find bitmap file tag."),
        TINTWELL_TEXT("Logic", "Unsupported bitmap header size: %1"),
        TINTWELL_TEXT("Logic", "Bitmap header is cut short."),
        TINTWELL_TEXT("Logic", "Unsupported compression type: 0x%1"),
        TINTWELL_TEXT("Logic", "Pixel data had an invalid length: %1"),
        TINTWELL_TEXT("Logic", "Pixel data offset lies outside the file: %1"),
        TINTWELL_TEXT("Logic", "Unsupported bit count: %1"),
        TINTWELL_TEXT("Logic", "Invalid image width: %1"),
        TINTWELL_TEXT("Logic", "Invalid image height: %1"),
        TINTWELL_TEXT("Logic", "Image is too large to address: %1 x %2"),
        TINTWELL_TEXT("Logic", "There is not enough memory to save the image."),
        TINTWELL_TEXT("Logic", "Bitmap is too large for a BMP file."),
        TINTWELL_TEXT("Logic",
                      "Only the headers of this bitmap were loaded, so it cannot be saved."),
        TINTWELL_TEXT("Logic",
                      "The image's compressed pixel data is damaged (%1), so it is not written "
                      "back."),
        TINTWELL_TEXT("Logic", "RLE4-compressed images cannot be saved."),
        TINTWELL_TEXT("Logic",
                      "%1 changed since it was loaded, so the bytes around its pixels cannot be "
                      "saved."),
        TINTWELL_TEXT("Logic", "There is not enough memory for a new image of %1 x %2 pixels."),
        TINTWELL_TEXT("Logic", "its header size (%1 bytes)"),
        TINTWELL_TEXT("Logic", "its compression (%1)"),
        TINTWELL_TEXT("Logic", "the pixel data goes on past the last row"),
        TINTWELL_TEXT("Logic", "a run of pixels goes past the end of its row"),
        TINTWELL_TEXT("Logic", "a move (delta) goes past the end of the image"),
        TINTWELL_TEXT("Logic", "the pixel data is cut short"),
        TINTWELL_TEXT("Logic", "the pixel data ends without its end-of-bitmap mark"),
    };
    return texts;
}

}  // namespace tintwell
