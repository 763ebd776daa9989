#include <gtest/gtest.h>

#include "CliRunner.h"
#include "CliTestSupport.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using test::RunCli;
using test::Snapshot;

// The map the tests give as "--pairs 1-10:200-209,50:0,200:3".
const char* const kPairs = "1-10:200-209,50:0,200:3";
ColorMap PairsMap() {
    ColorMap map;
    for (int i = 1; i <= 10; ++i)
        map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(199 + i));
    map.SetEntry(50, 0);
    map.SetEntry(200, 3);
    return map;
}

BmpBuilder Varied(int w, int h) {
    return BmpBuilder().Size(w, h).Pixels([](int x, int y) { return (x * 7 + y * 3 + 1) % 256; });
}

// A folder of files of every kind a batch meets, in two identical copies.
void FillBatch(const fs::path& dir) {
    fs::create_directories(dir);
    Varied(6, 4).WriteTo(dir / "tiles.bmp");
    Varied(7, 5).TopDown().WriteTo(dir / "top.bmp");
    Varied(9, 3).HeaderSize(108).ClrUsed(16).WriteTo(dir / "wide.BMP");
    Varied(3, 3).WriteTo(dir / "sky.night.bmp");
    Varied(4, 4).Bits(24).WriteTo(dir / "photo.bmp");
    Varied(8, 8).TruncateTo(1078 + 20).WriteTo(dir / "cut.bmp");
}

std::vector<std::string> SortedBmpNames(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        if (e.is_regular_file()) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end(), [](std::string a, std::string b) {
        std::transform(a.begin(), a.end(), a.begin(), ::tolower);
        std::transform(b.begin(), b.end(), b.begin(), ::tolower);
        return a < b;
    });
    return names;
}

struct SelectionCase {
    const char* name;
    std::vector<std::string> args;
    SelectionRect selection;
    bool outside;
};

class CliRecolorSameAsLibrary : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(CliRecolorSameAsLibrary, WritesTheSameBytesBackupsAndMessagesAsRecolorFile) {
    const SelectionCase& c = GetParam();
    test::TempDir dir;
    FillBatch(dir / "lib");
    FillBatch(dir / "cli");
    std::vector<std::string> expectedLines;
    test::CurrentFolder inLib(dir / "lib");
    for (int round = 0; round < 2; ++round) {
        test::RecordingMessageBox box;
        for (const std::string& name : SortedBmpNames(dir / "lib"))
            RecolorFile(fs::path(".") / name, true, c.selection, c.outside, PairsMap(), box);
        for (const MessageRequest& m : box.shown)
            expectedLines.push_back(m.text);
    }
    std::vector<std::string> lines;
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> args = {"recolor", "--pairs", kPairs, "--backup", "-j1", "."};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const test::CliResult r = RunCli(args, dir / "cli");
        EXPECT_EQ(r.exitCode, 1) << r.err;
        EXPECT_EQ(r.out, "Recolored 4 of 6 files. 2 refused.\n");
        for (const std::string& line : r.ErrLines())
            lines.push_back(line);
    }
    EXPECT_EQ(test::Differences(Snapshot(dir / "lib"), Snapshot(dir / "cli")),
              std::vector<std::string>{});
    EXPECT_EQ(lines, expectedLines);
    EXPECT_TRUE(fs::exists(dir / "cli" / "Tintwell Backup" / "tiles-001.bmp"));
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CliRecolorSameAsLibrary,
    ::testing::Values(
        SelectionCase{"WholeImage", {}, {}, false},
        SelectionCase{"OnePixelSelectionMeansWholeImage",
                      {"--select", "2,1,1,1", "--outside"},
                      {2, 1, 1, 1},
                      true},
        SelectionCase{"Inside", {"--select", "1,1,3,2"}, {1, 1, 3, 2}, false},
        SelectionCase{"Outside", {"--select", "1,1,3,2", "--outside"}, {1, 1, 3, 2}, true},
        SelectionCase{"ReachingBeyondTheImage", {"--select", "4,2,50,50"}, {4, 2, 50, 50}, false}),
    [](const auto& info) { return std::string(info.param.name); });

class CliRecolorTest : public ::testing::Test {
  protected:
    fs::path Good(const std::string& name) { return Varied(5, 3).WriteTo(dir / name); }
    std::vector<std::uint8_t> Bytes(const std::string& name) {
        return BmpBuilder::ReadFile(dir / name);
    }
    test::TempDir dir;
};

