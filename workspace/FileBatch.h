#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "core/ColorMap.h"
#include "core/IMessageBox.h"
#include "core/RecolorReplacement.h"
#include "core/SelectionRect.h"
#include "core/modRestore.h"

namespace tintwell {

// What one file of a batch came to.
struct BatchFileResult {
    enum class Outcome { Done, Refused, SameFile };
    Outcome outcome = Outcome::Refused;
    int messages = 0;        // message boxes shown for it
    RestoreOutcome restore;  // a restore's (or dry run's) backup and kept copy
};

// What a whole batch came to.
struct BatchTotals {
    std::size_t files = 0;    // in the list
    std::size_t worked = 0;   // reached before the end or a stop: done + refused + same
    std::size_t done = 0;     // recoloured, restored (or, in a dry run, restorable)
    std::size_t refused = 0;  // reported and left as they were
    std::size_t same = 0;     // another name of a file the batch had handled
    bool stopped = false;     // the progress asked to stop
};

// Recolours or restores a list of files, for the window's commands and the
// command line alike: each file once (SeenFiles), every failure reported
// through the messages and the batch going on, a result for each file and
// the totals. Recolouring can run on several threads: files whose work could
// interfere (GroupFilesThatMayClash) are done one after the other, and each
// backup folder is made once before the jobs start, so results, messages and
// backup names are those one job gives.
class FileBatch {
  public:
    // Cache-line aligned, its map first: the map is read once per pixel, and
    // placed at an odd offset it made a one-job batch take 70% more CPU time.
    struct alignas(64) Recoloring {
        ColorMap map;
        bool backup = true;
        SelectionRect selection;
        bool outside = false;
    };
    // Before each file with one job, and as files finish with several, on the
    // calling thread: `finished` files have their result. False stops the
    // batch; no file starts after that.
    using Progress = std::function<bool(std::size_t finished, const std::filesystem::path& next)>;
    // After each file, on the calling thread and in list order.
    using Report = std::function<void(std::size_t index, const BatchFileResult& result)>;

    static FileBatch Recolor(Recoloring recoloring, int jobs = 1);
    // Puts back the newest backups (RestoreFromBackup); a dry run changes nothing.
    static FileBatch Restore(bool dryRun);

    // Runs the batch over `files`. Messages are shown through `messages` on
    // the calling thread, each file's after the files before it; with one job
    // as they happen. With several jobs `progress` is also asked about every
    // `tickMs` while files are being worked on.
    BatchTotals Run(const std::vector<std::filesystem::path>& files, IMessageBox& messages,
                    const Report& report = {}, const Progress& progress = {}, int tickMs = 100);

  private:
    enum class Action { Recolor, Restore, DryRun };
    struct RunState;
    FileBatch(Action action, Recoloring recoloring, int jobs)
        : recoloring_(std::move(recoloring)), action_(action), jobs_(jobs) {}

    // Recolours, or restores, one file. Given `pending`, a recolouring stops
    // before the replacement and leaves it there for Complete.
    BatchFileResult Work(const std::filesystem::path& file, IMessageBox& messages, RunState& state,
                         std::unique_ptr<RecolorReplacement>* pending = nullptr);
    void Complete(const std::filesystem::path& file, RecolorReplacement& replacement,
                  IMessageBox& messages, RunState& state, BatchFileResult& result);
    static void Settle(const std::filesystem::path& file, bool done, int shown, RunState& state,
                       BatchFileResult& result);
    void RunJobs(const std::vector<std::filesystem::path>& files, IMessageBox& messages,
                 const std::function<void(std::size_t, const BatchFileResult&)>& finish,
                 const Progress& progress, int tickMs, bool& stopped, RunState& state);

    Recoloring recoloring_;  // first, so it stays aligned
    Action action_;
    int jobs_;
};

}  // namespace tintwell
