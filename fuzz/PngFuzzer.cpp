// Fuzz target: the PNG reader and rewriter on arbitrary bytes (given the PNG
// signature). A file the loader accepts is recoloured through a map and a
// selection drawn from the input: the rewrite decodes to exactly the mapped
// indices and keeps every byte outside the image data, or is refused because
// a new index does not fit, the file unchanged. The identity keeps the file
// byte-identical. A file the loader refuses is refused and left as it was.
#include <cstring>

#include "core/modRecolor.h"
#include "fuzz/FuzzSupport.h"
#include "png/ImageFile.h"
#include "tests/support/PngKit.h"
#include "tests/support/TestKit.h"

namespace {

using namespace tintwell;
namespace fs = std::filesystem;

std::string Decoded(const fs::path& file, bool& ok) {
    clsBitmap bitmap;
    ok = LoadImageFile(file, bitmap);
    return ok ? test::Rows(bitmap) : "";
}

// The bytes with every whole chunk's CRC made right, so that changes inside
// chunks reach the decoder instead of stopping at the checksum.
std::string FixChecksums(std::string png) {
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length = test::Big32(png, at);
        if (length > png.size() - at - 12) break;
        const std::string good = test::Chunk(png.substr(at + 4, 4), png.substr(at + 8, length));
        png.replace(at, good.size(), good);
        at += good.size();
    }
    return png;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0) bytes.insert(0, "\x89PNG\r\n\x1a\n");
    if (size > 0 && (data[size - 1] & 0x40)) bytes = FixChecksums(bytes);
    const fs::path folder = fuzz::Scratch() / "png", file = folder / "input.png";
    fs::remove_all(folder);
    fs::create_directory(folder);
    test::WriteFile(file, bytes);

    clsBitmap shape;
    ImageLoad load;
    const bool headers = LoadImageFile(file, shape, BitmapParts::Headers, &load);
    // Big images only measure zlib: the decoder's bounds are checked on the header alone.
    if (headers && std::int64_t{shape.Width()} * shape.Height() > (1 << 20)) return 0;
    bool ok = false;
    const std::string before = Decoded(file, ok);
    FUZZ_CHECK(load.png && (!ok || headers));

    std::uint8_t p[8] = {};
    for (std::size_t i = 0; i < 8 && i < size; ++i)
        p[i] = data[size - 1 - i];
    const int w = std::max(shape.Width(), 1) + 4, h = std::max(shape.Height(), 1) + 4;
    SelectionRect sel{p[0] % w - 2, p[1] % h - 2, p[2] % w - 1, p[3] % h - 1};
    if (p[4] & 0x80) sel = {};
    const bool outside = p[4] & 1, backup = p[4] & 2;
    ColorMap map;
    for (int i = 0; i < 256; ++i) {
        const int kinds[] = {i ^ (p[6] & 3), (i + 1) % (p[6] | 1), p[6], i == p[6] ? p[7] : i};
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(kinds[p[5] % 4]));
    }

    // What the rewrite must give, and whether every new index fits.
    std::string expected = before;
    bool fits = true;
    const int limit = ok ? load.file.IndexLimit() : 0;
    for (std::int64_t y = 0; ok && y < shape.Height(); ++y)
        for (std::int64_t x = 0; x < shape.Width(); ++x) {
            const bool inside =
                x >= sel.x0 && x < sel.x0 + sel.w && y >= sel.y0 && y < sel.y0 + sel.h;
            if (!sel.IsNoSelection() && inside == outside) continue;
            char& v = expected[static_cast<std::size_t>(y * shape.Width() + x)];
            const std::uint8_t to = map[static_cast<std::uint8_t>(v)];
            if (to != static_cast<std::uint8_t>(v) && to >= limit) fits = false;
            v = static_cast<char>(to);
        }

    test::RecordingMessageBox box;
    const bool done = RecolorFile(file, backup, sel, outside, map, box);
    FUZZ_CHECK(done == (ok && fits));
    FUZZ_CHECK(box.shown.size() == (done ? 0u : 1u));
    const std::string after = test::ReadFile(file);
    if (done) {
        bool reloaded = false;
        FUZZ_CHECK(Decoded(file, reloaded) == expected && reloaded);
        FUZZ_CHECK(test::OutsideImageData(after) == test::OutsideImageData(bytes));
        FUZZ_CHECK(expected != before || after == bytes);
        test::WriteFile(file, bytes);
        FUZZ_CHECK(RecolorFile(file, false, sel, outside, ColorMap{}, box));
        FUZZ_CHECK(test::ReadFile(file) == bytes);
    } else {
        FUZZ_CHECK(after == bytes);
    }
    FUZZ_CHECK(!backup || test::ReadFile(folder / "Tintwell Backup" / "input.png") == bytes);
    return 0;
}
