#include "core/modRecolor.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <system_error>

#include "bitmap/AtomicFile.h"
#include "bitmap/TemporaryFiles.h"
#include "core/FileLock.h"
#include "core/MapIndices.h"
#include "core/PngRecolor.h"
#include "core/Quoted.h"
#include "core/RecolorSpans.h"
#include "core/RecolorWriter.h"

namespace tintwell {
namespace fs = std::filesystem;

namespace {

// How long a recolouring waits for another one of the same file to finish.
constexpr std::chrono::seconds kLockWait{30};

// Maps the 8-bit pixels of image row y within `spans`, as far as the bitmap
// holds them.
void MapRow8(clsBitmap& bitmap, const std::uint8_t* table, std::int64_t y,
             const RecolorSpans& spans) {
    const std::span<std::uint8_t> pixels = bitmap.MutablePixels();
    const std::int64_t start = bitmap.RowOffset(y);
    const auto held = static_cast<std::int64_t>(pixels.size());
    if (start < 0 || start >= held) return;
    std::uint8_t* p = pixels.data() + start;
    MapRowPiece(p, p, 0, std::min<std::int64_t>(bitmap.Width(), held - start), spans, table);
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
        if (indexed8) {
            MapRow8(bitmap, map.data(), y, spans);
            continue;
        }
        for (int s = 0; s < spans.count; ++s)
            MapRowSubByte(bitmap, map, y, spans.from[s], spans.to[s]);
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
        case RecolorProblem::TooLarge:
            return Info("BMP is too large",
                        Quoted(path) +
                            " was not recolored: the recolored file would be larger than a BMP "
                            "file can describe (2 GiB). The file was left unchanged.");
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

MessageRequest NoFileMessage(const std::string& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return NotFoundMessage(path);
    const char* kind = S_ISDIR(st.st_mode)    ? "a folder"
                       : S_ISFIFO(st.st_mode) ? "a FIFO"
                       : S_ISSOCK(st.st_mode) ? "a socket"
                       : S_ISREG(st.st_mode)  ? "a file that went meanwhile"
                                              : "a device";
    return Info("Not a Regular File", Quoted(path) + " is not a regular file: it is " + kind + ".");
}

bool FindFileProblem(const std::string& path, MessageRequest& message) {
    struct stat st {};
    const bool found = !path.empty() && ::stat(path.c_str(), &st) == 0;
    if (!found && !path.empty() && errno != ENOENT && errno != ENOTDIR) {
        message = UnreadableMessage(path, std::strerror(errno));  // a folder we may not enter
        return true;
    }
    if (!found || !S_ISREG(st.st_mode)) {
        message = NoFileMessage(path);
        return true;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd >= 0) {
        ::close(fd);
        return false;
    }
    message = UnreadableMessage(path, std::strerror(errno));
    return true;
}

MessageRequest OpenForWritingMessage(const std::string& path) {
    return Error("File Busy", Quoted(path) +
                                  " is open for writing in another program, and it was not "
                                  "closed within 2 seconds. The file was left unchanged.");
}

MessageRequest SeveralNamesMessage(const std::string& path, std::uint64_t names) {
    return Info("File Has Several Names",
                Quoted(path) + " has " + std::to_string(names) +
                    " names (hard links), and a new file under this name would leave the other "
                    "names as they were. The file was left unchanged.");
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

bool IsPngName(const std::string& name) {
    if (name.size() < 4) return false;
    std::string tail = name.substr(name.size() - 4);
    for (char& c : tail)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c);
    return tail == ".png";
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
    std::snprintf(tail, sizeof tail, "-%03d.%s", n, IsPngName(name) ? "png" : "bmp");
    constexpr std::size_t kNameMax = 255;  // bytes in a name on Linux file systems
    return folder / (CutToBytes(stem, kNameMax - std::strlen(tail)) + tail);
}

fs::path NextBackupPath(const fs::path& file, const fs::path& folder) {
    fs::path candidate;
    for (int n = 0; n <= kLastBackupNumber; ++n) {
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
// is never replaced. When all are taken the 999th is replaced, or with
// `replaceLast` false none is.
bool PublishBackup(AtomicFile& copy, const fs::path& file, const fs::path& folder, bool replaceLast,
                   fs::path& backup, std::string& error) {
    bool taken = false;
    for (int n = 0; n <= kLastBackupNumber; ++n) {
        backup = BackupName(file, folder, n);
        if (copy.Publish(backup, false, taken)) return true;
        if (!taken) break;
    }
    if (taken && !replaceLast) {
        error = "every backup name up to " + Quoted(backup.filename().string()) + " is taken";
        return false;
    }
    if (taken && copy.Publish(backup, true, taken)) return true;
    error = copy.Error();
    return false;
}

// Copies the locked `file` into `folder` under the first free backup name,
// with its attributes. The copy is a snapshot: it is named only when nobody
// wrote the file while it was copied; else `changed` is set (with `error`
// saying how). Its data is on disk before it is named; with `durable` its name
// is too, else the flush of the file that replaces `file` commits it first.
bool CopyToBackup(const FileLock& lock, const fs::path& file, const fs::path& folder,
                  const BackupOptions& options, fs::path& backup, std::string& error,
                  bool& changed) {
    changed = false;
    AtomicFile copy(folder / file.filename(), false);
    if (!copy.Open() ||
        !copy.CopyFrom(lock.Fd(), static_cast<std::uint64_t>(lock.Locked().st_size)) ||
        !copy.TakeAttributesOf(file) || !copy.StampNow() ||
        (!options.durable && !copy.WriteOut())) {
        error = copy.Error();
        return false;
    }
    if (!lock.Unchanged(error)) return !(changed = true);
    if (!PublishBackup(copy, file, folder, options.replaceLast, backup, error)) return false;
    if (options.durable) AtomicFile::SyncFolder(folder);
    return true;
}

}  // namespace

bool BackupLockedFile(const FileLock& lock, const fs::path& file, const BackupOptions& options,
                      fs::path& backup, std::string& error, bool& changed) {
    changed = false;
    const fs::path folder = BackupFolderFor(file);
    return EnsureBackupFolder(folder, error) &&
           CopyToBackup(lock, file, folder, options, backup, error, changed);
}

bool MakeBackup(const fs::path& file, fs::path& backup, std::string& error) {
    FileLock lock;
    switch (lock.Acquire(file, kLockWait, error)) {
        case FileLock::Result::Locked:
            break;
        case FileLock::Result::Failed:
            error = "could not open " + Quoted(file.string()) + ": " + error;
            return false;
        default:
            error = Quoted(file.string()) + " could not be locked";
            return false;
    }
    bool changed = false;
    return BackupLockedFile(lock, file, {true, true}, backup, error, changed);
}

bool LockForReplacing(const fs::path& path, FileLock& lock, IMessageBox& messages) {
    const std::string shown = path.string();
    std::string error;
    switch (lock.Acquire(path, kLockWait, error)) {
        case FileLock::Result::Locked:
            break;
        case FileLock::Result::Missing:
            messages.Show(NoFileMessage(shown));
            return false;
        case FileLock::Result::Busy:
            messages.Show(BusyMessage(shown));
            return false;
        case FileLock::Result::OpenForWriting:
            messages.Show(OpenForWritingMessage(shown));
            return false;
        case FileLock::Result::Failed:
            messages.Show(UnreadableMessage(shown, error));
            return false;
    }
    // A replacement under one name would split the file from its other names.
    if (lock.Locked().st_nlink <= 1) return true;
    messages.Show(SeveralNamesMessage(shown, lock.Locked().st_nlink));
    return false;
}

namespace {

// Reads the headers of the locked file and, when it can be recoloured, writes
// its recoloured version into `out`. `problem` and `error` say what went wrong.
// A PNG file sets `refusal` instead of `problem`.
bool WriteRecolored(int fd, const fs::path& path, const SelectionRect& selection, bool outside,
                    const ColorMap& map, AtomicFile& out, clsBitmap& bitmap,
                    RecolorProblem& problem, std::string& error,
                    std::optional<MessageRequest>& refusal) {
    if (PngFile::HasSignature(fd))
        return WritePngRecolored(fd, path.string(), map, selection, outside, out, refusal, error);
    const bool loaded = bitmap.LoadFromDescriptor(fd, path.string(), BitmapParts::Headers);
    problem = FindRecolorProblem(bitmap, loaded);
    if (problem != RecolorProblem::None) return false;
    RecolorWriter writer(fd, bitmap);
    const bool written = out.Open() && writer.Write(map, selection, outside, out);
    if (writer.Damaged()) problem = RecolorProblem::Damaged;
    if (writer.TooLarge()) problem = RecolorProblem::TooLarge;
    error = !out.Error().empty() ? out.Error() : writer.Error();
    return written;
}

std::unique_ptr<RecolorReplacement> PrepareUnguarded(const fs::path& path, bool backup,
                                                     const SelectionRect& selection, bool outside,
                                                     const ColorMap& map, IMessageBox& messages) {
    const std::string shown = path.string();
    std::error_code ec;
    if (path.empty() || !fs::is_regular_file(path, ec)) {
        messages.Show(NoFileMessage(shown));
        return nullptr;
    }
    // Held until the file is replaced: another recolouring or restore of it
    // waits, then reads what this one wrote.
    auto replacement = std::make_unique<RecolorReplacement>(path);
    FileLock& lock = replacement->Lock();
    if (!LockForReplacing(path, lock, messages)) return nullptr;
    std::string error;
    if (backup && !EnsureBackupFolder(BackupFolderFor(path), error)) {
        messages.Show(BackupFailedMessage(shown, error));
        return nullptr;
    }

    clsBitmap bitmap;
    AtomicFile& out = replacement->Out();
    RecolorProblem problem = RecolorProblem::None;
    std::string writeError;
    std::optional<MessageRequest> refusal;
    const bool written = WriteRecolored(lock.Fd(), path, selection, outside, map, out, bitmap,
                                        problem, writeError, refusal);
    const bool writeFailed = problem == RecolorProblem::None && !refusal && !written;
    if (written) out.StartWriteOut();  // the disk writes it while the backup is copied

    // The backup is complete and on disk before the file is replaced. A file
    // that is refused or cannot be written is backed up all the same; when the
    // new file could not be written, that is the failure reported.
    fs::path backupPath;
    bool changed = false;
    // Its name reaches the disk with the new file's flush, before the rename.
    if (backup && !BackupLockedFile(lock, path, {true, false}, backupPath, error, changed)) {
        if (changed) {
            messages.Show(ChangedMessage(shown, error));
            return nullptr;
        }
        if (!writeFailed) {
            messages.Show(BackupFailedMessage(shown, error));
            return nullptr;  // `out` is discarded: the file stays as it was
        }
    }
    if (refusal) {
        messages.Show(*refusal);
        return nullptr;
    }
    if (problem == RecolorProblem::Damaged && !written) {
        messages.Show(DamagedMessage(
            shown, bitmap.StreamDamage().empty() ? writeError : bitmap.StreamDamage()));
        return nullptr;
    }
    if (problem != RecolorProblem::None) {
        messages.Show(RecolorProblemMessage(problem, shown, bitmap));
        return nullptr;
    }
    if (writeFailed) {
        messages.Show(SaveFailedMessage(shown, out.Error().empty() ? writeError : out.Error()));
        return nullptr;
    }
    return replacement;
}

}  // namespace

std::unique_ptr<RecolorReplacement> PrepareRecolorFile(const fs::path& path, bool backup,
                                                       const SelectionRect& selection, bool outside,
                                                       const ColorMap& map, IMessageBox& messages) {
    try {
        return PrepareUnguarded(path, backup, selection, outside, map, messages);
    } catch (const std::bad_alloc&) {
        messages.Show(OutOfMemoryMessage(path.string()));
        return nullptr;
    }
}

bool RecolorFile(const fs::path& path, bool backup, const SelectionRect& selection, bool outside,
                 const ColorMap& map, IMessageBox& messages) {
    const auto replacement = PrepareRecolorFile(path, backup, selection, outside, map, messages);
    return replacement && replacement->Finish(messages);
}

}  // namespace tintwell
