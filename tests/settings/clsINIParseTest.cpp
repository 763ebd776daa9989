#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "settings/clsINI.h"
#include "support/RecordingMessageBox.h"

namespace tintwell {
namespace {

using test::RecordingMessageBox;

// Joins lines with CR LF, the only line end the format knows.
std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines)
        text += l + "\r\n";
    return text;
}

std::vector<std::string> KeyNames(const clsINI& ini, const std::string& section) {
    std::vector<std::string> names;
    for (int i = 0; i < ini.NumberOfKeys(section); ++i)
        names.push_back(ini.KeyName(section, i));
    return names;
}

class Parse : public testing::Test {
  protected:
    RecordingMessageBox box;
    clsINI ini{box};
};

TEST_F(Parse, RepeatedSectionIsKeptAndOnlyTheFirstIsSearched) {
    ini.LoadINIFromString(Lines({"[A]", "x=1", "[A]", "y=2"}));
    ASSERT_EQ(ini.NumberOfSections(), 2);
    EXPECT_EQ(ini.SectionName(0), "A");
    EXPECT_EQ(ini.SectionName(1), "A");
    EXPECT_EQ(ini.ReadString("A", "x"), "1");
    EXPECT_EQ(ini.ReadString("A", "y"), "");
    EXPECT_EQ(ini.ToText(), Lines({"[A]", "x=1", "", "[A]", "y=2"}));
}

TEST_F(Parse, RepeatedKeyAnswersWithTheFirstAndSavesBoth) {
    ini.LoadINIFromString(Lines({"[S]", "k=first", "k=second"}));
    EXPECT_EQ(ini.NumberOfKeys("S"), 2);
    EXPECT_EQ(ini.ReadString("S", "k"), "first");
    EXPECT_EQ(ini.ToText(), Lines({"[S]", "k=first", "k=second"}));
}

TEST_F(Parse, SplitsKeyAndValueAtTheFirstEqualsSignWithoutTrimming) {
    ini.LoadINIFromString(Lines({"[S]", "=abc", "a==b", "c=", " d = x ;y", "e=1;2"}));
    EXPECT_EQ(ini.ReadString("S", "", "none"), "abc");
    EXPECT_EQ(ini.ReadString("S", "a"), "=b");
    EXPECT_EQ(ini.ReadString("S", "c", "none"), "");
    EXPECT_EQ(ini.ReadString("S", " d ", "none"), " x ;y");
    EXPECT_EQ(ini.ReadString("S", "d", "none"), "none");
    EXPECT_EQ(ini.ReadString("S", "e"), "1;2");
}

TEST_F(Parse, DropsCommentsLinesWithoutEqualsAndBlankLines) {
    ini.LoadINIFromString(Lines({"[S]", ";x=1", "x", "", "y=2"}));
    EXPECT_EQ(KeyNames(ini, "S"), (std::vector<std::string>{"y"}));
}

TEST_F(Parse, SectionHeaderLosesFirstAndLastCharacterWhateverTheyAre) {
    ini.LoadINIFromString(Lines({"[ab", "k=1", "[]", "[General]"}));
    ASSERT_EQ(ini.NumberOfSections(), 3);
    EXPECT_EQ(ini.SectionName(0), "a");
    EXPECT_EQ(ini.SectionName(1), "");
    EXPECT_EQ(ini.SectionName(2), "General");
    EXPECT_EQ(ini.ReadString("a", "k"), "1");
}

TEST_F(Parse, HeaderWithLeadingBlankIsNoHeaderAndItsKeysStayInThePreviousSection) {
    ini.LoadINIFromString(Lines({"[A]", " [B]", "k=1"}));
    EXPECT_EQ(ini.NumberOfSections(), 1);
    EXPECT_EQ(ini.ReadString("A", "k"), "1");
}

TEST_F(Parse, KeyBeforeAnyHeaderAndBracketAloneAreDropped) {
    ini.LoadINIFromString(Lines({"k=1", "[", "j=2", "[S]", "m=3"}));
    ASSERT_EQ(ini.NumberOfSections(), 1);
    EXPECT_EQ(ini.SectionName(0), "S");
    EXPECT_EQ(KeyNames(ini, "S"), (std::vector<std::string>{"m"}));
}

