#include "core/modRecolor.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <stdexcept>
#include <system_error>

#include "bitmap/AtomicFile.h"
#include "bitmap/TemporaryFiles.h"
#include "core/FileLock.h"
#include "core/Quoted.h"
#include "core/RecolorSpans.h"
#include "core/RecolorWriter.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// How long a recolouring waits for another one of the same file to finish.
constexpr std::chrono::seconds kLockWait{30};

// Maps the 8-bit pixels [xa, xb) of image row y, as far as the bitmap holds them.
void MapRow8(clsBitmap& bitmap, const std::uint8_t* table, std::int64_t y, std::int64_t xa,
             std::int64_t xb) {
    const std::span<std::uint8_t> pixels = bitmap.MutablePixels();
    const std::int64_t start = bitmap.RowOffset(y);
    const auto held = static_cast<std::int64_t>(pixels.size());
    if (start < 0 || start >= held) return;
    xb = std::min(xb, held - start);
    std::uint8_t* p = pixels.data() + start;
    for (std::int64_t x = xa; x < xb; ++x)
        p[x] = table[p[x]];
}

// 1- and 4-bit images: pixel by pixel, the new index masked to the pixel's bits.
void MapRowSubByte(clsBitmap& bitmap, const ColorMap& map, std::int64_t y, std::int64_t xa,
                   std::int64_t xb) {
    const auto row = static_cast<std::int32_t>(y);
    for (std::int64_t x = xa; x < xb; ++x) {
        const auto column = static_cast<std::int32_t>(x);
        try {
            const std::int32_t v = bitmap.GetPixelAt(column, row);
            bitmap.SetPixelAt(column, row, map[static_cast<std::uint8_t>(v)]);
        } catch (const std::out_of_range&) {
            return;  // the rest of this row lies beyond the held pixel bytes
        }
    }
}

// A reason as a sentence of its own: ends with a full stop.
std::string Sentence(const std::string& reason) {
    return !reason.empty() && reason.back() == '.' ? reason : reason + ".";
}

bool EntryExists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(fs::symlink_status(p, ec));
}

MessageRequest Info(std::string title, std::string text) {
    return {std::move(text), std::move(title), MsgButtons::OK, MsgIcon::Information, 0};
}
MessageRequest Error(std::string title, std::string text) {
    return {std::move(text), std::move(title), MsgButtons::OK, MsgIcon::Error, 0};
}

}  // namespace

void RecolorBitmap(clsBitmap& bitmap, const ColorMap& map, const SelectionRect& selection,
                   bool outside) {
    const std::int64_t width = bitmap.Width();
    const std::int64_t height = bitmap.Height();
    const bool indexed8 = bitmap.BytesPerPixel() == 1;
    const bool subByte = bitmap.PixelsPerByte() > 0;
    if (width <= 0 || height <= 0 || (!indexed8 && !subByte) || map.IsIdentity()) return;

    // Only rows whose bytes the bitmap holds can change: a header that claims
    // millions of rows over a few bytes of data must not make us walk them all.
    const std::int64_t stride = bitmap.RowStride();
    const auto held = static_cast<std::int64_t>(bitmap.Pixels().size());
    const std::int64_t heldRows = std::min(height, (held + stride - 1) / stride);
    const std::int64_t firstRow = bitmap.IsTopDown() ? 0 : height - heldRows;
    for (std::int64_t y = firstRow; y < firstRow + heldRows; ++y) {
        const RecolorSpans spans = RecolorSpans::ForRow(selection, outside, width, y);
        for (int s = 0; s < spans.count; ++s) {
            if (indexed8)
                MapRow8(bitmap, map.data(), y, spans.from[s], spans.to[s]);
            else
                MapRowSubByte(bitmap, map, y, spans.from[s], spans.to[s]);
        }
    }
}

RecolorProblem FindRecolorProblem(const clsBitmap& bitmap, bool loaded) {
    if (bitmap.BitCount() != 8) return RecolorProblem::NotEightBit;
    if (!loaded && !bitmap.Unsupported().empty()) return RecolorProblem::Unsupported;
    if (!loaded) return RecolorProblem::LoadFailed;
    if (!bitmap.StreamDamage().empty()) return RecolorProblem::Damaged;
    if (!bitmap.PixelsCoverImage()) return RecolorProblem::PixelsCutShort;
    return RecolorProblem::None;
}

