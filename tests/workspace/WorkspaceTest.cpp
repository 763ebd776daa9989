// The rules the window and the command line share: which files a folder
// offers, letter case of names, the stored colour maps and the pairs syntax,
// batches, the session and where the settings live.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <random>

#include "core/modRecolor.h"
#include "png/PngDataWriter.h"
#include "support/BmpBuilder.h"
#include "support/FailingCalls.h"
#include "support/PngKit.h"
#include "support/TestKit.h"
#include "workspace/BackupGroups.h"
#include "workspace/ColorPairs.h"
#include "workspace/FileBatch.h"
#include "workspace/FolderListing.h"
#include "workspace/ImageFileList.h"
#include "workspace/MapStore.h"
#include "workspace/Session.h"
#include "workspace/SettingsLocation.h"
#include "workspace/TextCase.h"

namespace tintwell::test {
namespace {

// Sets an environment variable of this test program; null unsets it.
void SetEnv(const char* name, const char* value) {
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
}

// "files worked done refused same stopped".
std::string Counts(const BatchTotals& t) {
    std::string s;
    for (std::size_t n : {t.files, t.worked, t.done, t.refused, t.same, std::size_t{t.stopped}})
        s += (s.empty() ? "" : " ") + std::to_string(n);
    return s;
}

TEST(FolderListing, OffersVisibleBmpFilesAndLinksToThemInOrderWithoutRegardToCase) {
    TempDir dir;
    struct Entry {
        const char* name;
        char kind;  // f file, d folder, l link to a.bmp, b broken link, p FIFO
        bool listed;
    } const entries[] = {
        {"a.bmp", 'f', true},        {"B.BMP", 'f', true},
        {".hidden.bmp", 'f', false},  // regression: the command line listed hidden files
        {".bmp", 'f', false},        {"_under.bmp", 'f', true},
        {"äpfel.bmp", 'f', true},    {"Äpfel.bmp", 'f', true},
        {"zebra.Bmp", 'f', true},    {"x.bmpx", 'f', false},
        {"bmp", 'f', false},         {"dir.bmp", 'd', false},
        {"link.bmp", 'l', true},     {"broken.bmp", 'b', false},
        {"pipe.bmp", 'p', false},    {"sub/x.bmp", 'f', true},  // below: walked by -r only
        {".git/z.bmp", 'f', true},   {"Tintwell Backup/w.bmp", 'f', true},
        {"sprite.png", 'f', true},   {"Tile.PNG", 'f', true},
        {"x.pngx", 'f', false},
    };
    for (const Entry& e : entries) {
        const fs::path p = dir / e.name;
        fs::create_directories(p.parent_path());
        if (e.kind == 'f') WriteFile(p, "x");
        if (e.kind == 'd') fs::create_directory(p);
        if (e.kind == 'l') fs::create_symlink("a.bmp", p);
        if (e.kind == 'b') fs::create_symlink("gone.bmp", p);
        if (e.kind == 'p') ::mkfifo(p.c_str(), 0600);
    }
    fs::create_directory_symlink(dir / "sub", dir / "link");
    for (const Entry& e : entries)
        EXPECT_EQ(FolderListing::IsListedFile(dir / e.name), e.listed || e.name[3] == '/')
            << e.name;
    const std::string order =
        "_under.bmp a.bmp B.BMP link.bmp sprite.png Tile.PNG zebra.Bmp Äpfel.bmp äpfel.bmp ";
    EXPECT_EQ(Joined(FolderListing::Names(dir.path()), " "), order);
    for (bool recursive : {false, true}) {
        ImageFileList list(recursive);
        list.Add(dir.path().string());
        list.Add((dir / "named.bmp").string());  // taken as it is
        std::string listed;
        for (const fs::path& p : list.Files())
            listed += p.lexically_relative(dir.path()).string() + " ";
        EXPECT_EQ(listed, order + (recursive ? "sub/x.bmp " : "") + "named.bmp ");
    }
    EXPECT_EQ(FolderListing::Read(dir / "none").error, "No such file or directory");
}

TEST(TextCase, UpperCasesAllOfUnicodeAndKeepsBytesThatAreNotUtf8) {
    const std::pair<const char*, const char*> rows[] = {
        {"Grün straße ǆ ﬃx ωμέγα ſ ⓐ𐐨", "GRÜN STRASSE Ǆ FFIX ΩΜΈΓΑ S Ⓐ𐐀"},
        {"\xff\xc3", "\xff\xc3"},
        {"a\xe2\x82", "A\xe2\x82"},
        {"\xc0\x80", "\xc0\x80"},
        {"\xe0\x80\xaf", "\xe0\x80\xaf"},  // over-long
        {"\xed\xa0\x80", "\xed\xa0\x80"},
        {"\xf4\x90\x80\x80a", "\xf4\x90\x80\x80A"}};  // no characters
    for (const auto& [text, upper] : rows)
        EXPECT_EQ(UpperCase(text), upper) << text;
}

// Applies the pairs `text` to `map`: "" when they parse, else why not.
std::string Apply(const std::string& text, ColorMap& map) {
    PairsSeen seen;
    std::string error;
    return ApplyPairs(text, map, seen, error) ? "" : "refused: " + error;
}

class Maps : public ::testing::Test {
  protected:
    Maps() : settings(box, dir.path()), store(settings) {}
    // "n:name:pairs" for each stored map.
    std::string Stored() {
        std::string s;
        for (std::int32_t n = 1; n <= store.Count(); ++n)
            s += std::to_string(n) + ":" + store.Name(n) + ":" + PairsText(store.Read(n)) + " ";
        return s;
    }
    ColorMapEntries Entries(const std::string& pairs) {
        ColorMap map;
        EXPECT_EQ(Apply(pairs, map), "");
        return map.Entries();
    }
    TempDir dir;
    RecordingMessageBox box;
    SettingsFile settings;
    MapStore store;
};

TEST_F(Maps, FindTheFirstNameEqualWithoutRegardToCaseAndRenumberOnDelete) {
    for (const char* name : {"Red", "Grün", "blue", "Blue"})
        store.Write(store.Count() + 1, name, Entries("1:2"));
    const std::pair<const char*, int> finds[] = {
        {"GRÜN", 2},  // regression: the command line compared bytes with std::toupper
        {"grün", 2}, {"Blue", 3}, {"BLUE", 3}, {"red", 1}, {"Gruen", 0}, {"", 0}};
    for (const auto& [name, number] : finds)
        EXPECT_EQ(store.Find(name), number) << name;
    store.Write(2, "GRÜN", Entries("3:4,5:6"));  // over map 2: its old entry goes
    EXPECT_EQ(Stored(), "1:Red:1:2 2:GRÜN:3:4,5:6 3:blue:1:2 4:Blue:1:2 ");
    store.Delete(2);
    EXPECT_EQ(Stored(), "1:Red:1:2 2:blue:1:2 3:Blue:1:2 ");
    store.Delete(3);
    EXPECT_EQ(store.Names(), (std::vector<std::string>{"Red", "blue"}));
    EXPECT_EQ(ReadFile(settings.Path()).find("[List 3]"), std::string::npos);
    settings.Ini().WriteValue("General", "NumColorMaps", "3");  // a map without a section
    store.Delete(1);
    EXPECT_EQ(Stored(), "1:blue:1:2 2:ERROR: ");
}

TEST(ColorPairs, PrintsRunsThatParseBackToTheSameMap) {
    const std::pair<const char*, const char*> rows[] = {
        {"", ""},
        {"3:7", "3:7"},
        {"16-31:32-47,3:7", "3:7,16-31:32-47"},
        {"16-31:47-32", "16-31:47-32"},
        {"1:2,2:3,3:9", "1-2:2-3,3:9"},
        {"0-255:255-0", "0-255:255-0"},
        {"0-10:10-0", "0-4:10-6,6-10:4-0"}};  // 5 stays
    for (const auto& [given, printed] : rows) {
        ColorMap map;
        const std::string why = Apply(given, map);
        ASSERT_TRUE(why.empty() || !*given) << given << why;
        EXPECT_EQ(PairsText(map.Entries()), printed) << given;
    }
    for (const char* wrong :
         {"3:", ":7", "3-:7", "0-1:1-", "3:7-", "256:0", "1234567890123456789:1"}) {
        ColorMap map;
        const std::string why = Apply(wrong, map);
        EXPECT_NE(why.find("is not a palette index"), std::string::npos) << wrong << why;
    }
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        ColorMap map, back;
        for (int k = 0; k < round % 40; ++k)
            map.SetEntry(static_cast<std::uint8_t>(random()), static_cast<std::uint8_t>(random()));
        const std::string text = PairsText(map.Entries());
        EXPECT_EQ(text.empty() ? "" : Apply(text, back), "") << text;
        EXPECT_EQ(back, map) << text;
    }
}

// Regression: a file reached by a link and by its name was recoloured twice,
// and a file with two names (hard links) once under each.
TEST(FileBatch, WorksOnEachFileOnceWhateverNamesLeadToItAndCountsTheResults) {
    TempDir dir;
    WriteFile(dir / "b.bmp", Bmp().Build());
    fs::create_symlink("a.bmp", dir / "link.bmp");
    fs::create_hard_link(dir / "b.bmp", dir / "hard.bmp");
    WriteFile(dir / "deep.bmp", Bmp().Bits(24).Build());
    std::vector<fs::path> files;
    for (const char* name :
         {"a.bmp", "link.bmp", "./a.bmp", "b.bmp", "hard.bmp", "deep.bmp", "gone.bmp"})
        files.push_back(dir / name);
    for (int jobs : {1, 3}) {
        SCOPED_TRACE(jobs);
        WriteFile(dir / "a.bmp", Bmp().Build());
        RecordingMessageBox box;
        std::string seen;
        const BatchTotals totals =
            FileBatch::Recolor({Inverted(), false, {}, false}, jobs)
                .Run(files, box, [&](std::size_t i, const BatchFileResult& r) {
                    seen += std::to_string(i) + ":" + std::to_string(int(r.outcome)) +
                            std::to_string(r.messages) + " ";
                });
        EXPECT_EQ(seen, "0:00 1:21 2:21 3:11 4:21 5:11 6:11 ");
        EXPECT_EQ(Counts(totals), "7 7 1 3 3 0");
        EXPECT_EQ(box.shown.at(0).title + box.shown.at(2).title, "Same FileFile Has Several Names");
        EXPECT_EQ(ReadFile(dir / "hard.bmp"), Bmp().Build());
    }
    RecordingMessageBox box;
    std::string asked;
    const BatchTotals stopped = FileBatch::Restore(true).Run(
        files, box, {}, [&](std::size_t finished, const fs::path& next) {
            asked += std::to_string(finished) + next.filename().string() + " ";
            return finished < 2;
        });
    EXPECT_EQ(asked, "0a.bmp 1link.bmp 2a.bmp ");
    EXPECT_EQ(Counts(stopped), "7 2 0 1 1 1");
}

// With several jobs a written file waits for the disk while its job goes on:
// a flush that fails then is reported for its own file, which keeps its bytes,
// and a stop still puts in place every file already written.
TEST(FileBatch, FlushesThatOutliveTheirJobFailOnlyTheirOwnFile) {
    TempDir dir;
    std::vector<fs::path> files;
    for (int i = 0; i < 8; ++i)
        files.push_back(dir / ("f" + std::to_string(i) + ".bmp"));
    const std::string before = Bmp().Build();
    TempDir alone;
    WriteFile(alone / "f.bmp", before);
    RecordingMessageBox none;
    ASSERT_TRUE(RecolorFile(alone / "f.bmp", false, {}, false, Inverted(), none));
    const std::string recolored = ReadFile(alone / "f.bmp");
    for (int failing : {0, 1, 6}) {
        SCOPED_TRACE(failing);
        for (const fs::path& f : files)
            WriteFile(f, before);
        RecordingMessageBox box;
        std::vector<std::size_t> refused;
        FailCall fault("fsync", EIO, failing ? failing : 100);
        const BatchTotals totals =
            FileBatch::Recolor({Inverted(), false, {}, false}, 2)
                .Run(
                    files, box,
                    [&](std::size_t i, const BatchFileResult& r) {
                        if (r.outcome != BatchFileResult::Outcome::Done) refused.push_back(i);
                        EXPECT_EQ(r.messages, r.outcome != BatchFileResult::Outcome::Done) << i;
                    },
                    [&](std::size_t finished, const fs::path&) { return failing || finished < 3; });
        EXPECT_EQ(totals.done + refused.size(), totals.worked);
        std::size_t changed = 0;
        for (std::size_t i = 0; i < files.size(); ++i) {
            const std::string after = ReadFile(files[i]);
            changed += after != before;
            if (after != before) {
                EXPECT_EQ(after, recolored) << i;
            }
        }
        EXPECT_EQ(changed, totals.done);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 8)
            << "a temporary was left";
        if (!failing) {
            EXPECT_TRUE(totals.stopped);
            continue;
        }
        EXPECT_EQ(Counts(totals), "8 8 7 1 0 0");
        ASSERT_EQ(refused.size(), 1u);
        ASSERT_EQ(box.shown.size(), 1u);
        EXPECT_EQ(box.shown[0].title, "Save Failed");
        EXPECT_NE(box.shown[0].text.find(files[refused[0]].string()), std::string::npos);
    }
}

