// Regression tests for faults the fuzz targets found; each input is also in
// fuzz/corpus/<target>/ under a "finding-" name.
#include <gtest/gtest.h>

#include <string>

#include "settings/clsINI.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

// "[A]\nx=1" once read as one header naming the section "A]\nx=1" minus its
// last character, and WriteValue, which blanks line breaks, then created a
// second section instead of writing into that one. An LF ends a line now and a
// lone CR reads as a blank, so a name read from a file is one WriteValue finds.
TEST(IniWriteValueNameWithLoneLineBreak, WritesIntoTheSectionTheFileNamed) {
    test::RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("[A\r]\nx=1\ny=2\r\n[B]=3\r\nk=old\r\n");
    ASSERT_EQ(ini.NumberOfSections(), 2);
    const std::string a = ini.SectionName(0), b = ini.SectionName(1);
    EXPECT_EQ(a, "A ");
    ini.WriteValue(a, "k", "v");
    ini.WriteValue(b, "k", "new\rline\n");
    EXPECT_EQ(ini.NumberOfSections(), 2);
    EXPECT_EQ(ini.ReadString(a, "k"), "v");
    EXPECT_EQ(ini.ReadString(b, "k"), "new line ");
    // ... and the document still reads back as itself.
    clsINI again(box);
    again.LoadINIFromString(ini.ToText());
    EXPECT_EQ(again.ToText(), ini.ToText());
    EXPECT_EQ(again.ReadString(b, "k"), "new line ");
}

TEST(IniWriteValueNameWithLoneLineBreak, ACrLfPairStillCannotForgeALine) {
    test::RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("");
    ini.WriteValue("S", "Name", "Night\r\n[General]\r\nZoom=8");
    EXPECT_EQ(ini.ToText(), "[S]\r\nName=Night [General] Zoom=8\r\n");
}

}  // namespace
}  // namespace tintwell
