// The BMP file format in every layout and flavour, RLE streams, saving, and
// the atomic replacement of files under everything the program writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>

#include <cstring>
#include <numeric>
#include <stdexcept>

#include "bitmap/AtomicFile.h"
#include "bitmap/Rle8Encoder.h"
#include "bitmap/TemporaryFiles.h"
#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"
#include "support/FailingCalls.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

std::int32_t At32(const std::string& b, std::size_t at) {
    std::int32_t v;
    std::memcpy(&v, b.data() + at, 4);
    return v;
}

struct Layout {
    int bits;
    bool topDown;
    int width, header, clrUsed, held;
};

class EveryLayout : public ::testing::TestWithParam<Layout> {};

// Loaded from bytes and files alike and saved as read; a copy gets a fresh
// 40-byte header at 96 dpi, a full colour table and the same pixel bytes.
TEST_P(EveryLayout, LoadsHeaderPalettePixelsAndRowsAndSavesThemAsReadOrAsAFreshCopy) {
    const Layout l = GetParam();
    const Bmp b = Bmp()
                      .Bits(l.bits)
                      .TopDown(l.topDown)
                      .Size(l.width, 4)
                      .HeaderSize(l.header)
                      .ClrUsed(l.clrUsed, l.held)
                      .Set32(6, 0x04030201);  // the two reserved fields
    const std::string bytes = b.Build();
    clsBitmap bmp, fromFile;
    ASSERT_TRUE(Load(bmp, bytes)) << bmp.LastError();
    TempDir dir;
    WriteFile(dir / "a.bmp", bytes);
    ASSERT_TRUE(fromFile.LoadFromFile(dir / "a.bmp"));
    EXPECT_EQ(PixelBytes(fromFile), PixelBytes(bmp));
    EXPECT_EQ(fromFile.ColorTable(), bmp.ColorTable());
    EXPECT_FALSE(bmp.HasError());
    EXPECT_EQ(bmp.InfoHeader().biSize, l.header);
    EXPECT_EQ(bmp.FileHeader().bfReserved1, 0x0201);
    EXPECT_EQ(bmp.FileHeader().bfReserved2, 0x0403);
    EXPECT_EQ(bmp.InfoHeader().biSizeImage, b.Stride() * 4);
    EXPECT_EQ(bmp.RowStride(), b.Stride());
    EXPECT_TRUE(bmp.PixelsCoverImage());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < l.width; ++x)
            ASSERT_EQ(static_cast<std::uint32_t>(bmp.GetPixelAt(x, y)), b.Pixel(x, y))
                << x << "," << y;
        const std::size_t start = bytes.size() - (l.topDown ? 4 - y : y + 1) * b.Stride();
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(bmp.RowData(y)), bmp.RowDataBytes()),
                  bytes.substr(start, bmp.RowDataBytes()));
    }
    EXPECT_EQ(bmp.RowData(4), nullptr);
    EXPECT_EQ(bmp.RowData(-1), nullptr);
    const int full = l.bits <= 8 ? 1 << l.bits : 0;
    const int read = std::min(full, l.held >= 0 ? l.held : l.clrUsed ? l.clrUsed : full);
    EXPECT_EQ(bmp.ColorTableEntryCount(), full);
    EXPECT_EQ(bmp.ActualColorTableEntryCount(), read);
    for (int i = 0; i < full; ++i)  // entries the file does not hold stay black
        ASSERT_EQ(bmp.ColorTableEntry(i), i < read ? Bmp::PaletteColor(i) : 0u) << i;
    EXPECT_THROW(bmp.ColorTableEntry(full), std::out_of_range);
    ASSERT_TRUE(bmp.SaveAsFile(dir / "b.bmp")) << bmp.LastError();
    EXPECT_EQ(ReadFile(dir / "b.bmp"), bytes);
    ASSERT_TRUE(bmp.CreateCopy()->SaveAsFile(dir / "b.bmp"));
    const std::string out = ReadFile(dir / "b.bmp");
    const std::int64_t start = 54 + 4 * full, pixels = b.Stride() * 4;
    const std::int64_t fields[] = {
        start + pixels, 0,    start, 40, l.width, At32(bytes, 22), 1 | l.bits << 16, 0, 0,
        3780,           3780, full,  0};
    EXPECT_EQ(out.substr(0, 2), "BM");
    for (int f = 0; f < 13; ++f)
        EXPECT_EQ(At32(out, 2 + 4 * f), fields[f]) << "field " << f;
    ASSERT_EQ(out.size(), start + pixels);
    EXPECT_EQ(out.substr(start), bytes.substr(bytes.size() - pixels));
    for (int i = 0; i < full; ++i)  // the file's entries, then black, each with 255 last
        ASSERT_EQ(std::uint32_t(At32(out, 54 + 4 * i)),
                  std::uint32_t(i < read ? At32(bytes, 14 + l.header + 4 * i) : 0) | 0xFF000000u)
            << i;
    if (full == 0) return;
    // A changed entry is written in place, blue first as the file keeps it.
    bmp.SetColorTableEntry(0, 0x123456);
    ASSERT_TRUE(bmp.SaveAsFile(dir / "c.bmp")) << bmp.LastError();
    std::string changed = bytes;
    changed.replace(static_cast<std::size_t>(14 + l.header), 3, "\x12\x34\x56");  // 0x00BBGGRR
    EXPECT_EQ(ReadFile(dir / "c.bmp"), changed);
}

