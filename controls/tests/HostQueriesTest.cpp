// What form designers and hosts ask of the controls beyond the container's basics: the button's
// mnemonic and default-button report and its click through the mnemonic, and what a property
// browser learns of each class's own values and pages.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <vector>

#include "controls/BrowsingTables.h"
#include "controls/ZelBtn.h"
#include "controls/ZelCheck.h"
#include "controls/ZelEdit.h"
#include "controls/ZelLists.h"
#include "controls/ZelOptBtn.h"
#include "controls/ZelPic.h"
#include "controls/ZelScroll.h"
#include "controls/tests/DataControlHost.h"
#include "grid/ZelGrid.h"
#include "module/PageClassIds.h"

using namespace zelmor;
using namespace zelmor::testing;
using host::BoolValue;
using host::LongValue;
using host::TextValue;

namespace {

class ButtonMnemonicTest : public DataControlFormTest {
  protected:
    host::ControlSite* AddButton(host::Form& form, std::vector<host::NamedValue> properties) {
        com::ComPtr<IUnknown> object;
        EXPECT_EQ(CreateZelBtn(IID_IUnknown, object.PutVoid()), S_OK);
        HRESULT hr = E_FAIL;
        host::ControlSite* site = form.AddControl({L"Button1", RECT{10, 60, 110, 84}},
                                                  object.Get(), std::move(properties), &hr);
        EXPECT_EQ(hr, S_OK);
        return site;
    }

    static com::ComPtr<IOleControl> Ole(host::ControlSite* site) {
        return com::ComPtr<IUnknown>(site->Object()).As<IOleControl>();
    }

    // The keys of the reported table, as "Alt+S" and "S".
    static std::vector<std::string> Keys(host::ControlSite* site, DWORD* flags = nullptr) {
        CONTROLINFO info{};
        info.cb = sizeof info;
        EXPECT_EQ(Ole(site)->GetControlInfo(&info), S_OK);
        if (flags) *flags = info.dwFlags;
        std::vector<std::string> keys;
        if (info.cAccel == 0) return keys;
        std::vector<ACCEL> table(info.cAccel);
        EXPECT_EQ(CopyAcceleratorTableW(info.hAccel, table.data(), info.cAccel), info.cAccel);
        for (const ACCEL& key : table) {
            std::string name = (key.fVirt & FALT) ? "Alt+" : "";
            keys.push_back(name + static_cast<char>(key.key));
        }
        return keys;
    }
};

}  // namespace

TEST_F(ButtonMnemonicTest, TheCaptionsMnemonicAndTheDefaultFlagFollowTheProperties) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* button = AddButton(form, {{L"Caption", TextValue(L"&Save")}});
    DWORD flags = 99;
    EXPECT_EQ(Keys(button, &flags), (std::vector<std::string>{"Alt+S", "S"}));
    EXPECT_EQ(flags, 0u);

    EXPECT_EQ(button->Put(L"Default", *BoolValue(true).Get()), S_OK);
    EXPECT_EQ(Keys(button, &flags), (std::vector<std::string>{"Alt+S", "S"}));
    EXPECT_EQ(flags, static_cast<DWORD>(CTRLINFO_EATS_RETURN));

    EXPECT_EQ(button->Put(L"Caption", *TextValue(L"検索(&F)").Get()), S_OK);
    EXPECT_EQ(Keys(button), (std::vector<std::string>{"Alt+F", "F"}));
    EXPECT_EQ(button->Put(L"Caption", *TextValue(L"Fish && Chips").Get()), S_OK);
    EXPECT_TRUE(Keys(button).empty());

    EXPECT_EQ(button->Put(L"Default", *BoolValue(false).Get()), S_OK);
    Keys(button, &flags);
    EXPECT_EQ(flags, 0u);
}

