// A companion library for tests. Each call appends one line to the file named
// by QUOR_COMPANION_LOG; ShowParam answers QUOR_COMPANION_RESULT, or the path
// it was given followed by ".chosen".
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void record(const std::string& line) {
    const char* log = std::getenv("QUOR_COMPANION_LOG");
    if (!log) return;
    if (FILE* f = std::fopen(log, "a")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

std::string pointer(void* p) {
    char text[32];
    std::snprintf(text, sizeof text, "%p", p);
    return text;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) const char* ShowParam(void* appWindow, const char* iniPath) {
    static std::string answer;
    record("ShowParam " + pointer(appWindow) + " " + iniPath);
    const char* fixed = std::getenv("QUOR_COMPANION_RESULT");
    answer = fixed ? fixed : std::string(iniPath) + ".chosen";
    return answer.c_str();
}

extern "C" __attribute__((visibility("default"))) void ShowAbout(void* appWindow, const char* aboutText,
                                                                 const char* extra) {
    record("ShowAbout " + pointer(appWindow) + " [" + aboutText + "] [" + extra + "]");
}
