// Writes the data sets of the command-line benchmark with the project's own
// bitmap class: 8-bit BMP files of random pixel indices, each with its own
// random 256-colour palette.
//   make_bench_data DIR [SET...]      SET: large, batch, sprites (default: all)
//     large    DIR/large/large.bmp            one 8192 x 8192 file
//     batch    DIR/batch/img-000.bmp ...      200 files of 1024 x 1024
//     sprites  DIR/sprites/sprite-0000.bmp ...  2000 files of 64 x 64
//     rle      DIR/rle/rle.bmp              one RLE8 file decoding to 8192 x 8192, and
//              DIR/rle-floor/same.bmp       an uncompressed file of about its byte size
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"

namespace {

namespace fs = std::filesystem;

// xorshift64*: fast, reproducible, good enough for test pixels.
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t Next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 0x2545F4914F6CDD1Dull;
    }
    void Fill(std::span<std::uint8_t> bytes) {
        std::size_t i = 0;
        for (; i + 8 <= bytes.size(); i += 8) {
            const std::uint64_t v = Next();
            std::memcpy(bytes.data() + i, &v, 8);
        }
        for (; i < bytes.size(); ++i)
            bytes[i] = static_cast<std::uint8_t>(Next());
    }

  private:
    std::uint64_t state_;
};

bool WriteImage(const fs::path& path, int width, int height, std::uint64_t seed) {
    Random random(seed);
    tintwell::clsBitmap bitmap;
    if (!bitmap.CreateNew(width, height, 8)) return false;
    for (int i = 0; i < 256; ++i)
        bitmap.SetColorTableEntry(i, static_cast<tintwell::ColorValue>(random.Next() & 0xFFFFFF));
    random.Fill(bitmap.MutablePixels());
    if (bitmap.SaveAsFile(path)) return true;
    std::fprintf(stderr, "make_bench_data: %s\n", bitmap.LastError().c_str());
    return false;
}

// Rows of runs (1 to 32 pixels) and absolute stretches (3 to 40 pixels) of
// random indices: about half a byte per pixel, as drawn art compresses.
std::vector<std::uint8_t> RleStream(int width, int height, Random& random) {
    std::vector<std::uint8_t> s;
    for (int row = 0; row < height; ++row) {
        for (int x = 0; x < width;) {
            const std::uint64_t r = random.Next();
            const int left = width - x;
            if (r % 10 < 7 || left < 3) {
                const int n = std::min<int>(1 + static_cast<int>((r >> 8) % 32), left);
                s.insert(s.end(),
                         {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(r >> 16)});
                x += n;
                continue;
            }
            const int n = std::min<int>(3 + static_cast<int>((r >> 8) % 38), left);
            s.insert(s.end(), {0, static_cast<std::uint8_t>(n)});
            for (int i = 0; i < n; ++i)
                s.push_back(static_cast<std::uint8_t>(random.Next()));
            if (n % 2) s.push_back(0);
            x += n;
        }
        s.insert(s.end(), {0, static_cast<std::uint8_t>(row + 1 == height ? 1 : 0)});
    }
    return s;
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// An RLE8 file of `width` x `height` pixels, with a 40-byte header and 256
// colours; its size in bytes goes to `bytes`.
bool WriteRle(const fs::path& path, int width, int height, std::uint64_t seed,
              std::uint64_t& bytes) {
    Random random(seed);
    const std::vector<std::uint8_t> stream = RleStream(width, height, random);
    std::vector<std::uint8_t> head = {'B', 'M'};
    Put32(head, static_cast<std::uint32_t>(1078 + stream.size()));
    Put32(head, 0);
    Put32(head, 1078);
    for (std::uint32_t v :
         {40u, static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)})
        Put32(head, v);
    head.insert(head.end(), {1, 0, 8, 0});
    for (std::uint32_t v : {1u, static_cast<std::uint32_t>(stream.size()), 2835u, 2835u, 256u, 0u})
        Put32(head, v);
    for (int i = 0; i < 256; ++i)
        Put32(head, static_cast<std::uint32_t>(random.Next() & 0xFFFFFF));
    std::FILE* f = std::fopen(path.c_str(), "wb");
    const bool ok = f && std::fwrite(head.data(), 1, head.size(), f) == head.size() &&
                    std::fwrite(stream.data(), 1, stream.size(), f) == stream.size();
    if (f) std::fclose(f);
    bytes = head.size() + stream.size();
    return ok;
}

bool WriteRleSet(const fs::path& dir) {
    fs::create_directories(dir / "rle");
    fs::create_directories(dir / "rle-floor");
    std::uint64_t bytes = 0;
    if (!WriteRle(dir / "rle" / "rle.bmp", 8192, 8192, 77, bytes)) return false;
    const int height = static_cast<int>((bytes - 1078) / 8192);
    return WriteImage(dir / "rle-floor" / "same.bmp", 8192, height, 78);
}

bool WriteSet(const fs::path& dir, const std::string& set) {
    if (set == "rle") return WriteRleSet(dir);
    struct Spec {
        const char* name;
        const char* pattern;
        int count, width, height;
    };
    static const Spec specs[] = {{"large", "large.bmp", 1, 8192, 8192},
                                 {"batch", "img-%03d.bmp", 200, 1024, 1024},
                                 {"sprites", "sprite-%04d.bmp", 2000, 64, 64}};
    for (const Spec& spec : specs) {
        if (set != spec.name) continue;
        const fs::path folder = dir / spec.name;
        fs::create_directories(folder);
        for (int i = 0; i < spec.count; ++i) {
            char name[64];
            std::snprintf(name, sizeof name, spec.pattern, i);
            const std::uint64_t seed =
                std::hash<std::string>{}(set) + static_cast<std::uint64_t>(i);
            if (!WriteImage(folder / name, spec.width, spec.height, seed)) return false;
        }
        return true;
    }
    std::fprintf(stderr, "make_bench_data: unknown set \"%s\" (large, batch, sprites, rle)\n",
                 set.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_bench_data DIR [large|batch|sprites|rle]...\n");
        return 2;
    }
    std::vector<std::string> sets(argv + 2, argv + argc);
    if (sets.empty()) sets = {"large", "batch", "sprites", "rle"};
    for (const std::string& set : sets)
        if (!WriteSet(argv[1], set)) return 1;
    return 0;
}
