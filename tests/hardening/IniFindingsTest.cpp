// Regression tests for faults the fuzz targets found; each input is also in
// fuzz/corpus/<target>/ under a "finding-" name.
#include <gtest/gtest.h>

#include <string>

#include "settings/clsINI.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

// A lone LF does not end a line, so "[A]\nx=1" is one header naming the section
// "A]\nx=1" minus its last character. WriteValue turned the LF of the name it
// was given into a blank and so created a second section instead of writing
// into that one; ReadString then still returned the old value.
TEST(IniWriteValueNameWithLoneLineBreak, WritesIntoTheSectionTheFileNamed) {
    test::RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("[A]\nx=1\ny=2\r\n[B]=3\r\nk=old\r\n");
    ASSERT_EQ(ini.NumberOfSections(), 2);
    const std::string a = ini.SectionName(0), b = ini.SectionName(1);
    EXPECT_EQ(a, "A]\nx=1\ny=");
    ini.WriteValue(a, "k", "v");
    ini.WriteValue(b, "k", "new\rline\n");
    EXPECT_EQ(ini.NumberOfSections(), 2);
    EXPECT_EQ(ini.ReadString(a, "k"), "v");
    EXPECT_EQ(ini.ReadString(b, "k"), "new\rline\n");
    // ... and the document still reads back as itself.
    clsINI again(box);
    again.LoadINIFromString(ini.ToText());
    EXPECT_EQ(again.ToText(), ini.ToText());
    EXPECT_EQ(again.ReadString(b, "k"), "new\rline\n");
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
