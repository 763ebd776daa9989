#pragma once
// Shared helpers of the window tests: the one QApplication, temporary folders,
// BMP files made with the program's own bitmap code, and mouse and key events
// sent to widgets the way the windowing system delivers them.

#include <unistd.h>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "bitmap/clsBitmap.h"

namespace tintwell::test {

// Made once and never destroyed: tearing Qt down among the other static
// objects at exit crashes inside Qt's input-device registry.
inline QApplication& TestApp() {
    static int argc = 1;
    static char arg0[] = "tintwell-tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

// A fresh folder under the system's temporary folder, removed at the end.
class TempFolder {
  public:
    TempFolder() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("tintwell-ui-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

  private:
    std::filesystem::path path_;
};

inline ColorValue Rgb(int r, int g, int b) {
    return static_cast<ColorValue>(r | (g << 8) | (b << 16));
}

// A palette where every entry differs: index i is (i, 255 - i, (i * 7) & 255).
inline ColorValue DistinctColor(int i) {
    return Rgb(i, 255 - i, (i * 7) & 0xFF);
}

// Writes a BMP of `bits` bits per pixel; `pixel` gives a palette index (1-8
// bits) or a colour value (24, 32 bits) for each column and row (0 = top).
inline void WriteBmp(const std::string& path, int width, int height, int bits,
                     const std::function<std::uint32_t(int, int)>& pixel,
                     const std::function<ColorValue(int)>& palette = DistinctColor) {
    clsBitmap bmp;
    bmp.CreateNew(width, height, static_cast<std::int16_t>(bits));
    for (int i = 0; i < bmp.ColorTableEntryCount(); ++i)
        bmp.SetColorTableEntry(i, palette(i));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bmp.SetPixelAt(x, y, static_cast<std::int32_t>(pixel(x, y)));
    bmp.SaveAsFile(path);
}

// An 8-bit BMP whose pixel (x, y) holds (x + y) mod 256.
inline void WriteDiagonalBmp(const std::string& path, int width = 16, int height = 16) {
    WriteBmp(path, width, height, 8, [](int x, int y) { return (x + y) & 0xFF; });
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

inline int ButtonsOf(Qt::MouseButtons b) {
    return static_cast<int>(b);
}

inline void SendMouse(QWidget* w, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), button, buttons, mods);
    QApplication::sendEvent(w, &e);
}
inline void Press(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonPress, pos, button, button);
}
inline void Release(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    SendMouse(w, QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
}
inline void Click(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton) {
    Press(w, pos, button);
    Release(w, pos, button);
}
inline void Move(QWidget* w, QPoint pos, Qt::MouseButtons held = Qt::NoButton) {
    SendMouse(w, QEvent::MouseMove, pos, Qt::NoButton, held);
}
inline void Key(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w, &release);
}

// Runs the deletions that windows closing themselves have queued.
inline void FlushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

}  // namespace tintwell::test
