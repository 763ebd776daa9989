// A map change repainted (DoPreview and the repaint of the visible picture) on
// 8-bit images up to 8192 x 8192 against one memory copy of a 4096 x 4096
// image's pixels; zoom changes and hovers; start-up with a folder of 2000
// small BMPs against an empty Qt main window. Runs offscreen.
#include <benchmark/benchmark.h>

#include <zlib.h>
#include <QApplication>
#include <QMainWindow>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "shell/clsResizeLimits.h"
#include "ui/main/frm.h"
#include "ui/preview/frmView.h"
#include "ui/toolkit/Application.h"

namespace tw = tintwell;

namespace {

class SilentMessages : public tw::IMessageBox {
  public:
    tw::MsgResult Show(const tw::MessageRequest&) override { return tw::MsgResult::OK; }
};
class SilentPrompt : public tw::ITextPrompt {
  public:
    std::string Ask(const tw::PromptRequest&) override { return {}; }
};
class Host : public tw::IPreviewHost {
  public:
    void DoHover(std::uint8_t) override {}
    void lblColor_MouseDown(int, int, int, double, double) override {}
    bool RecolorOutsideTicked() const override { return true; }
    void PreviewUnloading() override {}
    void cmdRecolor_Click() override {}
};

constexpr int kSide = 4096;

std::filesystem::path Scratch() {
    static const std::filesystem::path p = [] {
        auto d = std::filesystem::temp_directory_path() / "tintwell-preview-bench";
        std::filesystem::create_directories(d);
        return d;
    }();
    return p;
}

// The 4096 x 4096 8-bit test image, on disk and loaded.
const std::string& BigFile() {
    static const std::string path = [] {
        const std::string p = (Scratch() / "big.bmp").string();
        tw::clsBitmap b;
        b.CreateNew(kSide, kSide, 8);
        for (int i = 0; i < 256; ++i)
            b.SetColorTableEntry(i, static_cast<tw::ColorValue>(i * 0x010101));
        auto px = b.MutablePixels();
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
        b.SaveAsFile(p);
        return p;
    }();
    return path;
}

const tw::clsBitmap& BigBitmap() {
    static const std::unique_ptr<tw::clsBitmap> b = [] {
        auto x = std::make_unique<tw::clsBitmap>();
        x->LoadFromFile(BigFile());
        return x;
    }();
    return *b;
}

tw::ColorMap ShuffledMap() {
    tw::ColorMap m;
    for (int i = 0; i < 256; ++i)
        m.SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return m;
}

void BM_MemcpyPixels(benchmark::State& state) {
    const auto src = BigBitmap().Pixels();
    std::vector<std::uint8_t> dst(src.size());
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), src.size());
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(src.size()));
}
BENCHMARK(BM_MemcpyPixels)->Unit(benchmark::kMillisecond);

// An image of side x side pixels on disk.
std::string FileOfSide(int side) {
    if (side == kSide) return BigFile();
    const std::string p = (Scratch() / ("side-" + std::to_string(side) + ".bmp")).string();
    if (!std::filesystem::exists(p)) {
        tw::clsBitmap b;
        b.CreateNew(side, side, 8);
        auto px = b.MutablePixels();
        for (size_t i = 0; i < px.size(); ++i)
            px[i] = static_cast<std::uint8_t>(i * 7 + (i >> 12));
        b.SaveAsFile(p);
    }
    return p;
}

struct PreviewRig {
    std::filesystem::path folder = Scratch() / "program";
    SilentMessages messages;
    SilentPrompt prompt;
    Host host;
    std::unique_ptr<tw::Application> app;
    tw::clsResizeLimits limits;
    tw::frmView* view = nullptr;
    explicit PreviewRig(int side = kSide) {
        std::filesystem::create_directories(folder);
        app = std::make_unique<tw::Application>(tw::AppInfo(folder.string()), messages, prompt);
        app->Settings().Load();
        for (int i = 0; i < 256; ++i)
            app->Map().SetEntry(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i ^ 0x55));
        view = new tw::frmView(*app, host, limits);
        view->Form_Load();
        view->LoadFile(FileOfSide(side));
        view->MoveSelection(side / 8, side / 8, side / 2, side / 2);
        QCoreApplication::processEvents();
    }
    ~PreviewRig() { delete view; }
};

