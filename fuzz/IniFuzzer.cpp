// Fuzz target: the INI parser. Parse, save, parse again gives the same
// document; reading a file and saving it writes that same text; lookups agree
// with the document; changes by the names the document holds keep it
// round-tripping and are read back.
#include "fuzz/FuzzSupport.h"
#include "settings/IniNumber.h"
#include "settings/clsINI.h"
#include "tests/support/TestKit.h"

namespace {

using namespace tintwell;

// The document as seen through the interface: the first section of each name
// lists its keys, read back by name.
std::string Seen(const clsINI& ini) {
    std::string seen;
    for (std::int32_t i = 0; i < ini.NumberOfSections(); ++i) {
        const std::string name = ini.SectionName(i);
        seen += "[" + name + "]";
        for (std::int32_t k = 0; k < ini.NumberOfKeys(name); ++k) {
            const std::string key = ini.KeyName(name, k), value = ini.ReadString(name, key, "\x01");
            FUZZ_CHECK(ini.ReadLong(name, key, 12345) == ScanLong(value));
            seen += key + "=" + value + "\n";
        }
    }
    FUZZ_CHECK(ini.ReadLong(seen + "\x02", "k", -7) == -7);  // a name no section has
    return seen;
}

// Parses `text`, checks that its saved form parses to the same, returns that form.
std::string Roundtrip(const std::string& text, std::string& seen) {
    test::RecordingMessageBox box;
    clsINI ini(box), again(box);
    ini.LoadINIFromString(text);
    seen = Seen(ini);
    again.LoadINIFromString(ini.ToText());
    FUZZ_CHECK(again.ToText() == ini.ToText() && Seen(again) == seen && box.shown.empty());
    return ini.ToText();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::string parsed, changed;
    const std::string saved = Roundtrip(text, parsed);
    const auto file = fuzz::Scratch() / "fuzz.ini";
    test::WriteFile(file, text);
    test::RecordingMessageBox box;
    clsINI ini(box);
    FUZZ_CHECK(ini.LoadINI(file.string()) && Seen(ini) == parsed);
    FUZZ_CHECK(ini.SaveFile() && test::ReadFile(file) == saved);

    ini.SetAllowSaveFile(false);
    for (std::size_t step = 0; step < 4 && ini.NumberOfSections() > 0; ++step) {
        const std::uint8_t pick = size ? data[(step * 7) % size] : 0;
        const std::string section = ini.SectionName(pick % ini.NumberOfSections());
        const std::int32_t keys = ini.NumberOfKeys(section);
        const std::string key = keys ? ini.KeyName(section, (pick / 4) % keys) : "k";
        std::string value = text.substr((pick * 13u + step) % (size + 1), 12);
        for (char& c : value)  // values without CR LF read back as written
            if (c == '\r' || c == '\n') c = '_';
        if (pick % 4 < 2) {
            ini.WriteValue(section, key, value);
            FUZZ_CHECK(ini.ReadString(section, key) == value);
        } else if (pick % 4 == 2) {
            ini.DeleteKey(section, key);
        } else {
            ini.DeleteSection(section);
        }
        FUZZ_CHECK(Roundtrip(ini.ToText(), changed) == ini.ToText());
    }
    FUZZ_CHECK(box.shown.empty());
    return 0;
}
