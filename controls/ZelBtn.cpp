#include "controls/ZelBtn.h"

#include "com/AnsiText.h"
#include "controls/BrowsingTables.h"
#include "com/Guarded.h"
#include "values/GlobalOptions.h"
#include "module/PageClassIds.h"

namespace zelmor {

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbSource", DISPID_DBSOURCE},         {L"DbTable", DISPID_DBTABLE},
    {L"DbIndex", DISPID_BTN_DBINDEX},       {L"DbOperation", DISPID_BTN_DBOPERATION},
    {L"Abort", DISPID_BTN_ABORT},           {L"ConfirmMsg", DISPID_BTN_CONFIRMMSG},
    {L"Cancel", DISPID_BTN_CANCEL},         {L"Default", DISPID_BTN_DEFAULT},
    {L"DbLocks", DISPID_BTN_DBLOCKS},       {L"ClearControlData", DISPID_BTN_CLEARCONTROLDATA},
    {L"Style", DISPID_BTN_STYLE},           {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},       {L"Font", DISPID_FONT},
    {L"Caption", DISPID_CAPTION},           {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER}, {L"Picture", DISPID_PICTURE},
    {L"TabStop", DISPID_TABSTOP},           {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kPages[] = {&CLSID_ZelBtnPpg, &CLSID_CFontPropPage, &CLSID_CColorPropPage,
                               &CLSID_CPicturePropPage};

const com::ControlClass kButtonClass = {
    &CLSID_ZelBtn,
    &DIID__DZelBtnEvents,
    com::kButtonMiscStatus,
    SIZEL{2117, 635},  // 80 x 24 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    com::kKeyEvents | com::kMouseEvents,
    &kButtonBrowsing,
};

// The picture's handle and kind for the button window: a bitmap or an icon; none for others.
bool PictureImage(IPictureDisp* picture, UINT& imageType, HANDLE& image) {
    auto described = com::ComPtr<IPictureDisp>(picture).As<IPicture>();
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (!described || FAILED(described->get_Type(&type)) ||
        FAILED(described->get_Handle(&handle))) {
        return false;
    }
    if (type != PICTYPE_BITMAP && type != PICTYPE_ICON) return false;
    imageType = type == PICTYPE_BITMAP ? IMAGE_BITMAP : IMAGE_ICON;
    image = reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(handle));
    return true;
}

}  // namespace

ZelBtn::ZelBtn() : BoundControlObject(kButtonClass), logic_(Site(), zelmor::Registry(), *this) {
    Stock().backColor = com::kSystemButtonFace;
}

// --- The window ---

void ZelBtn::CreateWindows() {
    DWORD style = WS_VISIBLE | BS_PUSHBUTTON;
    if (isDefault_) style |= BS_DEFPUSHBUTTON;
    UINT imageType = 0;
    HANDLE image = nullptr;
    const bool graphic =
        style_ == btnStyleGraphics && PictureImage(Stock().picture.Get(), imageType, image);
    if (graphic) style |= imageType == IMAGE_BITMAP ? BS_BITMAP : BS_ICON;
    // The caption goes through the code page, as every text of the control does.
    HWND button =
        CreateHostedChild(L"Button", style, 0, com::WideOf(com::AnsiOf(Stock().text)).c_str());
    if (button && graphic) {
        SendMessageW(button, BM_SETIMAGE, imageType, reinterpret_cast<LPARAM>(image));
    }
    if (Site().UserMode() && Options().FormMode() != 2) logic_.ResolveIndex();
}

void ZelBtn::Recreate() {
    if (!HostedChild()) return;
    CreateWindows();
    ApplyFont();
    ApplyEnabled();
}

void ZelBtn::Press() {
    logic_.Run();
    FireEvent(DISPID_CLICK);
}

bool ZelBtn::OnCommand(HWND child, WORD code) {
    if (child != HostedChild() || code != BN_CLICKED) return false;
    if (Site().UserMode()) Press();
    return true;
}

bool ZelBtn::OnChildMessage(HWND child, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT& result) {
    if (DropsRepeatedKey(message, IsLeftOrRight(wParam))) {
        result = 0;
        return true;
    }
    return BoundControlObject::OnChildMessage(child, message, wParam, lParam, result);
}

// The container saw the caption's mnemonic: a click, as a press of the window would be.
void ZelBtn::OnMnemonicKey(const MSG&) {
    if (Site().UserMode()) Press();
}

// Hosts keep Enter for their default button when the control says it takes Enter.
void ZelBtn::UpdateControlInfo() {
    SetControlInfo(com::MnemonicAccelerators(Stock().text),
                   isDefault_ ? CTRLINFO_EATS_RETURN : 0);
}

// Enter runs the operation, and then goes on to the container as any key does.
HRESULT ZelBtn::OnTranslateAccelerator(MSG* msg) {
    if (HandKeyToWindow(msg, IsLeftOrRight(msg->wParam))) return S_OK;
    if (msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN && Site().UserMode()) Press();
    return BoundControlObject::OnTranslateAccelerator(msg);
}

// --- ButtonView ---

bool ZelBtn::Confirm(const std::string& question) {
    HWND owner = Window();
    if (!owner && ClientSite()) {
        if (auto site = com::ComPtr<IOleClientSite>(ClientSite()).As<IOleWindow>()) {
            site->GetWindow(&owner);
        }
    }
    return MessageBoxW(owner, com::WideOf(question).c_str(), L"", MB_OKCANCEL) != IDCANCEL;
}

