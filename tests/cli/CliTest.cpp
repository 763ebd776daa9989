// tintwell-cli end to end: the built program runs on files the tests make, and
// must leave exactly what the library (and so the window) leaves.
#include <fcntl.h>
#include <gtest/gtest.h>

#include <map>

#include "cli/BackupGroups.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

struct Result {
    int code = -1;
    std::string out, err;
};

// Runs `program` in `cwd` with no standard input, capturing both outputs.
Result Cli(std::vector<std::string> args, const fs::path& cwd,
           std::string program = TINTWELL_CLI_PATH) {
    TempDir capture;
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::fork() == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(::open((capture / "out").c_str(), O_WRONLY | O_CREAT, 0600), 1);
        ::dup2(::open((capture / "err").c_str(), O_WRONLY | O_CREAT, 0600), 2);
        if (::chdir(cwd.c_str()) == 0) ::execv(program.c_str(), argv.data());
        ::_exit(126);
    }
    int status = 0;
    ::wait(&status);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(capture / "out"),
            ReadFile(capture / "err")};
}

// Every entry under `root`: a file's bytes, "-> target" for a link, "" for a folder.
std::map<std::string, std::string> Snapshot(const fs::path& root) {
    std::map<std::string, std::string> entries;
    for (const auto& e : fs::recursive_directory_iterator(root))
        entries[e.path().lexically_relative(root).string()] =
            e.is_symlink()     ? "-> " + fs::read_symlink(e).string()
            : e.is_directory() ? ""
                               : ReadFile(e.path());
    return entries;
}

const char* const kPairs = "1-10:200-209,50:0,200:3";
ColorMap PairsMap() {
    ColorMap map;
    for (int i = 1; i <= 10; ++i)
        map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(199 + i));
    map.SetEntry(50, 0);
    map.SetEntry(200, 3);
    return map;
}

Bmp Varied(int w, int h) {
    return Bmp().Size(w, h).Pixels([](int x, int y) { return (x * 7 + y * 3 + 1) % 256; });
}

// The kinds of file a batch meets, named and ordered as the program lists the
// folder "." (without regard to case, so Photo after cut).
std::vector<std::string> FillBatch(const fs::path& dir) {
    fs::create_directories(dir / "sub");
    const std::pair<const char*, Bmp> files[] = {
        {"cut.bmp", Varied(8, 8).Cut(1078 + 20)},
        {"Photo.bmp", Varied(4, 4).Bits(24)},
        {"sky.night.bmp", Varied(3, 3)},
        {"tiles.bmp", Varied(6, 4)},
        {"top.bmp", Varied(7, 5).TopDown()},
        {"wide.BMP", Varied(9, 3).HeaderSize(108).ClrUsed(16)},
        {"sub/deep.bmp", Varied(5, 5)}};
    std::vector<std::string> names;
    for (const auto& [name, b] : files) {
        WriteFile(dir / name, b.Build());
        names.push_back("./" + std::string(name));
    }
    WriteFile(dir / "notes.txt", "not an image");
    WriteFile(dir / "q.bmpx", "not listed");
    names.pop_back();
    return names;
}

struct SelectionCase {
    std::vector<std::string> args;
    SelectionRect selection;
    bool outside;
};

class CliRecolor : public ::testing::TestWithParam<SelectionCase> {};

