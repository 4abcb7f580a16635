// The COM side every bound control shares: its portable logic learns its name, form and mode
// from the control's site; it registers with the binding registry while its window exists at
// run time; and DbSource, DbTable and DbField follow the setter protocol. A control class
// derives from BoundControlObject<ItsInterface>, creates its windows in CreateWindows and hands
// its logic out through Binding().
#pragma once

#ifdef _WIN32

#include "binding/FormDiscovery.h"
#include "com/AnsiText.h"
#include "com/Guarded.h"
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

// kFirstNameId: the dispatch ID of DbSource, followed by DbTable and DbField (the list boxes
// number their members differently from the others).
template <typename DualInterface, DISPID kFirstNameId = DISPID_DBSOURCE>
class BoundControlObject : public StockControl<DualInterface> {
  public:
    // DbSource, DbTable and DbField, for every interface that has them.
    STDMETHODIMP get_DbSource(BSTR* value) { return GetName(Binding().dbSource, value); }
    STDMETHODIMP put_DbSource(BSTR value) {
        return com::Guarded([&] { return PutName(kFirstNameId, Binding().dbSource, value); });
    }
    STDMETHODIMP get_DbTable(BSTR* value) { return GetName(Binding().dbTable, value); }
    STDMETHODIMP put_DbTable(BSTR value) {
        return com::Guarded([&] { return PutName(kFirstNameId + 1, Binding().dbTable, value); });
    }
    STDMETHODIMP get_DbField(BSTR* value) { return GetName(Binding().dbField, value); }
    STDMETHODIMP put_DbField(BSTR value) {
        return com::Guarded([&] { return PutName(kFirstNameId + 2, Binding().dbField, value); });
    }

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

    // Keys that move something inside the hosted window (left and right move an edit box's
    // caret, the arrows and paging keys a scroll bar's thumb) go straight to the window, after
    // KeyDown, instead of to the container (in the control's OnTranslateAccelerator), and the
    // window drops them when they come again through the message loop (in its
    // OnChildMessage). `inWindow` says whether the control keeps this key for its window.
    bool HandKeyToWindow(MSG* msg, bool inWindow) {
        if (msg->message != WM_KEYDOWN || !inWindow || !this->HostedChild()) return false;
        this->FireKeyEvent(DISPID_KEYDOWN, static_cast<short>(msg->wParam), this->KeyShiftState());
        forwardingKey_ = true;
        SendMessageW(this->HostedChild(), WM_KEYDOWN, msg->wParam, msg->lParam);
        forwardingKey_ = false;
        return true;
    }
    bool DropsRepeatedKey(UINT message, bool inWindow) const {
        return message == WM_KEYDOWN && inWindow && !forwardingKey_;
    }
    static bool IsLeftOrRight(WPARAM key) { return key == VK_LEFT || key == VK_RIGHT; }

    HRESULT GetName(const std::u16string& name, BSTR* value) {
        return com::CopyToOut(std::wstring(name.begin(), name.end()), value);
    }
    HRESULT PutName(DISPID dispid, std::u16string& name, BSTR value) {
        std::wstring text = com::TextOf(value);
        return this->SetProperty(dispid, name, std::u16string(text.begin(), text.end()));
    }

  private:
    SiteHost site_;
    bool forwardingKey_ = false;
};

}  // namespace zelmor

#endif
