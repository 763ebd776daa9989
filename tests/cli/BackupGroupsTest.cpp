#include <gtest/gtest.h>

#include "cli/BackupGroups.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell::cli {
namespace {

namespace fs = std::filesystem;
using Groups = std::vector<std::vector<std::size_t>>;

TEST(BackupGroups, KeepsFilesApartWhenTheirBackupsCannotMeet) {
    test::TempDir dir;
    const std::vector<fs::path> files = {dir / "a.bmp", dir / "b.bmp", dir / "sub" / "a.bmp"};
    EXPECT_EQ(GroupFilesThatMayClash(files), (Groups{{0}, {1}, {2}}));
}

TEST(BackupGroups, JoinsFilesWhoseNumberedBackupNamesMeet) {
    test::TempDir dir;
    const std::vector<fs::path> files = {dir / "x.bmp",   dir / "a.bmp",      dir / "a.BMP",
                                         dir / "c.bmp",   dir / "a-001.bmp",  dir / "a-001-002.bmp",
                                         dir / "a.b.bmp", dir / "a.b-017.bmp"};
    EXPECT_EQ(GroupFilesThatMayClash(files), (Groups{{0}, {1, 2, 4, 5}, {3}, {6, 7}}));
}

TEST(BackupGroups, JoinsTheSameFileReachedByDifferentPaths) {
    test::TempDir dir;
    test::BmpBuilder().WriteTo(dir / "real.bmp");
    fs::create_directories(dir / "other");
    fs::create_symlink(dir / "real.bmp", dir / "other" / "link.bmp");
    fs::create_hard_link(dir / "real.bmp", dir / "other" / "hard.bmp");
    const std::vector<fs::path> files = {
        dir / "real.bmp", dir / "other" / "x.bmp", dir / "other" / "link.bmp",
        dir / "other" / ".." / "real.bmp", dir / "other" / "hard.bmp"};
    EXPECT_EQ(GroupFilesThatMayClash(files), (Groups{{0, 2, 3, 4}, {1}}));
}

}  // namespace
}  // namespace tintwell::cli