INSTANTIATE_TEST_SUITE_P(
    BitsRowOrderWidthsHeadersAndPalettes, EveryLayout,
    ::testing::Values(Layout{1, false, 13, 40, 0, -1}, Layout{1, true, 33, 40, 0, -1},
                      Layout{4, false, 5, 40, 0, -1}, Layout{4, true, 7, 52, 0, -1},
                      Layout{8, false, 5, 40, 0, -1}, Layout{8, true, 4, 56, 0, -1},
                      Layout{8, false, 1, 64, 0, -1}, Layout{8, false, 8, 108, 16, -1},
                      Layout{8, true, 3, 124, 300, 256}, Layout{24, false, 5, 40, 0, -1},
                      Layout{24, true, 1, 40, 0, -1}, Layout{32, false, 3, 108, 0, -1},
                      Layout{32, true, 2, 40, 0, -1}, Layout{4, false, 3, 40, 3, -1},
                      Layout{24, false, 3, 108, 0, -1}));

// A refusal's text stays, also through a later load, until it is cleared.
TEST(clsBitmapLoad, FilesThatAreNoRegularFileAreRefusedWithoutWaitingAndTheTextStays) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.bmp").c_str(), 0600), 0);
    for (const auto& [name, text] : {std::pair{"pipe.bmp", "not a regular file"},
                                     {"none.bmp", "none.bmp"},
                                     {"", "Is a directory"}}) {
        clsBitmap bmp;
        EXPECT_FALSE(bmp.LoadFromFile(dir / name));
        EXPECT_NE(bmp.LastError().find(text), std::string::npos) << bmp.LastError();
        EXPECT_TRUE(Load(bmp, Bmp().Build()) && bmp.HasError());
        bmp.ClearError();
        EXPECT_FALSE(bmp.HasError());
    }
}

// A row of `bits` bits per pixel whose bytes are given.
clsBitmap OneRow(int bits, int width, const std::string& row) {
    clsBitmap bmp;
    EXPECT_TRUE(bmp.CreateNew(width, 1, static_cast<std::int16_t>(bits)));
    std::copy(row.begin(), row.end(), bmp.MutablePixels().begin());
    return bmp;
}

