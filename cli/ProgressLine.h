#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

namespace tintwell::cli {

// A one-line progress display on a terminal, for runs long enough to need it:
// nothing shows during the first half second, then the line is redrawn at
// most ten times a second. Clear() removes it before other text is written.
// Disabled, every call does nothing (output that is not a terminal).
class ProgressLine {
  public:
    ProgressLine(std::FILE* stream, bool enabled, std::size_t total, std::string verb);
    ~ProgressLine() { Clear(); }

    void Update(std::size_t done);
    void Clear();

  private:
    using Clock = std::chrono::steady_clock;

    std::FILE* stream_;
    bool enabled_;
    std::size_t total_;
    std::string verb_;
    std::size_t done_ = 0;
    Clock::time_point start_;
    Clock::time_point lastDraw_{};
    bool shown_ = false;
};

}  // namespace tintwell::cli
