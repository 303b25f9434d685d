#include "commandline.h"

#include "backend.h"

#include <cstdio>
#include <cstring>

int answerCommandLine(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("Quillmere %s\n", QUILLMERE_VERSION);
            return 0;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs("Usage: quillmere [--version] [--help]\n"
                       "\n"
                       "Quillmere, a barograph for boats. It records the pressure every 2 seconds\n"
                       "into barograph.db and keeps its settings in barograph.ini, both in its data\n"
                       "folder: $QUILLMERE_HOME, else ~/Quillmere, created if missing. One Quillmere\n"
                       "runs in a data folder; a second start brings its window to the front.\n"
                       "\n"
                       "  --version  print the version and quit\n"
                       "  --help     print this text and quit\n",
                       stdout);
            return 0;
        }
    }
    return -1;
}
