#pragma once

#include <filesystem>
#include <string>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/IMessageBox.h"
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
// The backup copy of the file at `path` could not be made (`error` says why).
MessageRequest BackupFailedMessage(const std::string& path, const std::string& error);
// Writing the recoloured file back failed (`error` says why); the file is intact.
MessageRequest SaveFailedMessage(const std::string& path, const std::string& error);

// The folder beside `file` that receives its backups ("Tintwell Backup").
std::filesystem::path BackupFolderFor(const std::filesystem::path& file);
// The name the next backup of `file` takes inside `folder`: the file's own name,
// else name-001.bmp .. name-999.bmp (first free; 999 is reused when all exist).
std::filesystem::path NextBackupPath(const std::filesystem::path& file,
                                     const std::filesystem::path& folder);
// Copies `file` to its next backup name, creating the folder when missing.
// The copy is complete and flushed to disk when this returns true; on false
// `error` says why and nothing else was changed.
bool MakeBackup(const std::filesystem::path& file, std::filesystem::path& backup,
                std::string& error);

// Recolours one BMP file in place through `map`, after a backup copy when
// `backup` is set, rewriting its pixel indices and nothing else (RecolorWriter):
// the file is streamed, never held. True when the file was recoloured and
// written back. Every refusal or failure, a lack of memory included, is
// reported through `messages` and leaves the file as it was.
bool RecolorFile(const std::filesystem::path& path, bool backup, const SelectionRect& selection,
                 bool outside, const ColorMap& map, IMessageBox& messages);

}  // namespace tintwell
