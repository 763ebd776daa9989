#include "core/modRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <system_error>
#include <vector>

#include "bitmap/AtomicFile.h"
#include "bitmap/clsBitmap.h"
#include "core/BackupIndex.h"
#include "core/Quoted.h"
#include "core/modRecolor.h"

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

// The whole contents of the ordinary file `path`; false with `error` set.
bool ReadWhole(const fs::path& path, std::vector<std::uint8_t>& bytes, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = "it is not an ordinary file";
        ::close(fd);
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (done == bytes.size()) return true;
    error = "it could not be read whole";
    return false;
}

// The backup's bytes when they are a BMP that loads and covers its image.
bool ReadSoundBackup(const fs::path& backup, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (!ReadWhole(backup, bytes, error)) return false;
    clsBitmap bitmap;
    if (!bitmap.LoadFromByteArray(bytes)) {
        error = bitmap.LastError();
        return false;
    }
    if (bitmap.PixelsCoverImage()) return true;
    error = "its pixel data does not cover the whole image";
    return false;
}

}  // namespace

namespace {

// Finds the newest backup of `file`, reads it and names the copy of the file
// to make first; false after reporting why the backup cannot be put back.
bool FindSoundBackup(const fs::path& file, BackupIndex& index, fs::path& backup,
                     std::vector<std::uint8_t>& bytes, fs::path& keep, IMessageBox& messages) {
    BackupIndex::Backup newest = index.NewestOf(file);
    keep = BackupFolderFor(file) / BackupIndex::NameNumbered(file, newest.number + 1);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(keep, ec))) {  // another program added backups meanwhile
        index.Forget(BackupFolderFor(file));
        newest = index.NewestOf(file);
        keep = BackupFolderFor(file) / BackupIndex::NameNumbered(file, newest.number + 1);
    }
    backup = newest.path;
    if (backup.empty()) {
        messages.Show(Refusal("No Backup", Quoted(file) + " has no backup in " +
                                               Quoted(BackupFolderFor(file)) + "."));
        return false;
    }
    std::string error;
    if (!ReadSoundBackup(backup, bytes, error)) {
        messages.Show(Refusal("Backup Damaged", Quoted(file) + " was not restored: its backup " +
                                                    Quoted(backup) + " is not a readable BMP (" +
                                                    error + "). The file was left unchanged."));
        return false;
    }
    if (newest.number < 999) return true;
    messages.Show(Refusal("Backup Folder Full",
                          Quoted(file) + " was not restored: its newest backup " + Quoted(backup) +
                              " has the last number, 999, so no copy of its current contents "
                              "can follow it. The file was left unchanged."));
    return false;
}

// Copies the file's current contents to `keep`, whole and on disk when true.
// The name is taken exclusively: a backup is never replaced.
bool KeepCurrent(const fs::path& file, const fs::path& keep, std::string& error) {
    std::vector<std::uint8_t> current;
    if (!ReadWhole(file, current, error)) return false;
    AtomicFile copy(keep, false);
    bool taken = false;
    if (!copy.Open() || !copy.Write(current.data(), current.size()) ||
        !copy.Publish(keep, false, taken)) {
        error = taken ? Quoted(keep) + " was made by another program meanwhile" : copy.Error();
        return false;
    }
    AtomicFile::SyncFolder(keep.parent_path());
    return true;
}

}  // namespace

RestoreOutcome RestoreFromBackup(const fs::path& file, bool dryRun, IMessageBox& messages,
                                 BackupIndex* index) {
    RestoreOutcome outcome;
    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(file, ec)) {
        messages.Show(NotFoundMessage(file.string()));
        return outcome;
    }
    BackupIndex own;
    fs::path backup, keep;
    std::vector<std::uint8_t> bytes;
    if (!FindSoundBackup(file, index ? *index : own, backup, bytes, keep, messages)) return outcome;
    std::string error;
    if (!dryRun && !KeepCurrent(file, keep, error)) {
        messages.Show(Refusal("Backup Failed", Quoted(file) +
                                                   " was not restored because its backup copy "
                                                   "could not be made: " +
                                                   Sentence(error)));
        return outcome;
    }
    if (!dryRun) {
        outcome.keptAs = keep;
        (index ? *index : own).Added(keep);
    }
    if (!dryRun && !AtomicFile::WriteWhole(file, bytes.data(), bytes.size(), error)) {
        messages.Show(SaveFailedMessage(file.string(), error));
        return outcome;
    }
    outcome.restored = true;
    outcome.from = backup;
    return outcome;
}

}  // namespace tintwell
