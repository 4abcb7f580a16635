#include "module/Registration.h"

#include <oleauto.h>

#include "module/RegistryKey.h"

namespace zelmor::module {

namespace {

// The properties verb on the container's menu: its text, then "0" (no menu flags) and "2"
// (OLEVERBATTRIB_ONCONTAINERMENU).
const wchar_t kPropertiesVerb[] = L"ﾌﾟﾛﾊﾟﾃｨ(&P).., 0, 2";

HRESULT FromStatus(LSTATUS status) {
    return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status);
}

std::wstring DisplayName(const ClassEntry& entry) {
    return std::wstring(entry.className) + L" Class";
}

std::wstring VersionIndependentProgId(const ClassEntry& entry) {
    return std::wstring(entry.programName) + L"." + entry.programName;
}

std::wstring ProgId(const ClassEntry& entry) {
    return VersionIndependentProgId(entry) + L".1";
}

std::wstring ClassKeyPath(const ClassEntry& entry) {
    return L"CLSID\\" + GuidText(*entry.clsid);
}

// Writes each (subkey, default value) pair under key; stops at the first failure.
LSTATUS WriteSubkeys(RegistryKey& key,
                     std::initializer_list<std::pair<const wchar_t*, std::wstring>> subkeys) {
    for (const auto& subkey : subkeys) {
        LSTATUS status = key.CreateSubkey(subkey.first, subkey.second);
        if (status != ERROR_SUCCESS) return status;
    }
    return ERROR_SUCCESS;
}

// Creates each marker key (a key without a value) under key.
LSTATUS CreateMarkers(RegistryKey& key, std::initializer_list<const wchar_t*> markers) {
    for (const wchar_t* marker : markers) {
        RegistryKey created;
        LSTATUS status = RegistryKey::Create(key.Get(), marker, created);
        if (status != ERROR_SUCCESS) return status;
    }
    return ERROR_SUCCESS;
}

LSTATUS WriteProgIds(const RegistrationTarget& target, const ClassEntry& entry) {
    std::wstring clsid = GuidText(*entry.clsid);
    std::wstring name = DisplayName(entry);
    for (const std::wstring& progId : {ProgId(entry), VersionIndependentProgId(entry)}) {
        RegistryKey::DeleteTree(target.classesRoot, progId);
        RegistryKey key;
        LSTATUS status = RegistryKey::Create(target.classesRoot, progId, key);
        if (status == ERROR_SUCCESS) status = key.SetString(nullptr, name);
        if (status == ERROR_SUCCESS) status = key.CreateSubkey(L"CLSID", clsid);
        if (status == ERROR_SUCCESS && progId != ProgId(entry)) {
            status = key.CreateSubkey(L"CurVer", ProgId(entry));
        }
        if (status != ERROR_SUCCESS) return status;
    }
    return ERROR_SUCCESS;
}

LSTATUS WriteControlKeys(const RegistrationTarget& target, const ClassEntry& entry,
                         RegistryKey& key) {
    LSTATUS status = CreateMarkers(key, {L"Programmable", L"Control", L"Insertable"});
    if (status != ERROR_SUCCESS) return status;
    status = WriteSubkeys(key, {{L"ProgID", ProgId(entry)},
                                {L"VersionIndependentProgID", VersionIndependentProgId(entry)},
                                {L"ToolboxBitmap32",
                                 target.modulePath + L", " + std::to_wstring(entry.toolboxBitmap)},
                                {L"MiscStatus", L"0"},
                                {L"MiscStatus\\1", std::to_wstring(entry.miscStatus)},
                                {L"TypeLib", GuidText(target.libraryId)},
                                {L"Version", target.libraryVersion},
                                {L"Verb\\0", kPropertiesVerb}});
    if (status == ERROR_SUCCESS) status = WriteProgIds(target, entry);
    return status;
}

HRESULT WriteClassKeys(const RegistrationTarget& target, const ClassEntry& entry) {
    std::wstring path = ClassKeyPath(entry);
    LSTATUS status = RegistryKey::DeleteTree(target.classesRoot, path);
    RegistryKey key;
    if (status == ERROR_SUCCESS) status = RegistryKey::Create(target.classesRoot, path, key);
    if (status == ERROR_SUCCESS) status = key.SetString(nullptr, DisplayName(entry));
    if (status == ERROR_SUCCESS && entry.kind == ClassKind::Control) {
        status = WriteControlKeys(target, entry, key);
    }
    if (status == ERROR_SUCCESS && entry.kind == ClassKind::PropertyPage) {
        status = CreateMarkers(key, {L"Programmable"});
    }
    RegistryKey server;
    if (status == ERROR_SUCCESS) status = RegistryKey::Create(key.Get(), L"InprocServer32", server);
    if (status == ERROR_SUCCESS) status = server.SetString(nullptr, target.modulePath);
    if (status == ERROR_SUCCESS) status = server.SetString(L"ThreadingModel", L"Apartment");
    return FromStatus(status);
}

// Removes a program identifier only when it names this class.
void DeleteProgIdOf(HKEY classesRoot, const std::wstring& progId, const CLSID& clsid) {
    RegistryKey key;
    std::wstring named;
    if (RegistryKey::Open(classesRoot, progId + L"\\CLSID", key) != ERROR_SUCCESS) return;
    if (!key.GetString(nullptr, named) || named != GuidText(clsid)) return;
    key = RegistryKey();
    RegistryKey::DeleteTree(classesRoot, progId);
}

HRESULT WithModuleTypeLibrary(const std::wstring& modulePath,
                              HRESULT (*action)(ITypeLib*, const std::wstring&)) {
    ITypeLib* library = nullptr;
    HRESULT hr = LoadTypeLibEx(modulePath.c_str(), REGKIND_NONE, &library);
    if (FAILED(hr)) return hr;
    hr = action(library, modulePath);
    library->Release();
    return hr;
}

}  // namespace

