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

// The fields of the information header, whatever its kind: the 40-byte
// Windows header and the larger ones that begin with it (52, 56, 108, 124
// bytes, and the 64-byte OS/2 2.x header), the 16-byte OS/2 2.x header (the
// fields it lacks are 0) and the 12-byte OS/2 core header (16-bit width and
// height, the other fields 0). The bytes of a loaded header are kept whole.
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

// Which parts of a file a load reads.
enum class BitmapParts {
    Whole,    // headers, colour table and pixels (an RLE stream decoded)
    Headers,  // headers and colour table only: no pixel byte is read
    Layout,   // as Headers; an RLE stream is also read through, not held, for
              // its length and any damage
};

// A change a save makes to one 32-bit field of a kept header.
struct HeaderPatch {
    std::int64_t offset = 0;
    std::int32_t value = 0;
};

// In-memory image of one BMP file with 1, 4, 8, 24 or 32 bits per pixel:
// headers, colour table and the pixel bytes in the layout the file stores
// them (row padding and row order included). RLE8 and RLE4 streams are
// decoded into that layout; pixels a stream never sets are index 0.
//
// A loaded bitmap keeps the file's own layout: a save writes the file's
// header bytes (the colour table written into its own entries), the bytes
// between the table and the pixels, the pixels (an RLE8 stream compressed
// again) and the bytes behind them. Only fields a save must derive change.
// CreateNew, CreateCopy and UpdateHeaders make a fresh 40-byte header instead.
//
// Bad data never throws: the operation returns false and records a text in
// LastError. Pixel and colour-table access outside the held bytes throws
// std::out_of_range; an 8-bit pixel value outside 0..255 throws
// std::overflow_error and leaves the byte as it was. A lack of memory is
// recorded like bad data.
class clsBitmap {
  public:
    clsBitmap() = default;
    clsBitmap(const clsBitmap&) = delete;
    clsBitmap& operator=(const clsBitmap&) = delete;
    clsBitmap(clsBitmap&&) = default;
    clsBitmap& operator=(clsBitmap&&) = default;

    // Loads a BMP file. True when the file was accepted. Memory is bounded by
    // the image: the pixel bytes are read straight into the pixel buffer, and
    // bytes outside the image are only held when they are few.
    bool LoadFromFile(const std::filesystem::path& fileName,
                      BitmapParts parts = BitmapParts::Whole);
    // As LoadFromFile, from an open file (left open); `name` is for messages.
    bool LoadFromDescriptor(int fd, const std::string& name, BitmapParts parts);
    // Loads a BMP file held in memory. True when the bytes were accepted.
    bool LoadFromByteArray(std::span<const std::uint8_t> bytes);
    // Writes the bitmap over `fileName` atomically; on failure the old file is
    // intact and a text is recorded.
    bool SaveAsFile(const std::filesystem::path& fileName);
    // The writing half of SaveAsFile: appends the file's bytes to an opened
    // AtomicFile, which the caller commits. False with a recorded text on
    // failure: a bitmap whose pixels were not loaded, a damaged RLE stream,
    // an RLE4 image, a changed colour entry the file's table has no room for.
    bool SaveInto(AtomicFile& out);

    // Derives the layout members from the headers. False (text recorded) for
    // an unsupported bit count or an image that cannot be addressed.
    bool PrepareLayout();
    // Gives the bitmap a fresh layout, the one a new bitmap is saved with:
    // 40-byte header at 3780 pixels per metre (96 dpi), uncompressed, a full
    // colour table, nothing around the pixels.
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
    // The kind of information header, as "BITMAPINFOHEADER" or "OS/2 2.x".
    std::string HeaderName() const;
    // "none", "RLE8", "RLE4", or the unsupported type in hexadecimal.
    std::string CompressionName() const;
    bool IsCompressed() const { return info_.biCompression != 0; }

