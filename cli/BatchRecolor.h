#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/ColorMap.h"
#include "core/RecolorBatch.h"
#include "core/SelectionRect.h"

namespace tintwell::cli {

// What happened to one file of a batch.
struct FileOutcome {
    bool recolored = false;
    bool sameFile = false;  // another name of a file the batch handled already
    bool stopped = false;   // not started: a stop signal ended the run first
    // The texts of the message boxes the window would have shown for it.
    std::vector<std::string> messages;
};

// Runs the library's RecolorFile over a list of files, on `jobs` threads,
// each file once however many names reach it (RecolorBatch).
// Files whose work could interfere (GroupFilesThatMayClash) are done one
// after the other on one thread, so every result and every backup name is the
// one a single job gives. Outcomes are reported on the calling thread in file
// order, whatever order the files finish in.
class BatchRecolor {
  public:
    struct Settings {
        ColorMap map;
        bool backup = true;
        SelectionRect selection;
        bool outside = false;
        int jobs = 1;
    };
    using Report = std::function<void(std::size_t index, const FileOutcome& outcome)>;
    // Called on the calling thread about every `tickMs` while files are being worked on.
    using Tick = std::function<void()>;

    explicit BatchRecolor(Settings settings) : settings_(std::move(settings)) {}
    BatchRecolor(const BatchRecolor&) = delete;
    BatchRecolor& operator=(const BatchRecolor&) = delete;

    void Run(const std::vector<std::filesystem::path>& files, const Report& report,
             const Tick& tick = {}, int tickMs = 100);

    // Recolours one file and gathers what would have been shown for it.
    FileOutcome RecolorOne(const std::filesystem::path& file);

  private:
    Settings settings_;
    RecolorBatch batch_;
};

}  // namespace tintwell::cli
