// A minimal container for one control: a window, and a client site that offers in-place
// activation, a control site, the ambient properties UserMode and DisplayName through its
// dispatch interface, and property notification. It records what the control tells it.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/ObjectRoot.h"

namespace zelmor::com::testing {

class TestSite : public ObjectRoot,
                 public IOleClientSite,
                 public IOleInPlaceSite,
                 public IOleControlSite,
                 public IDispatch,
                 public IPropertyNotifySink {
  public:
    TestSite();
    ~TestSite() override;

    // What the control asked or told, in order: "RequestEdit 1", "Changed 1",
    // "OnInPlaceActivate", "OnUIActivate", "OnFocus 1", ...
    std::vector<std::string> calls;
    // OnRequestEdit answers S_FALSE while this is set.
    bool refuseEdits = false;
    // Ambient properties; an empty name is answered as "not supported".
    bool userMode = true;
    std::wstring displayName = L"TestControl1";
    // Where the control's window goes, in the container window.
    RECT position{10, 10, 110, 60};
    // Called from OnInPlaceDeactivate, to imitate a container that calls back into the
    // control while it is torn down.
    IUnknown* touchOnDeactivate = nullptr;

    HWND Window() const { return window_; }
    // The calls recorded that start with prefix.
    std::vector<std::string> CallsStartingWith(const std::string& prefix) const;

    // IOleClientSite
    STDMETHODIMP SaveObject() override;
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** out) override;
    STDMETHODIMP ShowObject() override;
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override;
    STDMETHODIMP OnUIActivate() override;
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                  LPRECT position, LPRECT clip,
                                  LPOLEINPLACEFRAMEINFO info) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override;
    STDMETHODIMP OnInPlaceDeactivate() override;
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override {
        calls.push_back("OnControlInfoChanged");
        return S_OK;
    }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
    STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG* msg, DWORD modifiers) override;
    STDMETHODIMP OnFocus(BOOL gotFocus) override;
    STDMETHODIMP ShowPropertyFrame() override;

    // IDispatch: the ambient properties
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                        EXCEPINFO*, UINT*) override;

    // IPropertyNotifySink
    STDMETHODIMP OnChanged(DISPID dispid) override;
    STDMETHODIMP OnRequestEdit(DISPID dispid) override;

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    HWND window_ = nullptr;
};

}  // namespace zelmor::com::testing
