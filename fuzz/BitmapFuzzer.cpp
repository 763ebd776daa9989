// Fuzz target: the BMP loader on arbitrary bytes, then the whole pipeline on
// whatever it accepts: copy, recolour through a map and selection drawn from
// the input (checked against a pixel-by-pixel reference), save, reload and
// compare; the identity map gives back the same pixels and palette. RecolorFile
// on the same bytes either rewrites the file wholly or leaves it byte-identical,
// and a backup, when made, is a whole copy. A rewrite keeps every byte around
// the pixels (an RLE stream's sizes aside), and through the identity changes none.
#include <cstring>

#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/TestKit.h"

namespace {

using namespace tintwell;
namespace fs = std::filesystem;

bool Same(std::span<const std::uint8_t> a, std::span<const std::uint8_t> b) {
    return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size()) == 0);
}

// Saves `bmp`, loads the file back and checks it holds the same image.
void CheckSaved(const clsBitmap& bmp, clsBitmap& saving) {
    const fs::path file = fuzz::Scratch() / "saved.bmp";
    FUZZ_CHECK(saving.SaveAsFile(file));
    clsBitmap back;
    FUZZ_CHECK(back.LoadFromFile(file) && !back.HasError());
    FUZZ_CHECK(back.Width() == bmp.Width() && back.BitCount() == bmp.BitCount());
    FUZZ_CHECK(back.InfoHeader().biHeight == bmp.InfoHeader().biHeight);
    FUZZ_CHECK(back.ColorTable() == saving.ColorTable() && Same(back.Pixels(), saving.Pixels()));
}

// A compressed image is decoded whole: large ones would only measure the
// allocator, so they are skipped before the load.
bool LargeCompressedImage(const std::uint8_t* data, std::size_t size) {
    std::int32_t f[5] = {};
    if (size < 34) return false;
    std::memcpy(f, data + 14, sizeof f);
    const std::int64_t pixels = std::int64_t{f[1]} * (f[2] < 0 ? -std::int64_t{f[2]} : f[2]);
    return f[0] >= 40 && (f[4] == 1 || f[4] == 2) && (pixels > (1 << 22) || f[1] > (1 << 16));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (LargeCompressedImage(data, size)) return 0;
    clsBitmap bmp;
    const bool ok = bmp.LoadFromByteArray({data, size});
    // Nothing sized beyond what the input holds, or for a stream beyond the image.
    FUZZ_CHECK(ok != bmp.HasError() &&
               bmp.Pixels().size() <=
                   (bmp.IsCompressed() ? std::size_t(bmp.RowStride() * bmp.Height()) : size));

    // The last bytes steer the map and the selection.
    std::uint8_t p[8] = {};
    for (std::size_t i = 0; i < 8 && i < size; ++i)
        p[i] = data[size - 1 - i];
    const std::int32_t spanX = std::min(std::max(bmp.Width(), 1), 1 << 20) + 4;
    const std::int32_t spanY = std::min(std::max(bmp.Height(), 1), 1 << 20) + 4;
    SelectionRect sel{p[0] % spanX - 2, p[1] % spanY - 2, p[2] % spanX - 1, p[3] % spanY - 1};
    if (p[4] & 0x80) sel = {};
    const bool outside = p[4] & 1, backup = p[4] & 2;
    ColorMap map;
    for (int i = 0; i < 256; ++i) {
        const int kinds[] = {i ^ p[6], i * (p[6] | 1) + p[7], p[6], i == p[6] ? p[7] : i};
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(kinds[p[5] % 4]));
    }

    std::unique_ptr<clsBitmap> mapped;
    if (ok) {
        for (std::int32_t y : {0, 1, bmp.Height() / 2, bmp.Height() - 1})
            for (std::int32_t x : {0, 1, 7, 8, bmp.Width() - 1, bmp.Width(), -1})
                try {
                    const std::int32_t v = bmp.GetPixelAt(x, y);
                    FUZZ_CHECK(v >= 0 && v < (bmp.BitCount() <= 8 ? 1 << bmp.BitCount() : 1 << 24));
                } catch (const std::out_of_range&) {
                }
        auto same = bmp.CreateCopy();
        FUZZ_CHECK(same != nullptr);
        RecolorBitmap(*same, ColorMap{}, sel, outside);
        FUZZ_CHECK(Same(same->Pixels(), bmp.Pixels()) && same->ColorTable() == bmp.ColorTable());
        CheckSaved(bmp, *same);
        mapped = bmp.CreateCopy();
        RecolorBitmap(*mapped, map, sel, outside);
        if (std::int64_t{bmp.Width()} * bmp.Height() <= 1 << 16) {
            auto reference = bmp.CreateCopy();
            test::ReferenceRecolor(*reference, map, sel, outside);
            FUZZ_CHECK(Same(mapped->Pixels(), reference->Pixels()));
        }
        CheckSaved(bmp, *mapped);
    }

    const fs::path folder = fuzz::Scratch() / "recolor", file = folder / "input.bmp";
    fs::remove_all(folder);
    fs::create_directory(folder);
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    test::WriteFile(file, bytes);
    if (ok) {  // read through without holding the pixels: the same view of the file
        clsBitmap layout;
        FUZZ_CHECK(layout.LoadFromFile(file, BitmapParts::Layout) && layout.Pixels().empty());
        FUZZ_CHECK(layout.StreamDamage() == bmp.StreamDamage() &&
                   layout.PixelDataBytes() == bmp.PixelDataBytes());
    }
    test::RecordingMessageBox box;
    const bool done = RecolorFile(file, backup, sel, outside, map, box);
    FUZZ_CHECK(done ==
               (ok && bmp.BitCount() == 8 && bmp.PixelsCoverImage() && bmp.StreamDamage().empty()));
    FUZZ_CHECK(box.shown.size() == (done ? 0u : 1u));
    if (done) {
        const std::string after = test::ReadFile(file);
        clsBitmap written;
        FUZZ_CHECK(written.LoadFromFile(file) && Same(written.Pixels(), mapped->Pixels()));
        FUZZ_CHECK(written.ColorTable() == bmp.ColorTable());
        if (bmp.KeepsFileLayout()) {
            // The bytes before the pixels (but the sizes a new stream changes)
            // and behind them stay; uncompressed, the file keeps its length.
            const auto from = static_cast<std::size_t>(bmp.FileHeader().bfOffBits);
            const std::size_t tail = size - from - static_cast<std::size_t>(bmp.PixelDataBytes());
            const std::size_t lo = bmp.IsCompressed() ? 10 : 0, hi = bmp.IsCompressed() ? 34 : from;
            FUZZ_CHECK(after.size() >= from + tail && (bmp.IsCompressed() || after.size() == size));
            FUZZ_CHECK(after.substr(lo, hi - lo) == bytes.substr(lo, hi - lo));
            FUZZ_CHECK(after.substr(after.size() - tail) == bytes.substr(size - tail));
            test::WriteFile(file, bytes);  // the identity: not a byte changes
            FUZZ_CHECK(RecolorFile(file, false, sel, outside, ColorMap{}, box));
            FUZZ_CHECK(test::ReadFile(file) == bytes);
        }
    } else {
        FUZZ_CHECK(test::ReadFile(file) == bytes);
    }
    FUZZ_CHECK(!backup || test::ReadFile(folder / "Tintwell Backup" / "input.bmp") == bytes);
    for (const auto& entry : fs::directory_iterator(folder))  // no temporary left behind
        FUZZ_CHECK(entry.path().filename() == "input.bmp" ||
                   entry.path().filename() == "Tintwell Backup");
    return 0;
}