TEST_P(CliRecolor, LeavesTheSameFilesBackupsAndMessagesAsTheLibrary) {
    const SelectionCase& c = GetParam();
    TempDir dir;
    std::vector<std::string> names = FillBatch(dir / "lib");
    FillBatch(dir / "cli");
    names.push_back("missing.bmp");
    std::string expected;
    for (int round = 0; round < 2; ++round)
        for (const std::string& name : names) {
            RecordingMessageBox box;
            RecolorFile(dir / "lib" / name, true, c.selection, c.outside, PairsMap(), box);
            for (const MessageRequest& m : box.shown)
                expected += m.text + "\n";
        }
    std::string err;
    for (int round = 0; round < 2; ++round) {
        std::vector<std::string> args = {"recolor", "--pairs", kPairs, "-j1", ".", "missing.bmp"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const Result r = Cli(args, dir / "cli");
        EXPECT_EQ(r.code, 1);
        EXPECT_EQ(r.out, "Recolored 4 of 7 files. 3 refused.\n");
        err += r.err;
    }
    const std::string lib = (dir / "lib").string() + "/";  // the program names "./cut.bmp"
    for (std::size_t at; (at = expected.find(lib)) != std::string::npos;)
        expected.erase(at, lib.size());
    EXPECT_EQ(err, expected);
    EXPECT_EQ(Snapshot(dir / "cli"), Snapshot(dir / "lib"));
}

INSTANTIATE_TEST_SUITE_P(
    Selections, CliRecolor,
    ::testing::Values(SelectionCase{{}, {}, false},
                      SelectionCase{{"--select", "2,1,1,1", "--outside"}, {2, 1, 1, 1}, true},
                      SelectionCase{{"--select", "1,1,3,2"}, {1, 1, 3, 2}, false},
                      SelectionCase{{"--select", "1,1,3,2", "--outside"}, {1, 1, 3, 2}, true},
                      SelectionCase{{"--select", "4,2,50,50"}, {4, 2, 50, 50}, false}));

TEST(CliRecolor, JobsGiveWhatOneJobGivesAlsoForFilesWhoseBackupsCompete) {
    TempDir dir;
    for (const char* folder : {"one", "four"}) {
        FillBatch(dir / folder);
        for (int i = 0; i < 12; ++i)
            WriteFile(dir / folder / ("f" + std::to_string(i) + ".bmp"),
                      Varied(3 + i % 5, 2).Build());
        for (const char* name : {"a.bmp", "a.BMP", "a-001.bmp", "a-002.bmp", "b.bmp"})
            WriteFile(dir / folder / name, Varied(4, 3).Build());
        fs::create_symlink("b.bmp", dir / folder / "link-to-b.bmp");
    }
    for (int round = 0; round < 2; ++round) {
        const std::vector<std::string> args = {"recolor", "-rq", "--backup", "-p",
                                               kPairs,    ".",   "b.bmp"};
        std::vector<std::string> one = args, four = args;
        one.push_back("--jobs=1");
        four.push_back("-j4");
        const Result a = Cli(one, dir / "one"), b = Cli(four, dir / "four");
        EXPECT_EQ(std::tie(a.code, a.out, a.err), std::tie(b.code, b.out, b.err));
    }
    EXPECT_EQ(Snapshot(dir / "four"), Snapshot(dir / "one"));
    EXPECT_TRUE(fs::exists(dir / "four" / "Tintwell Backup" / "a-004.bmp"));
    EXPECT_TRUE(fs::exists(dir / "four" / "sub" / "Tintwell Backup" / "deep-001.bmp"));
}

TEST(CliRecolor, TakesItsMapAndBackupSwitchFromTheSettingsUnlessTheOptionsSayOtherwise) {
    TempDir dir;
    WriteFile(
        dir / "my.ini",
        "[General]\r\nNumColorMaps=2\r\nBackupBMPs=0\r\n\r\n[List 1]\r\n1=9\r\nName=Red\r\n\r\n"
        "[List 2]\r\n1=4\r\n2=5\r\nName=Blue\r\n");
    const std::string original = Varied(5, 3).Build();
    auto recolored = [&](std::vector<std::pair<int, int>> entries) {
        ColorMap map;
        for (auto [from, to] : entries)
            map.SetEntry(static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to));
        WriteFile(dir / "expected.bmp", original);
        RecordingMessageBox box;
        RecolorFile(dir / "expected.bmp", false, {}, false, map, box);
        return ReadFile(dir / "expected.bmp");
    };
    std::vector<std::pair<int, int>> reversed;  // ranges pair up in the order written
    for (int i = 0; i < 256; ++i)
        reversed.emplace_back(i, i == 4 ? 4 : 255 - i);
    const std::tuple<std::vector<std::string>, std::string, int> cases[] = {
        // Options, then the file they give and how many backups are there after.
        {{"-s", "my.ini", "--map", "blue"}, recolored({{1, 4}, {2, 5}}), 0},
        {{"-s", "my.ini", "-m", "Red", "--pairs", "3:6", "--backup"},
         recolored({{1, 9}, {3, 6}}),
         1},
        {{"-p", "0-3:255-252", "-p", "5-255:250-0,4:4"}, recolored(reversed), 2},
        {{"--backup", "--no-backup", "-p", "3:3"}, recolored({}), 2}};
    for (const auto& [options, bytes, backups] : cases) {
        WriteFile(dir / "a.bmp", original);
        std::vector<std::string> args = {"recolor", "a.bmp"};
        args.insert(args.begin() + 1, options.begin(), options.end());
        const Result r = Cli(args, dir.path());
        EXPECT_EQ(r.out + r.err, "Recolored 1 of 1 file.\n");
        EXPECT_EQ(ReadFile(dir / "a.bmp"), bytes) << options[1];
        EXPECT_EQ(fs::exists(dir / "Tintwell Backup")
                      ? std::distance(fs::directory_iterator(dir / "Tintwell Backup"), {})
                      : 0,
                  backups);
    }
}

