#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

namespace tintwell {

// Replaces a file's contents without ever leaving it half-written: data goes to
// a temporary file in the same folder, which is flushed, fsynced, given the
// original's permission bits and renamed over the original. A symbolic link is
// resolved first, so the link stays a link and its target is replaced.
// Any failure leaves the original untouched and removes the temporary file.
// A file the caller may not write (read-only) is not replaced either. A writer
// that is killed leaves its locked temporary ".<name>.tmp-tintwell" behind; the
// next save of the same file removes it.
class AtomicFile {
  public:
    // With `followLinks` false a symbolic link at `target` is itself replaced.
    explicit AtomicFile(std::filesystem::path target, bool followLinks = true);
    ~AtomicFile();  // discards the temporary file unless Commit succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file. False with Error() set on failure.
    bool Open();
    // Appends bytes to the temporary file. False with Error() set on failure.
    bool Write(const void* data, std::size_t size);
    // Appends `size` bytes read from the start of the open file `sourceFd`,
    // copied inside the kernel where it can. False with Error() set on failure.
    bool CopyFrom(int sourceFd, std::uint64_t size);
    // Flushes, fsyncs and renames over the target. False with Error() set on failure.
    bool Commit();

    const std::string& Error() const { return error_; }
    const std::filesystem::path& Target() const { return target_; }

    // Makes the entries of `folder` (a rename or a new link) durable.
    static void SyncFolder(const std::filesystem::path& folder);

    // Writes `size` bytes as the whole new contents of `target` in one call.
    static bool WriteWhole(const std::filesystem::path& target, const void* data, std::size_t size,
                           std::string& error);

  private:
    bool Fail(const std::string& what, int err);
    void Discard();

    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    std::string error_;
};

}  // namespace tintwell
