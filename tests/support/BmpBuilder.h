#pragma once
// The bytes of a BMP file for tests. The defaults give a good 5 x 3 8-bit
// bottom-up file (1102 bytes, pixels from 1078); each bad case is one call away:
//   Bmp().Bits(4).TopDown().HeaderSize(108).ClrUsed(16).Cut(60).Set32(kCompression, 1)
// Index pixels hold (x * 3 + y * 5 + 1) masked to the bits, colour pixels a
// mix of x and y; row padding is 0xEE; palette entry i is PaletteColor(i).
// Header bytes beyond the first 40 are 0xA5; HeaderSize(12) is the OS/2 core
// header (16-bit sizes, 3-byte colours), 16 and 64 the OS/2 2.x ones. Rle()
// stores a compressed stream in place of the rows, Gap() bytes between the
// table and the pixels, Profile() a V5 header's embedded profile behind them.

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"

namespace tintwell::test {

// Offsets of the header fields a test changes.
enum Field {
    kBfSize = 2,
    kOffBits = 10,
    kBiSize = 14,
    kWidth = 18,
    kHeight = 22,
    kBits = 28,
    kCompression = 30
};

class Bmp {
  public:
    Bmp& Size(int w, int h) { return w_ = w, h_ = h, *this; }
    Bmp& Bits(int bits) { return bits_ = bits, *this; }
    Bmp& TopDown(bool on = true) { return topDown_ = on, *this; }
    Bmp& HeaderSize(int bytes) { return header_ = bytes, *this; }
    Bmp& ClrUsed(int n, int held = -1) { return clrUsed_ = n, held_ = held, *this; }
    Bmp& Pixels(std::function<std::uint32_t(int, int)> f) { return pixel_ = std::move(f), *this; }
    Bmp& Trailing(std::string b) { return trailing_ = std::move(b), *this; }
    Bmp& Set32(int at, std::int64_t v) { return patches_.push_back({at, v}), *this; }
    Bmp& Cut(std::size_t n) { return cut_ = n, *this; }
    Bmp& ClrImportant(int n) { return clrImportant_ = n, *this; }
    Bmp& Gap(std::string b) { return gap_ = std::move(b), *this; }
    Bmp& Rle(std::string stream) { return rle_ = std::move(stream), *this; }
    Bmp& Profile(std::string b) { return profile_ = std::move(b), *this; }

    int Width() const { return w_; }
    int Height() const { return h_; }
    int BitCount() const { return bits_; }
    static ColorValue PaletteColor(int i) {
        return static_cast<ColorValue>((i & 255) | ((255 - (i & 255)) << 8) |
                                       (((i * 7 + 3) & 255) << 16));
    }
    std::uint32_t Pixel(int x, int y) const {
        if (bits_ > 8)
            return pixel_ ? pixel_(x, y) : (x * 40) | (y * 30 << 8) | ((x + y) * 17 << 16);
        return (pixel_ ? pixel_(x, y) : x * 3 + y * 5 + 1) & ((1u << bits_) - 1);
    }
    std::int64_t Stride() const { return (std::int64_t{w_} * bits_ + 31) / 32 * 4; }
    int PaletteCount() const {
        return bits_ > 8 ? 0 : held_ >= 0 ? held_ : clrUsed_ ? clrUsed_ : 1 << bits_;
    }

    std::int64_t PixelStart() const {
        return 14 + header_ + (header_ == 12 ? 3 : 4) * PaletteCount() + std::int64_t(gap_.size());
    }
    // Where in the file the byte of 8-bit pixel (x, y) lies (y = 0 at the top).
    std::size_t Offset(int x, int y) const {
        return static_cast<std::size_t>(PixelStart() + (topDown_ ? y : h_ - 1 - y) * Stride() + x);
    }

