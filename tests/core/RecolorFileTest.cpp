// RecolorBitmap against the per-pixel rule, index counts and lists, the map's
// history; RecolorFile over malformed and cut files, backups, failed writes,
// other programs at work, and restoring: every file holds its old bytes or the
// whole new image, every backup is a whole copy, every refusal is reported.
// Nodes that are no plain files are the test's own, never the system's.
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>

#include <atomic>
#include <cstring>
#include <map>
#include <random>
#include <thread>

#include "bitmap/AtomicFile.h"
#include "core/ColorMapHistory.h"
#include "core/FileLock.h"
#include "core/IndexCounts.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "core/modRestore.h"
#include "settings/clsINI.h"
#include "support/BmpBuilder.h"
#include "support/FailingCalls.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

// "1 " or "0 " for RecolorFile's result, then the titles it showed.
std::string Recolor(const fs::path& path, bool backup, SelectionRect s = {}, bool outside = false) {
    RecordingMessageBox box;
    const bool done = RecolorFile(path, backup, s, outside, Inverted(), box);
    return std::to_string(done) + " " + box.Titles();
}

// What a save of `bytes` recoloured through the inverted map writes.
std::string Recolored(const std::string& bytes) {
    clsBitmap bmp;
    EXPECT_TRUE(Load(bmp, bytes));
    RecolorBitmap(bmp, Inverted(), {}, false);
    TempDir dir;
    EXPECT_TRUE(bmp.SaveAsFile(dir / "x.bmp"));
    return ReadFile(dir / "x.bmp");
}

void ExpectAsReference(const Bmp& b, const ColorMap& map, SelectionRect s, bool outside) {
    clsBitmap fast, slow;
    Load(fast, b.Build());
    Load(slow, b.Build());
    RecolorBitmap(fast, map, s, outside);
    ReferenceRecolor(slow, map, s, outside);
    ASSERT_EQ(PixelBytes(fast), PixelBytes(slow))
        << s.x0 << "," << s.y0 << " " << s.w << "x" << s.h << " outside " << outside << ", "
        << b.BitCount() << " bits";
}

