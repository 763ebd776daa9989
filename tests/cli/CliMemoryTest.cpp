// Memory bounded by the image, not by what a header claims: under an
// address-space limit far below the file's size, info, export-indices and a
// backed-up recolour of a sparse file claiming 2 GiB succeed and keep its
// holes; an image too large for the limit is refused with a message.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "bitmap/clsBitmap.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;

constexpr rlim_t kLimit = rlim_t{256} << 20;

// Runs tintwell-cli in `cwd` under the limit; its exit status, or -1 when a
// signal ended it (an abort).
int RunLimited(const std::vector<std::string>& args, const fs::path& cwd) {
    std::vector<std::string> all = {TINTWELL_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& s : all)
        argv.push_back(s.data());
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const rlimit limit{kLimit, kLimit};
        const int null = ::open("/dev/null", O_RDWR);
        if (::setrlimit(RLIMIT_AS, &limit) != 0 || ::chdir(cwd.c_str()) != 0) ::_exit(125);
        ::dup2(null, 1);
        ::dup2(null, 2);
        ::execv(argv[0], argv.data());
        ::_exit(126);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::int64_t Allocated(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? std::int64_t{st.st_blocks} * 512 : -1;
}

TEST(CliMemory, ASparseFileClaimingTwoGibibytesTakesLittleMemoryAndKeepsItsHoles) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit does not work under AddressSanitizer";
#endif
    test::TempDir dir;
    const fs::path big = dir / "big.bmp", deep = dir / "deep.bmp";
    BmpBuilder().Size(64, 64).BfSize(0x7FFFFFFF).WriteTo(big);
    BmpBuilder().Size(64, 64).Bits(24).BfSize(0x7FFFFFFF).WriteTo(deep);  // refused
    for (const fs::path& p : {big, deep})
        fs::resize_file(p, std::uintmax_t{1} << 31);
    ASSERT_LT(Allocated(big), 1 << 20);

    EXPECT_EQ(RunLimited({"info", "big.bmp"}, dir.path()), 0);
    EXPECT_EQ(RunLimited({"export-indices", "big.bmp", "-o", "big.txt"}, dir.path()), 0);
    EXPECT_EQ(fs::file_size(dir / "big.txt"), 64u * (64 * 4 + 2));
    EXPECT_EQ(RunLimited({"recolor", "--pairs", "61:7", "--backup", "big.bmp"}, dir.path()), 0);
    EXPECT_EQ(RunLimited({"recolor", "--pairs", "61:7", "--backup", "deep.bmp"}, dir.path()), 1);
    for (const fs::path& p :
         {big, deep, dir / "Tintwell Backup" / "big.bmp", dir / "Tintwell Backup" / "deep.bmp"}) {
        EXPECT_EQ(fs::file_size(p), std::uintmax_t{1} << 31) << p;
        EXPECT_LT(Allocated(p), 1 << 20) << p;
    }
    clsBitmap after;
    ASSERT_TRUE(after.LoadFromFile(big));
    EXPECT_EQ(after.GetPixelAt(5, 9), 7);

    // 16384 x 16384 pixels of index 1 in a 2 MB RLE8 file: recolouring streams
    // it; holding the image for its list does not fit, which is said, not aborted.
    std::vector<std::uint8_t> stream;
    for (int row = 0; row < 16384; ++row) {
        for (int i = 0; i < 64; ++i)
            stream.insert(stream.end(), {255, 1});
        stream.insert(stream.end(), {64, 1, 0, static_cast<std::uint8_t>(row == 16383)});
    }
    BmpBuilder().Size(16384, 16384).Rle(stream).WriteTo(dir / "huge.bmp");
    EXPECT_EQ(RunLimited({"recolor", "--pairs", "1:2", "huge.bmp"}, dir.path()), 0);
    EXPECT_EQ(RunLimited({"export-indices", "huge.bmp", "-o", "huge.txt"}, dir.path()), 1);
    EXPECT_FALSE(fs::exists(dir / "huge.txt"));
    clsBitmap huge;
    ASSERT_TRUE(huge.LoadFromFile(dir / "huge.bmp", BitmapParts::Layout));
    EXPECT_EQ(huge.StreamDamage(), "");
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "huge.bmp")[1078 + 1], 2);
}

}  // namespace
}  // namespace tintwell