MessageRequest RecolorProblemMessage(RecolorProblem problem, const std::string& path,
                                     const clsBitmap& bitmap) {
    switch (problem) {
        case RecolorProblem::None:
            break;
        case RecolorProblem::NotEightBit:
            return Info("BMP is not 8-bit", Quoted(path) + " is not a 256 color BMP");
        case RecolorProblem::Unsupported:
            return Info("BMP is not supported", Quoted(path) + " is a 256 color BMP, but " +
                                                    bitmap.Unsupported() +
                                                    " is not supported. The file was left "
                                                    "unchanged.");
        case RecolorProblem::Damaged:
            return DamagedMessage(path, bitmap.StreamDamage());
        case RecolorProblem::LoadFailed:
            return Info("BMP not readable",
                        Quoted(path) + " could not be read: " + Sentence(bitmap.LastError()) +
                            " The file was left unchanged.");
        case RecolorProblem::PixelsCutShort:
            return Info("BMP is incomplete",
                        Quoted(path) +
                            " is cut short: its pixel data does not cover the whole image."
                            " The file was left unchanged.");
    }
    return Info("", "");
}

MessageRequest DamagedMessage(const std::string& path, const std::string& damage) {
    return Info("BMP is damaged", Quoted(path) + " has damaged compressed pixel data: " +
                                      Sentence(damage) + " The file was left unchanged.");
}

MessageRequest OutOfMemoryMessage(const std::string& path) {
    return Error("Out of Memory", Quoted(path) +
                                      " could not be recolored: there is not enough memory. "
                                      "The file was left unchanged.");
}

MessageRequest NotFoundMessage(const std::string& path) {
    return Info("Not Found", Quoted(path) + " not found.");
}

MessageRequest BackupFailedMessage(const std::string& path, const std::string& error) {
    return Error("Backup Failed", Quoted(path) +
                                      " was not recolored because its backup copy could not "
                                      "be made: " +
                                      Sentence(error));
}

MessageRequest SaveFailedMessage(const std::string& path, const std::string& error) {
    return Error("Save Failed", Quoted(path) + " could not be written: " + Sentence(error) +
                                    " The file was left unchanged.");
}

MessageRequest UnreadableMessage(const std::string& path, const std::string& error) {
    return Info("BMP not readable", Quoted(path) + " could not be read: " + Sentence(error) +
                                        " The file was left unchanged.");
}

MessageRequest BusyMessage(const std::string& path) {
    return Error("File Busy", Quoted(path) +
                                  " is locked by another program that is changing it, and it "
                                  "did not become free within 30 seconds. The file was left "
                                  "unchanged.");
}

MessageRequest ChangedMessage(const std::string& path, const std::string& why) {
    return Error("File Changed", Quoted(path) +
                                     " was changed by another program while it was being "
                                     "recolored (" +
                                     why + "). It was left as that program made it.");
}

MessageRequest SameFileMessage(const std::string& path, const std::string& earlier) {
    return Info("Same File", Quoted(path) + " is the same file as " + Quoted(earlier) +
                                 " and was not recolored a second time.");
}

fs::path BackupFolderFor(const fs::path& file) {
    return file.parent_path() / "Tintwell Backup";
}

namespace {

// At most `bytes` bytes of `text`, never ending inside a UTF-8 character.
std::string CutToBytes(const std::string& text, std::size_t bytes) {
    if (text.size() <= bytes) return text;
    std::size_t cut = bytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut);
}

}  // namespace

fs::path BackupName(const fs::path& file, const fs::path& folder, int n) {
    const std::string name = file.filename().string();
    if (n == 0) return folder / name;
    const std::size_t dot = name.rfind('.');
    const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
    char tail[16];
    std::snprintf(tail, sizeof tail, "-%03d.bmp", n);
    constexpr std::size_t kNameMax = 255;  // bytes in a name on Linux file systems
    return folder / (CutToBytes(stem, kNameMax - std::strlen(tail)) + tail);
}

fs::path NextBackupPath(const fs::path& file, const fs::path& folder) {
    fs::path candidate;
    for (int n = 0; n <= 999; ++n) {
        candidate = BackupName(file, folder, n);
        if (!EntryExists(candidate)) return candidate;
    }
    return candidate;  // all taken: the 999th copy is overwritten
}