TEST(RecolorBitmap, FollowsThePerPixelRuleForEverySelectionDepthAndRowOrder) {
    using S = SelectionRect;
    const S selections[] = {
        // One pixel, which means the whole image:
        S{0, 0, 1, 1}, S{3, 2, 1, 1},
        // Rectangles inside, across the edges, beyond, empty and at the limits of int:
        S{0, 0, 1, 2}, S{2, 1, 2, 1}, S{1, 1, 3, 2}, S{0, 0, 7, 5}, S{-2, -3, 4, 5},
        S{5, 3, 10, 10}, S{-100, 2, 1000, 1}, S{2, -50, 1, 100}, S{0, 0, 0, 5}, S{1, 1, -3, 2},
        S{1, 1, 2, 0}, S{40, 40, 2, 2}, S{6, 4, 1, 2},
        S{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX},
        S{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    const ColorMap chain = MapOf({{3, 7}, {7, 9}});  // 3 becomes 7 and 7 becomes 9: a 3 ends as 7
    for (int bits : {1, 4, 8, 24})
        for (bool topDown : {false, true})
            for (const SelectionRect& s : selections)
                for (bool outside : {false, true}) {
                    ExpectAsReference(Bmp().Size(7, 5).Bits(bits).TopDown(topDown), Inverted(), s,
                                      outside);
                    ExpectAsReference(Bmp().Size(7, 5).TopDown(topDown), chain, s, outside);
                }
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> pos(-4, 14), size(-2, 16);
    for (int i = 0; i < 300; ++i)
        ExpectAsReference(Bmp().Size(11, 9), Inverted(), {pos(rng), pos(rng), size(rng), size(rng)},
                          i % 2);
}

// Regression: a header claiming millions of rows over a few bytes made the
// recolouring walk every claimed row; only the rows held are mapped.
TEST(RecolorBitmap, MapsOnlyThePixelsTheBitmapHolds) {
    for (int bits : {4, 8})
        for (bool topDown : {false, true})
            for (std::size_t cut : {3u, 9u, 20u}) {
                const Bmp full = Bmp().Size(8, 4).Bits(bits).TopDown(topDown);
                const Bmp b = Bmp(full).Cut(full.Build().size() - cut);
                ExpectAsReference(b, Inverted(), {}, false);
                ExpectAsReference(b, Inverted(), {1, 1, 100, 100}, true);
                ExpectAsReference(b, Inverted(), {0, 2, 8, 1}, false);
                ExpectAsReference(
                    Bmp(full).Set32(kHeight, topDown ? -2'000'000'000 : 2'000'000'000), Inverted(),
                    {0, topDown ? 1 : 1'999'999'998, 3, 1}, false);
            }
}

// Every pixel the bytes hold counts once for its index, at every palette
// depth; an image without a palette has no counts.
TEST(IndexCounts, CountEachHeldPixelOnceForItsIndex) {
    for (int bits : {1, 4, 8})
        for (bool cut : {false, true}) {  // cut: the top row is not held
            const Bmp b = Bmp().Bits(bits).Size(7, 3);
            const clsBitmap bmp = Loaded(Bmp(b).Cut(b.Build().size() - (cut ? b.Stride() : 0)));
            std::vector<std::int64_t> expected(256);
            for (int y = cut; y < 3; ++y)
                for (int x = 0; x < 7; ++x)
                    ++expected[b.Pixel(x, y)];
            EXPECT_EQ(CountIndices(bmp), expected) << bits << " bits, cut " << cut;
        }
    EXPECT_EQ(CountIndices(Loaded(Bmp().Bits(24))), std::vector<std::int64_t>());
}

TEST(ColorMap, EditsAreUndoneUpToTheHistorysLimitAndSetTheChangedFlag) {
    ColorMap small, large;
    ColorMapHistory three(small, 3), standard(large);
    for (int i = 1; i <= 150; ++i) {
        three.SetMapping(static_cast<std::uint8_t>(i), 0);
        standard.SetMapping(static_cast<std::uint8_t>(i), 0);
    }
    int undone = 0;
    while (three.Undo())
        ++undone;
    EXPECT_EQ(undone, 3);
    EXPECT_EQ(small.Entry(147), 0);
    EXPECT_EQ(small.Entry(148), 148);
    EXPECT_TRUE(three.Redo());
    EXPECT_EQ(small.Entry(148), 0);
    for (undone = 0; standard.Undo();)
        ++undone;
    EXPECT_EQ(undone, 150);
    EXPECT_TRUE(large.IsIdentity());
    ColorMap map;  // an edit sets the changed flag; loading (SetEntry) does not, Reset does
    map.SetEntry(0, 255);
    const bool loaded = map.ColorMapChanged();
    map.SetMapping(1, 2);
    const bool edited = map.ColorMapChanged();
    map.Reset();
    EXPECT_EQ(std::to_string(loaded) + std::to_string(edited) + std::to_string(map.IsIdentity()) +
                  std::to_string(map.ColorMapChanged()),
              "0111");
    EXPECT_THROW(map.Entry(256), std::out_of_range);
    EXPECT_THROW(map.Entry(-1), std::out_of_range);
}

clsBitmap EightBit(int w, int h, std::vector<int> indices) {
    return Loaded(Bmp().Size(w, h).Pixels([=](int x, int y) { return indices[y * w + x]; }));
}

TEST(IndexList, IsWrittenWhollyOrNotAtAll) {
    TempDir dir;
    std::vector<int> many(87381 * 3);  // the text fills its first block exactly
    for (std::size_t i = 0; i < many.size(); ++i)
        many[i] = static_cast<int>(i * 7 % 256);
    const clsBitmap big = EightBit(87381, 3, many);
    EXPECT_EQ(ColorIndexListText(big).size(), 3u * (87381 * 4 + 2));
    const clsBitmap cut = Loaded(Bmp().Size(4, 300).Cut(2000)), deep = Loaded(Bmp().Bits(24)),
                    badWidth = Loaded(Bmp().Set32(kWidth, -5)),
                    minWidth = Loaded(Bmp().Set32(kWidth, INT32_MIN));
    const std::string unreadable =
        "The image could not be read, so its color index list cannot be written.";
    const std::string incomplete =
        "The image's pixel data is incomplete, so its color index list cannot be written.";
    struct Case {
        const clsBitmap& bmp;
        fs::path path;
        IndexListResult result;
        std::string error;  // a part of it
    } cases[] = {
        {big, dir / "kept.txt", IndexListResult::Written, ""},
        {deep, dir / "kept.txt", IndexListResult::NotEightBit, ""},
        {cut, dir / "kept.txt", IndexListResult::Failed, incomplete},
        // Regression: the list of a failed load was sized from a negative width
        // turned unsigned, and std::length_error ended the program.
        {badWidth, dir / "kept.txt", IndexListResult::Failed, unreadable},
        {minWidth, dir / "kept.txt", IndexListResult::Failed, unreadable},
        {big, dir / "no folder" / "a.txt", IndexListResult::Failed, "a.txt"},
        {deep, dir / "new.txt", IndexListResult::NotEightBit, ""},
    };
    for (const Case& c : cases) {
        WriteFile(dir / "kept.txt", "old");
        std::string error;
        EXPECT_EQ(WriteColorIndexList(c.bmp, c.path, error), c.result) << c.path;
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
        EXPECT_EQ(ReadFile(dir / "kept.txt"),
                  c.result == IndexListResult::Written ? ColorIndexListText(big) : "old");
        EXPECT_EQ(dir.Entries(), std::vector<std::string>{"kept.txt"});
    }
    EXPECT_THROW(ColorIndexListText(badWidth), std::out_of_range);
    std::string none = "none";  // an image without rows has an empty list
    EXPECT_EQ(WriteColorIndexList(Loaded(Bmp().Size(3, 0)), dir / "none", none),
              IndexListResult::Written)
        << none;
    EXPECT_EQ(ColorIndexListText(EightBit(3, 1, {0, 12, 255})) + ColorIndexListText(deep),
              "  0, 12,255,\r\n");  // fields of four from the top row; nothing for 24 bits
    const MessageRequest m = IndexListFailedMessage("why");
    EXPECT_EQ(m.text, "The color index list could not be saved.\r\nwhy");
    EXPECT_EQ(m.icon, MsgIcon::Error);
}

// Regression: a 60-byte file claiming a width of two billion pixels had an
// 8 GiB row buffer reserved before the missing pixels were noticed.
TEST(IndexList, AWidthFromTheHeaderIsNotAllocatedBeforeThePixelsAreKnownToBeThere) {
#if !defined(__SANITIZE_ADDRESS__)  // an address-space limit does not mix with the sanitizer
    TempDir dir;
    EXPECT_EQ(InChild([&](std::string& r) {
                  const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};
                  ::setrlimit(RLIMIT_AS, &limit);
                  std::string error;
                  const clsBitmap wide = Loaded(Bmp().Size(4, 1).Set32(kWidth, 0x7FFFFFF0));
                  r = std::to_string(static_cast<int>(WriteColorIndexList(wide, dir / "a", error)));
                  // Regression: a stream of one run under a row of 2^28 pixels
                  // was decoded whole, and its row of text held whole.
                  WriteFile(dir / "rle.bmp", Bmp().Size(1 << 28, 1).Rle({3, 7, 0, 1}).Build());
                  clsBitmap rle;
                  rle.LoadFromFile(dir / "rle.bmp", BitmapParts::Layout);
                  std::string start;
                  std::int64_t bytes = 0;
                  WriteColorIndexRows(
                      rle,
                      [&](const std::string& block) {
                          if (start.empty()) start = block.substr(0, 20);
                          return bytes += std::int64_t(block.size()), true;
                      },
                      error);
                  r += " " + start + std::to_string(bytes) + error;
              }),
              std::to_string(static_cast<int>(IndexListResult::Failed)) + "   7,  7,  7,  0,  0," +
                  std::to_string((std::int64_t{4} << 28) + 2));
#endif
}

// A stream is read from marks of the parser's state that thin out to every
// other one past 4096 pieces (64 MiB): rows behind that still read right.
TEST(IndexList, RowsBehindAStreamLongerThanItsMarksAreReadRight) {
    TempDir dir;
    std::string stream{2, 5, 0, 0};  // the bottom row, then moves that go nowhere
    for (int i = 0; i < (66 << 18); ++i)
        stream += std::string{0, 2, 0, 0};
    WriteFile(dir / "long.bmp", Bmp().Size(2, 2).Rle(stream + std::string{2, 9, 0, 1}).Build());
    clsBitmap rle;
    ASSERT_TRUE(rle.LoadFromFile(dir / "long.bmp", BitmapParts::Layout)) << rle.LastError();
    std::string text, error;
    EXPECT_TRUE(WriteColorIndexRows(
        rle, [&](const std::string& block) { return text += block, true; }, error))
        << error;
    EXPECT_EQ(text, "  9,  9,\r\n  5,  5,\r\n");
}

// The malformed-file corpus: one change each to a good 8-bit file, with the
// text the load records ("" when it loads) and the title RecolorFile shows
// ("" when it recolours the file).
struct Malformed {
    const char* name;
    std::string bytes;
    std::string loadError;
    const char* title;
};

std::vector<Malformed> MalformedCorpus() {
    const char *done = "", *notEight = "BMP is not 8-bit;", *unreadable = "BMP not readable;",
               *incomplete = "BMP is incomplete;", *unsupported = "BMP is not supported;",
               *damaged = "BMP is damaged;";
    const std::string tag = "Did not find bitmap file tag.", cut = "Bitmap header is cut short.";
    const std::string offset = "Pixel data would start at byte ",
                      negative = "Pixel data offset is negative: ";
    const auto past = [&](std::int64_t at, std::int64_t size) {
        return offset + std::to_string(at) + ", past the end of the file (" + std::to_string(size) +
               " bytes)";
    };
    const std::string header = "Unsupported bitmap header size: ", bits = "Unsupported bit count: ";
    const std::string compression = "Unsupported compression type: 0x";
    return {
        {"Good", Bmp().Build(), "", done},
        {"Empty", "", tag, notEight},
        {"BadTag", "BA" + Bmp().Build().substr(2), tag, notEight},
        {"CutInTheFileHeader", Bmp().Cut(13).Build(), cut, notEight},
        {"CutAfterTheHeaderSize", Bmp().Cut(18).Build(), cut, notEight},
        {"UnknownHeaderSizeCutAfterIt", Bmp().Set32(kBiSize, 20).Cut(18).Build(), header + "20",
         notEight},
        // Regression: an 8-bit file cut inside its header was "not a 256 color BMP".
        {"CutInTheInfoHeader", Bmp().Cut(53).Build(), cut, unreadable},
        {"CutAfterTheHeaders", Bmp().Cut(54).Build(), past(1078, 54), unreadable},
        {"CutWhereThePixelsStart", Bmp().Cut(1078).Build(), past(1078, 1078), unreadable},
        {"CutInThePixels", Bmp().Cut(1090).Build(), "", incomplete},
        {"FourBitCutInThePalette", Bmp().Bits(4).Cut(60).Build(), past(118, 60), notEight},
        // Regressions: the file's length, not bfSize, says where the pixels end.
        {"BfSizeZero", Bmp().Set32(kBfSize, 0).Build(), "", done},
        {"BfSizeIsTheHeadersSize", Bmp().Set32(kBfSize, 1078).Build(), "", done},
        {"BfSizeAFewBytesShort", Bmp().Set32(kBfSize, 1098).Build(), "", done},
        {"Os2BfSizeIsTheHeadersSize", Bmp().HeaderSize(12).Set32(kBfSize, 794).Build(), "", done},
        {"BfSizeFarBeyondTheFile", Bmp().Set32(kBfSize, 0x7FFFFFFF).Build(), "", done},
        {"OffsetsThatOverflow", Bmp().Set32(kBfSize, INT32_MIN).Set32(kOffBits, INT32_MAX).Build(),
         past(INT32_MAX, 1102), unreadable},
        // Regression: "Pixel data had an invalid length: -98809".
        {"OffBitsPastTheEnd", Bmp().Set32(kOffBits, 100000).Set32(kBfSize, 1191).Build(),
         past(100000, 1102), unreadable},
        {"OffBitsNegative", Bmp().Set32(kOffBits, -4).Build(), negative + "-4", unreadable},
        {"OffBitsMostNegative", Bmp().Set32(kBfSize, INT32_MAX).Set32(kOffBits, INT32_MIN).Build(),
         negative + "-2147483648", unreadable},
        {"OffBitsInsideThePalette", Bmp().Set32(kOffBits, 600).Build(), "", done},
        // Regression: the headers were taken for pixels, recoloured and rewritten.
        {"OffBitsInsideTheHeaders", Bmp().Set32(kOffBits, 20).Build(),
         "Pixel data offset lies inside the headers: 20", unreadable},
        {"HeaderSize20", Bmp().HeaderSize(20).Build(), header + "20", unsupported},
        // Regression: a header size no BMP flavour uses had the colour table read
        // from the wrong place, and RecolorFile wrote that black table over the
        // file's real palette.
        {"HeaderSize41", Bmp().Set32(kBiSize, 41).Build(), header + "41", unsupported},
        {"HeaderSizeHuge", Bmp().Set32(kBiSize, 0x7FFFFFF0).Build(), header + "2147483632",
         unsupported},
        {"HeaderSizeNegative", Bmp().Set32(kBiSize, -40).Build(), header + "-40", notEight},
        {"BitCount0", Bmp().Bits(0).Build(), bits + "0", notEight},
        {"BitCount16", Bmp().Bits(16).Build(), bits + "16", notEight},
        {"BitCountNegative", Bmp().Set32(kBits, 0xFFF8).Build(), bits + "-8", notEight},
        {"Compression1OverRows", Bmp().Set32(kCompression, 1).Build(), "", damaged},
        {"Compression2", Bmp().Set32(kCompression, 2).Build(), compression + "2", unsupported},
        {"Compression3", Bmp().Set32(kCompression, 3).Build(), compression + "3", unsupported},
        {"CompressionNegative", Bmp().Set32(kCompression, -1).Build(), compression + "FFFFFFFF",
         unsupported},
        {"WidthZero", Bmp().Set32(kWidth, 0).Build(), "", done},
        {"WidthNegative", Bmp().Set32(kWidth, -5).Build(), "Invalid image width: -5", unreadable},
        {"WidthMostNegative", Bmp().Set32(kWidth, INT32_MIN).Build(),
         "Invalid image width: -2147483648", unreadable},
        {"HeightZero", Bmp().Set32(kHeight, 0).Build(), "", done},
        {"HeightNegative", Bmp().Set32(kHeight, -3).Build(), "", done},
        {"HeightMostNegative", Bmp().Set32(kHeight, INT32_MIN).Build(),
         "Invalid image height: -2147483648", unreadable},
        // Width times bits wraps a 32-bit stride.
        {"StrideWraps32Bits", Bmp().Set32(kWidth, 0x20000001).Build(), "", incomplete},
        {"StrideWraps32Bits32bpp", Bmp().Bits(32).Set32(kWidth, 0x08000001).Build(), "", notEight},
        {"MillionsOfPixelsOverTinyData",
         Bmp().Set32(kWidth, 5'000'000).Set32(kHeight, -3'000'000).Build(), "", incomplete},
        // Rows of 2^31 bytes: 2^56 bytes at most, so 2^25 rows.
        {"LargestToAddress", Bmp().Set32(kWidth, INT32_MAX).Set32(kHeight, 1 << 25).Build(), "",
         incomplete},
        {"TooLargeToAddress", Bmp().Set32(kWidth, INT32_MAX).Set32(kHeight, (1 << 25) + 1).Build(),
         "Image is too large to address: 2147483647 x 33554433", unreadable},
        {"ClrUsed16", Bmp().ClrUsed(16).Build(), "", done},
        {"ClrUsedHugeOverAFullPalette", Bmp().ClrUsed(0x12341234, 256).Build(), "", done},
        {"PixelIndicesBeyondThePalette", Bmp().ClrUsed(4).Build(), "", done},
    };
}

class MalformedFile : public ::testing::TestWithParam<Malformed> {};

TEST_P(MalformedFile, LoadsAsRecordedAndIsRecoloredWhollyOrLeftAloneAfterAWholeBackup) {
    const Malformed& c = GetParam();
    TempDir dir;
    WriteFile(dir / "case.bmp", c.bytes);
    clsBitmap fromBytes, fromFile;
    EXPECT_EQ(Load(fromBytes, c.bytes), c.loadError.empty());
    EXPECT_EQ(fromFile.LoadFromFile(dir / "case.bmp"), c.loadError.empty());
    EXPECT_EQ(fromBytes.LastError(), c.loadError);
    EXPECT_EQ(fromFile.LastError(), c.loadError);
    EXPECT_LE(fromBytes.Pixels().size(), c.bytes.size());
    const bool done = !*c.title;
    const std::string after = done ? Recolored(c.bytes) : c.bytes;
    EXPECT_EQ(Recolor(dir / "case.bmp", false), std::to_string(done) + " " + c.title);
    EXPECT_EQ(ReadFile(dir / "case.bmp"), after);
    EXPECT_EQ(Recolor(dir / "case.bmp", true), std::to_string(done) + " " + c.title);
    EXPECT_EQ(ReadFile(dir / "Tintwell Backup" / "case.bmp"), after);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Tintwell Backup",
                                                       "Tintwell Backup/case.bmp", "case.bmp"}));
}

