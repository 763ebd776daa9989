// The floor RecolorFile is measured against: for each file, read it whole,
// apply a 256-entry table to the bytes after bfOffBits, write a temporary file
// in the same folder, fsync it and rename it over the original.
// Prints the elapsed seconds and the peak resident set size.
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static void Die(const char* what, const std::string& path) {
    std::fprintf(stderr, "floor: %s %s: %s\n", what, path.c_str(), std::strerror(errno));
    std::exit(1);
}

static void WriteAll(int fd, const std::uint8_t* p, std::size_t n, const std::string& path) {
    while (n > 0) {
        const ssize_t w = ::write(fd, p, n);
        if (w < 0) Die("write", path);
        p += w;
        n -= static_cast<std::size_t>(w);
    }
}

int main(int argc, char** argv) {
    std::uint8_t table[256];
    for (int i = 0; i < 256; ++i)
        table[i] = static_cast<std::uint8_t>(i * 7 + 13);
    const auto start = std::chrono::steady_clock::now();
    for (int a = 1; a < argc; ++a) {
        const std::string path = argv[a];
        const int in = ::open(path.c_str(), O_RDONLY);
        if (in < 0) Die("open", path);
        struct stat st {};
        ::fstat(in, &st);
        const auto size = static_cast<std::size_t>(st.st_size);
        std::uint8_t* bytes = static_cast<std::uint8_t*>(std::malloc(size));
        std::size_t got = 0;
        while (got < size) {
            const ssize_t r = ::read(in, bytes + got, size - got);
            if (r <= 0) Die("read", path);
            got += static_cast<std::size_t>(r);
        }
        ::close(in);
        std::uint32_t off;
        std::memcpy(&off, bytes + 10, 4);
        for (std::size_t i = off; i < size; ++i)
            bytes[i] = table[bytes[i]];
        const std::string temp = path + ".floor-tmp";
        const int out = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (out < 0) Die("create", temp);
        WriteAll(out, bytes, size, temp);
        if (::fsync(out) != 0) Die("fsync", temp);
        ::close(out);
        if (::rename(temp.c_str(), path.c_str()) != 0) Die("rename", temp);
        std::free(bytes);
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    struct rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    std::printf("seconds=%.6f maxrss_kb=%ld\n", seconds, ru.ru_maxrss);
    return 0;
}
