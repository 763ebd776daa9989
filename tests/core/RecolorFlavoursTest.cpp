// Recolouring changes the pixel indices and nothing else, in every header
// flavour and in RLE8 streams; a loaded bitmap is saved with the same bytes.
#include <gtest/gtest.h>

#include <random>

#include "bitmap/RleParser.h"
#include "core/RecolorSpans.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

struct Flavour {
    const char* name;
    Bmp bmp;
    const char* after;  // bytes behind the declared size
};
const Flavour kFlavours[] = {
    {"V4Header", Bmp().HeaderSize(108), ""},
    {"V5HeaderWithProfile", Bmp().HeaderSize(124).Size(6, 2).Profile("icc"), ""},
    {"SixteenEntryTable", Bmp().ClrUsed(16).Size(3, 4), ""},
    {"GapAndTrailingBytes", Bmp().Gap("\7\7\7").Trailing("\1\2"), "\x9\x9\x9"},
    {"OddClrImportantTopDown", Bmp().ClrImportant(7).TopDown().Size(7, 2), ""},
    {"Os2CoreHeader", Bmp().HeaderSize(12).Size(5, 2), ""},
    {"Os2CoreShortTable", Bmp().HeaderSize(12).ClrUsed(0, 20), ""},
    {"Os2ShortHeader", Bmp().HeaderSize(16).Size(2, 5), ""},
    {"Os2LongHeader", Bmp().HeaderSize(64).ClrUsed(100), ""},
    // Regressions: a table that ran into the pixels got a fresh header, and
    // its last entries were read from the pixels.
    {"ClrUsedRunsIntoThePixels", Bmp().ClrUsed(256, 252), ""},
    {"ClrUsedZeroWithRoomFor16", Bmp().ClrUsed(0, 16), ""},
};

class RecolorFlavour : public ::testing::TestWithParam<Flavour> {};

// The identity leaves the file byte-identical; another map changes only the
// bytes of the pixels it recolours.
TEST_P(RecolorFlavour, ChangesOnlyThePixelIndicesAndASaveKeepsEveryByte) {
    const Bmp& b = GetParam().bmp;
    const std::string original = b.Build() + GetParam().after;
    TempDir dir;
    RecordingMessageBox box;
    for (const SelectionRect sel : {SelectionRect{}, SelectionRect{1, 0, 2, 9}})
        for (const bool identity : {true, false}) {
            WriteFile(dir / "a.bmp", original);
            ASSERT_TRUE(RecolorFile(dir / "a.bmp", false, sel, false,
                                    identity ? ColorMap{} : Inverted(), box))
                << box.Titles();
            std::string expected = original;
            for (int y = 0; y < b.Height(); ++y)
                for (int x = 0; x < b.Width() && !identity; ++x)
                    if (sel.IsNoSelection() || (x >= 1 && x < 3))
                        expected[b.Offset(x, y)] = static_cast<char>(255 - b.Pixel(x, y));
            EXPECT_EQ(ReadFile(dir / "a.bmp"), expected);
        }
    clsBitmap loaded;
    WriteFile(dir / "a.bmp", original);
    ASSERT_TRUE(loaded.LoadFromFile(dir / "a.bmp")) << loaded.LastError();
    for (int i = 0; i < b.PaletteCount(); ++i)
        ASSERT_EQ(loaded.ColorTableEntry(i), Bmp::PaletteColor(i)) << i;
    ASSERT_TRUE(loaded.SaveAsFile(dir / "b.bmp")) << loaded.LastError();
    EXPECT_EQ(ReadFile(dir / "b.bmp"), original);
    EXPECT_EQ(loaded.CreateCopy()->InfoHeader().biSize, 40);  // a copy has a fresh header
}

INSTANTIATE_TEST_SUITE_P(Flavours, RecolorFlavour, ::testing::ValuesIn(kFlavours),
                         [](const auto& info) { return std::string(info.param.name); });

// A random RLE8 stream using every escape, with runs that go past the row's
// end as ImageMagick writes them: the image it decodes to (bottom row first),
// which pixels it sets, and where its index bytes are.
struct RandomStream {
    std::string stream;
    std::vector<std::uint8_t> pixels;
    std::vector<char> set;
    std::vector<std::size_t> indexBytes;
};

