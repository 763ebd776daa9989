// tintwell-cli end to end: the built program runs on files the tests make, and
// must leave exactly what the library (and so the window) leaves.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <map>
#include <random>
#include <regex>
#include <set>
#include <sstream>

#include "cli/CommandLine.h"
#include "cli/PrintableText.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/PngKit.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

// Runs `args` (the program first) in `cwd`: "exit code|output|errors", the
// code -1 for a program ended by a signal.
std::string RunProgram(std::vector<std::string> args, const fs::path& cwd) {
    TempDir capture;
    std::vector<char*> argv;
    for (std::string& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    if (::fork() == 0) {
        ::dup2(::open("/dev/null", O_RDONLY), 0);
        ::dup2(::open((capture / "out").c_str(), O_WRONLY | O_CREAT, 0600), 1);
        ::dup2(::open((capture / "err").c_str(), O_WRONLY | O_CREAT, 0600), 2);
        if (::chdir(cwd.c_str()) == 0) ::execv(argv[0], argv.data());
        ::_exit(126);
    }
    int status = 0;
    ::wait(&status);
    return std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1) + "|" +
           ReadFile(capture / "out") + "|" + ReadFile(capture / "err");
}

// Runs the program in `cwd` on the words of `line`.
std::string Cli(const std::string& line, const fs::path& cwd,
                const std::string& program = TINTWELL_CLI_PATH) {
    std::vector<std::string> args = {program};
    std::istringstream words(line);
    for (std::string w; words >> w;)
        args.push_back(w);
    return RunProgram(args, cwd);
}

// Runs `script` with the shell in `cwd`, "$0" being tintwell-cli.
std::string Sh(const std::string& script, const fs::path& cwd) {
    return RunProgram({"/bin/sh", "-c", script, TINTWELL_CLI_PATH}, cwd);
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

Bmp Varied(int w, int h) {
    return Bmp().Size(w, h).Pixels([](int x, int y) { return (x * 7 + y * 3 + 1) % 256; });
}

// The kinds of file a batch meets, in the order the program lists the folder
// "." (without regard to case, so Photo after cut).
std::vector<std::string> FillBatch(const fs::path& dir) {
    fs::create_directories(dir / "sub");
    const std::pair<const char*, Bmp> files[] = {
        // Backup names of these meet ("a-001.bmp"): a batch takes them in list order.
        {"a-001.bmp", Varied(4, 3)},
        {"a.BMP", Varied(4, 3)},
        {"a.bmp", Varied(4, 3)},
        {"cut.bmp", Varied(8, 8).Cut(1078 + 20)},
        {"Photo.bmp", Varied(4, 4).Bits(24)}};
    std::vector<std::string> names;
    for (const auto& [name, b] : files) {
        WriteFile(dir / name, b.Build());
        names.push_back("./" + std::string(name));
    }
    WriteFile(dir / "sub" / "deep.bmp", Varied(5, 5).Build());
    return names;
}

TEST(CliRecolor, LeavesTheSameFilesBackupsAndMessagesAsTheLibrary) {
    ColorMap map;  // as "--pairs 1-10:200-209,50:0"
    for (int i = 1; i <= 10; ++i)
        map.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(199 + i));
    map.SetEntry(50, 0);
    for (const auto& [options, selection] :
         {std::pair{"", SelectionRect{}},
          {"--select 0,1,1,2 --outside", SelectionRect{0, 1, 1, 2}},
          {"--select 4,2,50,50", SelectionRect{4, 2, 50, 50}}}) {
        TempDir dir;
        std::vector<std::string> names = FillBatch(dir / "lib");
        FillBatch(dir / "cli");
        names.push_back("missing.bmp");
        std::string expected, seen;
        for (int round = 0; round < 2; ++round) {
            expected += "1|Recolored 3 of 6 files. 3 refused.\n|";
            for (const std::string& name : names) {
                RecordingMessageBox box;
                RecolorFile(dir / "lib" / name, true, selection, std::strstr(options, "out"), map,
                            box);
                for (const MessageRequest& m : box.shown)
                    expected += m.text + "\n";
            }
            seen += Cli(
                std::string("recolor --backup -p 1-10:200-209,50:0 -j1 . missing.bmp ") + options,
                dir / "cli");
        }
        for (std::size_t at;
             (at = expected.find((dir / "lib").string() + "/")) != std::string::npos;)
            expected.replace(at, (dir / "lib").string().size() + 1, "");
        EXPECT_EQ(seen, expected) << options;
        EXPECT_EQ(Snapshot(dir / "cli"), Snapshot(dir / "lib")) << options;
    }
}