// Sub-byte pixels run from the top bit and a set is masked to the bits; true
// colour is stored blue, green, red, with an opaque fourth byte at 32 bits.
TEST(clsBitmapPixels, AreReadAndWrittenInTheLayoutOfTheirDepth) {
    clsBitmap one = OneRow(1, 16, "\x81\x80"), four = OneRow(4, 4, "\xAB\xCD");
    std::string seen;
    for (int x = 0; x < 10; ++x)
        seen += std::to_string(one.GetPixelAt(x, 0));
    EXPECT_EQ(seen + std::to_string(four.GetPixelAt(1, 0)), "100000011011");
    one.SetPixelAt(9, 0, 3);
    one.SetPixelAt(0, 0, 0);
    four.SetPixelAt(1, 0, 0x1F);
    four.SetPixelAt(2, 0, 0x3);
    clsBitmap rgb = OneRow(24, 2, ""), rgba = OneRow(32, 2, "");
    rgb.SetPixelAt(1, 0, 0x00112233);
    rgba.SetPixelAt(1, 0, 0x00112233);
    EXPECT_EQ(PixelBytes(one).substr(0, 2) + PixelBytes(four).substr(0, 2) +
                  PixelBytes(rgb).substr(3, 3) + PixelBytes(rgba).substr(4, 4),
              "\x01\xC0\xAF\x3D\x11\x22\x33\x11\x22\x33\xFF");
    EXPECT_EQ(rgba.GetPixelAt(1, 0), 0x00112233);
}

TEST(clsBitmapPixels, AccessOutsideTheHeldBytesThrowsAndLeavesThemAlone) {
    clsBitmap bmp, rgb, one, empty;
    ASSERT_TRUE(Load(bmp, Bmp().Build()));
    ASSERT_TRUE(Load(rgb, Bmp().Bits(24).Size(1, 1).Build()));
    one = OneRow(1, 8, "\xFF");
    const std::string before = PixelBytes(bmp);
    const std::function<void()> outOfRange[] = {
        [&] { bmp.GetPixelAt(0, 3); },           [&] { bmp.GetPixelAt(0, -1); },
        [&] { bmp.SetPixelAt(8, 0, 1); },        [&] { one.GetPixelAt(-1, 0); },
        [&] { rgb.GetPixelAt(1, 0); },           [&] { empty.GetPixelAt(0, 0); },
        [&] { bmp.SetColorTableEntry(256, 0); }, [&] { bmp.ColorTableEntry(-1); }};
    for (const auto& f : outOfRange)
        EXPECT_THROW(f(), std::out_of_range);
    EXPECT_THROW(bmp.SetPixelAt(1, 1, 256), std::overflow_error);
    EXPECT_THROW(bmp.SetPixelAt(1, 1, -1), std::overflow_error);
    EXPECT_EQ(PixelBytes(bmp), before);
}

TEST(clsBitmapCreate, NewImagesAreBlackInTheirDepthAndRowOrder) {
    clsBitmap bmp, down, none;
    ASSERT_TRUE(bmp.CreateNew(10, 10, 8));
    EXPECT_EQ(PixelBytes(bmp), std::string(120, '\0'));
    EXPECT_EQ(bmp.ColorTable(), std::vector<ColorValue>(256, 0));
    EXPECT_EQ(bmp.FileHeader().bfSize, 1078 + 120);
    ASSERT_TRUE(down.CreateNew(3, -2, 24));
    EXPECT_TRUE(down.IsTopDown());
    EXPECT_EQ(down.Pixels().size(), 24u);
    ASSERT_TRUE(none.CreateNew(0, 0, 8));
    EXPECT_EQ(none.Pixels().size(), 1u);
    EXPECT_FALSE(none.CreateNew(10, 10, 16));
    EXPECT_EQ(none.LastError(), "Unsupported bit count: 16");
    EXPECT_EQ(none.CreateCopy(), nullptr);
}

