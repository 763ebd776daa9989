// Writes the data sets of the command-line benchmark with the project's own
// bitmap class: 8-bit BMP files of random pixel indices, each with its own
// random 256-colour palette.
//   make_bench_data DIR [SET...]      SET: large, batch, sprites (default: all)
//     large    DIR/large/large.bmp            one 8192 x 8192 file
//     batch    DIR/batch/img-000.bmp ...      200 files of 1024 x 1024
//     sprites  DIR/sprites/sprite-0000.bmp ...  2000 files of 64 x 64
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

bool WriteSet(const fs::path& dir, const std::string& set) {
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
    std::fprintf(stderr, "make_bench_data: unknown set \"%s\" (large, batch, sprites)\n",
                 set.c_str());
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: make_bench_data DIR [large|batch|sprites]...\n");
        return 2;
    }
    std::vector<std::string> sets(argv + 2, argv + argc);
    if (sets.empty()) sets = {"large", "batch", "sprites"};
    for (const std::string& set : sets)
        if (!WriteSet(argv[1], set)) return 1;
    return 0;
}
