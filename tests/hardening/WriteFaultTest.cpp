// Fault injection on writing: a full disk, read-only files and folders, paths
// that cannot be written even by root, files that vanish or change between
// listing and recolouring, an uncreatable backup folder, and writers killed at
// random moments. Afterwards every file holds its old bytes or the complete
// new ones, no temporary file is left once the next save has run, and every
// failure was reported.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "FaultHelpers.h"
#include "bitmap/clsBitmap.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "settings/clsINI.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using test::InChild;
using Bytes = std::vector<std::uint8_t>;

ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

// 64 x 64 8-bit: 5174 bytes as a save writes it.
const BmpBuilder kImage = BmpBuilder().Size(64, 64);

std::string ReadText(const fs::path& p) {
    const Bytes b = BmpBuilder::ReadFile(p);
    return {b.begin(), b.end()};
}

void WriteText(const fs::path& p, const std::string& text) {
    BmpBuilder::WriteFile(p, Bytes(text.begin(), text.end()));
}

// "result=<0|1> messages=<title>;<title>;" for what RecolorFile did.
std::string Recolor(const fs::path& path, bool backup) {
    test::RecordingMessageBox box;
    std::string r =
        "result=" +
        std::to_string(RecolorFile(path, backup, SelectionRect{}, false, Inverted(), box)) +
        " messages=";
    for (const auto& m : box.shown)
        r += m.title + ";";
    return r;
}

// The bytes RecolorFile writes for `original` with the inverted map.
Bytes RecolouredBytes(const Bytes& original) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "x.bmp", original);
    test::RecordingMessageBox box;
    EXPECT_TRUE(RecolorFile(dir / "x.bmp", false, SelectionRect{}, false, Inverted(), box));
    return BmpBuilder::ReadFile(dir / "x.bmp");
}

class WriteFault : public ::testing::Test {
  protected:
    void SetUp() override { fs::permissions(dir.path(), fs::perms(0755)); }
    // A folder the unprivileged child may write into.
    fs::path ChildFolder(const std::string& name) {
        const fs::path p = dir / name;
        fs::create_directory(p);
        test::GiveToChild(p);
        return p;
    }
    test::TempDir dir;
};

// --- a full disk: no file may grow beyond a limit ---------------------------

TEST_F(WriteFault, FullDiskSaveAsFileKeepsTheOldFileAndSaysWhy) {
    const fs::path path = dir / "a.bmp";
    const Bytes old = BmpBuilder().Size(5, 3).Build();
    BmpBuilder::WriteFile(path, old);
    const auto child = InChild(test::FileSizeLimit(2000), [&](std::string& r) {
        clsBitmap bmp;
        if (!bmp.LoadFromByteArray(kImage.Build())) return;
        r = "saved=" + std::to_string(bmp.SaveAsFile(path)) + " error=" + bmp.LastError();
    });
    EXPECT_EQ(child.report.rfind("saved=0 error=", 0), 0u) << child.report;
    EXPECT_NE(child.report.find("File too large"), std::string::npos) << child.report;
    EXPECT_EQ(BmpBuilder::ReadFile(path), old);
    EXPECT_EQ(test::CountTemporaries(dir.path()), 0u);
}

TEST_F(WriteFault, FullDiskRecolorFileKeepsTheFileAndReportsIt) {
    const fs::path path = dir / "a.bmp";
    const Bytes old = kImage.Build();
    BmpBuilder::WriteFile(path, old);
    const auto child =
        InChild(test::FileSizeLimit(3000), [&](std::string& r) { r = Recolor(path, false); });
    EXPECT_EQ(child.report, "result=0 messages=Save Failed;");
    EXPECT_EQ(BmpBuilder::ReadFile(path), old);
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"a.bmp"});
}

