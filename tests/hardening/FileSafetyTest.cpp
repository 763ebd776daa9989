// Writing files safely: a file another program writes meanwhile, leftovers of
// killed writers, the longest name, attributes of a replaced file, one file
// reached by several names in a batch, and targets that are no plain files
// (device nodes made by the test in its own folder).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>

#include "FaultHelpers.h"
#include "bitmap/AtomicFile.h"
#include "core/RecolorBatch.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;

ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

class FileSafety : public ::testing::Test {
  protected:
    bool Recolor(const fs::path& path, bool backup) {
        return RecolorFile(path, backup, SelectionRect{}, false, Inverted(), box);
    }
    test::TempDir dir;
    test::RecordingMessageBox box;
};

TEST_F(FileSafety, FileWrittenMeanwhileIsLeftAsWrittenAndItsBackupStaysASnapshot) {
    const fs::path path = BmpBuilder().Size(1024, 1024).WriteTo(dir / "a.bmp");
    std::atomic<bool> stop{false};
    std::thread appender([&] {
        std::ofstream out(path, std::ios::app | std::ios::binary);
        while (!stop)
            out.put('x').flush(), std::this_thread::sleep_for(std::chrono::microseconds(50));
    });
    EXPECT_FALSE(Recolor(path, true));
    const auto backupSize = fs::file_size(dir / "Tintwell Backup" / "a.bmp");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the appender goes on
    stop = true;
    appender.join();
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title, "File Changed");
    EXPECT_EQ(fs::file_size(dir / "Tintwell Backup" / "a.bmp"), backupSize);
    EXPECT_GT(fs::file_size(path), backupSize);  // every appended byte is still there
}

TEST_F(FileSafety, ALaterRunRemovesAbandonedTemporariesOfEveryNameAndKeepsLiveOnes) {
    const fs::path path = BmpBuilder().WriteTo(dir / "a.bmp");
    fs::create_directory(dir / "Tintwell Backup");
    const fs::path abandoned[] = {dir / ".gone.bmp.tmp-tintwell",
                                  dir / ".a.bmp.tmp-tintwell-12-3-45",
                                  dir / "Tintwell Backup" / ".gone.bmp.tmp-tintwell-6-7-8"};
    for (const fs::path& p : abandoned)
        BmpBuilder::WriteFile(p, {1});
    const fs::path live = BmpBuilder().WriteTo(dir / ".b.bmp.tmp-tintwell-9-9-9");
    const int held = ::open(live.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_TRUE(Recolor(path, true));
    for (const fs::path& p : abandoned)
        EXPECT_FALSE(fs::exists(p)) << p;
    EXPECT_TRUE(fs::exists(live));
    ::close(held);
}

TEST_F(FileSafety, ANameOfTheLongestLengthIsBackedUpAgainAndAgain) {
    std::string stem;
    while (stem.size() < 250)
        stem += "\xc3\xa9";
    stem += "x";  // 251 bytes: with ".bmp" the longest name
    const fs::path path = BmpBuilder().WriteTo(dir / (stem + ".bmp"));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Recolor(path, true)) << i;
    const std::string cut = stem.substr(0, 246);  // 247 bytes would split a character
    for (const std::string& name : {stem + ".bmp", cut + "-001.bmp", cut + "-002.bmp"})
        EXPECT_TRUE(fs::exists(dir / "Tintwell Backup" / name)) << name.size();
}

TEST_F(FileSafety, AReplacedFileKeepsItsExtendedAttributesAndAcl) {
    const fs::path path = BmpBuilder().WriteTo(dir / "a.bmp");
    // user::rw- user:nobody:r-- group::r-- mask::r-- other::---
    const std::uint32_t acl[] = {2,   0x00060001, ~0u, 0x00040002, 65534, 0x00040004,
                                 ~0u, 0x00040010, ~0u, 0x00000020, ~0u};
    ASSERT_EQ(::setxattr(path.c_str(), "user.note", "kept", 4, 0), 0);
    ASSERT_EQ(::setxattr(path.c_str(), "system.posix_acl_access", acl, sizeof acl, 0), 0);
    ASSERT_TRUE(Recolor(path, false));
    char got[64];
    EXPECT_EQ(std::string(got, ::getxattr(path.c_str(), "user.note", got, sizeof got)), "kept");
    EXPECT_EQ(::getxattr(path.c_str(), "system.posix_acl_access", got, sizeof got), sizeof acl);
    EXPECT_EQ(std::memcmp(got, acl, sizeof acl), 0);
}