INSTANTIATE_TEST_SUITE_P(Corpus, MalformedFile, ::testing::ValuesIn(MalformedCorpus()),
                         [](const auto& info) { return std::string(info.param.name); });

// Every length of a good file: recoloured only while every pixel is there.
TEST(RecolorFile, RewritesACutFileOnlyWhileItsPixelsAreWhole) {
    for (const Bmp& good : {Bmp(), Bmp().HeaderSize(108).TopDown()}) {
        const std::string full = good.Build();
        TempDir dir;
        for (std::size_t n = 0; n < full.size(); ++n) {
            WriteFile(dir / "cut.bmp", full.substr(0, n));
            const bool whole = n >= full.size() - 3;  // only the last row's padding is missing
            ASSERT_EQ(Recolor(dir / "cut.bmp", false).substr(0, 1), whole ? "1" : "0") << n;
            ASSERT_EQ(ReadFile(dir / "cut.bmp"),
                      whole ? Recolored(full.substr(0, n)) : full.substr(0, n))
                << n;
        }
    }
}

TEST(RecolorFile, SaysWhatWentWrongInTheProgramsOwnWords) {
    const clsBitmap bmp = Loaded(Bmp().Set32(kWidth, -5));
    EXPECT_EQ(RecolorProblemMessage(RecolorProblem::LoadFailed, "a", bmp).text +
                  RecolorProblemMessage(RecolorProblem::PixelsCutShort, "b", bmp).text,
              "\"a\" could not be read: Invalid image width: -5. The file was left "
              "unchanged.\"b\" is cut short: its pixel data does not cover the whole image. The "
              "file was left unchanged.");
    EXPECT_EQ(BackupFailedMessage("a", "full").text + SaveFailedMessage("b", "full.").text,
              "\"a\" was not recolored because its backup copy could not be made: full.\"b\" "
              "could not be written: full. The file was left unchanged.");
    EXPECT_EQ(BackupFailedMessage("a", "").icon, MsgIcon::Error);
    // An 8-bit file refused for its header or compression says what is not supported.
    const std::pair<Bmp, const char*> refused[] = {
        {Bmp().HeaderSize(20),
         "is a 256 color BMP, but its header size (20 bytes) is not supported."},
        {Bmp().Set32(kCompression, 2), "but its compression (RLE4) is not supported."},
        {Bmp().Set32(kCompression, 5), "but its compression (PNG, 0x5) is not supported."}};
    TempDir dir;
    for (const auto& [b, text] : refused) {
        WriteFile(dir / "a.bmp", b.Build());
        RecordingMessageBox box;
        EXPECT_FALSE(RecolorFile(dir / "a.bmp", false, {}, false, ColorMap{}, box));
        EXPECT_NE(box.shown.at(0).text.find(text), std::string::npos) << box.shown[0].text;
    }
}