TEST(CliUsage, RefusesBadCommandLinesWithExitCodeTwoTouchingNothing) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Varied(5, 3).Build());
    WriteFile(dir / "maps.ini", "[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\nName=Red\r\n");
    const auto before = Snapshot(dir.path());
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no command given"},
        {{"paint", "a.bmp"}, "unknown command \"paint\""},
        {{"recolor", "a.bmp"}, "no color map given"},
        {{"recolor", "--pairs", "3:7"}, "no files or folders given"},
        {{"recolor", "--pairs"}, "\"--pairs\" needs a value"},
        {{"recolor", "-p"}, "\"-p\" needs a value"},
        {{"recolor", "--colour", "-p3:7", "a.bmp"}, "unknown option \"--colour\""},
        {{"recolor", "-x", "a.bmp"}, "unknown option \"-x\""},
        {{"recolor", "--backup=yes", "-p3:7", "a.bmp"}, "\"--backup\" takes no value"},
        {{"recolor", "--pairs", "3:7,", "a.bmp"}, "\"\" is not a pair SOURCE:TARGET"},
        {{"recolor", "--pairs", "3-7", "a.bmp"}, "\"3-7\" is not a pair"},
        {{"recolor", "--pairs", "256:0", "a.bmp"}, "\"256\" is not a palette index 0 to 255"},
        {{"recolor", "--pairs", "x:y", "a.bmp"}, "\"x\" is not a palette index"},
        {{"recolor", "--pairs", "16-31:32-40", "a.bmp"},
         "the two sides of \"16-31:32-40\" differ in length (16 and 9 indices)"},
        {{"recolor", "-p", "3:7,3:8", "a.bmp"}, "index 3 is mapped twice (to 7 and to 8)"},
        {{"recolor", "-p", "3:7", "-p", "1-5:11-15", "a.bmp"}, "index 3 is mapped twice"},
        {{"recolor", "-p3:7", "--select", "1,2,3", "a.bmp"},
         "\"1,2,3\" is not a selection X,Y,W,H"},
        {{"recolor", "-p3:7", "--select", "1,2,-3,4", "a.bmp"}, "\"1,2,-3,4\" is not a selection"},
        {{"recolor", "-p3:7", "--jobs", "0", "a.bmp"},
         "\"0\" is not a number of jobs from 1 to 1024"},
        {{"recolor", "-p3:7", "-j", "many", "a.bmp"}, "\"many\" is not a number of jobs"},
        {{"recolor", "-p3:7", "-s", "nowhere.ini", "a.bmp"},
         "settings file \"nowhere.ini\" not found"},
        {{"recolor", "-s", "maps.ini", "-m", "Green", "a.bmp"}, "no color map named \"Green\" in"},
        {{"show-map", "Day", "-s", "maps.ini"}, "no color map named \"Day\""},
        {{"show-map"}, "the name of a stored color map is missing"},
        {{"maps", "extra"}, "unexpected argument \"extra\""},
        {{"info"}, "no image given"},
        {{"export-indices"}, "no image given"},
        {{"export-indices", "a.bmp", "b.bmp"}, "unexpected argument \"b.bmp\""},
        {{"help", "paint"}, "unknown command \"paint\""}};
    for (const auto& [args, problem] : cases) {
        const Result r = Cli(args, dir.path());
        EXPECT_EQ(r.code, 2) << problem;
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(": " + problem), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("Try \"tintwell-cli"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Snapshot(dir.path()), before);
    for (const std::string command : {"recolor", "export-indices", "maps", "show-map", "info"}) {
        const Result r = Cli({command, "--help"}, dir.path());
        EXPECT_EQ(r.code, 0);
        EXPECT_EQ(r.out.rfind("Usage: tintwell-cli " + command, 0), 0u) << r.out;
        EXPECT_EQ(Cli({"help", command}, dir.path()).out, r.out);
    }
    EXPECT_NE(Cli({"--help"}, dir.path()).out.find("export-indices IMAGE"), std::string::npos);
}

