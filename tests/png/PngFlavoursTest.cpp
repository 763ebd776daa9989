// Indexed PNG files written by Pillow and ImageMagick (fixtures/make_fixtures.py)
// decode to the indices Pillow reads, and a recolour changes those indices
// and not one byte outside the image data; refused files stay as they were.
#include <gtest/gtest.h>

#include "core/modRecolor.h"
#include "core/modRestore.h"
#include "png/ImageFile.h"
#include "png/PngDataWriter.h"
#include "support/PngKit.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

const fs::path kFixtures = TINTWELL_PNG_FIXTURES;

// The indices of the image in `file`, "" when it does not load.
std::string Indices(const fs::path& file) {
    clsBitmap bitmap;
    return LoadImageFile(file, bitmap) ? Rows(bitmap) : "";
}

// i -> (i + 1) mod the palette's length: every pixel changes and stays valid.
ColorMap Rotation(int colors) {
    ColorMap map;
    for (int i = 0; i < colors; ++i)
        map.SetMapping(std::uint8_t(i), std::uint8_t((i + 1) % colors));
    return map;
}

struct Flavour {
    const char* name;  // of fixtures/NAME.png, with "_" for "-"
    int colors;
};
const Flavour kFlavours[] = {
    {"depth1", 2},        {"depth2_trns", 4},        {"depth4_text_phys_private", 16},
    {"depth8_iccp", 256}, {"depth8_short_tail", 40}, {"adam7_depth8", 200},
    {"adam7_depth4", 16}, {"filters_depth2", 4},     {"filters_depth8", 256},
};

class PngFlavour : public ::testing::TestWithParam<Flavour> {};

// Indices as Pillow reads them; the identity changes no byte; a map (whole
// image, inside and outside a selection) changes exactly the mapped indices.
TEST_P(PngFlavour, RecolorsExactlyTheIndicesAndKeepsEveryOtherByte) {
    std::string name = GetParam().name;
    std::replace(name.begin(), name.end(), '_', '-');
    const fs::path source = kFixtures / (name + ".png");
    const std::string original = ReadFile(source);
    std::string idx = ReadFile(fs::path(source).replace_extension(".idx"));
    ASSERT_EQ(Indices(source), idx);
    TempDir dir;
    const fs::path file = dir / "a.png";
    RecordingMessageBox box;
    WriteFile(file, original);
    ASSERT_TRUE(RecolorFile(file, false, {}, false, ColorMap{}, box)) << box.Titles();
    EXPECT_EQ(ReadFile(file), original);
    clsBitmap shape;
    ASSERT_TRUE(LoadImageFile(source, shape, BitmapParts::Headers));
    const ColorMap map = Rotation(GetParam().colors);
    for (const SelectionRect sel : {SelectionRect{}, SelectionRect{3, 2, 10, 7}})
        for (const bool outside : {false, true}) {
            WriteFile(file, original);
            ASSERT_TRUE(RecolorFile(file, false, sel, outside, map, box)) << box.Titles();
            std::string expected = idx;
            for (int y = 0; y < shape.Height(); ++y)
                for (int x = 0; x < shape.Width(); ++x) {
                    const bool inside = x >= 3 && x < 13 && y >= 2 && y < 9;
                    char& v = expected[std::size_t(y * shape.Width() + x)];
                    if (sel.IsNoSelection() || inside != outside) v = char(map[std::uint8_t(v)]);
                }
            const std::string after = ReadFile(file);
            EXPECT_EQ(Indices(file), expected) << sel.w << " " << outside;
            EXPECT_EQ(OutsideImageData(after), OutsideImageData(original));
        }
}

INSTANTIATE_TEST_SUITE_P(Fixtures, PngFlavour, ::testing::ValuesIn(kFlavours),
                         [](const auto& info) { return std::string(info.param.name); });
struct Refusal {
    const char* name;
    std::string bytes;
    ColorMap map;
    const char* message;  // title|text, "PATH" for the file's path
};

std::string Fixture(const char* name) {
    return ReadFile(kFixtures / name);
}

std::string Corrupt(std::string bytes, std::size_t at) {
    bytes[at] = char(bytes[at] ^ 0x20);
    return bytes;
}