// Job slots the files leave idle go to compressing one large PNG's image data.
TEST(FileBatch, GivesTheJobsTheFilesLeaveIdleToCompressingOneImage) {
    TempDir dir;
    WriteFile(dir / "a.bmp", Bmp().Build());
    RecordingMessageBox box;
    for (const auto& [jobs, files, threads] : {std::tuple{4, 1, 4}, {4, 3, 2}, {2, 5, 1}}) {
        FileBatch::Recolor({ColorMap{}, false, {}, false}, jobs)
            .Run(std::vector<fs::path>(static_cast<std::size_t>(files), dir / "a.bmp"), box);
        EXPECT_EQ(PngDataWriter::Threads(), threads) << jobs << " jobs, " << files << " files";
    }
    FileBatch::Restore(true).Run({dir / "a.bmp"}, box);
    EXPECT_EQ(PngDataWriter::Threads(), 1);
}

TEST(BackupGroups, JoinFilesWhoseBackupNamesMeetOrThatAreTheSameFile) {
    TempDir dir;
    WriteFile(dir / "real.bmp", "x");
    fs::create_directories(dir / "o");
    fs::create_symlink(dir / "real.bmp", dir / "o" / "link.bmp");
    fs::create_hard_link(dir / "real.bmp", dir / "o" / "hard.bmp");
    std::vector<fs::path> files;
    for (const char* name : {"x.bmp", "a.bmp", "a.BMP", "c.bmp", "a-001.bmp", "a-001-002.bmp",
                             "a.b.bmp", "a.b-017.bmp", "a-00x.bmp", "sub/a.bmp", "real.bmp",
                             "o/link.bmp", "o/../real.bmp", "o/hard.bmp", "o/x.bmp"})
        files.push_back(dir / name);
    EXPECT_EQ(GroupFilesThatMayClash(files),
              (std::vector<std::vector<std::size_t>>{
                  {0}, {1, 2, 4, 5}, {3}, {6, 7}, {8}, {9}, {10, 11, 12, 13}, {14}}));
}

