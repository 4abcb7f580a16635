// Everything below a registry key, as text: one line per key and per string value, sorted, so
// that tests can compare what registration wrote with what they expect.
#pragma once

#include <windows.h>

#include <set>
#include <string>

#include "module/ClassTable.h"

namespace zelmor::module::testing {

// Lines "path" for keys and "path|name=value" for string values (name "@" for the default),
// with paths relative to root\path. Empty when the key does not exist.
std::set<std::wstring> Snapshot(HKEY root, const std::wstring& path);

bool KeyExists(HKEY root, const std::wstring& path);

// What registration is to write for one class, as Snapshot lines relative to the classes root:
// its key under CLSID and, for a control, its two program identifiers. Written out here from
// the published list of keys, not from the registration code.
std::set<std::wstring> ExpectedClassKeys(const ClassEntry& entry, const std::wstring& modulePath,
                                         const GUID& libraryId);

// What root holds below the keys ExpectedClassKeys names, in the same form.
std::set<std::wstring> ClassKeys(HKEY root, const ClassEntry& entry);

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