namespace {

struct BrowsingCase {
    const char* name;
    HRESULT (*create)(REFIID, void**);
    const CLSID* page;
    // The names of the properties the page edits, as the type library calls them.
    std::vector<std::wstring> pageProperties;
};

const BrowsingCase kBrowsingCases[] = {
    {"ZelBtr", CreateZelBtr, &CLSID_ZelBtrPpg,
     {L"DDFDir", L"OwnerName", L"OpenMode", L"AllOpen", L"DistName"}},
    {"ZelEdit", CreateZelEdit, &CLSID_ZelEditPpg, {L"DbSource", L"DbTable", L"DbField"}},
    {"ZelBtn", CreateZelBtn, &CLSID_ZelBtnPpg,
     {L"DbSource", L"DbTable", L"DbIndex", L"DbOperation", L"DbLocks"}},
    {"ZelCheck", CreateZelCheck, &CLSID_ZelCheckPpg,
     {L"DbSource", L"DbTable", L"DbField", L"DbValueTrue", L"DbValueFalse",
      L"DbValueIndeterminate"}},
    {"ZelOptBtn", CreateZelOptBtn, &CLSID_ZelOptBtnPpg,
     {L"DbSource", L"DbTable", L"DbField", L"DbValueTrue", L"DbValueFalse"}},
    {"ZelPic", CreateZelPic, &CLSID_ZelPicPpg, {L"DbSource", L"DbTable", L"DbField", L"BlobPath"}},
    {"ZelHScroll", CreateZelHScroll, &CLSID_ZelHScrollPpg, {L"DbSource", L"DbTable", L"DbIndex"}},
    {"ZelVScroll", CreateZelVScroll, &CLSID_ZelVScrollPpg, {L"DbSource", L"DbTable", L"DbIndex"}},
    {"ZelComboBox", CreateZelComboBox, &CLSID_ZelComboBoxPpg,
     {L"DbSource", L"DbTable", L"DbField", L"DbListSource", L"DbListTable", L"DbListField",
      L"DbListIndex"}},
    {"ZelListBox", CreateZelListBox, &CLSID_ZelListBoxPpg,
     {L"DbSource", L"DbTable", L"DbField", L"DbListSource", L"DbListTable", L"DbListField",
      L"DbListIndex"}},
    {"ZelExComboBox", CreateZelExComboBox, &CLSID_ZelExComboBoxPpg,
     {L"DbSource", L"DbTable", L"DbField", L"DbListSource", L"DbListTable", L"DbListFields",
      L"DbListIndex", L"DbConditions"}},
    {"ZelExListBox", CreateZelExListBox, &CLSID_ZelExListBoxPpg,
     {L"DbSource", L"DbTable", L"DbField", L"DbListSource", L"DbListTable", L"DbListFields",
      L"DbListIndex", L"DbConditions"}},
    {"ZelGrid", CreateZelGrid, &CLSID_ZelGridPpg,
     {L"DbListSource", L"DbListTable", L"DbListFields", L"DbConditions", L"DbListIndex"}},
};

}  // namespace

// Each class's own page takes the data properties by their names in the type library.
TEST(PropertyBrowsing, EveryClassMapsItsDataPropertiesToItsOwnPage) {
    for (const BrowsingCase& c : kBrowsingCases) {
        SCOPED_TRACE(c.name);
        com::ComPtr<IDispatch> control;
        ASSERT_EQ(c.create(IID_IDispatch, control.PutVoid()), S_OK);
        auto browsing = control.As<IPerPropertyBrowsing>();
        ASSERT_TRUE(browsing);
        for (const std::wstring& name : c.pageProperties) {
            SCOPED_TRACE(std::string(name.begin(), name.end()));
            LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
            DISPID dispid = DISPID_UNKNOWN;
            ASSERT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &dispid),
                      S_OK);
            CLSID page = CLSID_NULL;
            EXPECT_EQ(browsing->MapPropertyToPage(dispid, &page), S_OK);
            EXPECT_EQ(page, *c.page);
        }
        // The stock properties stay with the stock pages or the browser.
        CLSID page = CLSID_NULL;
        EXPECT_EQ(browsing->MapPropertyToPage(DISPID_ENABLED, &page), PERPROP_E_NOPAGEAVAILABLE);
    }
}

TEST_F(ButtonMnemonicTest, TheMnemonicRunsTheOperationInRunMode) {
    for (int round = 0; round < 2; ++round) {
        host::Form& form = NewForm(round == 0 ? L"Form1" : L"Form2");
        host::ControlSite* data = AddDataControl(form, L"Data1", {{L"AllOpen", BoolValue(true)}});
        ASSERT_NE(data, nullptr);
        host::ControlSite* button = AddButton(
            form, {{L"Caption", TextValue(L"&First")}, {L"DbSource", TextValue(L"Data1")},
                   {L"DbTable", TextValue(L"Customer")}, {L"DbIndex", TextValue(L"ByCode")},
                   {L"DbOperation", LongValue(4)}});
        ASSERT_NE(button, nullptr);
        MSG key{};
        key.message = WM_SYSKEYDOWN;
        key.wParam = 'F';
        EXPECT_EQ(Ole(button)->OnMnemonic(&key), S_OK);
        form.PumpMessages();
        EXPECT_EQ(button->Events().CountOf(L"Click"), 1) << round;
    }
}
