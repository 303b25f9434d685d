// In the program tst_program runs and the worker's tests: no lookup leaves the machine; one of a name ending ".hangs"
// waits while quillmere_hold_lookups is set (a dead link). A file "stall-disk" in the working folder stalls the disk.
// What is written to a write-ahead log ("...-wal") and not yet synced is counted, and so are the log's syncs.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <netdb.h>
#include <sys/types.h>
#include <unistd.h>

extern "C" {
std::atomic<int> quillmere_lookups{0};
std::atomic<bool> quillmere_hold_lookups{true};

int getaddrinfo(const char *node, const char *, const addrinfo *, addrinfo **)
{
    ++quillmere_lookups;
    if (node && std::strstr(node, ".hangs") && quillmere_hold_lookups && ::write(STDERR_FILENO, "lookup hangs\n", 13))
        while (quillmere_hold_lookups)
            ::usleep(10000);
    return EAI_NONAME;
}

std::atomic<long> quillmere_log_unsynced{0};
std::atomic<int> quillmere_log_syncs{0};
}

namespace {
bool isLog(int fd)
{
    char link[32], target[4096];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target);
    return n > 4 && std::memcmp(target + n - 4, "-wal", 4) == 0;
}

template <typename Call> Call next(const char *name)
{
    return reinterpret_cast<Call>(::dlsym(RTLD_NEXT, name));
}

ssize_t written(int fd, ssize_t n)
{
    if (n > 0 && isLog(fd))
        quillmere_log_unsynced += n;
    return n;
}

int synced(int fd, int result)
{
    if (result == 0 && isLog(fd))
        quillmere_log_unsynced = 0, ++quillmere_log_syncs;
    return result;
}
} // namespace

extern "C" {
ssize_t pwrite64(int fd, const void *buffer, size_t size, off64_t at)
{
    return written(fd, next<ssize_t (*)(int, const void *, size_t, off64_t)>("pwrite64")(fd, buffer, size, at));
}

ssize_t pwrite(int fd, const void *buffer, size_t size, off_t at)
{
    return written(fd, next<ssize_t (*)(int, const void *, size_t, off_t)>("pwrite")(fd, buffer, size, at));
}

int fdatasync(int fd)
{
    while (::access("stall-disk", F_OK) == 0)
        ::pause();
    return synced(fd, next<int (*)(int)>("fdatasync")(fd));
}

int fsync(int fd)
{
    return synced(fd, next<int (*)(int)>("fsync")(fd));
}
}
