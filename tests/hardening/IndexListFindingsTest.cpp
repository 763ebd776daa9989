// Regression test for a fault the malformed-file corpus found in the colour
// index list export.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <limits>
#include <stdexcept>
#include <string>

#include "FaultHelpers.h"
#include "bitmap/clsBitmap.h"
#include "core/modIndexList.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

using test::BmpBuilder;

// A 60-odd-byte file whose header claims a width of two billion pixels loads
// (its pixel bytes are simply short). The export sized its row buffer from
// that width first, some 8 GiB, before noticing the pixels were not there:
// the allocation failed outside any handler and ended the program, or, with
// overcommit, the buffer was zero-filled until memory ran out.
TEST(IndexListWidthFromTheHeader, IsNotAllocatedBeforeThePixelsAreKnownToBeThere) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit does not mix with AddressSanitizer";
#else
    test::TempDir dir;
    BmpBuilder::WriteFile(dir / "a.txt", {'o', 'l', 'd'});
    const auto child = test::InChild(
        [] {
            const rlimit limit{rlim_t{1} << 30, rlim_t{1} << 30};  // 1 GiB of address space
            ::setrlimit(RLIMIT_AS, &limit);
        },
        [&](std::string& r) {
            clsBitmap bmp;
            if (!bmp.LoadFromByteArray(BmpBuilder().Size(4, 1).BiWidthField(0x7FFFFFF0).Build())) {
                r = "load failed: " + bmp.LastError();
                return;
            }
            std::string error;
            r = std::to_string(static_cast<int>(WriteColorIndexList(bmp, dir / "a.txt", error))) +
                " " + error;
            try {
                ColorIndexListText(bmp);
                r += " | text made";
            } catch (const std::out_of_range&) {
                r += " | refused";
            }
        });
    EXPECT_EQ(child.ended, "exit 0");
    EXPECT_EQ(child.report,
              "2 The image's pixel data is incomplete, so its color index list cannot be written. "
              "| refused");
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "a.txt"), (std::vector<std::uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(test::Entries(dir.path()), std::vector<std::string>{"a.txt"});
#endif
}

// The preview keeps the bitmap of a file whose load failed. With a width of
// -2^31 (bit count 8, so the export went ahead) the row buffer was reserved
// for a negative width turned unsigned: std::length_error escaped the menu
// command and ended the program.
TEST(IndexListOfAFailedLoad, IsRefusedWithAMessageInsteadOfThrowing) {
    for (const std::int32_t width : {-5, std::numeric_limits<std::int32_t>::min()}) {
        SCOPED_TRACE(width);
        clsBitmap bmp;
        ASSERT_FALSE(bmp.LoadFromByteArray(BmpBuilder().Size(5, 3).BiWidthField(width).Build()));
        ASSERT_EQ(bmp.BitCount(), 8);
        test::TempDir dir;
        std::string error;
        EXPECT_EQ(WriteColorIndexList(bmp, dir / "a.txt", error), IndexListResult::Failed);
        EXPECT_EQ(error, "The image could not be read, so its color index list cannot be written.");
        EXPECT_THROW(ColorIndexListText(bmp), std::out_of_range);
        EXPECT_TRUE(test::Entries(dir.path()).empty());
    }
}

}  // namespace
}  // namespace tintwell
