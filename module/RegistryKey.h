// An open registry key that closes itself, with the few operations registration needs.
#pragma once

#include <windows.h>

#include <string>
#include <utility>

namespace zelmor::module {

class RegistryKey {
  public:
    RegistryKey() = default;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    RegistryKey(RegistryKey&& other) noexcept : key_(std::exchange(other.key_, nullptr)) {}
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    ~RegistryKey();

    // Creates (or opens) parent\path for writing.
    static LSTATUS Create(HKEY parent, const std::wstring& path, RegistryKey& key);
    // Opens parent\path for reading.
    static LSTATUS Open(HKEY parent, const std::wstring& path, RegistryKey& key);
    // Removes parent\path with everything below it; a missing key is no error.
    static LSTATUS DeleteTree(HKEY parent, const std::wstring& path);

    HKEY Get() const { return key_; }
    // Sets a string value; an empty name is the key's default value.
    LSTATUS SetString(const wchar_t* name, const std::wstring& value);
    // Reads a string value; false when there is none.
    bool GetString(const wchar_t* name, std::wstring& value) const;
    // Creates the subkey path with its default value.
    LSTATUS CreateSubkey(const std::wstring& path, const std::wstring& value);

  private:
    explicit RegistryKey(HKEY key) : key_(key) {}

    HKEY key_ = nullptr;
};

// The text form of a GUID with braces, as the registry keeps class identifiers.
std::wstring GuidText(const GUID& guid);

}  // namespace zelmor::module