TEST(Session, SelectingAFileReadsItsImageAfreshAndANewFolderSelectsNone) {
    TempDir dir;
    Session session;
    EXPECT_EQ(session.Image(), nullptr);
    std::string widths;
    for (int w : {2, 3, 4}) {
        WriteFile(dir / "a.bmp", Bmp().Size(w, 1).Build());
        if (w != 3) session.SelectFile(dir / "a.bmp");
        widths += std::to_string(session.Image()->Width());  // as loaded when selected
    }
    WriteFile(dir / "a.png", SmallPng(0));  // an indexed PNG as an 8-bit image
    session.SelectFile(dir / "a.png");
    widths +=
        std::to_string(session.Image()->Width()) + std::to_string(session.Image()->BitCount());
    session.SetFolder(dir.path());
    EXPECT_EQ(widths + std::to_string(session.HasSelectedFile()), "224480");
}

// Where Tintwell.ini lives, for the window and the command line alike.
TEST(SettingsLocation, BesideABuildOrPortableCopyElseInTheUsersConfigFolderWhoeverRuns) {
    struct Case {
        const char* name;
        bool help;        // the program's folder holds its help file
        bool asUser;      // run by an ordinary user, the folder read-only
        const char* xdg;  // XDG_CONFIG_HOME, null unset
        const char* expected;
    } const cases[] = {
        {"build", true, false, nullptr, "PROGRAM"},
        {"portable copy run by a user", true, true, nullptr, "PROGRAM"},
        {"installed, run by a user", false, true, nullptr, "/home/u/.config/Tintwell"},
        // Regression: an install that root can write kept root's settings for everyone.
        {"installed, run by root", false, false, nullptr, "/home/u/.config/Tintwell"},
        {"XDG_CONFIG_HOME", false, false, "/x/cfg", "/x/cfg/Tintwell"},
        // Regression: a relative value was taken relative to the working folder.
        {"relative XDG_CONFIG_HOME", false, false, "relcfg", "/home/u/.config/Tintwell"},
        {"empty XDG_CONFIG_HOME", false, false, "", "/home/u/.config/Tintwell"},
    };
    SetEnv("HOME", "/home/u");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetEnv("XDG_CONFIG_HOME", c.xdg);
        TempDir dir;
        fs::permissions(dir.path(), fs::perms(0755));
        const fs::path program = dir / "lib";
        fs::create_directory(program);
        if (c.help) WriteFile(program / "Tintwell.html", "help");
        GiveToNobody(program);
        if (c.asUser) fs::permissions(program, fs::perms(0555));
        const std::string report = InChild(
            [&](std::string& r) {
                r = SettingsLocation::SettingsFolder(program, SettingsLocation::UserConfigFolder());
            },
            c.asUser);
        fs::permissions(program, fs::perms(0755));
        EXPECT_EQ(report, std::string(c.expected) == "PROGRAM" ? program.string() : c.expected);
    }
}