TEST(CliRecolor, TakesMapsAndTheBackupSwitchFromTheSettingsUnlessTheOptionsSayOtherwise) {
    TempDir dir;
    WriteFile(dir / "my.ini",
              "[General]\r\nNumColorMaps=2\r\nBackupBMPs=0\r\n\r\n[List 1]\r\n1=9\r\nName=Red\r\n"
              "\r\n[List 2]\r\n1=4\r\nName=Blue\r\n");
    auto recolored = [&](const ColorMap& map) {
        WriteFile(dir / "expected.bmp", Varied(5, 3).Build());
        RecordingMessageBox box;
        RecolorFile(dir / "expected.bmp", false, {}, false, map, box);
        return ReadFile(dir / "expected.bmp");
    };
    ColorMap reversed = Inverted();  // ranges pair up in the order written
    reversed.SetEntry(4, 4);
    const std::tuple<const char*, std::string, int> cases[] = {
        {"-s my.ini --map blue", recolored(MapOf({{1, 4}})), 0},  // no backup: the settings say so
        {"-s my.ini -m Red --pairs 3:6 --backup", recolored(MapOf({{1, 9}, {3, 6}})), 1},
        {"-p 0-3:255-252 -p 5-255:250-0,4:4", recolored(reversed), 2},  // backup on by default
        {"--backup --no-backup -p 3:3", recolored({}), 2}};
    for (const auto& [options, bytes, backups] : cases) {
        WriteFile(dir / "a.bmp", Varied(5, 3).Build());
        EXPECT_EQ(Cli(std::string("recolor a.bmp ") + options, dir.path()),
                  "0|Recolored 1 of 1 file.\n|");
        EXPECT_EQ(ReadFile(dir / "a.bmp"), bytes) << options;
        EXPECT_EQ(dir.Entries().size(), 3u + (backups ? backups + 1 : 0)) << options;
    }
}

TEST(CliUsage, RefusesBadCommandLinesWithExitCodeTwoTouchingNothing) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Varied(5, 3).Build());
    WriteFile(dir / "maps.ini", "[General]\r\nNumColorMaps=1\r\n\r\n[List 1]\r\nName=Red\r\n");
    const auto before = Snapshot(dir.path());
    using C = std::pair<const char*, const char*>;
    const C cases[] = {
        C{"", "no command given"}, C{"paint a.bmp", "unknown command \"paint\""},
        C{"recolor a.bmp", "no color map given"}, C{"recolor -p 3:7", "no files or folders given"},
        C{"recolor -p 3:7, a.bmp", "\"\" is not a pair SOURCE:TARGET"},
        C{"recolor -p 256:0 a.bmp", "\"256\" is not a palette index 0 to 255"},
        C{"recolor -p 16-31:32-40 a.bmp",
          "the two sides of \"16-31:32-40\" differ in length (16 and 9 indices)"},
        C{"recolor -p 3:7,3:8 a.bmp", "index 3 is mapped twice (to 7 and to 8)"},
        C{"recolor -p 3:7 -p 1-5:11-15 a.bmp", "index 3 is mapped twice"},
        C{"recolor -p3:7 --select 1,2,-3,4 a.bmp", "\"1,2,-3,4\" is not a selection X,Y,W,H"},
        C{"recolor -p3:7 -j 0 a.bmp", "\"0\" is not a number of jobs from 1 to 1024"},
        C{"recolor -p3:7 -j 1025 a.bmp", "\"1025\" is not a number of jobs from 1 to 1024"},
        // Regression: a selection without a pixel rewrote and backed up the image.
        C{"recolor -p3:7 --select 0,0,0,0 a.bmp",
          "the selection 0,0,0,0 holds no pixel of \"a.bmp\", which is 5 x 3 pixels"},
        C{"recolor -p3:7 --select 2,3,9,9 a.bmp", "the selection 2,3,9,9 holds no pixel of"},
        C{"recolor -p3:7 --select 1,1,0,2 a.bmp", "the selection 1,1,0,2 holds no pixel of"},
        C{"recolor -p3:7 --select 1,1,2,0 a.bmp", "the selection 1,1,2,0 holds no pixel of"},
        C{"recolor -p3:7 -s nowhere.ini a.bmp", "settings file \"nowhere.ini\" not found"},
        C{"recolor -s maps.ini -m Green a.bmp", "no color map named \"Green\" in"},
        C{"show-map", "the name of a stored color map is missing"},
        C{"maps extra", "unexpected argument \"extra\""}, C{"info", "no image given"},
        C{"export-indices a.bmp b.bmp", "unexpected argument \"b.bmp\""}};
    for (const auto& [line, problem] : cases) {
        const std::string r = Cli(line, dir.path());
        EXPECT_EQ(r.substr(0, 3), "2||") << line;
        EXPECT_NE(r.find(std::string(": ") + problem), std::string::npos) << r;
        EXPECT_NE(r.find("\nTry \"tintwell-cli"), std::string::npos) << r;
    }
    EXPECT_EQ(Snapshot(dir.path()), before);
    const std::regex code("[:,]\\s(\\d)\\s");
    for (const std::string command :
         {"", "recolor", "export-indices", "maps", "show-map", "info", "restore"}) {
        const std::string help = Cli(command + " --help", dir.path());
        EXPECT_EQ(help.rfind("0|Usage: tintwell-cli " + command, 0), 0u) << help;
        EXPECT_EQ(Cli("help " + command, dir.path()), help);
        const std::string exits = help.substr(std::min(help.find("Exit status:"), help.size()));
        std::string codes;  // the exit statuses named: the three above, in order
        for (std::sregex_iterator m(exits.begin(), exits.end(), code), end; m != end; ++m)
            codes += (*m)[1];
        EXPECT_EQ(codes, exits.empty() ? "" : "012") << exits;
    }
    const std::string help = Cli("recolor --help", dir.path());  // its example works
    const std::size_t at = help.find("equal length: ") + 14;
    const std::string example = help.substr(at, help.find_first_of(" \n", at) - at);
    EXPECT_EQ(Cli("recolor --no-backup -q -p " + example + " a.bmp", dir.path()), "0||") << example;
}