HRESULT RegisterClasses(const RegistrationTarget& target, ClassList classes) {
    for (const ClassEntry& entry : classes) {
        if (!entry.create) continue;
        HRESULT hr = WriteClassKeys(target, entry);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterClasses(const RegistrationTarget& target, ClassList classes) {
    HRESULT result = S_OK;
    for (const ClassEntry& entry : classes) {
        if (entry.programName) {
            DeleteProgIdOf(target.classesRoot, ProgId(entry), *entry.clsid);
            DeleteProgIdOf(target.classesRoot, VersionIndependentProgId(entry), *entry.clsid);
        }
        HRESULT hr = FromStatus(RegistryKey::DeleteTree(target.classesRoot, ClassKeyPath(entry)));
        if (FAILED(hr)) result = hr;
    }
    return result;
}

HRESULT RegisterApplicationId(HKEY classesRoot, const GUID& id, const wchar_t* name) {
    RegistryKey key;
    LSTATUS status = RegistryKey::Create(classesRoot, L"AppID\\" + GuidText(id), key);
    if (status == ERROR_SUCCESS) status = key.SetString(nullptr, name);
    return FromStatus(status);
}

HRESULT UnregisterApplicationId(HKEY classesRoot, const GUID& id) {
    return FromStatus(RegistryKey::DeleteTree(classesRoot, L"AppID\\" + GuidText(id)));
}

HRESULT RegisterModuleTypeLibrary(const std::wstring& modulePath) {
    return WithModuleTypeLibrary(modulePath, [](ITypeLib* library, const std::wstring& path) {
        return RegisterTypeLib(library, const_cast<LPOLESTR>(path.c_str()), nullptr);
    });
}

HRESULT UnregisterModuleTypeLibrary(const std::wstring& modulePath) {
    return WithModuleTypeLibrary(modulePath, [](ITypeLib* library, const std::wstring&) {
        TLIBATTR* attributes = nullptr;
        HRESULT hr = library->GetLibAttr(&attributes);
        if (FAILED(hr)) return hr;
        hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                               attributes->lcid, attributes->syskind);
        library->ReleaseTLibAttr(attributes);
        // A library that is not registered is already where unregistration leaves it.
        return hr == TYPE_E_REGISTRYACCESS ? S_OK : hr;
    });
}

}  // namespace zelmor::module
