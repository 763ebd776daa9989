#pragma once
// Shared by the fuzz targets: a check that aborts the same way under libFuzzer
// and in the plain corpus replay, and a scratch folder for the files they write.

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace tintwell::fuzz {

// A private folder in memory-backed storage when there is some (files are
// written and fsynced for every input), removed when the process ends normally.
inline const std::filesystem::path& Scratch() {
    static const struct Dir {
        Dir() {
            const bool shm = ::access("/dev/shm", W_OK) == 0;
            std::string pattern =
                (shm ? std::filesystem::path("/dev/shm") : std::filesystem::temp_directory_path())
                    .append("tintwell-fuzz-XXXXXX");
            FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
            path = pattern;
        }
        ~Dir() { std::filesystem::remove_all(path); }
        std::filesystem::path path;
    } dir;
    return dir.path;
}

}  // namespace tintwell::fuzz
