#include "com/TypeLibrary.h"

#include <map>
#include <mutex>
#include <vector>

#include "com/ModuleState.h"

namespace zelmor::com {

namespace {

struct GuidLess {
    bool operator()(const GUID& a, const GUID& b) const { return memcmp(&a, &b, sizeof a) < 0; }
};

// Loaded once per process; apartments on several threads may ask at the same time.
struct TypeLibraryCache {
    std::mutex mutex;
    ComPtr<ITypeLib> library;
    HRESULT loadResult = S_OK;
    bool loaded = false;
    std::map<GUID, ComPtr<ITypeInfo>, GuidLess> infos;
};

TypeLibraryCache& Cache() {
    static TypeLibraryCache cache;
    return cache;
}

ComPtr<ITypeLib> LoadLocked(TypeLibraryCache& cache) {
    if (!cache.loaded) {
        cache.loaded = true;
        cache.loadResult = LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, cache.library.Put());
    }
    return cache.library;
}

}  // namespace

std::wstring ModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = GetModuleFileNameW(ModuleState::Instance(), buffer.data(),
                                          static_cast<DWORD>(buffer.size()));
        if (length == 0) return std::wstring();
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

ComPtr<ITypeLib> ModuleTypeLibrary(HRESULT* result) {
    TypeLibraryCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    ComPtr<ITypeLib> library = LoadLocked(cache);
    if (result) *result = cache.loadResult;
    return library;
}

HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    TypeLibraryCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    auto found = cache.infos.find(guid);
    if (found != cache.infos.end()) return found->second.CopyTo(out);
    ComPtr<ITypeLib> library = LoadLocked(cache);
    if (!library) return FAILED(cache.loadResult) ? cache.loadResult : E_FAIL;
    ComPtr<ITypeInfo> info;
    HRESULT hr = library->GetTypeInfoOfGuid(guid, info.Put());
    if (FAILED(hr)) return hr;
    cache.infos[guid] = info;
    return info.CopyTo(out);
}

void ReleaseModuleTypeLibrary() {
    TypeLibraryCache& cache = Cache();
    std::lock_guard<std::mutex> lock(cache.mutex);
    cache.infos.clear();
    cache.library = nullptr;
    cache.loaded = false;
    cache.loadResult = S_OK;
}

}  // namespace zelmor::com
