#pragma once

// Dynamic libraries: load by file name, look an entry point up by name,
// release. A bare file name is found by the platform's library search, which
// for this program looks in the program's own folder first (RUNPATH $ORIGIN).

#include <memory>
#include <string>

namespace quor {

class DynamicLibrary {
public:
    // The loaded library, or nullptr when it cannot be loaded; `error`, when
    // given, receives the loader's explanation.
    static std::unique_ptr<DynamicLibrary> load(const std::string& fileName, std::string* error = nullptr);

    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The address of the exported name, or nullptr when the library lacks it.
    void* symbol(const char* name) const;

    template <typename Function>
    Function* function(const char* name) const {
        return reinterpret_cast<Function*>(symbol(name));
    }

private:
    explicit DynamicLibrary(void* handle) : handle_(handle) {}
    void* handle_;
};

}  // namespace quor
