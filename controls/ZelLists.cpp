#include "controls/ZelLists.h"
#include "controls/BrowsingTables.h"

#include <iterator>

#include "module/PageClassIds.h"

namespace zelmor {

namespace {

using com::PropertyMapEntry;

// The persisted properties after the extent, in their order.
const PropertyMapEntry kListBoxProperties[] = {
    {L"Sort", DISPID_LISTBOX_SORT},
    {L"IntegralHeight", DISPID_LISTBOX_INTEGRALHEIGHT},
    {L"DbSource", DISPID_LISTBOX_DBSOURCE},
    {L"DbTable", DISPID_LISTBOX_DBSOURCE + 1},
    {L"DbField", DISPID_LISTBOX_DBSOURCE + 2},
    {L"DbListSource", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTSOURCE},
    {L"DbListTable", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTTABLE},
    {L"DbListField", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTFIELD},
    {L"DbListIndex", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTINDEX},
    {L"DbUpdateOption", DISPID_LISTBOX_DBUPDATEOPTION},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BorderStyle", DISPID_BORDERSTYLE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Text", DISPID_TEXT},
    {L"Enabled", DISPID_ENABLED},
};

const PropertyMapEntry kComboBoxProperties[] = {
    {L"Style", DISPID_COMBO_STYLE},
    {L"IntegralHeight", DISPID_COMBO_INTEGRALHEIGHT},
    {L"Sort", DISPID_COMBO_SORT},
    {L"DbSource", DISPID_COMBO_DBSOURCE},
    {L"DbTable", DISPID_COMBO_DBSOURCE + 1},
    {L"DbField", DISPID_COMBO_DBSOURCE + 2},
    {L"DbListSource", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTSOURCE},
    {L"DbListTable", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTTABLE},
    {L"DbListField", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTFIELD},
    {L"DbListIndex", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTINDEX},
    {L"ImeMode", DISPID_COMBO_IMEMODE},
    {L"DbUpdateOption", DISPID_COMBO_DBUPDATEOPTION},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Text", DISPID_TEXT},
    {L"Enabled", DISPID_ENABLED},
};

// The extended forms list their fill settings first; their field list is persisted under the
// plain form's name.
const PropertyMapEntry kExListBoxProperties[] = {
    {L"DbListSource", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTSOURCE},
    {L"DbListTable", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTTABLE},
    {L"DbListField", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTFIELD},
    {L"DbSource", DISPID_LISTBOX_DBSOURCE},
    {L"DbTable", DISPID_LISTBOX_DBSOURCE + 1},
    {L"DbField", DISPID_LISTBOX_DBSOURCE + 2},
    {L"DbUpdateOption", DISPID_LISTBOX_DBUPDATEOPTION},
    {L"DbConditions", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBCONDITIONS},
    {L"DbLeaveResults", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBLEAVERESULTS},
    {L"DbLocks", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBLOCKS},
    {L"DbExOperation", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBEXOPERATION},
    {L"DbListIndex", DISPID_LISTBOX_DBSOURCE + DISPID_LIST_NAMES_DBLISTINDEX},
    {L"DbDelimitChar", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBDELIMITCHAR},
    {L"DbCompareCase", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBCOMPARECASE},
    {L"DbSkipRecords", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBSKIPRECORDS},
    {L"DbMaxRecords", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBMAXRECORDS},
    {L"DbSavePosition", DISPID_LISTBOX_EXTENDED + DISPID_EXTENDED_DBSAVEPOSITION},
    {L"Sort", DISPID_LISTBOX_SORT},
    {L"IntegralHeight", DISPID_LISTBOX_INTEGRALHEIGHT},
    {L"DbTabStops", DISPID_LISTBOX_DBTABSTOPS},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"BorderStyle", DISPID_BORDERSTYLE},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Text", DISPID_TEXT},
    {L"Enabled", DISPID_ENABLED},
};

const PropertyMapEntry kExComboBoxProperties[] = {
    {L"DbListSource", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTSOURCE},
    {L"DbListTable", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTTABLE},
    {L"DbListField", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTFIELD},
    {L"DbSource", DISPID_COMBO_DBSOURCE},
    {L"DbTable", DISPID_COMBO_DBSOURCE + 1},
    {L"DbField", DISPID_COMBO_DBSOURCE + 2},
    {L"DbUpdateOption", DISPID_COMBO_DBUPDATEOPTION},
    {L"DbConditions", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBCONDITIONS},
    {L"DbLeaveResults", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBLEAVERESULTS},
    {L"DbLocks", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBLOCKS},
    {L"DbExOperation", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBEXOPERATION},
    {L"DbListIndex", DISPID_COMBO_DBSOURCE + DISPID_LIST_NAMES_DBLISTINDEX},
    {L"DbDelimitChar", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBDELIMITCHAR},
    {L"DbCompareCase", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBCOMPARECASE},
    {L"DbSkipRecords", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBSKIPRECORDS},
    {L"DbMaxRecords", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBMAXRECORDS},
    {L"DbSavePosition", DISPID_COMBO_EXTENDED + DISPID_EXTENDED_DBSAVEPOSITION},
    {L"Sort", DISPID_COMBO_SORT},
    {L"IntegralHeight", DISPID_COMBO_INTEGRALHEIGHT},
    {L"Style", DISPID_COMBO_STYLE},
    {L"ImeMode", DISPID_COMBO_IMEMODE},
    {L"Appearance", DISPID_APPEARANCE},
    {L"BackColor", DISPID_BACKCOLOR},
    {L"ForeColor", DISPID_FORECOLOR},
    {L"Font", DISPID_FONT},
    {L"MouseIcon", DISPID_MOUSEICON},
    {L"MousePointer", DISPID_MOUSEPOINTER},
    {L"TabStop", DISPID_TABSTOP},
    {L"Text", DISPID_TEXT},
    {L"Enabled", DISPID_ENABLED},
};

