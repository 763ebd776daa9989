#include "bitmap/clsBitmap.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <utility>

#include "bitmap/AtomicFile.h"
#include "bitmap/Rle8Encoder.h"
#include "bitmap/RleParser.h"

namespace tintwell {
namespace {

constexpr std::uint16_t kBitmapTag = 0x4D42;  // "BM"
constexpr std::int64_t kFileHeaderBytes = 14;
constexpr std::int64_t kInfoHeaderBytes = 40;
constexpr std::int64_t kHeaderBytes = kFileHeaderBytes + kInfoHeaderBytes;
constexpr std::int64_t kLargestHeader = 124;
constexpr std::int32_t kFreshPelsPerMeter = 3780;  // 96 dots per inch
// Beyond this many pixel bytes an image cannot be addressed: keeps every
// offset computation comfortably inside 64 bits.
constexpr std::int64_t kMaxImageBytes = std::int64_t{1} << 56;
// Bytes around the pixels up to this many are held by a load; more are read
// again from the file when it is saved.
constexpr std::int64_t kHeldExtraBytes = std::int64_t{1} << 20;
// How many bytes of an RLE stream are encoded before they are written.
constexpr std::size_t kStreamChunk = std::size_t{1} << 16;
// Offsets inside a V5 header: colour space type, profile offset.
constexpr std::int64_t kV5ColorSpace = kFileHeaderBytes + 56;
constexpr std::int64_t kV5ProfileData = kFileHeaderBytes + 112;
constexpr std::int32_t kProfileEmbedded = 0x4D424544;  // 'MBED'
constexpr std::int32_t kProfileLinked = 0x4C494E4B;    // 'LINK'

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

// Information header sizes of the BMP flavours read here: the OS/2 core
// header (12), OS/2 2.x (16 and 64), Windows 3.x and its 52/56-byte forms, V4
// and V5. Any other size would make the colour table be read from the wrong
// place, and a rewrite would then replace the file's real palette.
bool IsKnownHeaderSize(std::int32_t size) {
    switch (size) {
        case 12:
        case 16:
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

// The compression types by name, for messages.
std::string CompressionText(std::int32_t compression) {
    switch (compression) {
        case 0:
            return "none";
        case 1:
            return "RLE8";
        case 2:
            return "RLE4";
        case 3:
            return "bit fields, 0x3";
        case 4:
            return "JPEG, 0x4";
        case 5:
            return "PNG, 0x5";
        default:
            return "0x" + Hex(compression);
    }
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
    // The file's path and identity; a path that is empty for bytes in memory.
    virtual void Identify(std::string& path, std::uint64_t& device, std::uint64_t& inode,
                          std::int64_t& modified) const = 0;
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
    void Identify(std::string& path, std::uint64_t&, std::uint64_t&, std::int64_t&) const override {
        path.clear();
    }

  private:
    std::span<const std::uint8_t> bytes_;
};

std::int64_t ModifiedNanoseconds(const struct stat& st) {
    return std::int64_t{st.st_mtim.tv_sec} * 1000000000 + st.st_mtim.tv_nsec;
}

class FileSource : public detail::BitmapSource {
  public:
    // Opens `path`: non-blocking, so that opening a named pipe cannot hang.
    explicit FileSource(const std::filesystem::path& path) : name_(path.string()), owned_(true) {
        fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd_ < 0) {
            SetError("Could not open", errno);
            return;
        }
        Examine();
    }
    // Reads the open file `fd`, which stays open.
    FileSource(int fd, std::string name) : name_(std::move(name)), fd_(fd), owned_(false) {
        Examine();
    }
    ~FileSource() override {
        if (owned_ && fd_ >= 0) ::close(fd_);
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
    void Identify(std::string& path, std::uint64_t& device, std::uint64_t& inode,
                  std::int64_t& modified) const override {
        path = name_;
        device = st_.st_dev;
        inode = st_.st_ino;
        modified = ModifiedNanoseconds(st_);
    }

  private:
    // Only regular files are read.
    void Examine() {
        if (::fstat(fd_, &st_) != 0) {
            SetError("Could not read", errno);
        } else if (S_ISDIR(st_.st_mode)) {
            SetError("Could not read", EISDIR);
        } else if (!S_ISREG(st_.st_mode)) {
            error_ = "Could not read \"" + name_ + "\": not a regular file";
        } else {
            size_ = st_.st_size;
        }
    }
    bool SetError(const char* what, int err) {
        error_ = std::string(what) + " \"" + name_ + "\": " + std::strerror(err);
        return false;
    }

    std::string name_;
    int fd_ = -1;
    bool owned_;
    struct stat st_ {};
};

// Decodes an RLE stream into the whole image, rows in the file's order.
class ImageSink : public RleSink {
  public:
    ImageSink(std::uint8_t* pixels, std::int64_t stride, int bits)
        : pixels_(pixels), stride_(stride), bits_(bits) {}
    void Repeat(std::int64_t row, std::int64_t x, std::int64_t count,
                std::uint8_t* value) override {
        std::uint8_t* p = pixels_ + row * stride_;
        if (bits_ == 8) {
            std::memset(p + x, *value, static_cast<std::size_t>(count));
            return;
        }
        for (std::int64_t i = 0; i < count; ++i)
            SetNibble(p, x + i, (i & 1) ? (*value & 0x0F) : (*value >> 4));
    }
    void Literal(std::int64_t row, std::int64_t x, std::int64_t count,
                 std::uint8_t* data) override {
        std::uint8_t* p = pixels_ + row * stride_;
        if (bits_ == 8) {
            std::memcpy(p + x, data, static_cast<std::size_t>(count));
            return;
        }
        for (std::int64_t i = 0; i < count; ++i)
            SetNibble(p, x + i, (i & 1) ? (data[i / 2] & 0x0F) : (data[i / 2] >> 4));
    }

  private:
    static void SetNibble(std::uint8_t* row, std::int64_t x, int v) {
        std::uint8_t& b = row[x / 2];
        b = static_cast<std::uint8_t>((x & 1) ? ((b & 0xF0) | v) : ((b & 0x0F) | (v << 4)));
    }
    std::uint8_t* pixels_;
    std::int64_t stride_;
    int bits_;
};

// Reads a stream through for its length and damage only.
class NullSink : public RleSink {
  public:
    void Repeat(std::int64_t, std::int64_t, std::int64_t, std::uint8_t*) override {}
    void Literal(std::int64_t, std::int64_t, std::int64_t, std::uint8_t*) override {}
};

}  // namespace

void clsBitmap::FreeBytes::operator()(std::uint8_t* p) const {
    std::free(p);
}

bool clsBitmap::Fail(std::string text) {
    lastError_ = std::move(text);
    return false;
}

bool clsBitmap::LoadFromFile(const std::filesystem::path& fileName, BitmapParts parts) {
    FileSource source(fileName);
    if (!source.Opened()) return Fail(source.Error());
    return Load(source, parts);
}

bool clsBitmap::LoadFromDescriptor(int fd, const std::string& name, BitmapParts parts) {
    FileSource source(fd, name);
    if (!source.Opened()) return Fail(source.Error());
    return Load(source, parts);
}

bool clsBitmap::LoadFromByteArray(std::span<const std::uint8_t> bytes) {
    ByteSource source(bytes);
    return Load(source, BitmapParts::Whole);
}

void clsBitmap::ForgetFileLayout() {
    head_.clear();
    tableOffset_ = 0;
    tableEntryBytes_ = 4;
    tableSlots_ = 0;
    loadedTable_.clear();
    gap_ = {};
    tail_ = {};
    pixelDataBytes_ = 0;
    sourceSize_ = 0;
    source_ = {};
    damage_.clear();
    unsupported_.clear();
}

bool clsBitmap::Load(detail::BitmapSource& source, BitmapParts parts) {
    ForgetFileLayout();
    try {
        if (!ReadHeaders(source) || !CheckCompression() || !PrepareLayout() ||
            !ReadColorTable(source) || !CheckPixelOffset(source.Size()) || !KeepHead(source))
            return false;
        sourceSize_ = source.Size();
        source.Identify(source_.path, source_.device, source_.inode, source_.modified);
        source_.size = sourceSize_;
        const bool ok = IsCompressed() ? ReadStream(source, parts) : ReadPixels(source, parts);
        if (!ok) head_.clear();
        return ok;
    } catch (const std::bad_alloc&) {
        head_.clear();
        return Fail("There is not enough memory to load the image (" + std::to_string(Width()) +
                    " x " + std::to_string(Height()) + " pixels).");
    }
}

bool clsBitmap::ReadHeaders(detail::BitmapSource& source) {
    const std::int64_t size = source.Size();
    std::uint8_t header[kFileHeaderBytes + kLargestHeader];
    if (size < 2) return Fail("Did not find bitmap file tag.");
    if (!source.ReadAt(0, header, 2)) return Fail(source.Error());
    if (Read16(header) != kBitmapTag) {
        file_.bfType = Read16(header);
        return Fail("Did not find bitmap file tag.");
    }
    std::int32_t biSize = 40;
    if (size >= kFileHeaderBytes + 4) {
        if (!source.ReadAt(0, header, kFileHeaderBytes + 4)) return Fail(source.Error());
        biSize = Read32(header + 14);
        if (!IsKnownHeaderSize(biSize)) {
            // The bit count sits where every header of 16 bytes or more has it,
            // so the message can say what an 8-bit file lacks.
            if (biSize >= 16 && size >= 30 && source.ReadAt(28, header + 28, 2))
                info_.biBitCount = static_cast<std::int16_t>(Read16(header + 28));
            unsupported_ = "its header size (" + std::to_string(biSize) + " bytes)";
            return Fail("Unsupported bitmap header size: " + std::to_string(biSize));
        }
    }
    const std::int64_t fields = std::min<std::int64_t>(biSize, kInfoHeaderBytes);
    if (size < kFileHeaderBytes + fields) {
        // What the cut header still holds tells an 8-bit file from others.
        const std::int64_t bitsAt = biSize == 12 ? 24 : 28;
        if (size >= bitsAt + 2 && source.ReadAt(bitsAt, header, 2))
            info_.biBitCount = static_cast<std::int16_t>(Read16(header));
        return Fail("Bitmap header is cut short.");
    }
    if (!source.ReadAt(0, header, static_cast<std::size_t>(kFileHeaderBytes + fields)))
        return Fail(source.Error());
    file_ = {Read16(header), Read32(header + 2), Read16(header + 6), Read16(header + 8),
             Read32(header + 10)};
    ParseInfoHeader(header + kFileHeaderBytes);
    return true;
}

void clsBitmap::ParseInfoHeader(const std::uint8_t* h) {
    info_ = {};
    info_.biSize = Read32(h);
    if (info_.biSize == 12) {  // OS/2 core header: 16-bit width and height, bottom-up
        info_.biWidth = Read16(h + 4);
        info_.biHeight = Read16(h + 6);
        info_.biPlanes = Read16(h + 8);
        info_.biBitCount = static_cast<std::int16_t>(Read16(h + 10));
        return;
    }
    info_.biWidth = Read32(h + 4);
    info_.biHeight = Read32(h + 8);
    info_.biPlanes = Read16(h + 12);
    info_.biBitCount = static_cast<std::int16_t>(Read16(h + 14));
    if (info_.biSize == 16) return;  // OS/2 2.x short form: the rest is 0
    info_.biCompression = Read32(h + 16);
    info_.biSizeImage = Read32(h + 20);
    info_.biXPelsPerMeter = Read32(h + 24);
    info_.biYPelsPerMeter = Read32(h + 28);
    info_.biClrUsed = Read32(h + 32);
    info_.biClrImportant = Read32(h + 36);
}

bool clsBitmap::CheckCompression() {
    const std::int32_t c = info_.biCompression;
    if (c == 0 || (c == 1 && info_.biBitCount == 8) || (c == 2 && info_.biBitCount == 4))
        return true;
    if (info_.biBitCount == 8) unsupported_ = "its compression (" + CompressionText(c) + ")";
    return Fail("Unsupported compression type: 0x" + Hex(c));
}

bool clsBitmap::ReadColorTable(detail::BitmapSource& source) {
    colorTable_.clear();
    colorTableEntryCount_ = 0;
    actualColorTableEntryCount_ = 0;
    if (!HasColorTable()) return true;
    // The table follows the information header, whatever its size, and ends
    // where the pixels begin: only the entries that lie wholly before them and
    // inside the file are read, the rest stay black. An OS/2 core table has
    // 3-byte entries and as many as fit before the pixels.
    const std::int64_t size = source.Size();
    const std::int64_t full = std::int64_t{1} << info_.biBitCount;
    tableOffset_ = kFileHeaderBytes + info_.biSize;
    tableEntryBytes_ = info_.biSize == 12 ? 3 : 4;
    const auto clrUsed = static_cast<std::uint32_t>(info_.biClrUsed);
    std::int64_t wanted =
        clrUsed == 0 || info_.biSize == 12 ? full : std::min<std::int64_t>(clrUsed, full);
    if (file_.bfOffBits >= tableOffset_)
        wanted =
            std::min<std::int64_t>(wanted, (file_.bfOffBits - tableOffset_) / tableEntryBytes_);
    const std::int64_t fit = size > tableOffset_ ? (size - tableOffset_) / tableEntryBytes_ : 0;
    const std::int64_t count = std::min(wanted, fit);
    colorTable_.assign(static_cast<std::size_t>(full), 0);
    colorTableEntryCount_ = static_cast<std::int32_t>(full);
    std::uint8_t table[256 * 4];
    const auto bytes = static_cast<std::size_t>(count * tableEntryBytes_);
    if (count > 0 && !source.ReadAt(tableOffset_, table, bytes)) return Fail(source.Error());
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint8_t* e = table + tableEntryBytes_ * i;
        colorTable_[static_cast<std::size_t>(i)] =
            ColorValue{e[2]} | (ColorValue{e[1]} << 8) | (ColorValue{e[0]} << 16);
    }
    actualColorTableEntryCount_ = static_cast<std::int32_t>(count);
    return true;
}

// The file's own length says where its pixel data ends: bfSize is only a
// claim, often 0 or a few bytes off, and a rewrite leaves it as it was.
bool clsBitmap::CheckPixelOffset(std::int64_t size) {
    if (file_.bfOffBits < 0)
        return Fail("Pixel data offset is negative: " + std::to_string(file_.bfOffBits));
    if (file_.bfOffBits >= size)
        return Fail("Pixel data would start at byte " + std::to_string(file_.bfOffBits) +
                    ", past the end of the file (" + std::to_string(size) + " bytes)");
    // Pixels read from the headers would be recoloured into them.
    if (file_.bfOffBits < kFileHeaderBytes + info_.biSize)
        return Fail("Pixel data offset lies inside the headers: " +
                    std::to_string(file_.bfOffBits));
    return true;
}

// Holds the bytes before the pixels up to the end of the colour table.
bool clsBitmap::KeepHead(detail::BitmapSource& source) {
    const std::int64_t tableEnd =
        tableOffset_ + std::int64_t{actualColorTableEntryCount_} * tableEntryBytes_;
    const std::int64_t headEnd = std::max(tableEnd, kFileHeaderBytes + info_.biSize);
    head_.resize(static_cast<std::size_t>(headEnd));
    if (!source.ReadAt(0, head_.data(), head_.size())) {
        head_.clear();
        return Fail(source.Error());
    }
    tableSlots_ = actualColorTableEntryCount_;
    loadedTable_ = colorTable_;
    gap_ = {headEnd, file_.bfOffBits - headEnd, {}, false};
    return true;
}

std::int64_t clsBitmap::ImageBytes() const {
    return std::int64_t{Height()} * rowStride_;
}

bool clsBitmap::ReadPixels(detail::BitmapSource& source, BitmapParts parts) {
    // Bytes behind the image stay in the file's tail.
    const std::int64_t held = std::min(source.Size() - file_.bfOffBits, ImageBytes());
    pixelDataBytes_ = held;
    tail_ = {file_.bfOffBits + held, source.Size() - file_.bfOffBits - held, {}, false};
    if (parts != BitmapParts::Whole) {
        AllocatePixels(0);
        pixelsLoaded_ = false;
        return true;
    }
    if (!AllocatePixels(static_cast<std::size_t>(held))) throw std::bad_alloc();
    if (!source.ReadAt(file_.bfOffBits, pixels_.get(), static_cast<std::size_t>(held)))
        return Fail(source.Error());
    pixelsLoaded_ = true;
    return ReadKept(source);
}

bool clsBitmap::ReadStream(detail::BitmapSource& source, BitmapParts parts) {
    const std::int64_t limit = source.Size();
    pixelDataBytes_ = -1;
    tail_ = {};
    if (parts == BitmapParts::Headers) {
        AllocatePixels(0);
        pixelsLoaded_ = false;
        return true;
    }
    const bool hold = parts == BitmapParts::Whole;
    if (!AllocateBlankPixels(hold ? static_cast<std::size_t>(ImageBytes()) : 0))
        throw std::bad_alloc();
    if (!DecodeStream(source, limit, hold)) return false;
    tail_ = {file_.bfOffBits + pixelDataBytes_,
             source.Size() - file_.bfOffBits - pixelDataBytes_,
             {},
             false};
    pixelsLoaded_ = hold;
    return !hold || ReadKept(source);
}

// Reads the stream from bfOffBits up to `limit` in pieces, decoding it into
// the pixels when `hold` is set; notes its length and any damage.
bool clsBitmap::DecodeStream(detail::BitmapSource& source, std::int64_t limit, bool hold) {
    RleParser parser(info_.biBitCount, Width(), Height());
    ImageSink image(pixels_.get(), rowStride_, info_.biBitCount);
    NullSink none;
    const auto read = [&](std::int64_t at, std::uint8_t* into, std::size_t n) {
        return source.ReadAt(at, into, n) || Fail(source.Error());
    };
    if (!parser.Read(read, file_.bfOffBits, limit, hold ? static_cast<RleSink&>(image) : none))
        return false;
    pixelDataBytes_ = parser.StreamBytes();
    damage_ = parser.Damage();
    return true;
}

// Holds the bytes around the pixels when they are few; otherwise a save
// reads them again from the same, unchanged file.
bool clsBitmap::ReadKept(detail::BitmapSource& source) {
    const bool fromMemory = source_.path.empty();
    if (!fromMemory && gap_.length + tail_.length > kHeldExtraBytes) return true;
    for (KeptBytes* kept : {&gap_, &tail_}) {
        kept->bytes.resize(static_cast<std::size_t>(kept->length));
        if (!source.ReadAt(kept->offset, kept->bytes.data(), kept->bytes.size()))
            return Fail(source.Error());
        kept->held = true;
    }
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

void clsBitmap::FreshHeaders(std::uint64_t pixelBytes, BitmapFileHeader& file,
                             BitmapInfoHeader& info) const {
    file = file_;
    info = info_;
    info.biSize = 40;
    info.biPlanes = 1;
    info.biCompression = 0;
    info.biSizeImage = 0;
    info.biXPelsPerMeter = kFreshPelsPerMeter;
    info.biYPelsPerMeter = kFreshPelsPerMeter;
    info.biClrUsed = colorTableEntryCount_;
    info.biClrImportant = 0;
    file.bfType = kBitmapTag;
    file.bfReserved1 = 0;
    file.bfReserved2 = 0;
    file.bfOffBits = 4 * colorTableEntryCount_ + static_cast<std::int32_t>(kHeaderBytes);
    // Wraps like the 32-bit field it is; a save refuses sizes that do not fit.
    file.bfSize = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(pixelBytes + static_cast<std::uint32_t>(file.bfOffBits)));
}

void clsBitmap::UpdateHeaders() {
    ForgetFileLayout();
    pixelDataBytes_ = static_cast<std::int64_t>(pixelCount_);
    FreshHeaders(pixelCount_, file_, info_);
}

std::vector<std::uint8_t> clsBitmap::FreshHeadBytes(std::uint64_t pixelBytes) const {
    BitmapFileHeader file;
    BitmapInfoHeader info;
    FreshHeaders(pixelBytes, file, info);
    std::vector<std::uint8_t> head(static_cast<std::size_t>(file.bfOffBits));
    std::uint8_t* p = head.data();
    Put16(p, file.bfType);
    Put32(p, file.bfSize);
    Put16(p, file.bfReserved1);
    Put16(p, file.bfReserved2);
    Put32(p, file.bfOffBits);
    Put32(p, info.biSize);
    Put32(p, info.biWidth);
    Put32(p, info.biHeight);
    Put16(p, info.biPlanes);
    Put16(p, static_cast<std::uint16_t>(info.biBitCount));
    Put32(p, info.biCompression);
    Put32(p, info.biSizeImage);
    Put32(p, info.biXPelsPerMeter);
    Put32(p, info.biYPelsPerMeter);
    Put32(p, info.biClrUsed);
    Put32(p, info.biClrImportant);
    for (std::int32_t i = 0; i < colorTableEntryCount_; ++i) {
        const ColorValue c =
            static_cast<std::size_t>(i) < colorTable_.size() ? colorTable_[i] : ColorValue{0};
        *p++ = static_cast<std::uint8_t>(c >> 16);  // blue
        *p++ = static_cast<std::uint8_t>(c >> 8);   // green
        *p++ = static_cast<std::uint8_t>(c);        // red
        *p++ = 0xFF;                                // reserved byte, written as 255
    }
    return head;
}

std::string clsBitmap::HeaderName() const {
    switch (info_.biSize) {
        case 12:
            return "OS/2 1.x BITMAPCOREHEADER";
        case 16:
        case 64:
            return "OS/2 2.x BITMAPINFOHEADER2";
        case 40:
            return "BITMAPINFOHEADER";
        case 52:
            return "BITMAPV2INFOHEADER";
        case 56:
            return "BITMAPV3INFOHEADER";
        case 108:
            return "BITMAPV4HEADER";
        case 124:
            return "BITMAPV5HEADER";
        default:
            return "unknown";
    }
}

std::string clsBitmap::CompressionName() const {
    return CompressionText(info_.biCompression);
}

std::vector<HeaderPatch> clsBitmap::PatchesForPixelData(std::int64_t oldBytes,
                                                        std::int64_t newBytes) const {
    std::vector<HeaderPatch> patches;
    const std::int64_t delta = newBytes - oldBytes;
    if (delta == 0 || head_.empty()) return patches;
    // A field moves with the data's end only when the moved value fits it: a
    // claim that would wrap is left as it was.
    const auto move = [&](std::int64_t at, std::int64_t v) {
        if (v + delta >= 0 && v + delta <= std::numeric_limits<std::int32_t>::max())
            patches.push_back({at, static_cast<std::int32_t>(v + delta)});
    };
    const std::int64_t end = std::int64_t{file_.bfOffBits} + oldBytes;
    // A size that does not reach the pixel data (0, say) claims nothing to move.
    if (file_.bfSize > file_.bfOffBits) move(2, file_.bfSize);
    if (info_.biSize >= 40 && info_.biSizeImage > 0) move(kFileHeaderBytes + 20, info_.biSizeImage);
    if (info_.biSize == 124) {
        // A profile stored behind the pixel data moves with its end.
        const std::int32_t space = Read32(head_.data() + kV5ColorSpace);
        const std::int64_t profile =
            static_cast<std::uint32_t>(Read32(head_.data() + kV5ProfileData));
        if ((space == kProfileEmbedded || space == kProfileLinked) &&
            kFileHeaderBytes + profile >= end)
            move(kV5ProfileData, profile);
    }
    return patches;
}

bool clsBitmap::SaveInto(AtomicFile& out) {
    try {
        return KeepsFileLayout() ? WriteLoaded(out) : WriteFresh(out);
    } catch (const std::bad_alloc&) {
        return Fail("There is not enough memory to save the image.");
    }
}

bool clsBitmap::WriteFresh(AtomicFile& out) {
    UpdateHeaders();
    // An image of no pixel bytes gets one 0 byte, as a new one does: a file
    // without pixel data would not load again.
    const std::uint8_t none = 0;
    const std::uint8_t* pixels = pixelCount_ > 0 ? pixels_.get() : &none;
    const std::size_t count = std::max<std::size_t>(pixelCount_, 1);
    const std::uint64_t total = count + static_cast<std::uint64_t>(file_.bfOffBits);
    if (total > static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max()))
        return Fail("Bitmap is too large for a BMP file.");
    const std::vector<std::uint8_t> head = FreshHeadBytes(count);
    if (out.Write(head.data(), head.size()) && out.Write(pixels, count)) return true;
    return Fail(out.Error());
}

// The file's own bytes, the colour table written into its entries (their
// fourth byte kept), the pixels as they are or compressed again.
bool clsBitmap::WriteLoaded(AtomicFile& out) {
    if (!pixelsLoaded_)
        return Fail("Only the headers of this bitmap were loaded, so it cannot be saved.");
    if (!damage_.empty())
        return Fail("The image's compressed pixel data is damaged (" + damage_ +
                    "), so it is not written back.");
    if (info_.biCompression == 2) return Fail("RLE4-compressed images cannot be saved.");
    if (!HeadWithTable(head_)) return false;
    loadedTable_ = colorTable_;
    if (!out.Write(head_.data(), head_.size())) return Fail(out.Error());
    if (!WriteKept(gap_, out)) return false;
    if (info_.biCompression == 0) {
        if (!out.Write(pixels_.get(), pixelCount_)) return Fail(out.Error());
        return WriteKept(tail_, out);
    }
    std::int64_t streamBytes = 0;
    if (!WriteRle8(out, streamBytes) || !WriteKept(tail_, out)) return false;
    for (const HeaderPatch& patch : PatchesForPixelData(pixelDataBytes_, streamBytes)) {
        std::uint8_t* p = head_.data() + patch.offset;
        Put32(p, patch.value);
        if (!out.WriteAt(static_cast<std::uint64_t>(patch.offset), p, sizeof(std::uint32_t)))
            return Fail(out.Error());
    }
    file_.bfSize = Read32(head_.data() + 2);
    if (info_.biSize >= 40) info_.biSizeImage = Read32(head_.data() + kFileHeaderBytes + 20);
    pixelDataBytes_ = streamBytes;
    return true;
}

bool clsBitmap::HeadWithTable(std::vector<std::uint8_t>& head) {
    for (std::int32_t i = 0; i < colorTableEntryCount_; ++i) {
        const ColorValue c = colorTable_[static_cast<std::size_t>(i)];
        if (i >= tableSlots_) {
            if (c == loadedTable_[static_cast<std::size_t>(i)]) continue;
            return Fail("Color table entry " + std::to_string(i) +
                        " lies beyond the file's color table of " + std::to_string(tableSlots_) +
                        " entries, so it cannot be saved.");
        }
        std::uint8_t* e = head.data() + tableOffset_ + std::int64_t{i} * tableEntryBytes_;
        e[0] = static_cast<std::uint8_t>(c >> 16);
        e[1] = static_cast<std::uint8_t>(c >> 8);
        e[2] = static_cast<std::uint8_t>(c);
    }
    return true;
}

bool clsBitmap::WriteRle8(AtomicFile& out, std::int64_t& streamBytes) {
    std::vector<std::uint8_t> stream;
    const std::int64_t height = Height();
    streamBytes = 0;
    if (height == 0) stream = {0, 1};
    for (std::int64_t r = 0; r < height; ++r) {  // in the order the file stores rows
        Rle8Encoder::EncodeRow(pixels_.get() + r * rowStride_, Width(), r + 1 == height, stream);
        if (stream.size() < kStreamChunk && r + 1 < height) continue;
        if (!out.Write(stream.data(), stream.size())) return Fail(out.Error());
        streamBytes += static_cast<std::int64_t>(stream.size());
        stream.clear();
    }
    if (!stream.empty() && !out.Write(stream.data(), stream.size())) return Fail(out.Error());
    streamBytes += static_cast<std::int64_t>(stream.size());
    return true;
}

int clsBitmap::OpenSource(std::string& error) const {
    const int fd = ::open(source_.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    SourceIdentity now;
    if (fd >= 0 && ::fstat(fd, &st) == 0)
        now = {source_.path, st.st_dev, st.st_ino, st.st_size, ModifiedNanoseconds(st)};
    if (fd >= 0 && now == source_ && !source_.path.empty()) return fd;
    if (fd >= 0) ::close(fd);
    error = "\"" + source_.path + "\" changed since it was loaded, or cannot be read again.";
    return -1;
}

bool clsBitmap::WriteKept(const KeptBytes& kept, AtomicFile& out) {
    if (kept.length <= 0) return true;
    if (kept.held) return out.Write(kept.bytes.data(), kept.bytes.size()) || Fail(out.Error());
    std::string error;
    const int fd = OpenSource(error);
    if (fd < 0)
        return Fail("\"" + source_.path +
                    "\" changed since it was loaded, so the bytes around its pixels cannot be "
                    "saved.");
    const bool copied = out.CopyRange(fd, static_cast<std::uint64_t>(kept.offset),
                                      static_cast<std::uint64_t>(kept.length));
    ::close(fd);
    return copied || Fail(out.Error());
}

bool clsBitmap::SaveAsFile(const std::filesystem::path& fileName) {
    AtomicFile out(fileName);
    if (!out.Open()) return Fail(out.Error());
    if (!SaveInto(out)) return false;
    if (!out.Commit()) return Fail(out.Error());
    // The saved file now holds the kept bytes: a later save reads them there.
    struct stat st {};
    if (KeepsFileLayout() && ::stat(out.Target().c_str(), &st) == 0) {
        source_ = {out.Target().string(), st.st_dev, st.st_ino, st.st_size,
                   ModifiedNanoseconds(st)};
        sourceSize_ = st.st_size;
        tail_.offset = sourceSize_ - tail_.length;
    }
    return true;
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
    if (!AllocateBlankPixels(count)) {
        AllocatePixels(0);
        UpdateHeaders();
        return Fail("There is not enough memory for a new image of " + std::to_string(newWidth) +
                    " x " + std::to_string(newHeight) + " pixels.");
    }
    pixelsLoaded_ = true;
    UpdateHeaders();
    return PrepareLayout();
}

std::unique_ptr<clsBitmap> clsBitmap::CreateCopy() const {
    try {
        auto copy = std::make_unique<clsBitmap>();
        copy->file_ = file_;
        copy->info_ = info_;
        copy->colorTable_ = colorTable_;
        if (!copy->AllocatePixels(pixelCount_)) return nullptr;
        if (pixelCount_) std::memcpy(copy->pixels_.get(), pixels_.get(), pixelCount_);
        copy->colorTableEntryCount_ = colorTableEntryCount_;
        copy->actualColorTableEntryCount_ = actualColorTableEntryCount_;
        copy->UpdateHeaders();
        if (!copy->PrepareLayout()) return nullptr;
        return copy;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

// The old pixels go first, so that the old and the new never take memory together.
bool clsBitmap::AllocatePixels(std::size_t count) {
    pixels_.reset();
    return HoldPixels(std::malloc(std::max<std::size_t>(count, 1)), count);
}

// Zeroed pages come from calloc untouched, so pixels a stream never sets cost
// no memory.
bool clsBitmap::AllocateBlankPixels(std::size_t count) {
    pixels_.reset();
    return HoldPixels(std::calloc(std::max<std::size_t>(count, 1), 1), count);
}

bool clsBitmap::HoldPixels(void* bytes, std::size_t count) {
    pixelCount_ = bytes != nullptr ? count : 0;
    pixels_.reset(static_cast<std::uint8_t*>(bytes));
    return bytes != nullptr;
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
    // An RLE stream that was not read is checked as it is read.
    if (!pixelsLoaded_) return IsCompressed() || CoversImage(pixelDataBytes_);
    return CoversImage(static_cast<std::int64_t>(pixelCount_));
}

// Rows are contiguous, so the first and last stored rows bound them all.
bool clsBitmap::CoversImage(std::int64_t bytes) const {
    if (Height() == 0 || RowDataBytes() == 0) return true;
    return bytes >= (std::int64_t{Height()} - 1) * rowStride_ + RowDataBytes();
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
