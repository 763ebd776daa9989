#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tintwell {

// The hidden temporary files the atomic writer creates beside a target, and
// the clean-up of those whose writer is gone.
//
// A writer keeps an exclusive flock on its temporary from creating it to
// renaming it into place, so a temporary nobody holds a lock on was left by a
// writer that was killed. The usual name is fixed per target
// (".<name>.tmp-tintwell"), so the next save of the same target finds it at
// once; a writer that finds that name held by a live writer takes a name of
// its own (".<name>.tmp-tintwell-<pid>-<n>-<random>"). Each process sweeps every
// folder it first writes into for abandoned temporaries of either form, so
// those of targets never saved again go too.
class TemporaryFiles {
  public:
    // ".<name>.tmp-tintwell" beside `target` (a long name is shortened).
    static std::filesystem::path UsualName(const std::filesystem::path& target);
    // The usual name with a suffix no other writer uses.
    static std::filesystem::path PrivateName(const std::filesystem::path& target);
    // True for a file name of either form.
    static bool IsTemporaryName(std::string_view name);

    // Creates `path` exclusively and locks it. -1 with errno set (EEXIST when
    // the name is taken, also by a temporary being swept at that moment).
    static int CreateLocked(const std::filesystem::path& path);
    // Removes the temporary at `path` when no writer holds its lock.
    static bool RemoveIfAbandoned(const std::filesystem::path& path);
    // Removes every abandoned temporary in `folder`, the first time this
    // process writes there; later calls for the same folder do nothing.
    static void SweepOnce(const std::filesystem::path& folder);
};

}  // namespace tintwell
