#include "controls/ZelOptBtn.h"
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

const CLSID* const kPages[] = {&CLSID_ZelOptBtnPpg, &CLSID_CFontPropPage, &CLSID_CColorPropPage};

const com::ControlClass kOptionClass = {
    &CLSID_ZelOptBtn,
    &DIID__DZelOptBtnEvents,
    com::kControlMiscStatus,
    SIZEL{2540, 635},  // 96 x 24 pixels
    com::MakePropertyMap(kProperties),
    kPages,
    sizeof kPages / sizeof kPages[0],
    com::kKeyEvents | com::kMouseEvents,
    &kOptionBrowsing,
};

}  // namespace

ZelOptBtn::ZelOptBtn() : ChoiceObject(kOptionClass, BS_AUTORADIOBUTTON) {}

HRESULT CreateZelOptBtn(REFIID iid, void** out) {
    return com::CreateInstance<ZelOptBtn>(iid, out);
}

}  // namespace zelmor
