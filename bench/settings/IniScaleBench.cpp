// The settings document at scale: a file of N stored colour maps of 256 keys
// each, parsed and listed as `tintwell-cli maps` lists it; one section of K keys
// in random order; and the heap the parsed document holds per byte of file
// (memory must stay linear in the file size).
// Targets: 10,000 maps parse and list in under 0.5 s; 300,000 keys in any
// order parse in under 1 s.
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "settings/SettingsFile.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;

class SilentMessageBox : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest&) override { return MsgResult::OK; }
};

// Tintwell.ini as the program writes it after storing `maps` maps that each
// change every index.
std::string ManyMapsText(int maps) {
    std::string text = "[General]\r\nNumColorMaps=" + std::to_string(maps) + "\r\n";
    for (int m = 1; m <= maps; ++m) {
        text += "\r\n[List " + std::to_string(m) + "]\r\n";
        for (int i = 0; i < 256; ++i)
            text += std::to_string(i) + "=" + std::to_string((i + m) % 256) + "\r\n";
        text += "Name=Map number " + std::to_string(m) + "\r\n";
    }
    return text;
}

// One section of `keys` keys in random order, half numeric names, half text.
std::string ShuffledKeysText(int keys) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(keys));
    for (int k = 0; k < keys; ++k)
        lines.push_back((k % 2 ? "key" + std::to_string(k) : std::to_string(k)) + "=v");
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    std::string text = "[S]\r\n";
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

// A program folder holding one settings file per map count, made once.
class Files {
  public:
    Files() {
        std::string pattern = (fs::temp_directory_path() / "tintwell-scale-XXXXXX").string();
        root_ = ::mkdtemp(pattern.data());
    }
    ~Files() { fs::remove_all(root_); }
    const fs::path& FolderWithMaps(int maps) {
        auto found = folders_.find(maps);
        if (found != folders_.end()) return found->second;
        const fs::path folder = root_ / std::to_string(maps);
        fs::create_directory(folder);
        std::ofstream(folder / SettingsFile::kFileName, std::ios::binary) << ManyMapsText(maps);
        return folders_.emplace(maps, folder).first->second;
    }

  private:
    fs::path root_;
    std::map<int, fs::path> folders_;
};

Files& Shared() {
    static Files files;
    return files;
}

// What `tintwell-cli maps` does: load, then each map's name and entries.
void BM_ParseAndListMaps(benchmark::State& state) {
    const int maps = static_cast<int>(state.range(0));
    const fs::path& folder = Shared().FolderWithMaps(maps);
    SilentMessageBox box;
    for (auto _ : state) {
        SettingsFile settings(box, folder);
        settings.Load();
        std::size_t changed = 0;
        for (std::int32_t n = 1; n <= settings.NumColorMaps(); ++n) {
            benchmark::DoNotOptimize(settings.ColorMapName(n, "ERROR: No name found"));
            const ColorMapEntries map = settings.ReadColorMap(n);
            for (int i = 0; i < 256; ++i)
                changed += map[i] != i;
        }
        if (changed != static_cast<std::size_t>(maps - maps / 256) * 256)
            state.SkipWithError("wrong maps");
    }
    state.SetBytesProcessed(state.iterations() *
                            static_cast<std::int64_t>(fs::file_size(folder / "Tintwell.ini")));
}
BENCHMARK(BM_ParseAndListMaps)->Arg(100)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

void BM_ParseKeysInAnyOrder(benchmark::State& state) {
    const std::string text = ShuffledKeysText(static_cast<int>(state.range(0)));
    SilentMessageBox box;
    for (auto _ : state) {
        clsINI ini(box);
        ini.LoadINIFromString(text);
        if (ini.NumberOfKeys("S") != state.range(0)) state.SkipWithError("keys lost");
    }
}
BENCHMARK(BM_ParseKeysInAnyOrder)
    ->Arg(100000)
    ->Arg(300000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Heap held by the loaded document per byte of the file, for growing files.
void BM_HeapPerFileByte(benchmark::State& state) {
    const int maps = static_cast<int>(state.range(0));
    const fs::path& folder = Shared().FolderWithMaps(maps);
    const double fileBytes = static_cast<double>(fs::file_size(folder / "Tintwell.ini"));
    SilentMessageBox box;
    double held = 0;
    for (auto _ : state) {
        const std::size_t before = mallinfo2().uordblks;
        auto settings = std::make_unique<SettingsFile>(box, folder);
        settings->Load();
        held = static_cast<double>(mallinfo2().uordblks - before);
    }
    state.counters["heap_per_file_byte"] = held / fileBytes;
    state.counters["file_MB"] = fileBytes / 1e6;
}
BENCHMARK(BM_HeapPerFileByte)
    ->Arg(1000)
    ->Arg(3000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

}  // namespace
}  // namespace tintwell

BENCHMARK_MAIN();
