// Speed of the settings document with 100 stored colour maps of 256 keys:
// parsing the file, reading one map, one write-through change, and a whole-map
// save done with saving switched off and on (which must write the file once).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "settings/SettingsFile.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;

class SilentMessageBox : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest&) override {
        ++shown;
        return MsgResult::OK;
    }
    int shown = 0;
};

constexpr int kMaps = 100;

// A settings file as the program writes it after storing 100 maps that change
// every index.
std::string BigSettingsText() {
    SilentMessageBox box;
    clsINI ini(box);
    ini.LoadINIFromString("");
    ini.WriteValue("General", "Folder", "/home/user/images");
    ini.WriteValue("General", "NumColorMaps", std::to_string(kMaps));
    for (int m = 1; m <= kMaps; ++m) {
        const std::string section = SettingsFile::ListSectionName(m);
        ini.WriteValue(section, "Name", "Map number " + std::to_string(m));
        for (int i = 0; i < 256; ++i)
            ini.WriteValue(section, std::to_string(i), std::to_string((i + m) % 256));
    }
    return ini.ToText();
}

// A program folder holding the big settings file, removed at the end.
struct Fixture {
    Fixture() {
        std::string pattern = (fs::temp_directory_path() / "tintwell-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        text = BigSettingsText();
        std::ofstream(folder / SettingsFile::kFileName, std::ios::binary) << text;
    }
    ~Fixture() { fs::remove_all(folder); }
    fs::path folder;
    std::string text;
};

Fixture& Shared() {
    static Fixture f;
    return f;
}

void BM_ParseFile(benchmark::State& state) {
    Fixture& f = Shared();
    SilentMessageBox box;
    for (auto _ : state) {
        SettingsFile settings(box, f.folder);
        benchmark::DoNotOptimize(settings.Load());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(f.text.size()));
}
BENCHMARK(BM_ParseFile)->Unit(benchmark::kMillisecond);

void BM_ReadOneMap(benchmark::State& state) {
    Fixture& f = Shared();
    SilentMessageBox box;
    SettingsFile settings(box, f.folder);
    settings.Load();
    for (auto _ : state)
        benchmark::DoNotOptimize(settings.ReadColorMap(kMaps));  // the last section
}
BENCHMARK(BM_ReadOneMap)->Unit(benchmark::kMillisecond);

void BM_OneWriteValue(benchmark::State& state) {
    Fixture& f = Shared();
    SilentMessageBox box;
    SettingsFile settings(box, f.folder);
    settings.Load();
    int zoom = 1;
    for (auto _ : state)
        settings.SetZoom(zoom = zoom % 8 + 1);
    if (box.shown != 0) state.SkipWithError("saving failed");
}
BENCHMARK(BM_OneWriteValue)->Unit(benchmark::kMillisecond);

void BM_WholeMapSaveInABatch(benchmark::State& state) {
    Fixture& f = Shared();
    SilentMessageBox box;
    SettingsFile settings(box, f.folder);
    settings.Load();
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(255 - i);
    std::uint64_t writesBefore = settings.Ini().WriteCount();
    for (auto _ : state) {
        SettingsFile::SaveBatch batch(settings);
        settings.DeleteColorMapSection(kMaps + 1);
        settings.SetNumColorMaps(kMaps + 1);
        settings.WriteColorMapSection(kMaps + 1, "Reversed", map);
    }
    const double writesPerSave =
        double(settings.Ini().WriteCount() - writesBefore) / double(state.iterations());
    state.counters["file_writes_per_save"] = writesPerSave;
    if (writesPerSave != 1.0 || box.shown != 0) state.SkipWithError("not written exactly once");
}
BENCHMARK(BM_WholeMapSaveInABatch)->Unit(benchmark::kMillisecond);

// The same save written through key by key, for comparison.
void BM_WholeMapSaveWrittenThrough(benchmark::State& state) {
    Fixture& f = Shared();
    SilentMessageBox box;
    SettingsFile settings(box, f.folder);
    settings.Load();
    ColorMapEntries map{};
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<std::uint8_t>(255 - i);
    for (auto _ : state) {
        settings.DeleteColorMapSection(kMaps + 1);
        settings.SetNumColorMaps(kMaps + 1);
        settings.WriteColorMapSection(kMaps + 1, "Reversed", map);
    }
}
BENCHMARK(BM_WholeMapSaveWrittenThrough)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tintwell

BENCHMARK_MAIN();
