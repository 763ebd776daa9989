#include "bitmap/clsBitmap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

#include "bitmap/AtomicFile.h"

namespace tintwell {
namespace {

constexpr std::uint16_t kBitmapTag = 0x4D42;  // "BM"
constexpr std::int64_t kFileHeaderBytes = 14;
constexpr std::int64_t kInfoHeaderBytes = 40;
constexpr std::int64_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
// Beyond this many pixel bytes an image cannot be addressed: keeps every
// offset computation comfortably inside 64 bits.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 56;

std::uint16_t Read16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}
std::int32_t Read32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
}
void Put16(std::uint8_t*& p, std::uint16_t v) {
    *p++ = static_cast<std::uint8_t>(v);
    *p++ = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t*& p, std::int32_t value) {
    const auto v = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        *p++ = static_cast<std::uint8_t>(v >> shift);
}

std::int64_t StrideFor(std::int32_t width, std::int32_t bits) {
    return ((std::int64_t{width} * bits + 31) & ~std::int64_t{31}) / 8;
}

// Information header sizes of the BMP flavours whose first 40 bytes hold the
// fields read here (Windows 3.x and its 52/56-byte forms, OS/2 2.x, V4, V5).
// Any other size would make the colour table be read from the wrong place, and
// a rewrite would then replace the file's real palette.
bool IsKnownHeaderSize(std::int32_t size) {
    switch (size) {
        case 40:
        case 52:
        case 56:
        case 64:
        case 108:
        case 124:
            return true;
        default:
            return false;
    }
}

std::string Hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

namespace detail {

// Where a load takes its bytes from: a byte array or an open file.
class BitmapSource {
  public:
    virtual ~BitmapSource() = default;
    std::int64_t Size() const { return size_; }
    // Reads exactly `count` bytes at `offset` (inside Size()). False with
    // Error() set when the bytes cannot be read.
    virtual bool ReadAt(std::int64_t offset, void* into, std::size_t count) = 0;
    const std::string& Error() const { return error_; }

  protected:
    std::int64_t size_ = 0;
    std::string error_;
};

}  // namespace detail