// A backup takes the first number nobody has; with all taken, the 999th is
// replaced. Regression: a 255-byte name could be backed up only once; numbered
// names are shortened to fit, never splitting a character.
TEST(Backups, AreNumberedFromTheFilesNameAndTakeTheFirstFreeNumber) {
    std::string stem, all[1000];
    while (stem.size() < 250)
        stem += "\xc3\xa9";
    stem += "x";                                  // 251 bytes: with ".bmp" the longest name
    const std::string cut = stem.substr(0, 246);  // 247 bytes would split a character
    for (int n = 0; n <= 999; ++n) {
        char name[16];
        std::snprintf(name, sizeof name, n ? "t-%03d.bmp" : "t.bmp", n);
        all[n] = name;
    }
    const std::tuple<std::string, std::vector<std::string>, std::string> cases[] = {
        {"a.bmp", {"a.bmp", "a-001.bmp", "a-003.bmp"}, "a-002.bmp"},
        {"sky.night.BMP", {"sky.night.BMP"}, "sky.night-001.bmp"},
        {"plain", {"plain"}, "plain-001.bmp"},
        {stem + ".bmp", {stem + ".bmp", cut + "-001.bmp"}, cut + "-002.bmp"},
        {"t.bmp", {all, all + 1000}, "t-999.bmp"}};
    for (const auto& [file, taken, next] : cases) {
        TempDir dir;
        fs::create_directory(dir / "Tintwell Backup");
        for (const std::string& name : taken)
            WriteFile(dir / "Tintwell Backup" / name, "x");
        WriteFile(dir / file, Bmp().Build());
        EXPECT_EQ(Recolor(dir / file, true), "1 ") << next;
        EXPECT_EQ(ReadFile(dir / "Tintwell Backup" / next), Bmp().Build()) << next;
        EXPECT_EQ(dir.Entries().size(), taken.size() + 2 + (taken.size() < 1000)) << next;
    }
}

