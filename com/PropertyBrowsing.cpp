// IPerPropertyBrowsing of the control base, answered from the control class's table.
#include "com/PropertyBrowsing.h"

#include <olectl.h>

#include <string>

#include "com/ControlBase.h"
#include "com/Guarded.h"
#include "com/TaskMemory.h"
#include "com/Variant.h"

namespace zelmor::com {

namespace {

const PredefinedValue kAppearance[] = {{0, L"Flat"}, {1, L"3D"}};

// "1 - 3D": the number first, as the browser lists the values.
std::wstring DisplayText(const PredefinedValue& value) {
    return std::to_wstring(value.value) + L" - " + value.name;
}

}  // namespace

const PredefinedProperty kAppearanceValues = MakePredefinedProperty(DISPID_APPEARANCE, kAppearance);

const PredefinedProperty* FindPredefined(const PropertyBrowsing* browsing, bool hasAppearance,
                                         DISPID dispid) {
    if (browsing) {
        for (size_t i = 0; i < browsing->predefinedCount; ++i) {
            if (browsing->predefined[i].dispid == dispid) return &browsing->predefined[i];
        }
    }
    if (hasAppearance && dispid == DISPID_APPEARANCE) return &kAppearanceValues;
    return nullptr;
}

const PredefinedValue* FindValue(const PredefinedProperty& property, long value) {
    for (size_t i = 0; i < property.count; ++i) {
        if (property.values[i].value == value) return &property.values[i];
    }
    return nullptr;
}

bool OnOwnPage(const PropertyBrowsing* browsing, DISPID dispid) {
    if (!browsing || !browsing->page) return false;
    for (size_t i = 0; i < browsing->pagePropertyCount; ++i) {
        if (browsing->pageProperties[i] == dispid) return true;
    }
    return false;
}

// --- IPerPropertyBrowsing of the control base ---

bool ControlBase::HasStockAppearance() const {
    for (const PropertyMapEntry& entry : class_.properties) {
        if (entry.dispid == DISPID_APPEARANCE) return true;
    }
    return false;
}

const PredefinedProperty* ControlBase::Predefined(DISPID dispid) const {
    return FindPredefined(class_.browsing, HasStockAppearance(), dispid);
}

STDMETHODIMP ControlBase::GetDisplayString(DISPID dispid, BSTR* text) {
    if (!text) return E_POINTER;
    *text = nullptr;
    const PredefinedProperty* property = Predefined(dispid);
    if (!property) return E_NOTIMPL;  // the browser shows the value as it is
    return Guarded([&] {
        Variant current;
        HRESULT hr = GetDispatchProperty(ControlDispatch(), dispid, current.Get());
        if (FAILED(hr)) return hr;
        if (FAILED(VariantChangeType(current.Get(), current.Get(), 0, VT_I4))) return E_FAIL;
        const PredefinedValue* value = FindValue(*property, V_I4(current.Get()));
        // A number outside the set (a stream from elsewhere) is shown as the number itself.
        std::wstring shown =
            value ? DisplayText(*value) : std::to_wstring(V_I4(current.Get()));
        *text = SysAllocStringLen(shown.data(), static_cast<UINT>(shown.size()));
        return *text ? S_OK : E_OUTOFMEMORY;
    });
}

STDMETHODIMP ControlBase::MapPropertyToPage(DISPID dispid, CLSID* page) {
    if (!page) return E_POINTER;
    *page = CLSID_NULL;
    if (!OnOwnPage(class_.browsing, dispid)) return PERPROP_E_NOPAGEAVAILABLE;
    *page = *class_.browsing->page;
    return S_OK;
}

STDMETHODIMP ControlBase::GetPredefinedStrings(DISPID dispid, CALPOLESTR* strings,
                                               CADWORD* cookies) {
    if (!strings || !cookies) return E_POINTER;
    strings->cElems = 0;
    strings->pElems = nullptr;
    cookies->cElems = 0;
    cookies->pElems = nullptr;
    const PredefinedProperty* property = Predefined(dispid);
    if (!property || property->count == 0) return E_NOTIMPL;
    auto* texts = static_cast<LPOLESTR*>(CoTaskMemAlloc(sizeof(LPOLESTR) * property->count));
    auto* values = static_cast<DWORD*>(CoTaskMemAlloc(sizeof(DWORD) * property->count));
    HRESULT hr = texts && values ? S_OK : E_OUTOFMEMORY;
    size_t made = 0;
    for (; SUCCEEDED(hr) && made < property->count; ++made) {
        try {
            texts[made] = TaskMemText(DisplayText(property->values[made]));
        } catch (...) {
            texts[made] = nullptr;
        }
        if (!texts[made]) hr = E_OUTOFMEMORY;
        // The cookie is the value's place in the table: values may be negative.
        values[made] = static_cast<DWORD>(made);
    }
    if (FAILED(hr)) {
        for (size_t i = 0; texts && i < made; ++i) CoTaskMemFree(texts[i]);
        CoTaskMemFree(texts);
        CoTaskMemFree(values);
        return hr;
    }
    strings->cElems = cookies->cElems = static_cast<ULONG>(property->count);
    strings->pElems = texts;
    cookies->pElems = values;
    return S_OK;
}

STDMETHODIMP ControlBase::GetPredefinedValue(DISPID dispid, DWORD cookie, VARIANT* value) {
    if (!value) return E_POINTER;
    VariantInit(value);
    const PredefinedProperty* property = Predefined(dispid);
    if (!property) return E_NOTIMPL;
    if (cookie >= property->count) return E_INVALIDARG;
    V_VT(value) = VT_I4;
    V_I4(value) = property->values[cookie].value;
    return S_OK;
}

}  // namespace zelmor::com
