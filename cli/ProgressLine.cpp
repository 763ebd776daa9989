#include "cli/ProgressLine.h"

namespace tintwell::cli {

ProgressLine::ProgressLine(std::FILE* stream, bool enabled, std::size_t total, std::string verb)
    : stream_(stream),
      enabled_(enabled),
      total_(total),
      verb_(std::move(verb)),
      start_(Clock::now()) {}

void ProgressLine::Update(std::size_t done) {
    done_ = done;
    if (!enabled_) return;
    const Clock::time_point now = Clock::now();
    if (now - start_ < std::chrono::milliseconds(500)) return;
    if (shown_ && now - lastDraw_ < std::chrono::milliseconds(100)) return;
    lastDraw_ = now;
    shown_ = true;
    const unsigned percent = total_ ? static_cast<unsigned>(done_ * 100 / total_) : 100;
    std::fprintf(stream_, "\r\x1b[K%s %zu of %zu files (%u%%)", verb_.c_str(), done_, total_,
                 percent);
    std::fflush(stream_);
}

void ProgressLine::Clear() {
    if (!shown_) return;
    std::fputs("\r\x1b[K", stream_);
    std::fflush(stream_);
    shown_ = false;
}

}  // namespace tintwell::cli
