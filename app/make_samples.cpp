// Writes the small 8-bit sample images that ship beside the program, so a
// first start (which lists the program's folder) shows real images.
// Usage: tintwell_make_samples <folder>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>

#include "bitmap/clsBitmap.h"

namespace {

using tintwell::clsBitmap;
using tintwell::ColorValue;

ColorValue Rgb(int r, int g, int b) {
    return static_cast<ColorValue>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

bool Write(const std::filesystem::path& file, int w, int h,
           const std::function<ColorValue(int)>& palette,
           const std::function<int(int, int)>& pixel) {
    clsBitmap bmp;
    if (!bmp.CreateNew(w, h, 8)) return false;
    for (int i = 0; i < 256; ++i)
        bmp.SetColorTableEntry(i, palette(i));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            bmp.SetPixelAt(x, y, pixel(x, y) & 0xFF);
    }
    if (!bmp.SaveAsFile(file)) {
        std::fprintf(stderr, "%s: %s\n", file.string().c_str(), bmp.LastError().c_str());
        return false;
    }
    return true;
}

// Sunset sky over a dark hill: index runs from deep blue through red to yellow.
ColorValue SunsetColor(int i) {
    const double t = i / 255.0;
    return Rgb(static_cast<int>(40 + 215 * t), static_cast<int>(20 + 200 * t * t),
               static_cast<int>(120 * (1 - t) + 40));
}

// Sixteen named colours, then a grey ramp.
ColorValue TileColor(int i) {
    static const int base[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
    if (i < 16) return Rgb(base[i][0], base[i][1], base[i][2]);
    return Rgb(i, i, i);
}

// A hue wheel over all 256 entries.
ColorValue HueColor(int i) {
    const double h = i / 256.0 * 6.0;
    const int sector = static_cast<int>(h);
    const double f = h - sector;
    const int up = static_cast<int>(255 * f), down = 255 - up;
    switch (sector) {
        case 0:
            return Rgb(255, up, 0);
        case 1:
            return Rgb(down, 255, 0);
        case 2:
            return Rgb(0, 255, up);
        case 3:
            return Rgb(0, down, 255);
        case 4:
            return Rgb(up, 0, 255);
        default:
            return Rgb(255, 0, down);
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);
    bool ok = true;
    ok &= Write(folder / "sample-sunset.bmp", 160, 100, SunsetColor, [](int x, int y) {
        const double hill = 70 + 12 * std::sin(x / 18.0);
        if (y > hill) return 0;
        const double dx = x - 110, dy = y - 55;
        if (dx * dx + dy * dy < 15 * 15) return 255;
        return 255 - y * 200 / 100;
    });
    ok &= Write(folder / "sample-tiles.bmp", 96, 96, TileColor, [](int x, int y) {
        const int tile = (x / 12 + y / 12) % 2 == 0 ? 9 + (x / 24 + y / 24) % 7 : 15;
        return (x % 12 == 0 || y % 12 == 0) ? 8 : tile;
    });
    ok &= Write(folder / "sample-rings.bmp", 120, 120, HueColor, [](int x, int y) {
        const double dx = x - 59.5, dy = y - 59.5;
        return static_cast<int>(std::sqrt(dx * dx + dy * dy) * 4) % 256;
    });
    ok &= Write(folder / "sample-stripes.bmp", 64, 48, TileColor,
                [](int x, int y) { return y < 24 ? 1 + (x / 8) % 15 : 16 + x * 3; });
    return ok ? 0 : 1;
}
