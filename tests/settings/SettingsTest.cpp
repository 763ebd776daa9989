#include <gtest/gtest.h>
#include <sys/stat.h>

#include <random>
#include <sstream>

#include "settings/IniNumber.h"
#include "settings/SettingsFile.h"
#include "settings/WindowPlacement.h"
#include "settings/clsINI.h"
#include "support/TestKit.h"

namespace tintwell::test {
namespace {

TEST(ScanLong, ReadsTheTableOfCases) {
    using C = std::pair<const char*, std::int32_t>;
    const C cases[] = {
        // No digit reads 0; the scan stops at what cannot continue the number.
        C{"", 0}, C{"abc", 0}, C{"-", 0}, C{".", 0}, C{"&", 0}, C{"&X1", 0}, C{"e5", 0}, C{"0", 0},
        C{"-1", -1}, C{"+7", 7}, C{"12abc", 12}, C{"12-3", 12}, C{"1.2.3", 1}, C{"007", 7},
        // Blanks, tabs and line feeds are skipped wherever they stand.
        C{"1 000", 1000}, C{"\t4\n2", 42}, C{"- 5", -5}, C{"1 e 3", 1000},
        // Halves round to even, both signs; the rest of the digits break a tie.
        C{"2.5", 2}, C{"3.5", 4}, C{"0.5", 0}, C{"-2.5", -2}, C{"-3.5", -4}, C{"2.51", 3},
        C{"2.49999", 2}, C{"2.500000000000000000001", 3}, C{"0.05", 0}, C{".6", 1}, C{"-0.4", 0},
        C{"1e3", 1000}, C{"123456789012e-10", 12}, C{"25e-1", 2}, C{"35E-1", 4}, C{"1e", 1},
        C{"1e+", 1}, C{"1e-999999999999", 0}, C{"&HFF", 255}, C{"&hff", 255}, C{"&H", 0},
        C{"&HFG", 15}, C{"&h0A0", 160}, C{"&O17", 15}, C{"&o18", 1}, C{"&H7FFFFFFF", INT32_MAX},
        C{"&HFFFFFFFFFFFFFFFFFFFF", INT32_MAX},
        // Outside the 32-bit range: clamped, never wrapped.
        C{"2147483648", INT32_MAX}, C{"-2147483648", INT32_MIN}, C{"-2147483649", INT32_MIN},
        C{"-1e300", INT32_MIN}, C{"99999999999999999999999999", INT32_MAX},
        C{"1e999999999999999999", INT32_MAX}, C{"2147483646.5", 2147483646},
        C{"2147483647.5", INT32_MAX}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(ScanLong(text), value) << '"' << text << '"';
}

std::string Parsed(const std::string& text) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(text);
    return ini.ToText();
}

TEST(clsINIText, ParsesAndSavesTheTableOfDocuments) {
    const std::pair<const char*, const char*> cases[] = {
        // Regression: a file with bare LF line ends read as one long line, no map listed.
        {"[S]\na=1\n\n[T]\nb=2\n", "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n"},
        // Regressions: a byte-order mark or CR-only line ends read as no maps.
        {"\xEF\xBB\xBF[S]\r\na=1\r\n", "[S]\r\na=1\r\n"},
        {"[S]\ra=1\r[T]\rb=2\r", "[S]\r\na=1\r\n\r\n[T]\r\nb=2\r\n"},
        // Numeric names first in numeric order, then byte order; equals go after.
        {"[S]\r\nb=1\r\na=2\r\n10=x\r\n9=y\r\n!=d\r\n5a=c\r\n",
         "[S]\r\n9=y\r\n10=x\r\n!=d\r\n5a=c\r\na=2\r\nb=1\r\n"},
        {"[S]\r\n5=first\r\n5.4=second\r\na=1\r\na=2\r\n-1=m\r\n 5=third\r\n",
         "[S]\r\n-1=m\r\n5=first\r\n5.4=second\r\n 5=third\r\na=1\r\na=2\r\n"},
        // "+" is no number; over 18 whole digits count as infinite, as 1e30 does.
        {"[S]\r\n+=c\r\n1e30=a\r\n2000000000000000000=d\r\n123456789012345678=b\r\n",
         "[S]\r\n123456789012345678=b\r\n1e30=a\r\n2000000000000000000=d\r\n+=c\r\n"},
    };
    for (const auto& [text, saved] : cases) {
        EXPECT_EQ(Parsed(text), saved) << text;
        EXPECT_EQ(Parsed(saved), saved);
    }
}

TEST(clsINIText, LookupsFindTheFirstNamesakeExactlyAndDefaultsOnlyWhatIsAbsent) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(
        "[S]\r\n=abc\r\na==b\r\nc=\r\n d = x ;y\r\ntext=abc\r\nneg=-1\r\nhex=&HFF\r\n"
        "huge=1e20\r\n[A]\r\nx=1\r\n[A]\r\ny=2\r\n");
    // Names are told apart by case; a repeated section is found in its first place.
    const std::tuple<const char*, const char*, const char*> strings[] = {
        {"s", "a", "none"}, {"S", "A", "none"}, {"A", "x", "1"}, {"A", "y", "none"}};
    for (const auto& [section, key, value] : strings)
        EXPECT_EQ(ini.ReadString(section, key, "none"), value) << section << "/" << key;
    const std::pair<const char*, std::int32_t> longs[] = {
        {"absent", 5}, {"c", 0}, {"text", 0}, {"neg", -1}, {"hex", 255}, {"huge", INT32_MAX}};
    for (const auto& [key, value] : longs)
        EXPECT_EQ(ini.ReadLong("S", key, 5), value) << key;
    EXPECT_EQ(ini.ReadString("S", "absent", -1), "-1");
    EXPECT_EQ(ini.NumberOfKeys("S"), 8);
    EXPECT_EQ(ini.KeyName("S", 1), " d ");
    EXPECT_EQ(ini.KeyName("C", 7), "");
    EXPECT_THROW(ini.SectionName(3), std::out_of_range);
    EXPECT_THROW(ini.SectionName(-1), std::out_of_range);
    EXPECT_THROW(ini.KeyName("A", 1), std::out_of_range);
    EXPECT_THROW(ini.SetKeyName("S", -1, "x"), std::out_of_range);
}

// Where changes go and which namesake they act on: the plain-walk comparison below.
TEST(clsINIText, ChangesCannotForgeLinesAndInStringModeSaveNothing) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("[L]\r\nk=1\r\n");
    ini.WriteValue("L", "Name", "Night\r\n[General]\r\nNumColorMaps=99");
    ini.WriteValue("S\nT", "k\r", "a\rb\nc");  // a lone LF: found by fuzzing
    ini.SetKeyName("L", 0, "Na\r\nme");
    EXPECT_EQ(ini.ToText(),
              "[L]\r\nNa me=Night [General] NumColorMaps=99\r\nk=1\r\n\r\n[S T]\r\nk =a b c\r\n");
    EXPECT_TRUE(box.shown.empty());  // string mode: nothing is saved, nothing is said
    EXPECT_FALSE(ini.AllowSaveFile());
    ini.SetAllowSaveFile(true);
    ASSERT_EQ(box.shown.size(), 1u);
    EXPECT_EQ(box.shown[0].title + "|" + box.shown[0].text,
              "Cannot allow saving of INI data|Cannot allow INI file saving.  Currently using an "
              "internal INI string.");
    EXPECT_FALSE(ini.AllowSaveFile());
}

