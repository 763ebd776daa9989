// Writing files safely: a file another program writes meanwhile, leftovers of
// killed writers, the longest name, attributes of a replaced file, one file
// reached by several names in a batch, and targets that are no plain files
// (device nodes made by the test in its own folder, never the system's own).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/xattr.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "bitmap/AtomicFile.h"
#include "core/RecolorBatch.h"
#include "core/modIndexList.h"
#include "core/modRecolor.h"
#include "support/BmpBuilder.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

class FileSafety : public ::testing::Test {
  protected:
    bool Recolor(const fs::path& path, bool backup) {
        return RecolorFile(path, backup, {}, false, Inverted(), box);
    }
    TempDir dir;
    RecordingMessageBox box;
};

// Regression: bytes another program appended during a run were lost, and a
// backup made through a hard link kept growing after the run.
TEST_F(FileSafety, AFileWrittenMeanwhileIsLeftAsWrittenAndItsBackupStaysASnapshot) {
    WriteFile(dir / "a.bmp", Bmp().Size(1024, 1024).Build());
    std::atomic<bool> stop{false};
    std::thread appender([&] {
        std::ofstream out(dir / "a.bmp", std::ios::app | std::ios::binary);
        while (!stop)
            out.put('x').flush(), std::this_thread::sleep_for(std::chrono::microseconds(50));
    });
    EXPECT_FALSE(Recolor(dir / "a.bmp", true));
    const auto backupSize = fs::file_size(dir / "Tintwell Backup" / "a.bmp");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // the appender goes on
    stop = true;
    appender.join();
    EXPECT_EQ(box.Titles(), "File Changed;");
    EXPECT_EQ(fs::file_size(dir / "Tintwell Backup" / "a.bmp"), backupSize);
    EXPECT_GT(fs::file_size(dir / "a.bmp"), backupSize);  // every appended byte is still there
}

