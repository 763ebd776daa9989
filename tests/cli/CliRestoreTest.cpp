#include <gtest/gtest.h>

#include "CliRunner.h"
#include "support/BmpBuilder.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;

TEST(CliRestore, SaysWhatItRestoredAndWhatNotAndWhy) {
    test::TempDir dir;
    const auto image = [](int v) { return BmpBuilder().Pixels([v](int, int) { return v; }); };
    image(1).WriteTo(dir / "a.bmp");
    image(2).WriteTo(dir / "b.bmp");
    fs::create_directory(dir / "Tintwell Backup");
    image(3).WriteTo(dir / "Tintwell Backup/a-001.bmp");
    const std::string a = (dir / "a.bmp").string(), b = (dir / "b.bmp").string(),
                      gone = (dir / "gone.bmp").string();

    const test::CliResult r = test::RunCli({"restore", a, dir.path().string(), gone});  // a once
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Restored \"" + a +
                         "\" from \"a-001.bmp\"; its contents before are kept as "
                         "\"a-002.bmp\".\nRestored 1 of 3 files.\n");
    EXPECT_EQ(r.err, "\"" + b + "\" has no backup in \"" + (dir / "Tintwell Backup").string() +
                         "\".\n\"" + gone + "\" not found.\n");
    EXPECT_EQ(BmpBuilder::ReadFile(a), image(3).Build());
    EXPECT_EQ(BmpBuilder::ReadFile(dir / "Tintwell Backup/a-002.bmp"), image(1).Build());

    // The program's folder can be written: the settings are beside it.
    EXPECT_EQ(test::RunCli({"info", "--settings-path"}).out,
              (fs::path(TINTWELL_CLI_PATH).parent_path() / "Tintwell.ini").string() + "\n");
}

}  // namespace
}  // namespace tintwell
