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

// Puts back the newest backup of `file` (as BackupIndex finds it). The file's
// current contents are first copied into the backup folder under the number
// after the newest backup's, so the next restore puts them back and undoes
// this one; the backup restored from is kept. A newest backup numbered 999
// leaves no number for that copy. The file is replaced atomically. A missing
// file, a file without a backup, a backup that is not a readable BMP, or a
// copy that cannot be made is reported through `messages` and leaves the file
// as it was. A dry run checks all of that and changes nothing. A batch hands
// in one `index` for all its files; without one the folder is read afresh.
RestoreOutcome RestoreFromBackup(const std::filesystem::path& file, bool dryRun,
                                 IMessageBox& messages, BackupIndex* index = nullptr);

}  // namespace tintwell
