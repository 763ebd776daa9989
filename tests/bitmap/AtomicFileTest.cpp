#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "bitmap/AtomicFile.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

bool Replace(const fs::path& target, const std::string& bytes, bool follow = true) {
    AtomicFile f(target, follow);
    return f.Open() && f.Write(bytes.data(), bytes.size()) && f.Commit();
}

TEST(AtomicFile, ReplacesWhollyKeepingPermissionsOwnerAndLinks) {
    TempDir dir;
    std::string error;
    ASSERT_TRUE(AtomicFile::WriteWhole(dir / "new", "abc", 3, error)) << error;
    EXPECT_EQ(ReadFile(dir / "new"), "abc");
    WriteFile(dir / "f", std::string(5000, 'x'));
    ASSERT_EQ(::chmod((dir / "f").c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;  // only root can hand a file to another owner
    if (root) {
        ASSERT_EQ(::chown((dir / "f").c_str(), 1234, ::getegid()), 0);
    }
    ASSERT_TRUE(Replace(dir / "f", "de"));
    struct stat st {};
    ASSERT_EQ(::stat((dir / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 1234u);
    }
    EXPECT_EQ(ReadFile(dir / "f"), "de");

    fs::create_directory(dir / "sub");
    WriteFile(dir / "sub" / "real", "1");
    fs::create_symlink("sub/real", dir / "link");
    fs::create_symlink("sub/real", dir / "own");
    ASSERT_TRUE(Replace(dir / "link", "77"));
    ASSERT_TRUE(Replace(dir / "own", "own", false));  // the link itself is replaced
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_FALSE(fs::is_symlink(dir / "own"));
    EXPECT_EQ(ReadFile(dir / "sub" / "real"), "77");
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{"f", "link", "new", "own", "sub", "sub/real"}));
}

TEST(AtomicFile, EveryFailureLeavesTheOriginalAndNoTemporary) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    {
        AtomicFile abandoned(dir / "f");
        ASSERT_TRUE(abandoned.Open() && abandoned.Write("zz", 2));
    }
    AtomicFile overFolder(dir / "target");
    ASSERT_TRUE(overFolder.Open() && overFolder.Write("abc", 3));
    fs::create_directories(dir / "target" / "keep");  // a folder no rename can replace
    EXPECT_FALSE(overFolder.Commit());
    EXPECT_FALSE(overFolder.Error().empty());
    std::string error;
    EXPECT_FALSE(AtomicFile::WriteWhole(dir / "f" / "x", "a", 1, error));
    EXPECT_NE(error.find("x"), std::string::npos);
    {
        FileSizeLimit disk(100);
        EXPECT_FALSE(AtomicFile::WriteWhole(dir / "f", std::string(200, 'y').data(), 200, error));
    }
    WriteFile(dir / "ro", "kept");
    GiveToNobody(dir.path());
    GiveToNobody(dir / "ro");
    ::chmod((dir / "ro").c_str(), 0444);
    EXPECT_EQ(AsUnprivilegedUser(
                  [&](std::string& r) { r = Replace(dir / "ro", "new") ? "replaced" : "kept"; }),
              "kept");
    EXPECT_EQ(ReadFile(dir / "f"), "old");
    EXPECT_EQ(ReadFile(dir / "ro"), "kept");
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"f", "ro", "target", "target/keep"}));
}

// Regression: a writer killed while saving left its temporary file behind for good.
TEST(AtomicFile, TheNextSaveRemovesTheTemporaryOfAKilledWriter) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    if (::fork() == 0) {
        AtomicFile f(dir / "f");
        if (f.Open()) f.Write("half", 4);
        ::_exit(0);  // gone without cleaning up, as after SIGKILL
    }
    ::wait(nullptr);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{".f.tmp-tintwell", "f"}));
    ASSERT_TRUE(Replace(dir / "f", "new"));
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"f"});
}

// From another file system (memory-backed /dev/shm) the kernel cannot copy,
// so the bytes are copied by hand.
TEST(AtomicFile, CopyFromTakesTheSourceFromItsStartAlsoWhereTheKernelCannotCopy) {
    TempDir dir;
    std::string big(300000, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<char>(i * 31 + 7);
    const fs::path shm = fs::exists("/dev/shm") ? "/dev/shm/tintwell-copy-source" : dir / "other";
    WriteFile(dir / "src", big);
    WriteFile(shm, big);
    const int fd = ::open((dir / "src").c_str(), O_RDONLY), far = ::open(shm.c_str(), O_RDONLY);
    fs::remove(shm);
    ::lseek(fd, 1234, SEEK_SET);
    AtomicFile copy(dir / "copy"), byHand(dir / "by hand"), shorter(dir / "short");
    EXPECT_TRUE(copy.Open() && copy.CopyFrom(fd, big.size()) && copy.Commit()) << copy.Error();
    EXPECT_TRUE(byHand.Open() && byHand.CopyFrom(far, big.size()) && byHand.Commit());
    EXPECT_FALSE(shorter.Open() && shorter.CopyFrom(fd, big.size() + 1) && shorter.Commit());
    ::close(fd);
    ::close(far);
    EXPECT_EQ(ReadFile(dir / "copy"), big);
    EXPECT_EQ(ReadFile(dir / "by hand"), big);
    EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"by hand", "copy", "src"}));
}

}  // namespace
}  // namespace tintwell::test
