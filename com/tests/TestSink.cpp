#include "TestSink.h"

#include <string>

namespace zelmor::com::testing {

TestSink::TestSink(const IID& events) : events_(events) {}

void* TestSink::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
        return static_cast<IDispatch*>(this);
    }
    return nullptr;
}

STDMETHODIMP TestSink::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP TestSink::Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*) {
    ++counts[dispid];
    lastArgumentTypes.clear();
    // The arguments arrive last first.
    for (UINT i = params->cArgs; i-- > 0;) {
        lastArgumentTypes.push_back(V_VT(&params->rgvarg[i]));
    }
    // As received, before the answers below.
    std::string entry = dispid == 1 ? "Notify" : dispid == 2 ? "Rename" : "Click";
    for (UINT i = params->cArgs; i-- > 0;) {
        VARIANT shown;
        VariantInit(&shown);
        if (SUCCEEDED(VariantCopyInd(&shown, &params->rgvarg[i])) &&
            SUCCEEDED(VariantChangeType(&shown, &shown, 0, VT_BSTR))) {
            entry += ' ';
            for (const wchar_t* c = V_BSTR(&shown); c && *c; ++c) entry += static_cast<char>(*c);
        }
        VariantClear(&shown);
    }
    log.push_back(entry);
    if (dispid == 1 && params->cArgs == 2) {  // Notify(Text, Status by reference)
        VARIANT& text = params->rgvarg[1];
        VARIANT& status = params->rgvarg[0];
        if (V_VT(&text) == VT_BSTR) lastText = V_BSTR(&text);
        if (V_VT(&status) == (VT_I2 | VT_BYREF)) *V_I2REF(&status) = statusAnswer;
    }
    if (dispid == 2 && params->cArgs == 1) {  // Rename(Name by reference)
        VARIANT& name = params->rgvarg[0];
        if (V_VT(&name) == (VT_BSTR | VT_BYREF)) {
            SysFreeString(*V_BSTRREF(&name));
            *V_BSTRREF(&name) = SysAllocString(renameAnswer.c_str());
        }
    }
    if (onEvent) onEvent(dispid);
    if (IUnknown* leaving = releaseDuringEvent) {
        releaseDuringEvent = nullptr;
        leaving->Release();
    }
    return S_OK;
}

}  // namespace zelmor::com::testing
