// A control class with its dual interface: the shared control plumbing (ControlBase) and
// IDispatch for that interface from the type library. A control is declared as
//
//     class ZelEdit : public com::Control<IZelEdit> { ... };
//
// and created with com::CreateInstance<ZelEdit>.
#pragma once

#include "com/ControlBase.h"
#include "com/DispatchImpl.h"

namespace zelmor::com {

template <typename DualInterface>
class Control : public ControlBase, public DispatchImpl<DualInterface> {
  protected:
    explicit Control(const ControlClass& controlClass) : ControlBase(controlClass) {}

    void* FindInterface(REFIID iid) override {
        if (iid == IID_IDispatch || iid == __uuidof(DualInterface)) {
            return static_cast<DualInterface*>(this);
        }
        return ControlBase::FindInterface(iid);
    }

    IDispatch* ControlDispatch() override { return static_cast<DualInterface*>(this); }
};

}  // namespace zelmor::com
