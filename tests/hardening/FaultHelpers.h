#pragma once

// Helpers for the fault-injection tests: running a step in a forked child
// under a file-size limit or as an unprivileged user, killing a writer at a
// random moment, and listing what a folder holds.

#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tintwell::test {

// What a child reported: its text (written to a pipe, so no file limit applies)
// and how it ended ("exit 0", "signal 9").
struct ChildResult {
    std::string report;
    std::string ended;
};

// Runs `body` in a forked child; `body` appends what it saw to its argument.
// `setup` runs first in the child (limits, user change).
inline ChildResult InChild(const std::function<void()>& setup,
                           const std::function<void(std::string&)>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return {"pipe failed", "none"};
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::string report;
        try {
            setup();
            body(report);
        } catch (const std::exception& e) {
            report += std::string("exception: ") + e.what();
        }
        const char* p = report.data();
        std::size_t left = report.size();
        while (left > 0) {
            const ssize_t n = ::write(fds[1], p, left);
            if (n <= 0) break;
            p += n;
            left -= static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(fds[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        result.report.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.ended = WIFEXITED(status) ? "exit " + std::to_string(WEXITSTATUS(status))
                                     : "signal " + std::to_string(WTERMSIG(status));
    return result;
}

// No file may grow beyond `bytes`: writes fail with EFBIG (the signal that
// would otherwise end the process is ignored), as on a full disk.
inline std::function<void()> FileSizeLimit(rlim_t bytes) {
    return [bytes] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) std::abort();
    };
}

constexpr uid_t kNobody = 65534;

// Permission bits bind root only after it gives up its rights: the child
// becomes "nobody" when it runs as root.
inline std::function<void()> AsUnprivilegedUser() {
    return [] {
        if (::geteuid() != 0) return;
        if (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) std::abort();
    };
}

// Hands `path` to the user the unprivileged child runs as.
inline void GiveToChild(const std::filesystem::path& path) {
    if (::geteuid() == 0 && ::chown(path.c_str(), kNobody, kNobody) != 0) std::abort();
}

// Starts `writer` in a child, kills it with SIGKILL after `delayMicros`.
inline void KillWhileWriting(const std::function<void()>& writer, unsigned delayMicros) {
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        writer();
        ::_exit(0);
    }
    ::usleep(delayMicros);
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
}

// Names in `folder`, sorted; entries of sub-folders as "sub/name".
inline std::vector<std::string> Entries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(std::filesystem::relative(e.path(), folder).string());
    std::sort(names.begin(), names.end());
    return names;
}

// A hidden temporary file of the atomic writer (".name.tmp-...").
inline bool IsTemporary(const std::string& relative) {
    const std::string name = std::filesystem::path(relative).filename().string();
    return !name.empty() && name[0] == '.' && name.find(".tmp-") != std::string::npos;
}

inline std::size_t CountTemporaries(const std::filesystem::path& folder) {
    const auto names = Entries(folder);
    return static_cast<std::size_t>(std::count_if(names.begin(), names.end(), IsTemporary));
}

// A small tmpfs mounted for the test's life, when the system lets us mount.
class SmallDisk {
  public:
    SmallDisk(const std::filesystem::path& at, const std::string& size) : at_(at) {
        std::filesystem::create_directories(at);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()) == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool Mounted() const { return mounted_; }

  private:
    std::filesystem::path at_;
    bool mounted_ = false;
};

}  // namespace tintwell::test