RandomStream MakeStream(std::mt19937& rng, int w, int h) {
    RandomStream r;
    r.pixels.assign(static_cast<std::size_t>(w * h), 0);
    r.set.assign(r.pixels.size(), 0);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    auto put = [&](std::initializer_list<int> bytes) {
        for (int b : bytes)
            r.stream += static_cast<char>(b);
    };
    auto index = [&](int x, int row, int n, std::uint8_t v) {  // n: the pixels that fit
        r.indexBytes.push_back(r.stream.size());
        put({v});
        for (int i = 0; i < n; ++i)
            r.pixels[static_cast<std::size_t>(row * w + x + i)] = v, r.set[row * w + x + i] = 1;
    };
    for (int x = 0, row = 0; row < h;) {
        const int left = w - x, op = pick(12);
        if (left == 0 || op == 0) {  // end of line, or of the bitmap
            if (row == h - 1 || pick(15) == 0) break;
            put({0, 0});
            ++row, x = 0;
        } else if (op == 1) {  // delta
            const int dx = pick(std::min(left, 255) + 1), dy = pick(h - row);
            put({0, 2, dx, dy});
            x += dx, row += dy;
        } else if (op < 5 && left >= 3) {  // absolute run, padded to a word
            const int n = 3 + pick(std::min(left + 3, 255) - 2);
            put({0, n});
            for (int i = 0; i < n; ++i)
                index(x + i, row, i < left, static_cast<std::uint8_t>(pick(6) * 50));
            if (n % 2) put({0xEE});
            x += std::min(n, left);
        } else {  // a run of one value
            const int n = 1 + pick(std::min(left + 3, 255));
            put({n});
            index(x, row, std::min(n, left), static_cast<std::uint8_t>(pick(6) * 50));
            x += std::min(n, left);
        }
    }
    put({0, 1});
    return r;
}

// Marks the pixels an RLE8 stream sets (none while `set` is empty).
struct SetPixels : RleSink {
    std::vector<char> set;
    std::int64_t w = 0;
    void Repeat(std::int64_t row, std::int64_t x, std::int64_t n, std::uint8_t*) override {
        if (!set.empty()) std::fill_n(set.begin() + row * w + x, n, 1);
    }
    void Literal(std::int64_t row, std::int64_t x, std::int64_t n, std::uint8_t* p) override {
        Repeat(row, x, n, p);
    }
};

// Random streams recoloured through random maps and selections decode to what
// recolouring the uncompressed image gives, and a pixel stays unset unless it
// is selected and the map changes index 0; with a map over the whole image,
// only the index bytes change.
TEST(RleRecolor, RandomStreamsDecodeToTheUncompressedResult) {
    std::mt19937 rng(12);
    TempDir dir;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE(round);
        const int w = 1 + int(rng() % (round % 4 ? 40 : 700));  // some wider than a run
        const int h = 1 + int(rng() % 9);
        const RandomStream s = MakeStream(rng, w, h);
        ColorMap map;
        for (int i = 0; i < 256 && round % 7; ++i)
            map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(rng()));
        const bool outside = rng() & 1;
        SelectionRect sel;
        if (round % 3)
            sel = {int(rng() % 50) - 5, int(rng() % 12) - 2, int(rng() % 40) - 2,
                   int(rng() % 10) - 1};
        // A third say 'sRGB': the bytes behind the stream are then no profile to move.
        const bool profile = round % 3;
        const Bmp b = Bmp().Size(w, h).Rle(s.stream).HeaderSize(124).Profile("icc!").Set32(
            14 + 56, profile ? 0x4D424544 : 0x73524742);
        // Every fifth file claims a size near 2 GiB, which a longer stream must not wrap.
        const std::int64_t claim = round % 5 ? 0 : INT32_MAX - 9;
        Bmp file = Bmp(b).Trailing("123");
        if (claim) file.Set32(kBfSize, claim);
        const std::string before = file.Build();
        WriteFile(dir / "a.bmp", before);
        RecordingMessageBox box;
        ASSERT_TRUE(RecolorFile(dir / "a.bmp", false, sel, outside, map, box));

        clsBitmap expected, after;
        ASSERT_TRUE(expected.CreateNew(w, h, 8));
        for (int i = 0; i < w * h; ++i)
            expected.SetPixelAt(i % w, h - 1 - i / w, s.pixels[static_cast<std::size_t>(i)]);
        RecolorBitmap(expected, map, sel, outside);
        ASSERT_TRUE(after.LoadFromFile(dir / "a.bmp") && after.StreamDamage().empty());
        EXPECT_EQ(after.InfoHeader().biCompression, 1);
        ASSERT_TRUE(std::ranges::equal(after.Pixels(), expected.Pixels()));
        // The profile and the bytes behind the stream follow it, wherever it ends.
        const std::string bytes = ReadFile(dir / "a.bmp");
        std::uint32_t at = 0;
        std::memcpy(&at, bytes.data() + 14 + 112, 4);
        EXPECT_EQ(bytes.substr(profile ? 14 + at : 126, 4) + bytes.substr(bytes.size() - 3),
                  (profile ? "icc!" : before.substr(126, 4)) + "123");
        std::int32_t size = 0;
        std::memcpy(&size, bytes.data() + 2, 4);
        const std::int64_t moved = claim + std::int64_t(bytes.size() - before.size());
        EXPECT_EQ(size, !claim ? std::int64_t(bytes.size()) : moved <= INT32_MAX ? moved : claim);
        SetPixels now;
        now.set.assign(s.set.size(), 0), now.w = w;
        std::vector<std::uint8_t> stream(bytes.begin() + b.PixelStart(), bytes.end());
        RleParser(8, w, h).Feed(stream, now);
        std::vector<char> set = s.set;
        for (int i = 0; i < w * h; ++i) {
            const RecolorSpans spans = RecolorSpans::ForRow(sel, outside, w, h - 1 - i / w);
            for (int k = 0; k < spans.count && map[0] != 0; ++k)
                set[i] |= i % w >= spans.from[k] && i % w < spans.to[k];
        }
        ASSERT_EQ(now.set, set);
        // A stream written anew never has an end of line at a row's first
        // column, where some readers ignore it.
        for (std::size_t p = 0, x = 0; map[0] != 0 && p + 1 < stream.size();) {
            const std::uint8_t a = stream[p], b = stream[p + 1];
            ASSERT_FALSE(a == 0 && b == 0 && x == 0) << "at byte " << p;
            x = a ? x + a : b == 0 ? 0 : b == 2 ? x + stream[p + 2] : x + b;
            p = b == 1 && !a ? stream.size() : p + (a || b < 2 ? 2 : b == 2 ? 4 : 2 + b + b % 2);
        }
        const bool allSet = std::ranges::count(s.set, 1) == w * h;
        if (!RecolorSpans::CoverImage(sel, outside, w, h) || (!allSet && map[0] != 0)) continue;
        std::string edited = before;
        for (std::size_t i : s.indexBytes) {
            char& v = edited[static_cast<std::size_t>(b.PixelStart()) + i];
            v = static_cast<char>(map[static_cast<std::uint8_t>(v)]);
        }
        ASSERT_EQ(bytes, edited);
    }
}

