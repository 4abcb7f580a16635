#include "module/RegistryKey.h"

#include <objbase.h>

#include <vector>

namespace zelmor::module {

RegistryKey::~RegistryKey() {
    if (key_) RegCloseKey(key_);
}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        if (key_) RegCloseKey(key_);
        key_ = std::exchange(other.key_, nullptr);
    }
    return *this;
}

LSTATUS RegistryKey::Create(HKEY parent, const std::wstring& path, RegistryKey& key) {
    HKEY opened = nullptr;
    LSTATUS status = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                     KEY_READ | KEY_WRITE, nullptr, &opened, nullptr);
    if (status == ERROR_SUCCESS) key = RegistryKey(opened);
    return status;
}

LSTATUS RegistryKey::Open(HKEY parent, const std::wstring& path, RegistryKey& key) {
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &opened);
    if (status == ERROR_SUCCESS) key = RegistryKey(opened);
    return status;
}

LSTATUS RegistryKey::DeleteTree(HKEY parent, const std::wstring& path) {
    LSTATUS status = RegDeleteTreeW(parent, path.c_str());
    if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
    if (status != ERROR_SUCCESS) return status;
    // Where RegDeleteTree leaves the emptied key itself behind, it goes now.
    status = RegDeleteKeyW(parent, path.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

LSTATUS RegistryKey::SetString(const wchar_t* name, const std::wstring& value) {
    auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes);
}

bool RegistryKey::GetString(const wchar_t* name, std::wstring& value) const {
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key_, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    std::vector<wchar_t> buffer(bytes / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                         &bytes) != ERROR_SUCCESS) {
        return false;
    }
    value.assign(buffer.data());
    return true;
}

LSTATUS RegistryKey::CreateSubkey(const std::wstring& path, const std::wstring& value) {
    RegistryKey subkey;
    LSTATUS status = Create(key_, path, subkey);
    if (status == ERROR_SUCCESS) status = subkey.SetString(nullptr, value);
    return status;
}

std::wstring GuidText(const GUID& guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

}  // namespace zelmor::module
