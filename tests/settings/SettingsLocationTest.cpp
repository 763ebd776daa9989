#include "settings/SettingsLocation.h"

#include <gtest/gtest.h>

#include <fstream>

#include "hardening/FaultHelpers.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;

TEST(SettingsLocation, KeepsTheFileBesideTheProgramWhenItIsThereOrTheFolderCanBeWritten) {
    struct Case {
        const char* name;
        bool fileBeside;
        fs::perms folderMode;
        bool beside;
    } const cases[] = {
        {"portable copy", false, fs::perms(0755), true},
        {"install the user cannot write", false, fs::perms(0555), false},
        {"existing file beside a read-only program", true, fs::perms(0555), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        fs::permissions(dir.path(), fs::perms(0755));
        const fs::path program = dir / "lib";
        fs::create_directory(program);
        if (c.fileBeside) std::ofstream(program / "Tintwell.ini").put('\n');
        test::GiveToChild(program);  // a folder of the user's own, writable unless made read-only
        fs::permissions(program, c.folderMode);
        // Permission bits bind root only after it gives up its rights.
        const auto child = test::InChild(test::AsUnprivilegedUser(), [&](std::string& r) {
            r = SettingsLocation::SettingsFolder(program, "/home/u/.config/Tintwell").string();
        });
        fs::permissions(program, fs::perms(0755));
        EXPECT_EQ(child.report, c.beside ? program.string() : "/home/u/.config/Tintwell");
    }
}

TEST(SettingsLocation, HelpAndSamplesComeFromTheProgramFolderElseTheShareFolder) {
    EXPECT_EQ(SettingsLocation::ShareFolder("/usr/lib/tintwell"), "/usr/share/tintwell");
    struct Case {
        const char* fileInProgram;  // "" none
        bool shareExists, fromProgram;
    } const cases[] = {
        {"Tintwell.html", true, true},  // a build or a portable copy
        {"old.BMP", true, true},
        {"", true, false},  // installed
        {"", false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.fileInProgram << c.shareExists);
        test::TempDir dir;
        fs::create_directories(dir / "lib");
        if (*c.fileInProgram) std::ofstream(dir / "lib" / c.fileInProgram).put('\n');
        if (c.shareExists) fs::create_directories(dir / "share");
        EXPECT_EQ(SettingsLocation::DataFolder(dir / "lib", dir / "share"),
                  c.fromProgram ? dir / "lib" : dir / "share");
    }
}

}  // namespace
}  // namespace tintwell
