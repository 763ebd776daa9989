#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tintwell {

class AtomicFile;
namespace detail {
class BitmapSource;
}

// A colour as the palette and 24/32-bit pixels hold it: red in bits 0-7,
// green in bits 8-15, blue in bits 16-23, 0 above (the COLORREF layout).
using ColorValue = std::uint32_t;

// The 14-byte BMP file header, fields as stored (little-endian on disk).
struct BitmapFileHeader {
    std::uint16_t bfType = 0;
    std::int32_t bfSize = 0;
    std::uint16_t bfReserved1 = 0;
    std::uint16_t bfReserved2 = 0;
    std::int32_t bfOffBits = 0;
};

// The first 40 bytes of the information header; larger headers (52, 56, 108,
// 124 bytes) keep only these fields and are saved as a 40-byte header.
struct BitmapInfoHeader {
    std::int32_t biSize = 0;
    std::int32_t biWidth = 0;
    std::int32_t biHeight = 0;
    std::uint16_t biPlanes = 0;
    std::int16_t biBitCount = 0;
    std::int32_t biCompression = 0;
    std::int32_t biSizeImage = 0;
    std::int32_t biXPelsPerMeter = 0;
    std::int32_t biYPelsPerMeter = 0;
    std::int32_t biClrUsed = 0;
    std::int32_t biClrImportant = 0;
};

// In-memory image of one uncompressed BMP file with 1, 4, 8, 24 or 32 bits per
// pixel: headers, colour table and the pixel bytes exactly as the file stores
// them (row padding and row order included).
//
// Bad data never throws: the operation returns false and records a text in
// LastError. Pixel and colour-table access outside the held bytes throws
// std::out_of_range; an 8-bit pixel value outside 0..255 throws
// std::overflow_error and leaves the byte as it was.
class clsBitmap {
  public:
    clsBitmap() = default;
    clsBitmap(const clsBitmap&) = delete;
    clsBitmap& operator=(const clsBitmap&) = delete;
    clsBitmap(clsBitmap&&) = default;
    clsBitmap& operator=(clsBitmap&&) = default;

    // Loads a whole BMP file. True when the file was accepted. The pixel bytes
    // are read straight into the pixel buffer (no second copy of the file).
    bool LoadFromFile(const std::filesystem::path& fileName);
    // Loads a BMP file held in memory. True when the bytes were accepted.
    bool LoadFromByteArray(std::span<const std::uint8_t> bytes);
    // Writes the bitmap (40-byte header, colour table, pixels) over `fileName`
    // atomically; on failure the old file is intact and a text is recorded.
    bool SaveAsFile(const std::filesystem::path& fileName);
    // The writing half of SaveAsFile: runs UpdateHeaders and appends the file's
    // bytes to an opened AtomicFile, which the caller commits. False with a
    // recorded text on failure.
    bool SaveInto(AtomicFile& out);

    // Derives the layout members from the headers. False (text recorded) for
    // an unsupported bit count or an image that cannot be addressed.
    bool PrepareLayout();
    // Sets the header fields a save writes from the held data.
    void UpdateHeaders();

    // Replaces size, bit count, colour table (all black) and pixels (all 0).
    bool CreateNew(std::int32_t newWidth, std::int32_t newHeight, std::int16_t newBitCount);
    // An independent copy with the headers a save would write; null when the
    // bit count is not supported.
    std::unique_ptr<clsBitmap> CreateCopy() const;

    std::int32_t Width() const { return info_.biWidth; }
    // Absolute value of biHeight (a height of -2^31, which a load refuses,
    // reports 2^31 - 1).
    std::int32_t Height() const;
    std::int32_t BitCount() const { return info_.biBitCount; }
    bool HasColorTable() const { return BitCount() <= 8; }
    // True when rows are stored top row first (biHeight 0 or negative).
    bool IsTopDown() const { return info_.biHeight <= 0; }

    // Entry `index` of the colour table; throws std::out_of_range outside it.
    ColorValue ColorTableEntry(std::int32_t index) const;
    void SetColorTableEntry(std::int32_t index, ColorValue value);
    // Entries a save writes: 2^bits for 8 bits or less, 0 above.
    std::int32_t ColorTableEntryCount() const { return colorTableEntryCount_; }
    // Entries actually read from the file (after clamping to 2^bits and to
    // what the file holds); 2^bits for a bitmap made by CreateNew.
    std::int32_t ActualColorTableEntryCount() const { return actualColorTableEntryCount_; }
    const std::vector<ColorValue>& ColorTable() const { return colorTable_; }

    // Pixel value at column x, row y (row 0 at the top whatever the row order):
    // a palette index for 1/4/8 bits, a ColorValue for 24/32 bits.
    std::int32_t GetPixelAt(std::int32_t x, std::int32_t y) const;
    void SetPixelAt(std::int32_t x, std::int32_t y, std::int32_t value);

    const BitmapFileHeader& FileHeader() const { return file_; }
    const BitmapInfoHeader& InfoHeader() const { return info_; }

    // Raw pixel bytes as stored, for row-at-a-time work.
    std::span<const std::uint8_t> Pixels() const { return {pixels_.get(), pixelCount_}; }
    std::span<std::uint8_t> MutablePixels() { return {pixels_.get(), pixelCount_}; }
    std::int64_t RowStride() const { return rowStride_; }
    std::int32_t PixelsPerByte() const { return pixelsPerByte_; }
    std::int32_t BytesPerPixel() const { return bytesPerPixel_; }
    std::int32_t SubPixelMask() const { return subPixelMask_; }
    // Byte index in Pixels() where image row y (0 = top) starts.
    std::int64_t RowOffset(std::int64_t y) const;
    // Bytes that hold the pixels of one row (without the padding).
    std::int64_t RowDataBytes() const;
    // Image row y (0 = top), or null when those bytes are not all held.
    const std::uint8_t* RowData(std::int64_t y) const;
    std::uint8_t* MutableRowData(std::int64_t y);
    // True when the pixel bytes hold every pixel of the image.
    bool PixelsCoverImage() const;

    const std::string& LastError() const { return lastError_; }
    bool HasError() const { return !lastError_.empty(); }
    void ClearError() { lastError_.clear(); }

  private:
    bool Load(detail::BitmapSource& source);
    bool ReadPixels(detail::BitmapSource& source);
    std::int64_t PixelOffset(std::int32_t x, std::int32_t y) const;
    std::size_t CheckedIndex(std::int64_t offset, std::int64_t bytes) const;
    void AllocatePixels(std::size_t count);
    bool Fail(std::string text);

    BitmapFileHeader file_;
    BitmapInfoHeader info_;
    std::vector<ColorValue> colorTable_;
    std::unique_ptr<std::uint8_t[]> pixels_;
    std::size_t pixelCount_ = 0;
    std::int64_t rowStride_ = 0;
    std::int32_t pixelsPerByte_ = 0;
    std::int32_t bytesPerPixel_ = 0;
    std::vector<std::int32_t> subPixelDivisors_;
    std::int32_t subPixelMask_ = 0;
    std::int32_t colorTableEntryCount_ = 0;
    std::int32_t actualColorTableEntryCount_ = 0;
    std::string lastError_;
};

}  // namespace tintwell