// Options and operands apart: "--" ends the options, a lone "-" is an
// operand, a value follows its option attached or as the next argument.
// A row: the option given last | every --pairs value | the last one | operands.
TEST(CliCommandLine, SplitsOptionsFromOperands) {
    using Args = std::vector<std::string>;
    const std::pair<Args, const char*> rows[] = {
        {{"a", "-", "--", "-q", "--pairs", "--"}, "||none|a;-;-q;--pairs;--;"},
        {{"-qp7", "b", "-p", "-q", "--pairs=1:2=3", "--backup", "--pairs", "-x"},
         "backup|7;-q;1:2=3;-x;|-x|b;"},
        {{"--backup", "-qq", "--pairs=", "c", "-p", "d"}, "quiet|;d;|d|c;"},
        {{"--backup=1"}, "\"--backup\" takes no value"},
        {{"-p", "1", "--pairs"}, "\"--pairs\" needs a value"},
        {{"-qp"}, "\"-p\" needs a value"},
        {{"-qbackup"}, "unknown option \"-b\""},
        {{"--quie"}, "unknown option \"--quie\""}};
    for (const auto& [args, expected] : rows) {
        cli::CommandLine cl({{"pairs", 'p', true}, {"quiet", 'q', false}, {"backup", 0, false}});
        EXPECT_EQ(cl.Parse(args)
                      ? cl.LastOf({"quiet", "backup"}) + "|" + Joined(cl.Values("pairs"), ";") +
                            "|" + cl.Value("pairs").value_or("none") + "|" +
                            Joined(cl.Operands(), ";")
                      : cl.LastError(),
                  expected)
            << Joined(args, ";");
    }
}

