// The indexed document against a plain walk over lists under the same random
// operations, and a settings file with bare LF line ends.
#include <gtest/gtest.h>

#include <random>

#include "FileBytes.h"
#include "settings/IniNumber.h"
#include "settings/SettingsFile.h"
#include "support/RecordingMessageBox.h"
#include "support/TempDir.h"

namespace tintwell {
namespace {

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

std::string Text(const Document& doc) {
    std::string text;
    for (const auto& [name, keys] : doc) {
        text += (text.empty() ? "[" : "\r\n[") + name + "]\r\n";
        for (const auto& [key, value] : keys)
            text += key + "=" + value + "\r\n";
    }
    return text;
}

const std::vector<std::string> kNames = {"A", "B", "",  "5",  "05",   " 5",  "5.0",
                                         "9", "x", "!", "-0", "Name", "1e1", "10 "};

const std::string& Pick(std::mt19937& rng) {
    return kNames[rng() % kNames.size()];
}

std::string RandomText(std::mt19937& rng, std::size_t parts) {
    const std::vector<std::string> pieces = {"[", "]", "=", ";", "\r\n", "\n", "\r", "v"};
    std::string text;
    for (std::size_t i = 0; i < parts; ++i)
        text += rng() % 2 ? Pick(rng) : pieces[rng() % pieces.size()];
    return text;
}

// The text holds the order of everything; the lookups find the first namesakes.
void ExpectSame(const clsINI& ini, Document& doc) {
    ASSERT_EQ(ini.ToText(), Text(doc));
    for (const std::string& name : kNames) {
        const auto s = Find(doc, name);
        for (const std::string& key : kNames) {
            const auto k = s == doc.end() ? Keys::iterator() : Find(s->second, key);
            const bool found = s != doc.end() && k != s->second.end();
            ASSERT_EQ(ini.ReadString(name, key, "?"), found ? k->second : "?") << name << key;
        }
    }
}

TEST(IniIndex, AnswersAsAPlainWalkForTheSameRandomOperations) {
    std::mt19937 rng(13);
    test::RecordingMessageBox box;
    for (int round = 0; round < 300; ++round) {
        clsINI ini(box);
        const std::string text = RandomText(rng, rng() % 60);
        ini.LoadINIFromString(text);
        Document doc = Parse(text);
        ASSERT_NO_FATAL_FAILURE(ExpectSame(ini, doc)) << testing::PrintToString(text);
        for (int step = 0; step < 40; ++step) {
            const std::string &s = Pick(rng), &k = Pick(rng), &v = Pick(rng);
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

// Issue 11: a Tintwell.ini saved by a Linux editor (bare LF line ends) read as
// one long line, so no map was listed and the next write replaced them all.
TEST(IniIndex, SettingsFileWithBareLfLineEndsKeepsItsMaps) {
    test::TempDir folder;
    test::WriteBytes(folder / "Tintwell.ini",
                     "[General]\nNumColorMaps=1\n\n[List 1]\n3=7\nName=Night\n");
    test::RecordingMessageBox box;
    SettingsFile settings(box, folder.path());
    ASSERT_TRUE(settings.Load());
    EXPECT_EQ(settings.ColorMapName(1, "none"), "Night");
    settings.SetZoom(2);
    EXPECT_EQ(test::ReadBytes(folder / "Tintwell.ini"),
              "[General]\r\nNumColorMaps=1\r\nZoom=2\r\n\r\n[List 1]\r\n3=7\r\nName=Night\r\n");
}

}  // namespace
}  // namespace tintwell
