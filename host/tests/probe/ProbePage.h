// The probe's property page, a fixture of the host's tests: two labelled fields, "Text" and
// "Number", laid out as the product's pages lay out theirs (a static label, then the field as
// the next tab stop). It reads the probe's values when it is shown, marks itself changed on
// every edit, and gives both values back on Apply; a value the probe refuses leaves the page
// changed, with the reason in the error information.
#pragma once

#include <ocidl.h>

#include <string>
#include <vector>

#include "ProbeLib.h"
#include "com/ComPtr.h"
#include "com/ObjectRoot.h"

namespace zelmor::host::testing {

// {0CCC28DF-62CD-446E-A277-119ACBA49305}
inline constexpr CLSID CLSID_ZelProbePage = {
    0x0CCC28DF, 0x62CD, 0x446E, {0xA2, 0x77, 0x11, 0x9A, 0xCB, 0xA4, 0x93, 0x05}};

class ProbePage : public com::ObjectRoot, public IPropertyPage {
  public:
    static constexpr SIZE kSize{240, 72};

    // IPropertyPage
    STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
    STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHODIMP Deactivate() override;
    STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
    STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
    STDMETHODIMP Show(UINT command) override;
    STDMETHODIMP Move(LPCRECT rect) override;
    STDMETHODIMP IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
    STDMETHODIMP Apply() override;
    STDMETHODIMP Help(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

  protected:
    void* FindInterface(REFIID iid) override;
    void FinalRelease() override;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void FieldChanged();

    com::ComPtr<IPropertyPageSite> site_;
    std::vector<com::ComPtr<IProbe>> objects_;
    HWND window_ = nullptr;
    HWND text_ = nullptr;
    HWND number_ = nullptr;
    bool filling_ = false;  // the page writes the probe's values into its fields
    bool dirty_ = false;
};

HRESULT CreateProbePage(REFIID iid, void** out);

}  // namespace zelmor::host::testing
