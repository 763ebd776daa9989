#include "cli/BatchRecolor.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <set>
#include <thread>
#include <utility>

#include "cli/BackupGroups.h"
#include "cli/StopSignals.h"
#include "core/IMessageBox.h"
#include "core/modRecolor.h"

namespace tintwell::cli {
namespace fs = std::filesystem;

namespace {

// Keeps the text of every message box instead of showing it.
class CollectingMessages : public IMessageBox {
  public:
    explicit CollectingMessages(std::vector<std::string>& texts) : texts_(texts) {}
    MsgResult Show(const MessageRequest& request) override {
        texts_.push_back(request.text);
        return MsgResult::OK;
    }

  private:
    std::vector<std::string>& texts_;
};

// Creates the backup folder beside every listed file that exists, before the
// jobs start: a sequential run creates each of them with the folder's first
// backup, but two jobs creating one folder at once would see each other's
// folder appear. A folder that cannot be created is left to RecolorFile,
// which reports it for each of its files.
void CreateBackupFolders(const std::vector<fs::path>& files) {
    std::set<fs::path> made;
    for (const fs::path& file : files) {
        std::error_code ec;
        if (!fs::is_regular_file(file, ec)) continue;
        const fs::path folder = BackupFolderFor(file);
        if (!made.insert(folder).second || fs::exists(fs::symlink_status(folder, ec))) continue;
        if (!fs::create_directory(folder, ec)) continue;
        const fs::path parent = folder.parent_path().empty() ? "." : folder.parent_path();
        const int fd = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
}

}  // namespace

FileOutcome BatchRecolor::RecolorOne(const fs::path& file) {
    FileOutcome outcome;
    if (StopSignal() != 0) {
        outcome.stopped = true;
        return outcome;
    }
    CollectingMessages messages(outcome.messages);
    try {
        const RecolorBatch::Outcome done =
            batch_.Recolor(file, settings_.backup, settings_.selection, settings_.outside,
                           settings_.map, messages);
        outcome.recolored = done == RecolorBatch::Outcome::Recolored;
        outcome.sameFile = done == RecolorBatch::Outcome::SameFile;
    } catch (const std::exception& e) {
        outcome.recolored = false;
        outcome.messages.push_back("\"" + file.string() + "\" could not be recolored: " + e.what() +
                                   ".");
    }
    return outcome;
}

void BatchRecolor::Run(const std::vector<fs::path>& files, const Report& report, const Tick& tick,
                       int tickMs) {
    const auto jobs = static_cast<std::size_t>(std::max(settings_.jobs, 1));
    if (jobs == 1 || files.size() <= 1) {
        for (std::size_t i = 0; i < files.size(); ++i) {
            report(i, RecolorOne(files[i]));
            if (tick) tick();
        }
        return;
    }

    if (settings_.backup) CreateBackupFolders(files);
    const std::vector<std::vector<std::size_t>> groups = GroupFilesThatMayClash(files);
    std::vector<std::optional<FileOutcome>> done(files.size());
    std::mutex mutex;
    std::condition_variable finished;
    std::atomic<std::size_t> nextGroup{0};

    auto work = [&] {
        for (std::size_t g; (g = nextGroup.fetch_add(1)) < groups.size();) {
            for (std::size_t i : groups[g]) {
                FileOutcome outcome = RecolorOne(files[i]);
                {
                    std::lock_guard lock(mutex);
                    done[i] = std::move(outcome);
                }
                finished.notify_one();
            }
        }
    };
    std::vector<std::jthread> workers;
    for (std::size_t t = 0; t < std::min(jobs, groups.size()); ++t)
        workers.emplace_back(work);

    for (std::size_t next = 0; next < files.size();) {
        std::optional<FileOutcome> outcome;
        {
            std::unique_lock lock(mutex);
            finished.wait_for(lock, std::chrono::milliseconds(tickMs),
                              [&] { return done[next].has_value(); });
            if (done[next]) outcome = std::exchange(done[next], std::nullopt);
        }
        if (outcome) report(next++, *outcome);
        if (tick) tick();
    }
}

}  // namespace tintwell::cli
