// A library named like a libvlc plug-in whose constructor leaves a mark: the
// pid of the process that loaded it, appended to $HALVEX_PROBE_FILE.
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

__attribute__((constructor)) static void LeaveMark() {
    const char* path = std::getenv("HALVEX_PROBE_FILE");
    if (!path)
        return;
    if (FILE* f = std::fopen(path, "a")) {
        std::fprintf(f, "%d\n", int(getpid()));
        std::fclose(f);
    }
}
