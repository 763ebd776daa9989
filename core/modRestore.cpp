#include "core/modRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <system_error>

#include "bitmap/AtomicFile.h"
#include "bitmap/clsBitmap.h"
#include "core/BackupIndex.h"
#include "core/FileLock.h"
#include "core/Quoted.h"
#include "core/modRecolor.h"
#include "png/PngFile.h"
#include "png/PngRewriter.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// A reason as a sentence of its own: ends with a full stop.
std::string Sentence(const std::string& reason) {
    return !reason.empty() && reason.back() == '.' ? reason : reason + ".";
}

MessageRequest Refusal(std::string title, std::string text) {
    return {std::move(text), std::move(title), MsgButtons::OK, MsgIcon::Information, 0};
}

// A backup, open for reading from its check to the end of its copy.
class OpenBackup {
  public:
    explicit OpenBackup(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        if (fd_ < 0) error_ = std::strerror(errno);
        if (fd_ >= 0 && (::fstat(fd_, &opened_) != 0 || !S_ISREG(opened_.st_mode)))
            error_ = "it is not an ordinary file";
    }
    ~OpenBackup() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenBackup(const OpenBackup&) = delete;
    OpenBackup& operator=(const OpenBackup&) = delete;

    // True when the bytes are a BMP that loads and covers its image, or an
    // indexed PNG whose image data is whole, read through a piece at a time,
    // never held whole.
    bool Sound(const fs::path& path) {
        if (!error_.empty()) return false;
        if (PngFile::HasSignature(fd_)) return SoundPng();
        clsBitmap bitmap;
        if (!bitmap.LoadFromDescriptor(fd_, path.string(), BitmapParts::Layout)) {
            error_ = bitmap.LastError();
            return false;
        }
        if (bitmap.StreamDamage().empty() && bitmap.PixelsCoverImage()) return true;
        error_ = bitmap.StreamDamage().empty() ? "its pixel data does not cover the whole image"
                                               : bitmap.StreamDamage();
        return false;
    }
    // Copies the backup into `out`; false when that failed or the backup
    // changed meanwhile (`error` says which).
    bool CopyInto(AtomicFile& out, std::string& error) const {
        struct stat after {};
        if (!out.Open() || !out.CopyFrom(fd_, static_cast<std::uint64_t>(opened_.st_size))) {
            error = out.Error();
            return false;
        }
        if (::fstat(fd_, &after) == 0 && after.st_size == opened_.st_size &&
            after.st_mtim.tv_sec == opened_.st_mtim.tv_sec &&
            after.st_mtim.tv_nsec == opened_.st_mtim.tv_nsec)
            return true;
        error = "the backup was changed by another program while it was copied";
        return false;
    }
    const std::string& Error() const { return error_; }

  private:
    bool SoundPng() {
        PngFile png;
        if (!png.Scan(fd_)) {
            error_ = png.Why();
            return false;
        }
        PngRewriter check(fd_, png);
        if (check.Check() == PngRewriter::Outcome::Written) return true;
        error_ = check.Why().empty() ? check.Error() : check.Why();
        return false;
    }

    int fd_;
    struct stat opened_ {};
    std::string error_;
};

// Finds the newest backup of `file` and checks it; false after reporting why
// it cannot be put back.
bool FindSoundBackup(const fs::path& file, BackupIndex& index, fs::path& backup,
                     std::unique_ptr<OpenBackup>& opened, IMessageBox& messages) {
    backup = index.NewestOf(file).path;
    if (backup.empty()) {
        messages.Show(Refusal("No Backup", Quoted(file) + " has no backup in " +
                                               Quoted(BackupFolderFor(file)) + "."));
        return false;
    }
    opened = std::make_unique<OpenBackup>(backup);
    if (opened->Sound(backup)) return true;
    messages.Show(
        Refusal("Backup Damaged", Quoted(file) + " was not restored: its backup " + Quoted(backup) +
                                      " is not a readable " +
                                      (IsPngName(backup.filename().string()) ? "PNG" : "BMP") +
                                      " (" + opened->Error() + "). The file was left unchanged."));
    return false;
}

MessageRequest ChangedWhileRestoring(const fs::path& file, const std::string& why) {
    return {Quoted(file) + " was changed by another program while it was being restored (" + why +
                "). It was left as that program made it.",
            "File Changed", MsgButtons::OK, MsgIcon::Error, 0};
}

}  // namespace

RestoreOutcome RestoreFromBackup(const fs::path& file, bool dryRun, IMessageBox& messages,
                                 BackupIndex* index) {
    RestoreOutcome outcome;
    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(file, ec)) {
        messages.Show(NoFileMessage(file.string()));
        return outcome;
    }
    // Held until the file is replaced, as a recolouring holds it: the two
    // take turns, and each works on what the other wrote.
    FileLock lock;
    if (!LockForReplacing(file, lock, messages)) return outcome;
    BackupIndex own;
    BackupIndex& backups = index ? *index : own;
    fs::path backup;
    std::unique_ptr<OpenBackup> opened;
    if (!FindSoundBackup(file, backups, backup, opened, messages)) return outcome;
    if (dryRun) {
        outcome.restored = true;
        outcome.from = backup;
        return outcome;
    }
    // The file's bytes first become the newest backup, so restoring again
    // undoes this.
    std::string error;
    bool changed = false;
    if (!BackupLockedFile(lock, file, {false, false}, outcome.keptAs, error, changed)) {
        messages.Show(changed ? ChangedWhileRestoring(file, error)
                              : Refusal("Backup Failed", Quoted(file) +
                                                             " was not restored because its "
                                                             "backup copy could not be made: " +
                                                             Sentence(error)));
        outcome.keptAs.clear();
        return outcome;
    }
    backups.Added(outcome.keptAs);
    AtomicFile out(file);
    if (!opened->CopyInto(out, error)) {
        messages.Show(SaveFailedMessage(file.string(), error));
        return outcome;
    }
    if (!lock.ReplaceWith(out, error)) {
        messages.Show(out.Refused() ? ChangedWhileRestoring(file, error)
                                    : SaveFailedMessage(file.string(), out.Error()));
        return outcome;
    }
    outcome.restored = true;
    outcome.from = backup;
    return outcome;
}

}  // namespace tintwell
