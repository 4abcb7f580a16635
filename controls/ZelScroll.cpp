#include "controls/ZelScroll.h"

#include "com/AnsiText.h"
#include "com/Guarded.h"
#include "controls/BrowsingTables.h"
#include "module/PageClassIds.h"

namespace zelmor {

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbSource", DISPID_DBSOURCE},
    {L"DbTable", DISPID_DBTABLE},
    {L"DbIndex", DISPID_SCROLL_DBINDEX},
    {L"LargeChange", DISPID_SCROLL_LARGECHANGE},
    {L"SmallChange", DISPID_SCROLL_SMALLCHANGE},
    {L"Max", DISPID_SCROLL_MAX},
    {L"Min", DISPID_SCROLL_MIN},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kHorizontalPages[] = {&CLSID_ZelHScrollPpg, &CLSID_CColorPropPage};
const CLSID* const kVerticalPages[] = {&CLSID_ZelVScrollPpg, &CLSID_CColorPropPage};

const com::ControlClass kHorizontalClass = {
    &CLSID_ZelHScroll,
    &DIID__DZelHScrollEvents,
    com::kControlMiscStatus,
    SIZEL{3175, 423},  // 120 x 16 pixels
    com::MakePropertyMap(kProperties),
    kHorizontalPages,
    sizeof kHorizontalPages / sizeof kHorizontalPages[0],
    com::kKeyEvents,
    &kHScrollBrowsing,
};

const com::ControlClass kVerticalClass = {
    &CLSID_ZelVScroll,
    &DIID__DZelVScrollEvents,
    com::kControlMiscStatus,
    SIZEL{423, 3175},  // 16 x 120 pixels
    com::MakePropertyMap(kProperties),
    kVerticalPages,
    sizeof kVerticalPages / sizeof kVerticalPages[0],
    com::kKeyEvents,
    &kVScrollBrowsing,
};

}  // namespace

template <typename I>
ScrollObject<I>::ScrollObject(const com::ControlClass& controlClass, DWORD barStyle)
    : BoundControlObject<I>(controlClass),
      barStyle_(barStyle),
      logic_(this->Site(), zelmor::Registry(), *this) {}

// --- The window ---

template <typename I>
void ScrollObject<I>::CreateWindows() {
    this->CreateHostedChild(L"ScrollBar", WS_VISIBLE | WS_CLIPSIBLINGS | barStyle_, 0);
    SetRange(logic_.minimum, logic_.maximum);
    SetThumb(logic_.value);
}

// At run time the bar follows its data source at once: the source may be ready already.
template <typename I>
void ScrollObject<I>::OnWindowCreated() {
    BoundControlObject<I>::OnWindowCreated();
    if (logic_.Registered()) logic_.OnSourceReady();
}

template <typename I>
bool ScrollObject<I>::OnScroll(HWND child, bool, WORD code, WORD position) {
    if (child != this->HostedChild()) return false;
    if (this->Site().UserMode()) logic_.OnScroll(code, position);
    return true;
}

template <typename I>
bool ScrollObject<I>::MovesTheBar(WPARAM key) const {
    const bool vertical = barStyle_ == SBS_VERT;
    switch (key) {
        case VK_LEFT:
        case VK_RIGHT:
            return !vertical;
        case VK_UP:
        case VK_DOWN:
            return vertical;
        case VK_PRIOR:
        case VK_NEXT:
        case VK_HOME:
        case VK_END:
            return true;
        default:
            return false;
    }
}

template <typename I>
bool ScrollObject<I>::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                                     LRESULT& result) {
    if (this->DropsRepeatedKey(message, MovesTheBar(wParam))) {
        result = 0;
        return true;
    }
    return BoundControlObject<I>::OnChildMessage(child, message, wParam, lParam, result);
}

template <typename I>
HRESULT ScrollObject<I>::OnTranslateAccelerator(MSG* msg) {
    if (this->HandKeyToWindow(msg, MovesTheBar(msg->wParam))) return S_OK;
    return BoundControlObject<I>::OnTranslateAccelerator(msg);
}

// --- ScrollView ---

template <typename I>
void ScrollObject<I>::SetRange(int minimum, int maximum) {
    if (HWND bar = this->HostedChild()) SetScrollRange(bar, SB_CTL, minimum, maximum, TRUE);
}

template <typename I>
void ScrollObject<I>::SetThumb(int position) {
    if (HWND bar = this->HostedChild()) SetScrollPos(bar, SB_CTL, position, TRUE);
}

template <typename I>
int ScrollObject<I>::RaiseBtrieveError(const std::string& tableName, int status) {
    short value = static_cast<short>(status);
    com::EventArguments arguments;
    arguments.Add(com::WideOf(tableName)).AddByRef(&value);
    this->FireEvent(DISPID_SCROLL_EVENT_BTRIEVEERROR, arguments);
    return value;
}

