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

// --- IPersistStorage ---
//
// The protocol: InitNew or Load once, on a control that holds no storage; Save then leaves
// the control unable to write (no-scribble) until SaveCompleted; HandsOffStorage makes it let
// go of the storage until SaveCompleted hands it one. Calls out of turn fail with E_UNEXPECTED
// and change nothing.

namespace zelmor::com {

STDMETHODIMP ControlBase::InitNew(IStorage* storage) {
    if (!storage) return E_POINTER;
    if (storageState_ != StorageState::None) return CO_E_ALREADYINITIALIZED;
    HRESULT hr = InitNew();
    if (FAILED(hr)) return hr;
    storage_ = ComPtr<IStorage>(storage);
    storageState_ = StorageState::Normal;
    return S_OK;
}

STDMETHODIMP ControlBase::Load(IStorage* storage) {
    if (!storage) return E_POINTER;
    if (storageState_ != StorageState::None) return CO_E_ALREADYINITIALIZED;
    ComPtr<IStream> stream;
    HRESULT hr = storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE,
                                     0, stream.Put());
    if (FAILED(hr)) return hr;
    hr = Load(stream.Get());
    if (FAILED(hr)) return hr;
    storage_ = ComPtr<IStorage>(storage);
    storageState_ = StorageState::Normal;
    return S_OK;
}

// A container may also save a control it never gave a storage (a copy into a new document).
STDMETHODIMP ControlBase::Save(IStorage* storage, BOOL sameAsLoad) {
    if (storageState_ == StorageState::NoScribble ||
        storageState_ == StorageState::HandsOff ||
        storageState_ == StorageState::HandsOffAfterSave) {
        return E_UNEXPECTED;
    }
    if (!storage) return E_POINTER;
    if (sameAsLoad && storage_ && storage != storage_.Get()) return E_INVALIDARG;
    HRESULT hr = WriteClassStg(storage, *class_.clsid);
    ComPtr<IStream> stream;
    if (SUCCEEDED(hr)) {
        hr = storage->CreateStream(kContentsStream,
                                   STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                   stream.Put());
    }
    // The same bytes as a stream save, without touching the dirty state yet: the object is
    // clean only once the container completes the save.
    if (SUCCEEDED(hr)) hr = Save(stream.Get(), FALSE);
    if (SUCCEEDED(hr) && storageState_ != StorageState::None) {
        savedSameAsLoad_ = sameAsLoad != FALSE;
        storageState_ = StorageState::NoScribble;
    }
    return hr;
}

STDMETHODIMP ControlBase::SaveCompleted(IStorage* storage) {
    switch (storageState_) {
        case StorageState::NoScribble:
            break;
        case StorageState::HandsOff:
        case StorageState::HandsOffAfterSave:
            // Having let go, the control needs a storage to go on with.
            if (!storage) return E_INVALIDARG;
            break;
        case StorageState::None:
        case StorageState::Normal:
            return E_UNEXPECTED;
    }
    // Saved into its own storage, or handed the one it was saved into (save as): clean.
    if (savedSameAsLoad_ || storage) {
        if (storageState_ != StorageState::HandsOff) dirty_ = false;
    }
    if (storage) storage_ = ComPtr<IStorage>(storage);
    savedSameAsLoad_ = false;
    storageState_ = StorageState::Normal;
    return S_OK;
}

STDMETHODIMP ControlBase::HandsOffStorage() {
    switch (storageState_) {
        case StorageState::Normal:
            storageState_ = StorageState::HandsOff;
            break;
        case StorageState::NoScribble:
            storageState_ = StorageState::HandsOffAfterSave;
            break;
        default:
            return E_UNEXPECTED;
    }
    storage_ = nullptr;
    return S_OK;
}

}  // namespace zelmor::com
