// Saving and loading the control's properties through the container's stream or property
// bag. While properties are loaded the container is neither asked nor told about changes,
// and the loaded control is not dirty.
#include "com/ControlBase.h"

#include <ole2.h>

#include "com/Guarded.h"

namespace zelmor::com {

STDMETHODIMP ControlBase::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = *class_.clsid;
    return S_OK;
}

STDMETHODIMP ControlBase::InitNew() {
    dirty_ = false;
    return Guarded([&] {
        OnPropertiesLoaded();
        return S_OK;
    });
}

STDMETHODIMP ControlBase::Load(IStream* stream) {
    BeginLoad();
    HRESULT hr = Guarded([&] {
        return LoadPropertiesFromStream(ControlDispatch(), class_.properties, extent_, stream);
    });
    EndLoad(SUCCEEDED(hr));
    return hr;
}

STDMETHODIMP ControlBase::Save(IStream* stream, BOOL clearDirty) {
    HRESULT hr = Guarded([&] {
        return SavePropertiesToStream(ControlDispatch(), class_.properties, extent_, stream);
    });
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

STDMETHODIMP ControlBase::GetSizeMax(ULARGE_INTEGER* size) {
    if (!size) return E_POINTER;
    size->QuadPart = 0;
    // The exact size: what a save would write now.
    ComPtr<IStream> measure;
    HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, measure.Put());
    if (SUCCEEDED(hr)) {
        hr = SavePropertiesToStream(ControlDispatch(), class_.properties, extent_, measure.Get());
    }
    STATSTG stat{};
    if (SUCCEEDED(hr)) hr = measure->Stat(&stat, STATFLAG_NONAME);
    if (SUCCEEDED(hr)) *size = stat.cbSize;
    return hr;
}

STDMETHODIMP ControlBase::Load(IPropertyBag* bag, IErrorLog* log) {
    BeginLoad();
    HRESULT hr = Guarded([&] {
        return LoadPropertiesFromBag(ControlDispatch(), class_.properties, extent_, bag, log);
    });
    EndLoad(SUCCEEDED(hr));
    return hr;
}

STDMETHODIMP ControlBase::Save(IPropertyBag* bag, BOOL clearDirty, BOOL) {
    HRESULT hr = Guarded([&] {
        return SavePropertiesToBag(ControlDispatch(), class_.properties, extent_, bag);
    });
    if (SUCCEEDED(hr) && clearDirty) dirty_ = false;
    return hr;
}

void ControlBase::EndLoad(bool loaded) {
    loading_ = false;
    dirty_ = false;
    // A stream that broke off part-way leaves some properties set and others not: the control
    // does not start up on such a half of its settings.
    if (loaded) {
        Guarded([&] {
            OnPropertiesLoaded();
            return S_OK;
        });
    }
    FireViewChange();
}

}  // namespace zelmor::com