bool EnsureBackupFolder(const fs::path& folder, std::string& error) {
    std::error_code ec;
    if (!fs::exists(folder, ec)) {
        // Another program (or job) creating the same folder meanwhile is no failure.
        std::error_code again;
        if (!fs::create_directory(folder, ec) && !fs::is_directory(folder, again)) {
            error = "could not create the folder " + Quoted(folder.string()) + ": " +
                    (ec ? ec.message() : "it appeared meanwhile");
            return false;
        }
        AtomicFile::SyncFolder(folder.parent_path());
        return true;
    }
    if (fs::is_directory(folder, ec)) {
        // Linked backups write no temporary there: the folder is swept here.
        TemporaryFiles::SweepOnce(folder);
        return true;
    }
    error = Quoted(folder.string()) + " is not a folder";
    return false;
}

namespace {

// Gives the finished copy the first backup name nobody has: each name is
// taken exclusively, so a backup made at the same moment by another program
// is never replaced. When all are taken the 999th is replaced.
bool PublishBackup(AtomicFile& copy, const fs::path& file, const fs::path& folder,
                   fs::path& backup) {
    bool taken = false;
    for (int n = 0; n <= 999; ++n) {
        backup = BackupName(file, folder, n);
        if (copy.Publish(backup, false, taken)) return true;
        if (!taken) return false;
    }
    return copy.Publish(backup, true, taken);
}

// Copies `file` into `folder` under the first free backup name, with the
// file's permission bits, flushed and named when this returns true.
bool CopyToBackup(const fs::path& file, const fs::path& folder, fs::path& backup,
                  std::string& error) {
    const int source = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (source < 0) {
        error = "could not open " + Quoted(file.string()) + ": " + std::strerror(errno);
        return false;
    }
    struct stat st {};
    bool ok = ::fstat(source, &st) == 0;
    if (!ok) error = "could not read " + Quoted(file.string()) + ": " + std::strerror(errno);
    AtomicFile copy(folder / file.filename(), false);
    if (ok) {
        ok = copy.Open() && copy.CopyFrom(source, static_cast<std::uint64_t>(st.st_size)) &&
             copy.SetPermissions(st.st_mode & 0777) && PublishBackup(copy, file, folder, backup);
        if (!ok) error = copy.Error();
    }
    ::close(source);
    return ok;
}

// The fast backup of a file about to be replaced by a rename: a second name,
// taken like any backup name, for the bytes of the locked file `fd`, flushed
// here (the caller syncs the folder). Only for a file with no other name that
// no program has open for writing, which a read lease tells: then nobody can
// change the bytes under the backup's name once the rename has given the
// original a new file, and the backup stays a snapshot. False when it does not
// apply (for a file owned by another user, say); nothing is left behind then.
bool LinkAsBackup(int fd, const fs::path& file, const fs::path& folder, fs::path& backup) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_nlink != 1) return false;
    // Should a writer open the file while the lease is held, the notice comes
    // as a signal whose default action is to ignore it.
    if (::fcntl(fd, F_SETSIG, SIGURG) != 0 || ::fcntl(fd, F_SETLEASE, F_RDLCK) != 0) return false;
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    bool linked = false;
    for (int n = 0; n <= 999 && !linked; ++n) {
        backup = BackupName(file, folder, n);
        linked = ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, backup.c_str(), AT_SYMLINK_FOLLOW) == 0;
        if (!linked && errno != EEXIST) break;
    }
    ::fcntl(fd, F_SETLEASE, F_UNLCK);
    if (linked && ::fdatasync(fd) != 0) {
        ::unlink(backup.c_str());
        linked = false;
    }
    return linked;
}

// A linked backup of a file that was not replaced after all would share its
// bytes: it becomes a copy of its own under the same name, or goes.
void UnshareBackup(const fs::path& file, const fs::path& backup) {
    const int source = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat st {};
    AtomicFile copy(backup, false);
    bool taken = false;
    const bool copied = source >= 0 && ::fstat(source, &st) == 0 && copy.Open() &&
                        copy.CopyFrom(source, static_cast<std::uint64_t>(st.st_size)) &&
                        copy.SetPermissions(st.st_mode & 0777) && copy.Publish(backup, true, taken);
    if (!copied) ::unlink(backup.c_str());
    if (source >= 0) ::close(source);
}

}  // namespace

bool MakeBackup(const fs::path& file, fs::path& backup, std::string& error) {
    const fs::path folder = BackupFolderFor(file);
    if (!EnsureBackupFolder(folder, error)) return false;
    if (!CopyToBackup(file, folder, backup, error)) return false;
    AtomicFile::SyncFolder(folder);  // the backup's name is on disk before the file is replaced
    return true;
}

