#include "platform/dynamic_library.h"

#include <dlfcn.h>
#include <unistd.h>

namespace quor {
namespace {

// The program's folder followed by `fileName` for a bare name; empty for a
// path or when the program file cannot be named.
std::string besideProgram(const std::string& fileName) {
    if (fileName.empty() || fileName.find('/') != std::string::npos) return {};
    char exe[4096];
    const ssize_t size = readlink("/proc/self/exe", exe, sizeof exe);
    if (size <= 0 || size >= static_cast<ssize_t>(sizeof exe)) return {};
    const std::string program(exe, static_cast<std::size_t>(size));
    return program.substr(0, program.rfind('/') + 1) + fileName;
}

}  // namespace

std::unique_ptr<DynamicLibrary> DynamicLibrary::load(const std::string& fileName, std::string* error) {
    dlerror();
    // RTLD_LOCAL keeps the library's names out of the program's namespace, so
    // loading it twice or loading a look-alike changes nothing for the next load.
    // The program's folder first, as its RUNPATH says, looked at here
    // because the loader's own search follows the RUNPATH of whichever
    // object calls dlopen (an interposing runtime, under sanitizers).
    void* handle = nullptr;
    const std::string beside = besideProgram(fileName);
    if (!beside.empty() && access(beside.c_str(), F_OK) == 0) handle = dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle && !fileName.empty()) handle = dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char* why = dlerror();
            *error = why ? why : "no library name";
        }
        return nullptr;
    }
    return std::unique_ptr<DynamicLibrary>(new DynamicLibrary(handle));
}

DynamicLibrary::~DynamicLibrary() { dlclose(handle_); }

void* DynamicLibrary::symbol(const char* name) const { return dlsym(handle_, name); }

}  // namespace quor
