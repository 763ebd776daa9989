#pragma once

#include <filesystem>
#include <string>

#include "core/IMessageBox.h"

namespace tintwell {

// What a restore did, or with a dry run would do.
struct RestoreOutcome {
    bool restored = false;
    std::filesystem::path from;    // the backup put back
    std::filesystem::path keptAs;  // the copy of the file's contents before (not in a dry run)
};

class BackupIndex;

// Puts back the newest backup of `file` (the one made last, as BackupIndex
// finds it). The file's current contents are first copied into the backup
// folder under the first free backup name, so they become the newest backup
// and the next restore undoes this one; the backup restored from is kept. A
// folder with every number taken leaves no name for that copy. The file is
// locked as a recolouring locks it (FileLock), and replaced atomically unless
// another program wrote it meanwhile. Backups are checked and copied a piece
// at a time, never held whole. A missing file, a file without a backup, a
// backup that is not a readable BMP, or a copy that cannot be made is
// reported through `messages` and leaves the file as it was. A dry run checks
// all of that and changes nothing. A batch hands in one `index` for all its
// files; without one the folder is read afresh.
RestoreOutcome RestoreFromBackup(const std::filesystem::path& file, bool dryRun,
                                 IMessageBox& messages, BackupIndex* index = nullptr);

}  // namespace tintwell