TEST_F(CliRecolorTest, RefusesA24BitAMissingAndADamagedFileAndRecolorsTheRest) {
    Good("good.bmp");
    Varied(4, 4).Bits(24).WriteTo(dir / "rgb.bmp");
    Varied(8, 8).TruncateTo(1078 + 20).WriteTo(dir / "cut.bmp");
    BmpBuilder::WriteFile(dir / "junk.bmp", {'n', 'o', 't', ' ', 'a', ' ', 'b', 'm', 'p'});
    const auto before = Snapshot(dir.path());
    const std::vector<std::string> order = {"rgb.bmp", "missing.bmp", "good.bmp", "cut.bmp",
                                            "junk.bmp"};
    // What the window shows for each refused file, in batch order.
    test::RecordingMessageBox box;
    test::CurrentFolder inDir(dir.path());
    for (const std::string& name : order)
        if (name != "good.bmp") RecolorFile(name, false, {}, false, PairsMap(), box);
    ASSERT_EQ(box.shown.size(), 4u);
    EXPECT_EQ(box.shown[0].title, "BMP is not 8-bit");
    EXPECT_EQ(box.shown[1].title, "Not Found");

    std::vector<std::string> args = {"recolor", "--no-backup", "--pairs", kPairs};
    args.insert(args.end(), order.begin(), order.end());
    const test::CliResult r = RunCli(args, dir.path());
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Recolored 1 of 5 files. 4 refused.\n");
    std::vector<std::string> expected;
    for (const MessageRequest& m : box.shown)
        expected.push_back(m.text);
    EXPECT_EQ(r.ErrLines(), expected);
    const auto after = Snapshot(dir.path());
    EXPECT_EQ(test::Differences(before, after), std::vector<std::string>{"good.bmp"});
    EXPECT_FALSE(fs::exists(dir / "Tintwell Backup"));
}

TEST_F(CliRecolorTest, ExitsZeroWithASummaryWhenEveryFileIsRecolored) {
    Good("a.bmp");
    Good("b.bmp");
    const test::CliResult r = RunCli({"recolor", "--pairs", kPairs, "a.bmp", "b.bmp"}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Recolored 2 of 2 files.\n");
    EXPECT_EQ(r.err, "");
    // No settings file beside the program: "Backup BMPs" is on by default.
    EXPECT_TRUE(fs::exists(dir / "Tintwell Backup" / "a.bmp"));
    EXPECT_EQ(RunCli({"recolor", "-q", "--pairs", kPairs, "a.bmp"}, dir.path()).out, "");
}

TEST_F(CliRecolorTest, RangesPairUpInTheOrderWrittenAndPairsMayBeRepeated) {
    Good("a.bmp");
    Good("b.bmp");
    ColorMap expected;
    for (int i = 0; i < 256; ++i)
        expected.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    expected.SetEntry(4, 4);  // left out of both ranges, then named as "4:4"
    {
        test::CurrentFolder inDir(dir.path());
        test::RecordingMessageBox box;
        BmpBuilder::WriteFile("expected.bmp", BmpBuilder::ReadFile("a.bmp"));
        ASSERT_TRUE(RecolorFile("expected.bmp", false, {}, false, expected, box));
    }
    EXPECT_EQ(RunCli({"recolor", "--no-backup", "--pairs", "0-3:255-252", "--pairs",
                      "5-255:250-0,4", "a.bmp"},
                     dir.path())
                  .exitCode,
              2);
    const test::CliResult r = RunCli(
        {"recolor", "--no-backup", "--pairs", "0-3:255-252", "-p", "5-255:250-0,4:4", "a.bmp"},
        dir.path());
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(Bytes("a.bmp"), Bytes("expected.bmp"));
}

TEST_F(CliRecolorTest, JobsGiveTheSameFilesBackupsAndMessagesAsOneJob) {
    for (const char* folder : {"one", "four"}) {
        const fs::path d = dir / folder;
        fs::create_directories(d / "sub");
        for (int i = 0; i < 24; ++i)
            Varied(3 + i % 5, 2 + i % 3).WriteTo(d / ("f" + std::to_string(i) + ".bmp"));
        // Names whose backup copies compete for the same names, and one file
        // reached twice (through a link).
        for (const char* name : {"a.bmp", "a.BMP", "a-001.bmp", "a-002.bmp", "b.bmp"})
            Varied(4, 3).WriteTo(d / name);
        fs::create_symlink("b.bmp", d / "link-to-b.bmp");
        Varied(4, 4).Bits(24).WriteTo(d / "rgb.bmp");
        Varied(8, 8).TruncateTo(1100).WriteTo(d / "cut.bmp");
        Varied(5, 5).WriteTo(d / "sub" / "deep.bmp");
    }
    auto run = [&](const char* folder, const char* jobs) {
        return RunCli({"recolor", "-r", "--backup", "--pairs", kPairs, "--jobs", jobs, ".",
                       "missing.bmp", "b.bmp"},
                      dir / folder);
    };
    for (int round = 0; round < 3; ++round) {
        const test::CliResult one = run("one", "1");
        const test::CliResult four = run("four", "4");
        EXPECT_EQ(one.exitCode, 1);
        EXPECT_EQ(four.exitCode, one.exitCode);
        EXPECT_EQ(four.out, one.out);
        EXPECT_EQ(four.err, one.err);
    }
    EXPECT_EQ(test::Differences(Snapshot(dir / "one"), Snapshot(dir / "four")),
              std::vector<std::string>{});
    EXPECT_TRUE(fs::exists(dir / "four" / "Tintwell Backup" / "a-005.bmp"));
}

TEST_F(CliRecolorTest, AFolderMeansItsBmpFilesWithoutRegardToCase) {
    for (const char* name :
         {"x.bmp", "Y.BMP", "z.Bmp", "q.bmpx", "sub/s.bmp", "Tintwell Backup/old.bmp"}) {
        fs::create_directories((dir / name).parent_path());
        Good(name);
    }
    test::WriteText(dir / "notes.txt", "not an image");
    const auto before = Snapshot(dir.path());

    test::CliResult r = RunCli({"recolor", "--no-backup", "--pairs", kPairs, "."}, dir.path());
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.out, "Recolored 3 of 3 files.\n");
    EXPECT_EQ(test::Differences(before, Snapshot(dir.path())),
              (std::vector<std::string>{"Y.BMP", "x.bmp", "z.Bmp"}));

    const auto middle = Snapshot(dir.path());
    r = RunCli({"recolor", "--no-backup", "--recursive", "--pairs", kPairs, "."}, dir.path());
    EXPECT_EQ(r.out, "Recolored 4 of 4 files.\n");
    EXPECT_EQ(test::Differences(middle, Snapshot(dir.path())),
              (std::vector<std::string>{"Y.BMP", "sub/s.bmp", "x.bmp", "z.Bmp"}));
}

