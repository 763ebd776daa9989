// RecolorFile over the malformed-file corpus, cut files, backups and the
// failures of writing: every file afterwards holds its old bytes or the whole
// recoloured image, every backup is a whole copy, every refusal is reported.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>
#include <random>

#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "settings/clsINI.h"
#include "support/MalformedCorpus.h"
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

const char* Title(Outcome o) {
    const char* titles[] = {"",
                            "BMP is not 8-bit;",
                            "BMP not readable;",
                            "BMP is incomplete;",
                            "BMP is not supported;",
                            "BMP is damaged;"};
    return titles[static_cast<int>(o)];
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
    const bool done = c.outcome == Outcome::Recolored;
    const std::string after = done ? Recolored(c.bytes) : c.bytes;
    EXPECT_EQ(Recolor(dir / "case.bmp", false), std::to_string(done) + " " + Title(c.outcome));
    EXPECT_EQ(ReadFile(dir / "case.bmp"), after);
    EXPECT_EQ(Recolor(dir / "case.bmp", true), std::to_string(done) + " " + Title(c.outcome));
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
    clsBitmap bmp;
    Load(bmp, Bmp().Set32(kWidth, -5).Build());
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
        {Bmp().Set32(kCompression, 3), "but its compression (bit fields, 0x3) is not supported."},
        {Bmp().Set32(kCompression, 2), "but its compression (RLE4) is not supported."},
        {Bmp().Size(2, 1).Rle({3, 1, 0, 1}),
         "has damaged compressed pixel data: a run of pixels goes past the end of its row."}};
    TempDir dir;
    for (const auto& [b, text] : refused) {
        WriteFile(dir / "a.bmp", b.Build());
        RecordingMessageBox box;
        EXPECT_FALSE(RecolorFile(dir / "a.bmp", false, {}, false, ColorMap{}, box));
        EXPECT_NE(box.shown.at(0).text.find(text), std::string::npos) << box.shown[0].text;
    }
}

TEST(Backups, AreNumberedFromTheFilesNameAndAFreedNumberIsTakenAgain) {
    TempDir dir;
    const fs::path backups = dir / "Tintwell Backup";
    fs::create_directory(backups);
    const std::tuple<const char*, std::vector<std::string>, const char*> cases[] = {
        {"a.bmp", {}, "a.bmp"},
        {"a.bmp", {"a.bmp", "a-001.bmp", "a-003.bmp"}, "a-002.bmp"},
        {"sky.night.BMP", {"sky.night.BMP"}, "sky.night-001.bmp"},
        {"plain", {"plain"}, "plain-001.bmp"},
    };
    for (const auto& [file, taken, next] : cases) {
        for (const std::string& name : taken)
            WriteFile(backups / name, "x");
        EXPECT_EQ(NextBackupPath(dir / file, backups), backups / next);
        fs::remove_all(backups);
        fs::create_directory(backups);
    }
    for (int n = 0; n <= 999; ++n)  // all taken: the 999th is overwritten
        WriteFile(backups / (n ? "t-" +
                                     std::string(n < 10    ? "00"
                                                 : n < 100 ? "0"
                                                           : "") +
                                     std::to_string(n) + ".bmp"
                               : "t.bmp"),
                  "");
    EXPECT_EQ(NextBackupPath(dir / "t.bmp", backups), backups / "t-999.bmp");
    EXPECT_EQ(BackupFolderFor("a.bmp"), fs::path("Tintwell Backup"));
}

TEST(Backups, AreWholeCopiesOfTheirOwnWhateverTheFileIs) {
    TempDir dir;
    const std::string x = Bmp().Size(300, 200).Build(), y = Recolored(x);
    WriteFile(dir / "a.bmp", x);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(Recolor(dir / "a.bmp", true), "1 ");
    fs::create_hard_link(dir / "a.bmp", dir / "second name.bmp");
    fs::create_directory(dir / "real");
    WriteFile(dir / "real" / "t.bmp", x);
    fs::create_symlink("real/t.bmp", dir / "link.bmp");
    ASSERT_EQ(Recolor(dir / "a.bmp", true), "1 ");
    ASSERT_EQ(Recolor(dir / "link.bmp", true), "1 ");
    const fs::path b = dir / "Tintwell Backup";
    EXPECT_EQ(ReadFile(b / "a.bmp"), x);
    EXPECT_EQ(ReadFile(b / "a-001.bmp"), y);
    EXPECT_EQ(ReadFile(b / "a-002.bmp"), Recolored(y));
    EXPECT_EQ(ReadFile(b / "a-003.bmp"), y);
    EXPECT_EQ(ReadFile(dir / "second name.bmp"), y);
    EXPECT_EQ(ReadFile(b / "link.bmp"), x);
    EXPECT_EQ(ReadFile(dir / "real" / "t.bmp"), y);
    EXPECT_TRUE(fs::is_symlink(dir / "link.bmp"));
    for (const auto& e : fs::directory_iterator(b))
        EXPECT_EQ(fs::hard_link_count(e.path()), 1u) << e.path();
    EXPECT_EQ(fs::hard_link_count(dir / "a.bmp"), 1u);
}