TEST_F(WriteFault, FullDiskRecolorFileWithBackupKeepsTheFileAndAnyBackupIsWhole) {
    // The rewrite is as long as the original: neither it nor the backup fits.
    const fs::path path = dir / "a.bmp";
    const Bytes old = BmpBuilder(kImage).ClrUsed(16).Build();
    BmpBuilder::WriteFile(path, old);
    for (const rlim_t limit : {3000u}) {
        SCOPED_TRACE(limit);
        const auto child =
            InChild(test::FileSizeLimit(limit), [&](std::string& r) { r = Recolor(path, true); });
        EXPECT_EQ(child.report, limit < old.size() ? "result=0 messages=Backup Failed;"
                                                   : "result=0 messages=Save Failed;");
        EXPECT_EQ(BmpBuilder::ReadFile(path), old);
        EXPECT_EQ(test::CountTemporaries(dir.path()), 0u);
        for (const auto& e : fs::directory_iterator(dir / "Tintwell Backup"))
            EXPECT_EQ(BmpBuilder::ReadFile(e.path()), old) << e.path();
    }
    EXPECT_TRUE(test::Entries(dir / "Tintwell Backup").empty());  // no partial copy
}

TEST_F(WriteFault, FullDiskSettingsSaveShowsTheMessageAndKeepsTheFileWhole) {
    const fs::path ini = dir / "Tintwell.ini";
    const std::string old = "[General]\r\nZoom=2\r\n";
    WriteText(ini, old);
    const auto child = InChild(test::FileSizeLimit(200), [&](std::string& r) {
        test::RecordingMessageBox box;
        clsINI settings(box);
        settings.LoadINI(ini.string());
        settings.WriteValue("General", "Folder", std::string(300, 'x'));
        settings.WriteValue("General", "Zoom", "3");
        for (const auto& m : box.shown)
            r += m.title + "|" + m.text.substr(0, 17) + ";";
    });
    // One message for both failed writes.
    EXPECT_EQ(child.report, "Could not save INI file.|clsINI.SaveFile: ;");
    EXPECT_EQ(ReadText(ini), old);
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"Tintwell.ini"});
}

TEST_F(WriteFault, FullDiskIndexListKeepsAnExistingFile) {
    const fs::path list = dir / "a.txt";
    WriteText(list, "old list\r\n");
    const auto child = InChild(test::FileSizeLimit(4000), [&](std::string& r) {
        clsBitmap bmp;
        if (!bmp.LoadFromByteArray(kImage.Build())) return;
        std::string error;
        r = std::to_string(static_cast<int>(WriteColorIndexList(bmp, list, error))) + " " + error;
    });
    EXPECT_EQ(child.report.rfind("2 ", 0), 0u) << child.report;  // Failed, with a reason
    EXPECT_GT(child.report.size(), 2u);
    EXPECT_EQ(ReadText(list), "old list\r\n");
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"a.txt"});
}

// A real full disk: a small memory file system filled up (skipped where the
// test may not mount one).
TEST_F(WriteFault, FullTmpfsLeavesEveryFileWhole) {
    const fs::path disk = dir / "disk";
    test::SmallDisk small(disk, "256k");
    if (!small.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
    const Bytes old = kImage.Build();
    BmpBuilder::WriteFile(disk / "a.bmp", old);
    WriteText(disk / "Tintwell.ini", "[General]\r\nZoom=2\r\n");
    WriteText(disk / "a.txt", "old list\r\n");
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(4096, 'f');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    EXPECT_EQ(Recolor(disk / "a.bmp", false), "result=0 messages=Save Failed;");
    EXPECT_EQ(Recolor(disk / "a.bmp", true), "result=0 messages=Backup Failed;");
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(old));
    EXPECT_FALSE(bmp.SaveAsFile(disk / "a.bmp"));
    test::RecordingMessageBox box;
    clsINI settings(box);
    settings.LoadINI((disk / "Tintwell.ini").string());
    settings.WriteValue("General", "Folder", std::string(5000, 'x'));
    EXPECT_EQ(box.shown.size(), 1u);
    std::string error;
    EXPECT_EQ(WriteColorIndexList(bmp, disk / "a.txt", error), IndexListResult::Failed);

    EXPECT_EQ(BmpBuilder::ReadFile(disk / "a.bmp"), old);
    EXPECT_EQ(ReadText(disk / "Tintwell.ini"), "[General]\r\nZoom=2\r\n");
    EXPECT_EQ(ReadText(disk / "a.txt"), "old list\r\n");
    EXPECT_EQ(test::CountTemporaries(disk), 0u);
}