// Backups are copies, never a second name a kill could leave shared; a link's
// file is backed up under the link's name; the file and its backup keep the
// mode, attributes and ACL. Regressions: a backup by copying lost the mode and
// attributes; a file with two names was rewritten under one.
TEST(Backups, AreCopiesWithTheFilesRightsAndAFileWithTwoNamesIsRefused) {
    TempDir dir;
    const std::string x = Bmp().Size(300, 200).Build(), y = Recolored(x);
    WriteFile(dir / "a.bmp", x);
    // user::rw- user:nobody:r-- group::r-- mask::r-- other::---
    const std::uint32_t acl[] = {2,   0x00060001, ~0u, 0x00040002, 65534, 0x00040004,
                                 ~0u, 0x00040010, ~0u, 0x00000020, ~0u};
    const std::string aclBytes(reinterpret_cast<const char*>(acl), sizeof acl);
    ASSERT_EQ(::setxattr((dir / "a.bmp").c_str(), "user.note", "kept", 4, 0), 0);
    ASSERT_EQ(::setxattr((dir / "a.bmp").c_str(), "system.posix_acl_access", acl, sizeof acl, 0),
              0);
    ASSERT_EQ(Recolor(dir / "a.bmp", true), "1 ");
    fs::create_hard_link(dir / "a.bmp", dir / "second name.bmp");
    fs::create_directory(dir / "real");
    WriteFile(dir / "real" / "t.bmp", x);
    fs::create_symlink("real/t.bmp", dir / "link.bmp");
    RecordingMessageBox box;
    EXPECT_FALSE(RestoreFromBackup(dir / "second name.bmp", false, box).restored);
    ASSERT_EQ(Recolor(dir / "a.bmp", true) + box.Titles() + Recolor(dir / "link.bmp", true),
              "0 File Has Several Names;File Has Several Names;1 ");
    std::string seen;
    for (const char* name : {"Tintwell Backup/a.bmp", "a.bmp", "second name.bmp",
                             "Tintwell Backup/link.bmp", "real/t.bmp"})
        seen += ReadFile(dir / name) == x ? "x" : ReadFile(dir / name) == y ? "y" : "?";
    EXPECT_EQ(seen, "xyyxy");
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    for (const auto& e : fs::directory_iterator(dir / "Tintwell Backup"))
        EXPECT_EQ(fs::hard_link_count(e.path()), 1u) << e.path();
    for (const char* name : {"a.bmp", "Tintwell Backup/a.bmp"}) {  // the mode follows the ACL
        const std::string path = (dir / name).string();
        char got[64];
        EXPECT_EQ(std::string(got, ::getxattr(path.c_str(), "user.note", got, sizeof got)), "kept");
        EXPECT_EQ(std::string(got, ::getxattr(path.c_str(), "system.posix_acl_access", got, 64)),
                  aclBytes)
            << name;
        EXPECT_EQ(fs::status(path).permissions(), fs::perms(0640)) << name;
    }
}

// Regression: a group-shared file rewritten by a member of its group took the
// member's own group, and the other members could no longer write it.
TEST(Backups, AGroupSharedFileKeepsItsGroupWhenAMemberRewritesIt) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    TempDir dir;
    WriteFile(dir / "a.bmp", Bmp().Build());
    GiveToNobody(dir.path());
    const gid_t artists = 4242;
    ASSERT_EQ(::chown((dir / "a.bmp").c_str(), 0, artists), 0);
    fs::permissions(dir / "a.bmp", fs::perms(0664));
    EXPECT_EQ(InChild([&](std::string& r) {
                  if (::setgroups(1, &artists) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0)
                      r = Recolor(dir / "a.bmp", true);
              }),
              "1 ");
    for (const char* name : {"a.bmp", "Tintwell Backup/a.bmp"}) {
        struct stat st {};
        EXPECT_EQ(::stat((dir / name).c_str(), &st) ? 0 : st.st_gid * 010000 + (st.st_mode & 07777),
                  artists * 010000 + 0664)
            << name;
    }
}

// Regression: a full disk with backups on was reported as a failed backup; the
// new file failed first, and no partial backup stays. An unflushed backup leaves
// the file too: one made before a recolour is written out (the new file's flush
// commits its name), one made on its own is fsynced.
TEST(RecolorFileFaults, AFullDiskOrAFailingFlushLeavesTheFileWholeAndSaysWhatFailed) {
    TempDir dir;
    const std::string old = Bmp().Size(64, 64).ClrUsed(16).Build();
    WriteFile(dir / "a.bmp", old);
    for (const bool backup : {false, true}) {
        FileSizeLimit disk(3000);
        EXPECT_EQ(Recolor(dir / "a.bmp", backup), "0 Save Failed;");
    }
    fs::path made;
    std::string why;
    {
        FailCall fault("sync_file_range", EIO, 2);  // the first starts the new file's write-out
        EXPECT_EQ(Recolor(dir / "a.bmp", true), "0 Backup Failed;");
    }
    {
        FailCall fault("fsync", EIO);
        EXPECT_FALSE(MakeBackup(dir / "a.bmp", made, why));
    }
    EXPECT_NE(why.find("Could not flush"), std::string::npos) << why;
    EXPECT_EQ(ReadFile(dir / "a.bmp"), old);
    EXPECT_EQ(fs::hard_link_count(dir / "a.bmp"), 1u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Tintwell Backup", "a.bmp"}));
    FailCall count("fsync", 0, 1, 0);  // the new file's flush commits its backup's too
    EXPECT_EQ(Recolor(dir / "a.bmp", true), "1 ");
    EXPECT_EQ(count.calls, 1);
    FailCall truncate("ftruncate", EIO);  // only a copy that ends in a hole is lengthened
    EXPECT_EQ(Recolor(dir / "a.bmp", true), "1 ");
}

TEST(RecolorFileFaults, ReadOnlyFilesAndFoldersAreLeftAlone) {
    TempDir dir;
    const std::string old = Bmp().Build();
    for (const char* name : {"ro", "folder"}) {
        fs::create_directory(dir / name);
        WriteFile(dir / name / "a.bmp", old);
        GiveToNobody(dir / name);
        GiveToNobody(dir / name / "a.bmp");
    }
    fs::permissions(dir / "ro" / "a.bmp", fs::perms(0444));
    fs::permissions(dir / "folder", fs::perms(0555));
    const std::string seen = AsUnprivilegedUser([&](std::string& r) {
        for (const char* name : {"ro", "folder"}) {
            r += Recolor(dir / name / "a.bmp", false) + Recolor(dir / name / "a.bmp", true);
            clsBitmap bmp;
            Load(bmp, old);
            r += std::to_string(bmp.SaveAsFile(dir / name / "a.bmp")) + "|";
        }
    });
    fs::permissions(dir / "folder", fs::perms(0755));
    // The read-only file's backup is made before the refusal; the folder can take none.
    EXPECT_EQ(seen, "0 Save Failed;0 Save Failed;0|0 Save Failed;0 Backup Failed;0|");
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"folder", "folder/a.bmp", "ro", "ro/Tintwell Backup",
                                        "ro/Tintwell Backup/a.bmp", "ro/a.bmp"}));
    for (const char* file : {"ro/a.bmp", "folder/a.bmp", "ro/Tintwell Backup/a.bmp"})
        EXPECT_EQ(ReadFile(dir / file), old) << file;
}

