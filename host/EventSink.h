// The form's sink for one control's events: it connects to the control's default event
// interface, records every event with its arguments, and runs the handler a test or script
// gave for the event, which may set the event's by-reference arguments before the event
// returns to the control.
#pragma once

#include <oaidl.h>
#include <ocidl.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"
#include "com/Variant.h"
#include "host/SinkConnection.h"

namespace zelmor::host {

struct EventRecord {
    std::wstring name;  // from the control's type description; "#dispid" without one
    DISPID dispid;
    // As the event arrived, in declaration order; by-reference arguments are read through.
    std::vector<com::Variant> arguments;
};

// One event while its handlers run.
class EventCall {
  public:
    EventCall(EventRecord record, DISPPARAMS* params,
              const std::vector<std::wstring>* parameterNames);

    const std::wstring& Name() const { return record_.name; }
    DISPID Dispid() const { return record_.dispid; }
    size_t Count() const { return record_.arguments.size(); }
    // Argument index (declaration order) as it arrived.
    const VARIANT& Argument(size_t index) const { return *record_.arguments[index].Get(); }
    // The position of the parameter called name (without regard to case), or -1.
    int IndexOf(const std::wstring& name) const;

    // Stores value, converted to the argument's type, in by-reference argument index, which the
    // control reads when the event returns. E_INVALIDARG for an argument passed by value or out
    // of range.
    HRESULT Set(size_t index, const VARIANT& value);
    HRESULT Set(const std::wstring& parameterName, const VARIANT& value);

  private:
    VARIANT* Passed(size_t index) const;

    EventRecord record_;
    DISPPARAMS* params_;
    const std::vector<std::wstring>* parameterNames_;
};

using EventHandler = std::function<void(EventCall&)>;

class EventSink : public com::ObjectRoot, public IDispatch {
  public:
    // Finds the control's default event interface through its class information and connects
    // to it. E_NOINTERFACE when the control describes no events.
    HRESULT Connect(IUnknown* control);
    void Disconnect() { connection_.Disconnect(); }

    // Runs handler for every event called name (without regard to case) from now on; an empty
    // handler removes it.
    void OnEvent(const std::wstring& name, EventHandler handler);
    // Runs observer for every event, after the event's own handler.
    void OnEveryEvent(EventHandler observer) { observer_ = std::move(observer); }

    const std::vector<EventRecord>& Records() const { return records_; }
    size_t CountOf(const std::wstring& name) const;
    // The last event called name, or null.
    const EventRecord* Last(const std::wstring& name) const;
    void ClearRecords() { records_.clear(); }
    // The names of the parameters of the event called name, in declaration order.
    std::vector<std::wstring> ParameterNames(const std::wstring& name) const;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid,
                               DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    struct EventDescription {
        std::wstring name;
        std::vector<std::wstring> parameters;
    };

    void DescribeEvents();
    const EventDescription* Describe(DISPID dispid) const;
    const EventDescription* FindByName(const std::wstring& name) const;

    IID events_ = IID_NULL;
    com::ComPtr<ITypeInfo> eventInfo_;
    SinkConnection connection_;
    std::map<DISPID, EventDescription> descriptions_;
    std::map<std::wstring, EventHandler> handlers_;  // by lower-case name
    EventHandler observer_;
    std::vector<EventRecord> records_;
};

}  // namespace zelmor::host
