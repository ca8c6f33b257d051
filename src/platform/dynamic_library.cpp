#include "platform/dynamic_library.h"

#include <dlfcn.h>

namespace quor {

std::unique_ptr<DynamicLibrary> DynamicLibrary::load(const std::string& fileName, std::string* error) {
    dlerror();
    // RTLD_LOCAL keeps the library's names out of the program's namespace, so
    // loading it twice or loading a look-alike changes nothing for the next load.
    void* handle = fileName.empty() ? nullptr : dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
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