namespace {

class ByteSource : public detail::BitmapSource {
  public:
    explicit ByteSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {
        size_ = static_cast<std::int64_t>(bytes.size());
    }
    bool ReadAt(std::int64_t offset, void* into, std::size_t count) override {
        if (count) std::memcpy(into, bytes_.data() + offset, count);
        return true;
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

class FileSource : public detail::BitmapSource {
  public:
    explicit FileSource(const std::filesystem::path& path) : path_(path) {
        // Non-blocking, so that opening a named pipe cannot hang; only regular
        // files are read.
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) {
            SetError("Could not open", errno);
            return;
        }
        struct stat st {};
        if (::fstat(fd_, &st) != 0) {
            SetError("Could not read", errno);
        } else if (S_ISDIR(st.st_mode)) {
            SetError("Could not read", EISDIR);
        } else if (!S_ISREG(st.st_mode)) {
            error_ = "Could not read \"" + path_.string() + "\": not a regular file";
        } else {
            size_ = st.st_size;
        }
    }
    ~FileSource() override {
        if (fd_ >= 0) ::close(fd_);
    }
    bool Opened() const { return error_.empty(); }

    bool ReadAt(std::int64_t offset, void* into, std::size_t count) override {
        auto* p = static_cast<std::uint8_t*>(into);
        while (count > 0) {
            const std::size_t chunk = std::min<std::size_t>(count, std::size_t{1} << 30);
            const ssize_t n = ::pread(fd_, p, chunk, offset);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return SetError("Could not read", errno);
            if (n == 0) return SetError("File became shorter while reading", EIO);
            p += n;
            offset += n;
            count -= static_cast<std::size_t>(n);
        }
        return true;
    }

  private:
    bool SetError(const char* what, int err) {
        error_ = std::string(what) + " \"" + path_.string() + "\": " + std::strerror(err);
        return false;
    }

    std::filesystem::path path_;
    int fd_ = -1;
};

}  // namespace

bool clsBitmap::Fail(std::string text) {
    lastError_ = std::move(text);
    return false;
}

bool clsBitmap::LoadFromFile(const std::filesystem::path& fileName) {
    FileSource source(fileName);
    if (!source.Opened()) return Fail(source.Error());
    return Load(source);
}

bool clsBitmap::LoadFromByteArray(std::span<const std::uint8_t> bytes) {
    ByteSource source(bytes);
    return Load(source);
}

bool clsBitmap::Load(detail::BitmapSource& source) {
    const std::int64_t size = source.Size();
    std::uint8_t header[kHeaderBytes];
    if (size < 2) return Fail("Did not find bitmap file tag.");
    if (!source.ReadAt(0, header, 2)) return Fail(source.Error());
    if (Read16(header) != kBitmapTag) {
        file_.bfType = Read16(header);
        return Fail("Did not find bitmap file tag.");
    }
    if (size >= kFileHeaderBytes + 4) {
        if (!source.ReadAt(0, header, kFileHeaderBytes + 4)) return Fail(source.Error());
        const std::int32_t biSize = Read32(header + 14);
        if (!IsKnownHeaderSize(biSize))
            return Fail("Unsupported bitmap header size: " + std::to_string(biSize));
    }
    if (size < kHeaderBytes) return Fail("Bitmap header is cut short.");
    if (!source.ReadAt(0, header, kHeaderBytes)) return Fail(source.Error());

    file_ = {Read16(header), Read32(header + 2), Read16(header + 6), Read16(header + 8),
             Read32(header + 10)};
    const std::uint8_t* h = header + kFileHeaderBytes;
    info_.biSize = Read32(h);
    info_.biWidth = Read32(h + 4);
    info_.biHeight = Read32(h + 8);
    info_.biPlanes = Read16(h + 12);
    info_.biBitCount = static_cast<std::int16_t>(Read16(h + 14));
    info_.biCompression = Read32(h + 16);
    info_.biSizeImage = Read32(h + 20);
    info_.biXPelsPerMeter = Read32(h + 24);
    info_.biYPelsPerMeter = Read32(h + 28);
    info_.biClrUsed = Read32(h + 32);
    info_.biClrImportant = Read32(h + 36);

    if (info_.biCompression != 0)
        return Fail("Unsupported compression type: 0x" + Hex(info_.biCompression));
    if (!PrepareLayout()) return false;

    colorTable_.clear();
    colorTableEntryCount_ = 0;
    actualColorTableEntryCount_ = 0;
    if (HasColorTable()) {
        // The table follows the information header, whatever its size; only the
        // entries that lie wholly inside the file are read, the rest stay black.
        const std::int64_t full = std::int64_t{1} << info_.biBitCount;
        const auto clrUsed = static_cast<std::uint32_t>(info_.biClrUsed);
        const std::int64_t wanted = clrUsed == 0 ? full : std::min<std::int64_t>(clrUsed, full);
        const std::int64_t start = kFileHeaderBytes + info_.biSize;
        const std::int64_t fit = size > start ? (size - start) / 4 : 0;
        const std::int64_t count = std::min(wanted, fit);
        colorTable_.assign(static_cast<std::size_t>(full), 0);
        colorTableEntryCount_ = static_cast<std::int32_t>(full);
        std::uint8_t table[256 * 4];
        if (count > 0 && !source.ReadAt(start, table, static_cast<std::size_t>(count * 4)))
            return Fail(source.Error());
        for (std::int64_t i = 0; i < count; ++i) {
            const std::uint8_t* e = table + 4 * i;
            colorTable_[static_cast<std::size_t>(i)] =
                ColorValue{e[2]} | (ColorValue{e[1]} << 8) | (ColorValue{e[0]} << 16);
        }
        actualColorTableEntryCount_ = static_cast<std::int32_t>(count);
    }
    return ReadPixels(source);
}

bool clsBitmap::ReadPixels(detail::BitmapSource& source) {
    const std::int64_t length = std::int64_t{file_.bfSize} - file_.bfOffBits;
    if (length <= 0) return Fail("Pixel data had an invalid length: " + std::to_string(length));
    const std::int64_t size = source.Size();
    if (file_.bfOffBits < 0 || file_.bfOffBits >= size)
        return Fail("Pixel data offset lies outside the file: " + std::to_string(file_.bfOffBits));
    // A bfSize beyond the end of the file takes the pixel bytes that are there.
    const std::int64_t held = std::min(length, size - file_.bfOffBits);
    std::unique_ptr<std::uint8_t[]> buffer =
        std::make_unique_for_overwrite<std::uint8_t[]>(static_cast<std::size_t>(held));
    if (!source.ReadAt(file_.bfOffBits, buffer.get(), static_cast<std::size_t>(held)))
        return Fail(source.Error());
    pixels_ = std::move(buffer);
    pixelCount_ = static_cast<std::size_t>(held);
    return true;
}

bool clsBitmap::PrepareLayout() {
    pixelsPerByte_ = 0;
    bytesPerPixel_ = 0;
    subPixelMask_ = 0;
    subPixelDivisors_.clear();
    const std::int32_t bits = info_.biBitCount;
    rowStride_ = StrideFor(info_.biWidth, bits);
    switch (bits) {
        case 1:
        case 4:
            pixelsPerByte_ = 8 / bits;
            subPixelMask_ = (1 << bits) - 1;
            for (int p = 0; p < pixelsPerByte_; ++p)
                subPixelDivisors_.push_back(1 << (bits * (pixelsPerByte_ - 1 - p)));
            break;
        case 8:
        case 24:
        case 32:
            bytesPerPixel_ = bits / 8;
            break;
        default:
            return Fail("Unsupported bit count: " + std::to_string(bits));
    }
    const std::string size = std::to_string(info_.biWidth) + " x " + std::to_string(info_.biHeight);
    std::string problem;
    if (info_.biWidth < 0) {
        problem = "Invalid image width: " + std::to_string(info_.biWidth);
    } else if (info_.biHeight == std::numeric_limits<std::int32_t>::min()) {
        problem = "Invalid image height: " + std::to_string(info_.biHeight);
    } else if (rowStride_ > 0 && Height() > kMaxImageBytes / rowStride_) {
        problem = "Image is too large to address: " + size;
    }
    if (problem.empty()) return true;
    pixelsPerByte_ = 0;
    bytesPerPixel_ = 0;
    subPixelMask_ = 0;
    subPixelDivisors_.clear();
    return Fail(problem);
}

void clsBitmap::UpdateHeaders() {
    info_.biSize = 40;
    info_.biPlanes = 1;
    info_.biCompression = 0;
    info_.biSizeImage = 0;
    info_.biXPelsPerMeter = 96;
    info_.biYPelsPerMeter = 96;
    info_.biClrUsed = colorTableEntryCount_;
    info_.biClrImportant = 0;
    file_.bfType = kBitmapTag;
    file_.bfReserved1 = 0;
    file_.bfReserved2 = 0;
    file_.bfOffBits = 4 * colorTableEntryCount_ + static_cast<std::int32_t>(kHeaderBytes);
    // Wraps like the 32-bit field it is; SaveAsFile refuses sizes that do not fit.
    file_.bfSize = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(pixelCount_ + static_cast<std::uint32_t>(file_.bfOffBits)));
}