TEST(RecolorFileFaults, AFileChangedSinceItWasListedIsTakenAsItNowIs) {
    TempDir dir;
    const fs::path path = dir / "a.bmp";
    WriteFile(dir / "Tintwell Backup", "a file, not a folder");
    EXPECT_EQ(Recolor(path, true), "0 Not Found;");
    fs::create_directory(path);  // regression: reported as not found
    EXPECT_EQ(Recolor(path, false), "0 Not a Regular File;");
    fs::remove(path);
    WriteFile(path, "not a bitmap");
    EXPECT_EQ(Recolor(path, true), "0 Backup Failed;");
    EXPECT_EQ(ReadFile(path), "not a bitmap");
    EXPECT_EQ(ReadFile(dir / "Tintwell Backup"), "a file, not a folder");
    std::string why;
    fs::path made;
    EXPECT_FALSE(MakeBackup(dir / "Tintwell Backup" / "x.bmp", made, why));
    EXPECT_NE(why.find("Tintwell Backup"), std::string::npos);
}

// Regression: bytes another program appended during a run were lost, and a
// backup made through a hard link kept growing after the run.
TEST(FileSafety, AFileAnotherProgramKeepsOpenForWritingIsLeftAlone) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Bmp().Size(256, 256).Build());
    std::atomic<bool> stop{false};
    std::atomic<int> appended{0};
    std::thread appender([&] {
        std::ofstream out(dir / "a.bmp", std::ios::app | std::ios::binary);
        for (; !stop; ++appended)
            out.put('x').flush(), std::this_thread::sleep_for(std::chrono::microseconds(50));
    });
    while (appended == 0)  // writing already when the run starts
        std::this_thread::yield();
    EXPECT_EQ(Recolor(dir / "a.bmp", true), "0 File Busy;");
    stop = true;
    appender.join();
    EXPECT_FALSE(fs::exists(dir / "Tintwell Backup" / "a.bmp"));
    EXPECT_EQ(fs::file_size(dir / "a.bmp"), Bmp().Size(256, 256).Build().size() + appended);
}

// Regression: temporaries with per-process names were left behind for good.
TEST(FileSafety, ALaterRunRemovesAbandonedTemporariesOfEveryNameAndKeepsLiveOnes) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Bmp().Build());
    fs::create_directory(dir / "Tintwell Backup");
    // Regression: what a writer killed while saving leaves (the first name) stayed for good.
    for (const char* name : {".gone.bmp.tmp-tintwell", ".a.bmp.tmp-tintwell-12-3-45",
                             "Tintwell Backup/.gone.bmp.tmp-tintwell-6-7-8"})
        WriteFile(dir / name, "x");
    WriteFile(dir / ".b.bmp.tmp-tintwell-9-9-9", "live");
    const int held = ::open((dir / ".b.bmp.tmp-tintwell-9-9-9").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_EQ(Recolor(dir / "a.bmp", true), "1 ");
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{".b.bmp.tmp-tintwell-9-9-9", "Tintwell Backup",
                                        "Tintwell Backup/a.bmp", "a.bmp"}));
    ::close(held);
}

// Regression: a program that wrote the file in place and set its time of last
// change back (as copying tools do), or renamed its own file over it, at the
// last moment had its bytes replaced by a result computed from older ones.
TEST(FileSafety, AWriterAtAnyMomentBeforeTheReplacementKeepsItsBytes) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Bmp().Build());
    FileLock lock;
    std::string why;
    ASSERT_EQ(lock.Acquire(dir / "a.bmp", std::chrono::seconds(1), why), FileLock::Result::Locked);
    InChild([&](std::string&) {
        const int fd = ::open((dir / "a.bmp").c_str(), O_WRONLY);
        const timespec times[2] = {lock.Locked().st_atim, lock.Locked().st_mtim};
        if (::pwrite(fd, "Z", 1, 60) == 1) ::futimens(fd, times);
        ::close(fd);
    });
    AtomicFile out(dir / "a.bmp");
    ASSERT_TRUE(out.Open() && out.Write("ours", 4));
    EXPECT_FALSE(lock.ReplaceWith(out, why));
    EXPECT_EQ(std::to_string(out.Refused()) + why, "1another program opened it for writing");
    EXPECT_EQ(ReadFile(dir / "a.bmp")[60], 'Z');
    // The other program's file, renamed over the name after the last check.
    WriteFile(dir / "theirs", "theirs");
    ASSERT_TRUE(out.Open() && out.Write("ours", 4));
    EXPECT_FALSE(out.Commit([&](const struct stat* replaced) {
        if (replaced == nullptr) fs::rename(dir / "theirs", dir / "a.bmp");
        return replaced == nullptr || replaced->st_ino == lock.Locked().st_ino;
    }));
    EXPECT_EQ(std::to_string(out.Refused()) + ReadFile(dir / "a.bmp"), "1theirs");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"a.bmp"}));
}

