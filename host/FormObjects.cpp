#include "host/FormObjects.h"

#include <ocidl.h>  // Enumerator.h relies on it

#include "com/Enumerator.h"

namespace zelmor::host {

namespace {

const NamedMember kFormMembers[] = {
    {L"Name", kFormName},
    {L"hWnd", kFormWindow},
    {L"Caption", kFormCaption},
};

const NamedMember kContainerMembers[] = {
    {L"Parent", kContainerParent},
};

using UnknownEnumerator = com::Enumerator<IEnumUnknown, IUnknown*, com::InterfaceItem>;

HRESULT TextValue(const std::wstring& text, VARIANT* value) {
    V_VT(value) = VT_BSTR;
    V_BSTR(value) = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return V_BSTR(value) ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

FormObject::FormObject(std::wstring name, HWND window)
    : NamedDispatch(kFormMembers), name_(std::move(name)), window_(window) {}

void* FormObject::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) return static_cast<IDispatch*>(this);
    return nullptr;
}

HRESULT FormObject::ReadMember(DISPID dispid, VARIANT* value) {
    switch (dispid) {
        case kFormName:
            return TextValue(name_, value);
        case kFormWindow:
            // Window handles fit in 32 bits on both architectures, as hosts hand them out.
            V_VT(value) = VT_I4;
            V_I4(value) = static_cast<LONG>(reinterpret_cast<LONG_PTR>(window_));
            return S_OK;
        case kFormCaption: {
            std::wstring caption(static_cast<size_t>(GetWindowTextLengthW(window_)) + 1, L'\0');
            caption.resize(static_cast<size_t>(
                GetWindowTextW(window_, caption.data(), static_cast<int>(caption.size()))));
            return TextValue(caption, value);
        }
        default:
            return DISP_E_MEMBERNOTFOUND;
    }
}

FormContainer::FormContainer(com::ComPtr<IDispatch> form)
    : NamedDispatch(kContainerMembers), form_(std::move(form)) {}

void FormContainer::AddObject(IUnknown* object) {
    objects_.emplace_back(object);
}

void FormContainer::RemoveObject(IUnknown* object) {
    for (auto it = objects_.begin(); it != objects_.end(); ++it) {
        if (it->Get() == object) {
            objects_.erase(it);
            return;
        }
    }
}

void* FormContainer::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IParseDisplayName || iid == IID_IOleContainer) {
        return static_cast<IOleContainer*>(this);
    }
    if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
    return nullptr;
}

STDMETHODIMP FormContainer::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP FormContainer::EnumObjects(DWORD, IEnumUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::vector<IUnknown*> objects;
    for (const auto& object : objects_) objects.push_back(object.Get());
    auto enumerator = com::MakeInstance<UnknownEnumerator>(std::move(objects));
    if (!enumerator) return E_OUTOFMEMORY;
    *out = static_cast<IEnumUnknown*>(enumerator.Detach());
    return S_OK;
}

HRESULT FormContainer::ReadMember(DISPID dispid, VARIANT* value) {
    if (dispid != kContainerParent) return DISP_E_MEMBERNOTFOUND;
    V_VT(value) = VT_DISPATCH;
    return form_.CopyTo(&V_DISPATCH(value));
}

}  // namespace zelmor::host