class IniFile : public ::testing::Test {
  protected:
    int SaveFailures() const {
        return static_cast<int>(
            std::count_if(box.shown.begin(), box.shown.end(), [](const auto& m) {
                return m.title == "Could not save INI file." &&
                       m.text.rfind("clsINI.SaveFile: ", 0) == 0;
            }));
    }
    TempDir dir;
    fs::path path = dir / "Tintwell.ini";
    RecordingMessageBox box;
    clsINI ini{box};
};

TEST_F(IniFile, EveryChangeWritesTheWholeFileUnlessSavingIsOff) {
    WriteFile(dir / "real.ini", "[S]\r\nb=1\r\na=2\r\n");
    fs::create_symlink("real.ini", path);
    ASSERT_TRUE(ini.LoadINI(path.string()));
    EXPECT_EQ(ReadFile(path), "[S]\r\nb=1\r\na=2\r\n");  // loading never writes
    ini.WriteValue("S", "k", "v");
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[S]\r\na=2\r\nb=1\r\nk=v\r\n");
    EXPECT_TRUE(fs::is_symlink(path));
    ini.DeleteKey("S", "b");
    ini.DeleteSection("Nope");  // changes nothing, still writes
    EXPECT_EQ(ini.WriteCount(), 3u);
    ini.DeleteSection("S");  // the first section goes as any other
    EXPECT_EQ(ReadFile(dir / "real.ini"), "");
    ini.SetAllowSaveFile(false);
    ini.WriteValue("S", "x", "1");
    ASSERT_TRUE(ini.LoadINI((dir / "no" / "such.ini").string()));  // keeps saving off
    fs::create_symlink(dir / "nowhere.ini", dir / "dangling.ini");
    ASSERT_TRUE(ini.LoadINI((dir / "dangling.ini").string()));  // absent, as a missing file
    ini.WriteValue("S", "y", "2");
    EXPECT_EQ(ini.WriteCount(), 4u);
    ini.SetAllowSaveFile(true);
    ini.SetAllowSaveFile(true);  // each switching on writes
    EXPECT_EQ(ini.WriteCount(), 6u);
    EXPECT_EQ(ReadFile(dir / "nowhere.ini"), "[S]\r\ny=2\r\n");
    EXPECT_TRUE(box.shown.empty());
}

