// The edit box with inputs larger than any form would give it: nothing is cut that was not asked
// for, and nothing fails.
#include <gtest/gtest.h>

#include "controls/ZelEdit.h"
#include "controls/tests/DataControlHost.h"

using namespace zelmor;
using namespace zelmor::testing;
using host::LongValue;
using host::TextValue;

namespace {

class ZelEditTest : public DataControlFormTest {
  protected:
    host::ControlSite* AddEdit(host::Form& form, std::vector<host::NamedValue> properties = {}) {
        com::ComPtr<IUnknown> object;
        EXPECT_EQ(CreateZelEdit(IID_IUnknown, object.PutVoid()), S_OK);
        HRESULT hr = E_FAIL;
        host::ControlSite* site = form.AddControl({L"Edit1", RECT{10, 10, 210, 34}}, object.Get(),
                                                  std::move(properties), &hr);
        EXPECT_EQ(hr, S_OK);
        return site;
    }
};

}  // namespace

TEST_F(ZelEditTest, AHundredThousandCharactersAreKeptWhole) {
    host::ControlSite* edit = AddEdit(NewForm(L"Form1"));
    const std::wstring longText(100000, L'字');
    EXPECT_EQ(edit->Put(L"Text", *TextValue(longText).Get()), S_OK);
    EXPECT_EQ(Text(edit, L"Text"), longText);
}

// With formatting on every key, a text far longer than the host can format is typed into as
// if there were no format.
TEST_F(ZelEditTest, TypingIntoALongTextKeepsIt) {
    host::ControlSite* edit = AddEdit(NewForm(L"Form1"), {{L"FormatOption", LongValue(1)}});
    EXPECT_EQ(edit->Put(L"MaxLength", *LongValue(0).Get()), S_OK);  // at run time: 32,000
    const std::wstring longText(31999, L'9');
    EXPECT_EQ(edit->Put(L"Text", *TextValue(longText).Get()), S_OK);
    EXPECT_EQ(edit->Put(L"Format", *TextValue(L"#,##0").Get()), S_OK);
    HWND child = GetWindow(edit->ControlWindow(), GW_CHILD);
    SendMessageW(child, EM_SETSEL, longText.size(), longText.size());
    SendMessageW(child, WM_CHAR, L'1', 1);
    std::wstring shown = Text(edit, L"Text");
    EXPECT_EQ(shown.size(), 32000u);
    EXPECT_EQ(shown.substr(31990), L"9999999991");
}

TEST_F(ZelEditTest, PropertiesOfTheWrongTypeAreRefused) {
    host::ControlSite* edit = AddEdit(NewForm(L"Form1"));
    struct Case {
        const wchar_t* property;
        com::Variant value;
    } cases[] = {
        {L"MaxLength", TextValue(L"many")}, {L"Alignment", LongValue(-1)},
        {L"FormatOption", LongValue(99)},   {L"IMEMode", LongValue(-3)},
        {L"MaxLength", LongValue(-5)},      {L"ForeColor", LongValue(0x7FFFFFFF)},
        {L"Enabled", TextValue(L"maybe")},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(FAILED(edit->Put(c.property, *c.value.Get())))
            << std::string(c.property, c.property + wcslen(c.property));
    }
    EXPECT_EQ(Text(edit, L"MaxLength"), L"0");
    EXPECT_EQ(Text(edit, L"Enabled"), L"True");
}