// A file that cannot be opened or locked is never reported locked.
TEST(FileSafety, ALockThatCannotBeTakenIsNeverReportedTaken) {
    TempDir dir;
    WriteFile(dir / "a.bmp", "x");
    using R = FileLock::Result;
    for (const auto& [call, error, result] : {std::tuple{"open", EACCES, R::Failed},
                                              {"open", ENOENT, R::Missing},
                                              {"open", ENOTDIR, R::Missing},
                                              {"flock", ENOLCK, R::Failed}}) {
        FileLock lock;
        std::string why;
        FailCall fault(call, error);
        EXPECT_EQ(int(lock.Acquire(dir / "a.bmp", std::chrono::seconds(1), why)), int(result));
        EXPECT_EQ(why, std::strerror(error));
    }
}

// Where no lease is granted (the file is another user's), a write shows in
// the file's size or its time of last change.
TEST(FileSafety, WithoutALeaseAWriteShowsInTheSizeOrTime) {
    TempDir dir;
    if (::geteuid() != 0) GTEST_SKIP() << "needs a file of another user";
    WriteFile(dir / "a.bmp", "12345");
    fs::permissions(dir / "a.bmp", fs::perms(0666));
    timespec times[2] = {};  // this second's start: a write differs in the nanoseconds
    ::clock_gettime(CLOCK_REALTIME, &times[0]);
    times[1] = times[0] = {times[0].tv_sec, 0};
    ::utimensat(AT_FDCWD, (dir / "a.bmp").c_str(), times, 0);
    // Per write: locked (0), leased, unchanged before it, bytes written, unchanged after.
    const std::string seen = AsUnprivilegedUser([&](std::string& r) {
        for (const int append : {0, O_APPEND}) {
            FileLock lock;
            std::string why;
            r += std::to_string(int(lock.Acquire(dir / "a.bmp", std::chrono::seconds(1), why)));
            r += std::to_string(lock.Leased()) + std::to_string(lock.Unchanged(why));
            const int fd = ::open((dir / "a.bmp").c_str(), O_WRONLY | append);
            r += std::to_string(::write(fd, "x", 1));
            const bool unchanged = lock.Unchanged(why);
            r += std::to_string(unchanged) + " " + why + ";";
            ::close(fd);
        }
    });
    EXPECT_EQ(seen, "00110 it was written to;00110 its size changed;");
}

struct Target {
    const char* kind;
    mode_t type;
    bool written;  // what every writer manages (a FIFO then has a reader)
};

// Makes the node: -1 when this user may not, else a descriptor that receives
// what is written (the FIFO's reader, the socket's listener) or 0.
int Make(const Target& t, const fs::path& path) {
    int fd = 0;
    if (t.type == S_IFSOCK) {
        sockaddr_un address{AF_UNIX, {}};
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) || ::listen(fd, 4))
            return -1;
    } else if (t.type == S_IFDIR) {
        fs::create_directory(path);
    } else if (::mknod(path.c_str(), t.type | 0666,
                       t.type == S_IFCHR ? makedev(1, 3) : makedev(7, 250)) != 0) {
        return -1;  // device nodes need root; the null device, an unused loop number
    } else if (t.written && t.type == S_IFIFO) {
        fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    }
    ::chmod(path.c_str(), 0777);
    return fd;
}

// What reached the FIFO, or each connection to the socket.
std::string Arrived(const Target& t, int fd) {
    std::string got;
    char buffer[256];
    for (int from; (from = t.type == S_IFSOCK ? ::accept(fd, nullptr, nullptr) : fd) >= 0;) {
        for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) > 0;)
            got.append(buffer, static_cast<std::size_t>(n));
        if (from == fd) return got;
        ::close(from);
    }
    return got;
}

// "1" or "0" for each writer: the atomic writer, then the colour index list.
std::string WriteWithEveryWriter(const fs::path& target) {
    std::string error;
    const clsBitmap image = Loaded(Bmp().Size(1, 1).Pixels([](int, int) { return 5; }));
    const bool whole = AtomicFile::WriteWhole(target, "hello\n", 6, error);
    return std::to_string(whole) +
           std::to_string(WriteColorIndexList(image, target, error) == IndexListResult::Written);
}