// Shown as they are: printable ASCII and whole UTF-8 characters. Shown as
// \xNN, each byte: controls (C0, DEL, C1), characters that turn the
// direction of the text, and bytes that are not UTF-8 (over-long forms,
// surrogates, past U+10FFFF, cut short).
TEST(CliPrintableText, KeepsPrintableUtf8AndEscapesEveryOtherByte) {
    for (const char* kept :
         {" ~", "\xc2\xa0", "\xdf\xbf", "\xe0\xa0\x80", "\xed\x9f\xbf", "\xef\xbf\xbd",
          "\xf0\x90\x80\x80", "\xf4\x8f\xbf\xbf", "\xd8\x9b", "\xd8\x9d", "\xe2\x80\x8d",
          "\xe2\x80\x90", "\xe2\x80\xa9", "\xe2\x80\xaf", "\xe2\x81\xa5", "\xe2\x81\xaa",
          "\xe3\x80\x8e", "\xe2\x81\x8e"})
        EXPECT_EQ(cli::PrintableText(kept), kept);
    for (const char* bytes :
         {"\x1f", "\x7f", "\xc1\xbf", "\xc2\x9f", "\xe0\x9f\xbf", "\xed\xa0\x80", "\xe2\x82\xc0",
          "\xf0\x8f\xbf\xbf", "\xf4\x90\x80\x80", "\xf5\x80\x80\x80", "\xd8\x9c", "\xe2\x80\x8e",
          "\xe2\x80\x8f", "\xe2\x80\xaa", "\xe2\x80\xae", "\xe2\x81\xa6", "\xe2\x81\xa9",
          "\xf0\x90\x80"}) {
        std::string escaped;
        for (const char* c = bytes; *c; ++c)
            escaped += "\\x" + std::string(1, "0123456789abcdef"[(*c >> 4) & 15]) +
                       "0123456789abcdef"[*c & 15];
        EXPECT_EQ(cli::PrintableText(bytes), escaped);
    }
}

