#include "RegistrySnapshot.h"

#include <vector>

namespace zelmor::module::testing {

namespace {

const wchar_t kScratchParent[] = L"Software\\ZelmorTests";
const wchar_t kScratchPath[] = L"Software\\ZelmorTests\\Classes";

void Collect(HKEY key, const std::wstring& prefix, std::set<std::wstring>& lines) {
    lines.insert(prefix.empty() ? L"." : prefix);
    // Buffers as large as the key's longest value name and value, so that no value is cut or
    // skipped (a value that could not be read shows as such and fails the comparison).
    DWORD longestName = 0, longestData = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                     &longestName, &longestData, nullptr, nullptr);
    std::vector<wchar_t> name(longestName + 1);
    std::vector<BYTE> data(longestData + sizeof(wchar_t));
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD type = 0;
        DWORD dataLength = longestData;
        LONG result = RegEnumValueW(key, index, name.data(), &nameLength, nullptr, &type,
                                    data.data(), &dataLength);
        if (result != ERROR_SUCCESS && result != ERROR_MORE_DATA) break;  // the end, or no key
        std::wstring value = L"<unreadable>";
        if (result == ERROR_SUCCESS && type == REG_SZ) {
            value.assign(reinterpret_cast<const wchar_t*>(data.data()),
                         dataLength / sizeof(wchar_t));
            while (!value.empty() && value.back() == L'\0') value.pop_back();
        } else if (result == ERROR_SUCCESS) {
            value = L"<binary>";
        }
        lines.insert(prefix + L"|" + (nameLength ? std::wstring(name.data(), nameLength) : L"@") +
                     L"=" + value);
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
