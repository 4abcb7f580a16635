// IDispatch for a dual interface, answered from the interface's description in the module's
// type library: names become dispatch identifiers through the description, and calls are
// made on the interface's own methods by the platform's DispInvoke.
#pragma once

#include <oaidl.h>

#include "com/ComPtr.h"
#include "com/DispatchInvoke.h"
#include "com/Guarded.h"
#include "com/TypeLibrary.h"

namespace zelmor::com {

template <typename DualInterface>
class DispatchImpl : public DualInterface {
  public:
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }

    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        return ModuleTypeInfo(__uuidof(DualInterface), out);
    }

    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                               DISPID* ids) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = ModuleTypeInfo(__uuidof(DualInterface), info.Put());
        if (FAILED(hr)) return hr;
        return DispGetIDsOfNames(info.Get(), names, count, ids);
    }

    STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                        VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        if (iid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        HRESULT hr = ModuleTypeInfo(__uuidof(DualInterface), info.Put());
        if (FAILED(hr)) return hr;
        return Guarded([&] {
            return InvokeThroughTypeInfo(static_cast<DualInterface*>(this), info.Get(), id, flags,
                                         params, result, exception, argumentError);
        });
    }
};

}  // namespace zelmor::com
