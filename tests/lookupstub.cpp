// getaddrinfo for the worker's tests and for the program they run (LD_PRELOAD): no name is ever looked up on a real
// network. Lookups are counted; one of a name ending in ".hangs" waits while quillmere_hold_lookups is set, as a
// resolver behind a dead link does.
#include <atomic>
#include <cstring>
#include <netdb.h>
#include <unistd.h>

extern "C" {
std::atomic<int> quillmere_lookups{0};
std::atomic<bool> quillmere_hold_lookups{true};

int getaddrinfo(const char *node, const char *, const addrinfo *, addrinfo **)
{
    ++quillmere_lookups;
    while (node && std::strstr(node, ".hangs") && quillmere_hold_lookups)
        ::usleep(10000);
    return EAI_NONAME;
}
}
