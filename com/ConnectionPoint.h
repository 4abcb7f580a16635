// One outgoing interface of a control (its event interface, or property notification) and the
// sinks connected to it. The connection point lives inside its control and shares the
// control's lifetime: its reference counting is the control's.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <vector>

#include "com/ComPtr.h"

namespace zelmor::com {

class ConnectionPoint : public IConnectionPoint {
  public:
    // owner: the control, which answers IConnectionPointContainer.
    ConnectionPoint(IConnectionPointContainer* owner, const IID& iid) : owner_(owner), iid_(iid) {}
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    const IID& Iid() const { return iid_; }
    bool HasSinks() const { return !connections_.empty(); }

    // The connected sinks, each as its pointer for the connection interface. A copy, so that
    // a sink may connect or disconnect while the others are being called.
    std::vector<ComPtr<IUnknown>> Sinks() const;

    // Drops every connection (when the control goes away).
    void DisconnectAll();

  private:
    struct Connection {
        DWORD cookie;
        ComPtr<IUnknown> sink;  // the sink's pointer for iid_
    };

    IConnectionPointContainer* owner_;
    IID iid_;
    std::vector<Connection> connections_;
    DWORD nextCookie_ = 1;
};

// Calls the event dispid on every sink of an event connection point (a dispatch interface)
// with params; sinks that fail do not stop the others.
void FireDispatchEvent(const ConnectionPoint& point, DISPID dispid, DISPPARAMS* params);

}  // namespace zelmor::com
