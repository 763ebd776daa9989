#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/FileLock.h"
#include "core/IMessageBox.h"
#include "core/RecolorReplacement.h"
#include "core/SelectionRect.h"

namespace tintwell {

// Rewrites the palette indices of an 8-bit bitmap through `map`, a row at a
// time, within the selection as RecolorSpans decides it. Pixels whose bytes
// the bitmap does not hold are skipped. 1- and 4-bit images are mapped pixel by pixel (the
// result masked to the pixel's bits); 24- and 32-bit images hold colours, not
// indices, and are left unchanged.
void RecolorBitmap(clsBitmap& bitmap, const ColorMap& map, const SelectionRect& selection,
                   bool outside);

// Why a loaded bitmap cannot be recoloured, in the order the checks are made.
enum class RecolorProblem {
    None,            // can be recoloured and written back
    NotEightBit,     // bit count is not 8 (also a file that is no BMP at all)
    Unsupported,     // 8 bits, in a header or compression that is not supported
    LoadFailed,      // 8-bit header, but the load refused the file
    Damaged,         // the RLE stream is damaged
    PixelsCutShort,  // the pixel bytes do not cover every pixel of the image
    TooLarge,        // the recoloured file would be too large for its 32-bit sizes
};

// `loaded` is the result of the load that filled `bitmap`.
RecolorProblem FindRecolorProblem(const clsBitmap& bitmap, bool loaded);
// The message box that reports `problem` for the file at `path`.
MessageRequest RecolorProblemMessage(RecolorProblem problem, const std::string& path,
                                     const clsBitmap& bitmap);
// The file's RLE stream is damaged (`damage` says how); it was not written.
MessageRequest DamagedMessage(const std::string& path, const std::string& damage);
// There was not enough memory to recolour the file; it was left as it was.
MessageRequest OutOfMemoryMessage(const std::string& path);
// "Not Found": the path names no ordinary file.
MessageRequest NotFoundMessage(const std::string& path);
// "Not Found", or, when something else has the name, that it is no regular file.
MessageRequest NoFileMessage(const std::string& path);
// False for a path that names a regular file this user can open for
// reading; else true with the message that says what is wrong with it.
bool FindFileProblem(const std::string& path, MessageRequest& message);
// Another program kept the file open for writing as long as a run waits.
MessageRequest OpenForWritingMessage(const std::string& path);
// The file has `names` hard links; replacing it under one would split them.
MessageRequest SeveralNamesMessage(const std::string& path, std::uint64_t names);
// The backup copy of the file at `path` could not be made (`error` says why).
MessageRequest BackupFailedMessage(const std::string& path, const std::string& error);
// Writing the recoloured file back failed (`error` says why); the file is intact.
MessageRequest SaveFailedMessage(const std::string& path, const std::string& error);
// The file could not be opened for reading (`error` says why).
MessageRequest UnreadableMessage(const std::string& path, const std::string& error);
// Another program held the file's lock for longer than a recolouring waits.
MessageRequest BusyMessage(const std::string& path);
// Another program changed the file while it was being recoloured (`why`).
MessageRequest ChangedMessage(const std::string& path, const std::string& why);
// `path` leads to the file a batch already handled under the name `earlier`.
MessageRequest SameFileMessage(const std::string& path, const std::string& earlier);

// The highest backup number: names run from "-001.bmp" to "-999.bmp".
constexpr int kLastBackupNumber = 999;

// True when a file name ends in ".png", in any case: its backups end in ".png".
bool IsPngName(const std::string& name);
// The folder beside `file` that receives its backups ("Tintwell Backup").
std::filesystem::path BackupFolderFor(const std::filesystem::path& file);
// Backup name number `n` of `file` inside `folder`: the file's own name for 0,
// else the name up to its last "." followed by "-001.bmp" .. "-999.bmp"
// ("-001.png" .. for a name ending in ".png", IsPngName). A
// stem too long for the file system's 255-byte names is shortened (never
// inside a UTF-8 character) so that every numbered name fits.
std::filesystem::path BackupName(const std::filesystem::path& file,
                                 const std::filesystem::path& folder, int n);
// The name the next backup of `file` would take inside `folder`: the first
// free one of BackupName 0..999 (999 when all exist). Only a guess while
// other programs make backups too: MakeBackup takes its name exclusively.
std::filesystem::path NextBackupPath(const std::filesystem::path& file,
                                     const std::filesystem::path& folder);
// Makes the backup folder `folder` when no file or folder of that name exists
// (another program making it meanwhile is no failure); an existing folder is
// swept of leftover temporary files once. False with `error` set when it is
// not a folder or cannot be made.
bool EnsureBackupFolder(const std::filesystem::path& folder, std::string& error);
// Copies `file` under the first free backup name, creating the folder when
// missing. The name is taken exclusively, so a backup made at the same moment
// by another program is never replaced; only when all 999 numbered names
// exist is the 999th replaced. The file is locked while it is copied, and the
// copy is a snapshot with the file's owner (where allowed), group, permission
// bits, extended attributes and ACL, complete and flushed to disk under its
// name when this returns true; on false `error` says why and nothing else was
// changed.
bool MakeBackup(const std::filesystem::path& file, std::filesystem::path& backup,
                std::string& error);
struct BackupOptions {
    bool replaceLast = true;  // false: a folder whose 999 numbers are all taken is a failure
    // False when the caller replaces the file next: the backup's data is on
    // disk when this returns, its name with the replacement's flush (the
    // journal keeps the order), so no rename can reach the disk before it.
    bool durable = true;
};
// MakeBackup for the file `lock` holds. `changed` is set when another program
// wrote the file meanwhile.
bool BackupLockedFile(const FileLock& lock, const std::filesystem::path& file,
                      const BackupOptions& options, std::filesystem::path& backup,
                      std::string& error, bool& changed);
// Locks `path` (FileLock) for a change that replaces it; false after showing
// why it cannot be: it is missing or no regular file, locked or open for
// writing elsewhere for too long, unreadable, or it has several names.
bool LockForReplacing(const std::filesystem::path& path, FileLock& lock, IMessageBox& messages);

// Recolours one BMP file in place through `map`, after a backup copy when
// `backup` is set, rewriting its pixel indices and nothing else (RecolorWriter):
// the file is streamed, never held. True when the file was recoloured and
// written back. Every refusal or failure, a lack of memory included, is
// reported through `messages` and leaves the file as it was.
//
// The file is locked (FileLock) from reading it to replacing it: a second
// recolouring or a restore of the same file waits (up to 30 seconds) and then
// works on the bytes the first one wrote. A program that writes the file
// without the lock meanwhile makes it refused ("File Changed"), its bytes
// kept; so does one that keeps it open for writing. A file with several names
// (hard links) is refused: every name is one file.
bool RecolorFile(const std::filesystem::path& path, bool backup, const SelectionRect& selection,
                 bool outside, const ColorMap& map, IMessageBox& messages);

// RecolorFile up to the replacement: the backup made and the new file
// written, its flush started, nothing shown. Null after showing why the
// file is refused.
std::unique_ptr<RecolorReplacement> PrepareRecolorFile(const std::filesystem::path& path,
                                                       bool backup, const SelectionRect& selection,
                                                       bool outside, const ColorMap& map,
                                                       IMessageBox& messages);

}  // namespace tintwell