// --- read-only files and folders (as an unprivileged user) -------------------

TEST_F(WriteFault, ReadOnlyFileIsNotReplacedByTheAtomicRename) {
    const fs::path folder = ChildFolder("art");
    const fs::path path = folder / "a.bmp";
    const Bytes old = kImage.Build();
    BmpBuilder::WriteFile(path, old);
    test::GiveToChild(path);
    fs::permissions(path, fs::perms(0444));
    for (const bool backup : {false, true}) {
        SCOPED_TRACE(backup);
        const auto child =
            InChild(test::AsUnprivilegedUser(), [&](std::string& r) { r = Recolor(path, backup); });
        EXPECT_EQ(child.report, "result=0 messages=Save Failed;");
        EXPECT_EQ(BmpBuilder::ReadFile(path), old);
        EXPECT_EQ(fs::status(path).permissions(), fs::perms(0444));
    }
    // The backup asked for was made (before the refusal) and is whole.
    EXPECT_EQ(BmpBuilder::ReadFile(folder / "Tintwell Backup" / "a.bmp"), old);
    EXPECT_EQ(test::CountTemporaries(folder), 0u);
}

TEST_F(WriteFault, ReadOnlyFolderIsNotWrittenInto) {
    const fs::path folder = ChildFolder("art");
    const fs::path path = folder / "a.bmp";
    const Bytes old = kImage.Build();
    BmpBuilder::WriteFile(path, old);
    test::GiveToChild(path);
    WriteText(folder / "Tintwell.ini", "[General]\r\nZoom=2\r\n");
    test::GiveToChild(folder / "Tintwell.ini");
    WriteText(folder / "a.txt", "old list\r\n");
    test::GiveToChild(folder / "a.txt");
    fs::permissions(folder, fs::perms(0555));
    const auto child = InChild(test::AsUnprivilegedUser(), [&](std::string& r) {
        r += Recolor(path, false) + " / " + Recolor(path, true);
        clsBitmap bmp;
        bmp.LoadFromByteArray(old);
        r += " / save=" + std::to_string(bmp.SaveAsFile(path));
        std::string error;
        r += " list=" +
             std::to_string(static_cast<int>(WriteColorIndexList(bmp, folder / "a.txt", error)));
        test::RecordingMessageBox box;
        clsINI settings(box);
        settings.LoadINI((folder / "Tintwell.ini").string());
        settings.WriteValue("General", "Zoom", "3");
        r += " ini=" + std::to_string(box.shown.size());
    });
    fs::permissions(folder, fs::perms(0755));
    EXPECT_EQ(child.report,
              "result=0 messages=Save Failed; / result=0 messages=Backup Failed; / save=0 list=2 "
              "ini=1");
    EXPECT_EQ(BmpBuilder::ReadFile(path), old);
    EXPECT_EQ(ReadText(folder / "Tintwell.ini"), "[General]\r\nZoom=2\r\n");
    EXPECT_EQ(ReadText(folder / "a.txt"), "old list\r\n");
    EXPECT_EQ(test::Entries(folder), (std::vector<std::string>{"Tintwell.ini", "a.bmp", "a.txt"}));
}

TEST_F(WriteFault, ReadOnlySettingsFileIsNotReplacedByTheAtomicRename) {
    const fs::path folder = ChildFolder("prog");
    const fs::path ini = folder / "Tintwell.ini";
    WriteText(ini, "[General]\r\nZoom=2\r\n");
    test::GiveToChild(ini);
    fs::permissions(ini, fs::perms(0444));
    const auto child = InChild(test::AsUnprivilegedUser(), [&](std::string& r) {
        test::RecordingMessageBox box;
        clsINI settings(box);
        settings.LoadINI(ini.string());
        settings.WriteValue("General", "Zoom", "3");
        for (const auto& m : box.shown)
            r += m.title + ";";
    });
    EXPECT_EQ(child.report, "Could not save INI file.;");
    EXPECT_EQ(ReadText(ini), "[General]\r\nZoom=2\r\n");
    EXPECT_EQ(test::Entries(folder), std::vector<std::string>{"Tintwell.ini"});
}

