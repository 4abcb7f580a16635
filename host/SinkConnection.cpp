#include "host/SinkConnection.h"

namespace zelmor::host {

HRESULT SinkConnection::Connect(IUnknown* control, REFIID iid, IUnknown* sink) {
    Disconnect();
    if (!control || !sink) return E_POINTER;
    com::ComPtr<IConnectionPointContainer> container;
    HRESULT hr = control->QueryInterface(IID_IConnectionPointContainer, container.PutVoid());
    if (SUCCEEDED(hr)) hr = container->FindConnectionPoint(iid, point_.Put());
    if (SUCCEEDED(hr)) hr = point_->Advise(sink, &cookie_);
    if (FAILED(hr)) point_ = nullptr;
    return hr;
}

void SinkConnection::Disconnect() {
    // Taken out first: unadvising may release the sink that holds this connection.
    com::ComPtr<IConnectionPoint> point = std::move(point_);
    if (point) point->Unadvise(cookie_);
    cookie_ = 0;
}

}  // namespace zelmor::host