// A full disk with backups on was reported as "its backup copy could not be
// made"; what failed first was writing the new file, and no partial backup stays.
TEST(RecolorFileFaults, AFullDiskLeavesTheFileWholeAndSaysWhatFailed) {
    TempDir dir;
    const std::string old = Bmp().Size(64, 64).ClrUsed(16).Build();
    WriteFile(dir / "a.bmp", old);
    for (const bool backup : {false, true}) {
        FileSizeLimit disk(3000);
        EXPECT_EQ(Recolor(dir / "a.bmp", backup), "0 Save Failed;");
    }
    EXPECT_EQ(ReadFile(dir / "a.bmp"), old);
    EXPECT_EQ(fs::hard_link_count(dir / "a.bmp"), 1u);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"Tintwell Backup", "a.bmp"}));
}

TEST(RecolorFileFaults, ReadOnlyFilesAndFoldersAreLeftAlone) {
    TempDir dir;
    const std::string old = Bmp().Build();
    for (const char* name : {"ro", "folder"}) {
        fs::create_directory(dir / name);
        WriteFile(dir / name / "a.bmp", old);
        WriteFile(dir / name / "Tintwell.ini", "[General]\r\nZoom=2\r\n");
        WriteFile(dir / name / "a.txt", "old list");
        for (const char* file : {"", "a.bmp", "a.txt", "Tintwell.ini"})
            GiveToNobody(dir / name / file);
    }
    fs::permissions(dir / "ro" / "a.bmp", fs::perms(0444));
    fs::permissions(dir / "ro" / "Tintwell.ini", fs::perms(0444));
    fs::permissions(dir / "ro" / "a.txt", fs::perms(0444));
    fs::permissions(dir / "folder", fs::perms(0555));
    const std::string seen = AsUnprivilegedUser([&](std::string& r) {
        for (const char* name : {"ro", "folder"}) {
            r += Recolor(dir / name / "a.bmp", false) + Recolor(dir / name / "a.bmp", true);
            clsBitmap bmp;
            Load(bmp, old);
            std::string error;
            r += std::to_string(bmp.SaveAsFile(dir / name / "a.bmp")) +
                 std::to_string(
                     static_cast<int>(WriteColorIndexList(bmp, dir / name / "a.txt", error)));
            RecordingMessageBox box;
            clsINI ini(box);
            ini.LoadINI((dir / name / "Tintwell.ini").string());
            ini.WriteValue("General", "Zoom", "3");
            r += box.Titles() + "|";
        }
    });
    fs::permissions(dir / "folder", fs::perms(0755));
    // The read-only file's backup is made before the refusal; the folder can take none.
    EXPECT_EQ(seen,
              "0 Save Failed;0 Save Failed;02Could not save INI file.;|"
              "0 Save Failed;0 Backup Failed;02Could not save INI file.;|");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{
                                 "folder", "folder/Tintwell.ini", "folder/a.bmp", "folder/a.txt",
                                 "ro", "ro/Tintwell Backup", "ro/Tintwell Backup/a.bmp",
                                 "ro/Tintwell.ini", "ro/a.bmp", "ro/a.txt"}));
    EXPECT_EQ(ReadFile(dir / "folder" / "a.txt"), "old list");
    for (const char* file : {"ro/a.bmp", "folder/a.bmp", "ro/Tintwell Backup/a.bmp"})
        EXPECT_EQ(ReadFile(dir / file), old) << file;
}

TEST(RecolorFileFaults, AFileChangedSinceItWasListedIsTakenAsItNowIs) {
    TempDir dir;
    const fs::path path = dir / "a.bmp";
    WriteFile(dir / "Tintwell Backup", "a file, not a folder");
    EXPECT_EQ(Recolor(path, true), "0 Not Found;");
    fs::create_directory(path);
    EXPECT_EQ(Recolor(path, false), "0 Not Found;");
    fs::remove(path);
    WriteFile(path, "not a bitmap");
    EXPECT_EQ(Recolor(path, false), "0 BMP is not 8-bit;");
    EXPECT_EQ(Recolor(path, true), "0 Backup Failed;");
    EXPECT_EQ(ReadFile(path), "not a bitmap");
    EXPECT_EQ(ReadFile(dir / "Tintwell Backup"), "a file, not a folder");
    std::string why;
    fs::path made;
    EXPECT_FALSE(MakeBackup(dir / "Tintwell Backup" / "x.bmp", made, why));
    EXPECT_NE(why.find("Tintwell Backup"), std::string::npos);
}

// Regression guard: a writer killed at any moment leaves old or new bytes.
TEST(RecolorFileFaults, AWriterKilledAtRandomMomentsLeavesWholeFilesAndBackups) {
    TempDir dir;
    const std::string x = Bmp().Size(512, 256).Build(), y = Recolored(x), xSaved = Recolored(y);
    auto whole = [&](const std::string& b) { return b == x || b == y || b == xSaved; };
    WriteFile(dir / "a.bmp", x);
    std::mt19937 rng(11);
    for (int i = 0; i < 15; ++i) {
        const pid_t pid = ::fork();
        if (pid == 0)
            for (;;)
                Recolor(dir / "a.bmp", true);
        ::usleep(std::uniform_int_distribution<unsigned>(0, 20000)(rng));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        ASSERT_TRUE(whole(ReadFile(dir / "a.bmp"))) << "after kill " << i;
    }
    for (const auto& e : fs::directory_iterator(dir / "Tintwell Backup"))
        if (e.path().filename().string()[0] != '.') {
            EXPECT_TRUE(whole(ReadFile(e.path()))) << e.path();
        }
    EXPECT_EQ(Recolor(dir / "a.bmp", true), "1 ");
    for (const std::string& name : dir.Entries())
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

}  // namespace
}  // namespace tintwell::test
