// The built zelmor.dll, which the build copies beside the test program.
#pragma once

#include <windows.h>

#include <string>

namespace zelmor::module::testing {

std::wstring LibraryPath();

// The library loaded for the duration of a test.
class LoadedLibrary {
  public:
    LoadedLibrary() : module_(LoadLibraryW(LibraryPath().c_str())) {}
    ~LoadedLibrary() {
        if (module_) FreeLibrary(module_);
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    HMODULE Get() const { return module_; }
    template <typename Function>
    Function Entry(const char* name) const {
        return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
    }

  private:
    HMODULE module_;
};

}  // namespace zelmor::module::testing
