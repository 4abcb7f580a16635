#include "RegistrySnapshot.h"

#include <vector>

#include "module/RegistryKey.h"

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

namespace {

std::wstring ClassPath(const ClassEntry& entry) {
    return L"CLSID\\" + GuidText(*entry.clsid);
}

std::vector<std::wstring> ProgIds(const ClassEntry& entry) {
    if (!entry.programName) return {};
    std::wstring independent = std::wstring(entry.programName) + L"." + entry.programName;
    return {independent + L".1", independent};
}

}  // namespace

std::set<std::wstring> ExpectedClassKeys(const ClassEntry& entry, const std::wstring& modulePath,
                                         const GUID& libraryId) {
    const std::wstring key = ClassPath(entry);
    const std::wstring name = std::wstring(entry.className) + L" Class";
    std::set<std::wstring> lines = {
        key,
        key + L"|@=" + name,
        key + L"\\Programmable",
        key + L"\\InprocServer32",
        key + L"\\InprocServer32|@=" + modulePath,
        key + L"\\InprocServer32|ThreadingModel=Apartment",
    };
    if (entry.kind != ClassKind::Control) return lines;
    const std::vector<std::wstring> progIds = ProgIds(entry);
    const std::wstring clsid = GuidText(*entry.clsid);
    for (const std::wstring& line : {
             key + L"\\ProgID", key + L"\\ProgID|@=" + progIds[0],
             key + L"\\VersionIndependentProgID",
             key + L"\\VersionIndependentProgID|@=" + progIds[1], key + L"\\Control",
             key + L"\\Insertable", key + L"\\ToolboxBitmap32",
             key + L"\\ToolboxBitmap32|@=" + modulePath + L", " +
                 std::to_wstring(entry.toolboxBitmap),
             key + L"\\MiscStatus", key + L"\\MiscStatus|@=0", key + L"\\MiscStatus\\1",
             key + L"\\MiscStatus\\1|@=" + std::to_wstring(entry.miscStatus),
             key + L"\\TypeLib", key + L"\\TypeLib|@=" + GuidText(libraryId),
             key + L"\\Version", key + L"\\Version|@=1.1", key + L"\\Verb",
             key + L"\\Verb\\0", key + L"\\Verb\\0|@=ﾌﾟﾛﾊﾟﾃｨ(&P).., 0, 2"}) {
        lines.insert(line);
    }
    for (const std::wstring& progId : progIds) {
        for (const std::wstring& line :
             {progId, progId + L"|@=" + name, progId + L"\\CLSID", progId + L"\\CLSID|@=" + clsid}) {
            lines.insert(line);
        }
    }
    lines.insert(progIds[1] + L"\\CurVer");
    lines.insert(progIds[1] + L"\\CurVer|@=" + progIds[0]);
    return lines;
}

std::set<std::wstring> ClassKeys(HKEY root, const ClassEntry& entry) {
    std::vector<std::wstring> roots = ProgIds(entry);
    roots.push_back(ClassPath(entry));
    std::set<std::wstring> lines;
    for (const std::wstring& path : roots) {
        for (const std::wstring& line : Snapshot(root, path)) {
            if (line == L".") {
                lines.insert(path);
            } else {
                lines.insert(path + (line[0] == L'|' ? L"" : L"\\") + line);
            }
        }
    }
    return lines;
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