    // True for a loaded bitmap, whose save keeps the file's layout; false for
    // a fresh one.
    bool KeepsFileLayout() const { return !head_.empty(); }
    // False after a load of the headers only.
    bool PixelsLoaded() const { return pixelsLoaded_; }
    // Why the RLE stream is damaged; empty when it is whole or was not read.
    // A damaged stream loads as far as it decodes and is never saved.
    const std::string& StreamDamage() const { return damage_; }
    // What made a failed load refuse an 8-bit file, as "its header size (20
    // bytes)"; empty for any other failure.
    const std::string& Unsupported() const { return unsupported_; }
    // Bytes of pixel data in the file: for an uncompressed image those that
    // hold the image (fewer when the file is cut short); for an RLE stream its
    // length up to its end mark, or -1 when it was not read.
    std::int64_t PixelDataBytes() const { return pixelDataBytes_; }
    // Length of the file the bitmap was loaded from.
    std::int64_t SourceSize() const { return sourceSize_; }
    // The file the bitmap was loaded from, opened for reading, or -1 (with
    // `error` set) when it has changed since or cannot be opened.
    int OpenSource(std::string& error) const;
    // The header fields that change when the pixel data of `oldBytes` is
    // replaced by `newBytes` (a compressed stream encoded again): the file
    // size, the image size and the offset of a profile stored behind them.
    std::vector<HeaderPatch> PatchesForPixelData(std::int64_t oldBytes,
                                                 std::int64_t newBytes) const;

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
    // Bytes of the file a save keeps as they are: held, or read again from
    // the file they were loaded from when there are many.
    struct KeptBytes {
        std::int64_t offset = 0;
        std::int64_t length = 0;
        std::vector<std::uint8_t> bytes;
        bool held = false;
    };
    // What identifies the loaded file, so kept bytes are never copied from
    // another one.
    struct SourceIdentity {
        std::string path;
        std::uint64_t device = 0, inode = 0;
        std::int64_t size = 0, modified = 0;
        bool operator==(const SourceIdentity&) const = default;
    };

    bool Load(detail::BitmapSource& source, BitmapParts parts);
    void ForgetFileLayout();
    bool ReadHeaders(detail::BitmapSource& source);
    void ParseInfoHeader(const std::uint8_t* h);
    bool CheckCompression();
    bool ReadColorTable(detail::BitmapSource& source);
    bool CheckPixelOffset(std::int64_t size);
    bool KeepHead(detail::BitmapSource& source);
    bool ReadPixels(detail::BitmapSource& source, BitmapParts parts);
    bool ReadStream(detail::BitmapSource& source, BitmapParts parts);
    bool DecodeStream(detail::BitmapSource& source, std::int64_t limit, bool hold);
    bool ReadKept(detail::BitmapSource& source);
    bool WriteKept(const KeptBytes& kept, AtomicFile& out);
    bool WriteLoaded(AtomicFile& out);
    bool WriteFresh(AtomicFile& out);
    void FreshHeaders(std::uint64_t pixelBytes, BitmapFileHeader& file,
                      BitmapInfoHeader& info) const;
    bool HeadWithTable(std::vector<std::uint8_t>& head);
    // The bytes a fresh layout puts before `pixelBytes` bytes of pixels.
    std::vector<std::uint8_t> FreshHeadBytes(std::uint64_t pixelBytes) const;
    bool WriteRle8(AtomicFile& out, std::int64_t& streamBytes);
    bool CoversImage(std::int64_t bytes) const;
    std::int64_t ImageBytes() const;
    std::int64_t PixelOffset(std::int32_t x, std::int32_t y) const;
    std::size_t CheckedIndex(std::int64_t offset, std::int64_t bytes) const;
    // Room for `count` pixel bytes (at least one), left unset or all zero.
    bool AllocatePixels(std::size_t count);
    bool AllocateBlankPixels(std::size_t count);
    bool HoldPixels(void* bytes, std::size_t count);  // takes `bytes`; false when null
    bool Fail(std::string text);

    struct FreeBytes {
        void operator()(std::uint8_t* p) const;
    };

    BitmapFileHeader file_;
    BitmapInfoHeader info_;
    std::vector<ColorValue> colorTable_;
    std::unique_ptr<std::uint8_t[], FreeBytes> pixels_;
    std::size_t pixelCount_ = 0;
    bool pixelsLoaded_ = true;
    // The loaded file's layout; head_ is empty for a fresh bitmap.
    std::vector<std::uint8_t> head_;  // header and colour table bytes, up to the pixels
    std::int64_t tableOffset_ = 0;
    std::int32_t tableEntryBytes_ = 4;
    std::int32_t tableSlots_ = 0;          // entries wholly inside head_
    std::vector<ColorValue> loadedTable_;  // the table as read, to see what changed
    KeptBytes gap_;                        // between the colour table and the pixels
    KeptBytes tail_;                       // behind the pixels, to the end of the file
    std::int64_t pixelDataBytes_ = 0;
    std::int64_t sourceSize_ = 0;
    SourceIdentity source_;
    std::string damage_;
    std::string unsupported_;
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
