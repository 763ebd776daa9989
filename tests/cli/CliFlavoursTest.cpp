// The command line on the BMP flavours and on big files: info names the header
// kind and the compression. Memory is bounded by the image, not by what a
// header claims: under an address-space limit far below the file's size,
// info, export-indices and a backed-up recolour of a sparse file claiming
// 2 GiB succeed and keep its holes; an image too large for the limit is
// refused with a message, never an abort.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "CliRunner.h"
#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;

// Runs tintwell-cli in `cwd` in a child limited to 256 MiB of address space;
// its exit status, or -1 when a signal ended it (an abort).
int RunLimited(std::vector<std::string> args, const fs::path& cwd) {
    args.insert(args.begin(), {"-c", "ulimit -v 262144 && exec \"$0\" \"$@\"", TINTWELL_CLI_PATH});
    return test::RunProgram("/bin/sh", args, cwd).exitCode;
}

std::int64_t Allocated(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? std::int64_t{st.st_blocks} * 512 : -1;
}

TEST(CliMemory, ASparseFileClaimingTwoGibibytesTakesLittleMemoryAndKeepsItsHoles) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
    test::TempDir dir;
    const fs::path big = dir / "big.bmp", deep = dir / "deep.bmp";
    BmpBuilder().Size(64, 64).BfSize(0x7FFFFFFF).WriteTo(big);
    BmpBuilder().Size(64, 64).Bits(24).BfSize(0x7FFFFFFF).WriteTo(deep);  // refused
    for (const fs::path& p : {big, deep})
        fs::resize_file(p, std::uintmax_t{1} << 31);
    ASSERT_LT(Allocated(big), 1 << 20);

    EXPECT_EQ(RunLimited({"info", "big.bmp"}, dir.path()), 0);
    EXPECT_EQ(RunLimited({"export-indices", "big.bmp", "-o", "big.txt"}, dir.path()), 0);
    EXPECT_EQ(fs::file_size(dir / "big.txt"), 64u * (64 * 4 + 2));
    EXPECT_EQ(RunLimited({"recolor", "--pairs", "61:7", "--backup", "big.bmp"}, dir.path()), 0);
    EXPECT_EQ(RunLimited({"recolor", "--pairs", "61:7", "--backup", "deep.bmp"}, dir.path()), 1);
    for (const fs::path& p :
         {big, deep, dir / "Tintwell Backup" / "big.bmp", dir / "Tintwell Backup" / "deep.bmp"}) {
        EXPECT_EQ(fs::file_size(p), std::uintmax_t{1} << 31) << p;
        EXPECT_LT(Allocated(p), 1 << 20) << p;
    }
    clsBitmap after;
    ASSERT_TRUE(after.LoadFromFile(big));
    EXPECT_EQ(after.GetPixelAt(5, 9), 7);

    // A 16384 x 16384 image in a 4-byte RLE8 stream: recolouring streams it;
    // holding the image for its list does not fit, which is said, not aborted.
    BmpBuilder().Size(16384, 16384).Rle({255, 1, 0, 1}).WriteTo(dir / "huge.bmp");
    EXPECT_EQ(RunLimited({"recolor", "--pairs", "1:2", "huge.bmp"}, dir.path()), 0);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "huge.bmp")[1078 + 1], 2);
    EXPECT_EQ(RunLimited({"export-indices", "huge.bmp", "-o", "huge.txt"}, dir.path()), 1);
    EXPECT_FALSE(fs::exists(dir / "huge.txt"));
}

TEST(CliInfo, NamesTheFlavourOfEachFile) {
    const std::vector<std::uint8_t> rle = {2, 5, 0, 1};
    const struct {
        BmpBuilder builder;
        std::vector<std::string> lines;
    } cases[] = {
        {BmpBuilder().HeaderSize(12),
         {"Header:        OS/2 1.x BITMAPCOREHEADER, 12 bytes", "Compression:   none",
          "Pixel data:    24 bytes at offset 794, 8 bytes per row", "Can recolor:   yes"}},
        {BmpBuilder().HeaderSize(64).Size(2, 1).Rle(rle),
         {"Header:        OS/2 2.x BITMAPINFOHEADER2, 64 bytes", "Compression:   RLE8",
          "Pixel data:    RLE8 stream of 4 bytes at offset 1102", "Can recolor:   yes"}},
        {BmpBuilder().HeaderSize(108).Bits(4).Size(2, 1).Rle(rle),
         {"Header:        BITMAPV4HEADER, 108 bytes", "Compression:   RLE4",
          "Can recolor:   no: \"a.bmp\" is not a 256 color BMP"}},
        {BmpBuilder().Size(1, 1).Rle(rle),
         {"Pixel data:    RLE8 stream of 0 bytes at offset 1078, damaged: a run of pixels goes "
          "past the end of its row",
          "Can recolor:   no: \"a.bmp\" has damaged compressed pixel data"}},
        {BmpBuilder().Compression(4), {"Compression:   JPEG, 0x4"}},
    };
    for (const auto& c : cases) {
        test::TempDir dir;
        c.builder.WriteTo(dir / "a.bmp");
        const test::CliResult r = test::RunCli({"info", "a.bmp"}, dir.path());
        for (const std::string& line : c.lines)
            EXPECT_NE(r.out.find(line), std::string::npos) << line << "\n" << r.out;
    }
}

}  // namespace
}  // namespace tintwell