TEST_F(FileSafety, ABatchRecolorsEachFileOnceWhateverNamesLeadToIt) {
    BmpBuilder().Size(4, 4).WriteTo(dir / "a.bmp");
    fs::create_symlink("a.bmp", dir / "link.bmp");
    fs::create_hard_link(dir / "a.bmp", dir / "hard.bmp");  // split from a.bmp by its rewrite
    using Outcome = RecolorBatch::Outcome;
    const std::pair<const char*, Outcome> rows[] = {{"a.bmp", Outcome::Recolored},
                                                    {"link.bmp", Outcome::SameFile},
                                                    {"./a.bmp", Outcome::SameFile},
                                                    {"hard.bmp", Outcome::Recolored}};
    RecolorBatch batch;
    for (const auto& [name, outcome] : rows)
        EXPECT_EQ(batch.Recolor(dir / name, false, {}, false, Inverted(), box), outcome) << name;
    EXPECT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "a.bmp"), BmpBuilder::ReadFile(dir / "hard.bmp"));
}

struct Target {
    const char* kind;
    mode_t type;
    bool written;  // what every writer manages (a FIFO then has a reader)
};

// Makes the node: -1 when this user may not, else a descriptor that receives
// what is written (the FIFO's reader, the socket's listener) or 0.
int Make(const Target& t, const fs::path& path) {
    int fd = 0;
    if (t.type == S_IFSOCK) {
        sockaddr_un address{AF_UNIX, {}};
        std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) || ::listen(fd, 4))
            return -1;
    } else if (t.type == S_IFDIR) {
        fs::create_directory(path);
    } else if (::mknod(path.c_str(), t.type | 0666,
                       t.type == S_IFCHR ? makedev(1, 3) : makedev(7, 250)) != 0) {
        return -1;  // device nodes need root; the null device, an unused loop number
    } else if (t.written && t.type == S_IFIFO) {
        fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
    }
    ::chmod(path.c_str(), 0777);
    return fd;
}

// What reached the FIFO, or each connection to the socket.
std::string Arrived(const Target& t, int fd) {
    std::string got;
    char buffer[256];
    for (int from; (from = t.type == S_IFSOCK ? ::accept(fd, nullptr, nullptr) : fd) >= 0;) {
        for (ssize_t n; (n = ::read(from, buffer, sizeof buffer)) > 0;)
            got.append(buffer, static_cast<std::size_t>(n));
        if (from == fd) return got;
        ::close(from);
    }
    return got;
}

// "1" or "0" for each writer: the atomic writer, then the colour index list.
std::string WriteWithEveryWriter(const fs::path& target) {
    std::string error;
    clsBitmap image;
    image.LoadFromByteArray(
        test::BmpBuilder().Size(1, 1).Pixels([](int, int) { return 5; }).Build());
    const bool whole = AtomicFile::WriteWhole(target, "hello\n", 6, error);
    return std::to_string(whole) +
           std::to_string(WriteColorIndexList(image, target, error) == IndexListResult::Written);
}

TEST_F(FileSafety, TargetThatIsNoPlainFileIsWrittenInPlaceOrRefusedAndStaysWhatItIs) {
    const Target targets[] = {{"character device", S_IFCHR, true},
                              {"FIFO with a reader", S_IFIFO, true},
                              {"FIFO nobody reads", S_IFIFO, false},
                              {"socket", S_IFSOCK, true},
                              {"folder", S_IFDIR, false},
                              {"block device", S_IFBLK, false}};
    fs::permissions(dir.path(), fs::perms(0755));
    for (const bool nobody : {false, true}) {
        for (const Target& t : targets) {
            SCOPED_TRACE(std::string(t.kind) + (nobody ? " as nobody" : " as root"));
            const auto path = dir / (std::string(t.kind) + (nobody ? " 2" : ""));
            const int fd = Make(t, path);
            if (fd < 0) continue;
            const auto write = [&](std::string& r) { r = WriteWithEveryWriter(path); };
            EXPECT_EQ(nobody ? test::InChild(test::AsUnprivilegedUser(), write).report
                             : WriteWithEveryWriter(path),
                      t.written ? "11" : "00");
            struct stat st {};
            ASSERT_EQ(::lstat(path.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & S_IFMT, t.type);
            EXPECT_EQ(fd > 0 ? Arrived(t, fd) : "", fd > 0 && t.written ? "hello\n  5,\r\n" : "");
        }
    }
    EXPECT_EQ(test::CountTemporaries(dir.path()), 0u);
}

}  // namespace
}  // namespace tintwell