bool clsBitmap::SaveInto(AtomicFile& out) {
    UpdateHeaders();
    const std::uint64_t total = pixelCount_ + static_cast<std::uint64_t>(file_.bfOffBits);
    if (total > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        return Fail("Bitmap is too large for a BMP file.");

    std::vector<std::uint8_t> head(static_cast<std::size_t>(file_.bfOffBits));
    std::uint8_t* p = head.data();
    Put16(p, file_.bfType);
    Put32(p, file_.bfSize);
    Put16(p, file_.bfReserved1);
    Put16(p, file_.bfReserved2);
    Put32(p, file_.bfOffBits);
    Put32(p, info_.biSize);
    Put32(p, info_.biWidth);
    Put32(p, info_.biHeight);
    Put16(p, info_.biPlanes);
    Put16(p, static_cast<std::uint16_t>(info_.biBitCount));
    Put32(p, info_.biCompression);
    Put32(p, info_.biSizeImage);
    Put32(p, info_.biXPelsPerMeter);
    Put32(p, info_.biYPelsPerMeter);
    Put32(p, info_.biClrUsed);
    Put32(p, info_.biClrImportant);
    for (std::int32_t i = 0; i < colorTableEntryCount_; ++i) {
        const ColorValue c =
            static_cast<std::size_t>(i) < colorTable_.size() ? colorTable_[i] : ColorValue{0};
        *p++ = static_cast<std::uint8_t>(c >> 16);  // blue
        *p++ = static_cast<std::uint8_t>(c >> 8);   // green
        *p++ = static_cast<std::uint8_t>(c);        // red
        *p++ = 0xFF;                                // reserved byte, written as 255
    }

    if (out.Write(head.data(), head.size()) && out.Write(pixels_.get(), pixelCount_)) return true;
    return Fail(out.Error());
}

bool clsBitmap::SaveAsFile(const std::filesystem::path& fileName) {
    AtomicFile out(fileName);
    if (!out.Open()) return Fail(out.Error());
    if (!SaveInto(out)) return false;
    return out.Commit() || Fail(out.Error());
}

bool clsBitmap::CreateNew(std::int32_t newWidth, std::int32_t newHeight, std::int16_t newBitCount) {
    info_.biWidth = newWidth;
    info_.biHeight = newHeight;
    info_.biBitCount = newBitCount;
    rowStride_ = StrideFor(newWidth, newBitCount);
    colorTable_.clear();
    colorTableEntryCount_ = 0;
    if (newBitCount >= 0 && newBitCount <= 8) {
        colorTable_.assign(std::size_t{1} << newBitCount, 0);
        colorTableEntryCount_ = 1 << newBitCount;
    }
    actualColorTableEntryCount_ = colorTableEntryCount_;
    const std::int64_t height = Height();
    std::size_t count = 1;
    if (height >= 1 && rowStride_ >= 1 && height <= kMaxImageBytes / rowStride_)
        count = static_cast<std::size_t>(height * rowStride_);
    AllocatePixels(count);
    std::memset(pixels_.get(), 0, count);
    UpdateHeaders();
    return PrepareLayout();
}

std::unique_ptr<clsBitmap> clsBitmap::CreateCopy() const {
    auto copy = std::make_unique<clsBitmap>();
    copy->file_ = file_;
    copy->info_ = info_;
    copy->colorTable_ = colorTable_;
    copy->AllocatePixels(pixelCount_);
    if (pixelCount_) std::memcpy(copy->pixels_.get(), pixels_.get(), pixelCount_);
    copy->colorTableEntryCount_ = colorTableEntryCount_;
    copy->actualColorTableEntryCount_ = actualColorTableEntryCount_;
    copy->UpdateHeaders();
    if (!copy->PrepareLayout()) return nullptr;
    return copy;
}

void clsBitmap::AllocatePixels(std::size_t count) {
    pixels_ = std::make_unique_for_overwrite<std::uint8_t[]>(count);
    pixelCount_ = count;
}

std::int32_t clsBitmap::Height() const {
    if (info_.biHeight == std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::max();
    return info_.biHeight < 0 ? -info_.biHeight : info_.biHeight;
}

ColorValue clsBitmap::ColorTableEntry(std::int32_t index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= colorTable_.size())
        throw std::out_of_range("colour table index " + std::to_string(index) + " out of range");
    return colorTable_[static_cast<std::size_t>(index)];
}

void clsBitmap::SetColorTableEntry(std::int32_t index, ColorValue value) {
    if (index < 0 || static_cast<std::size_t>(index) >= colorTable_.size())
        throw std::out_of_range("colour table index " + std::to_string(index) + " out of range");
    colorTable_[static_cast<std::size_t>(index)] = value;
}

std::int64_t clsBitmap::RowOffset(std::int64_t y) const {
    return (IsTopDown() ? y : std::int64_t{Height()} - 1 - y) * rowStride_;
}

std::int64_t clsBitmap::RowDataBytes() const {
    const std::int64_t bits = std::int64_t{info_.biWidth} * info_.biBitCount;
    return bits <= 0 ? 0 : (bits + 7) / 8;
}

const std::uint8_t* clsBitmap::RowData(std::int64_t y) const {
    if (y < 0 || y >= Height()) return nullptr;
    const std::int64_t start = RowOffset(y);
    if (start < 0 || start + RowDataBytes() > static_cast<std::int64_t>(pixelCount_))
        return nullptr;
    return pixels_.get() + start;
}

std::uint8_t* clsBitmap::MutableRowData(std::int64_t y) {
    return const_cast<std::uint8_t*>(std::as_const(*this).RowData(y));
}

bool clsBitmap::PixelsCoverImage() const {
    if (Height() == 0 || RowDataBytes() == 0) return true;
    // Rows are contiguous, so the first and last stored rows bound them all.
    return RowData(0) != nullptr && RowData(Height() - 1) != nullptr;
}

std::int64_t clsBitmap::PixelOffset(std::int32_t x, std::int32_t y) const {
    const std::int64_t column =
        pixelsPerByte_ > 0 ? x / pixelsPerByte_ : std::int64_t{x} * bytesPerPixel_;
    return RowOffset(y) + column;
}

std::size_t clsBitmap::CheckedIndex(std::int64_t offset, std::int64_t bytes) const {
    if (offset < 0 || offset + bytes > static_cast<std::int64_t>(pixelCount_))
        throw std::out_of_range("pixel byte " + std::to_string(offset) +
                                " lies outside the pixel data");
    return static_cast<std::size_t>(offset);
}

std::int32_t clsBitmap::GetPixelAt(std::int32_t x, std::int32_t y) const {
    if (pixelsPerByte_ > 0) {
        if (x < 0) throw std::out_of_range("negative column on a sub-byte image");
        const std::uint8_t byte = pixels_[CheckedIndex(PixelOffset(x, y), 1)];
        return (byte / subPixelDivisors_[static_cast<std::size_t>(x % pixelsPerByte_)]) &
               subPixelMask_;
    }
    if (bytesPerPixel_ == 1) return pixels_[CheckedIndex(PixelOffset(x, y), 1)];
    const std::uint8_t* p = pixels_.get() + CheckedIndex(PixelOffset(x, y), 3);
    return std::int32_t{p[2]} | (std::int32_t{p[1]} << 8) | (std::int32_t{p[0]} << 16);
}

void clsBitmap::SetPixelAt(std::int32_t x, std::int32_t y, std::int32_t value) {
    if (pixelsPerByte_ > 0) {
        if (x < 0) throw std::out_of_range("negative column on a sub-byte image");
        std::uint8_t& byte = pixels_[CheckedIndex(PixelOffset(x, y), 1)];
        const std::int32_t d = subPixelDivisors_[static_cast<std::size_t>(x % pixelsPerByte_)];
        byte = static_cast<std::uint8_t>((byte & ~(subPixelMask_ * d)) |
                                         ((value & subPixelMask_) * d));
        return;
    }
    if (bytesPerPixel_ == 1) {
        std::uint8_t& byte = pixels_[CheckedIndex(PixelOffset(x, y), 1)];
        if (value < 0 || value > 255)
            throw std::overflow_error("8-bit pixel value " + std::to_string(value) +
                                      " outside 0 to 255");
        byte = static_cast<std::uint8_t>(value);
        return;
    }
    const bool alpha = info_.biBitCount == 32;
    std::uint8_t* p = pixels_.get() + CheckedIndex(PixelOffset(x, y), alpha ? 4 : 3);
    p[0] = static_cast<std::uint8_t>(value >> 16);
    p[1] = static_cast<std::uint8_t>(value >> 8);
    p[2] = static_cast<std::uint8_t>(value);
    if (alpha) p[3] = 0xFF;
}

}  // namespace tintwell
