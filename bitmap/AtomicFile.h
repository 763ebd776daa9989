#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

struct stat;

namespace tintwell {

// Replaces a file's contents without ever leaving it half-written: data goes to
// a temporary file in the same folder, which is flushed, fsynced, given the
// original's permission bits, owner, extended attributes and ACL, and renamed
// over the original. A symbolic link is resolved first, so the link stays a
// link and its target is replaced. Any failure leaves the original untouched
// and removes the temporary file. A file the caller may not write (read-only)
// is not replaced either. Temporaries of writers that were killed are removed
// by later writers (see TemporaryFiles).
//
// Only a regular file (or a link to one, or a name that does not exist yet) is
// replaced. A character device, a FIFO or a socket is opened and written in
// place, as a shell redirection would (so "/dev/stdout" into a pipe works); a
// folder or a block device is refused.
//
// A write that meets the file-size limit (EFBIG) is reported as a full disk.
class AtomicFile {
  public:
    // With `followLinks` false a symbolic link at `target` is itself replaced.
    explicit AtomicFile(std::filesystem::path target, bool followLinks = true);
    ~AtomicFile();  // discards the temporary file unless Commit succeeded
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    // Creates the temporary file (or opens a device, FIFO or socket for
    // writing). False with Error() set on failure.
    bool Open();
    // Appends bytes to the temporary file. False with Error() set on failure.
    bool Write(const void* data, std::size_t size);
    // Appends `size` bytes read from the start of the open file `sourceFd`,
    // copied inside the kernel where it can. False with Error() set on failure.
    bool CopyFrom(int sourceFd, std::uint64_t size) { return CopyRange(sourceFd, 0, size); }
    // Appends the `size` bytes at `offset` of `sourceFd` without holding them:
    // copied inside the kernel where it can, and holes of a sparse source stay
    // holes. False with Error() set on failure.
    bool CopyRange(int sourceFd, std::uint64_t offset, std::uint64_t size);
    // Overwrites bytes already written, at `offset` from the start.
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    // Empties the temporary file to start writing it again.
    bool Restart();
    // Bytes written so far (holes included).
    std::uint64_t Written() const { return position_; }
    // Flushes, fsyncs and renames over the target. False with Error() set on failure.
    bool Commit();
    // Asked after every flush, right before the target is replaced (with
    // nullptr) and, where the system exchanges two names at once, right after,
    // with what was replaced: false leaves (or puts back) what was there, and
    // Commit returns false with Refused() set.
    using ReplaceCheck = std::function<bool(const struct stat* replaced)>;
    bool Commit(const ReplaceCheck& check);
    // True when the last Commit was refused by its check.
    bool Refused() const { return refused_; }
    // Writes the temporary's data to disk and waits for it, without the
    // journal commit an fsync makes: Publish then names it without an fsync of
    // its own. The next fsync on the same file system (of the file replaced
    // next, say) commits its size and name, before anything done after it.
    bool WriteOut();
    // Starts writing the temporary's data to disk without waiting for it, so
    // that the disk works while the caller goes on; errors show at the flush.
    void StartWriteOut();
    // Stamps the temporary as written now, to the nanosecond.
    bool StampNow();
    // Gives the temporary the owner and group (where the system allows it),
    // the permission bits, extended attributes and ACL of `original`.
    bool TakeAttributesOf(const std::filesystem::path& original);
    // Gives the temporary the permission bits `mode` (07777 at most).
    bool SetPermissions(unsigned mode);
    // Flushes and fsyncs the temporary and gives it the name `name` in the same
    // folder, but only when no entry has that name: then `taken` is set, nothing
    // changes and the temporary stays open for another name. With `replace` an
    // existing entry is replaced instead. False with Error() set on failure
    // (the temporary is then discarded) and when the name is taken.
    bool Publish(const std::filesystem::path& name, bool replace, bool& taken);

    const std::string& Error() const { return error_; }
    const std::filesystem::path& Target() const { return target_; }
    // True when the target is written in place (a device, FIFO or socket).
    bool InPlace() const { return inPlace_; }

    // Makes the entries of `folder` (a rename or a new link) durable.
    static void SyncFolder(const std::filesystem::path& folder);

    // Writes `size` bytes as the whole new contents of `target` in one call.
    static bool WriteWhole(const std::filesystem::path& target, const void* data, std::size_t size,
                           std::string& error);

  private:
    bool Fail(const std::string& what, int err);
    void Discard();
    bool OpenInPlace(unsigned type);
    bool KeepAttributesOf(const std::filesystem::path& original);
    bool Flush();
    bool ReplaceByExchange(const ReplaceCheck& check);
    bool CopyData(int sourceFd, std::uint64_t offset, std::uint64_t size);
    bool Skip(std::uint64_t size);

    std::filesystem::path requested_;  // as given: opened as it is when written in place
    std::filesystem::path target_;
    std::filesystem::path temp_;
    int fd_ = -1;
    bool inPlace_ = false;
    bool synced_ = false;
    bool refused_ = false;
    std::uint64_t position_ = 0;  // where the next byte goes; beyond the end after a hole
    std::string error_;
};

}  // namespace tintwell