TEST(SettingsLocation, AFirstStartOfAnInstallCopiesTheSamplesToTheUserAndListsThem) {
    EXPECT_EQ(SettingsLocation::ShareFolder("/usr/lib/tintwell"), "/usr/share/tintwell");
    TempDir dir;
    const fs::path program = dir / "lib", share = dir / "share", mine = dir / "data" / "Samples";
    fs::create_directories(program);
    EXPECT_EQ(SettingsLocation::DataFolder(program, share), program);  // no share folder
    fs::create_directories(share);
    for (const char* name : {"one.bmp", "two.BMP", "Tintwell.html"})
        WriteFile(share / name, name);
    EXPECT_EQ(SettingsLocation::DataFolder(program, share), share);
    const fs::path ini = dir / "cfg" / "Tintwell.ini";
    fs::create_directories(mine);
    WriteFile(mine / "two.BMP", "the user's own");
    // Regression: the first start listed the share folder, where no backup can be made.
    EXPECT_EQ(SettingsLocation::StartFolder(program, share, ini, mine), mine);
    EXPECT_EQ(Joined(FolderListing::Names(mine), " "), "one.bmp two.BMP ");
    EXPECT_EQ(ReadFile(mine / "two.BMP"), "the user's own");
    fs::remove(mine / "one.bmp");
    fs::create_directories(ini.parent_path());
    WriteFile(ini, "");
    EXPECT_EQ(SettingsLocation::StartFolder(program, share, ini, mine), mine);  // no copy now
    EXPECT_FALSE(fs::exists(mine / "one.bmp"));
    WriteFile(program / "Tintwell.html", "help");
    EXPECT_EQ(SettingsLocation::DataFolder(program, share), program);
    EXPECT_EQ(SettingsLocation::StartFolder(program, program, ini, mine), program);
    SetEnv("HOME", "/home/u");
    for (const char* value : {"/x/data", "rel", ""}) {
        SetEnv("XDG_DATA_HOME", value);
        EXPECT_EQ(
            SettingsLocation::UserSamplesFolder(),
            *value == '/' ? "/x/data/tintwell/Samples" : "/home/u/.local/share/tintwell/Samples");
    }
}

}  // namespace
}  // namespace tintwell::test