TEST_F(Parse, LfWithOrWithoutCrEndsALineAndALoneCrReadsAsABlank) {
    ini.LoadINIFromString("[S]\r\na=1\nb=2\rc=3\r\nd=4");
    EXPECT_EQ(ini.ReadString("S", "a"), "1");
    EXPECT_EQ(ini.ReadString("S", "b"), "2 c=3");
    EXPECT_EQ(ini.ReadString("S", "d"), "4");
}

TEST_F(Parse, NamesAreComparedExactly) {
    ini.LoadINIFromString(Lines({"[General]", "Zoom=3"}));
    EXPECT_EQ(ini.ReadString("general", "Zoom", "d"), "d");
    EXPECT_EQ(ini.ReadString("General", "zoom", "d"), "d");
    EXPECT_EQ(ini.ReadString("General", "Zoom ", "d"), "d");
}

TEST(KeyOrder, NumericNamesFirstInNumericOrderThenTextOrder) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[S]", "b=1", "a=2", "10=x", "9=y"}));
    EXPECT_EQ(ini.ToText(), Lines({"[S]", "9=y", "10=x", "a=2", "b=1"}));

    ini.LoadINIFromString(Lines({"[S]", "Name=n", "17=a", "5=b"}));
    EXPECT_EQ(KeyNames(ini, "S"), (std::vector<std::string>{"5", "17", "Name"}));

    ini.LoadINIFromString(Lines({"[G]", "Zoom=1", "NumColorMaps=0", "Folder=f", "BackupBMPs=0"}));
    EXPECT_EQ(KeyNames(ini, "G"),
              (std::vector<std::string>{"BackupBMPs", "Folder", "NumColorMaps", "Zoom"}));
}

TEST(KeyOrder, EqualNumbersAndEqualTextsGoAfterTheExistingKey) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(
        Lines({"[S]", "5=first", "5.4=second", "a=1", "a=2", "-1=m", " 5=third"}));
    EXPECT_EQ(ini.ToText(),
              Lines({"[S]", "-1=m", "5=first", "5.4=second", " 5=third", "a=1", "a=2"}));
}

TEST(KeyOrder, TextNamesThatSortBeforeDigitsStillFollowTheNumericNames) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[S]", "9=a", "10=b", "5a=c", "!=d"}));
    EXPECT_EQ(KeyNames(ini, "S"), (std::vector<std::string>{"9", "10", "!", "5a"}));
    // Read back, the saved text gives the same order.
    clsINI again(box);
    again.LoadINIFromString(ini.ToText());
    EXPECT_EQ(again.ToText(), ini.ToText());
}

TEST(SavedText, EveryLineEndsWithCrLfAndABlankLineSeparatesSections) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[A]", "[B]", "k=v"}));
    EXPECT_EQ(ini.ToText(), "[A]\r\n\r\n[B]\r\nk=v\r\n");

    ini.LoadINIFromString(Lines(
        {"[General]", "NumColorMaps=1", "Folder=C:\\Images", "[List 1]", "Name=Blue", "5=7"}));
    EXPECT_EQ(
        ini.ToText(),
        "[General]\r\nFolder=C:\\Images\r\nNumColorMaps=1\r\n\r\n[List 1]\r\n5=7\r\nName=Blue\r\n");

    ini.LoadINIFromString("");
    EXPECT_EQ(ini.ToText(), "");
}

TEST(Lookups, DefaultsApplyOnlyToAbsentKeys) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[S]", "empty=", "text=abc", "neg=-1", "hex=&HFF", "huge=1e20"}));
    EXPECT_EQ(ini.ReadLong("S", "absent", 5), 5);
    EXPECT_EQ(ini.ReadLong("Nope", "absent", 5), 5);
    EXPECT_EQ(ini.ReadLong("S", "empty", 5), 0);
    EXPECT_EQ(ini.ReadLong("S", "text", 5), 0);
    EXPECT_EQ(ini.ReadLong("S", "neg", 5), -1);
    EXPECT_EQ(ini.ReadLong("S", "hex", 5), 255);
    EXPECT_EQ(ini.ReadLong("S", "huge", 5), 2147483647);
    EXPECT_EQ(ini.ReadLong("S", "absent"), 0);
    EXPECT_EQ(ini.ReadString("S", "empty", "d"), "");
    EXPECT_EQ(ini.ReadString("S", "absent", -1), "-1");
    EXPECT_EQ(ini.ReadString("S", "absent", 255), "255");
    EXPECT_EQ(ini.ReadString("S", "absent"), "");
}

