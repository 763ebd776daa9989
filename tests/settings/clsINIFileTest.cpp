#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <string>

#include "FileBytes.h"
#include "settings/clsINI.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::EntryCount;
using test::ReadBytes;
using test::RecordingMessageBox;
using test::TempDir;
using test::WriteBytes;

constexpr const char* kSaveTitle = "Could not save INI file.";

int SaveFailures(const RecordingMessageBox& box) {
    int n = 0;
    for (const auto& m : box.shown)
        n += m.title == kSaveTitle;
    return n;
}

class IniFile : public testing::Test {
  protected:
    TempDir dir;
    fs::path path = dir / "Tintwell.ini";
    RecordingMessageBox box;
    clsINI ini{box};
};

TEST_F(IniFile, MissingFileGivesAnEmptyDocumentAndTheFirstWriteCreatesIt) {
    EXPECT_TRUE(ini.LoadINI(path.string()));
    EXPECT_EQ(ini.FileName(), path.string());
    EXPECT_EQ(ini.NumberOfSections(), 0);
    EXPECT_FALSE(fs::exists(path));
    ini.WriteValue("General", "Zoom", "3");
    EXPECT_EQ(ReadBytes(path), "[General]\r\nZoom=3\r\n");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(IniFile, LoadReadsTheFileAndNeverWritesIt) {
    WriteBytes(path, "[S]\r\nb=1\r\na=2\r\n");
    ASSERT_TRUE(ini.LoadINI(path.string()));
    EXPECT_EQ(ini.ReadString("S", "a"), "2");
    EXPECT_EQ(ini.WriteCount(), 0u);
    EXPECT_EQ(ReadBytes(path), "[S]\r\nb=1\r\na=2\r\n");
}

TEST_F(IniFile, EveryChangeWritesTheWholeFileAtOnce) {
    ASSERT_TRUE(ini.LoadINI(path.string()));
    ini.WriteValue("A", "k", "v");
    EXPECT_EQ(ini.WriteCount(), 1u);
    ini.WriteValue("B", "x", "1");
    EXPECT_EQ(ReadBytes(path), "[A]\r\nk=v\r\n\r\n[B]\r\nx=1\r\n");
    ini.DeleteKey("A", "k");
    EXPECT_EQ(ReadBytes(path), "[A]\r\n\r\n[B]\r\nx=1\r\n");
    ini.DeleteSection("A");
    EXPECT_EQ(ReadBytes(path), "[B]\r\nx=1\r\n");
    // Deleting what is absent changes nothing but still writes.
    ini.DeleteSection("Nope");
    ini.DeleteKey("B", "nope");
    EXPECT_EQ(ini.WriteCount(), 6u);
    EXPECT_EQ(ReadBytes(path), "[B]\r\nx=1\r\n");
}

TEST_F(IniFile, SavingSwitchedOffKeepsChangesInMemoryUntilSwitchedOn) {
    ASSERT_TRUE(ini.LoadINI(path.string()));
    ini.SetAllowSaveFile(false);
    ini.WriteValue("S", "a", "1");
    ini.WriteValue("S", "b", "2");
    ini.SaveFile();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ini.WriteCount(), 0u);
    ini.SetAllowSaveFile(true);
    EXPECT_EQ(ini.WriteCount(), 1u);
    EXPECT_EQ(ReadBytes(path), "[S]\r\na=1\r\nb=2\r\n");
    ini.SetAllowSaveFile(true);  // already on: writes again
    EXPECT_EQ(ini.WriteCount(), 2u);
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(IniFile, LoadKeepsTheSavingSwitchAsItWas) {
    ini.LoadINIFromString("[S]\r\nk=1\r\n");
    ASSERT_TRUE(ini.LoadINI(path.string()));
    EXPECT_FALSE(ini.AllowSaveFile());
    ini.WriteValue("S", "k", "2");
    EXPECT_FALSE(fs::exists(path));
    ini.SetAllowSaveFile(true);
    EXPECT_EQ(ReadBytes(path), "[S]\r\nk=2\r\n");
}

TEST_F(IniFile, StringModeWritesNothingAndRefusesToSwitchSavingOn) {
    ini.LoadINIFromString("[S]\r\nk=1\r\n");
    EXPECT_EQ(ini.FileName(), "");
    EXPECT_FALSE(ini.AllowSaveFile());
    ini.WriteValue("S", "k", "2");
    EXPECT_EQ(ini.ReadString("S", "k"), "2");
    EXPECT_TRUE(box.shown.empty());
    ini.SetAllowSaveFile(true);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].text,
              "Cannot allow INI file saving.  Currently using an internal INI string.");
    EXPECT_EQ(box.shown[0].title, "Cannot allow saving of INI data");
    EXPECT_EQ(box.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(box.shown[0].buttons, MsgButtons::OK);
    EXPECT_FALSE(ini.AllowSaveFile());
    EXPECT_EQ(EntryCount(dir.path()), 0);
}

