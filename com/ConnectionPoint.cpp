#include "com/ConnectionPoint.h"

#include "com/Enumerator.h"

namespace zelmor::com {

namespace {

using ConnectionEnumerator = Enumerator<IEnumConnections, CONNECTDATA, ConnectDataItem>;

}  // namespace

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != IID_IUnknown && iid != IID_IConnectionPoint) return E_NOINTERFACE;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = owner_;
    owner_->AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    ComPtr<IUnknown> connected;
    if (FAILED(sink->QueryInterface(iid_, connected.PutVoid())) || !connected) {
        return CONNECT_E_CANNOTCONNECT;
    }
    connections_.push_back({nextCookie_, connected});
    *cookie = nextCookie_++;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    for (auto it = connections_.begin(); it != connections_.end(); ++it) {
        if (it->cookie == cookie) {
            // Released after the list no longer holds it: the sink's teardown may call back.
            ComPtr<IUnknown> leaving = std::move(it->sink);
            connections_.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    std::vector<CONNECTDATA> items;
    items.reserve(connections_.size());
    for (const Connection& connection : connections_) {
        items.push_back({connection.sink.Get(), connection.cookie});
    }
    auto enumerator = MakeInstance<ConnectionEnumerator>(std::move(items));
    if (!enumerator) return E_OUTOFMEMORY;
    *out = static_cast<IEnumConnections*>(enumerator.Detach());
    return S_OK;
}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
    std::vector<ComPtr<IUnknown>> sinks;
    sinks.reserve(connections_.size());
    for (const Connection& connection : connections_) sinks.push_back(connection.sink);
    return sinks;
}

void ConnectionPoint::DisconnectAll() {
    std::vector<Connection> leaving;
    leaving.swap(connections_);
}

void FireDispatchEvent(const ConnectionPoint& point, DISPID dispid, DISPPARAMS* params) {
    for (const ComPtr<IUnknown>& sink : point.Sinks()) {
        auto* events = static_cast<IDispatch*>(sink.Get());
        events->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, params, nullptr,
                       nullptr, nullptr);
    }
}

}  // namespace zelmor::com
