#pragma once
// What the logic tests share: a temporary folder, whole-file reads and writes,
// the scripted message box, and the fixtures of the failure modes (a full disk,
// a step run as an unprivileged user in a child process).

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/IMessageBox.h"
#include "core/SelectionRect.h"

namespace tintwell::test {
namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}
inline void WriteFile(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

// The texts, each followed by `end`.
inline std::string Joined(const std::vector<std::string>& texts, const std::string& end) {
    std::string all;
    for (const std::string& t : texts)
        all += t + end;
    return all;
}

// A fresh folder, removed with its contents at the end.
class TempDir {
  public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tintwell-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
        fs::permissions(path_, fs::perms(0755));
    }
    ~TempDir() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    fs::path operator/(const fs::path& name) const { return path_ / name; }
    // Names of every entry below the folder, sorted ("sub/name").
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(path_))
            names.push_back(e.path().lexically_relative(path_).string());
        std::sort(names.begin(), names.end());
        return names;
    }

  private:
    fs::path path_;
};

// A map with these entries changed, as a loaded map is (the changed flag stays clear).
inline ColorMap MapOf(std::initializer_list<std::pair<int, int>> changes) {
    ColorMap map;
    for (const auto& [from, to] : changes)
        map.SetEntry(static_cast<std::uint8_t>(from), static_cast<std::uint8_t>(to));
    return map;
}

// Every index to 255 minus itself: a pixel recoloured twice or missed shows.
inline ColorMap Inverted() {
    ColorMap map;
    for (int i = 0; i < 256; ++i)
        map.SetMapping(static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i));
    return map;
}

// The recolouring rule written out pixel by pixel: one lookup per pixel inside
// (or outside) the selection, skipping pixels whose bytes the bitmap does not hold.
inline void ReferenceRecolor(clsBitmap& bmp, const ColorMap& map, SelectionRect s, bool outside) {
    const std::int64_t x1 = std::int64_t{s.x0} + s.w - 1, y1 = std::int64_t{s.y0} + s.h - 1;
    const std::int64_t size = std::int64_t(bmp.Pixels().size()), stride = bmp.RowStride();
    const std::int64_t stored = stride ? (size + stride - 1) / stride : 0;
    const std::int64_t first =
        bmp.IsTopDown() ? 0 : std::max<std::int64_t>(bmp.Height() - stored, 0);
    for (std::int64_t y = first; y < std::min<std::int64_t>(bmp.Height(), first + stored); ++y)
        for (int x = 0; x < bmp.Width() && bmp.BitCount() <= 8; ++x)
            try {
                const bool inside = x >= s.x0 && x <= x1 && y >= s.y0 && y <= y1;
                if (s.IsNoSelection() || inside != outside)
                    bmp.SetPixelAt(x, int(y), map[std::uint8_t(bmp.GetPixelAt(x, int(y)))]);
            } catch (const std::out_of_range&) {
                break;  // the rest of the row lies further beyond the held bytes
            }
}

// "title|text" of a request, then its buttons, icon and default button as numbers.
inline std::string Describe(const MessageRequest& m) {
    return m.title + "|" + m.text + "|" + std::to_string(static_cast<int>(m.buttons)) +
           std::to_string(static_cast<int>(m.icon)) + std::to_string(m.defaultButton);
}

// Message box double: records each request, answers from `answers`, else with
// the default button.
class RecordingMessageBox : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest& r) override {
        shown.push_back(r);
        if (!answers.empty()) {
            const MsgResult a = answers.front();
            answers.pop_front();
            return a;
        }
        if (r.buttons == MsgButtons::OK) return MsgResult::OK;
        return r.defaultButton == 0   ? MsgResult::Yes
               : r.defaultButton == 1 ? MsgResult::No
                                      : MsgResult::Cancel;
    }
    // The titles shown so far, each followed by ";".
    std::string Titles() const {
        std::string t;
        for (const auto& m : shown)
            t += m.title + ";";
        return t;
    }
    std::vector<MessageRequest> shown;
    std::deque<MsgResult> answers;
};

// A full disk: while it lives no file may grow beyond `bytes` (root included).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) : previous_(std::signal(SIGXFSZ, SIG_IGN)) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit old_{};
    void (*previous_)(int);
};

// Runs `body` in a forked child, as user "nobody" when `unprivileged` and the
// tests run as root (so permission bits bind); returns what the child wrote
// into its string, which stays empty when the child dies.
inline std::string InChild(const std::function<void(std::string&)>& body,
                           bool unprivileged = false) {
    int fds[2];
    if (::pipe(fds) != 0) return "pipe failed";
    const pid_t pid = ::fork();
    if (pid == 0) {
        std::string report;
        if (!unprivileged || ::geteuid() != 0 || (::setgid(65534) == 0 && ::setuid(65534) == 0))
            body(report);
        if (::write(fds[1], report.data(), report.size()) < 0) ::_exit(1);
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    ::waitpid(pid, nullptr, 0);
    return report;
}
inline std::string AsUnprivilegedUser(const std::function<void(std::string&)>& body) {
    return InChild(body, true);
}

// Hands a path to the user AsUnprivilegedUser runs as.
inline void GiveToNobody(const fs::path& p) {
    if (::geteuid() == 0 && ::chown(p.c_str(), 65534, 65534) != 0)
        throw std::runtime_error("chown");
}

}  // namespace tintwell::test