    std::string Build() const {
        std::string o;
        const std::int64_t start = PixelStart(), pixels = rle_ ? rle_->size() : Stride() * h_;
        const std::int64_t size = start + pixels + std::int64_t(profile_.size() + trailing_.size());
        Put(o, 0x4D42, 2), Put(o, size), Put(o, 0), Put(o, start), Put(o, header_);
        if (header_ == 12) {
            Put(o, w_, 2), Put(o, h_, 2), Put(o, 1, 2), Put(o, bits_, 2);
        } else {
            Put(o, w_), Put(o, topDown_ ? -h_ : h_), Put(o, 1, 2), Put(o, bits_, 2);
            Put(o, rle_ ? bits_ == 4 ? 2 : 1 : 0), Put(o, pixels), Put(o, 2835), Put(o, 2835);
            Put(o, clrUsed_), Put(o, clrImportant_);
            o.resize(static_cast<std::size_t>(14 + header_), '\xA5');
        }
        if (header_ == 124 && !profile_.empty())  // embedded profile: kind, offset, size
            Put(o, 0x4D424544, 4, 70), Put(o, start + pixels - 14, 4, 126),
                Put(o, std::int64_t(profile_.size()), 4, 130);
        for (int i = 0; i < PaletteCount(); ++i)
            Put(o,
                (PaletteColor(i) >> 16 & 0xFF) | (PaletteColor(i) & 0xFF00) |
                    (PaletteColor(i) & 0xFF) << 16,
                header_ == 12 ? 3 : 4);
        o += gap_;
        for (int row = 0; row < h_ && !rle_; ++row)
            o += Row(topDown_ ? row : h_ - 1 - row);
        o += rle_.value_or("") + profile_ + trailing_;
        for (const auto& [at, v] : patches_)
            for (int i = 0; i < 4; ++i)
                o.at(static_cast<std::size_t>(at + i)) = static_cast<char>(v >> 8 * i);
        if (cut_ < o.size()) o.resize(cut_);
        return o;
    }

  private:
    // Appends `v` in `bytes` bytes, or writes it at `at`.
    static void Put(std::string& o, std::int64_t v, int bytes = 4, std::size_t at = SIZE_MAX) {
        for (int i = 0; i < bytes; ++i)
            at == SIZE_MAX ? void(o += static_cast<char>(v >> 8 * i))
                           : void(o.at(at + i) = static_cast<char>(v >> 8 * i));
    }
    std::string Row(int y) const {
        std::string row(static_cast<std::size_t>(Stride()), '\xEE');
        const int bpp = bits_ / 8;
        for (int x = 0; x < w_ && (bits_ == 1 || bits_ == 4 || bpp == 1 || bpp == 3 || bpp == 4);
             ++x) {
            const std::uint32_t v = Pixel(x, y);
            if (bits_ < 8) {
                const int per = 8 / bits_, shift = bits_ * (per - 1 - x % per);
                char& b = row[static_cast<std::size_t>(x / per)];
                b = static_cast<char>((x % per ? b : 0) | v << shift);
            } else if (bpp == 1) {
                row[static_cast<std::size_t>(x)] = static_cast<char>(v);
            } else {
                for (int i = 0; i < bpp; ++i)
                    row[static_cast<std::size_t>(x * bpp + i)] =
                        static_cast<char>(i == 3 ? 0x7F : v >> 8 * (2 - i));
            }
        }
        return row;
    }

    int w_ = 5, h_ = 3, bits_ = 8, header_ = 40, clrUsed_ = 0, held_ = -1, clrImportant_ = 0;
    bool topDown_ = false;
    std::string trailing_, gap_, profile_;
    std::optional<std::string> rle_;
    std::vector<std::pair<int, std::int64_t>> patches_;
    std::size_t cut_ = std::string::npos;
    std::function<std::uint32_t(int, int)> pixel_;
};

// Loads `bytes` from a heap block of exactly their size, so that a read past
// the end is caught when the tests run under the address sanitizer.
inline bool Load(clsBitmap& bmp, const std::string& bytes) {
    const auto block = std::make_unique<std::uint8_t[]>(bytes.size());
    std::memcpy(block.get(), bytes.data(), bytes.size());
    return bmp.LoadFromByteArray({block.get(), bytes.size()});
}
// The pixel bytes a bitmap holds.
inline std::string PixelBytes(const clsBitmap& b) {
    return {b.Pixels().begin(), b.Pixels().end()};
}
// A bitmap loaded from the builder's bytes (whatever the load made of them).
inline clsBitmap Loaded(const Bmp& b) {
    clsBitmap bmp;
    Load(bmp, b.Build());
    return bmp;
}

}  // namespace tintwell::test