// Up to 1 MiB of bytes around the pixels are held; of more, a save reads them
// from the file last loaded or saved, and refuses when that file has changed.
TEST(clsBitmapSave, KeepsBytesItDoesNotHoldAndRefusesWhenTheirFileChanged) {
    TempDir dir;
    for (const std::size_t extra : {std::size_t{1} << 20, (std::size_t{1} << 20) + 1}) {
        const std::string many = Bmp().Size(4, 2).Gap("gap").Trailing("123").Build() + "99" +
                                 std::string(extra - 8, 'b');  // beyond the declared size
        clsBitmap big;
        WriteFile(dir / "big.bmp", many);
        ASSERT_TRUE(big.LoadFromFile(dir / "big.bmp"));
        for (int i = 0; i < 2; ++i)
            ASSERT_TRUE(big.SaveAsFile(dir / "big.bmp")) << big.LastError();
        EXPECT_EQ(ReadFile(dir / "big.bmp"), many);
        WriteFile(dir / "big.bmp", "changed");
        EXPECT_EQ(big.SaveAsFile(dir / "c.bmp"), extra == 1 << 20) << extra;
        EXPECT_EQ(big.LastError().find("changed since it was loaded") != std::string::npos,
                  extra > 1 << 20);
    }
}

// RLE8 and RLE4 streams: every escape, and every damage, which stops the
// decoding where it is found; a damaged stream, and any RLE4 one, is never saved.
struct Stream {
    const char* name;
    int bits, width, height;
    std::vector<int> stream, pixels;  // pixels in stream order: the bottom row first
    const char* damage;               // a part of the text, "" for a whole stream
    int length;                       // bytes read up to the end mark or the damage
};
const char *kLast = "past the last row", *kDelta = "delta",
           *kNoEnd = "without its end-of-bitmap mark", *kCut = "cut short";
// clang-format off
const Stream kStreams[] = {
    {"RunsAndEndOfLine", 8, 4, 2, {3, 5, 1, 6, 0, 0, 2, 7, 0, 1, 0xAA}, {5, 5, 5, 6, 7, 7, 0, 0}, "", 10},
    {"AbsoluteRunsArePaddedToAWord", 8, 4, 2, {0, 3, 1, 2, 3, 0xEE, 1, 9, 0, 0, 0, 4, 4, 3, 2, 1, 0, 1},
     {1, 2, 3, 9, 4, 3, 2, 1}, "", 18},
    {"DeltaLeavesSkippedPixelsAtZero", 8, 4, 2, {1, 5, 0, 2, 1, 1, 1, 6, 0, 1}, {5, 0, 0, 0, 0, 0, 6, 0}, "", 10},
    {"EarlyEndLeavesTheRestAtZero", 8, 4, 2, {2, 8, 0, 1}, {8, 8, 0, 0, 0, 0, 0, 0}, "", 4},
    {"EndOfLineOnTheLastRow", 8, 2, 2, {2, 1, 0, 0, 2, 2, 0, 0, 0, 1}, {1, 1, 2, 2}, "", 10},
    // Regressions: runs over the row's padding, as ImageMagick writes them, were damage.
    {"RunPastTheRowEndIsCut", 8, 4, 2, {5, 3, 0, 1}, {3, 3, 3, 3, 0, 0, 0, 0}, "", 4},
    {"AbsoluteRunPastTheRowEndIsCut", 8, 4, 1, {0, 5, 1, 2, 3, 4, 5, 0, 0, 1}, {1, 2, 3, 4}, "", 10},
    {"PaddingRunAtTheRowEnd", 8, 5, 2, {5, 1, 3, 0, 0, 0, 5, 2, 3, 0, 0, 1}, {1, 1, 1, 1, 1, 2, 2, 2, 2, 2}, "", 12},
    {"RunPastTheLastRow", 8, 2, 1, {2, 4, 0, 0, 1, 1, 0, 1}, {4, 4}, kLast, 4},
    {"DeltaPastTheRowEnd", 8, 4, 2, {0, 2, 5, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0}, kDelta, 0},
    {"DeltaPastTheLastRow", 8, 4, 2, {1, 9, 0, 2, 0, 2, 0, 1}, {9, 0, 0, 0, 0, 0, 0, 0}, kDelta, 2},
    {"MissingEndOfBitmap", 8, 2, 2, {2, 1, 0, 0, 2, 2}, {1, 1, 2, 2}, kNoEnd, 6},
    {"CutInsideARun", 8, 2, 1, {2, 1, 0}, {1, 1}, kCut, 2},
    {"CutInsideAnAbsoluteRun", 8, 4, 1, {0, 4, 1, 2, 3}, {0, 0, 0, 0}, kCut, 0},
    {"Rle4RunsAlternateTheNibbles", 4, 5, 2, {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 2, 0x67, 0, 1},
     {1, 2, 1, 2, 1, 3, 4, 5, 6, 7}, "", 12},
    {"Rle4AbsoluteRunIsPaddedToAWord", 4, 5, 1, {0, 5, 0x12, 0x34, 0x50, 0xEE, 0, 1}, {1, 2, 3, 4, 5}, "", 8},
    {"Rle4RunPastTheRowEndIsCut", 4, 3, 1, {4, 0x12, 0, 1}, {1, 2, 1}, "", 4},
    {"Rle4RunStopsAtItsLength", 4, 4, 1, {3, 0x12, 0, 1}, {1, 2, 1, 0}, "", 4},
};
// clang-format on

