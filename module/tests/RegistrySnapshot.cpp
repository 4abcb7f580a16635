#include "RegistrySnapshot.h"

#include <vector>

namespace zelmor::module::testing {

namespace {

const wchar_t kScratchParent[] = L"Software\\ZelmorTests";
const wchar_t kScratchPath[] = L"Software\\ZelmorTests\\Classes";

void Collect(HKEY key, const std::wstring& prefix, std::set<std::wstring>& lines) {
    lines.insert(prefix.empty() ? L"." : prefix);
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[2048];
        DWORD dataLength = sizeof data;
        if (RegEnumValueW(key, index, name, &nameLength, nullptr, &type, data, &dataLength) !=
            ERROR_SUCCESS) {
            break;
        }
        std::wstring value = type == REG_SZ ? reinterpret_cast<const wchar_t*>(data) : L"<binary>";
        lines.insert(prefix + L"|" + (nameLength ? std::wstring(name) : L"@") + L"=" + value);
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        HKEY child = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &child) == ERROR_SUCCESS) {
            Collect(child, prefix.empty() ? name : prefix + L"\\" + name, lines);
            RegCloseKey(child);
        }
    }
}

}  // namespace

std::set<std::wstring> Snapshot(HKEY root, const std::wstring& path) {
    std::set<std::wstring> lines;
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return lines;
    Collect(key, L"", lines);
    RegCloseKey(key);
    return lines;
}

bool KeyExists(HKEY root, const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

ScratchKey::ScratchKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchPath);
    RegCreateKeyExW(HKEY_CURRENT_USER, kScratchPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                    KEY_ALL_ACCESS, nullptr, &key_, nullptr);
}

ScratchKey::~ScratchKey() {
    if (key_) RegCloseKey(key_);
    RegDeleteTreeW(HKEY_CURRENT_USER, kScratchParent);
    RegDeleteKeyW(HKEY_CURRENT_USER, kScratchParent);
}

}  // namespace zelmor::module::testing
