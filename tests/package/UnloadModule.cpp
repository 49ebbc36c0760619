// A module whose clean-up function the error dialog calls before it ends the process.
#include <cstdio>

extern "C" __attribute__((visibility("default"))) void _vUnloadDll() {
    std::fputs("module unloaded\n", stderr);
    std::fflush(stderr);
}
