// The form's frame for in-place activation: it keeps the active object that a UI-active
// control names, so that the form's message loop can offer it keyboard messages first. The
// form has no menus, tool bars or status line to share.
#pragma once

#include <oleidl.h>

#include "com/ComPtr.h"
#include "com/ObjectRoot.h"

namespace zelmor::host {

class InPlaceFrame : public com::ObjectRoot, public IOleInPlaceFrame {
  public:
    explicit InPlaceFrame(HWND window) : window_(window) {}

    // The UI-active control's in-place active object, or null.
    IOleInPlaceActiveObject* ActiveObject() const { return active_.Get(); }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override;
    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

    // Lets go of the active object (when the form closes).
    void Clear() { active_ = nullptr; }

  protected:
    void* FindInterface(REFIID iid) override;

  private:
    HWND window_;
    com::ComPtr<IOleInPlaceActiveObject> active_;
};

}  // namespace zelmor::host
