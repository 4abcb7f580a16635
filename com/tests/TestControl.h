// A control that exists only in the tests: a thin class over the control base, as the real
// controls are, with a property map, a hosted "Edit" child and events.
#pragma once

#include <string>

#include "TestControlLib.h"
#include "com/ComPtr.h"
#include "com/Control.h"

namespace zelmor::com::testing {

// The page the test control names for its Caption.
extern const CLSID kTestPropertyPage;

class TestControl : public Control<ITestControl> {
  public:
    // Numbers below this are refused as invalid property values.
    static constexpr long kSmallestNumber = -1000;
    static const COLORREF kFillColour;

    TestControl();

    STDMETHODIMP get_Caption(BSTR* value) override;
    STDMETHODIMP put_Caption(BSTR value) override;
    STDMETHODIMP get_Number(long* value) override;
    STDMETHODIMP put_Number(long value) override;
    STDMETHODIMP get_Flag(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Flag(VARIANT_BOOL value) override;
    STDMETHODIMP get_Font(IFontDisp** value) override;
    STDMETHODIMP put_Font(IFontDisp* value) override;
    STDMETHODIMP RaiseNotify(BSTR text, short status, short* rc) override;
    STDMETHODIMP Measure(BSTR text, short* length) override;

    // Fires Rename with name and gives back what the sinks made of it.
    std::wstring RaiseRename(const std::wstring& name);

    // What the hooks saw.
    int sitesSet = 0;
    int propertiesLoaded = 0;
    int draws = 0;
    int childCharacters = 0;
    RECT lastDrawBounds{};
    // Keys and flags reported through GetControlInfo, and presses of them.
    void ReportMnemonics(const std::vector<ACCEL>& keys, DWORD flags) {
        SetControlInfo(keys, flags);
    }
    int mnemonics = 0;

  protected:
    void OnClientSiteSet() override { ++sitesSet; }
    void OnPropertiesLoaded() override { ++propertiesLoaded; }
    void OnMnemonicKey(const MSG&) override { ++mnemonics; }
    void OnDraw(HDC dc, const RECT& bounds) override;
    void OnWindowCreated() override;
    bool OnCommand(HWND child, WORD code) override;
    bool OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                        LRESULT& result) override;

  private:
    std::wstring caption_;
    long number_ = 7;
    VARIANT_BOOL flag_ = VARIANT_FALSE;
    ComPtr<IFontDisp> font_;
};

// The creation function a class factory takes.
HRESULT CreateTestControl(REFIID iid, void** out);

}  // namespace zelmor::com::testing
