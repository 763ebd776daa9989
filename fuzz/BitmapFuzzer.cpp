// Fuzz target: the BMP loader on arbitrary bytes, then the whole pipeline on
// whatever it accepts. Copy, recolour through a map and selection drawn from the
// input (checked against a pixel-by-pixel reference), save, reload and compare;
// the identity map must give back the same pixels and palette. RecolorFile on
// the same bytes must either rewrite the file completely or leave it
// byte-identical, and a backup, when made, is a complete copy. A rewrite
// through the identity leaves the file byte-identical, and an uncompressed
// one changes no byte outside the pixels.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/modRecolor.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/RecordingMessageBox.h"

namespace {

using namespace tintwell;
namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Images up to this many pixels are also recoloured by the reference loop.
constexpr std::int64_t kReferencePixels = 1 << 16;

struct Params {
    SelectionRect selection;
    bool outside = false;
    bool backup = false;
    ColorMap map;
};

// The last bytes of the input steer the map and selection (they are usually
// pixel bytes too, which is fine: the fuzzer can still move them).
Params ParamsFrom(const std::uint8_t* data, std::size_t size, std::int32_t width,
                  std::int32_t height) {
    std::uint8_t p[8] = {};
    for (std::size_t i = 0; i < 8 && i < size; ++i)
        p[i] = data[size - 1 - i];
    Params r;
    const std::int32_t spanX = std::max<std::int32_t>(std::min(width, 1 << 20), 1) + 4;
    const std::int32_t spanY = std::max<std::int32_t>(std::min(height, 1 << 20), 1) + 4;
    r.selection.x0 = static_cast<std::int32_t>(p[0] % spanX) - 2;
    r.selection.y0 = static_cast<std::int32_t>(p[1] % spanY) - 2;
    r.selection.w = static_cast<std::int32_t>(p[2] % spanX) - 1;
    r.selection.h = static_cast<std::int32_t>(p[3] % spanY) - 1;
    if (p[4] & 0x80) r.selection = {};  // the one-pixel "no selection"
    r.outside = p[4] & 1;
    r.backup = p[4] & 2;
    for (int i = 0; i < 256; ++i) {
        std::uint8_t to = static_cast<std::uint8_t>(i);
        switch (p[5] % 4) {
            case 0:
                to = static_cast<std::uint8_t>(i ^ p[6]);
                break;
            case 1:
                to = static_cast<std::uint8_t>(i * (p[6] | 1) + p[7]);
                break;
            case 2:
                to = p[6];
                break;
            case 3:
                if (i == p[6]) to = p[7];
                break;
        }
        r.map.SetMapping(static_cast<std::uint8_t>(i), to);
    }
    return r;
}

bool SameBytes(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

// The recolouring loop written out pixel by pixel through the general
// accessors, skipping pixels whose bytes the bitmap does not hold.
void ReferenceRecolor(clsBitmap& bmp, const ColorMap& map, const SelectionRect& s, bool outside) {
    if (bmp.BytesPerPixel() != 1 && bmp.PixelsPerByte() == 0) return;
    const std::int64_t x1 = std::int64_t{s.x0} + s.w - 1, y1 = std::int64_t{s.y0} + s.h - 1;
    for (std::int32_t y = 0; y < bmp.Height(); ++y) {
        for (std::int32_t x = 0; x < bmp.Width(); ++x) {
            const bool inside = x >= s.x0 && x <= x1 && y >= s.y0 && y <= y1;
            if (!s.IsNoSelection() && inside == outside) continue;
            try {
                const std::int32_t v = bmp.GetPixelAt(x, y);
                bmp.SetPixelAt(x, y, map[static_cast<std::uint8_t>(v)]);
            } catch (const std::out_of_range&) {
                break;  // the rest of this row lies further beyond the held bytes
            }
        }
    }
}

// Probes a few pixels through the accessors: values in range, and only
// out_of_range for bytes the bitmap does not hold.
void ProbePixels(const clsBitmap& bmp) {
    const std::int32_t xs[] = {0, 1, 7, 8, bmp.Width() - 1, bmp.Width(), -1};
    const std::int32_t ys[] = {0, 1, bmp.Height() - 1, bmp.Height() / 2};
    for (std::int32_t y : ys)
        for (std::int32_t x : xs) {
            try {
                const std::int32_t v = bmp.GetPixelAt(x, y);
                if (bmp.BitCount() <= 8)
                    FUZZ_CHECK(v >= 0 && v < (1 << bmp.BitCount()));
                else
                    FUZZ_CHECK(v >= 0 && v <= 0xFFFFFF);
            } catch (const std::out_of_range&) {
            }
        }
}

void CheckSavedMatches(const clsBitmap& saved, const fs::path& file) {
    clsBitmap back;
    FUZZ_CHECK(back.LoadFromFile(file));
    FUZZ_CHECK(!back.HasError());
    FUZZ_CHECK(back.Width() == saved.Width());
    FUZZ_CHECK(back.InfoHeader().biHeight == saved.InfoHeader().biHeight);
    FUZZ_CHECK(back.BitCount() == saved.BitCount());
    FUZZ_CHECK(back.ColorTable() == saved.ColorTable());
    FUZZ_CHECK(back.ColorTableEntryCount() == saved.ColorTableEntryCount());
    FUZZ_CHECK(SameBytes(back.Pixels(), saved.Pixels()));
}

void CheckRecolorFile(const std::uint8_t* data, std::size_t size, const Params& params,
                      const clsBitmap& loaded, bool ok, const clsBitmap* expected) {
    const fs::path folder = fuzz::Scratch() / "recolor";
    std::error_code ec;
    fs::remove_all(folder, ec);
    fs::create_directory(folder);
    const fs::path file = folder / "input.bmp";
    fuzz::WriteBytes(file, data, size);
    if (ok) {  // read through without holding the pixels: the same view of the file
        clsBitmap layout;
        FUZZ_CHECK(layout.LoadFromFile(file, BitmapParts::Layout) && layout.Pixels().empty());
        FUZZ_CHECK(layout.StreamDamage() == loaded.StreamDamage());
        FUZZ_CHECK(layout.PixelDataBytes() == loaded.PixelDataBytes());
    }
    test::RecordingMessageBox box;
    const bool done =
        RecolorFile(file, params.backup, params.selection, params.outside, params.map, box);
    const Bytes after = fuzz::ReadBytes(file);
    const bool accepted =
        ok && loaded.BitCount() == 8 && loaded.PixelsCoverImage() && loaded.StreamDamage().empty();
    FUZZ_CHECK(done == accepted);
    if (done) {
        FUZZ_CHECK(box.shown.empty());
        FUZZ_CHECK(expected != nullptr);
        CheckSavedMatches(*expected, file);
        if (loaded.KeepsFileLayout()) {
            // The bytes before the pixels (but the sizes a new stream changes)
            // and behind them stay; uncompressed, the file keeps its length.
            const auto from = static_cast<std::size_t>(loaded.FileHeader().bfOffBits);
            const std::size_t tail =
                size - from - static_cast<std::size_t>(loaded.PixelDataBytes());
            const std::size_t lo = loaded.IsCompressed() ? 10 : 0;
            const std::size_t hi = loaded.IsCompressed() ? 34 : from;
            FUZZ_CHECK(after.size() >= from + tail &&
                       (loaded.IsCompressed() || after.size() == size));
            FUZZ_CHECK(SameBytes({after.data() + lo, hi - lo}, {data + lo, hi - lo}));
            FUZZ_CHECK(
                SameBytes({after.data() + after.size() - tail, tail}, {data + size - tail, tail}));
        }
        if (loaded.KeepsFileLayout()) {  // the identity: not a byte changes
            fuzz::WriteBytes(file, data, size);
            FUZZ_CHECK(RecolorFile(file, false, params.selection, params.outside, ColorMap{}, box));
            FUZZ_CHECK(SameBytes(fuzz::ReadBytes(file), {data, size}));
        }
    } else {
        FUZZ_CHECK(box.shown.size() == 1);
        FUZZ_CHECK(SameBytes(after, {data, size}));
    }
    if (params.backup) {
        // Backup first, whatever the file turns out to be: a complete copy.
        const Bytes copy = fuzz::ReadBytes(folder / "Tintwell Backup" / "input.bmp");
        FUZZ_CHECK(SameBytes(copy, {data, size}));
    }
    for (const auto& entry : fs::directory_iterator(folder))  // no temporary left behind
        FUZZ_CHECK(entry.path().filename() == "input.bmp" ||
                   entry.path().filename() == "Tintwell Backup");
}

// A compressed image is decoded whole: large ones would only measure the
// allocator, so they are skipped before the load.
bool LargeCompressedImage(const std::uint8_t* data, std::size_t size) {
    std::int32_t f[5] = {};
    if (size < 34) return false;
    for (int i = 0; i < 5; ++i)
        std::memcpy(&f[i], data + 14 + 4 * i, 4);
    const std::int64_t pixels = std::int64_t{f[1]} * (f[2] < 0 ? -std::int64_t{f[2]} : f[2]);
    return f[0] >= 40 && (f[4] == 1 || f[4] == 2) && (pixels > (1 << 22) || f[1] > (1 << 16));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (LargeCompressedImage(data, size)) return 0;
    clsBitmap bmp;
    const bool ok = bmp.LoadFromByteArray({data, size});
    FUZZ_CHECK(ok || bmp.HasError());
    const Params params = ParamsFrom(data, size, bmp.Width(), bmp.Height());
    if (!ok) {
        CheckRecolorFile(data, size, params, bmp, ok, nullptr);
        return 0;
    }
    FUZZ_CHECK(!bmp.HasError());
    // Nothing sized beyond what the input holds, or for a stream beyond the image.
    FUZZ_CHECK(bmp.Pixels().size() <=
               (bmp.IsCompressed() ? std::size_t(bmp.RowStride() * bmp.Height()) : size));
    FUZZ_CHECK(bmp.Width() >= 0 && bmp.Height() >= 0);
    if (bmp.HasColorTable())
        FUZZ_CHECK(bmp.ColorTableEntryCount() == (1 << bmp.BitCount()) &&
                   bmp.ColorTable().size() == static_cast<std::size_t>(bmp.ColorTableEntryCount()));
    else
        FUZZ_CHECK(bmp.ColorTableEntryCount() == 0);
    ProbePixels(bmp);

    // The identity map gives back the same pixels and palette, in memory and on disk.
    std::unique_ptr<clsBitmap> same = bmp.CreateCopy();
    FUZZ_CHECK(same != nullptr);
    RecolorBitmap(*same, ColorMap{}, params.selection, params.outside);
    FUZZ_CHECK(SameBytes(same->Pixels(), bmp.Pixels()));
    FUZZ_CHECK(same->ColorTable() == bmp.ColorTable());
    const fs::path saved = fuzz::Scratch() / "saved.bmp";
    FUZZ_CHECK(same->SaveAsFile(saved));
    CheckSavedMatches(bmp, saved);

    // A real map, against the reference loop when the image is small enough.
    std::unique_ptr<clsBitmap> mapped = bmp.CreateCopy();
    FUZZ_CHECK(mapped != nullptr);
    RecolorBitmap(*mapped, params.map, params.selection, params.outside);
    FUZZ_CHECK(mapped->ColorTable() == bmp.ColorTable());
    const bool small = bmp.Width() <= kReferencePixels && bmp.Height() <= kReferencePixels &&
                       std::int64_t{bmp.Width()} * bmp.Height() <= kReferencePixels;
    if (small) {
        std::unique_ptr<clsBitmap> reference = bmp.CreateCopy();
        ReferenceRecolor(*reference, params.map, params.selection, params.outside);
        FUZZ_CHECK(SameBytes(mapped->Pixels(), reference->Pixels()));
    }
    FUZZ_CHECK(mapped->SaveAsFile(saved));
    CheckSavedMatches(*mapped, saved);

    CheckRecolorFile(data, size, params, bmp, ok, mapped.get());
    return 0;
}
