#include "core/modRestore.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

#include "bitmap/AtomicFile.h"
#include "bitmap/clsBitmap.h"
#include "core/modRecolor.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// Built up in place: GCC 12 at -O3 warns wrongly about "literal" + string.
std::string Quoted(const fs::path& path) {
    std::string quoted(1, '"');
    quoted += path.string();
    quoted += '"';
    return quoted;
}

// A reason as a sentence of its own: ends with a full stop.
std::string Sentence(const std::string& reason) {
    return !reason.empty() && reason.back() == '.' ? reason : reason + ".";
}

MessageRequest Refusal(std::string title, std::string text) {
    return {std::move(text), std::move(title), MsgButtons::OK, MsgIcon::Information, 0};
}

// The number of a backup name of `name`: 0 for the name itself, 1..999 for
// STEM-NNN.bmp (STEM: the name up to its last "."), -1 for any other name.
int BackupNumber(const std::string& name, const std::string& candidate) {
    if (candidate == name) return 0;
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    if (candidate.size() != stem.size() + 8 || candidate.compare(0, stem.size(), stem) != 0 ||
        candidate.compare(stem.size(), 1, "-") != 0 || !candidate.ends_with(".bmp"))
        return -1;
    int number = 0;
    for (std::size_t i = stem.size() + 1; i < stem.size() + 4; ++i) {
        if (candidate[i] < '0' || candidate[i] > '9') return -1;
        number = number * 10 + (candidate[i] - '0');
    }
    return number > 0 ? number : -1;
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

// The newest backup of `file` and its number (0 for the un-numbered copy).
fs::path NewestBackup(const fs::path& file, int& highest) {
    const std::string name = file.filename().string();
    fs::path newest;
    highest = -1;
    std::error_code ec;
    for (fs::directory_iterator it(BackupFolderFor(file), ec), end; !ec && it != end;
         it.increment(ec)) {
        const int number = BackupNumber(name, it->path().filename().string());
        if (number > highest && it->is_regular_file(ec)) {
            highest = number;
            newest = it->path();
        }
    }
    return newest;
}

// The name after the newest backup's, so that the copy made before a restore
// is the newest backup afterwards and the next restore puts it back.
fs::path NameAfter(const fs::path& file, const fs::path& folder, int number) {
    const std::string name = file.filename().string();
    const std::size_t dot = name.rfind('.');
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "-%03d.bmp", number + 1);
    return folder / ((dot == std::string::npos ? name : name.substr(0, dot)) + suffix);
}

}  // namespace

fs::path NewestBackupPath(const fs::path& file) {
    int number = 0;
    return NewestBackup(file, number);
}

namespace {

// Finds the newest backup of `file`, reads it and names the copy of the file
// to make first; false after reporting why the backup cannot be put back.
bool FindSoundBackup(const fs::path& file, fs::path& backup, std::vector<std::uint8_t>& bytes,
                     fs::path& keep, IMessageBox& messages) {
    int number = 0;
    backup = NewestBackup(file, number);
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
    if (number < 999) {
        keep = NameAfter(file, backup.parent_path(), number);
        return true;
    }
    messages.Show(Refusal("Backup Folder Full",
                          Quoted(file) + " was not restored: its newest backup " + Quoted(backup) +
                              " has the last number, 999, so no copy of its current contents "
                              "can follow it. The file was left unchanged."));
    return false;
}

// Copies the file's current contents to `keep`, whole and on disk when true.
bool KeepCurrent(const fs::path& file, const fs::path& keep, std::string& error) {
    std::vector<std::uint8_t> current;
    if (!ReadWhole(file, current, error) ||
        !AtomicFile::WriteWhole(keep, current.data(), current.size(), error))
        return false;
    AtomicFile::SyncFolder(keep.parent_path());
    return true;
}

}  // namespace

RestoreOutcome RestoreFromBackup(const fs::path& file, bool dryRun, IMessageBox& messages) {
    RestoreOutcome outcome;
    std::error_code ec;
    if (file.empty() || !fs::is_regular_file(file, ec)) {
        messages.Show(NotFoundMessage(file.string()));
        return outcome;
    }
    fs::path backup, keep;
    std::vector<std::uint8_t> bytes;
    if (!FindSoundBackup(file, backup, bytes, keep, messages)) return outcome;
    std::string error;
    if (!dryRun && !KeepCurrent(file, keep, error)) {
        messages.Show(Refusal("Backup Failed", Quoted(file) +
                                                   " was not restored because its backup copy "
                                                   "could not be made: " +
                                                   Sentence(error)));
        return outcome;
    }
    if (!dryRun) outcome.keptAs = keep;
    if (!dryRun && !AtomicFile::WriteWhole(file, bytes.data(), bytes.size(), error)) {
        messages.Show(SaveFailedMessage(file.string(), error));
        return outcome;
    }
    outcome.restored = true;
    outcome.from = backup;
    return outcome;
}

}  // namespace tintwell
