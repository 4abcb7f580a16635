// One sink's connection to a control's connection point, made and broken as a pair.
#pragma once

#include <ocidl.h>

#include "com/ComPtr.h"

namespace zelmor::host {

class SinkConnection {
  public:
    SinkConnection() = default;
    SinkConnection(const SinkConnection&) = delete;
    SinkConnection& operator=(const SinkConnection&) = delete;
    ~SinkConnection() { Disconnect(); }

    // Connects sink to the control's connection point for iid (breaking an earlier connection).
    HRESULT Connect(IUnknown* control, REFIID iid, IUnknown* sink);
    void Disconnect();
    bool Connected() const { return static_cast<bool>(point_); }

  private:
    com::ComPtr<IConnectionPoint> point_;
    DWORD cookie_ = 0;
};

}  // namespace zelmor::host
