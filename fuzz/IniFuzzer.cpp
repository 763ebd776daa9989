// Fuzz target: the INI parser. Parse, save, parse again must give the same
// document; reading a file and saving it gives the same text; lookups agree
// with the document; a few changes keep the document round-tripping.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/FuzzSupport.h"
#include "settings/IniNumber.h"
#include "settings/clsINI.h"
#include "tests/support/RecordingMessageBox.h"

namespace {

using namespace tintwell;

struct Snapshot {
    std::vector<std::string> sections;
    std::vector<std::vector<std::pair<std::string, std::string>>> keys;
};

// The document as seen through the public interface. Repeated section names
// hide their later namesakes, so only the first of each name lists its keys.
Snapshot Take(const clsINI& ini) {
    Snapshot s;
    for (std::int32_t i = 0; i < ini.NumberOfSections(); ++i) {
        const std::string name = ini.SectionName(i);
        s.sections.push_back(name);
        std::vector<std::pair<std::string, std::string>> keys;
        for (std::int32_t k = 0; k < ini.NumberOfKeys(name); ++k) {
            const std::string key = ini.KeyName(name, k);
            keys.emplace_back(key, ini.ReadString(name, key,
                                                  "\x01"
                                                  "default"));
        }
        s.keys.push_back(std::move(keys));
    }
    return s;
}

bool Same(const Snapshot& a, const Snapshot& b) {
    return a.sections == b.sections && a.keys == b.keys;
}

void CheckLookups(const clsINI& ini) {
    for (std::int32_t i = 0; i < ini.NumberOfSections() && i < 8; ++i) {
        const std::string name = ini.SectionName(i);
        for (std::int32_t k = 0; k < ini.NumberOfKeys(name) && k < 8; ++k) {
            const std::string key = ini.KeyName(name, k);
            const std::string value = ini.ReadString(name, key, "x");
            FUZZ_CHECK(ini.ReadLong(name, key, 12345) == ScanLong(value));
        }
    }
    std::string absent = "\x02";  // longer than every section name, so no section has it
    for (std::int32_t i = 0; i < ini.NumberOfSections(); ++i)
        absent += ini.SectionName(i);
    FUZZ_CHECK(ini.ReadLong(absent, "k", -7) == -7);
}

std::string Roundtrip(const std::string& text, Snapshot& snapshot) {
    test::RecordingMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString(text);
    FUZZ_CHECK(!ini.AllowSaveFile());
    snapshot = Take(ini);
    CheckLookups(ini);
    const std::string saved = ini.ToText();
    clsINI again(box);
    again.LoadINIFromString(saved);
    FUZZ_CHECK(again.ToText() == saved);
    FUZZ_CHECK(Same(Take(again), snapshot));
    FUZZ_CHECK(box.shown.empty());
    return saved;
}

// Values without CR LF round-trip; take them from the input's bytes.
std::string ValueFrom(const std::string& text, std::size_t at) {
    std::string v = text.substr(at % (text.size() + 1), 12);
    for (char& c : v)
        if (c == '\r' || c == '\n') c = '_';
    return v;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Snapshot parsed;
    const std::string saved = Roundtrip(text, parsed);

    // Through a file: reading it and saving writes exactly the saved text.
    const auto file = fuzz::Scratch() / "fuzz.ini";
    fuzz::WriteBytes(file, data, size);
    test::RecordingMessageBox box;
    clsINI ini(box);
    FUZZ_CHECK(ini.LoadINI(file.string()));
    FUZZ_CHECK(Same(Take(ini), parsed));
    FUZZ_CHECK(ini.SaveFile());
    const std::vector<std::uint8_t> written = fuzz::ReadBytes(file);
    FUZZ_CHECK(std::string(written.begin(), written.end()) == saved);

    // Changes by the names the document holds, in memory (saving off).
    ini.SetAllowSaveFile(false);
    for (std::size_t step = 0; step < 4 && ini.NumberOfSections() > 0; ++step) {
        const std::uint8_t pick = size ? data[(step * 7) % size] : 0;
        const std::string section = ini.SectionName(pick % ini.NumberOfSections());
        const std::int32_t keys = ini.NumberOfKeys(section);
        const std::string key = keys ? ini.KeyName(section, (pick / 4) % keys) : "k";
        const std::string value = ValueFrom(text, pick * 13u + step);
        switch (pick % 4) {
            case 0:
            case 1:
                ini.WriteValue(section, key, value);
                FUZZ_CHECK(ini.ReadString(section, key) == value);
                break;
            case 2:
                ini.DeleteKey(section, key);
                break;
            case 3:
                ini.DeleteSection(section);
                break;
        }
        Snapshot changed;
        const std::string now = ini.ToText();
        FUZZ_CHECK(Roundtrip(now, changed) == now);
    }
    FUZZ_CHECK(box.shown.empty());
    return 0;
}