// Regression: a failed save truncated the file, and its message came once per write.
TEST_F(IniFile, AFailedSaveKeepsTheFileAndTheDocumentAndSaysSoOnceUntilASaveWorks) {
    WriteFile(path, "[General]\r\nZoom=2\r\n");
    ASSERT_TRUE(ini.LoadINI(path.string()));
    {
        FileSizeLimit disk(30);
        for (int i = 0; i < 20; ++i)
            ini.WriteValue("List 1", std::to_string(i), "200");
        EXPECT_EQ(ReadFile(path), "[General]\r\nZoom=2\r\n");
        EXPECT_EQ(SaveFailures(), 1);
        ini.DeleteSection("List 1");
        ini.WriteValue("General", "Zoom", "5");  // fits
        ini.WriteValue("General", "Folder", "/too/long/for/the/limit");
        ini.WriteValue("General", "Folder", "/still/too/long/for/it");
    }
    EXPECT_EQ(SaveFailures(), 2);
    EXPECT_EQ(ini.ReadString("General", "Folder"), "/still/too/long/for/it");
    EXPECT_EQ(ReadFile(path), "[General]\r\nZoom=5\r\n");
    EXPECT_EQ(dir.Entries(), std::vector<std::string>{"Tintwell.ini"});
    clsINI unnamed(box);
    unnamed.WriteValue("S", "k", "1");  // no file name: the failure is said
    EXPECT_EQ(SaveFailures(), 3);
}

