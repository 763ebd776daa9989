#include "bitmap/TemporaryFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <mutex>
#include <random>
#include <set>

namespace tintwell {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kMark = ".tmp-tintwell";

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// True when `path` still names the file open as `fd`.
bool StillNamed(int fd, const fs::path& path) {
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && SameFile(open, named);
}

}  // namespace

fs::path TemporaryFiles::UsualName(const fs::path& target) {
    const fs::path folder = target.parent_path();
    return folder / ("." + target.filename().string().substr(0, 200) + std::string(kMark));
}

fs::path TemporaryFiles::PrivateName(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    thread_local std::mt19937 rng{std::random_device{}()};
    return UsualName(target).string() + "-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter++) + "-" + std::to_string(rng() % 1000000);
}

bool TemporaryFiles::IsTemporaryName(std::string_view name) {
    const std::size_t mark = name.rfind(kMark);
    if (name.size() < 2 || name[0] != '.' || mark == std::string_view::npos || mark == 0)
        return false;
    const std::string_view tail = name.substr(mark + kMark.size());
    if (tail.empty()) return true;
    if (tail[0] != '-' || tail.size() < 2) return false;
    return tail.find_first_not_of("0123456789-") == std::string_view::npos;
}

int TemporaryFiles::CreateLocked(const fs::path& path) {
    // 0666 lets the umask decide the bits of a new file, as for any other program.
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return -1;
    // A sweep that opened the new file before we locked it may hold its lock,
    // or may have removed it already: then the name counts as taken.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || !StillNamed(fd, path)) {
        ::close(fd);
        errno = EEXIST;
        return -1;
    }
    return fd;
}

bool TemporaryFiles::RemoveIfAbandoned(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st {};
    // Locked by us, and still the file of that name: nobody is writing it.
    const bool abandoned = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                           ::flock(fd, LOCK_EX | LOCK_NB) == 0 && StillNamed(fd, path);
    const bool removed = abandoned && ::unlink(path.c_str()) == 0;
    ::close(fd);
    return removed;
}

void TemporaryFiles::SweepOnce(const fs::path& folder) {
    // Folders this process has swept: a cache of work done, so a batch reads
    // each folder once however many files it writes there.
    static std::mutex mutex;
    static std::set<fs::path> swept;
    const fs::path key = folder.empty() ? fs::path(".") : folder;
    {
        std::lock_guard lock(mutex);
        if (!swept.insert(key).second) return;
    }
    DIR* dir = ::opendir(key.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir))
        if (IsTemporaryName(entry->d_name)) RemoveIfAbandoned(key / entry->d_name);
    ::closedir(dir);
}

}  // namespace tintwell
