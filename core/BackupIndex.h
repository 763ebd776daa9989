#pragma once

#include <time.h>

#include <filesystem>
#include <map>
#include <string>
#include <unordered_map>

namespace tintwell {

// Which backup of a file in its "Tintwell Backup" folder is the newest: the
// one made (or written) last, by its change and modification times, among the
// copy under the file's own name and the numbered copies (STEM-001.bmp ..
// STEM-999.bmp, STEM being the file's name up to its last "."). Numbers are
// handed out to the first free name, so after old backups were deleted the
// highest number is not the newest. Copies made at the same moment go by
// their number. Each folder is read once, so a batch that keeps one index
// does not read a folder of thousands of backups again for every file.
class BackupIndex {
  public:
    struct Backup {
        std::filesystem::path path;  // empty when there is none
        int number = -1;             // 0 for the copy under the file's own name
    };
    Backup NewestOf(const std::filesystem::path& file);
    // A backup was written at `path` (in a folder read before, or not).
    void Added(const std::filesystem::path& path);
    // Reads `folder` again at the next question: it changed behind our back.
    void Forget(const std::filesystem::path& folder);

    // The stem of a numbered backup name STEM-NNN.bmp or STEM-NNN.png (NNN
    // 001..999) with its extension, as "STEM.png", and its number, or 0 for
    // any other name.
    static int NumberedName(const std::string& name, std::string& stem);
    // "STEM-NNN.bmp" (or ".png") for `file`'s stem.
    static std::string NameNumbered(const std::filesystem::path& file, int number);

  private:
    struct Made {
        timespec when{};
        int number = -1;
        bool After(const Made& other) const;
    };
    struct Folder {
        std::unordered_map<std::string, Made> numbered;  // stem -> newest numbered copy
        std::unordered_map<std::string, Made> named;     // every other ordinary file
    };
    Folder& Read(const std::filesystem::path& folder);
    static void Note(Folder& folder, const std::filesystem::path& path);

    std::map<std::filesystem::path, Folder> folders_;
};

}  // namespace tintwell
