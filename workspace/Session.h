#pragma once

#include <filesystem>
#include <memory>

#include "bitmap/clsBitmap.h"
#include "core/ColorMap.h"
#include "core/ColorMapHistory.h"

namespace tintwell {

// What the user works on: the folder, the selected file (the file list's
// current entry) and its image, and the one colour map with its undo history.
// Every command that acts on "the file" asks here.
class Session {
  public:
    Session() : history_(map_) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // The colour map (identity until filled from the settings) and ColorMapChanged.
    ColorMap& Map() { return map_; }
    const ColorMap& Map() const { return map_; }
    // The user's changes of the map go through its history, so they can be undone.
    ColorMapHistory& History() { return history_; }

    const std::filesystem::path& Folder() const { return folder_; }
    // A new folder: no file is selected in it yet.
    void SetFolder(const std::filesystem::path& folder);

    // The selected file, or an empty path when there is none.
    const std::filesystem::path& SelectedFile() const { return selected_; }
    bool HasSelectedFile() const { return !selected_.empty(); }
    // Selects `file` (empty: none). Selecting it again, as after a batch,
    // reads its image afresh at the next ask.
    void SelectFile(const std::filesystem::path& file);
    // The selected file's image as its file holds it, read at the first ask
    // after the selection; its LastError tells a file that could not be
    // loaded. Null when no file is selected.
    const clsBitmap* Image();

  private:
    ColorMap map_;
    ColorMapHistory history_;
    std::filesystem::path folder_;
    std::filesystem::path selected_;
    std::unique_ptr<clsBitmap> image_;
};

}  // namespace tintwell