TEST(CliCommands, ListShowDescribeAndExportAsTheWindowWould) {
    TempDir dir;
    fs::create_directories(dir / "app");
    fs::copy_file(TINTWELL_CLI_PATH, dir / "app" / "tintwell-cli");
    const std::string ini =
        "[General]\r\nNumColorMaps=3\r\n\r\n[List 1]\r\n3=7\r\n200=0\r\nName=Night\r\n"
        "\r\n[List 2]\r\n5=5\r\n9=300\r\nName=Almost\x1b[2J\x07identity\r\n";
    WriteFile(dir / "app" / "Tintwell.ini", ini);  // read beside the program unless -s names one
    WriteFile(dir / "app" / "Tintwell.html", "");  // as a portable copy
    WriteFile(dir / "empty.ini", "");
    const int rows[2][3] = {{0, 12, 255}, {7, 7, 100}};
    WriteFile(dir / "a.bmp",
              Bmp().Size(3, 2).Pixels([&](int x, int y) { return rows[y][x]; }).Build());
    WriteFile(dir / "big.bmp", Bmp().Size(9, 4).TopDown().HeaderSize(124).ClrUsed(16).Build());
    WriteFile(dir / "rgb.bmp", Bmp().Size(3, 2).Bits(24).Build());
    WriteFile(dir / "cut.bmp", Bmp().Size(8, 8).Cut(1100).Build());
    WriteFile(dir / "rle.bmp", Bmp().Set32(kCompression, 3).Build());
    WriteFile(dir / "keep.txt", "kept");
    fs::create_directory(dir / "folder.bmp");
    ::mkfifo((dir / "pipe.bmp").c_str(), 0600);
    fs::create_symlink("loop", dir / "loop");
    const std::string png = SmallPng(0);  // 4 x 2, rows 0 1 2 3
    WriteFile(dir / "p.png", png);
    WriteFile(dir / "cut.png", png.substr(0, png.size() - 12));
    const std::size_t idat = png.find("IDAT") - 4;  // a tRNS chunk goes before it
    WriteFile(dir / "t.png",
              png.substr(0, idat) + Chunk("tRNS", std::string("\0\xff", 2)) + png.substr(idat));
    const std::string list = "  0, 12,255,\r\n  7,  7,100,\r\n",
                      no = "; no color index list was written.\n";
    const std::pair<const char*, std::string> cases[] = {
        {"maps",
         "0|Map  Changed  Name\n  1        2  Night\n  2        0  Almost\\x1b[2J\\x07identity\n"
         "  3        0  ERROR: No name found\n|"},
        {"maps -s empty.ini", "0||No color maps are stored in \"empty.ini\".\n"},
        {"show-map NIGHT",
         "0|Map 1 \"Night\": 2 of 256 entries change a color.\n  3 -> 7\n200 -> 0\n|"},
        // Regression: terminal codes in a stored name reached the terminal.
        {"show-map almost\x1b[2j\x07IDENTITY",
         "0|Map 2 \"Almost\\x1b[2J\\x07identity\": 0 of 256 entries change a color.\n|"},
        {"export-indices a.bmp", "0|" + list + "|"},
        {"export-indices --output=a.txt a.bmp", "0||"},
        {"export-indices rgb.bmp -o keep.txt", "1||\"rgb.bmp\" is not a 256 color BMP" + no},
        {"export-indices cut.bmp -o keep.txt",
         "1||\"cut.bmp\" is cut short: its pixel data does not cover the whole image" + no},
        {"export-indices rle.bmp",
         "1||\"rle.bmp\" is a 256 color BMP, but its compression (bit fields, 0x3) is not "
         "supported" +
             no},
        {"export-indices gone.bmp -o keep.txt", "1||\"gone.bmp\" not found.\n"},
        // Regressions: the image replaced by its own list; a link loop by a file;
        // a folder or FIFO reported as not found.
        {"export-indices a.bmp -o ./a.bmp",
         "1||\"./a.bmp\" is the image itself; no color index list was written.\n"},
        {"export-indices a.bmp -o loop",
         "1||\"loop\" is a loop of symbolic links; no color index list was written.\n"},
        {"info folder.bmp pipe.bmp",
         "1|\n|\"folder.bmp\" is not a regular file: it is a folder.\n\"pipe.bmp\" is not a "
         "regular file: it is a FIFO.\n"},
        {"export-indices p.png", "0|  0,  1,  2,  3,\r\n  0,  1,  2,  3,\r\n|"},
        {"export-indices cut.png -o keep.txt",
         "1||\"cut.png\" cannot be read as an indexed PNG: it ends without an IEND chunk" + no},
        {"info p.png",
         "0|File:          p.png\nFile size:     " + std::to_string(png.size()) +
             " bytes\nFormat:        PNG\nSize:          4 x 2 pixels\nBit depth:     8\nColor "
             "type:    indexed\nInterlace:     none\nPalette:       4 entries (PLTE)\n"
             "Transparency:  none\nChunks:        IHDR PLTE IDAT IEND\nCan recolor:   yes\n|"},
        {"info big.bmp",
         "0|File:          big.bmp\nFile size:     250 bytes\nHeader:        BITMAPV5HEADER, 124 "
         "bytes\nCompression:   none\nSize:          9 x 4 pixels\nBit count:     8\nRow order:    "
         " top-down (top row stored first)\nColor table:   256 entries, 16 read from the "
         "file\nPixel data:    48 bytes at offset 202, 12 bytes per row\nCan recolor:   yes\n|"},
        {"info rgb.bmp gone.bmp",
         "1|File:          rgb.bmp\nFile size:     78 bytes\nHeader:        BITMAPINFOHEADER, 40 "
         "bytes\nCompression:   none\nSize:          3 x 2 pixels\nBit count:     24\nRow order:   "
         "  bottom-up (bottom row stored first)\nColor table:   none (colors are stored in the "
         "pixels)\nPixel data:    24 bytes at offset 54, 12 bytes per row\nCan recolor:   no: "
         "\"rgb.bmp\" is not a 256 color BMP\n\n|\"gone.bmp\" not found.\n"}};
    for (const auto& [line, result] : cases)
        EXPECT_EQ(Cli(line, dir.path(), (dir / "app" / "tintwell-cli").string()), result) << line;
    EXPECT_EQ(ReadFile(dir / "a.txt"), list);
    const std::string t = Cli("info t.png", dir.path());
    EXPECT_NE(t.find("\nTransparency:  2 entries in tRNS, 1 of them not opaque\n"), t.npos) << t;
    WriteFile(dir / "os2.bmp", Bmp().Size(2, 2).HeaderSize(12).Build());  // the smallest header
    const std::string os2 = Cli("info os2.bmp", dir.path());
    EXPECT_NE(os2.find("\nHeader:        OS/2 1.x BITMAPCOREHEADER, 12 bytes\n"), os2.npos) << os2;
    EXPECT_EQ(ReadFile(dir / "keep.txt"), "kept");
    EXPECT_TRUE(fs::is_symlink(dir / "loop"));
    // Regression: a file this user may not read was "not a 256 color BMP".
    fs::permissions(dir.path(), fs::perms(0755));
    fs::permissions(dir / "a.bmp", fs::perms(0600));
    if (::geteuid() == 0) {  // then another user can be run
        EXPECT_EQ(Sh("exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$0\" info a.bmp",
                     dir.path()),
                  "1||\"a.bmp\" could not be read: Permission denied. The file was left "
                  "unchanged.\n");
    }
    fs::create_directory(dir / "sub");  // a folder stands for its PNG files too
    WriteFile(dir / "sub" / "q.PNG", png);
    const std::string recolored = Cli("recolor --no-backup -q -p 1:3 sub", dir.path());
    EXPECT_EQ(recolored + Cli("export-indices sub/q.PNG", dir.path()),
              "0||0|  0,  3,  2,  3,\r\n  0,  3,  2,  3,\r\n|");
    EXPECT_EQ(ReadFile(dir / "app" / "Tintwell.ini"), ini);  // never written
    EXPECT_EQ(Cli("export-indices a.bmp -o none/a.txt", dir.path())
                  .rfind("1||The color index list could not be saved. Could not create", 0),
              0u);
}

