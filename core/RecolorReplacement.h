#pragma once

#include <filesystem>

#include "bitmap/AtomicFile.h"
#include "core/FileLock.h"
#include "core/IMessageBox.h"

namespace tintwell {

// A recoloured file written beside the original and not yet in its place: it
// holds the original's lock and the new bytes until Finish. Dropped without
// Finish, it leaves the file as it was.
class RecolorReplacement {
  public:
    explicit RecolorReplacement(const std::filesystem::path& path) : path_(path), out_(path) {}

    FileLock& Lock() { return lock_; }
    AtomicFile& Out() { return out_; }

    // Flushes the new bytes and puts them in the file's place; false after
    // showing why not (another program wrote the file meanwhile, or the
    // flush or the rename failed), the file left as it was.
    bool Finish(IMessageBox& messages);

  private:
    std::filesystem::path path_;
    FileLock lock_;
    AtomicFile out_;
};

}  // namespace tintwell
