// Runs RecolorFile over the given files, or makes test files.
//   recolor_file_run [--backup] FILE...     prints seconds and peak RSS
//   recolor_file_run --make PATH WIDTH HEIGHT   writes an 8-bit BMP of random pixels
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

#include "core/modRecolor.h"

namespace {

using namespace tintwell;

class CountingMessageBox : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest& request) override {
        std::fprintf(stderr, "message: %s: %s\n", request.title.c_str(), request.text.c_str());
        ++shown;
        return MsgResult::OK;
    }
    int shown = 0;
};

int Make(const char* path, int width, int height) {
    clsBitmap bmp;
    if (!bmp.CreateNew(width, height, 8)) return 1;
    for (int i = 0; i < 256; ++i)
        bmp.SetColorTableEntry(i, static_cast<ColorValue>(i * 0x010101));
    std::mt19937 rng(static_cast<unsigned>(std::hash<std::string>{}(path)));
    for (auto& b : bmp.MutablePixels())
        b = static_cast<std::uint8_t>(rng());
    if (!bmp.SaveAsFile(path)) {
        std::fprintf(stderr, "%s\n", bmp.LastError().c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::strcmp(argv[1], "--make") == 0)
        return Make(argv[2], std::stoi(argv[3]), std::stoi(argv[4]));
    int first = 1;
    const bool backup = argc > 1 && std::strcmp(argv[1], "--backup") == 0;
    if (backup) ++first;
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(i, static_cast<std::uint8_t>(i * 7 + 13));
    CountingMessageBox box;
    int failed = 0;
    const auto start = std::chrono::steady_clock::now();
    for (int a = first; a < argc; ++a)
        failed += !RecolorFile(argv[a], backup, SelectionRect{}, false, map, box);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("seconds=%.6f maxrss_kb=%ld\n", seconds, ru.ru_maxrss);
    return failed ? 1 : 0;
}
