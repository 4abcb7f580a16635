// The form's property notification sink for one control: it records each request to change a
// property and each change, and refuses the requests a test or script asks it to refuse.
#pragma once

#include <ocidl.h>

#include <set>
#include <vector>

#include "com/ObjectRoot.h"
#include "host/SinkConnection.h"

namespace zelmor::host {

struct PropertyNotification {
    enum class Kind { RequestEdit, Changed };
    Kind kind;
    DISPID dispid;
    bool refused;  // for RequestEdit: the sink said no
};

class PropertyNotifySink : public com::ObjectRoot, public IPropertyNotifySink {
  public:
    HRESULT Connect(IUnknown* control) {
        return connection_.Connect(control, IID_IPropertyNotifySink,
                                   static_cast<IPropertyNotifySink*>(this));
    }
    void Disconnect() { connection_.Disconnect(); }

    // OnRequestEdit answers S_FALSE for dispid (or for every property while refuseAll is set).
    void Refuse(DISPID dispid, bool refuse = true);
    void RefuseAll(bool refuse) { refuseAll_ = refuse; }

    const std::vector<PropertyNotification>& Records() const { return records_; }
    void ClearRecords() { records_.clear(); }
    // How many notifications of kind came for dispid.
    size_t CountOf(PropertyNotification::Kind kind, DISPID dispid) const;

    STDMETHODIMP OnChanged(DISPID dispid) override;
    STDMETHODIMP OnRequestEdit(DISPID dispid) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    SinkConnection connection_;
    std::set<DISPID> refused_;
    bool refuseAll_ = false;
    std::vector<PropertyNotification> records_;
};

}  // namespace zelmor::host