const CLSID* const kListBoxPages[] = {&CLSID_ZelListBoxPpg, &CLSID_CFontPropPage,
                                      &CLSID_CColorPropPage};
const CLSID* const kComboBoxPages[] = {&CLSID_ZelComboBoxPpg, &CLSID_CFontPropPage,
                                       &CLSID_CColorPropPage};
const CLSID* const kExListBoxPages[] = {&CLSID_ZelExListBoxPpg, &CLSID_ZelExListBoxPpg2,
                                        &CLSID_CFontPropPage, &CLSID_CColorPropPage};
const CLSID* const kExComboBoxPages[] = {&CLSID_ZelExComboBoxPpg, &CLSID_ZelExComboBoxPpg2,
                                         &CLSID_CFontPropPage, &CLSID_CColorPropPage};
constexpr unsigned kEvents = com::kKeyEvents | com::kMouseEvents;
constexpr SIZEL kListExtent{3175, 2540};   // 120 x 96 pixels
constexpr SIZEL kComboExtent{3175, 635};   // 120 x 24 pixels

const com::ControlClass kListBoxClass = {
    &CLSID_ZelListBox, &DIID__DZelListBoxEvents, com::kControlMiscStatus, kListExtent,
    com::MakePropertyMap(kListBoxProperties), kListBoxPages, std::size(kListBoxPages),
    kEvents, &kListBoxBrowsing};
const com::ControlClass kComboBoxClass = {
    &CLSID_ZelComboBox, &DIID__DZelComboBoxEvents, com::kControlMiscStatus, kComboExtent,
    com::MakePropertyMap(kComboBoxProperties), kComboBoxPages, std::size(kComboBoxPages),
    kEvents, &kComboBoxBrowsing};
const com::ControlClass kExListBoxClass = {
    &CLSID_ZelExListBox, &DIID__DZelExListBoxEvents, com::kControlMiscStatus, kListExtent,
    com::MakePropertyMap(kExListBoxProperties), kExListBoxPages, std::size(kExListBoxPages),
    kEvents, &kExListBoxBrowsing};
const com::ControlClass kExComboBoxClass = {
    &CLSID_ZelExComboBox, &DIID__DZelExComboBoxEvents, com::kControlMiscStatus, kComboExtent,
    com::MakePropertyMap(kExComboBoxProperties), kExComboBoxPages, std::size(kExComboBoxPages),
    kEvents, &kExComboBoxBrowsing};

// kind, combo; style, integralHeight, sort, imeMode, updateOption, extendedFirst, tabStops;
// format, scroll and change events; IntegralHeight's default.
const ListClass kListBox = {ControlKind::ListBox, false,
                            0, DISPID_LISTBOX_INTEGRALHEIGHT, DISPID_LISTBOX_SORT, 0,
                            DISPID_LISTBOX_DBUPDATEOPTION, 0, 0,
                            DISPID_LISTBOX_EVENT_FORMAT, DISPID_LISTBOX_EVENT_SCROLL, 0,
                            false};
const ListClass kComboBox = {ControlKind::ComboBox, true,
                             DISPID_COMBO_STYLE, DISPID_COMBO_INTEGRALHEIGHT, DISPID_COMBO_SORT,
                             DISPID_COMBO_IMEMODE, DISPID_COMBO_DBUPDATEOPTION, 0, 0,
                             DISPID_COMBO_EVENT_FORMAT, DISPID_COMBO_EVENT_SCROLL,
                             DISPID_COMBO_EVENT_CHANGE, false};
// The extended list box watches no scroll messages.
const ListClass kExListBox = {ControlKind::ExListBox, false,
                              0, DISPID_LISTBOX_INTEGRALHEIGHT, DISPID_LISTBOX_SORT, 0,
                              DISPID_LISTBOX_DBUPDATEOPTION, DISPID_LISTBOX_EXTENDED,
                              DISPID_LISTBOX_DBTABSTOPS,
                              DISPID_LISTBOX_EVENT_FORMAT, 0, 0, false};
const ListClass kExComboBox = {ControlKind::ExComboBox, true,
                               DISPID_COMBO_STYLE, DISPID_COMBO_INTEGRALHEIGHT, DISPID_COMBO_SORT,
                               DISPID_COMBO_IMEMODE, DISPID_COMBO_DBUPDATEOPTION,
                               DISPID_COMBO_EXTENDED, 0,
                               DISPID_COMBO_EVENT_FORMAT, DISPID_COMBO_EVENT_SCROLL,
                               DISPID_COMBO_EVENT_CHANGE, true};

}  // namespace

ZelListBox::ZelListBox() : ListObject(kListBoxClass, kListBox) {}
ZelComboBox::ZelComboBox() : ListObject(kComboBoxClass, kComboBox) {}
ZelExListBox::ZelExListBox() : ListObject(kExListBoxClass, kExListBox) {}
ZelExComboBox::ZelExComboBox() : ListObject(kExComboBoxClass, kExComboBox) {}

HRESULT CreateZelListBox(REFIID iid, void** out) {
    return com::CreateInstance<ZelListBox>(iid, out);
}
HRESULT CreateZelComboBox(REFIID iid, void** out) {
    return com::CreateInstance<ZelComboBox>(iid, out);
}
HRESULT CreateZelExListBox(REFIID iid, void** out) {
    return com::CreateInstance<ZelExListBox>(iid, out);
}
HRESULT CreateZelExComboBox(REFIID iid, void** out) {
    return com::CreateInstance<ZelExComboBox>(iid, out);
}

}  // namespace zelmor