void ZelBtn::RaiseSetData() {
    FireEvent(DISPID_BTN_EVENT_SETDATA);
}

int ZelBtn::RaiseBtrieveError(const std::string& tableName, int status) {
    short value = static_cast<short>(status);
    com::EventArguments arguments;
    arguments.Add(com::WideOf(tableName)).AddByRef(&value);
    FireEvent(DISPID_BTN_EVENT_BTRIEVEERROR, arguments);
    return value;
}

// --- Properties ---

STDMETHODIMP ZelBtn::get_DbIndex(BSTR* value) {
    return GetName(logic_.dbIndex, value);
}
STDMETHODIMP ZelBtn::put_DbIndex(BSTR value) {
    return com::Guarded([&] { return PutName(DISPID_BTN_DBINDEX, logic_.dbIndex, value); });
}

// Any number is taken: a click on an operation outside the list shows VE801.
STDMETHODIMP ZelBtn::get_DbOperation(_enumDbOperation* value) {
    return Out(value, logic_.operation);
}
STDMETHODIMP ZelBtn::put_DbOperation(_enumDbOperation value) {
    return SetProperty(DISPID_BTN_DBOPERATION, logic_.operation, static_cast<int>(value));
}

STDMETHODIMP ZelBtn::get_Abort(VARIANT_BOOL* value) {
    return OutBool(value, logic_.abort);
}
STDMETHODIMP ZelBtn::put_Abort(VARIANT_BOOL value) {
    logic_.abort = value != VARIANT_FALSE;
    return S_OK;
}

STDMETHODIMP ZelBtn::get_ConfirmMsg(BSTR* value) {
    return com::Guarded([&] { return com::AnsiToOut(logic_.confirmMsg, value); });
}
STDMETHODIMP ZelBtn::put_ConfirmMsg(BSTR value) {
    return com::Guarded(
        [&] { return SetProperty(DISPID_BTN_CONFIRMMSG, logic_.confirmMsg, com::AnsiOf(value)); });
}

STDMETHODIMP ZelBtn::get_Cancel(VARIANT_BOOL* value) {
    return OutBool(value, cancel_);
}
STDMETHODIMP ZelBtn::put_Cancel(VARIANT_BOOL value) {
    return SetProperty(DISPID_BTN_CANCEL, cancel_, value != VARIANT_FALSE);
}

STDMETHODIMP ZelBtn::get_Default(VARIANT_BOOL* value) {
    return OutBool(value, isDefault_);
}
STDMETHODIMP ZelBtn::put_Default(VARIANT_BOOL value) {
    HRESULT hr = SetProperty(DISPID_BTN_DEFAULT, isDefault_, value != VARIANT_FALSE);
    if (hr == S_OK && HostedChild()) {
        SendMessageW(HostedChild(), BM_SETSTYLE, isDefault_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON,
                     TRUE);
    }
    if (hr == S_OK) return com::Guarded([&] {
        UpdateControlInfo();
        return S_OK;
    });
    return hr;
}

STDMETHODIMP ZelBtn::put_Caption(BSTR value) {
    return com::Guarded([&] {
        const std::wstring before = Stock().text;
        HRESULT hr = BoundControlObject::put_Caption(value);
        if (hr == S_OK && Stock().text != before) UpdateControlInfo();
        return hr;
    });
}

STDMETHODIMP ZelBtn::get_DbLocks(_enumLocks* value) {
    return Out(value, logic_.locks);
}
STDMETHODIMP ZelBtn::put_DbLocks(_enumLocks value) {
    if (value < LockNone || value > LockMultiNoWait) return CTL_E_INVALIDPROPERTYVALUE;
    return SetProperty(DISPID_BTN_DBLOCKS, logic_.locks, static_cast<int>(value));
}

STDMETHODIMP ZelBtn::get_ClearControlData(VARIANT_BOOL* value) {
    return OutBool(value, logic_.clearControlData);
}
STDMETHODIMP ZelBtn::put_ClearControlData(VARIANT_BOOL value) {
    return SetProperty(DISPID_BTN_CLEARCONTROLDATA, logic_.clearControlData,
                       value != VARIANT_FALSE);
}

STDMETHODIMP ZelBtn::get_IndexID(short* value) {
    return Out(value, logic_.indexId);
}
STDMETHODIMP ZelBtn::put_IndexID(short value) {
    if (value < 0) return CTL_E_INVALIDPROPERTYVALUE;
    logic_.indexId = value;
    return S_OK;
}

STDMETHODIMP ZelBtn::get_Style(_enumBtnStyle* value) {
    return Out(value, style_);
}
STDMETHODIMP ZelBtn::put_Style(_enumBtnStyle value) {
    if (value != btnStyleStandard && value != btnStyleGraphics) return CTL_E_INVALIDPROPERTYVALUE;
    HRESULT hr = SetProperty(DISPID_BTN_STYLE, style_, static_cast<int>(value));
    if (hr == S_OK) Recreate();
    return hr;
}

// A new picture shows at once on a graphic button.
STDMETHODIMP ZelBtn::put_Picture(IPictureDisp* value) {
    HRESULT hr = BoundControlObject::put_Picture(value);
    if (hr == S_OK && style_ == btnStyleGraphics) Recreate();
    return hr;
}
STDMETHODIMP ZelBtn::putref_Picture(IPictureDisp* value) {
    return put_Picture(value);
}

HRESULT CreateZelBtn(REFIID iid, void** out) {
    return com::CreateInstance<ZelBtn>(iid, out);
}

}  // namespace zelmor