TEST_F(IniFile, ChangeWithoutAFileNameShowsTheSaveFailure) {
    ini.WriteValue("S", "k", "1");
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, kSaveTitle);
    EXPECT_EQ(box.shown[0].icon, MsgIcon::Error);
    EXPECT_EQ(box.shown[0].text.rfind("clsINI.SaveFile: ", 0), 0u);
    EXPECT_EQ(ini.ReadString("S", "k"), "1");
}

TEST_F(IniFile, ReplacesAFileBehindASymbolicLinkAndKeepsTheLink) {
    fs::create_directory(dir / "real");
    WriteBytes(dir / "real" / "t.ini", "[S]\r\nk=1\r\n");
    fs::create_symlink(dir / "real" / "t.ini", path);
    ASSERT_TRUE(ini.LoadINI(path.string()));
    ini.WriteValue("S", "k", "2");
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(ReadBytes(dir / "real" / "t.ini"), "[S]\r\nk=2\r\n");
}

// --- Mended: a failed save left a truncated file --------------------------------

// Runs `body` in a child process whose files may not grow beyond `limit`
// bytes, so writing fails even for root. The child's exit code is returned.
template <typename Body>
int InChildWithFileSizeLimit(rlim_t limit, Body body) {
    pid_t pid = ::fork();
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{};
        ::getrlimit(RLIMIT_FSIZE, &rl);
        rl.rlim_cur = limit;
        ::setrlimit(RLIMIT_FSIZE, &rl);
        ::_exit(body());
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 100;
}

