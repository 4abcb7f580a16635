#include "controls/ZelCheck.h"
#include "controls/BrowsingTables.h"

#include "module/PageClassIds.h"

namespace zelmor {

namespace {

// The persisted properties after the extent, in their order.
const com::PropertyMapEntry kProperties[] = {
    {L"DbSource", DISPID_DBSOURCE},
    {L"DbTable", DISPID_DBTABLE},
    {L"DbField", DISPID_DBFIELD},
    {L"DbValueTrue", DISPID_CHOICE_DBVALUETRUE},
    {L"DbValueFalse", DISPID_CHOICE_DBVALUEFALSE},
    {L"Alignment", DISPID_CHOICE_ALIGNMENT},
    {L"DbValueIndeterminate", DISPID_CHECK_DBVALUEINDETERMINATE},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"Caption", DISPID_CAPTION},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kPages[] = {&CLSID_ZelCheckPpg, &CLSID_CFontPropPage, &CLSID_CColorPropPage};

const com::ControlClass kCheckClass = {
    &CLSID_ZelCheck,
    &DIID__DZelCheckEvents,
    com::kControlMiscStatus,
    SIZEL{2540, 635},  // 96 x 24 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    com::kKeyEvents | com::kMouseEvents,
    &kCheckBrowsing,
};

}  // namespace

// The control sets the mark itself, so that a grey box clicked becomes unchecked; the window is
// a three-state one (BS_3STATE), as a plain check box window cannot show the grey mark.
ZelCheck::ZelCheck() : ChoiceObject(kCheckClass, BS_3STATE) {}

STDMETHODIMP ZelCheck::get_DbValueIndeterminate(BSTR* value) {
    return GetText(Choice().texts.indeterminateText, value);
}

STDMETHODIMP ZelCheck::put_DbValueIndeterminate(BSTR value) {
    return PutText(DISPID_CHECK_DBVALUEINDETERMINATE, Choice().texts.indeterminateText, value);
}

HRESULT CreateZelCheck(REFIID iid, void** out) {
    return com::CreateInstance<ZelCheck>(iid, out);
}

}  // namespace zelmor
