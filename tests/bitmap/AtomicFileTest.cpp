#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "bitmap/AtomicFile.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using Bytes = std::vector<std::uint8_t>;

int EntriesIn(const fs::path& dir) {
    int n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++n;
    return n;
}

TEST(AtomicFile, CreatesANewFile) {
    test::TempDir dir;
    std::string error;
    const Bytes data{1, 2, 3};
    ASSERT_TRUE(AtomicFile::WriteWhole(dir / "new", data.data(), data.size(), error)) << error;
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "new"), data);
    EXPECT_EQ(EntriesIn(dir.path()), 1);
}

TEST(AtomicFile, ReplacesContentsAndKeepsPermissionBits) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "f", Bytes(5000, 9));
    ASSERT_EQ(::chmod((dir / "f").c_str(), 0640), 0);
    std::string error;
    const Bytes data{4, 5};
    ASSERT_TRUE(AtomicFile::WriteWhole(dir / "f", data.data(), data.size(), error)) << error;
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "f"), data);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST(AtomicFile, KeepsTheOwnerWhenRunAsAdministrator) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to hand a file to another owner";
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "f", {1});
    ASSERT_EQ(::chown((dir / "f").c_str(), 1234, 5678), 0);
    std::string error;
    ASSERT_TRUE(AtomicFile::WriteWhole(dir / "f", "ab", 2, error)) << error;
    struct stat st {};
    ASSERT_EQ(::stat((dir / "f").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
}

TEST(AtomicFile, SymbolicLinkStaysALinkAndItsTargetIsReplaced) {
    test::TempDir dir;
    fs::create_directory(dir / "sub");
    BmpBuilder::WriteFile(dir / "sub" / "real", {1});
    fs::create_symlink("sub/real", dir / "link");
    std::string error;
    const Bytes data{7, 7};
    ASSERT_TRUE(AtomicFile::WriteWhole(dir / "link", data.data(), data.size(), error)) << error;
    EXPECT_TRUE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "sub" / "real"), data);
    EXPECT_EQ(EntriesIn(dir / "sub"), 1);
}

TEST(AtomicFile, WithoutFollowingLinksTheLinkItselfIsReplaced) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "real", {1});
    fs::create_symlink("real", dir / "link");
    AtomicFile f(dir / "link", false);
    const Bytes data{2};
    ASSERT_TRUE(f.Open() && f.Write(data.data(), 1) && f.Commit()) << f.Error();
    EXPECT_FALSE(fs::is_symlink(dir / "link"));
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "real"), Bytes{1});
}

TEST(AtomicFile, FolderThatCannotExistFailsWithAText) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "file", {1});
    std::string error;
    EXPECT_FALSE(AtomicFile::WriteWhole(dir / "file" / "x", "a", 1, error));
    EXPECT_NE(error.find("x"), std::string::npos);
    EXPECT_EQ(EntriesIn(dir.path()), 1);
}

TEST(AtomicFile, FailedRenameLeavesTheOriginalAndNoTemporaryFile) {
    test::TempDir dir;
    AtomicFile f(dir / "target");
    ASSERT_TRUE(f.Open());
    ASSERT_TRUE(f.Write("abc", 3));
    fs::create_directories(dir / "target" / "keep");  // a folder no rename can replace
    EXPECT_EQ(EntriesIn(dir.path()), 2);  // target and the temporary file
    EXPECT_FALSE(f.Commit());
    EXPECT_FALSE(f.Error().empty());
    EXPECT_TRUE(fs::is_directory(dir / "target" / "keep"));
    EXPECT_EQ(EntriesIn(dir.path()), 1);
}

TEST(AtomicFile, AbandonedWriteLeavesTheOriginalAndNoTemporaryFile) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "f", {1, 2, 3});
    {
        AtomicFile f(dir / "f");
        ASSERT_TRUE(f.Open());
        ASSERT_TRUE(f.Write("zz", 2));
    }
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "f"), (Bytes{1, 2, 3}));
    EXPECT_EQ(EntriesIn(dir.path()), 1);
}

TEST(AtomicFile, CopyFromCopiesTheWholeSource) {
    test::TempDir dir;
    Bytes big(300000);
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<std::uint8_t>(i * 31 + 7);
    BmpBuilder::WriteFile(dir / "src", big);
    const int fd = ::open((dir / "src").c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ::lseek(fd, 1234, SEEK_SET);  // the copy starts at the beginning whatever the position
    AtomicFile f(dir / "dst");
    EXPECT_TRUE(f.Open() && f.CopyFrom(fd, big.size()) && f.Commit()) << f.Error();
    ::close(fd);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "dst"), big);
}

TEST(AtomicFile, CopyFromAShorterSourceFails) {
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "src", Bytes(10, 1));
    BmpBuilder::WriteFile(dir / "dst", {5});
    const int fd = ::open((dir / "src").c_str(), O_RDONLY);
    AtomicFile f(dir / "dst");
    EXPECT_FALSE(f.Open() && f.CopyFrom(fd, 20) && f.Commit());
    ::close(fd);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "dst"), Bytes{5});
    EXPECT_EQ(EntriesIn(dir.path()), 2);
}

}  // namespace
}  // namespace tintwell