TEST(CliRestore, SaysWhatItRestoredAndWhatNotAndWhy) {
    TempDir dir;
    const auto image = [](int v) { return Bmp().Pixels([v](int, int) { return v; }).Build(); };
    WriteFile(dir / "a.bmp", image(1));
    WriteFile(dir / "b.bmp", image(2));
    fs::create_directory(dir / "Tintwell Backup");
    WriteFile(dir / "Tintwell Backup/a-001.bmp", image(3));
    const std::string a = (dir / "a.bmp").string(), b = (dir / "b.bmp").string(),
                      gone = (dir / "gone.bmp").string();
    EXPECT_EQ(Cli("restore " + a + " " + dir.path().string() + " " + gone, dir.path()),  // a once
              "1|Restored \"" + a +
                  "\" from \"a-001.bmp\"; its contents before are kept as "
                  "\"a.bmp\".\nRestored 1 of 3 files.\n|\"" +
                  a + "\" is the same file as \"" + a +
                  "\" and was not restored a second time.\n\"" + b + "\" has no backup in \"" +
                  (dir / "Tintwell Backup").string() + "\".\n\"" + gone + "\" not found.\n");
    EXPECT_EQ(ReadFile(a), image(3));
    EXPECT_EQ(ReadFile(dir / "Tintwell Backup/a.bmp"), image(1));
    EXPECT_EQ(Cli("restore " + a, dir.path()).substr(0, 2), "0|");  // every file restored
    // A build keeps its settings beside the program.
    EXPECT_EQ(Cli("info --settings-path", dir.path()),
              "0|" + (fs::path(TINTWELL_CLI_PATH).parent_path() / "Tintwell.ini").string() + "\n|");
}

// Every index one up per run, in backed-up runs of two jobs: after k runs an
// image holds its first pixels plus k.
const char* const kRun = "R() { exec \"$0\" recolor --backup -p 0-254:1-255,255:0 -q -j 2 .; }; ";
constexpr int kFiles = 20;
int Base(int file, int x, int y) {
    return (file * 7 + x + y * 13) % 256;
}
void MakeImages(const fs::path& dir, int side) {
    for (int f = 0; f < kFiles; ++f)
        WriteFile(
            dir / ("img" + std::to_string(f) + ".bmp"),
            Bmp().Size(side, side).Pixels([f](int x, int y) { return Base(f, x, y); }).Build());
}
// How many runs the image at `path` ("imgN...") has seen; -1 when it is no whole image.
int Runs(const fs::path& path) {
    const int file = std::stoi(path.filename().string().substr(3));
    clsBitmap b;
    if (!b.LoadFromFile(path) || b.BitCount() != 8) return -1;
    const int k = (b.GetPixelAt(0, 0) - Base(file, 0, 0) + 256) % 256;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.GetPixelAt(x, y) != (Base(file, x, y) + k) % 256) return -1;
    return k;
}
// Per image, the run counts of its backups; temporaries under "tmp".
std::map<std::string, std::multiset<int>> Backups(const fs::path& dir) {
    std::map<std::string, std::multiset<int>> runs;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (name.find(".tmp-tintwell") != std::string::npos) runs["tmp"].insert(0);
        if (name[0] == '.' || e.path().parent_path() == dir) continue;
        runs[name.substr(0, name.find_first_of("-."))].insert(Runs(e.path()));
    }
    return runs;
}