// Regression: temporaries with per-process names were left behind for good.
TEST_F(FileSafety, ALaterRunRemovesAbandonedTemporariesOfEveryNameAndKeepsLiveOnes) {
    WriteFile(dir / "a.bmp", Bmp().Build());
    fs::create_directory(dir / "Tintwell Backup");
    for (const char* name : {".gone.bmp.tmp-tintwell", ".a.bmp.tmp-tintwell-12-3-45",
                             "Tintwell Backup/.gone.bmp.tmp-tintwell-6-7-8"})
        WriteFile(dir / name, "x");
    WriteFile(dir / ".b.bmp.tmp-tintwell-9-9-9", "live");
    const int held = ::open((dir / ".b.bmp.tmp-tintwell-9-9-9").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    EXPECT_TRUE(Recolor(dir / "a.bmp", true));
    EXPECT_EQ(dir.Entries(),
              (std::vector<std::string>{".b.bmp.tmp-tintwell-9-9-9", "Tintwell Backup",
                                        "Tintwell Backup/a.bmp", "a.bmp"}));
    ::close(held);
}

// Regression: a 255-byte name could be backed up only once; the numbered
// names are shortened to fit, never splitting a character.
TEST_F(FileSafety, ANameOfTheLongestLengthIsBackedUpAgainAndAgain) {
    std::string stem;
    while (stem.size() < 250)
        stem += "\xc3\xa9";
    stem += "x";  // 251 bytes: with ".bmp" the longest name
    WriteFile(dir / (stem + ".bmp"), Bmp().Build());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(Recolor(dir / (stem + ".bmp"), true)) << i;
    const std::string cut = stem.substr(0, 246);  // 247 bytes would split a character
    for (const std::string& name : {stem + ".bmp", cut + "-001.bmp", cut + "-002.bmp"})
        EXPECT_TRUE(fs::exists(dir / "Tintwell Backup" / name)) << name.size();
}

TEST_F(FileSafety, AReplacedFileKeepsItsExtendedAttributesAndAcl) {
    WriteFile(dir / "a.bmp", Bmp().Build());
    // user::rw- user:nobody:r-- group::r-- mask::r-- other::---
    const std::uint32_t acl[] = {2,   0x00060001, ~0u, 0x00040002, 65534, 0x00040004,
                                 ~0u, 0x00040010, ~0u, 0x00000020, ~0u};
    const std::string file = (dir / "a.bmp").string();
    const char* path = file.c_str();
    ASSERT_EQ(::setxattr(path, "user.note", "kept", 4, 0), 0);
    ASSERT_EQ(::setxattr(path, "system.posix_acl_access", acl, sizeof acl, 0), 0);
    ASSERT_TRUE(Recolor(dir / "a.bmp", false));
    char got[64];
    EXPECT_EQ(std::string(got, ::getxattr(path, "user.note", got, sizeof got)), "kept");
    EXPECT_EQ(::getxattr(path, "system.posix_acl_access", got, sizeof got), sizeof acl);
    EXPECT_EQ(std::memcmp(got, acl, sizeof acl), 0);
}

// Regression: a file reached by a link and by its name was recoloured twice.
TEST_F(FileSafety, ABatchRecolorsEachFileOnceWhateverNamesLeadToIt) {
    WriteFile(dir / "a.bmp", Bmp().Build());
    fs::create_symlink("a.bmp", dir / "link.bmp");
    fs::create_hard_link(dir / "a.bmp", dir / "hard.bmp");  // split from a.bmp by its rewrite
    using O = RecolorBatch::Outcome;
    const std::pair<const char*, O> rows[] = {{"a.bmp", O::Recolored},
                                              {"link.bmp", O::SameFile},
                                              {"./a.bmp", O::SameFile},
                                              {"hard.bmp", O::Recolored}};
    RecolorBatch batch;
    for (const auto& [name, outcome] : rows)
        EXPECT_EQ(batch.Recolor(dir / name, false, {}, false, Inverted(), box), outcome) << name;
    EXPECT_EQ(box.shown.size(), 2u);
    EXPECT_EQ(ReadFile(dir / "a.bmp"), ReadFile(dir / "hard.bmp"));
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
    Load(image, Bmp().Size(1, 1).Pixels([](int, int) { return 5; }).Build());
    const bool whole = AtomicFile::WriteWhole(target, "hello\n", 6, error);
    return std::to_string(whole) +
           std::to_string(WriteColorIndexList(image, target, error) == IndexListResult::Written);
}

// Regression: "-o" naming a device or FIFO replaced the node with a plain file.
TEST_F(FileSafety, ATargetThatIsNoPlainFileIsWrittenInPlaceOrRefusedAndStaysWhatItIs) {
    const Target targets[] = {{"character device", S_IFCHR, true},
                              {"FIFO with a reader", S_IFIFO, true},
                              {"FIFO nobody reads", S_IFIFO, false},
                              {"socket", S_IFSOCK, true},
                              {"folder", S_IFDIR, false},
                              {"block device", S_IFBLK, false}};
    for (const bool nobody : {false, true}) {
        for (const Target& t : targets) {
            SCOPED_TRACE(std::string(t.kind) + (nobody ? " as nobody" : " as root"));
            const auto path = dir / (std::string(t.kind) + (nobody ? " 2" : ""));
            const int fd = Make(t, path);
            if (fd < 0) continue;
            EXPECT_EQ(
                nobody ? AsUnprivilegedUser([&](std::string& r) { r = WriteWithEveryWriter(path); })
                       : WriteWithEveryWriter(path),
                t.written ? "11" : "00");
            struct stat st {};
            ASSERT_EQ(::lstat(path.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & S_IFMT, t.type);
            EXPECT_EQ(fd > 0 ? Arrived(t, fd) : "", fd > 0 && t.written ? "hello\n  5,\r\n" : "");
        }
    }
    for (const std::string& name : dir.Entries())
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

}  // namespace
}  // namespace tintwell::test