// Pixels an RLE8 file's stream sets, read in pieces.
std::int64_t PixelsSet(const fs::path& file, int w, int h, std::string& damage) {
    clsBitmap headers;
    EXPECT_TRUE(headers.LoadFromFile(file, BitmapParts::Headers));
    const std::string bytes = ReadFile(file);
    RleParser parser(8, w, h);
    SetPixels none;
    parser.Read(
        [&](std::int64_t at, std::uint8_t* into, std::size_t n) {
            return bytes.copy(reinterpret_cast<char*>(into), n, at) == n;
        },
        headers.FileHeader().bfOffBits, std::int64_t(bytes.size()), none);
    damage = parser.Damage();
    return parser.PixelsSet();
}

// Headers that claim billions of pixels over a stream of one end mark: a
// recolour costs what it writes, skipped pixels stay skipped, and a result too
// large for the file's 32-bit sizes is refused before a byte is written.
TEST(RleRecolor, HugeClaimsCostWhatTheyWriteAndAResultTooLargeIsRefused) {
    struct Case {
        int w, h;
        SelectionRect sel;
        std::uint8_t zeroTo;
        const char* titles;
        std::int64_t set;
    };
    const Case cases[] = {
        {1, INT32_MAX, {}, 1, "BMP is too large;", 0},  // 2^31 rows of 4 bytes
        {1, INT32_MAX, {}, 0, "", 0},                   // index 0 stays: the stream is kept
        {1, INT32_MAX, {0, 5, 1, 3}, 1, "", 3},         // three rows far from the first
        {INT32_MAX, 1, {}, 1, "", INT32_MAX},           // one row in runs of 255
        {INT32_MAX, 1, {7, 0, 300, 1}, 1, "", 300},
    };
    TempDir dir;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const std::string before = Bmp().Size(c.w, c.h).Rle(std::string("\0\1", 2)).Build();
        WriteFile(dir / "a.bmp", before);
        const ColorMap map = MapOf({{0, c.zeroTo}, {1, 2}});
        RecordingMessageBox box;
        EXPECT_EQ(RecolorFile(dir / "a.bmp", false, c.sel, false, map, box), !*c.titles);
        EXPECT_EQ(box.Titles(), c.titles);
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.bmp"});
        std::string damage;
        EXPECT_EQ(PixelsSet(dir / "a.bmp", c.w, c.h, damage), c.set);
        EXPECT_EQ(damage, "");
        if (c.set == 0) {
            EXPECT_EQ(ReadFile(dir / "a.bmp"), before);
        }
    }
}

}  // namespace
}  // namespace tintwell::test
