#pragma once
// Faults only the kernel causes, on purpose: included by one source of a test
// program, this puts its own versions of a few system calls before the C
// library's. While a FailCall lives, the `nth` call of `name` from then on
// (1: the next) and the `times - 1` after it fail with `error`; others pass on.
// `before`, when set, runs right before the nth call (which, with error 0, passes on).
#include <dlfcn.h>
#include <sys/types.h>

#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <functional>

namespace tintwell::test {

struct FailCall {
    FailCall(const char* call, int err, int first = 1, int count = 1)
        : name(call), error(err), nth(first), times(count) {
        live = this;
    }
    ~FailCall() { live = nullptr; }
    // True, with errno set, when this call of `call` is one to fail.
    static bool Fails(const char* call) {
        FailCall* f = live;
        if (f == nullptr || std::strcmp(f->name, call) != 0) return false;
        const int n = ++f->calls;
        if (n == f->nth && f->before) f->before();
        return n >= f->nth && n < f->nth + f->times && (errno = f->error) != 0;
    }
    const char* name;
    int error, nth, times;
    std::atomic<int> calls{0};  // of `name`, while it lives, from any thread
    std::function<void()> before;
    static inline FailCall* live = nullptr;
};

}  // namespace tintwell::test

#define FAILING(type, name, params, args)                                                   \
    extern "C" type name params {                                                           \
        static const auto real = reinterpret_cast<type(*) params>(dlsym(RTLD_NEXT, #name)); \
        return tintwell::test::FailCall::Fails(#name) ? -1 : real args;                     \
    }
FAILING(ssize_t, write, (int fd, const void* p, size_t n), (fd, p, n))
FAILING(ssize_t, pwrite, (int fd, const void* p, size_t n, off_t at), (fd, p, n, at))
FAILING(ssize_t, copy_file_range, (int i, loff_t* ia, int o, loff_t* oa, size_t n, unsigned f),
        (i, ia, o, oa, n, f))
FAILING(int, renameat2, (int fd, const char* a, int td, const char* b, unsigned f),
        (fd, a, td, b, f))
FAILING(int, ftruncate, (int fd, off_t size), (fd, size))
FAILING(int, fsync, (int fd), (fd))
FAILING(int, sync_file_range, (int fd, off_t at, off_t n, unsigned f), (fd, at, n, f))
FAILING(int, flock, (int fd, int operation), (fd, operation))
#undef FAILING

extern "C" int open(const char* path, int flags, ...) {
    static const auto real =
        reinterpret_cast<int (*)(const char*, int, ...)>(dlsym(RTLD_NEXT, "open"));
    va_list rest;  // the mode, or a spare word when none was passed
    va_start(rest, flags);
    const unsigned mode = va_arg(rest, unsigned);
    va_end(rest);
    return tintwell::test::FailCall::Fails("open") ? -1 : real(path, flags, mode);
}