TEST_F(IniFile, FailedSaveLeavesThePreviousFileWholeAndTheDocumentUnchanged) {
    const std::string before = "[General]\r\nZoom=2\r\n";
    WriteBytes(path, before);
    int code = InChildWithFileSizeLimit(8, [&] {
        RecordingMessageBox childBox;
        clsINI child(childBox);
        if (!child.LoadINI(path.string())) return 1;
        child.WriteValue("General", "Folder", "/a/folder/long/enough/to/pass/the/limit");
        if (SaveFailures(childBox) != 1) return 2;
        if (child.ReadString("General", "Folder").empty()) return 3;
        if (child.ReadString("General", "Zoom") != "2") return 4;
        return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(EntryCount(dir.path()), 1) << "a temporary file was left behind";
}

// --- Mended: the failure message came once per write ---------------------------

TEST_F(IniFile, FullDiskShowsOneMessageForManyWritesAndKeepsTheLastGoodFile) {
    WriteBytes(path, "[General]\r\nZoom=2\r\n");
    const std::string good = "[General]\r\nZoom=5\r\n";
    int code = InChildWithFileSizeLimit(20, [&] {
        RecordingMessageBox childBox;
        clsINI child(childBox);
        child.LoadINI(path.string());
        for (int i = 0; i < 258; ++i)
            child.WriteValue("List 1", std::to_string(i), "200");
        if (SaveFailures(childBox) != 1) return 1;
        child.DeleteSection("List 1");
        child.WriteValue("General", "Zoom", "5");  // fits: succeeds
        if (SaveFailures(childBox) != 1 || child.WriteCount() != 2) return 2;
        child.WriteValue("General", "Folder", "/too/long/for/the/limit");
        child.WriteValue("General", "Folder", "/still/too/long/for/it");
        if (SaveFailures(childBox) != 2) return 3;
        return 0;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(ReadBytes(path), good);
    EXPECT_EQ(EntryCount(dir.path()), 1) << "a temporary file was left behind";
}

TEST_F(IniFile, SaveFailureIsShownOnceUntilASaveSucceedsAgain) {
    // A regular file where the settings folder should be: fails for root too.
    const fs::path folder = dir / "folder";
    WriteBytes(folder, "not a folder");
    ASSERT_TRUE(ini.LoadINI((folder / "Tintwell.ini").string()));
    ini.SetAllowSaveFile(false);
    for (int i = 0; i < 258; ++i) {
        ini.SetAllowSaveFile(true);  // each switch-on writes
        ini.WriteValue("List 1", std::to_string(i), "1");
    }
    EXPECT_EQ(SaveFailures(box), 1);
    EXPECT_EQ(ini.NumberOfKeys("List 1"), 258);

    fs::remove(folder);
    fs::create_directory(folder);
    ini.WriteValue("General", "Zoom", "2");
    EXPECT_EQ(SaveFailures(box), 1);
    EXPECT_TRUE(fs::exists(folder / "Tintwell.ini"));

    fs::remove_all(folder);
    WriteBytes(folder, "again not a folder");
    ini.WriteValue("General", "Zoom", "3");
    ini.WriteValue("General", "Zoom", "4");
    EXPECT_EQ(SaveFailures(box), 2);
}

// --- Mended: an unreadable settings file was replaced by a nearly empty one ----

TEST_F(IniFile, UnreadableExistingFileIsNeverOverwrittenAndSaidSoOnce) {
    fs::create_directory(path);  // something is there, but not a file
    WriteBytes(path / "inside", "kept");
    EXPECT_FALSE(ini.LoadINI(path.string()));
    EXPECT_FALSE(ini.LastError().empty());
    EXPECT_EQ(ini.NumberOfSections(), 0);
    EXPECT_EQ(ini.ReadLong("General", "Zoom", 1), 1);
    ini.WriteValue("General", "Zoom", "2");
    ini.SetAllowSaveFile(false);
    ini.SetAllowSaveFile(true);
    ini.WriteValue("General", "Zoom", "3");
    EXPECT_EQ(ini.ReadString("General", "Zoom"), "3");
    ASSERT_EQ(SaveFailures(box), 1);
    EXPECT_NE(box.shown[0].text.find("left as it is"), std::string::npos) << box.shown[0].text;
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(ReadBytes(path / "inside"), "kept");
    EXPECT_EQ(EntryCount(dir.path()), 1);
}

TEST_F(IniFile, SpecialFileInThePlaceOfTheSettingsIsNeitherOpenedNorReplaced) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_FALSE(ini.LoadINI(path.string()));  // a FIFO would block a reader
    ini.WriteValue("General", "Zoom", "2");
    EXPECT_EQ(fs::status(path).type(), fs::file_type::fifo);
    EXPECT_EQ(SaveFailures(box), 1);
}

TEST_F(IniFile, FileWithoutReadPermissionIsNeverOverwritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root reads any file; the folder case above covers it";
    const std::string before = "[General]\r\nZoom=5\r\n";
    WriteBytes(path, before);
    ::chmod(path.c_str(), 0200);
    EXPECT_FALSE(ini.LoadINI(path.string()));
    ini.WriteValue("General", "Zoom", "2");
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(SaveFailures(box), 1);
}

TEST_F(IniFile, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    const std::string before = "[General]\r\nZoom=5\r\n";
    WriteBytes(path, before);
    ::chmod(path.c_str(), 0444);
    ASSERT_TRUE(ini.LoadINI(path.string()));
    ini.WriteValue("General", "Zoom", "2");
    ini.WriteValue("General", "Zoom", "3");
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(SaveFailures(box), 1);
    EXPECT_EQ(ini.ReadLong("General", "Zoom", 0), 3);
}

TEST_F(IniFile, LoadingAnotherFileLiftsTheProtection) {
    fs::create_directory(path);
    EXPECT_FALSE(ini.LoadINI(path.string()));
    const fs::path other = dir / "other.ini";
    EXPECT_TRUE(ini.LoadINI(other.string()));
    ini.WriteValue("S", "k", "v");
    EXPECT_EQ(ReadBytes(other), "[S]\r\nk=v\r\n");
    EXPECT_TRUE(box.shown.empty());
}

TEST_F(IniFile, DanglingLinkOrMissingFolderCountsAsAbsent) {
    fs::create_symlink(dir / "nowhere.ini", path);
    EXPECT_TRUE(ini.LoadINI(path.string()));
    EXPECT_TRUE(ini.LoadINI((dir / "no" / "such" / "Tintwell.ini").string()));
    EXPECT_TRUE(ini.LastError().empty());
}

}  // namespace
}  // namespace tintwell
