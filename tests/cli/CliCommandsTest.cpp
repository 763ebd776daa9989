#include <gtest/gtest.h>

#include "CliRunner.h"
#include "CliTestSupport.h"
#include "core/modIndexList.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using test::RunCli;

// Two stored maps, a third counted but missing, as a hand-edited file can be.
const char* const kIni =
    "[General]\r\nNumColorMaps=3\r\n\r\n"
    "[List 1]\r\n3=7\r\n200=0\r\nName=Night\r\n\r\n"
    "[List 2]\r\n5=5\r\n9=300\r\nName=Almost identity\r\n";

class CliMapsTest : public ::testing::Test {
  protected:
    void SetUp() override { test::WriteText(ini(), kIni); }
    std::string ini() const { return (dir / "Tintwell.ini").string(); }
    test::TempDir dir;
};

TEST_F(CliMapsTest, ListsEveryStoredMapWithHowManyEntriesChangeAColor) {
    const test::CliResult r = RunCli({"maps", "--settings", ini()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "Map  Changed  Name\n"
              "  1        2  Night\n"
              "  2        0  Almost identity\n"
              "  3        0  ERROR: No name found\n");
}

TEST_F(CliMapsTest, SaysSoWhenNoMapIsStored) {
    test::WriteText(dir / "empty.ini", "");
    const test::CliResult r = RunCli({"maps", "-s", (dir / "empty.ini").string()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("No color maps are stored"), std::string::npos);
}

TEST_F(CliMapsTest, ShowsTheEntriesOfAMapFoundByNameWithoutRegardToCase) {
    const test::CliResult r = RunCli({"show-map", "NIGHT", "--settings", ini()});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "Map 1 \"Night\": 2 of 256 entries change a color.\n"
              "  3 -> 7\n"
              "200 -> 0\n");
    const test::CliResult none = RunCli({"show-map", "Day", "--settings", ini()});
    EXPECT_EQ(none.exitCode, 2);
    EXPECT_NE(none.err.find("no color map named \"Day\""), std::string::npos);
}

TEST_F(CliMapsTest, ReadsTheSettingsFileBesideTheProgramByDefault) {
    // A copy of the program in a folder of its own, with a settings file beside it.
    fs::create_directories(dir / "app");
    fs::copy_file(TINTWELL_CLI_PATH, dir / "app" / "tintwell-cli");
    fs::copy_file(ini(), dir / "app" / "Tintwell.ini");
    const test::CliResult r = test::RunProgram((dir / "app" / "tintwell-cli").string(),
                                               {"show-map", "night"}, dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out.rfind("Map 1 \"Night\"", 0), 0u);
    const fs::path before = dir / "app" / "Tintwell.ini";
    EXPECT_EQ(BmpBuilder::ReadFile(before), BmpBuilder::ReadFile(ini()));  // never written
}

TEST(CliInfo, DescribesAnEightBitFileThatCanBeRecolored) {
    test::TempDir dir;
    BmpBuilder().Size(9, 4).TopDown().HeaderSize(124).ClrUsed(16).WriteTo(dir / "a.bmp");
    const test::CliResult r = RunCli({"info", "a.bmp"}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out,
              "File:          a.bmp\n"
              "File size:     250 bytes\n"
              "Header:        BITMAPV5HEADER, 124 bytes\n"
              "Compression:   none\n"
              "Size:          9 x 4 pixels\n"
              "Bit count:     8\n"
              "Row order:     top-down (top row stored first)\n"
              "Color table:   256 entries, 16 read from the file\n"
              "Pixel data:    48 bytes at offset 202, 12 bytes per row\n"
              "Can recolor:   yes\n");
}

TEST(CliInfo, SaysWhyAFileCannotBeRecolored) {
    test::TempDir dir;
    BmpBuilder().Size(3, 2).Bits(24).WriteTo(dir / "rgb.bmp");
    BmpBuilder().Size(8, 8).TruncateTo(1100).WriteTo(dir / "cut.bmp");
    BmpBuilder().Compression(3).WriteTo(dir / "rle.bmp");
    const test::CliResult r =
        RunCli({"info", "rgb.bmp", "cut.bmp", "rle.bmp", "gone.bmp"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.out.find("Bit count:     24\n"), std::string::npos);
    EXPECT_NE(r.out.find("Color table:   none (colors are stored in the pixels)\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Can recolor:   no: \"rgb.bmp\" is not a 256 color BMP\n"),
              std::string::npos);
    EXPECT_NE(r.out.find("Can recolor:   no: \"cut.bmp\" is cut short"), std::string::npos);
    EXPECT_NE(r.out.find("Load error:    Unsupported compression type: 0x3\n"), std::string::npos);
    EXPECT_NE(r.out.find("Can recolor:   no: \"rle.bmp\" is a 256 color BMP, but its compression"),
              std::string::npos);
    EXPECT_EQ(r.err, "\"gone.bmp\" not found.\n");
}

std::string FileText(const fs::path& path) {
    const std::vector<std::uint8_t> bytes = BmpBuilder::ReadFile(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(CliExportIndices, WritesTheTableOfTheFileAsTheWindowDoes) {
    test::TempDir dir;
    // Top row 0, 12, 255; second row 7, 7, 100; stored bottom-up with padding.
    const int rows[2][3] = {{0, 12, 255}, {7, 7, 100}};
    BmpBuilder().Size(3, 2).Pixels([&](int x, int y) { return rows[y][x]; }).WriteTo(dir / "a.bmp");
    const std::string expected = "  0, 12,255,\r\n  7,  7,100,\r\n";

    const test::CliResult toStdout = RunCli({"export-indices", "a.bmp"}, dir.path());
    EXPECT_EQ(toStdout.exitCode, 0);
    EXPECT_EQ(toStdout.out, expected);
    EXPECT_EQ(toStdout.err, "");

    test::WriteText(dir / "a.txt", "an older, longer list that is replaced whole\r\n");
    const test::CliResult toFile = RunCli({"export-indices", "a.bmp", "-o", "a.txt"}, dir.path());
    EXPECT_EQ(toFile.exitCode, 0);
    EXPECT_EQ(toFile.out, "");
    EXPECT_EQ(FileText(dir / "a.txt"), expected);
}

TEST(CliExportIndices, GivesTheSameBytesAsTheLibraryForALargerImage) {
    test::TempDir dir;
    BmpBuilder()
        .Size(301, 17)
        .TopDown()
        .HeaderSize(108)
        .Pixels([](int x, int y) { return (x * 13 + y * 101) % 256; })
        .WriteTo(dir / "big.bmp");
    clsBitmap bitmap;
    ASSERT_TRUE(bitmap.LoadFromFile(dir / "big.bmp"));
    std::string error;
    ASSERT_EQ(WriteColorIndexList(bitmap, dir / "library.txt", error), IndexListResult::Written);
    EXPECT_EQ(RunCli({"export-indices", "--output=cli.txt", "big.bmp"}, dir.path()).exitCode, 0);
    EXPECT_EQ(FileText(dir / "cli.txt"), FileText(dir / "library.txt"));
    EXPECT_EQ(RunCli({"export-indices", "big.bmp"}, dir.path()).out, FileText(dir / "library.txt"));
}

TEST(CliExportIndices, WritesNothingForAnImageItCannotList) {
    test::TempDir dir;
    BmpBuilder().Bits(24).WriteTo(dir / "rgb.bmp");
    BmpBuilder().Size(8, 8).TruncateTo(1100).WriteTo(dir / "cut.bmp");
    test::WriteText(dir / "keep.txt", "kept");
    struct Case {
        const char* image;
        const char* line;
    } cases[] = {
        {"rgb.bmp", "\"rgb.bmp\" is not a 256 color BMP; no color index list was written."},
        {"cut.bmp",
         "\"cut.bmp\" is cut short: its pixel data does not cover the whole image; "
         "no color index list was written."},
        {"gone.bmp", "\"gone.bmp\" not found."},
    };
    for (const Case& c : cases) {
        const test::CliResult r = RunCli({"export-indices", c.image, "-o", "keep.txt"}, dir.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, std::string(c.line) + "\n");
        EXPECT_EQ(FileText(dir / "keep.txt"), "kept");
        EXPECT_EQ(RunCli({"export-indices", c.image}, dir.path()).out, "");
    }
}

TEST(CliExportIndices, ReportsAListThatCannotBeWrittenAndNamesIt) {
    test::TempDir dir;
    BmpBuilder().WriteTo(dir / "a.bmp");
    const test::CliResult r =
        RunCli({"export-indices", "a.bmp", "-o", "no-such-folder/a.txt"}, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("The color index list could not be saved. ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("no-such-folder/a.txt"), std::string::npos) << r.err;
    EXPECT_EQ(r.ErrLines().size(), 1u);
}

}  // namespace
}  // namespace tintwell
