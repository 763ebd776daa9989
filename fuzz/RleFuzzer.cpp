// Fuzz target: RLE8 and RLE4 streams behind a good header. The first six bytes
// choose the image (width, height, bit count) and the recolour; the rest is
// the stream. Decoding whole and reading through agree on the stream's length
// and damage; a whole RLE8 stream compressed again decodes to the same pixels;
// RecolorFile leaves a damaged stream and an RLE4 file alone, with the
// identity leaves the file byte-identical, and otherwise writes an RLE8 stream
// that decodes to the recolour of the decoded image, the bytes around it kept.
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "bitmap/Rle8Encoder.h"
#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"
#include "fuzz/FuzzSupport.h"
#include "tests/support/BmpBuilder.h"
#include "tests/support/RecordingMessageBox.h"

namespace {

using namespace tintwell;
using Bytes = std::vector<std::uint8_t>;

bool SamePixels(const clsBitmap& a, const clsBitmap& b) {
    return a.Pixels().size() == b.Pixels().size() &&
           std::memcmp(a.Pixels().data(), b.Pixels().data(), a.Pixels().size()) == 0;
}

// The decoded rows compressed again decode to the same pixels.
void CheckEncoder(const clsBitmap& whole) {
    Bytes stream;
    for (std::int32_t r = 0; r < whole.Height(); ++r)
        Rle8Encoder::EncodeRow(whole.Pixels().data() + r * whole.RowStride(), whole.Width(),
                               r + 1 == whole.Height(), stream);
    if (whole.Height() == 0) stream = {0, 1};
    clsBitmap again;
    FUZZ_CHECK(again.LoadFromByteArray(
        test::BmpBuilder().Size(whole.Width(), whole.Height()).Rle(stream).Build()));
    FUZZ_CHECK(again.StreamDamage().empty() && SamePixels(again, whole));
    FUZZ_CHECK(again.PixelDataBytes() == static_cast<std::int64_t>(stream.size()));
}

void CheckRecolor(const Bytes& file, const clsBitmap& whole, const std::uint8_t* p) {
    const std::filesystem::path path = fuzz::Scratch() / "rle.bmp";
    const bool recolourable = whole.BitCount() == 8 && whole.StreamDamage().empty();
    test::RecordingMessageBox box;
    fuzz::WriteBytes(path, file.data(), file.size());
    FUZZ_CHECK(RecolorFile(path, false, {}, false, ColorMap{}, box) == recolourable);
    FUZZ_CHECK(fuzz::ReadBytes(path) == file);
    if (!recolourable) return;

    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetEntry(static_cast<std::uint8_t>(i),
                     (p[2] & 8) ? static_cast<std::uint8_t>(i ^ p[5]) : (i == p[5] ? p[3] : i));
    SelectionRect sel;
    if (!(p[2] & 4))
        sel = {p[3] % (whole.Width() + 4) - 2, p[4] % (whole.Height() + 4) - 2,
               p[3] / 4 % (whole.Width() + 3) - 1, p[4] / 4 % (whole.Height() + 3) - 1};
    const bool outside = p[2] & 2;
    FUZZ_CHECK(RecolorFile(path, false, sel, outside, map, box));
    std::unique_ptr<clsBitmap> expected = whole.CreateCopy();
    RecolorBitmap(*expected, map, sel, outside);
    clsBitmap after;
    FUZZ_CHECK(after.LoadFromFile(path) && after.StreamDamage().empty());
    FUZZ_CHECK(after.IsCompressed() && SamePixels(after, *expected));
    const Bytes bytes = fuzz::ReadBytes(path);
    const std::size_t start = static_cast<std::size_t>(whole.FileHeader().bfOffBits);
    const std::size_t tail = file.size() - start - static_cast<std::size_t>(whole.PixelDataBytes());
    FUZZ_CHECK(bytes.size() >= start + tail);
    FUZZ_CHECK(std::equal(file.end() - static_cast<std::ptrdiff_t>(tail), file.end(),
                          bytes.end() - static_cast<std::ptrdiff_t>(tail)));
    FUZZ_CHECK(std::equal(file.begin() + 10, file.begin() + 34, bytes.begin() + 10));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 6) return 0;
    const int width = data[0] % 48, height = data[1] % 48, bits = (data[2] & 1) ? 4 : 8;
    const Bytes stream(data + 6, data + size);
    const Bytes file = test::BmpBuilder()
                           .Size(width, height)
                           .Bits(static_cast<std::int16_t>(bits))
                           .Rle(stream)
                           .Trailing({'T', 'a', 'i', 'l'})
                           .Build();
    clsBitmap whole;
    FUZZ_CHECK(whole.LoadFromByteArray(file));
    FUZZ_CHECK(whole.Pixels().size() == static_cast<std::size_t>(whole.RowStride() * height));
    const std::filesystem::path path = fuzz::Scratch() / "layout.bmp";
    fuzz::WriteBytes(path, file.data(), file.size());
    clsBitmap layout;
    FUZZ_CHECK(layout.LoadFromFile(path, BitmapParts::Layout) && layout.Pixels().empty());
    FUZZ_CHECK(layout.StreamDamage() == whole.StreamDamage());
    FUZZ_CHECK(layout.PixelDataBytes() == whole.PixelDataBytes());
    if (bits == 8 && whole.StreamDamage().empty()) CheckEncoder(whole);
    CheckRecolor(file, whole, data);
    return 0;
}