// Regression: "-o" naming a device or FIFO replaced the node with a plain file.
TEST(FileSafety, ATargetThatIsNoPlainFileIsWrittenInPlaceOrRefusedAndStaysWhatItIs) {
    TempDir dir;
    const Target targets[] = {{"character device", S_IFCHR, true},
                              {"FIFO with a reader", S_IFIFO, true},
                              {"FIFO nobody reads", S_IFIFO, false},
                              {"socket", S_IFSOCK, true},
                              {"folder", S_IFDIR, false},
                              {"block device", S_IFBLK, false}};
    for (const bool nobody : {false, true}) {
        for (const Target& t : targets) {
            SCOPED_TRACE(std::string(t.kind) + (nobody ? " as nobody" : " as root"));
            const auto path = dir / (std::string(t.kind) + (nobody ? " 2" : ""));
            const int fd = Make(t, path);
            if (fd < 0) continue;
            EXPECT_EQ(
                nobody ? AsUnprivilegedUser([&](std::string& r) { r = WriteWithEveryWriter(path); })
                       : WriteWithEveryWriter(path),
                t.written ? "11" : "00");
            struct stat st {};
            ASSERT_EQ(::lstat(path.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & S_IFMT, t.type);
            EXPECT_EQ(fd > 0 ? Arrived(t, fd) : "", fd > 0 && t.written ? "hello\n  5,\r\n" : "");
        }
    }
    for (const std::string& name : dir.Entries())
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

using Folder = std::map<std::string, char>;  // name -> content label

// Content labels: 'C' the file's own image, a digit an image of that index,
// 'x' bytes that are no BMP, 't' a BMP cut short.
std::string Content(char label) {
    if (label == 'x') return "no bmp";
    if (label == 't') return Bmp().Size(8, 8).Cut(1100).Build();
    return Bmp().Size(4, 4).Pixels([label](int, int) { return label; }).Build();
}

Folder Read(const fs::path& folder) {
    Folder labels;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::string bytes = ReadFile(e.path());
        for (char c : std::string("C0123456789xt"))
            if (Content(c) == bytes) labels[e.path().filename().string()] = c;
    }
    return labels;
}

// Backups are listed in the order they were made. Regression: after old
// backups were deleted, restore took the highest number, not the newest.
TEST(RestoreFromBackup, PutsBackTheBackupMadeLastAfterBackingUpTheFile) {
    struct Case {
        const char* name;
        std::vector<std::pair<std::string, char>> made;  // "Tintwell Backup" (none when empty)
        bool dryRun;
        const char* from;   // the backup put back, "" when refused
        const char* kept;   // the new backup of the file's own bytes, "" for none
        const char* title;  // the message shown, "" for none
    } const cases[] = {
        // clang-format off
        {"made last wins; other names are no backups",
         {{"a.bmp", '0'}, {"a-001.bmp", '1'}, {"a-002.bmp", '2'}, {"a-01.bmp", '3'},
          {"a-0004.bmp", '4'}, {"ab-005.bmp", '5'}, {"a-006.BMP", '6'}, {"a-000.bmp", '7'}},
         false, "a-002.bmp", "a-003.bmp", ""},
        {"old backups deleted: the un-numbered copy made last",
         {{"a-002.bmp", '2'}, {"a-003.bmp", '3'}, {"a.bmp", '4'}}, false, "a.bmp", "a-001.bmp",
         ""},
        // The copy of the file is made last, so restoring again undoes this.
        {"a gap in the numbers", {{"a.bmp", '0'}, {"a-005.bmp", '5'}}, false, "a-005.bmp",
         "a-001.bmp", ""},
        {"the last number", {{"a-999.bmp", '9'}}, false, "a-999.bmp", "a.bmp", ""},
        {"dry run", {{"a.bmp", '0'}, {"a-001.bmp", '1'}}, true, "a-001.bmp", "", ""},
        {"no backup", {}, false, "", "", "No Backup"},
        {"damaged newest backup", {{"a.bmp", '0'}, {"a-001.bmp", 'x'}}, false, "", "",
         "Backup Damaged"},
        {"newest backup cut short", {{"a-001.bmp", 't'}}, false, "", "", "Backup Damaged"},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        WriteFile(dir / "a.bmp", Content('C'));
        const fs::path folder = dir / "Tintwell Backup";
        if (!c.made.empty()) fs::create_directory(folder);
        Folder expected;
        auto made = fs::file_time_type::clock::now();  // later with each, past a clock tick
        for (const auto& [name, label] : c.made) {
            WriteFile(folder / name, Content(expected[name] = label));
            fs::last_write_time(folder / name, made += std::chrono::milliseconds(20));
        }
        RecordingMessageBox box;

        const RestoreOutcome done = RestoreFromBackup(dir / "a.bmp", c.dryRun, box);

        EXPECT_EQ(done.restored, *c.from != '\0');
        EXPECT_EQ(done.from, *c.from ? folder / c.from : fs::path());
        EXPECT_EQ(done.keptAs, *c.kept ? folder / c.kept : fs::path());
        const char fileNow = *c.kept ? expected.at(c.from) : 'C';
        EXPECT_EQ(ReadFile(dir / "a.bmp"), Content(fileNow));
        if (*c.kept) expected[c.kept] = 'C';
        EXPECT_EQ(fs::exists(folder) ? Read(folder) : Folder(), expected);
        ASSERT_EQ(box.shown.size(), *c.title ? 1u : 0u);
        EXPECT_EQ(*c.title ? box.shown[0].title : "", c.title);
    }
    // With every backup name taken none is replaced, so nothing is restored.
    TempDir dir;
    WriteFile(dir / "a.bmp", Content('C'));
    fs::create_directory(dir / "Tintwell Backup");
    for (int n = 0; n <= kLastBackupNumber; ++n)
        WriteFile(BackupName(dir / "a.bmp", dir / "Tintwell Backup", n), Content('0'));
    RecordingMessageBox box;
    EXPECT_FALSE(RestoreFromBackup(dir / "a.bmp", false, box).restored);
    EXPECT_EQ(box.Titles(), "Backup Failed;");
    EXPECT_TRUE(ReadFile(dir / "a.bmp") == Content('C'));
    // With a name free, a copy of the backup that fails never replaces the file.
    fs::remove(BackupName(dir / "a.bmp", dir / "Tintwell Backup", 0));
    FailCall fault("copy_file_range", EIO, 2);
    EXPECT_FALSE(RestoreFromBackup(dir / "a.bmp", false, box).restored);
    EXPECT_EQ(box.Titles(), "Backup Failed;Save Failed;");
    EXPECT_NE(box.shown.back().text.find("Could not copy into"), std::string::npos)
        << box.shown.back().text;
    EXPECT_TRUE(ReadFile(dir / "a.bmp") == Content('C'));
}

// Started with its standard input closed (by cron, say), the program gets
// descriptor 0 for the first file it opens: it is used like any other and
// closed again.
TEST(ClosedStandardInput, AFileOnDescriptorZeroIsUsedAndClosedLikeAnyOther) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Bmp().Size(8, 4).ClrUsed(16).Build());
    RecordingMessageBox box;
    clsINI ini(box);
    MessageRequest problem;
    clsBitmap bmp, headers;
    std::string error;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const int reader = ::open((dir / "fifo").c_str(), O_RDONLY | O_NONBLOCK);
    AtomicFile fifo(dir / "fifo");
    const int saved = ::dup(0);
    ::close(0);
    const auto closed = [](bool done) { return done && ::fcntl(0, F_GETFD) == -1; };
    const std::vector<std::pair<std::string, bool>> steps = {
        {"load", closed(bmp.LoadFromFile(dir / "a.bmp"))},
        {"check", closed(!FindFileProblem((dir / "a.bmp").string(), problem))},
        {"export", closed(headers.LoadFromFile(dir / "a.bmp", BitmapParts::Layout) &&
                          WriteColorIndexRows(
                              headers, [](auto&) { return true; }, error))},
        {"recolor", closed(RecolorFile(dir / "a.bmp", true, {}, false, Inverted(), box))},
        {"restore", closed(RestoreFromBackup(dir / "a.bmp", false, box).restored)},
        {"write", closed(AtomicFile::WriteWhole(dir / "w", "abc", 3, error))},
        {"settings", closed(ini.LoadINI((dir / "w").string()))},
        // errno as an earlier failed call left it: a call that works keeps it
        {"fifo", (errno = ENXIO, fifo.Open()) && fifo.Write("x", 1) && closed(fifo.Commit())}};
    ::close(reader);
    ::dup2(saved, 0);
    ::close(saved);
    for (const auto& [step, done] : steps)
        EXPECT_TRUE(done) << step << ": " << error << box.Titles();
}

}  // namespace
}  // namespace tintwell::test
