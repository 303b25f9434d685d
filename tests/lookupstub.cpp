// Preloaded into the program that tst_program runs, linked into the worker's tests: no host name is looked up on a
// real network, lookups are counted, and one of a name ending in ".hangs" waits while quillmere_hold_lookups is set
// (a resolver behind a dead link). With a file "stall-disk" in the working folder the disk stalls for good.
#include <atomic>
#include <cstring>
#include <dlfcn.h>
#include <netdb.h>
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

int fdatasync(int fd)
{
    while (::access("stall-disk", F_OK) == 0)
        ::pause();
    return reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fdatasync"))(fd);
}
}