// The same image as an indexed PNG (rows unfiltered, zlib level 6).
const std::string& BigPngFile() {
    static const std::string path = [] {
        const tw::clsBitmap& b = BigBitmap();
        std::string raw;
        for (int y = 0; y < kSide; ++y) {
            raw += '\0';
            raw.append(reinterpret_cast<const char*>(b.RowData(y)), kSide);
        }
        uLongf n = compressBound(static_cast<uLong>(raw.size()));
        std::string data(n, '\0');
        compress2(reinterpret_cast<Bytef*>(data.data()), &n,
                  reinterpret_cast<const Bytef*>(raw.data()), raw.size(), 6);
        data.resize(n);
        const auto chunk = [](const std::string& type, const std::string& body) {
            std::string c;
            for (int i = 3; i >= 0; --i)
                c += static_cast<char>(body.size() >> (8 * i));
            const std::string typed = type + body;
            const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(typed.data()), typed.size());
            c += typed;
            for (int i = 3; i >= 0; --i)
                c += static_cast<char>(crc >> (8 * i));
            return c;
        };
        std::string palette;
        for (int i = 0; i < 256; ++i)
            palette += std::string(3, static_cast<char>(i));
        const std::string header("\0\0\x10\0\0\0\x10\0\x08\x03\0\0\0", 13);
        const std::string p = (Scratch() / "big.png").string();
        std::ofstream(p, std::ios::binary) << "\x89PNG\r\n\x1a\n" + chunk("IHDR", header) +
                                                  chunk("PLTE", palette) + chunk("IDAT", data) +
                                                  chunk("IEND", "");
        return p;
    }();
    return path;
}

// A map change as the user makes it: the map entry, the preview's DoPreview
// and the repaint of what the right-hand picture shows, for images of
// state.range(0) pixels square. The target is under 2 ms at every size.
void BM_MapChangeRepaint(benchmark::State& state) {
    PreviewRig rig(static_cast<int>(state.range(0)));
    int k = 0;
    for (auto _ : state) {
        rig.app->Map().SetMapping(static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(k * 3));
        ++k;
        rig.view->DoPreview();
        rig.view->img(1)->repaint();
    }
    state.counters["shown_px"] = rig.view->img(1)->width() * rig.view->img(1)->height();
}
BENCHMARK(BM_MapChangeRepaint)->Arg(1024)->Arg(4096)->Arg(8192)->Unit(benchmark::kMillisecond);

// Showing a file in the preview: read, decode, both pictures. A PNG against
// the BMP of the same image.
void BM_LoadFileBmp(benchmark::State& state) {
    PreviewRig rig;
    for (auto _ : state)
        rig.view->LoadFile(BigFile());
}
BENCHMARK(BM_LoadFileBmp)->Unit(benchmark::kMillisecond);

void BM_LoadFilePng(benchmark::State& state) {
    PreviewRig rig;
    for (auto _ : state)
        rig.view->LoadFile(BigPngFile());
}
BENCHMARK(BM_LoadFilePng)->Unit(benchmark::kMillisecond);

void BM_ZoomChange(benchmark::State& state) {
    PreviewRig rig;
    int z = 1;
    for (auto _ : state) {
        z = z == 8 ? 1 : z + 1;
        rig.view->vsbZoom()->setValue(z);
    }
    if (rig.view->RenderCount() != 1) state.SkipWithError("a zoom change rendered");
}
BENCHMARK(BM_ZoomChange)->Unit(benchmark::kMicrosecond);

void BM_Hover(benchmark::State& state) {
    PreviewRig rig;
    int x = 0;
    for (auto _ : state) {
        x = (x + 1) % 400;
        rig.view->img_MouseMove(1, 0, QPoint(x, x));
    }
    if (rig.view->RenderCount() != 1) state.SkipWithError("a hover rendered");
}
BENCHMARK(BM_Hover)->Unit(benchmark::kMicrosecond);

// --- start-up ----------------------------------------------------------------------

const std::filesystem::path& FolderOf2000() {
    static const std::filesystem::path folder = [] {
        auto f = Scratch() / "2000";
        std::filesystem::create_directories(f);
        tw::clsBitmap b;
        b.CreateNew(32, 32, 8);
        for (int i = 0; i < 2000; ++i) {
            auto p = f / ("image-" + std::to_string(i) + ".bmp");
            if (!std::filesystem::exists(p)) b.SaveAsFile(p);
        }
        return f;
    }();
    return folder;
}

void BM_StartEmptyMainWindow(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow w;
        w.show();
        QCoreApplication::processEvents();
    }
}
BENCHMARK(BM_StartEmptyMainWindow)->Unit(benchmark::kMillisecond);

void BM_StartTintwellWith2000Files(benchmark::State& state) {
    const auto folder = Scratch() / "start";
    std::filesystem::create_directories(folder);
    {
        std::ofstream ini(folder / "Tintwell.ini", std::ios::trunc | std::ios::binary);
        ini << "[General]\r\nFolder=" << FolderOf2000().string() << "\r\n";
    }
    SilentMessages messages;
    SilentPrompt prompt;
    for (auto _ : state) {
        tw::Application app(tw::AppInfo(folder.string()), messages, prompt);
        tw::frm w(app);
        w.Form_Load();
        w.show();
        QCoreApplication::processEvents();
        if (w.File->count() != 2000) state.SkipWithError("folder not listed");
    }
}
BENCHMARK(BM_StartTintwellWith2000Files)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    auto* qt = new QApplication(argc, argv);  // left to the end of the process
    (void)qt;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
