// A control's place on a form: its client site, in-place site and control site, the ambient
// properties (through the site's dispatch interface), and the host's object-access interface,
// which hands out the formatting service. The site creates nothing itself: the form makes it,
// attaches the control (siting, loading its properties, activating it in place) and detaches
// it again. It keeps the control's event and property notification sinks.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"
#include "host/Automation.h"
#include "host/EventSink.h"
#include "host/NamedDispatch.h"
#include "host/PropertyBag.h"
#include "host/PropertyNotifySink.h"
#include "module/HostFormat.h"

namespace zelmor::host {

class ControlSite;

// What a site asks of the form it is on.
class SiteHost {
  public:
    virtual bool UserMode() const = 0;
    virtual HWND FormWindow() const = 0;
    virtual const std::wstring& FormName() const = 0;
    virtual HRESULT GetContainer(IOleContainer** out) = 0;
    virtual HRESULT GetFrame(IOleInPlaceFrame** out) = 0;
    virtual HRESULT GetFormatter(REFIID iid, void** out) = 0;
    virtual HRESULT GetAmbientFont(IFontDisp** out) = 0;
    // A control becomes UI-active: the one that was goes back to in-place active.
    virtual void SiteUIActivating(ControlSite& site) = 0;
    // The control asks for its property pages: the form shows them in its own frame.
    virtual HRESULT ShowPropertyFrame(ControlSite& site) = 0;

  protected:
    ~SiteHost() = default;
};

// Ambient colours: the system's button face and button text colours, as OLE colours.
constexpr OLE_COLOR kAmbientBackColor = 0x80000000 | COLOR_BTNFACE;
constexpr OLE_COLOR kAmbientForeColor = 0x80000000 | COLOR_BTNTEXT;

class ControlSite : public com::ObjectRoot,
                    public IOleClientSite,
                    public IOleInPlaceSiteEx,
                    public IOleControlSite,
                    public NamedDispatch,
                    public IGetVBAObject {
  public:
    // name: the ambient display name; window: the window the control sits in (the form, a
    // frame or a tab control); rect: its place there, in pixels.
    ControlSite(SiteHost& host, std::wstring name, HWND window, const RECT& rect);

    const std::wstring& Name() const { return name_; }
    IUnknown* Object() const { return object_.Get(); }
    // The control's dispatch interface; null for a control without one.
    IDispatch* Dispatch() const { return dispatch_.Get(); }
    HWND SiteWindow() const { return window_; }
    // The control's own window while it is in-place active, else null.
    HWND ControlWindow() const;
    const RECT& Rect() const { return rect_; }
    bool InPlaceActive() const { return inPlaceActive_; }
    bool UIActive() const { return uiActive_; }
    bool Visible() const { return visible_; }

    EventSink& Events() const { return *events_; }
    PropertyNotifySink& Notifications() const { return *notifications_; }
    // The properties that could not be given to the control when it was loaded, as
    // "Name: reason".
    const std::vector<std::wstring>& LoadProblems() const { return loadProblems_; }

    // The control's members by name (Automation.h).
    HRESULT Get(const std::wstring& name, VARIANT* value, const VARIANT* index = nullptr) const;
    HRESULT Put(const std::wstring& name, const VARIANT& value, const VARIANT* index = nullptr);
    HRESULT Call(const std::wstring& name, const std::vector<com::Variant>& arguments,
                 CallResult* result);

    // Runs a verb of the control (OLEIVERB_UIACTIVATE, ...) in its place.
    HRESULT DoVerb(LONG verb);
    // Makes a UI-active control only in-place active (another control became UI-active).
    void UIDeactivate();
    // Shows or hides the control (the pages of a tab control).
    void SetVisible(bool visible);
    // Tells the control that an ambient property changed.
    void AmbientChanged(DISPID dispid);
    // Draws a control that is not in-place active through its view.
    void DrawInactive(HDC dc);

    // --- For the form ---

    // Sites the control, loads its properties (from bag when there is one, the rest set by
    // name) and activates it in place.
    HRESULT Attach(IUnknown* control, PropertyBag* bag);
    // Closes the control, disconnects the sinks and lets go of the control.
    void Detach();

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return S_OK; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override;
    STDMETHODIMP GetContainer(IOleContainer** out) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow, IOleInPlaceSite, IOleInPlaceSiteEx
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
    STDMETHODIMP DeactivateAndUndo() override;
    STDMETHODIMP OnPosRectChange(LPCRECT position) override;
    STDMETHODIMP OnInPlaceActivateEx(BOOL* noRedraw, DWORD) override;
    STDMETHODIMP OnInPlaceDeactivateEx(BOOL) override { return OnInPlaceDeactivate(); }
    STDMETHODIMP RequestUIActivate() override { return S_OK; }

    // IOleControlSite
    STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
    STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
    STDMETHODIMP GetExtendedControl(IDispatch** out) override;
    STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) override;
    STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
    STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
    STDMETHODIMP ShowPropertyFrame() override;

    // IGetVBAObject: the object-access interface; it gives the formatting service.
    STDMETHODIMP GetObject(REFIID iid, void** out, DWORD reserved) override;

  protected:
    void* FindInterface(REFIID iid) override;
    // The ambient properties.
    HRESULT ReadMember(DISPID dispid, VARIANT* value) override;

  private:
    void LoadProperties(PropertyBag* bag);

    SiteHost* host_;
    std::wstring name_;
    HWND window_;
    RECT rect_;
    bool inPlaceActive_ = false;
    bool uiActive_ = false;
    bool visible_ = true;

    com::ComPtr<IUnknown> object_;
    com::ComPtr<IOleObject> oleObject_;
    com::ComPtr<IDispatch> dispatch_;
    com::ComPtr<IOleInPlaceObject> inPlaceObject_;
    com::ComPtr<com::ComInstance<EventSink>> events_;
    com::ComPtr<com::ComInstance<PropertyNotifySink>> notifications_;
    std::vector<std::wstring> loadProblems_;
};

}  // namespace zelmor::host