// Regression: a settings file that could not be read was replaced by the
// nearly empty document of the run.
TEST_F(IniFile, AnExistingFileThatCannotBeReadIsNeverOverwritten) {
    fs::create_directory(path);
    ASSERT_EQ(::mkfifo((dir / "fifo.ini").c_str(), 0600), 0);
    WriteFile(dir / "secret.ini", "[General]\r\nZoom=5\r\n");
    GiveToNobody(dir / "secret.ini");
    ::chmod((dir / "secret.ini").c_str(), 0200);
    EXPECT_EQ(AsUnprivilegedUser([&](std::string& r) {
                  RecordingMessageBox childBox;
                  clsINI child(childBox);
                  r = std::to_string(child.LoadINI((dir / "secret.ini").string()));
                  child.WriteValue("General", "Zoom", "2");
                  r += childBox.Titles();
              }),
              "0Could not save INI file.;");
    EXPECT_EQ(ReadFile(dir / "secret.ini"), "[General]\r\nZoom=5\r\n");
    for (const fs::path& p : {dir / "fifo.ini", path}) {
        EXPECT_FALSE(ini.LoadINI(p.string()));  // a FIFO would block a reader
        EXPECT_FALSE(ini.LastError().empty());
        EXPECT_EQ(ini.ReadLong("General", "Zoom", 1), 1);
        ini.WriteValue("General", "Zoom", "2");
        ini.SetAllowSaveFile(false);
        ini.SetAllowSaveFile(true);
        EXPECT_EQ(ini.ReadString("General", "Zoom"), "2");
    }
    EXPECT_EQ(SaveFailures(), 2);
    EXPECT_NE(box.shown[1].text.find("left as it is"), std::string::npos) << box.shown[1].text;
    EXPECT_TRUE(fs::is_directory(path));
    EXPECT_EQ(fs::status(dir / "fifo.ini").type(), fs::file_type::fifo);
    ASSERT_TRUE(ini.LoadINI((dir / "other.ini").string()));  // another file lifts the protection
    ini.WriteValue("S", "k", "v");
    EXPECT_EQ(ReadFile(dir / "other.ini"), "[S]\r\nk=v\r\n");
}

// The indexed document against a plain walk over lists: sections in order,
// keys as the file keeps them (numeric names first in numeric order, then byte
// order, namesakes in their order), lookups finding the first namesake.
using Keys = std::vector<std::pair<std::string, std::string>>;
using Document = std::vector<std::pair<std::string, Keys>>;
template <class List>
auto Find(List& list, const std::string& name) {
    return std::find_if(list.begin(), list.end(), [&](const auto& e) { return e.first == name; });
}
void AddKey(Keys& keys, const std::string& name, const std::string& value) {
    auto less = [](const std::string& a, const std::string& b) {
        double x = 0, y = 0;
        const bool na = IsNumericName(a, x), nb = IsNumericName(b, y);
        return na != nb ? na : na ? x < y : a < b;
    };
    auto at = keys.begin();
    while (at != keys.end() && !less(name, at->first))
        ++at;
    keys.insert(at, {name, value});
}
Document Parse(const std::string& text) {
    Document doc;
    for (std::size_t start = 0, end; start < text.size(); start = end + 1) {
        end = std::min(text.find('\n', start), text.size());
        std::string line = text.substr(start, end - start);
        if (end < text.size() && !line.empty() && line.back() == '\r') line.pop_back();
        std::replace(line.begin(), line.end(), '\r', ' ');
        const std::size_t eq = line.find('=');
        if (line.size() >= 2 && line[0] == '[')
            doc.push_back({line.substr(1, line.size() - 2), {}});
        else if (eq != line.npos && line[0] != ';' && !doc.empty())
            AddKey(doc.back().second, line.substr(0, eq), line.substr(eq + 1));
    }
    return doc;
}
const std::vector<std::string> kNames = {"A", "B", "",  "5",  "05",   " 5",  "5.0",
                                         "9", "x", "!", "-0", "Name", "1e1", "10 "};
void ExpectSame(const clsINI& ini, Document& doc) {
    std::string text;
    for (const auto& [name, keys] : doc) {
        text += (text.empty() ? "[" : "\r\n[") + name + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
    }
    ASSERT_EQ(ini.ToText(), text);
    for (const std::string& name : kNames) {
        const auto s = Find(doc, name);
        for (const std::string& key : kNames) {
            const auto k = s == doc.end() ? Keys::iterator() : Find(s->second, key);
            const bool found = s != doc.end() && k != s->second.end();
            ASSERT_EQ(ini.ReadString(name, key, "?"), found ? k->second : "?") << name << key;
        }
    }
}

