// The probe control of the host's tests: a thin class over the control base, as the product's
// controls are. At run time it hosts an edit box, a list box or a button; at design time it
// draws a hatched box with its name instead.
#pragma once

#include <string>

#include <oleidl.h>

#include "ProbeLib.h"
#include "com/Control.h"

namespace zelmor::host::testing {

// Misc status of the probe: that of the product's controls.
constexpr DWORD kProbeMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                                   OLEMISC_INSIDEOUT | OLEMISC_ACTIVATEWHENVISIBLE |
                                   OLEMISC_SETCLIENTSITEFIRST;

class ProbeControl : public com::Control<IProbe> {
  public:
    // What the control paints behind its hosted window, and at design time.
    static const COLORREF kRunColour;
    static const COLORREF kDesignColour;

    ProbeControl();

    STDMETHODIMP get_Text(BSTR* value) override;
    STDMETHODIMP put_Text(BSTR value) override;
    STDMETHODIMP get_Kind(BSTR* value) override;
    STDMETHODIMP put_Kind(BSTR value) override;
    STDMETHODIMP get_Items(BSTR* value) override;
    STDMETHODIMP put_Items(BSTR value) override;
    STDMETHODIMP get_Number(long* value) override;
    STDMETHODIMP put_Number(long value) override;
    STDMETHODIMP Ask(BSTR message, long style, long* answer) override;
    STDMETHODIMP get_Font(IFontDisp** value) override;
    STDMETHODIMP put_Font(IFontDisp* value) override;

  protected:
    void OnDraw(HDC dc, const RECT& bounds) override;
    void OnWindowCreated() override;
    // A Text loaded that begins with "?" is asked as a question in a message box, as a control
    // shows a box while it is loaded (a dictionary it cannot open).
    void OnPropertiesLoaded() override;
    void OnAmbientChanged(DISPID dispid) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    HRESULT OnTranslateAccelerator(MSG* msg) override;

  private:
    void CreateChild();
    std::wstring ChildText() const;

    std::wstring text_;
    std::wstring kind_ = L"Edit";
    std::wstring items_;
    long number_ = 0;
};

HRESULT CreateProbeControl(REFIID iid, void** out);

}  // namespace zelmor::host::testing