class RleDecode : public ::testing::TestWithParam<Stream> {};

TEST_P(RleDecode, GivesThePixelsAndTheDamageAlsoWhenReadThroughWithoutHoldingThem) {
    const Stream& s = GetParam();
    const std::string file =
        Bmp().Size(s.width, s.height).Bits(s.bits).Rle({s.stream.begin(), s.stream.end()}).Build();
    TempDir dir;
    WriteFile(dir / "a.bmp", file);
    clsBitmap bmp, layout;
    ASSERT_TRUE(Load(bmp, file)) << bmp.LastError();
    ASSERT_TRUE(layout.LoadFromFile(dir / "a.bmp", BitmapParts::Layout));
    for (int i = 0; i < s.width * s.height; ++i)
        EXPECT_EQ(bmp.GetPixelAt(i % s.width, s.height - 1 - i / s.width), s.pixels[i]) << i;
    EXPECT_NE(bmp.StreamDamage().find(s.damage), std::string::npos) << bmp.StreamDamage();
    EXPECT_EQ(bmp.StreamDamage().empty(), *s.damage == 0);
    EXPECT_EQ(bmp.PixelDataBytes(), s.length);
    EXPECT_TRUE(layout.Pixels().empty());
    EXPECT_EQ(layout.StreamDamage() + std::to_string(layout.PixelDataBytes()),
              bmp.StreamDamage() + std::to_string(bmp.PixelDataBytes()));
    ASSERT_EQ(bmp.SaveAsFile(dir / "b.bmp"), s.bits == 8 && !*s.damage) << bmp.LastError();
    clsBitmap saved;  // a stream written anew reads back as the pixels held
    if (!fs::exists(dir / "b.bmp")) return;
    ASSERT_TRUE(saved.LoadFromFile(dir / "b.bmp")) << saved.LastError();
    EXPECT_EQ(saved.StreamDamage(), "");
    EXPECT_TRUE(std::ranges::equal(saved.Pixels(), bmp.Pixels()));
}

