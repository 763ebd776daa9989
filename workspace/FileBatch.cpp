#include "workspace/FileBatch.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>
#include <utility>

#include "core/BackupIndex.h"
#include "core/Quoted.h"
#include "core/modRecolor.h"
#include "png/PngDataWriter.h"
#include "workspace/BackupGroups.h"
#include "workspace/SeenFiles.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// Counts the messages shown for one file on their way to the real box.
class CountingMessages : public IMessageBox {
  public:
    explicit CountingMessages(IMessageBox& messages) : messages_(messages) {}
    MsgResult Show(const MessageRequest& request) override {
        ++shown;
        return messages_.Show(request);
    }
    int shown = 0;

  private:
    IMessageBox& messages_;
};

// Keeps the messages of a file worked on another thread, to show them later.
class KeptMessages : public IMessageBox {
  public:
    MsgResult Show(const MessageRequest& request) override {
        kept.push_back(request);
        return MsgResult::OK;
    }
    std::vector<MessageRequest> kept;
};

MessageRequest FailureMessage(const fs::path& file, bool recolor, const std::exception& e) {
    return {Quoted(file) + (recolor ? " could not be recolored: " : " could not be restored: ") +
                e.what() + ".",
            "", MsgButtons::OK, MsgIcon::Error, 0};
}

MessageRequest SameFileRestoreMessage(const fs::path& path, const fs::path& earlier) {
    return {Quoted(path) + " is the same file as " + Quoted(earlier) +
                " and was not restored a second time.",
            "Same File", MsgButtons::OK, MsgIcon::Information, 0};
}

// Makes the backup folder beside every listed file once, before the jobs
// start: two jobs making one folder at once would see each other's folder
// appear. A folder that cannot be made is reported by each file's recolouring.
void MakeBackupFolders(const std::vector<fs::path>& files) {
    std::set<fs::path> made;
    for (const fs::path& file : files) {
        std::error_code ec;
        std::string error;
        if (fs::is_regular_file(file, ec) && made.insert(BackupFolderFor(file)).second)
            EnsureBackupFolder(BackupFolderFor(file), error);
    }
}

}  // namespace

// What one run of the batch remembers across its files.
struct FileBatch::RunState {
    SeenFiles seen;
    BackupIndex backups;
};

FileBatch FileBatch::Recolor(Recoloring recoloring, int jobs) {
    return FileBatch(Action::Recolor, std::move(recoloring), jobs);
}

FileBatch FileBatch::Restore(bool dryRun) {
    return FileBatch(dryRun ? Action::DryRun : Action::Restore, {}, 1);
}

BatchFileResult FileBatch::Work(const fs::path& file, IMessageBox& box, RunState& state,
                                std::unique_ptr<RecolorReplacement>* pending) {
    CountingMessages messages(box);
    BatchFileResult result;
    const bool recolor = action_ == Action::Recolor;
    if (const fs::path earlier = state.seen.Earlier(file); !earlier.empty()) {
        messages.Show(recolor ? SameFileMessage(file.string(), earlier.string())
                              : SameFileRestoreMessage(file, earlier));
        result.outcome = BatchFileResult::Outcome::SameFile;
        result.messages = messages.shown;
        return result;
    }
    bool done = false;
    try {
        if (recolor) {
            auto replacement = PrepareRecolorFile(file, recoloring_.backup, recoloring_.selection,
                                                  recoloring_.outside, recoloring_.map, messages);
            if (replacement && pending) {
                *pending = std::move(replacement);
                return result;
            }
            done = replacement && replacement->Finish(messages);
        } else {
            result.restore =
                RestoreFromBackup(file, action_ == Action::DryRun, messages, &state.backups);
            done = result.restore.restored;
        }
    } catch (const std::exception& e) {
        messages.Show(FailureMessage(file, recolor, e));
    }
    Settle(file, done, messages.shown, state, result);
    return result;
}

void FileBatch::Complete(const fs::path& file, RecolorReplacement& replacement, IMessageBox& box,
                         RunState& state, BatchFileResult& result) {
    CountingMessages messages(box);
    bool done = false;
    try {
        done = replacement.Finish(messages);
    } catch (const std::exception& e) {
        messages.Show(FailureMessage(file, true, e));
    }
    Settle(file, done, messages.shown, state, result);
}

void FileBatch::Settle(const fs::path& file, bool done, int shown, RunState& state,
                       BatchFileResult& result) {
    // A dry run changes nothing: the name still leads to the file checked.
    state.seen.Handled(file);
    result.outcome = done ? BatchFileResult::Outcome::Done : BatchFileResult::Outcome::Refused;
    result.messages = shown;
}

