// A library named like the companion library that lacks its entry points.
#include <cstdio>
#include <cstdlib>

extern "C" __attribute__((visibility("default"))) int QuorCompanionVersion() {
    if (const char* log = std::getenv("QUOR_COMPANION_LOG"))
        if (FILE* f = std::fopen(log, "a")) {
            std::fputs("QuorCompanionVersion\n", f);
            std::fclose(f);
        }
    return 1;
}