// Regression: two backed-up runs over one folder overwrote each other's
// backups and lost updates, both reporting success.
TEST(ConcurrentRuns, TwoBackedUpRunsApplyEachChangeOnceAndBackEachStateUpOnce) {
    constexpr int kRounds = 20;
    TempDir dir;
    MakeImages(dir.path(), 32);
    for (int round = 0; round < kRounds; ++round)
        ASSERT_EQ(
            Sh(std::string(kRun) + "R & a=$!; R & b=$!; wait $a; x=$?; wait $b; exit $((x+$?))",
               dir.path()),
            "0||")
            << "round " << round;
    std::multiset<int> everyState;  // the bytes before each run, in one backup each
    for (int k = 0; k < 2 * kRounds; ++k)
        everyState.insert(k);
    const auto backups = Backups(dir.path());
    EXPECT_EQ(backups.count("tmp"), 0u);
    for (int f = 0; f < kFiles; ++f) {
        const std::string image = "img" + std::to_string(f);
        EXPECT_EQ(Runs(dir / (image + ".bmp")), 2 * kRounds) << image;
        EXPECT_EQ(backups.at(image), everyState) << image;
    }
}

TEST(ConcurrentRuns, RunsKilledAtRandomLeaveWholeFilesAndACleanRunLeavesNoTemporary) {
    TempDir dir;
    MakeImages(dir.path(), 160);
    std::mt19937 rng(13);
    for (int round = 0; round < 30; ++round)
        Sh(std::string(kRun) + "R & a=$!; R & b=$!; sleep " + std::to_string(rng() % 60 / 1000.0) +
               "; kill -9 $a" + (rng() % 2 ? " $b" : "") + "; wait",
           dir.path());
    ASSERT_EQ(Sh(std::string(kRun) + "R", dir.path()), "0||");
    const auto backups = Backups(dir.path());
    EXPECT_EQ(backups.count("tmp"), 0u);
    for (const auto& [image, runs] : backups) {
        EXPECT_GT(Runs(dir / (image + ".bmp")), 0) << image;
        EXPECT_EQ(runs.count(-1), 0u) << image;
    }
}

// Regression: the limit ended the program with SIGXFSZ in the middle of a batch.
TEST(CliRecolor, AFileSizeLimitFailsOneFileAsAFullDiskAndTheBatchGoesOn) {
    TempDir dir;
    WriteFile(dir / "big.bmp", Bmp().Size(200, 200).Build());  // 41 kB
    WriteFile(dir / "small.bmp", Bmp().Build());
    const std::string r =
        Sh("ulimit -f 40 && exec \"$0\" recolor --no-backup -p 1:2 -j 1 big.bmp small.bmp",
           dir.path());
    EXPECT_EQ(r.substr(0, r.find("|\"")), "1|Recolored 1 of 2 files. 1 refused.\n");
    EXPECT_NE(r.find("No space left on device"), std::string::npos) << r;
}

// On a terminal a run that takes long shows how far it is and clears that
// line before the summary; into a file or a pipe it shows nothing.
TEST(CliRecolor, ShowsProgressOnATerminalOnly) {
    TempDir dir;
    MakeImages(dir.path(), 8);
    const std::string waits = "flock img3.bmp sleep 0.8 & sleep 0.2; ",  // past the first 500 ms
        run = " recolor --no-backup -p 1:2 -j 1 .";
    const std::string tty = Sh(waits + "script -qec \"'$0'" + run + "\" /dev/null", dir.path());
    EXPECT_TRUE(std::regex_match(tty, std::regex("0\\|(\r\x1b\\[KRecoloring [0-9]+ of 20 files "
                                                 "\\([0-9]+%\\))+\r\x1b\\[KRecolored 20 of "
                                                 "20 files\\.\r\n\\|")))
        << tty;
    EXPECT_EQ(Sh(waits + "\"$0\"" + run, dir.path()), "0|Recolored 20 of 20 files.\n|");
}

// Regression: file names sent terminal codes and turned lines around.
TEST(CliCommands, FileNamesAreShownWithControlCharactersEscaped) {
    TempDir dir;
    const std::string evil = "\x1b]0;pwned\x07\xe2\x80\xae\xc2\x9b.bmp";
    WriteFile(dir / evil, "no bmp");
    fs::create_directory(dir / "Tintwell Backup");
    WriteFile(dir / "Tintwell Backup" / evil, Bmp().Build());
    for (const char* command : {"recolor -p1:2", "info", "restore", "export-indices"}) {
        const std::string r = Sh(std::string("exec \"$0\" ") + command + " ./*.bmp", dir.path());
        EXPECT_NE(r.find("\\x1b]0;pwned\\x07\\xe2\\x80\\xae\\xc2\\x9b.bmp"), std::string::npos)
            << r;
        EXPECT_TRUE(std::all_of(r.begin(), r.end(), [](char c) { return c == '\n' || c >= ' '; }))
            << r;
    }
}