namespace {

// The file being recoloured, open for reading from its headers to its
// replacement.
class OpenedFile {
  public:
    explicit OpenedFile(const fs::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
    ~OpenedFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenedFile(const OpenedFile&) = delete;
    OpenedFile& operator=(const OpenedFile&) = delete;
    int Fd() const { return fd_; }

  private:
    int fd_;
};

// Reads the headers only and, when the file can be recoloured, writes its
// recoloured version into `out`. `problem` and `error` say what went wrong.
bool WriteRecolored(const fs::path& path, const SelectionRect& selection, bool outside,
                    const ColorMap& map, AtomicFile& out, clsBitmap& bitmap,
                    RecolorProblem& problem, std::string& error) {
    const OpenedFile file(path);
    const bool loaded =
        file.Fd() >= 0 ? bitmap.LoadFromDescriptor(file.Fd(), path.string(), BitmapParts::Headers)
                       : bitmap.LoadFromFile(path, BitmapParts::Headers);
    problem = FindRecolorProblem(bitmap, loaded);
    if (problem != RecolorProblem::None) return false;
    RecolorWriter writer(file.Fd(), bitmap);
    const bool written = out.Open() && writer.Write(map, selection, outside, out);
    if (writer.Damaged()) problem = RecolorProblem::Damaged;
    error = !out.Error().empty() ? out.Error() : writer.Error();
    return written;
}

bool RecolorFileUnguarded(const fs::path& path, bool backup, const SelectionRect& selection,
                          bool outside, const ColorMap& map, IMessageBox& messages) {
    const std::string shown = path.string();
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) {
        messages.Show(NotFoundMessage(shown));
        return false;
    }
    // Held until the file is replaced: another recolouring of it waits, then
    // reads what this one wrote.
    FileLock lock;
    std::string error;
    switch (lock.Acquire(path, kLockWait, error)) {
        case FileLock::Result::Locked:
            break;
        case FileLock::Result::Missing:
            messages.Show(NotFoundMessage(shown));
            return false;
        case FileLock::Result::Busy:
            messages.Show(BusyMessage(shown));
            return false;
        case FileLock::Result::Failed:
            messages.Show(UnreadableMessage(shown, error));
            return false;
    }
    if (backup && !EnsureBackupFolder(BackupFolderFor(path), error)) {
        messages.Show(BackupFailedMessage(shown, error));
        return false;
    }

    clsBitmap bitmap;
    AtomicFile out(path);
    RecolorProblem problem = RecolorProblem::None;
    std::string writeError;
    const bool written =
        WriteRecolored(path, selection, outside, map, out, bitmap, problem, writeError);
    const bool writeFailed = problem == RecolorProblem::None && !written;

    // The backup is complete and on disk before the file is replaced. A file
    // that is refused or cannot be written is backed up all the same; when the
    // new file could not be written, that is the failure reported.
    fs::path backupPath;
    const bool linked =
        backup && written && LinkAsBackup(lock.Fd(), path, BackupFolderFor(path), backupPath);
    if (linked) AtomicFile::SyncFolder(BackupFolderFor(path));
    if (backup && !linked && !MakeBackup(path, backupPath, error) && !writeFailed) {
        messages.Show(BackupFailedMessage(shown, error));
        return false;  // `out` is discarded: the file stays as it was
    }
    if (problem == RecolorProblem::Damaged && !written) {
        messages.Show(DamagedMessage(
            shown, bitmap.StreamDamage().empty() ? writeError : bitmap.StreamDamage()));
        return false;
    }
    if (problem != RecolorProblem::None) {
        messages.Show(RecolorProblemMessage(problem, shown, bitmap));
        return false;
    }
    if (writeFailed) {
        messages.Show(SaveFailedMessage(shown, out.Error().empty() ? writeError : out.Error()));
        return false;
    }
    // A program that writes without the lock may have changed the file since
    // it was read: its bytes are kept rather than replaced by a result
    // computed from bytes that are no longer there.
    const bool unchanged = lock.Unchanged(error);
    if (unchanged && out.Commit()) return true;
    if (linked) UnshareBackup(path, backupPath);
    messages.Show(unchanged ? SaveFailedMessage(shown, out.Error()) : ChangedMessage(shown, error));
    return false;
}

}  // namespace

bool RecolorFile(const fs::path& path, bool backup, const SelectionRect& selection, bool outside,
                 const ColorMap& map, IMessageBox& messages) {
    try {
        return RecolorFileUnguarded(path, backup, selection, outside, map, messages);
    } catch (const std::bad_alloc&) {
        messages.Show(OutOfMemoryMessage(path.string()));
        return false;
    }
}

}  // namespace tintwell
