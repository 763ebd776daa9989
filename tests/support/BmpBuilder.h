#pragma once

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace tintwell::test {

// Builds the bytes of a BMP file for tests. The defaults give a good, small
// 8-bit bottom-up file; every bad case is one setter away:
//   BmpBuilder().Size(5, 3).Bits(4).TopDown().HeaderSize(108).ClrUsed(16).Build()
//   BmpBuilder().BfSize(0).Build(); BmpBuilder().TruncateTo(60).Build()
// Row padding is filled with PadByte() so tests can see it stays untouched;
// the header bytes beyond the first 40 (headers of 108/124 bytes) are 0xA5.
// HeaderSize(12) writes an OS/2 core header (16-bit sizes, 3-byte colours),
// HeaderSize(16) the short OS/2 2.x one. Rle(stream) stores a compressed stream
// in place of the rows; Profile(bytes) puts a V5 header's embedded profile
// behind the pixel data.
class BmpBuilder {
  public:
    using PixelFn = std::function<std::uint32_t(int x, int y)>;
    using PaletteFn = std::function<std::uint32_t(int index)>;

    BmpBuilder& Size(std::int32_t w, std::int32_t h) {
        width_ = w, height_ = h;
        return *this;
    }
    BmpBuilder& Bits(std::int16_t bits) {
        bits_ = bits;
        return *this;
    }
    BmpBuilder& TopDown(bool on = true) {
        topDown_ = on;
        return *this;
    }
    BmpBuilder& HeaderSize(std::int32_t bytes) {
        headerSize_ = bytes;
        return *this;
    }
    // biClrUsed as written; the palette holds that many entries unless
    // PaletteEntries says otherwise (0 = 2^bits entries).
    BmpBuilder& ClrUsed(std::int32_t n) {
        clrUsed_ = n;
        return *this;
    }
    BmpBuilder& PaletteEntries(int n) {
        paletteEntries_ = n;
        return *this;
    }
    BmpBuilder& PaletteReserved(std::uint8_t b) {
        paletteReserved_ = b;
        return *this;
    }
    BmpBuilder& Compression(std::int32_t c) {
        compression_ = c;
        return *this;
    }
    BmpBuilder& ClrImportant(std::int32_t n) {
        clrImportant_ = n;
        return *this;
    }
    // Bytes between the colour table and the pixels.
    BmpBuilder& Gap(std::vector<std::uint8_t> b) {
        gap_ = std::move(b);
        return *this;
    }
    BmpBuilder& Rle(std::vector<std::uint8_t> stream) {
        rle_ = std::move(stream);
        if (compression_ == 0) compression_ = bits_ == 4 ? 2 : 1;
        return *this;
    }
    BmpBuilder& Profile(std::vector<std::uint8_t> b) {
        profile_ = std::move(b);
        return *this;
    }
    BmpBuilder& BfSize(std::int32_t v) {
        bfSize_ = v;
        return *this;
    }
    BmpBuilder& BfOffBits(std::int32_t v) {
        bfOffBits_ = v;
        return *this;
    }
    BmpBuilder& BiWidthField(std::int32_t v) {
        widthField_ = v;
        return *this;
    }
    BmpBuilder& BiHeightField(std::int32_t v) {
        heightField_ = v;
        return *this;
    }
    // Bytes after the last row but inside bfSize.
    BmpBuilder& Trailing(std::vector<std::uint8_t> b) {
        trailing_ = std::move(b);
        return *this;
    }
    // Bytes after bfSize (the file is longer than its header says).
    BmpBuilder& AfterEnd(std::vector<std::uint8_t> b) {
        afterEnd_ = std::move(b);
        return *this;
    }
    BmpBuilder& TruncateTo(std::size_t n) {
        truncateTo_ = n;
        return *this;
    }
    BmpBuilder& Pixels(PixelFn f) {
        pixel_ = std::move(f);
        return *this;
    }
    BmpBuilder& Palette(PaletteFn f) {
        palette_ = std::move(f);
        return *this;
    }
    BmpBuilder& PadByte(std::uint8_t b) {
        pad_ = b;
        return *this;
    }
    BmpBuilder& AlphaByte(std::uint8_t b) {
        alpha_ = b;
        return *this;
    }

    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }
    std::int16_t BitCount() const { return bits_; }
    std::uint8_t Pad() const { return pad_; }
    // The default palette gives every index its own colour (COLORREF layout).
    static std::uint32_t DefaultColor(int i) {
        return static_cast<std::uint32_t>((i & 255) | ((255 - (i & 255)) << 8) |
                                          (((i * 7 + 3) & 255) << 16));
    }
    std::uint32_t PaletteColor(int i) const { return palette_ ? palette_(i) : DefaultColor(i); }
    // The value the builder stored at (x, y), row 0 at the top: a palette index
    // for 1/4/8 bits, a colour value for 24/32 bits.
    std::uint32_t PixelValue(int x, int y) const {
        if (pixel_) return pixel_(x, y) & ValueMask();
        if (bits_ > 8)
            return static_cast<std::uint32_t>((x * 40) | ((y * 30) << 8) | (((x + y) * 17) << 16)) &
                   0xFFFFFF;
        return static_cast<std::uint32_t>(x * 3 + y * 5 + 1) & ValueMask();
    }
    std::int64_t Stride() const { return ((std::int64_t{width_} * bits_ + 31) & ~31LL) / 8; }
    std::int32_t PaletteCount() const {
        if (bits_ > 8) return 0;
        if (paletteEntries_ >= 0) return paletteEntries_ ? paletteEntries_ : 1 << bits_;
        return clrUsed_ ? clrUsed_ : 1 << bits_;
    }
    std::int64_t PaletteOffset() const { return 14 + headerSize_; }
    int EntryBytes() const { return headerSize_ == 12 ? 3 : 4; }
    std::int64_t PixelStart() const {
        return PaletteOffset() + std::int64_t{EntryBytes()} * PaletteCount() +
               static_cast<std::int64_t>(gap_.size());
    }
    std::int64_t PixelBytes() const {
        return rle_ ? static_cast<std::int64_t>(rle_->size()) : Stride() * height_;
    }
    // Offset in the file of the first byte of image row y (0 = top).
    std::int64_t RowStartInFile(int y) const {
        return PixelStart() + (topDown_ ? y : height_ - 1 - y) * Stride();
    }

    std::vector<std::uint8_t> Build() const {
        std::vector<std::uint8_t> out;
        const std::int64_t pixelBytes = PixelBytes();
        const std::int64_t offBits = bfOffBits_.value_or(static_cast<std::int32_t>(PixelStart()));
        const std::int64_t size =
            PixelStart() + pixelBytes + std::int64_t(profile_.size() + trailing_.size());
        Put16(out, 0x4D42);
        Put32(out, bfSize_.value_or(static_cast<std::int32_t>(size)));
        Put16(out, 0);
        Put16(out, 0);
        Put32(out, static_cast<std::int32_t>(offBits));
        const std::size_t info = out.size();
        Put32(out, headerSize_);
        Put32(out, widthField_.value_or(width_));
        Put32(out, heightField_.value_or(topDown_ ? -height_ : height_));
        Put16(out, 1);
        Put16(out, static_cast<std::uint16_t>(bits_));
        Put32(out, compression_);
        Put32(out, static_cast<std::int32_t>(pixelBytes));
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, clrUsed_);
        Put32(out, clrImportant_);
        out.resize(info + static_cast<std::size_t>(std::max(headerSize_, 0)), 0xA5);
        FinishInfoHeader(out.data() + info, pixelBytes);
        for (int i = 0; i < PaletteCount(); ++i) {
            const std::uint32_t c = PaletteColor(i);
            out.push_back(static_cast<std::uint8_t>(c >> 16));
            out.push_back(static_cast<std::uint8_t>(c >> 8));
            out.push_back(static_cast<std::uint8_t>(c));
            if (EntryBytes() == 4) out.push_back(paletteReserved_);
        }
        out.insert(out.end(), gap_.begin(), gap_.end());
        if (rle_) out.insert(out.end(), rle_->begin(), rle_->end());
        for (int row = 0; row < height_ && !rle_; ++row)
            AppendRow(out, topDown_ ? row : height_ - 1 - row);
        out.insert(out.end(), profile_.begin(), profile_.end());
        out.insert(out.end(), trailing_.begin(), trailing_.end());
        out.insert(out.end(), afterEnd_.begin(), afterEnd_.end());
        if (truncateTo_ && *truncateTo_ < out.size()) out.resize(*truncateTo_);
        return out;
    }

    std::filesystem::path WriteTo(const std::filesystem::path& path) const {
        WriteFile(path, Build());
        return path;
    }

    static void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& b) {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
        if (!f) throw std::runtime_error("cannot write " + path.string());
    }
    static std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
        std::ifstream f(path, std::ios::binary);
        if (!f) throw std::runtime_error("cannot read " + path.string());
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

  private:
    // The OS/2 core header's 16-bit fields; a V5 header's embedded profile.
    void FinishInfoHeader(std::uint8_t* h, std::int64_t pixelBytes) const {
        const std::int64_t at = PixelStart() + pixelBytes - 14;
        std::vector<std::pair<int, std::int64_t>> fields;
        if (headerSize_ == 124 && !profile_.empty())
            fields = {{56, 0x4D424544}, {112, at}, {116, std::int64_t(profile_.size())}};
        for (auto [o, v] : fields)
            for (int k = 0; k < 4; ++k)
                h[o + k] = static_cast<std::uint8_t>(v >> (8 * k));
        if (headerSize_ != 12) return;
        const std::uint16_t core[] = {static_cast<std::uint16_t>(widthField_.value_or(width_)),
                                      static_cast<std::uint16_t>(heightField_.value_or(height_)), 1,
                                      static_cast<std::uint16_t>(bits_)};
        for (int k = 0; k < 8; ++k)
            h[4 + k] = static_cast<std::uint8_t>(core[k / 2] >> (8 * (k % 2)));
    }
    std::uint32_t ValueMask() const {
        return bits_ > 8 ? 0xFFFFFFu : bits_ > 0 ? (1u << bits_) - 1 : 0u;
    }
    void AppendRow(std::vector<std::uint8_t>& out, int y) const {
        std::vector<std::uint8_t> row(static_cast<std::size_t>(Stride()), 0);
        std::int64_t used = 0;
        for (int x = 0; x < width_; ++x) {
            const std::uint32_t v = PixelValue(x, y);
            switch (bits_) {
                case 1:
                case 4: {
                    const int perByte = 8 / bits_;
                    const int shift = bits_ * (perByte - 1 - x % perByte);
                    row[x / perByte] |= static_cast<std::uint8_t>(v << shift);
                    used = x / perByte + 1;
                    break;
                }
                case 8:
                    row[x] = static_cast<std::uint8_t>(v);
                    used = x + 1;
                    break;
                case 24:
                case 32: {
                    const int bpp = bits_ / 8;
                    row[x * bpp] = static_cast<std::uint8_t>(v >> 16);
                    row[x * bpp + 1] = static_cast<std::uint8_t>(v >> 8);
                    row[x * bpp + 2] = static_cast<std::uint8_t>(v);
                    if (bpp == 4) row[x * bpp + 3] = alpha_;
                    used = (x + 1) * bpp;
                    break;
                }
                default:  // unsupported depths: any recognisable bytes
                    used = 0;
                    break;
            }
        }
        if (bits_ != 1 && bits_ != 4 && bits_ != 8 && bits_ != 24 && bits_ != 32) used = 0;
        for (std::size_t i = static_cast<std::size_t>(used); i < row.size(); ++i)
            row[i] = pad_;
        out.insert(out.end(), row.begin(), row.end());
    }
    static void Put16(std::vector<std::uint8_t>& o, std::uint16_t v) {
        o.push_back(static_cast<std::uint8_t>(v));
        o.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    static void Put32(std::vector<std::uint8_t>& o, std::int32_t value) {
        const auto v = static_cast<std::uint32_t>(value);
        for (int s = 0; s < 32; s += 8)
            o.push_back(static_cast<std::uint8_t>(v >> s));
    }

    std::int32_t width_ = 5;
    std::int32_t height_ = 3;
    std::int16_t bits_ = 8;
    bool topDown_ = false;
    std::int32_t headerSize_ = 40;
    std::int32_t clrUsed_ = 0;
    int paletteEntries_ = -1;
    std::uint8_t paletteReserved_ = 0;
    std::int32_t compression_ = 0;
    std::int32_t clrImportant_ = 0;
    std::vector<std::uint8_t> gap_;
    std::optional<std::vector<std::uint8_t>> rle_;
    std::vector<std::uint8_t> profile_;
    std::optional<std::int32_t> bfSize_;
    std::optional<std::int32_t> bfOffBits_;
    std::optional<std::int32_t> widthField_;
    std::optional<std::int32_t> heightField_;
    std::vector<std::uint8_t> trailing_;
    std::vector<std::uint8_t> afterEnd_;
    std::optional<std::size_t> truncateTo_;
    PixelFn pixel_;
    PaletteFn palette_;
    std::uint8_t pad_ = 0xEE;
    std::uint8_t alpha_ = 0x7F;
};

}  // namespace tintwell::test
