// The COM side every bound control shares: its portable logic learns its name, form and mode
// from the control's site; it registers with the binding registry while its window exists at
// run time; and DbSource, DbTable and DbField follow the setter protocol. A control class
// derives from BoundControlObject<ItsInterface>, creates its windows in CreateWindows and hands
// its logic out through Binding().
#pragma once

#ifdef _WIN32

#include "binding/FormDiscovery.h"
#include "com/AnsiText.h"
#include "controls/BoundField.h"
#include "controls/StockControl.h"
#include "module/DispatchIds.idh"

namespace zelmor {

// A control's host as its site describes it.
class SiteHost : public ControlHost {
  public:
    explicit SiteHost(com::ControlBase& control) : control_(control) {}
    std::u16string DisplayName() override {
        std::wstring name = control_.AmbientDisplayName();
        return std::u16string(name.begin(), name.end());
    }
    WindowHandle FormWindow() override { return FindFormWindow(control_.ClientSite()); }
    bool UserMode() override { return control_.UserMode(); }

  private:
    com::ControlBase& control_;
};

template <typename DualInterface>
class BoundControlObject : public StockControl<DualInterface> {
  protected:
    explicit BoundControlObject(const com::ControlClass& controlClass)
        : StockControl<DualInterface>(controlClass), site_(*this) {}

    // The control's portable logic.
    virtual BoundField& Binding() = 0;
    // Makes the control's hosted windows (its window exists).
    virtual void CreateWindows() = 0;

    ControlHost& Site() { return site_; }

    void OnWindowCreated() override {
        CreateWindows();
        Binding().Register();  // at run time only
    }
    void OnWindowDestroying() override { Binding().Unregister(); }

    HRESULT GetName(const std::u16string& name, BSTR* value) {
        return com::CopyToOut(std::wstring(name.begin(), name.end()), value);
    }
    HRESULT PutName(DISPID dispid, std::u16string& name, BSTR value) {
        std::wstring text = com::TextOf(value);
        return this->SetProperty(dispid, name, std::u16string(text.begin(), text.end()));
    }

  private:
    SiteHost site_;
};

}  // namespace zelmor

#endif