TEST(Accessors, CountsAndNamesWithOutOfRangeIndicesThrown) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[A]", "k=1", "j=2", "[B]"}));
    EXPECT_EQ(ini.NumberOfSections(), 2);
    EXPECT_EQ(ini.NumberOfKeys("A"), 2);
    EXPECT_EQ(ini.NumberOfKeys("B"), 0);
    EXPECT_EQ(ini.NumberOfKeys("C"), 0);
    EXPECT_EQ(ini.KeyName("A", 1), "k");
    EXPECT_EQ(ini.KeyName("C", 7), "");
    EXPECT_THROW(ini.SectionName(2), std::out_of_range);
    EXPECT_THROW(ini.SectionName(-1), std::out_of_range);
    EXPECT_THROW(ini.KeyName("A", 2), std::out_of_range);
    EXPECT_THROW(ini.KeyName("B", 0), std::out_of_range);
    EXPECT_THROW(ini.SetKeyName("A", -1, "x"), std::out_of_range);
}

TEST(Accessors, RenamingAKeyKeepsItsPlaceAndLaterKeysStillFindTheirPlace) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[S]", "a=1", "c=3"}));
    ini.SetKeyName("S", 0, "z");
    ini.SetKeyName("Nope", 0, "q");
    EXPECT_EQ(KeyNames(ini, "S"), (std::vector<std::string>{"z", "c"}));
    EXPECT_EQ(ini.ReadString("S", "z"), "1");
    ini.WriteValue("S", "b", "2");  // walks from the first key: goes before "z"
    EXPECT_EQ(KeyNames(ini, "S"), (std::vector<std::string>{"b", "z", "c"}));
}

TEST(Changes, WriteValueKeepsAnExistingKeyInPlaceAndAddsNewOnesSorted) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[S]", "b=1", "d=2"}));
    ini.WriteValue("S", "b", "changed");
    ini.WriteValue("S", "c", "new");
    ini.WriteValue("T", "k", "v");
    EXPECT_EQ(ini.ToText(), Lines({"[S]", "b=changed", "c=new", "d=2", "", "[T]", "k=v"}));
}

TEST(Changes, LineBreaksInWrittenTextCannotForgeLines) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("");
    ini.WriteValue("List 1", "Name", "Night\r\n[General]\r\nNumColorMaps=99");
    ini.WriteValue("S\nT", "k\r", "a\rb\nc");
    ini.SetKeyName("List 1", 0, "Na\r\nme");
    EXPECT_EQ(ini.ToText(), Lines({"[List 1]", "Na me=Night [General] NumColorMaps=99", "",
                                   "[S T]", "k =a b c"}));
}

TEST(Changes, DeletesActOnTheFirstNamesakeAndLaterOnesMoveUp) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(Lines({"[A]", "k=1", "k=2", "[B]", "[A]", "j=3"}));
    ini.DeleteKey("A", "k");
    EXPECT_EQ(ini.ReadString("A", "k"), "2");
    ini.DeleteSection("A");
    ASSERT_EQ(ini.NumberOfSections(), 2);
    EXPECT_EQ(ini.SectionName(0), "B");
    EXPECT_EQ(ini.ReadString("A", "j"), "3");
    ini.DeleteSection("Nope");
    ini.DeleteKey("B", "nope");
    EXPECT_EQ(ini.NumberOfSections(), 2);
}

TEST(ParseSaveParse, GivesTheSameDocument) {
    RecordingMessageBox box;
    clsINI first(box), second(box);
    first.LoadINIFromString(Lines(
        {"junk=1", "[S]", "x=1\r", "\ny=2", "[", "=v", "a==", "[T", "3=3", "1.5=q", "-=z", "[]"}));
    second.LoadINIFromString(first.ToText());
    EXPECT_EQ(second.ToText(), first.ToText());
    EXPECT_EQ(second.NumberOfSections(), first.NumberOfSections());
}

}  // namespace
}  // namespace tintwell