TEST_F(CliRecolorTest, TakesAStoredMapByNameFromTheSettingsFile) {
    test::WriteText(dir / "my.ini",
                    "[General]\r\nNumColorMaps=2\r\n\r\n[List 1]\r\n1=9\r\nName=Red\r\n\r\n"
                    "[List 2]\r\n1=4\r\n2=5\r\nName=Blue\r\n");
    Good("a.bmp");
    Good("b.bmp");
    Good("c.bmp");
    const fs::path ini = dir / "my.ini";
    auto recolorWith = [&](const fs::path& file, ColorMap map) {
        test::RecordingMessageBox box;
        BmpBuilder::WriteFile(dir / "expected.bmp", BmpBuilder::ReadFile(file));
        RecolorFile(dir / "expected.bmp", false, {}, false, map, box);
        return BmpBuilder::ReadFile(dir / "expected.bmp");
    };
    ColorMap blue;
    blue.SetEntry(1, 4);
    blue.SetEntry(2, 5);
    const auto expectA = recolorWith(dir / "a.bmp", blue);
    ColorMap redPlus;
    redPlus.SetEntry(1, 9);
    redPlus.SetEntry(3, 6);
    const auto expectB = recolorWith(dir / "b.bmp", redPlus);

    EXPECT_EQ(
        RunCli({"recolor", "--no-backup", "--settings", ini.string(), "--map", "blue", "a.bmp"},
               dir.path())
            .exitCode,
        0);
    EXPECT_EQ(Bytes("a.bmp"), expectA);
    EXPECT_EQ(RunCli({"recolor", "--no-backup", "-s", ini.string(), "-m", "Red", "--pairs", "3:6",
                      "b.bmp"},
                     dir.path())
                  .exitCode,
              0);
    EXPECT_EQ(Bytes("b.bmp"), expectB);

    const auto before = Bytes("c.bmp");
    const test::CliResult r =
        RunCli({"recolor", "--settings", ini.string(), "--map", "Green", "c.bmp"}, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("no color map named \"Green\""), std::string::npos) << r.err;
    EXPECT_EQ(Bytes("c.bmp"), before);
}