// --- paths no one can write, root included ---------------------------------

TEST_F(WriteFault, TargetThatIsAFolderIsLeftAlone) {
    const fs::path target = dir / "target";
    fs::create_directory(target);
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(kImage.Build()));
    EXPECT_FALSE(bmp.SaveAsFile(target));
    EXPECT_FALSE(bmp.LastError().empty());
    std::string error;
    EXPECT_EQ(WriteColorIndexList(bmp, target, error), IndexListResult::Failed);
    EXPECT_FALSE(error.empty());
    test::RecordingMessageBox box;
    clsINI settings(box);
    EXPECT_FALSE(settings.LoadINI(target.string()));
    settings.WriteValue("General", "Zoom", "3");
    EXPECT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(Recolor(target, false), "result=0 messages=Not Found;");
    EXPECT_TRUE(fs::is_directory(target));
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"target"});
}

TEST_F(WriteFault, TargetUnderARegularFileFailsAndSaysWhy) {
    WriteText(dir / "file", "x");
    const fs::path target = dir / "file" / "a.bmp";
    clsBitmap bmp;
    ASSERT_TRUE(bmp.LoadFromByteArray(kImage.Build()));
    EXPECT_FALSE(bmp.SaveAsFile(target));
    EXPECT_NE(bmp.LastError().find("Not a directory"), std::string::npos) << bmp.LastError();
    std::string error;
    EXPECT_EQ(WriteColorIndexList(bmp, dir / "file" / "a.txt", error), IndexListResult::Failed);
    test::RecordingMessageBox box;
    clsINI settings(box);
    settings.LoadINI((dir / "file" / "Tintwell.ini").string());
    settings.WriteValue("General", "Zoom", "3");
    settings.WriteValue("General", "Zoom", "4");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "Could not save INI file.");
    EXPECT_EQ(ReadText(dir / "file"), "x");
}

// --- the file changes between listing and recolouring -----------------------

TEST_F(WriteFault, FileDeletedAfterListingIsNotFoundAndNothingIsMade) {
    const fs::path path = kImage.WriteTo(dir / "a.bmp");
    fs::remove(path);
    EXPECT_EQ(Recolor(path, true), "result=0 messages=Not Found;");
    EXPECT_TRUE(test::Entries(dir.path()).empty());
}

TEST_F(WriteFault, FileReplacedAfterListingIsHandledAsItNowIs) {
    const fs::path path = kImage.WriteTo(dir / "a.bmp");
    // By a folder:
    fs::remove(path);
    fs::create_directory(path);
    EXPECT_EQ(Recolor(path, true), "result=0 messages=Not Found;");
    fs::remove(path);
    // By something that is no BMP:
    WriteText(path, "not a bitmap");
    EXPECT_EQ(Recolor(path, false), "result=0 messages=BMP is not 8-bit;");
    EXPECT_EQ(ReadText(path), "not a bitmap");
    // By another image: that one is recoloured, and backed up, as a whole.
    const Bytes other = BmpBuilder().Size(7, 5).Build();
    BmpBuilder::WriteFile(path, other);
    EXPECT_EQ(Recolor(path, true), "result=1 messages=");
    EXPECT_EQ(BmpBuilder::ReadFile(path), RecolouredBytes(other));
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "Tintwell Backup" / "a.bmp"), other);
    // By a link to an image elsewhere: the target is recoloured, the link stays.
    const Bytes third = BmpBuilder().Size(3, 3).Build();
    fs::create_directory(dir / "elsewhere");
    BmpBuilder::WriteFile(dir / "elsewhere" / "b.bmp", third);
    fs::remove(path);
    fs::create_symlink(dir / "elsewhere" / "b.bmp", path);
    EXPECT_EQ(Recolor(path, false), "result=1 messages=");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "elsewhere" / "b.bmp"), RecolouredBytes(third));
    EXPECT_EQ(test::CountTemporaries(dir.path()), 0u);
}

