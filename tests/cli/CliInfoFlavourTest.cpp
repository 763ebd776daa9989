// `info` names the header kind and the compression, and reads an RLE stream
// through for its length and damage.
#include <gtest/gtest.h>

#include "CliRunner.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

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
        {BmpBuilder().Compression(4),
         {"Compression:   JPEG, 0x4",
          "Can recolor:   no: \"a.bmp\" is a 256 color BMP, but its "
          "compression (JPEG, 0x4) is not supported."}},
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
