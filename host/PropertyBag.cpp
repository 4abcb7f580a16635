#include "host/PropertyBag.h"

#include <algorithm>

#include "host/Automation.h"

namespace zelmor::host {

namespace {

bool SameName(const std::wstring& a, const wchar_t* b) {
    return lstrcmpiW(a.c_str(), b) == 0;
}

}  // namespace

void* PropertyBag::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPropertyBag) return static_cast<IPropertyBag*>(this);
    if (iid == IID_IErrorLog) return static_cast<IErrorLog*>(this);
    return nullptr;
}

NamedValue* PropertyBag::Entry(const wchar_t* name) {
    for (NamedValue& entry : values_) {
        if (SameName(entry.name, name)) return &entry;
    }
    return nullptr;
}

const VARIANT* PropertyBag::Find(const std::wstring& name) const {
    for (const NamedValue& entry : values_) {
        if (SameName(entry.name, name.c_str())) return entry.value.Get();
    }
    return nullptr;
}

std::vector<const NamedValue*> PropertyBag::Unread() const {
    std::vector<const NamedValue*> unread;
    for (const NamedValue& entry : values_) {
        bool wasRead = std::any_of(read_.begin(), read_.end(), [&](const std::wstring& name) {
            return SameName(entry.name, name.c_str());
        });
        if (!wasRead) unread.push_back(&entry);
    }
    return unread;
}

STDMETHODIMP PropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    read_.emplace_back(name);
    NamedValue* entry = Entry(name);
    if (!entry) return E_INVALIDARG;
    // The caller says which type it wants by the type it passes in; VT_EMPTY takes any.
    VARTYPE wanted = V_VT(value);
    VariantInit(value);
    HRESULT hr = VariantCopy(value, entry->value.Get());
    if (SUCCEEDED(hr) && wanted != VT_EMPTY && wanted != V_VT(value)) {
        hr = VariantChangeType(value, value, 0, wanted);
    }
    if (FAILED(hr)) {
        // Controls skip a value they cannot read; the form still wants to hear of it.
        VariantClear(value);
        errors_.push_back(entry->name + L": " + HresultText(hr));
    }
    return hr;
}

STDMETHODIMP PropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    com::Variant copy;
    HRESULT hr = VariantCopy(copy.Get(), value);
    if (FAILED(hr)) return hr;
    if (NamedValue* entry = Entry(name)) {
        entry->value = copy;
    } else {
        values_.push_back(NamedValue{name, copy});
    }
    return S_OK;
}

STDMETHODIMP PropertyBag::AddError(LPCOLESTR name, EXCEPINFO* info) {
    HRESULT hr = info ? info->scode : E_FAIL;
    errors_.push_back(std::wstring(name ? name : L"") + L": " + HresultText(hr));
    return S_OK;
}

}  // namespace zelmor::host