TEST_F(WriteFault, BackupFolderThatCannotBeCreatedKeepsTheFile) {
    const Bytes old = kImage.Build();
    const fs::path path = dir / "a.bmp";
    BmpBuilder::WriteFile(path, old);
    WriteText(dir / "Tintwell Backup", "a file, not a folder");
    EXPECT_EQ(Recolor(path, true), "result=0 messages=Backup Failed;");
    EXPECT_EQ(BmpBuilder::ReadFile(path), old);
    EXPECT_EQ(ReadText(dir / "Tintwell Backup"), "a file, not a folder");
    EXPECT_EQ(test::Entries(dir.path()), (std::vector<std::string>{"Tintwell Backup", "a.bmp"}));
}

// --- a batch goes on after a failure -----------------------------------------

TEST_F(WriteFault, BatchGoesOnWithTheNextFileAfterEachFailure) {
    const Bytes good = kImage.Build();
    const Bytes deep = BmpBuilder().Size(4, 4).Bits(24).Build();
    const Bytes cut = BmpBuilder(kImage).TruncateTo(3000).Build();
    BmpBuilder::WriteFile(dir / "1.bmp", good);
    BmpBuilder::WriteFile(dir / "3.bmp", deep);
    BmpBuilder::WriteFile(dir / "4.bmp", cut);
    BmpBuilder::WriteFile(dir / "5.bmp", good);
    std::string seen;
    for (const char* name : {"1.bmp", "2.bmp", "3.bmp", "4.bmp", "5.bmp"})
        seen += Recolor(dir / name, true) + " ";
    EXPECT_EQ(seen,
              "result=1 messages= result=0 messages=Not Found; result=0 messages=BMP is not 8-bit; "
              "result=0 messages=BMP is incomplete; result=1 messages= ");
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "1.bmp"), RecolouredBytes(good));
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "3.bmp"), deep);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "4.bmp"), cut);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "5.bmp"), RecolouredBytes(good));
}

TEST_F(WriteFault, BatchGoesOnAfterAFileTheDiskCannotHold) {
    const Bytes big = BmpBuilder().Size(100, 100).Build();  // 11078 bytes
    const Bytes small = BmpBuilder().Size(5, 3).Build();
    BmpBuilder::WriteFile(dir / "big.bmp", big);
    BmpBuilder::WriteFile(dir / "small.bmp", small);
    const auto child = InChild(test::FileSizeLimit(5000), [&](std::string& r) {
        r = Recolor(dir / "big.bmp", false) + " " + Recolor(dir / "small.bmp", false);
    });
    EXPECT_EQ(child.report, "result=0 messages=Save Failed; result=1 messages=");
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "big.bmp"), big);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "small.bmp"), RecolouredBytes(small));
}

// --- writers killed at random moments -----------------------------------------

constexpr int kKills = 50;

unsigned RandomDelay(std::mt19937& rng) {
    return std::uniform_int_distribution<unsigned>(0, 20000)(rng);  // up to 20 ms
}

TEST_F(WriteFault, KilledSaveAsFileLeavesOldOrNewBytesAndTheNextSaveRemovesItsTemporaries) {
    const fs::path path = dir / "a.bmp";
    clsBitmap a, b;
    ASSERT_TRUE(a.LoadFromByteArray(BmpBuilder().Size(1024, 1024).Build()));
    ASSERT_TRUE(b.LoadFromByteArray(
        BmpBuilder().Size(1024, 1024).Pixels([](int x, int y) { return x ^ y; }).Build()));
    ASSERT_TRUE(b.SaveAsFile(path));
    const Bytes bytesB = BmpBuilder::ReadFile(path);
    ASSERT_TRUE(a.SaveAsFile(path));
    const Bytes bytesA = BmpBuilder::ReadFile(path);
    std::mt19937 rng(7);
    for (int i = 0; i < kKills; ++i) {
        test::KillWhileWriting(
            [&] {
                for (;;) {
                    b.SaveAsFile(path);
                    a.SaveAsFile(path);
                }
            },
            RandomDelay(rng));
        const Bytes now = BmpBuilder::ReadFile(path);
        ASSERT_TRUE(now == bytesA || now == bytesB) << "after kill " << i;
    }
    ASSERT_TRUE(a.SaveAsFile(path));
    EXPECT_EQ(BmpBuilder::ReadFile(path), bytesA);
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"a.bmp"});
}

