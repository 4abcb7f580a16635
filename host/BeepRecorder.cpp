#include "host/BeepRecorder.h"

#include <tlhelp32.h>

#include <cstring>
#include <string>

namespace zelmor::host {

namespace {

// Whether the module lives in the system's folder (its imports are the platform's business).
bool IsSystemModule(const wchar_t* path) {
    wchar_t system[MAX_PATH] = {};
    UINT length = GetSystemDirectoryW(system, MAX_PATH);
    return length > 0 && _wcsnicmp(path, system, length) == 0;
}

template <typename T>
T* At(HMODULE module, DWORD offset) {
    return reinterpret_cast<T*>(reinterpret_cast<BYTE*>(module) + offset);
}

// Points the module's import of USER32!MessageBeep at `replacement`.
void HookImport(HMODULE module, void* replacement) {
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(module);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return;
    auto* nt = At<IMAGE_NT_HEADERS>(module, static_cast<DWORD>(dos->e_lfanew));
    if (nt->Signature != IMAGE_NT_SIGNATURE) return;
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) return;
    for (auto* import = At<IMAGE_IMPORT_DESCRIPTOR>(module, directory.VirtualAddress);
         import->Name != 0; ++import) {
        if (_stricmp(At<char>(module, import->Name), "user32.dll") != 0) continue;
        if (import->OriginalFirstThunk == 0) continue;
        auto* names = At<IMAGE_THUNK_DATA>(module, import->OriginalFirstThunk);
        auto* slots = At<IMAGE_THUNK_DATA>(module, import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            auto* byName = At<IMAGE_IMPORT_BY_NAME>(module, static_cast<DWORD>(names->u1.AddressOfData));
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), "MessageBeep") != 0) {
                continue;
            }
            DWORD previous = 0;
            if (VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE,
                               &previous)) {
                slots->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
                VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, previous,
                               &previous);
            }
        }
    }
}

}  // namespace

BeepRecorder& BeepRecorder::Instance() {
    static BeepRecorder recorder;
    return recorder;
}

BOOL WINAPI BeepRecorder::RecordBeep(UINT type) {
    Instance().beeps_.push_back(type);
    return TRUE;
}

void BeepRecorder::Hook() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, GetCurrentProcessId());
    if (snapshot == INVALID_HANDLE_VALUE) return;
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Module32FirstW(snapshot, &entry); more; more = Module32NextW(snapshot, &entry)) {
        if (!IsSystemModule(entry.szExePath)) {
            HookImport(entry.hModule, reinterpret_cast<void*>(&RecordBeep));
        }
    }
    CloseHandle(snapshot);
}

std::vector<unsigned> BeepRecorder::TakeBeeps() {
    std::vector<unsigned> taken;
    taken.swap(beeps_);
    return taken;
}

}  // namespace zelmor::host
