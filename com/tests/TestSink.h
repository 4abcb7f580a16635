// An event sink for the test control's events: counts each event, keeps the arguments'
// variant types, and answers by-reference arguments with values set beforehand.
#pragma once

#include <oaidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/ObjectRoot.h"

namespace zelmor::com::testing {

class TestSink : public ObjectRoot, public IDispatch {
  public:
    // The event interface the sink answers; a sink for another interface cannot connect.
    explicit TestSink(const IID& events);

    std::map<DISPID, int> counts;
    std::vector<VARTYPE> lastArgumentTypes;  // in declaration order
    std::wstring lastText;
    // Written through the by-reference arguments of Notify and Rename.
    short statusAnswer = 0;
    std::wstring renameAnswer = L"renamed";
    // Every event in order: "Click", "Notify Orders 12", "Rename old".
    std::vector<std::string> log;
    // Called after an event was logged and answered.
    std::function<void(DISPID)> onEvent;
    // When set, the sink lets go of this object while it handles an event.
    IUnknown* releaseDuringEvent = nullptr;

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                        UINT*) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    IID events_;
};

}  // namespace zelmor::com::testing
