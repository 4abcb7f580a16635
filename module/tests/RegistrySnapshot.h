// Everything below a registry key, as text: one line per key and per string value, sorted, so
// that tests can compare what registration wrote with what they expect.
#pragma once

#include <windows.h>

#include <set>
#include <string>

namespace zelmor::module::testing {

// Lines "path" for keys and "path|name=value" for string values (name "@" for the default),
// with paths relative to root\path. Empty when the key does not exist.
std::set<std::wstring> Snapshot(HKEY root, const std::wstring& path);

bool KeyExists(HKEY root, const std::wstring& path);

// A registry key of the test's own under the current user, removed with everything in it when
// the test ends; it stands in for the classes root.
class ScratchKey {
  public:
    ScratchKey();
    ~ScratchKey();
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;
    HKEY Get() const { return key_; }

  private:
    HKEY key_ = nullptr;
};

}  // namespace zelmor::module::testing
