#include "core/modRestore.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "support/BmpBuilder.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;
using test::BmpBuilder;
using Folder = std::map<std::string, char>;  // name -> content label

// Content labels: 'C' the file's own image, a digit an image of that index,
// 'x' bytes that are no BMP, 't' a BMP cut short.
std::vector<std::uint8_t> Content(char label) {
    if (label == 'x') return {'n', 'o', ' ', 'b', 'm', 'p'};
    if (label == 't') return BmpBuilder().Size(8, 8).TruncateTo(1100).Build();
    return BmpBuilder().Size(4, 4).Pixels([label](int, int) { return label; }).Build();
}

Folder Read(const fs::path& folder) {
    Folder labels;
    for (const auto& e : fs::directory_iterator(folder)) {
        const std::vector<std::uint8_t> bytes = BmpBuilder::ReadFile(e.path());
        for (char c : std::string("C0123456789xt"))
            if (Content(c) == bytes) labels[e.path().filename().string()] = c;
    }
    return labels;
}

TEST(RestoreFromBackup, PutsBackTheHighestNumberedBackupAfterBackingUpTheFile) {
    struct Case {
        const char* name;
        Folder backups;  // "Tintwell Backup" before (no folder when empty)
        bool dryRun;
        const char* from;   // the backup put back, "" when refused
        const char* kept;   // the new backup of the file's own bytes, "" for none
        const char* title;  // the message shown, "" for none
    } const cases[] = {
        // clang-format off
        {"highest number wins; other names are no backups",
         {{"a.bmp", '0'}, {"a-001.bmp", '1'}, {"a-002.bmp", '2'}, {"a-01.bmp", '3'},
          {"a-0004.bmp", '4'}, {"ab-005.bmp", '5'}, {"a-006.BMP", '6'}, {"a-000.bmp", '7'}},
         false, "a-002.bmp", "a-003.bmp", ""},
        {"the un-numbered copy alone", {{"a.bmp", '0'}}, false, "a.bmp", "a-001.bmp", ""},
        // The copy of the file becomes the newest backup, so restoring again undoes this.
        {"a gap in the numbers", {{"a.bmp", '0'}, {"a-005.bmp", '5'}}, false, "a-005.bmp",
         "a-006.bmp", ""},
        {"dry run", {{"a.bmp", '0'}, {"a-001.bmp", '1'}}, true, "a-001.bmp", "", ""},
        {"no backup", {}, false, "", "", "No Backup"},
        {"damaged newest backup", {{"a.bmp", '0'}, {"a-001.bmp", 'x'}}, false, "", "",
         "Backup Damaged"},
        {"newest backup cut short", {{"a-001.bmp", 't'}}, false, "", "", "Backup Damaged"},
        {"no number left after the newest", {{"a-999.bmp", '9'}}, false, "", "",
         "Backup Folder Full"},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir dir;
        BmpBuilder::WriteFile(dir / "a.bmp", Content('C'));
        const fs::path folder = dir / "Tintwell Backup";
        if (!c.backups.empty()) fs::create_directory(folder);
        for (const auto& [name, label] : c.backups)
            BmpBuilder::WriteFile(folder / name, Content(label));
        test::RecordingMessageBox box;

        const RestoreOutcome done = RestoreFromBackup(dir / "a.bmp", c.dryRun, box);

        EXPECT_EQ(done.restored, *c.from != '\0');
        EXPECT_EQ(done.from, *c.from ? folder / c.from : fs::path());
        EXPECT_EQ(done.keptAs, *c.kept ? folder / c.kept : fs::path());
        const char fileNow = *c.kept ? c.backups.at(c.from) : 'C';
        EXPECT_EQ(BmpBuilder::ReadFile(dir / "a.bmp"), Content(fileNow));
        Folder expected = c.backups;
        if (*c.kept) expected[c.kept] = 'C';
        EXPECT_EQ(fs::exists(folder) ? Read(folder) : Folder(), expected);
        ASSERT_EQ(box.shown.size(), *c.title ? 1u : 0u);
        EXPECT_EQ(*c.title ? box.shown[0].title : "", c.title);
    }
}

}  // namespace
}  // namespace tintwell
