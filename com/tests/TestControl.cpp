#include "TestControl.h"

#include <olectl.h>

#include "com/Variant.h"

namespace zelmor::com::testing {

namespace {

const PropertyMapEntry kProperties[] = {
    {L"Caption", DISPID_CAPTION},
    {L"Number", 1},
    {L"Flag", 2},
    {L"Font", 3},
};

const CLSID* const kPages[] = {&CLSID_CFontPropPage};

// Number names three of its values; Caption is edited on the control's own page.
const PredefinedValue kNumberValues[] = {{-1, L"Less"}, {0, L"None"}, {7, L"Seven"}};
const PredefinedProperty kPredefined[] = {MakePredefinedProperty(1, kNumberValues)};
const DISPID kPageProperties[] = {DISPID_CAPTION};
const PropertyBrowsing kBrowsing = {kPredefined, 1, &kTestPropertyPage, kPageProperties, 1};

const ControlClass kTestControlClass = {
    &CLSID_ZelmorTestControl,
    &DIID__DTestControlEvents,
    131473,
    SIZEL{2540, 1270},
    MakePropertyMap(kProperties),
    kPages,
    1,
    0,
    &kBrowsing,
};

}  // namespace

const CLSID kTestPropertyPage = {
    0x9D1B3C52, 0x7E0A, 0x4C61, {0x8F, 0x2D, 0x41, 0x5B, 0x63, 0x0E, 0xA7, 0x19}};

const COLORREF TestControl::kFillColour = RGB(0, 128, 255);

TestControl::TestControl() : Control(kTestControlClass) {}

STDMETHODIMP TestControl::get_Caption(BSTR* value) {
    return CopyToOut(caption_, value);
}

STDMETHODIMP TestControl::put_Caption(BSTR value) {
    return SetStringProperty(DISPID_CAPTION, caption_, value);
}

STDMETHODIMP TestControl::get_Number(long* value) {
    if (!value) return E_POINTER;
    *value = number_;
    return S_OK;
}

STDMETHODIMP TestControl::put_Number(long value) {
    if (value < kSmallestNumber) return CTL_E_INVALIDPROPERTYVALUE;
    return SetProperty(1, number_, value);
}

STDMETHODIMP TestControl::get_Flag(VARIANT_BOOL* value) {
    if (!value) return E_POINTER;
    *value = flag_;
    return S_OK;
}

STDMETHODIMP TestControl::put_Flag(VARIANT_BOOL value) {
    return SetProperty(2, flag_, value ? VARIANT_TRUE : VARIANT_FALSE);
}

STDMETHODIMP TestControl::get_Font(IFontDisp** value) {
    if (!value) return E_POINTER;
    return font_.CopyTo(value);
}

STDMETHODIMP TestControl::put_Font(IFontDisp* value) {
    return SetProperty(3, font_, ComPtr<IFontDisp>(value));
}

STDMETHODIMP TestControl::RaiseNotify(BSTR text, short status, short* rc) {
    if (!rc) return E_POINTER;
    EventArguments arguments;
    arguments.Add(TextOf(text)).AddByRef(&status);
    FireEvent(1, arguments);
    *rc = status;
    return S_OK;
}

STDMETHODIMP TestControl::Measure(BSTR text, short* length) {
    if (!length) return E_POINTER;
    *length = static_cast<short>(SysStringLen(text));
    return S_OK;
}

std::wstring TestControl::RaiseRename(const std::wstring& name) {
    Bstr text(name);
    BSTR current = text.Detach();
    EventArguments arguments;
    arguments.AddByRef(&current);
    FireEvent(2, arguments);
    Bstr result;
    *result.Put() = current;
    return result.Text();
}

void TestControl::OnDraw(HDC dc, const RECT& bounds) {
    ++draws;
    lastDrawBounds = bounds;
    HBRUSH brush = CreateSolidBrush(kFillColour);
    FillRect(dc, &bounds, brush);
    DeleteObject(brush);
}

void TestControl::OnWindowCreated() {
    CreateHostedChild(L"Edit", WS_VISIBLE | ES_AUTOHSCROLL, WS_EX_CLIENTEDGE);
}

bool TestControl::OnCommand(HWND, WORD code) {
    if (code != EN_CHANGE) return false;
    FireEvent(DISPID_CLICK);
    return true;
}

bool TestControl::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result) {
    if (message == WM_CHAR) ++childCharacters;
    return Control::OnChildMessage(child, message, wParam, lParam, result);
}

HRESULT CreateTestControl(REFIID iid, void** out) {
    return CreateInstance<TestControl>(iid, out);
}

}  // namespace zelmor::com::testing