TEST(clsINIIndex, AnswersAsAPlainWalkForTheSameRandomOperations) {
    std::mt19937 rng(13);
    const auto pick = [&]() -> const std::string& { return kNames[rng() % kNames.size()]; };
    const std::string pieces[] = {"[", "]", "=", ";", "\r\n", "\n", "\r", "v"};
    RecordingMessageBox box;
    for (int round = 0; round < 300; ++round) {
        clsINI ini(box);
        std::string text;
        for (std::size_t i = rng() % 60; i > 0; --i)
            text += rng() % 2 ? pick() : pieces[rng() % 8];
        ini.LoadINIFromString(text);
        Document doc = Parse(text);
        ASSERT_NO_FATAL_FAILURE(ExpectSame(ini, doc)) << testing::PrintToString(text);
        for (int step = 0; step < 40; ++step) {
            const std::string &s = pick(), &k = pick(), &v = pick();
            auto section = Find(doc, s);
            auto key = section == doc.end() ? Keys::iterator() : Find(section->second, k);
            const unsigned op = rng() % 5;
            if (op < 2) {
                ini.WriteValue(s, k, v);
                if (section == doc.end())
                    section = doc.insert(doc.end(), {s, {}}), key = section->second.end();
                key != section->second.end() ? void(key->second = v)
                                             : AddKey(section->second, k, v);
            } else if (op == 2) {
                ini.DeleteSection(s);
                if (section != doc.end()) doc.erase(section);
            } else if (op == 3) {
                ini.DeleteKey(s, k);
                if (section != doc.end() && key != section->second.end())
                    section->second.erase(key);
            } else if (section != doc.end() && !section->second.empty()) {
                const std::size_t at = rng() % section->second.size();
                ini.SetKeyName(s, static_cast<std::int32_t>(at), k);
                section->second[at].first = k;  // renamed in place: no longer sorted
            }
            ASSERT_NO_FATAL_FAILURE(ExpectSame(ini, doc)) << "round " << round << " step " << step;
        }
    }
    EXPECT_TRUE(box.shown.empty());
}

ColorMapEntries Identity(std::initializer_list<std::pair<int, int>> changes = {}) {
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(i);
    for (auto [i, to] : changes)
        map[i] = static_cast<std::uint8_t>(to);
    return map;
}

class Settings : public ::testing::Test {
  protected:
    void Given(const std::string& text) {
        WriteFile(settings.Path(), text);
        ASSERT_TRUE(settings.Load());
    }
    TempDir program;
    RecordingMessageBox box;
    SettingsFile settings{box, program.path()};
};

TEST_F(Settings, HandEditedValuesAreMadeSafeWhereTheyAreRead) {
    ASSERT_TRUE(settings.Load());  // no file: the defaults, nothing written
    EXPECT_TRUE(settings.Preview() && settings.BackupBMPs() && settings.RecolorOutside());
    EXPECT_EQ(settings.FolderToList(), program.path());
    EXPECT_EQ(settings.Zoom(), 1);
    EXPECT_EQ(settings.NumColorMaps(), 0);
    EXPECT_FALSE(fs::exists(settings.Path()));
    fs::create_directory(program / "images");
    WriteFile(program / "file.bmp", "x");
    const std::tuple<std::string, int, int, bool, fs::path> cases[] = {
        // Zoom, NumColorMaps, Preview, Folder: the value and what is read
        {"3|3|-1|images", 3, 3, true, program / "images"},
        {"0|-5|0|", 1, 0, false, program.path()},
        {"99999999999|2147483647|5|file.bmp", 8, SettingsFile::kMaxColorMaps, true, program.path()},
        {"abc|abc|abc|gone", 1, 0, false, program.path()}};
    for (const auto& [values, zoom, maps, preview, folder] : cases) {
        std::string v[4];
        std::istringstream in(values);
        for (auto& s : v)
            std::getline(in, s, '|');
        const std::string stored = v[3].empty() ? "" : (program / v[3]).string();
        Given("[General]\r\nZoom=" + v[0] + "\r\nNumColorMaps=" + v[1] + "\r\nPreview=" + v[2] +
              "\r\nFolder=" + stored +
              "\r\n[Recolor]\r\n3=7\r\n4=256\r\n5=-1\r\n6=&HFF\r\n256=1\r\n300=1\r\n");
        EXPECT_EQ(settings.Zoom(), zoom) << values;
        EXPECT_EQ(settings.NumColorMaps(), maps) << values;
        EXPECT_EQ(settings.Preview(), preview) << values;
        EXPECT_EQ(settings.FolderToList(), folder) << values;
        EXPECT_EQ(settings.StoredFolder(), stored);  // never rewritten
        EXPECT_EQ(settings.RecolorMap(), Identity({{3, 7}, {6, 255}}));
    }
    EXPECT_EQ(settings.Ini().WriteCount(), 0u);
}