INSTANTIATE_TEST_SUITE_P(Streams, RleDecode, ::testing::ValuesIn(kStreams),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs of two pixels or more, absolute runs of three or more (padded to a word)
// up to three equal pixels, single pixels between; 255 pixels at most in each.
TEST(Rle8Encoder, WritesEachRowInTheFewestOperations) {
    using Bytes8 = std::vector<std::uint8_t>;
    Bytes8 counting(256), run(300, 9), countingOut{0, 255};
    std::iota(counting.begin(), counting.end(), 0);
    countingOut.insert(countingOut.end(), counting.begin(), counting.end() - 1);
    countingOut.insert(countingOut.end(), {0, 1, 255, 0, 1});
    const std::pair<Bytes8, Bytes8> rows[] = {
        {{1, 2, 1, 2, 1}, {0, 5, 1, 2, 1, 2, 1, 0, 0, 1}},
        {{7, 7, 7, 7, 3, 4, 5, 6, 6, 6}, {4, 7, 0, 3, 3, 4, 5, 0, 3, 6, 0, 1}},
        {{7, 7, 3, 9}, {2, 7, 1, 3, 1, 9, 0, 1}},
        {counting, countingOut},
        {run, {255, 9, 45, 9, 0, 1}}};
    for (const auto& [row, bytes] : rows) {
        Bytes8 out;
        Rle8Encoder::EncodeRow(row.data(), std::int64_t(row.size()), true, out);
        EXPECT_EQ(out, bytes);
    }
}

bool Replace(const fs::path& target, const std::string& bytes, bool follow = true) {
    AtomicFile f(target, follow);
    return f.Open() && f.Write(bytes.data(), bytes.size()) && f.Commit();
}

TEST(AtomicFile, ReplacesWhollyKeepingPermissionsOwnerAndLinks) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(AtomicFile::WriteWhole(dir / "new", "abc", 3, error)) << error;
    EXPECT_EQ(ReadFile(dir / "new"), "abc");
    WriteFile(dir / "f", std::string(5000, 'x'));
    ASSERT_EQ(::chmod((dir / "f").c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;  // only root can hand a file to another owner or group
    for (const auto& [uid, gid] : {std::pair{1234u, ::getegid()}, {::geteuid(), 4321u}}) {
        ASSERT_EQ(root ? ::chown((dir / "f").c_str(), uid, gid) : 0, 0);
        ASSERT_TRUE(Replace(dir / "f", "de"));
        struct stat st {};
        ASSERT_EQ(::stat((dir / "f").c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
        EXPECT_EQ(std::pair(st.st_uid, st.st_gid),
                  root ? std::pair(uid, gid) : std::pair(::geteuid(), ::getegid()));
    }
    EXPECT_EQ(ReadFile(dir / "f"), "de");

    fs::create_directory(dir / "sub");
    WriteFile(dir / "sub" / "real", "1");
    fs::create_symlink("sub/real", dir / "link");
    fs::create_symlink("sub/real", dir / "own");
    ASSERT_TRUE(Replace(dir / "link", "77"));
    ASSERT_TRUE(Replace(dir / "own", "own", false));  // the link itself is replaced
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_FALSE(fs::is_symlink(dir / "own"));
    EXPECT_EQ(ReadFile(dir / "sub" / "real"), "77");
    fs::create_symlink("loop", dir / "loop");  // a loop of links is never replaced
    EXPECT_FALSE(Replace(dir / "loop", "x"));
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"f", "link", "loop", "new", "own", "sub", "sub/real"}));
}

TEST(AtomicFile, EveryFailureLeavesTheOriginalAndNoTemporary) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    AtomicFile overFolder(dir / "target");
    ASSERT_TRUE(overFolder.Open() && overFolder.Write("abc", 3));
    fs::create_directories(dir / "target" / "keep");  // a folder no rename can replace
    EXPECT_FALSE(overFolder.Commit());
    EXPECT_FALSE(overFolder.Error().empty());
    std::string error;
    EXPECT_FALSE(AtomicFile::WriteWhole(dir / "f" / "x", "a", 1, error));
    EXPECT_NE(error.find("x"), std::string::npos);
    WriteFile(dir / "ro", "kept");
    GiveToNobody(dir.path());
    GiveToNobody(dir / "ro");
    ::chmod((dir / "ro").c_str(), 0444);
    EXPECT_EQ(AsUnprivilegedUser(
                  [&](std::string& r) { r = Replace(dir / "ro", "new") ? "replaced" : "kept"; }),
              "kept");
    EXPECT_EQ(ReadFile(dir / "f"), "old");
    EXPECT_EQ(ReadFile(dir / "ro"), "kept");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"f", "ro", "target", "target/keep"}));
    // A socket's name must fit its address with the closing NUL: 108 bytes do not.
    const std::string socket = (dir / std::string(107 - dir.path().native().size(), 's')).native();
    sockaddr_un address{AF_UNIX, {}};
    socket.copy(address.sun_path, sizeof address.sun_path);
    const int listening = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_EQ(::bind(listening, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::listen(listening, 1);
    EXPECT_FALSE(Replace(socket, "x"));
    ::close(listening);
}

// Faults only the kernel causes: an interrupted call is made again, a missing
// one is done another way (a copy between file systems by hand), any other
// failure is reported and leaves the original whole, with no temporary behind.
// The call, its error, how many calls fail in turn, a part of the error
// (nullptr: the file is replaced; "": the replacement is refused).
// clang-format off
const std::tuple<const char*, int, int, const char*> kKernelFaults[] = {
    {"write", EINTR, 1, nullptr}, {"pwrite", EINTR, 1, nullptr},
    {"copy_file_range", EINTR, 1, nullptr}, {"copy_file_range", ENOSYS, 1, nullptr},
    {"copy_file_range", EXDEV, 1, nullptr}, {"renameat2", EINVAL, 1, nullptr},
    {"copy_file_range", EIO, 1, "Could not copy into"}, {"ftruncate", EIO, 1, "Could not write"},
    {"fsync", EIO, 1, "Could not flush"}, {"renameat2", ENOENT, 1, ""},
    {"write", EFBIG, 1, "No space left on device (the file size limit was reached)"},
    {"open", EEXIST, 1000, "Could not create a temporary file"}};
// clang-format on

TEST(AtomicFile, KernelFaultsAreRetriedWorkedAroundOrReportedLeavingTheOriginal) {
    std::string big(300000, '\0');  // copied by hand in several pieces
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + 7);
    for (const auto& [call, error, times, text] : kKernelFaults) {
        SCOPED_TRACE(std::string(call) + ": " + std::strerror(error));
        TempDir dir;
        WriteFile(dir / "f", "old");
        WriteFile(dir / "src", big);
        const int src = ::open((dir / "src").c_str(), O_RDONLY);
        ::lseek(src, 1234, SEEK_SET);  // copied from its start all the same
        AtomicFile out(dir / "f"), shorter(dir / "f");
        bool ok = false;
        int calls = 0;
        {
            FailCall fault(call, error, 1, times);
            ok = out.Open() && out.Write("zz", 2) && out.Restart() && out.Write("new ", 4) &&
                 out.CopyFrom(src, big.size()) && out.WriteAt(0, "N", 1) &&
                 out.Commit([](const struct stat*) { return true; });
            calls = fault.calls;
        }
        EXPECT_FALSE(shorter.Open() && shorter.CopyFrom(src, big.size() + 1) && shorter.Commit());
        ::close(src);
        EXPECT_EQ(ok, text == nullptr) << out.Error();
        EXPECT_EQ(out.Refused(), text && !*text);
        EXPECT_NE(out.Error().find(text ? text : ""), std::string::npos) << out.Error();
        EXPECT_TRUE(ReadFile(dir / "f") == (text ? "old" : "New " + big));
        EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"f", "src"}));
        EXPECT_EQ(calls,
                  error == EEXIST ? 102 : calls);  // the usual name twice, 100 private ones
    }
    // When another program's file takes the temporary's name before it is
    // locked, the next name is used and the target gets what was written.
    TempDir dir;
    WriteFile(dir / "theirs", "theirs");
    FailCall swap("flock", 0);
    swap.before = [&] { fs::rename(dir / "theirs", TemporaryFiles::UsualName(dir / "f")); };
    EXPECT_TRUE(Replace(dir / "f", "new"));
    EXPECT_EQ(ReadFile(dir / "f"), "new");
}

}  // namespace
}  // namespace tintwell::test