template <typename I>
void ScrollObject<I>::RaiseChange() {
    this->FireEvent(DISPID_SCROLL_EVENT_CHANGE);
}

template <typename I>
void ScrollObject<I>::RaiseScroll() {
    this->FireEvent(DISPID_SCROLL_EVENT_SCROLL);
}

template <typename I>
void ScrollObject<I>::ShowStatus(const std::string& text) {
    MessageBoxW(this->Window(), com::WideOf(text).c_str(), L"", MB_OK);
}

// --- Properties ---

// The registry finds the bar by its source: a new one is noted there at once.
template <typename I>
STDMETHODIMP ScrollObject<I>::put_DbSource(BSTR value) {
    HRESULT hr = BoundControlObject<I>::put_DbSource(value);
    if (hr == S_OK && logic_.Registered()) zelmor::Registry().UpdateScrollControl(logic_);
    return hr;
}

template <typename I>
STDMETHODIMP ScrollObject<I>::get_DbIndex(BSTR* value) {
    return this->GetName(logic_.dbIndex, value);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_DbIndex(BSTR value) {
    return com::Guarded(
        [&] { return this->PutName(DISPID_SCROLL_DBINDEX, logic_.dbIndex, value); });
}

template <typename I>
STDMETHODIMP ScrollObject<I>::get_LargeChange(long* value) {
    return this->Out(value, logic_.largeChange);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_LargeChange(long value) {
    if (value < 1) return CTL_E_INVALIDPROPERTYVALUE;
    return this->SetProperty(DISPID_SCROLL_LARGECHANGE, logic_.largeChange,
                             static_cast<std::int32_t>(value));
}

template <typename I>
STDMETHODIMP ScrollObject<I>::get_SmallChange(long* value) {
    return this->Out(value, logic_.smallChange);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_SmallChange(long value) {
    if (value < 1) return CTL_E_INVALIDPROPERTYVALUE;
    return this->SetProperty(DISPID_SCROLL_SMALLCHANGE, logic_.smallChange,
                             static_cast<std::int32_t>(value));
}

template <typename I>
HRESULT ScrollObject<I>::PutRangeEnd(DISPID dispid, std::int32_t& end, long value) {
    HRESULT hr = this->SetProperty(dispid, end, static_cast<std::int32_t>(value));
    if (hr == S_OK) SetRange(logic_.minimum, logic_.maximum);
    return hr;
}

template <typename I>
STDMETHODIMP ScrollObject<I>::get_Max(long* value) {
    return this->Out(value, logic_.maximum);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_Max(long value) {
    return PutRangeEnd(DISPID_SCROLL_MAX, logic_.maximum, value);
}

template <typename I>
STDMETHODIMP ScrollObject<I>::get_Min(long* value) {
    return this->Out(value, logic_.minimum);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_Min(long value) {
    return PutRangeEnd(DISPID_SCROLL_MIN, logic_.minimum, value);
}

// Setting Value stores the number only: the thumb follows the records, not the property.
template <typename I>
STDMETHODIMP ScrollObject<I>::get_Value(long* value) {
    return this->Out(value, logic_.value);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_Value(long value) {
    logic_.value = static_cast<std::int32_t>(value);
    return S_OK;
}

template <typename I>
STDMETHODIMP ScrollObject<I>::get_AutoFirst(VARIANT_BOOL* value) {
    return this->OutBool(value, logic_.autoFirst);
}
template <typename I>
STDMETHODIMP ScrollObject<I>::put_AutoFirst(VARIANT_BOOL value) {
    return this->SetProperty(DISPID_SCROLL_AUTOFIRST, logic_.autoFirst, value != VARIANT_FALSE);
}

template <typename I>
STDMETHODIMP ScrollObject<I>::Refresh() {
    return com::Guarded([&] {
        logic_.Refresh();
        return S_OK;
    });
}
template <typename I>
STDMETHODIMP ScrollObject<I>::Reload() {
    return Refresh();
}

ZelHScroll::ZelHScroll() : ScrollObject(kHorizontalClass, SBS_HORZ) {}
ZelVScroll::ZelVScroll() : ScrollObject(kVerticalClass, SBS_VERT) {}

template class ScrollObject<IZelHScroll>;
template class ScrollObject<IZelVScroll>;

HRESULT CreateZelHScroll(REFIID iid, void** out) {
    return com::CreateInstance<ZelHScroll>(iid, out);
}

HRESULT CreateZelVScroll(REFIID iid, void** out) {
    return com::CreateInstance<ZelVScroll>(iid, out);
}

}  // namespace zelmor