TEST_F(CliRecolorTest, BackupFollowsTheSettingsSwitchUnlessAnOptionSaysOtherwise) {
    test::WriteText(dir / "off.ini", "[General]\r\nBackupBMPs=0\r\n");
    test::WriteText(dir / "none.ini", "[General]\r\nZoom=2\r\n");
    Good("a.bmp");
    auto backups = [&] {
        std::size_t n = 0;
        if (fs::exists(dir / "Tintwell Backup"))
            for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir / "Tintwell Backup"))
                ++n;
        return n;
    };
    RunCli({"recolor", "-s", "off.ini", "--pairs", kPairs, "a.bmp"}, dir.path());
    EXPECT_EQ(backups(), 0u);
    RunCli({"recolor", "-s", "none.ini", "--pairs", kPairs, "a.bmp"}, dir.path());
    EXPECT_EQ(backups(), 1u);
    RunCli({"recolor", "-s", "off.ini", "--backup", "--pairs", kPairs, "a.bmp"}, dir.path());
    EXPECT_EQ(backups(), 2u);
    RunCli({"recolor", "-s", "none.ini", "--no-backup", "--pairs", kPairs, "a.bmp"}, dir.path());
    RunCli({"recolor", "--backup", "--no-backup", "--pairs", kPairs, "a.bmp"}, dir.path());
    EXPECT_EQ(backups(), 2u);
}

TEST(CliUsage, RefusesBadCommandLinesWithExitCodeTwoAndTouchesNothing) {
    test::TempDir dir;
    Varied(5, 3).WriteTo(dir / "a.bmp");
    const auto before = Snapshot(dir.path());
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"paint", "a.bmp"},
        {"recolor", "a.bmp"},
        {"recolor", "--pairs", "3:7"},
        {"recolor", "--pairs"},
        {"recolor", "--colour", "--pairs", "3:7", "a.bmp"},
        {"recolor", "--pairs", "3:7,", "a.bmp"},
        {"recolor", "--pairs", "3-7", "a.bmp"},
        {"recolor", "--pairs", "256:0", "a.bmp"},
        {"recolor", "--pairs", "16-31:32-40", "a.bmp"},
        {"recolor", "--pairs", "3:7,3:8", "a.bmp"},
        {"recolor", "--pairs", "3:7", "--pairs", "1-5:11-15", "a.bmp"},
        {"recolor", "--pairs", "x:y", "a.bmp"},
        {"recolor", "--pairs", "3:7", "--select", "1,2,3", "a.bmp"},
        {"recolor", "--pairs", "3:7", "--select", "1,2,-3,4", "a.bmp"},
        {"recolor", "--pairs", "3:7", "--jobs", "0", "a.bmp"},
        {"recolor", "--pairs", "3:7", "-j", "many", "a.bmp"},
        {"recolor", "--pairs", "3:7", "--settings", "nowhere.ini", "a.bmp"},
        {"recolor", "--backup=yes", "--pairs", "3:7", "a.bmp"},
        {"info"},
        {"maps", "extra"},
        {"show-map"},
        {"export-indices"},
        {"export-indices", "a.bmp", "b.bmp"},
    };
    for (const auto& args : cases) {
        std::string shown;
        for (const std::string& a : args)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const test::CliResult r = RunCli(args, dir.path());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find("Try \"tintwell-cli"), std::string::npos) << r.err;
    }
    EXPECT_EQ(test::Differences(before, Snapshot(dir.path())), std::vector<std::string>{});
}

TEST(CliUsage, NamesTheProblemOfABadPairList) {
    const test::CliResult r = RunCli({"recolor", "--pairs", "16-31:32-40", "a.bmp"});
    EXPECT_EQ(r.ErrLines().at(0),
              "tintwell-cli recolor: the two sides of \"16-31:32-40\" differ in length (16 and 9 "
              "indices)");
    EXPECT_NE(
        RunCli({"recolor", "--pairs", "3:7,3:8", "a.bmp"}).err.find("index 3 is mapped twice"),
        std::string::npos);
}

TEST(CliUsage, EveryCommandHasHelp) {
    for (const std::string command : {"recolor", "export-indices", "maps", "show-map", "info"}) {
        const test::CliResult r = RunCli({command, "--help"});
        EXPECT_EQ(r.exitCode, 0) << command;
        EXPECT_EQ(r.out.rfind("Usage: tintwell-cli " + command, 0), 0u) << r.out;
        EXPECT_EQ(RunCli({"help", command}).out, r.out);
    }
    const test::CliResult r = RunCli({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_NE(r.out.find("export-indices IMAGE"), std::string::npos);
}

}  // namespace
}  // namespace tintwell