// Regression: a reader that went away killed the program with SIGPIPE, and a
// stop signal ended a run in the middle of a file.
TEST(CliCommands, AReaderThatLeavesAndAStopSignalEndTheRunCleanly) {
    TempDir dir;
    MakeImages(dir.path(), 8);
    WriteFile(dir / "big.bmp", Bmp().Size(512, 512).Build());
    EXPECT_EQ(Sh("{ \"$0\" export-indices big.bmp; echo $? >a; } | head -c1 >/dev/null; cat a",
                 dir.path()),
              "0|1\n|");
    fs::remove(dir / "big.bmp");
    // The signal comes while the run waits for a file another program has locked.
    const std::string r =
        Sh("flock img5.bmp sleep 1 & sleep 0.1; \"$0\" recolor -p 0-254:1-255,255:0 "
           "--no-backup -q -j 1 . & p=$!; sleep 0.3; kill -TERM $p; wait $p",
           dir.path());
    EXPECT_EQ(r, "143||tintwell-cli recolor: stopped by signal 15; 4 files were left untouched\n");
    int untouched = 0;
    for (int f = 0; f < kFiles; ++f)
        untouched += Runs(dir / ("img" + std::to_string(f) + ".bmp")) == 0;
    EXPECT_EQ(untouched, 4);  // img6 .. img9 come after img5 in the folder's order
}

// Memory is bounded by the image, not the header's claims: under a small
// address-space limit a sparse 2 GiB file is described, listed and backed up
// keeping its holes, and an RLE8 image too large to hold recoloured and listed.
TEST(CliMemory, ASparseFileClaimingTwoGibibytesTakesLittleMemoryAndKeepsItsHoles) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
    TempDir dir;
    const auto allocated = [](const fs::path& p) {
        struct stat st {};
        return ::stat(p.c_str(), &st) == 0 ? std::int64_t{st.st_blocks} * 512 : -1;
    };
    const auto limited = [&](const std::string& command) {
        return Sh("ulimit -v 262144 && exec \"$0\" " + command, dir.path()).substr(0, 2);
    };
    WriteFile(dir / "big.bmp", Bmp().Size(64, 64).Set32(kBfSize, 0x7FFFFFFF).Build());
    WriteFile(dir / "deep.bmp", Bmp().Size(64, 64).Bits(24).Set32(kBfSize, 0x7FFFFFFF).Build());
    for (const char* name : {"big.bmp", "deep.bmp"})
        fs::resize_file(dir / name, std::uintmax_t{1} << 31);
    EXPECT_EQ(limited("info big.bmp") + limited("export-indices big.bmp -o big.txt") +
                  limited("recolor -p 61:7 --backup big.bmp") +
                  limited("recolor -p 61:7 --backup deep.bmp"),
              "0|0|0|1|");
    EXPECT_EQ(fs::file_size(dir / "big.txt"), 64u * (64 * 4 + 2));
    for (const char* name :
         {"big.bmp", "deep.bmp", "Tintwell Backup/big.bmp", "Tintwell Backup/deep.bmp"}) {
        EXPECT_EQ(fs::file_size(dir / name), std::uintmax_t{1} << 31) << name;
        EXPECT_LT(allocated(dir / name), 1 << 20) << name;
    }
    clsBitmap after;
    ASSERT_TRUE(after.LoadFromFile(dir / "big.bmp"));
    EXPECT_EQ(after.GetPixelAt(5, 9), 7);
    // A 16384 x 16384 image in a 4-byte RLE8 stream: recolouring streams it,
    // and so does its list. Regression: the list held the image, which did not fit.
    WriteFile(dir / "huge.bmp", Bmp().Size(16384, 16384).Rle({-1, 1, 0, 1}).Build());
    EXPECT_EQ(limited("recolor -p 1:2 --backup huge.bmp") +
                  limited("export-indices huge.bmp -o /dev/null"),
              "0|0|");
    EXPECT_EQ(ReadFile(dir / "huge.bmp")[1078 + 1], 2);
    // Regression: restore held the backup whole, and the image it decoded.
    EXPECT_EQ(limited("restore big.bmp huge.bmp"), "0|");
    EXPECT_EQ(ReadFile(dir / "huge.bmp")[1078 + 1], 1);
    EXPECT_LT(allocated(dir / "big.bmp"), 1 << 20);
}

}  // namespace
}  // namespace tintwell::test
