#include "TestPropertyBag.h"

namespace zelmor::com::testing {

void* TestPropertyBag::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPropertyBag) return static_cast<IPropertyBag*>(this);
    return nullptr;
}

std::vector<std::wstring> TestPropertyBag::Names() const {
    std::vector<std::wstring> names;
    for (const auto& entry : values) names.push_back(entry.first);
    return names;
}

const VARIANT* TestPropertyBag::Find(const std::wstring& name) const {
    for (const auto& entry : values) {
        if (entry.first == name) return entry.second.Get();
    }
    return nullptr;
}

void TestPropertyBag::Remove(const std::wstring& name) {
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (it->first == name) {
            values.erase(it);
            return;
        }
    }
}

STDMETHODIMP TestPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
    if (!name || !value) return E_POINTER;
    const VARIANT* stored = Find(name);
    if (!stored) return E_INVALIDARG;
    VARTYPE wanted = V_VT(value);
    VariantInit(value);
    HRESULT hr = VariantCopy(value, const_cast<VARIANT*>(stored));
    if (SUCCEEDED(hr) && wanted != VT_EMPTY && wanted != V_VT(value)) {
        hr = VariantChangeType(value, value, 0, wanted);
    }
    return hr;
}

STDMETHODIMP TestPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
    if (!name || !value) return E_POINTER;
    Variant copy;
    HRESULT hr = VariantCopy(copy.Get(), value);
    if (FAILED(hr)) return hr;
    Remove(name);
    values.emplace_back(name, copy);
    return S_OK;
}

void* TestErrorLog::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IErrorLog) return static_cast<IErrorLog*>(this);
    return nullptr;
}

STDMETHODIMP TestErrorLog::AddError(LPCOLESTR name, EXCEPINFO* info) {
    names.push_back(name ? name : L"");
    errors.push_back(info ? info->scode : S_OK);
    return S_OK;
}

}  // namespace zelmor::com::testing
