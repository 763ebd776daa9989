// Speed of the "&Color Map" commands with 100 stored maps that change every
// index (the largest settings file the program writes in practice), through the
// real main window offscreen with the prompt and questions answered at once:
// Save over an existing name, Save As, Delete of map 1 (renumbering 99 maps),
// Load. Each command must write the settings file exactly once. Then the colour
// index list of a 4096 x 4096 image against a plain write of the same bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/modIndexList.h"
#include "ui/main/frm.h"
#include "ui/toolkit/Application.h"

namespace tintwell {
namespace {

namespace fs = std::filesystem;

constexpr int kMaps = 100;

// Answers every question with Yes (OK for plain messages) and counts them.
class YesMessageBox : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest& r) override {
        ++shown;
        return r.buttons == MsgButtons::OK ? MsgResult::OK : MsgResult::Yes;
    }
    int shown = 0;
};

class FixedPrompt : public ITextPrompt {
  public:
    std::string Ask(const PromptRequest&) override { return answer; }
    std::string answer;
};

std::string MapName(int m) {
    return "Map number " + std::to_string(m);
}

// Tintwell.ini holding 100 maps, each sending every index elsewhere.
std::string BigSettingsText() {
    std::string text = "[General]\r\nNumColorMaps=" + std::to_string(kMaps) + "\r\nPreview=0\r\n";
    for (int m = 1; m <= kMaps; ++m) {
        text += "\r\n[List " + std::to_string(m) + "]\r\n";
        for (int i = 0; i < 256; ++i)
            text += std::to_string(i) + "=" + std::to_string((i + m) % 256) + "\r\n";
        text += "Name=" + MapName(m) + "\r\n";
    }
    return text;
}

// A program folder with the big settings file and the main window loaded on it.
struct Program {
    Program() {
        std::string pattern = (fs::temp_directory_path() / "tintwell-maps-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        std::ofstream(folder / "Tintwell.ini", std::ios::binary) << BigSettingsText();
        app = std::make_unique<Application>(AppInfo(folder.string()), messages, prompt);
        window = std::make_unique<frm>(*app);
        window->Form_Load();
        for (int i = 0; i < 256; ++i)
            app->Map().SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    }
    ~Program() {
        window.reset();
        app.reset();
        fs::remove_all(folder);
    }
    ColorMapMenus& Menus() { return *window->ColorMaps(); }
    std::uint64_t Writes() { return app->Settings().Ini().WriteCount(); }
    void ReportWrites(benchmark::State& state, std::uint64_t before, int commands) {
        const double perCommand = double(Writes() - before) / commands;
        state.counters["file_writes_per_command"] = perCommand;
        if (perCommand != 1.0)
            state.SkipWithError("the settings file was not written exactly once");
    }

    fs::path folder;
    YesMessageBox messages;
    FixedPrompt prompt;
    std::unique_ptr<Application> app;
    std::unique_ptr<frm> window;
};

void BM_SaveOverAnExistingName(benchmark::State& state) {
    Program p;
    p.prompt.answer = MapName(kMaps / 2);
    const auto before = p.Writes();
    for (auto _ : state)
        p.Menus().mnuColorMapSave->trigger();
    p.ReportWrites(state, before, static_cast<int>(state.iterations()));
}
BENCHMARK(BM_SaveOverAnExistingName)->Unit(benchmark::kMillisecond);

void BM_SaveAsOntoMap1(benchmark::State& state) {
    Program p;
    const auto before = p.Writes();
    for (auto _ : state)
        p.Menus().mnuColorMapSaveAsMap[0]->trigger();
    p.ReportWrites(state, before, static_cast<int>(state.iterations()));
}
BENCHMARK(BM_SaveAsOntoMap1)->Unit(benchmark::kMillisecond);

void BM_DeleteMap1Of100(benchmark::State& state) {
    Program p;
    std::uint64_t deleteWrites = 0;
    int round = 0;
    for (auto _ : state) {
        const auto before = p.Writes();
        p.Menus().mnuColorMapDeleteMap[0]->trigger();
        deleteWrites += p.Writes() - before;
        state.PauseTiming();  // back to 100 maps with a new name at the end
        p.prompt.answer = "Added " + std::to_string(++round);
        p.Menus().mnuColorMapSave->trigger();
        state.ResumeTiming();
    }
    state.counters["file_writes_per_command"] = double(deleteWrites) / double(state.iterations());
    if (deleteWrites != static_cast<std::uint64_t>(state.iterations()))
        state.SkipWithError("not written exactly once");
}
BENCHMARK(BM_DeleteMap1Of100)->Unit(benchmark::kMillisecond);

void BM_LoadMap100(benchmark::State& state) {
    Program p;
    const auto before = p.Writes();
    for (auto _ : state)
        p.Menus().mnuColorMapLoadMap[kMaps - 1]->trigger();
    state.counters["file_writes"] = double(p.Writes() - before);
}
BENCHMARK(BM_LoadMap100)->Unit(benchmark::kMillisecond);

// --- colour index list of a 4096 x 4096 image ---------------------------------------

constexpr int kSide = 4096;
constexpr std::int64_t kListBytes = std::int64_t{kSide} * (kSide * 4 + 2);

struct BigImage {
    BigImage() {
        bitmap.CreateNew(kSide, kSide, 8);
        for (int y = 0; y < kSide; ++y) {
            std::uint8_t* row = bitmap.MutableRowData(y);
            for (int x = 0; x < kSide; ++x)
                row[x] = static_cast<std::uint8_t>(x * 7 + y);
        }
        std::string pattern = (fs::temp_directory_path() / "tintwell-list-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
    }
    ~BigImage() { fs::remove_all(folder); }
    clsBitmap bitmap;
    fs::path folder;
};

void BM_IndexList4096(benchmark::State& state) {
    BigImage image;
    std::string error;
    for (auto _ : state) {
        if (WriteColorIndexList(image.bitmap, image.folder / "list.txt", error) !=
            IndexListResult::Written)
            state.SkipWithError(error.c_str());
    }
    state.SetBytesProcessed(state.iterations() * kListBytes);
}
BENCHMARK(BM_IndexList4096)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: the same number of bytes written in 1 MiB blocks, fsynced and
// renamed into place, with no formatting at all.
void BM_PlainWriteOfTheSameBytes(benchmark::State& state) {
    BigImage image;
    const std::string block(std::size_t{1} << 20, '7');
    for (auto _ : state) {
        const fs::path temp = image.folder / "plain.tmp";
        const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::int64_t left = kListBytes; left > 0;) {
            const auto n = static_cast<std::size_t>(std::min<std::int64_t>(left, block.size()));
            if (::write(fd, block.data(), n) != static_cast<ssize_t>(n))
                state.SkipWithError("write");
            left -= static_cast<std::int64_t>(n);
        }
        ::fsync(fd);
        ::close(fd);
        fs::rename(temp, image.folder / "plain.txt");
    }
    state.SetBytesProcessed(state.iterations() * kListBytes);
}
BENCHMARK(BM_PlainWriteOfTheSameBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tintwell

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
