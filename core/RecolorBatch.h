#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <mutex>
#include <utility>

#include "core/ColorMap.h"
#include "core/IMessageBox.h"
#include "core/SelectionRect.h"

namespace tintwell {

// One batch of recolourings (the window's "Recolor Selected BMPs", one run of
// the command line) that recolours each file (device and inode) once, however
// many names reach it: a second name of a file already handled (a symbolic
// link, the same path twice) is reported as the same file and left alone.
// A file is known by what its name leads to after it was handled: a hard link
// that a replacement has split from the recoloured name still holds the old
// bytes, and is recoloured (once) under its own name. Safe to share between
// threads.
class RecolorBatch {
  public:
    enum class Outcome { Recolored, NotRecolored, SameFile };

    // RecolorFile for `path`, unless the batch has handled its file already.
    Outcome Recolor(const std::filesystem::path& path, bool backup, const SelectionRect& selection,
                    bool outside, const ColorMap& map, IMessageBox& messages);

  private:
    std::mutex mutex_;
    std::map<std::pair<dev_t, ino_t>, std::filesystem::path> handled_;
};

}  // namespace tintwell
