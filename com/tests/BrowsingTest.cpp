// What a property browser and a form's keyboard handling learn from the control base: named
// values and own-page properties from the class's table, and mnemonics through GetControlInfo.
#include <gtest/gtest.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "HostedControl.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

IPerPropertyBrowsing* Browsing(ComInstance<TestControl>* control) {
    return static_cast<IPerPropertyBrowsing*>(control);
}

std::vector<std::wstring> Strings(const CALPOLESTR& strings) {
    std::vector<std::wstring> texts;
    for (ULONG i = 0; i < strings.cElems; ++i) texts.emplace_back(strings.pElems[i]);
    return texts;
}

void Free(CALPOLESTR& strings, CADWORD& cookies) {
    for (ULONG i = 0; i < strings.cElems; ++i) CoTaskMemFree(strings.pElems[i]);
    CoTaskMemFree(strings.pElems);
    CoTaskMemFree(cookies.pElems);
}

}  // namespace

TEST(PropertyBrowsing, NamedValuesAreListedAndEachCookieGivesItsValue) {
    HostedControl host;
    CALPOLESTR strings{};
    CADWORD cookies{};
    ASSERT_EQ(Browsing(host.control.Get())->GetPredefinedStrings(1, &strings, &cookies), S_OK);
    EXPECT_EQ(Strings(strings), (std::vector<std::wstring>{L"-1 - Less", L"0 - None", L"7 - Seven"}));
    ASSERT_EQ(cookies.cElems, 3u);
    std::vector<long> values;
    for (ULONG i = 0; i < cookies.cElems; ++i) {
        Variant value;
        ASSERT_EQ(Browsing(host.control.Get())
                      ->GetPredefinedValue(1, cookies.pElems[i], value.Get()),
                  S_OK);
        // The browser puts the value back through the property, which takes it.
        ASSERT_EQ(PutDispatchProperty(static_cast<ITestControl*>(host.control.Get()), 1,
                                      value.Get()),
                  S_OK);
        long number = 0;
        host.control->get_Number(&number);
        values.push_back(number);
    }
    EXPECT_EQ(values, (std::vector<long>{-1, 0, 7}));
    Free(strings, cookies);

    Variant none;
    EXPECT_EQ(Browsing(host.control.Get())->GetPredefinedValue(1, 3, none.Get()), E_INVALIDARG);
}

TEST(PropertyBrowsing, DisplayStringNamesTheCurrentValueOrShowsTheNumber) {
    HostedControl host;
    struct Case {
        long number;
        const wchar_t* shown;
    };
    for (const Case& c : {Case{7, L"7 - Seven"}, Case{-1, L"-1 - Less"}, Case{123, L"123"}}) {
        host.control->put_Number(c.number);
        Bstr text;
        ASSERT_EQ(Browsing(host.control.Get())->GetDisplayString(1, text.Put()), S_OK);
        EXPECT_EQ(text.Text(), c.shown);
    }
}

TEST(PropertyBrowsing, PropertiesOutsideTheTableAreLeftToTheTypeLibrary) {
    HostedControl host;
    IPerPropertyBrowsing* browsing = Browsing(host.control.Get());
    CALPOLESTR strings{};
    CADWORD cookies{};
    // Flag is a boolean, Appearance is not a property of this control.
    for (DISPID dispid : {DISPID(2), DISPID(DISPID_APPEARANCE)}) {
        EXPECT_EQ(browsing->GetPredefinedStrings(dispid, &strings, &cookies), E_NOTIMPL);
        EXPECT_EQ(strings.cElems, 0u);
        Bstr text;
        EXPECT_EQ(browsing->GetDisplayString(dispid, text.Put()), E_NOTIMPL);
    }
    CLSID page = kTestPropertyPage;
    EXPECT_EQ(browsing->MapPropertyToPage(1, &page), PERPROP_E_NOPAGEAVAILABLE);
    EXPECT_EQ(page, CLSID_NULL);
    EXPECT_EQ(browsing->MapPropertyToPage(DISPID_CAPTION, &page), S_OK);
    EXPECT_EQ(page, kTestPropertyPage);
}

TEST(ControlInfo, MnemonicKeysOfCaptions) {
    struct Case {
        const wchar_t* caption;
        bool hasMnemonic;
        WORD key;
    };
    const Case cases[] = {
        {L"&Save", true, 'S'},       {L"Sa&ve", true, 'V'},   {L"e&xit", true, 'X'},
        {L"&&Save", false, 0},       {L"A && &B", true, 'B'}, {L"Save&", false, 0},
        {L"Save", false, 0},         {L"", false, 0},         {L"&1 Copy", true, '1'},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.caption, c.caption + wcslen(c.caption)));
        std::vector<ACCEL> keys = MnemonicAccelerators(c.caption);
        if (!c.hasMnemonic) {
            EXPECT_TRUE(keys.empty());
            continue;
        }
        ASSERT_EQ(keys.size(), 2u);
        EXPECT_EQ(keys[0].fVirt, FVIRTKEY | FALT);
        EXPECT_EQ(keys[0].key, c.key);
        EXPECT_EQ(keys[1].fVirt, FVIRTKEY);
        EXPECT_EQ(keys[1].key, c.key);
    }
}

TEST(ControlInfo, ReportedTableIsTheControlsAndTheSiteIsToldOfChanges) {
    HostedControl host;
    auto* ole = static_cast<IOleControl*>(host.control.Get());
    CONTROLINFO info{};
    ASSERT_EQ(ole->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);
    EXPECT_EQ(info.hAccel, nullptr);

    host.control->ReportMnemonics(MnemonicAccelerators(L"&Find"), CTRLINFO_EATS_RETURN);
    EXPECT_EQ(host.site->CallsStartingWith("OnControlInfo").size(), 1u);
    ASSERT_EQ(ole->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cb, sizeof(CONTROLINFO));
    EXPECT_EQ(info.dwFlags, static_cast<DWORD>(CTRLINFO_EATS_RETURN));
    ASSERT_EQ(info.cAccel, 2);
    ACCEL copied[2]{};
    EXPECT_EQ(CopyAcceleratorTableW(info.hAccel, copied, 2), 2);
    EXPECT_EQ(copied[0].key, 'F');
    EXPECT_EQ(copied[0].fVirt & FALT, FALT);

    MSG msg{};
    msg.message = WM_SYSKEYDOWN;
    msg.wParam = 'F';
    EXPECT_EQ(ole->OnMnemonic(&msg), S_OK);
    EXPECT_EQ(host.control->mnemonics, 1);
    EXPECT_EQ(ole->OnMnemonic(nullptr), E_POINTER);

    host.control->ReportMnemonics({}, 0);
    EXPECT_EQ(host.site->CallsStartingWith("OnControlInfo").size(), 2u);
    ASSERT_EQ(ole->GetControlInfo(&info), S_OK);
    EXPECT_EQ(info.cAccel, 0);
    EXPECT_EQ(info.dwFlags, 0u);
}
