#include "host/PropertyNotifySink.h"

namespace zelmor::host {

void* PropertyNotifySink::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IPropertyNotifySink) {
        return static_cast<IPropertyNotifySink*>(this);
    }
    return nullptr;
}

void PropertyNotifySink::Refuse(DISPID dispid, bool refuse) {
    if (refuse) {
        refused_.insert(dispid);
    } else {
        refused_.erase(dispid);
    }
}

size_t PropertyNotifySink::CountOf(PropertyNotification::Kind kind, DISPID dispid) const {
    size_t count = 0;
    for (const PropertyNotification& record : records_) {
        if (record.kind == kind && record.dispid == dispid) ++count;
    }
    return count;
}

STDMETHODIMP PropertyNotifySink::OnChanged(DISPID dispid) {
    records_.push_back({PropertyNotification::Kind::Changed, dispid, false});
    return S_OK;
}

STDMETHODIMP PropertyNotifySink::OnRequestEdit(DISPID dispid) {
    bool refuse = refuseAll_ || refused_.count(dispid) != 0;
    records_.push_back({PropertyNotification::Kind::RequestEdit, dispid, refuse});
    return refuse ? S_FALSE : S_OK;
}

}  // namespace zelmor::host