TEST_F(Settings, ABatchWritesTheFileOnceAndANestedOneLeavesSavingToTheOuter) {
    ASSERT_TRUE(settings.Load());
    {
        SettingsFile::SaveBatch outer(settings);
        {
            SettingsFile::SaveBatch inner(settings);
            settings.SetNumColorMaps(1);
            settings.WriteColorMapSection(1, "Reversed", Identity({{0, 255}, {255, 0}}));
        }
        EXPECT_FALSE(fs::exists(settings.Path()));
        outer.Finish();
        EXPECT_EQ(settings.Ini().WriteCount(), 1u);
    }
    EXPECT_EQ(settings.Ini().WriteCount(), 1u);
    SettingsFile reread(box, program.path());
    ASSERT_TRUE(reread.Load());
    EXPECT_EQ(reread.ReadColorMap(1), Identity({{0, 255}, {255, 0}}));
    settings.Ini().LoadINIFromString("[General]\r\nZoom=3\r\n");
    { SettingsFile::SaveBatch batch(settings); }  // string mode: saving stays off, no message
    EXPECT_TRUE(box.shown.empty());
}

// A window that records what was done to it.
struct FakeWindow : IPlacementWindow {
    TwipsRect OuterRect() const override { return rect; }
    WindowState State() const override { return state; }
    void Move(double l, double t, double w, double h) override { rect = {l, t, w, h}, ++moves; }
    void SetState(WindowState s) override { state = s; }
    TwipsRect rect;
    WindowState state = WindowState::Normal;
    int moves = 0;
};

TEST(WindowPlacement, StoresTheNormalRectangleAndRestoresItNeverSmallerThanDesigned) {
    RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("");
    FakeWindow w;
    w.rect = {1200, -300.5, 9615.5, 100000};  // stored as whole numbers; 100000 was "1e+05"
    SaveWindowPlacement(ini, w, "Main");
    w.state = WindowState::Maximized;
    SaveWindowPlacement(ini, w, "Main");  // only the state; the normal rectangle stays
    w.state = WindowState::Minimized;
    SaveWindowPlacement(ini, w, "Preview");  // nothing
    EXPECT_EQ(
        ini.ToText(),
        "[Main]\r\nHeight=100000\r\nLeft=1200\r\nTop=-300\r\nWidth=9616\r\nWindowState=2\r\n");
    // The settings text, the designed rectangle, then the window afterwards.
    const std::tuple<std::string, TwipsRect, const char*> cases[] = {
        {"", {500, 600, 6000, 4000}, "0 0 6000 4000 0"},
        {"[S]\r\nLeft=-300\r\nTop=-1\r\nWidth=100\r\nHeight=9000.4\r\nWindowState=1\r\n",
         {0, 0, 6000.5, 4000},
         "0 0 6000 9000 1"},
        {"[S]\r\nLeft=999999\r\nTop=88888\r\nWidth=7000\r\nWindowState=7\r\n",
         {0, 0, 10, 10},
         "999999 88888 7000 10 0"},
        {ini.ToText(), {0, 0, 20000, 10}, "1200 0 20000 100000 2"}};
    for (const auto& [text, designed, restored] : cases) {
        clsINI stored(box);
        stored.LoadINIFromString(text);
        FakeWindow next;
        next.rect = designed;
        RestoreWindowPlacement(stored, next, text.rfind("[Main]", 0) == 0 ? "Main" : "S");
        std::ostringstream seen;
        seen << next.rect.left << " " << next.rect.top << " " << next.rect.width << " "
             << next.rect.height << " " << static_cast<int>(next.state);
        EXPECT_EQ(seen.str(), restored) << text;
        EXPECT_EQ(next.moves, 1);
    }
}

}  // namespace
}  // namespace tintwell::test
