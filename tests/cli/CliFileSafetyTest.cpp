// tintwell-cli when two runs meet, when runs are killed at random moments,
// under a file-size limit, and with map names that hold terminal codes.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>

#include "bitmap/TemporaryFiles.h"
#include "bitmap/clsBitmap.h"
#include "cli/CliRunner.h"
#include "cli/CliTestSupport.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 20;
// Every index one up: after k runs a pixel holds its first value plus k.
const std::vector<std::string> kRun = {"recolor", "--backup", "--pairs", "0-254:1-255,255:0",
                                       "-q",      "-j",       "2",       "."};

int Base(int file, int x, int y) {
    return (file * 7 + x + y * 13) % 256;
}

// Images img0.bmp .. img19.bmp in `dir`.
void MakeImages(const fs::path& dir, int side) {
    for (int f = 0; f < kFiles; ++f)
        test::BmpBuilder()
            .Size(side, side)
            .Pixels([f](int x, int y) { return Base(f, x, y); })
            .WriteTo(dir / ("img" + std::to_string(f) + ".bmp"));
}

// How many runs the image at `path` has seen; -1 when it is no whole image.
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

// Runs `script` in a shell in `dir`: $0 is tintwell-cli, R "$@" runs it with kRun.
test::CliResult Shell(const fs::path& dir, const std::string& script) {
    std::vector<std::string> args = {"-c", "R() { exec \"$0\" \"$@\"; }; " + script,
                                     TINTWELL_CLI_PATH};
    args.insert(args.end(), kRun.begin(), kRun.end());
    return test::RunProgram("/bin/sh", args, dir);
}

// Per image (temporaries as "tmp"): the run counts of its backups.
std::map<std::string, std::multiset<int>> Backups(const fs::path& dir) {
    std::map<std::string, std::multiset<int>> runs;
    for (const auto& e : fs::recursive_directory_iterator(dir)) {
        const std::string name = e.path().filename().string();
        if (TemporaryFiles::IsTemporaryName(name)) runs["tmp"].insert(0);
        if (name[0] == '.' || e.path().parent_path() == dir) continue;
        runs[name.substr(0, name.find_first_of("-."))].insert(Runs(e.path()));
    }
    return runs;
}

TEST(ConcurrentRuns, TwoBackedUpRunsApplyEachChangeOnceAndBackEachStateUpOnce) {
    constexpr int kRounds = 20;
    test::TempDir dir;
    MakeImages(dir.path(), 32);
    const auto start = std::chrono::steady_clock::now();
    const std::string both =
        "R \"$@\" & a=$!; R \"$@\" & b=$!; wait $a; x=$?; wait $b; exit $((x+$?))";
    for (int round = 0; round < kRounds; ++round)
        ASSERT_EQ(Shell(dir.path(), both).exitCode, 0) << "round " << round;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
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
    std::printf("%d rounds of 2 runs over %d files: %.2f s\n", kRounds, kFiles, took.count());
}

TEST(ConcurrentRuns, RunsKilledAtRandomLeaveWholeFilesAndACleanRunLeavesNoTemporary) {
    test::TempDir dir;
    MakeImages(dir.path(), 160);
    std::mt19937 rng(13);
    for (int round = 0; round < 30; ++round) {
        const std::string pause = std::to_string(rng() % 60 / 1000.0);
        Shell(dir.path(), "R \"$@\" & a=$!; R \"$@\" & b=$!; sleep " + pause + "; kill -9 $a" +
                              (rng() % 2 ? " $b" : "") + "; wait");
    }
    const std::size_t left = Backups(dir.path())["tmp"].size();
    ASSERT_EQ(Shell(dir.path(), "R \"$@\"").exitCode, 0);
    const auto backups = Backups(dir.path());
    EXPECT_EQ(backups.count("tmp"), 0u);
    std::size_t total = 0;
    for (const auto& [image, runs] : backups) {
        EXPECT_GT(Runs(dir / (image + ".bmp")), 0) << image;
        EXPECT_EQ(runs.count(-1), 0u) << image;
        total += runs.size();
    }
    std::printf("30 kill rounds: %zu temporaries left, none after a clean run; %zu whole backups\n",
                left, total);
}

// The limit used to end the program with SIGXFSZ in the middle of a batch.
TEST(CliFileSafety, AFileSizeLimitFailsOneFileAsAFullDiskAndTheBatchGoesOn) {
    test::TempDir dir;
    test::BmpBuilder().Size(200, 200).WriteTo(dir / "big.bmp");  // 41 kB
    test::BmpBuilder().Size(5, 5).WriteTo(dir / "small.bmp");
    const test::CliResult r =
        Shell(dir.path(),
              "ulimit -f 40 && exec \"$0\" recolor --no-backup -p 1:2 -j 1 big.bmp small.bmp");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "Recolored 1 of 2 files. 1 refused.\n");
}

TEST(CliFileSafety, MapNamesAreShownWithControlCharactersEscaped) {
    test::TempDir dir;
    const std::string evil = "Evil\x1b[2J\x07";
    test::WriteText(dir / "s.ini", "[General]\r\nNumColorMaps=2\r\n\r\n[List 1]\r\nName=" + evil +
                                       "\r\n\r\n[List 2]\r\nName=A" + std::string(1, '\0') +
                                       "B\xc2\x9b\r\n");
    const test::CliResult maps = test::RunCli({"maps", "-s", (dir / "s.ini").string()});
    EXPECT_EQ(maps.out,
              "Map  Changed  Name\n  1        0  Evil\\x1b[2J\\x07\n"
              "  2        0  A\\x00B\\xc2\\x9b\n");
    const test::CliResult one = test::RunCli({"show-map", evil, "-s", (dir / "s.ini").string()});
    EXPECT_EQ(one.out, "Map 1 \"Evil\\x1b[2J\\x07\": 0 of 256 entries change a color.\n");
}

}  // namespace
}  // namespace tintwell