BatchTotals FileBatch::Run(const std::vector<fs::path>& files, IMessageBox& messages,
                           const Report& report, const Progress& progress, int tickMs) {
    BatchTotals totals;
    totals.files = files.size();
    const auto finish = [&](std::size_t index, const BatchFileResult& result) {
        ++totals.worked;
        switch (result.outcome) {
            case BatchFileResult::Outcome::Done:
                ++totals.done;
                break;
            case BatchFileResult::Outcome::Refused:
                ++totals.refused;
                break;
            case BatchFileResult::Outcome::SameFile:
                ++totals.same;
                break;
        }
        if (report) report(index, result);
    };
    RunState state;
    // Job slots the files leave idle go to compressing a large PNG's image data.
    const auto jobs = static_cast<std::size_t>(jobs_);
    PngDataWriter::SetThreads(action_ == Action::Recolor && files.size() < jobs
                                  ? static_cast<int>(jobs - files.size()) + 1
                                  : 1);
    if (action_ != Action::Recolor || jobs_ <= 1) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (progress && !progress(i, files[i])) {
                totals.stopped = true;
                break;
            }
            finish(i, Work(files[i], messages, state));
        }
        return totals;
    }
    RunJobs(files, messages, finish, progress, tickMs, totals.stopped, state);
    return totals;
}

void FileBatch::RunJobs(const std::vector<fs::path>& files, IMessageBox& messages,
                        const std::function<void(std::size_t, const BatchFileResult&)>& finish,
                        const Progress& progress, int tickMs, bool& stopped, RunState& state) {
    struct Finished {
        BatchFileResult result;
        std::vector<MessageRequest> kept;
    };
    // A file written and waiting for the disk to take it (RecolorReplacement).
    struct Flush {
        std::size_t index;
        Finished started;
        std::unique_ptr<RecolorReplacement> replacement;
    };
    if (recoloring_.backup) MakeBackupFolders(files);
    const std::vector<std::vector<std::size_t>> groups = GroupFilesThatMayClash(files);
    std::vector<std::optional<Finished>> done(files.size());
    std::mutex mutex;
    std::condition_variable finishedOne, flushReady, flushRoom;
    std::deque<Flush> flushes;
    bool starting = true;
    std::atomic<std::size_t> nextGroup{0};
    std::atomic<bool> stop{false};
    // Up to one file per job waits for its flush, taking no job's place: the
    // flushes overlap each other and the next files' work.
    const auto flushers = static_cast<std::size_t>(jobs_);

    const auto publish = [&](std::size_t i, Finished item) {
        {
            std::lock_guard lock(mutex);
            done[i] = std::move(item);
        }
        finishedOne.notify_one();
    };
    auto work = [&] {
        for (std::size_t g; !stop && (g = nextGroup.fetch_add(1)) < groups.size();) {
            for (std::size_t i : groups[g]) {
                if (stop) return;
                KeptMessages kept;
                // The last file of a group may wait for the disk while the
                // job goes on; the others must be in place before the next.
                std::unique_ptr<RecolorReplacement> pending;
                BatchFileResult result =
                    Work(files[i], kept, state, i == groups[g].back() ? &pending : nullptr);
                if (!pending) {
                    publish(i, Finished{result, std::move(kept.kept)});
                    continue;
                }
                std::unique_lock lock(mutex);
                flushRoom.wait(lock, [&] { return flushes.size() < flushers; });
                flushes.push_back({i, Finished{result, std::move(kept.kept)}, std::move(pending)});
                flushReady.notify_one();
            }
        }
    };
    auto flush = [&] {
        for (;;) {
            std::unique_lock lock(mutex);
            flushReady.wait(lock, [&] { return !flushes.empty() || !starting; });
            if (flushes.empty()) return;
            Flush item = std::move(flushes.front());
            flushes.pop_front();
            lock.unlock();
            flushRoom.notify_one();
            KeptMessages kept;
            kept.kept = std::move(item.started.kept);
            Complete(files[item.index], *item.replacement, kept, state, item.started.result);
            item.replacement.reset();  // unlocks the file before it is reported
            publish(item.index, Finished{item.started.result, std::move(kept.kept)});
        }
    };
    // Shows a finished file's messages and hands on its result.
    const auto show = [&](std::size_t i, Finished& item) {
        for (const MessageRequest& request : item.kept)
            messages.Show(request);
        finish(i, item.result);
    };
    std::vector<std::jthread> workers, flushing;
    for (std::size_t t = 0; t < std::min(static_cast<std::size_t>(jobs_), groups.size()); ++t)
        workers.emplace_back(work);
    for (std::size_t t = 0; t < std::min(flushers, groups.size()); ++t)
        flushing.emplace_back(flush);

    std::size_t next = 0;
    while (next < files.size()) {
        std::optional<Finished> item;
        {
            std::unique_lock lock(mutex);
            finishedOne.wait_for(lock, std::chrono::milliseconds(tickMs),
                                 [&] { return done[next].has_value(); });
            if (done[next]) item = std::exchange(done[next], std::nullopt);
        }
        if (item) show(next++, *item);
        if (next < files.size() && progress && !progress(next, files[next])) {
            stopped = stop = true;
            break;
        }
    }
    workers.clear();  // the files already started are finished
    {
        std::lock_guard lock(mutex);
        starting = false;
    }
    flushReady.notify_all();
    flushing.clear();
    for (; next < files.size(); ++next)
        if (done[next]) show(next, *done[next]);
}

}  // namespace tintwell
