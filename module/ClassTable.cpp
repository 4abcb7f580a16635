#include "module/ClassTable.h"

#include "controls/ZelBtr.h"
#include "controls/ZelBtn.h"
#include "controls/ZelCheck.h"
#include "controls/ZelEdit.h"
#include "controls/ZelLists.h"
#include "controls/ZelOptBtn.h"
#include "controls/ZelPic.h"
#include "controls/ZelScroll.h"
#include "grid/ZelGrid.h"
#include "module/PageClassIds.h"
#include "module/ResourceIds.h"
#include "module/zelmor.h"
#include "pages/Pages.h"

namespace zelmor::module {

namespace {

constexpr DWORD kControlStatus = com::kControlMiscStatus;
constexpr DWORD kButtonStatus = com::kButtonMiscStatus;

constexpr ClassKind kControl = ClassKind::Control;
constexpr ClassKind kPage = ClassKind::PropertyPage;

const ClassEntry kClasses[] = {
    {L"ZelmorDb", L"ZelBtr", &CLSID_ZelmorDb, kControl,
     IDB_TOOLBOX_ZELBTR, kControlStatus, CreateZelBtr},
    {L"ZelEdit", L"ZelEdit", &CLSID_ZelEdit, kControl,
     IDB_TOOLBOX_ZELEDIT, kControlStatus, CreateZelEdit},
    {L"ZelBtn", L"ZelBtn", &CLSID_ZelBtn, kControl,
     IDB_TOOLBOX_ZELBTN, kButtonStatus, CreateZelBtn},
    {L"ZelComboBox", L"ZelComboBox", &CLSID_ZelComboBox, kControl,
     IDB_TOOLBOX_ZELCOMBOBOX, kControlStatus, CreateZelComboBox},
    {L"ZelListBox", L"ZelListBox", &CLSID_ZelListBox, kControl,
     IDB_TOOLBOX_ZELLISTBOX, kControlStatus, CreateZelListBox},
    {L"ZelHScroll", L"ZelHScroll", &CLSID_ZelHScroll, kControl,
     IDB_TOOLBOX_ZELHSCROLL, kControlStatus, CreateZelHScroll},
    {L"ZelVScroll", L"ZelVScroll", &CLSID_ZelVScroll, kControl,
     IDB_TOOLBOX_ZELVSCROLL, kControlStatus, CreateZelVScroll},
    {L"ZelCheck", L"ZelCheck", &CLSID_ZelCheck, kControl,
     IDB_TOOLBOX_ZELCHECK, kControlStatus, CreateZelCheck},
    {L"ZelOptBtn", L"ZelOptBtn", &CLSID_ZelOptBtn, kControl,
     IDB_TOOLBOX_ZELOPTBTN, kControlStatus, CreateZelOptBtn},
    {L"ZelGrid", L"ZelGrid", &CLSID_ZelGrid, kControl,
     IDB_TOOLBOX_ZELGRID, kControlStatus, CreateZelGrid},
    {L"ZelPic", L"ZelPic", &CLSID_ZelPic, kControl,
     IDB_TOOLBOX_ZELPIC, kControlStatus, CreateZelPic},
    {L"ZelBtrPpg", nullptr, &CLSID_ZelBtrPpg, kPage, 0, 0, CreateZelBtrPpg},
    {L"ZelBtnPpg", nullptr, &CLSID_ZelBtnPpg, kPage, 0, 0, CreateZelBtnPpg},
    {L"ZelEditPpg", nullptr, &CLSID_ZelEditPpg, kPage, 0, 0, CreateZelEditPpg},
    {L"ZelListBoxPpg", nullptr, &CLSID_ZelListBoxPpg, kPage, 0, 0, CreateZelListBoxPpg},
    {L"ZelComboBoxPpg", nullptr, &CLSID_ZelComboBoxPpg, kPage, 0, 0, CreateZelComboBoxPpg},
    {L"ZelCheckPpg", nullptr, &CLSID_ZelCheckPpg, kPage, 0, 0, CreateZelCheckPpg},
    {L"ZelOptBtnPpg", nullptr, &CLSID_ZelOptBtnPpg, kPage, 0, 0, CreateZelOptBtnPpg},
    {L"ZelPicPpg", nullptr, &CLSID_ZelPicPpg, kPage, 0, 0, CreateZelPicPpg},
    {L"ZelHScrollPpg", nullptr, &CLSID_ZelHScrollPpg, kPage, 0, 0, CreateZelHScrollPpg},
    {L"ZelVScrollPpg", nullptr, &CLSID_ZelVScrollPpg, kPage, 0, 0, CreateZelVScrollPpg},
    {L"ZelGridPpg", nullptr, &CLSID_ZelGridPpg, kPage, 0, 0, CreateZelGridPpg},
    {L"ZelExComboBox", L"ZelExComboBox", &CLSID_ZelExComboBox, kControl,
     IDB_TOOLBOX_ZELEXCOMBOBOX, kControlStatus, CreateZelExComboBox},
    {L"ZelExComboBoxPpg", nullptr, &CLSID_ZelExComboBoxPpg, kPage, 0, 0, CreateZelExComboBoxPpg},
    {L"ZelExListBox", L"ZelExListBox", &CLSID_ZelExListBox, kControl,
     IDB_TOOLBOX_ZELEXLISTBOX, kControlStatus, CreateZelExListBox},
    {L"ZelExListBoxPpg", nullptr, &CLSID_ZelExListBoxPpg, kPage, 0, 0, CreateZelExListBoxPpg},
    {L"ZelExComboBoxPpg2", nullptr, &CLSID_ZelExComboBoxPpg2, kPage, 0, 0, CreateZelExComboBoxPpg2},
    {L"ZelExListBoxPpg2", nullptr, &CLSID_ZelExListBoxPpg2, kPage, 0, 0, CreateZelExListBoxPpg2},
};

static_assert(sizeof kClasses / sizeof kClasses[0] == 28, "the library serves 28 classes");

}  // namespace

const GUID kApplicationId = {
    0xF8DB4BEC, 0xAEF0, 0x48C2, {0xA3, 0x9A, 0x4E, 0xF5, 0x3B, 0x2D, 0xC0, 0x81}};
const wchar_t kApplicationName[] = L"zelbt320";

ClassList ClassTable() {
    return ClassList{kClasses, sizeof kClasses / sizeof kClasses[0]};
}

const ClassEntry* FindClass(ClassList classes, REFCLSID clsid) {
    for (const ClassEntry& entry : classes) {
        if (IsEqualCLSID(*entry.clsid, clsid)) return &entry;
    }
    return nullptr;
}

}  // namespace zelmor::module
