// What the Windows benchmark programs share: the best of three timed runs, a folder of their
// own for the tables they make, and listeners of a control's events.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"

namespace zelmor::bench {

// The shortest of `runs` runs of `work`, in milliseconds.
inline double BestOf(int runs, const std::function<void()>& work) {
    double best = 1e300;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

inline double BestOfThree(const std::function<void()>& work) { return BestOf(3, work); }

// A folder called `name` in the temporary folder, made when missing.
inline std::string BenchFolder(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string directory = std::string(folder) + name;
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

// An event listener that takes every event and does nothing with it.
class QuietSink : public com::ObjectRoot, public IDispatch {
  public:
    explicit QuietSink(REFIID events) : events_(events) {}
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return S_OK;
    }

  protected:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, events_)) {
            return static_cast<IDispatch*>(this);
        }
        return nullptr;
    }

  private:
    IID events_;
};

// Takes the host's listeners off the control's events and gives it `sink` instead (none when
// null).
inline void ListenWith(IUnknown* control, REFIID events, IUnknown* sink) {
    com::ComPtr<IConnectionPointContainer> container;
    com::ComPtr<IConnectionPoint> point;
    com::ComPtr<IEnumConnections> connections;
    if (FAILED(control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid())) ||
        FAILED(container->FindConnectionPoint(events, point.Put())) ||
        FAILED(point->EnumConnections(connections.Put()))) {
        std::abort();
    }
    CONNECTDATA connection{};
    std::vector<DWORD> cookies;
    while (connections->Next(1, &connection, nullptr) == S_OK) {
        cookies.push_back(connection.dwCookie);
        if (connection.pUnk) connection.pUnk->Release();
    }
    for (DWORD cookie : cookies) point->Unadvise(cookie);
    DWORD cookie = 0;
    if (sink && FAILED(point->Advise(sink, &cookie))) std::abort();
}

}  // namespace zelmor::bench
