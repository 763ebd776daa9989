// The indexed document against a plain walk over lists (linear search, the
// insertion walk for key order) under the same random operations, and
// settings files with bare LF line ends.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "settings/IniNumber.h"
#include "settings/SettingsFile.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

// The document as plain lists, every lookup a walk from the start.
struct PlainDocument {
    struct Key {
        std::string name, value;
    };
    struct Section {
        std::string name;
        std::vector<Key> keys;
    };
    std::vector<Section> sections;

    static std::string Blanked(const std::string& text) {
        std::string out;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const bool isBreak = text[i] == '\r' || text[i] == '\n';
            out += isBreak ? ' ' : text[i];
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        }
        return out;
    }
    static bool Less(const std::string& a, const std::string& b) {
        double x = 0, y = 0;
        const bool na = IsNumericName(a, x), nb = IsNumericName(b, y);
        return na != nb ? na : na ? x < y : a < b;
    }
    Section* Find(const std::string& name) {
        for (Section& s : sections)
            if (s.name == name) return &s;
        return nullptr;
    }
    static Key* FindKey(Section& s, const std::string& name) {
        for (Key& k : s.keys)
            if (k.name == name) return &k;
        return nullptr;
    }
    static void Add(Section& s, const std::string& name, const std::string& value) {
        std::size_t pos = 0;
        while (pos < s.keys.size() && !Less(name, s.keys[pos].name))
            ++pos;
        s.keys.insert(s.keys.begin() + static_cast<long>(pos), {name, value});
    }
    void Parse(const std::string& text) {
        sections.clear();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = std::min(text.find('\n', start), text.size());
            std::string line = text.substr(start, end - start);
            if (end < text.size() && !line.empty() && line.back() == '\r') line.pop_back();
            start = end + 1;
            for (char& c : line)
                if (c == '\r') c = ' ';
            const std::size_t eq = line.find('=');
            if (line.size() >= 2 && line[0] == '[')
                sections.push_back({line.substr(1, line.size() - 2), {}});
            else if (!line.empty() && line[0] != '[' && line[0] != ';' && eq != std::string::npos &&
                     !sections.empty())
                Add(sections.back(), line.substr(0, eq), line.substr(eq + 1));
        }
    }
    void Write(const std::string& section, const std::string& key, const std::string& value) {
        Section* s = Find(Blanked(section));
        if (!s) s = &sections.emplace_back(Section{Blanked(section), {}});
        if (Key* k = FindKey(*s, Blanked(key)))
            k->value = Blanked(value);
        else
            Add(*s, Blanked(key), Blanked(value));
    }
    std::string Text() const {
        std::string text;
        for (const Section& s : sections) {
            text += (text.empty() ? "[" : "\r\n[") + s.name + "]\r\n";
            for (const Key& k : s.keys)
                text += k.name + "=" + k.value + "\r\n";
        }
        return text;
    }
};

const std::vector<std::string> kNames = {"A",   "B",  "",       "5",    "05",  " 5",
                                         "5.0", "10", "9",      "x",    "!",   "Name",
                                         "1e1", "-0", "a\r\nb", "c\nd", "e\rf"};

std::string RandomText(std::mt19937& rng, std::size_t parts) {
    const std::vector<std::string> pieces = {"[", "]", "=", ";", "\r\n", "\n", "\r", "v"};
    std::string text;
    for (std::size_t i = 0; i < parts; ++i)
        text += rng() % 2 ? kNames[rng() % kNames.size()] : pieces[rng() % pieces.size()];
    return text;
}

// Both documents answer every question alike.
void ExpectSame(const clsINI& ini, PlainDocument& plain) {
    ASSERT_EQ(ini.ToText(), plain.Text());
    ASSERT_EQ(ini.NumberOfSections(), static_cast<std::int32_t>(plain.sections.size()));
    for (const std::string& name : kNames) {
        PlainDocument::Section* s = plain.Find(name);
        ASSERT_EQ(ini.NumberOfKeys(name), s ? static_cast<std::int32_t>(s->keys.size()) : 0);
        for (std::size_t k = 0; s && k < s->keys.size(); ++k)
            ASSERT_EQ(ini.KeyName(name, static_cast<std::int32_t>(k)), s->keys[k].name);
        for (const std::string& key : kNames) {
            PlainDocument::Key* found = s ? PlainDocument::FindKey(*s, key) : nullptr;
            ASSERT_EQ(ini.ReadString(name, key, "?"), found ? found->value : "?");
            ASSERT_EQ(ini.ReadLong(name, key, -9), found ? ScanLong(found->value) : -9);
        }
    }
}

TEST(IniIndex, AnswersAsAPlainWalkForTheSameRandomOperations) {
    std::mt19937 rng(13);
    test::RecordingMessageBox box;
    for (int round = 0; round < 300; ++round) {
        clsINI ini(box);
        PlainDocument plain;
        const std::string text = RandomText(rng, rng() % 60);
        ini.LoadINIFromString(text);
        plain.Parse(text);
        ASSERT_NO_FATAL_FAILURE(ExpectSame(ini, plain))
            << "parsing " << testing::PrintToString(text);
        for (int step = 0; step < 40; ++step) {
            const std::string& s = kNames[rng() % kNames.size()];
            const std::string& k = kNames[rng() % kNames.size()];
            const std::string v = RandomText(rng, rng() % 3);
            PlainDocument::Section* section = plain.Find(s);
            switch (rng() % 6) {
                case 0:
                case 1:
                    ini.WriteValue(s, k, v);
                    plain.Write(s, k, v);
                    break;
                case 2:
                    ini.DeleteSection(s);
                    if (section)
                        plain.sections.erase(plain.sections.begin() +
                                             (section - plain.sections.data()));
                    break;
                case 3:
                    ini.DeleteKey(s, k);
                    if (PlainDocument::Key* key = section ? plain.FindKey(*section, k) : nullptr)
                        section->keys.erase(section->keys.begin() + (key - section->keys.data()));
                    break;
                default:
                    if (!section || section->keys.empty()) break;
                    const std::size_t at = rng() % section->keys.size();
                    ini.SetKeyName(s, static_cast<std::int32_t>(at), k);
                    section->keys[at].name = PlainDocument::Blanked(k);
            }
            ASSERT_NO_FATAL_FAILURE(ExpectSame(ini, plain))
                << "round " << round << " step " << step;
        }
    }
    EXPECT_TRUE(box.shown.empty());
}

// Issue 11: a Tintwell.ini saved by a Linux editor (bare LF line ends) read as
// one long line, so no map was listed and the next write replaced them all.
TEST(IniIndex, SettingsFileWithBareLfLineEndsKeepsItsMaps) {
    test::TempDir folder;
    std::ofstream(folder / "Tintwell.ini", std::ios::binary)
        << "[General]\nNumColorMaps=1\n\n[List 1]\n3=7\nName=Night\n";
    test::RecordingMessageBox box;
    SettingsFile settings(box, folder.path());
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(settings.NumColorMaps(), 1);
    EXPECT_EQ(settings.ColorMapName(1, "none"), "Night");
    EXPECT_EQ(settings.ReadColorMap(1)[3], 7);
    settings.SetZoom(2);
    std::ifstream in(folder / "Tintwell.ini", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}),
              "[General]\r\nNumColorMaps=1\r\nZoom=2\r\n\r\n[List 1]\r\n3=7\r\nName=Night\r\n");
}

}  // namespace
}  // namespace tintwell