TEST(CliCommands, ListShowDescribeAndExportAsTheWindowWould) {
    TempDir dir;
    fs::create_directories(dir / "app");
    fs::copy_file(TINTWELL_CLI_PATH, dir / "app" / "tintwell-cli");
    const std::string ini =
        "[General]\r\nNumColorMaps=3\r\n\r\n[List 1]\r\n3=7\r\n200=0\r\nName=Night\r\n"
        "\r\n[List 2]\r\n5=5\r\n9=300\r\nName=Almost identity\r\n";
    WriteFile(dir / "app" / "Tintwell.ini", ini);  // read beside the program unless -s names one
    WriteFile(dir / "empty.ini", "");
    const int rows[2][3] = {{0, 12, 255}, {7, 7, 100}};
    WriteFile(dir / "a.bmp",
              Bmp().Size(3, 2).Pixels([&](int x, int y) { return rows[y][x]; }).Build());
    WriteFile(dir / "big.bmp", Bmp().Size(9, 4).TopDown().HeaderSize(124).ClrUsed(16).Build());
    WriteFile(dir / "rgb.bmp", Bmp().Size(3, 2).Bits(24).Build());
    WriteFile(dir / "cut.bmp", Bmp().Size(8, 8).Cut(1100).Build());
    WriteFile(dir / "rle.bmp", Bmp().Set32(kCompression, 1).Build());
    WriteFile(dir / "keep.txt", "kept");
    const Result rle = Cli({"info", "rle.bmp"}, dir.path());  // what the load reached
    EXPECT_NE(rle.out.find("Compression:   1\nColor table:   not read\nLoad error:    Unsupported "
                           "compression type: 0x1\n"),
              std::string::npos);
    const std::string app = (dir / "app" / "tintwell-cli").string();
    const std::string list = "  0, 12,255,\r\n  7,  7,100,\r\n";
    const std::tuple<std::vector<std::string>, int, std::string, std::string> cases[] = {
        {{"maps"},
         0,
         "Map  Changed  Name\n  1        2  Night\n  2        0  Almost identity\n"
         "  3        0  ERROR: No name found\n",
         ""},
        {{"maps", "-s", "empty.ini"}, 0, "", "No color maps are stored in \"empty.ini\".\n"},
        {{"show-map", "NIGHT"},
         0,
         "Map 1 \"Night\": 2 of 256 entries change a color.\n  3 -> 7\n200 -> 0\n",
         ""},
        {{"export-indices", "a.bmp"}, 0, list, ""},
        {{"export-indices", "--output=a.txt", "a.bmp"}, 0, "", ""},
        {{"export-indices", "rgb.bmp", "-o", "keep.txt"},
         1,
         "",
         "\"rgb.bmp\" is not a 256 color BMP; no color index list was written.\n"},
        {{"export-indices", "cut.bmp", "-o", "keep.txt"},
         1,
         "",
         "\"cut.bmp\" is cut short: its pixel data does not cover the whole image; no color index "
         "list was written.\n"},
        {{"export-indices", "rle.bmp"},
         1,
         "",
         "\"rle.bmp\" could not be read: Unsupported compression type: 0x1; no color index list "
         "was written.\n"},
        {{"export-indices", "gone.bmp", "-o", "keep.txt"}, 1, "", "\"gone.bmp\" not found.\n"},
        {{"info", "big.bmp"},
         0,
         "File:          big.bmp\nFile size:     250 bytes\nSize:          9 x 4 pixels\n"
         "Bit count:     8\nRow order:     top-down (top row stored first)\nHeader size:   124 "
         "bytes\n"
         "Color table:   256 entries, 16 read from the file\n"
         "Pixel data:    48 bytes at offset 202, 12 bytes per row\nCan recolor:   yes\n",
         ""},
        {{"info", "rgb.bmp", "gone.bmp"},
         1,
         "File:          rgb.bmp\nFile size:     78 bytes\nSize:          3 x 2 pixels\n"
         "Bit count:     24\nRow order:     bottom-up (bottom row stored first)\n"
         "Header size:   40 bytes\nColor table:   none (colors are stored in the pixels)\n"
         "Pixel data:    24 bytes at offset 54, 12 bytes per row\n"
         "Can recolor:   no: \"rgb.bmp\" is not a 256 color BMP\n\n",
         "\"gone.bmp\" not found.\n"}};
    for (const auto& [args, code, out, err] : cases) {
        const Result r = Cli(args, dir.path(), app);
        EXPECT_EQ(std::tie(r.code, r.out, r.err), std::tie(code, out, err))
            << args[0] << " " << args.back();
    }
    EXPECT_EQ(ReadFile(dir / "a.txt"), list);
    EXPECT_EQ(ReadFile(dir / "keep.txt"), "kept");
    EXPECT_EQ(ReadFile(dir / "app" / "Tintwell.ini"), ini);  // never written
    const Result failed =
        Cli({"export-indices", "a.bmp", "-o", "no-such-folder/a.txt"}, dir.path());
    EXPECT_EQ(failed.code, 1);
    EXPECT_EQ(failed.err.rfind("The color index list could not be saved. Could not create", 0), 0u);
}

TEST(BackupGroups, JoinFilesWhoseBackupNamesMeetOrThatAreTheSameFile) {
    TempDir dir;
    WriteFile(dir / "real.bmp", "x");
    fs::create_directories(dir / "o");
    fs::create_symlink(dir / "real.bmp", dir / "o" / "link.bmp");
    fs::create_hard_link(dir / "real.bmp", dir / "o" / "hard.bmp");
    const char* names[] = {"x.bmp",         "a.bmp",         "a.BMP",    "c.bmp",
                           "a-001.bmp",     "a-001-002.bmp", "a.b.bmp",  "a.b-017.bmp",
                           "a-00x.bmp",     "sub/a.bmp",     "real.bmp", "o/link.bmp",
                           "o/../real.bmp", "o/hard.bmp",    "o/x.bmp"};
    std::vector<fs::path> files;
    for (const char* name : names)
        files.push_back(dir / name);
    EXPECT_EQ(cli::GroupFilesThatMayClash(files),
              (std::vector<std::vector<std::size_t>>{
                  {0}, {1, 2, 4, 5}, {3}, {6, 7}, {8}, {9}, {10, 11, 12, 13}, {14}}));
}

}  // namespace
}  // namespace tintwell::test