TEST_F(WriteFault, KilledRecolorFileLeavesWholeFilesWholeBackupsAndNoTemporaries) {
    const fs::path path = dir / "a.bmp";
    const Bytes x = BmpBuilder().Size(1024, 512).Build();
    const Bytes y = RecolouredBytes(x);
    const Bytes xSaved = RecolouredBytes(y);  // x as a save writes it
    BmpBuilder::WriteFile(path, x);
    std::mt19937 rng(11);
    auto whole = [&](const Bytes& b) { return b == x || b == y || b == xSaved; };
    for (int i = 0; i < kKills; ++i) {
        test::KillWhileWriting(
            [&] {
                for (;;)
                    Recolor(path, true);
            },
            RandomDelay(rng));
        ASSERT_TRUE(whole(BmpBuilder::ReadFile(path))) << "after kill " << i;
    }
    for (const auto& name : test::Entries(dir / "Tintwell Backup")) {
        if (!test::IsTemporary(name)) {
            ASSERT_TRUE(whole(BmpBuilder::ReadFile(dir / "Tintwell Backup" / name))) << name;
        }
    }
    EXPECT_EQ(Recolor(path, true), "result=1 messages=");
    EXPECT_EQ(test::CountTemporaries(dir.path()), 0u);
}

TEST_F(WriteFault, KilledSettingsSaveLeavesAWholeFile) {
    const fs::path ini = dir / "Tintwell.ini";
    const std::string a(100000, 'a'), b(100000, 'b');
    const std::string textA = "[General]\r\nFolder=" + a + "\r\n";
    const std::string textB = "[General]\r\nFolder=" + b + "\r\n";
    WriteText(ini, textA);
    std::mt19937 rng(13);
    for (int i = 0; i < kKills; ++i) {
        test::KillWhileWriting(
            [&] {
                test::RecordingMessageBox box;
                clsINI settings(box);
                settings.LoadINI(ini.string());
                for (;;) {
                    settings.WriteValue("General", "Folder", b);
                    settings.WriteValue("General", "Folder", a);
                }
            },
            RandomDelay(rng));
        const std::string now = ReadText(ini);
        ASSERT_TRUE(now == textA || now == textB) << "after kill " << i;
    }
    test::RecordingMessageBox box;
    clsINI settings(box);
    settings.LoadINI(ini.string());
    settings.WriteValue("General", "Folder", a);
    EXPECT_TRUE(box.shown.empty());
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"Tintwell.ini"});
}

TEST_F(WriteFault, KilledIndexListWriteLeavesAWholeList) {
    const fs::path list = dir / "a.txt";
    clsBitmap p, q;
    ASSERT_TRUE(p.LoadFromByteArray(BmpBuilder().Size(512, 512).Build()));
    ASSERT_TRUE(q.LoadFromByteArray(
        BmpBuilder().Size(512, 512).Pixels([](int x, int y) { return x + y; }).Build()));
    const std::string listP = ColorIndexListText(p), listQ = ColorIndexListText(q);
    WriteText(list, listP);
    std::mt19937 rng(17);
    for (int i = 0; i < kKills; ++i) {
        test::KillWhileWriting(
            [&] {
                std::string error;
                for (;;) {
                    WriteColorIndexList(q, list, error);
                    WriteColorIndexList(p, list, error);
                }
            },
            RandomDelay(rng));
        const std::string now = ReadText(list);
        ASSERT_TRUE(now == listP || now == listQ) << "after kill " << i;
    }
    std::string error;
    ASSERT_EQ(WriteColorIndexList(p, list, error), IndexListResult::Written);
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"a.txt"});
}

}  // namespace
}  // namespace tintwell