// Each is refused with its message and left byte for byte as it was; a
// backup made beforehand is a whole copy.
TEST(PngRefusals, LeaveTheFileUnchangedWithTheirMessage) {
    const std::string good = SmallPng(0);
    const std::string bomb = IndexedPng(1 << 24, 1 << 24, 8, "abc", std::string(64, 'x'));
    const Refusal rows[] = {
        {"Truecolor", Fixture("refused-truecolor.png"), Inverted(),
         "PNG is not indexed|PATH is not an indexed-color PNG: it holds truecolor pixels, not "
         "palette indices."},
        {"Alpha", Fixture("refused-alpha.png"), Inverted(),
         "PNG is not indexed|PATH is not an indexed-color PNG: it holds truecolor with alpha "
         "pixels, not palette indices."},
        {"Animated", Fixture("refused-animated.png"), Inverted(),
         "PNG is not supported|PATH was not recolored: animated PNG is not supported."},
        {"BadPaletteCrc", Corrupt(good, 8 + 25 + 8), Inverted(),
         "PNG is damaged|PATH is damaged: its PLTE chunk is damaged (bad CRC)."},
        {"BadImageDataCrc", Corrupt(good, good.size() - 14), MapOf({{1, 2}}),
         "PNG is damaged|PATH is damaged: an IDAT chunk is damaged (bad CRC)."},
        {"CutShort", good.substr(0, good.size() - 20), MapOf({{1, 2}}),
         "PNG is damaged|PATH is damaged: its IDAT chunk is cut short."},
        {"NoEnd", good.substr(0, good.size() - 12), MapOf({{1, 2}}),
         "PNG is damaged|PATH is damaged: it ends without an IEND chunk."},
        {"FilterType5", SmallPng(5), MapOf({{1, 2}}),
         "PNG is damaged|PATH is damaged: row 0 has the unknown filter type 5."},
        {"UndecodableStream", SmallPng(0, 8, "\x78\x9c\xff\xff\xff"), MapOf({{1, 2}}),
         "PNG is damaged|PATH is damaged: its image data cannot be decoded."},
        {"DecompressionBomb", bomb, MapOf({{1, 2}}),
         "PNG is damaged|PATH is damaged: its image data is cut short."},
        {"IndexBeyondPalette", good, MapOf({{3, 4}}),
         "Index does not fit|PATH was not recolored: the pixel at 3, 0 would get index 4, but "
         "its palette holds only 4 colors."},
        {"IndexBeyondDepth", SmallPng(0, 1), MapOf({{1, 2}}),
         "Index does not fit|PATH was not recolored: the pixel at 1, 0 would get index 2, but "
         "its 1-bit pixels hold only indices below 2."},
    };
    for (const Refusal& row : rows) {
        TempDir dir;
        const fs::path file = dir / "a.png";
        WriteFile(file, row.bytes);
        RecordingMessageBox box;
        EXPECT_FALSE(RecolorFile(file, true, {}, false, row.map, box)) << row.name;
        std::string expected = std::string(row.message) + " The file was left unchanged.";
        expected.replace(expected.find("PATH"), 4, "\"" + file.string() + "\"");
        ASSERT_EQ(box.shown.size(), 1u) << row.name;
        EXPECT_EQ(box.shown[0].title + "|" + box.shown[0].text, expected) << row.name;
        EXPECT_EQ(ReadFile(file), row.bytes) << row.name;
        EXPECT_EQ(ReadFile(dir / "Tintwell Backup" / "a.png"), row.bytes) << row.name;
    }
}

// Backups of a PNG are numbered "-001.png" on; restore puts the newest back.
TEST(PngBackups, AreNumberedAsPngAndRestored) {
    TempDir dir;
    const fs::path file = dir / "Sprite.PNG";
    const std::string original = Fixture("depth4-text-phys-private.png");
    WriteFile(file, original);
    RecordingMessageBox box;
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(RecolorFile(file, true, {}, false, Rotation(16), box)) << box.Titles();
    const std::vector<std::string> names = {
        "Sprite.PNG", "Tintwell Backup", "Tintwell Backup/Sprite-001.png",
        "Tintwell Backup/Sprite-002.png", "Tintwell Backup/Sprite.PNG"};
    EXPECT_EQ(dir.Entries(), names);
    const std::string second = ReadFile(dir / "Tintwell Backup/Sprite-002.png");
    const std::string third = ReadFile(file);
    ASSERT_TRUE(RestoreFromBackup(file, false, box).restored) << box.Titles();
    EXPECT_EQ(ReadFile(file), second);
    EXPECT_EQ(ReadFile(dir / "Tintwell Backup/Sprite-003.png"), third);
}

// A large image is compressed in blocks on two threads when a batch leaves a
// job idle; the new stream decodes to exactly the mapped indices.
TEST(PngLargeImage, CompressedOnTwoThreadsDecodesToTheMappedIndices) {
    const int w = 2048, h = 2100;
    std::string raw, indices;
    for (int y = 0; y < h; ++y) {
        raw += '\0';
        for (int x = 0; x < w; ++x)
            indices += char((x / 16 * 7 + y / 9 * 3 + (x * y % 11 == 0)) % 251);
        raw += indices.substr(indices.size() - w);
    }
    const std::string png = IndexedPng(w, h, 8, std::string(768, '\x11'), Deflated(raw));
    std::string expected = indices;
    for (char& c : expected)
        c = char(255 - std::uint8_t(c));
    TempDir dir;
    RecordingMessageBox box;
    std::string written[2];
    for (int threads : {1, 2}) {
        WriteFile(dir / "big.png", png);
        PngDataWriter::SetThreads(threads);
        EXPECT_TRUE(RecolorFile(dir / "big.png", false, {}, false, Inverted(), box))
            << box.Titles();
        PngDataWriter::SetThreads(1);
        EXPECT_EQ(Indices(dir / "big.png") == expected, true) << threads;
        written[threads - 1] = ReadFile(dir / "big.png");
    }
    EXPECT_NE(written[0], written[1]);  // the second in blocks
}

}  // namespace
}  // namespace tintwell::test
