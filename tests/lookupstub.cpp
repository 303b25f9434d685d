// In the program tst_program runs and the worker's tests: no lookup leaves the machine; one of a name ending ".hangs"
// waits while quillmere_hold_lookups is set (a dead link). A file "stall-disk" in the working folder stalls the disk.
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
