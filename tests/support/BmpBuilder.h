#pragma once
// The bytes of a BMP file for tests. The defaults give a good 5 x 3 8-bit
// bottom-up file (1102 bytes, pixels from 1078); each bad case is one call away:
//   Bmp().Bits(4).TopDown().HeaderSize(108).ClrUsed(16).Cut(60).Set32(kCompression, 1)
// Index pixels hold (x * 3 + y * 5 + 1) masked to the bits, colour pixels a
// mix of x and y; row padding is 0xEE; palette entry i is PaletteColor(i).

#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
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
    kCompression = 30,
    kClrUsed = 46
};

class Bmp {
  public:
    Bmp& Size(int w, int h) { return w_ = w, h_ = h, *this; }
    Bmp& Bits(int bits) { return bits_ = bits, *this; }
    Bmp& TopDown(bool on = true) { return topDown_ = on, *this; }
    Bmp& HeaderSize(int bytes) { return header_ = bytes, *this; }
    Bmp& ClrUsed(int n, int held = -1) { return clrUsed_ = n, held_ = held, *this; }
    Bmp& Pixels(std::function<std::uint32_t(int, int)> f) { return pixel_ = std::move(f), *this; }
    Bmp& Reserved(std::uint8_t b) { return reserved_ = b, *this; }
    Bmp& Trailing(std::string b) { return trailing_ = std::move(b), *this; }
    Bmp& Set32(int at, std::int64_t v) { return patches_.push_back({at, v}), *this; }
    Bmp& Cut(std::size_t n) { return cut_ = n, *this; }

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

    std::string Build() const {
        std::string o;
        const std::int64_t start = 14 + header_ + 4 * PaletteCount();
        const std::int64_t size = start + Stride() * h_ + std::int64_t(trailing_.size());
        Put(o, 0x4D42, 2), Put(o, size), Put(o, 0), Put(o, start), Put(o, header_), Put(o, w_);
        Put(o, topDown_ ? -h_ : h_), Put(o, 1, 2), Put(o, bits_, 2), Put(o, 0);
        Put(o, Stride() * h_), Put(o, 2835), Put(o, 2835), Put(o, clrUsed_), Put(o, 0);
        o.append(static_cast<std::size_t>(header_ > 40 ? header_ - 40 : 0), '\xA5');
        for (int i = 0; i < PaletteCount(); ++i)
            Put(o, (PaletteColor(i) >> 16 & 0xFF) | (PaletteColor(i) & 0xFF00) |
                       (PaletteColor(i) & 0xFF) << 16 | reserved_ << 24);
        for (int row = 0; row < h_; ++row)
            o += Row(topDown_ ? row : h_ - 1 - row);
        o += trailing_;
        for (const auto& [at, v] : patches_)
            for (int i = 0; i < 4; ++i)
                o.at(static_cast<std::size_t>(at + i)) = static_cast<char>(v >> 8 * i);
        if (cut_ < o.size()) o.resize(cut_);
        return o;
    }

  private:
    static void Put(std::string& o, std::int64_t v, int bytes = 4) {
        for (int i = 0; i < bytes; ++i)
            o += static_cast<char>(v >> 8 * i);
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

    int w_ = 5, h_ = 3, bits_ = 8, header_ = 40, clrUsed_ = 0, held_ = -1;
    bool topDown_ = false;
    std::uint8_t reserved_ = 0;
    std::string trailing_;
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

}  // namespace tintwell::test
