// The property pages on the controls they belong to, in a real container: each control names
// its pages, each page shows the first object's values, a change made as a user makes it marks
// the page dirty and goes into the control on Apply, a refused value is told and stays. The
// boxes of table, field and key names offer the dictionary of a data control on the form; the
// extended lists' condition box says what is wrong as it is typed. Every page is saved as a
// picture in the folder the test prints.
#include <gtest/gtest.h>

#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "controls/ZelBtn.h"
#include "controls/ZelCheck.h"
#include "controls/ZelEdit.h"
#include "controls/ZelLists.h"
#include "controls/ZelOptBtn.h"
#include "controls/ZelPic.h"
#include "controls/ZelScroll.h"
#include "controls/tests/DataControlHost.h"
#include "grid/ZelGrid.h"
#include "host/Screenshot.h"
#include "module/ClassTable.h"
#include "module/PageClassIds.h"
#include "pages/PageDefinitions.h"
#include "pages/PageResources.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;
using namespace zelmor::testing;
using host::TextValue;

namespace {

class TestPageSite : public com::ObjectRoot, public IPropertyPageSite {
  public:
    STDMETHODIMP OnStatusChange(DWORD flags) override {
        statuses.push_back(flags);
        return S_OK;
    }
    STDMETHODIMP GetLocaleID(LCID* locale) override {
        if (locale == nullptr) return E_POINTER;
        *locale = GetUserDefaultLCID();
        return S_OK;
    }
    STDMETHODIMP GetPageContainer(IUnknown** out) override {
        if (out != nullptr) *out = nullptr;
        return E_NOTIMPL;
    }
    STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

    std::vector<DWORD> statuses;

  protected:
    void* FindInterface(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IPropertyPageSite) {
            return static_cast<IPropertyPageSite*>(this);
        }
        return nullptr;
    }
};

std::wstring WindowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// The label's text as the form host reads it: without the accelerator mark and a final colon.
std::wstring LabelName(HWND label) {
    std::wstring text;
    for (wchar_t c : WindowText(label)) {
        if (c != L'&') text += c;
    }
    if (!text.empty() && text.back() == L':') text.pop_back();
    return text;
}

HWND LabelOf(HWND page, const std::wstring& property) {
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (ClassOf(child) == L"Static" && LabelName(child) == property) return child;
    }
    return nullptr;
}

// The box of a property: the next tab stop after its label.
HWND FieldOf(HWND page, const std::wstring& property) {
    HWND label = LabelOf(page, property);
    return label != nullptr ? GetNextDlgTabItem(page, label, FALSE) : nullptr;
}

void Notify(HWND page, HWND box, WORD code) {
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), code),
                 reinterpret_cast<LPARAM>(box));
}

std::vector<std::wstring> Items(HWND box) {
    const bool list = ClassOf(box) == L"ListBox";
    std::vector<std::wstring> items;
    const LRESULT count = SendMessageW(box, list ? LB_GETCOUNT : CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendMessageW(box, list ? LB_GETTEXT : CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items.push_back(text);
    }
    return items;
}

// Changes a box as a user does: types into a text box, picks a list item that starts with
// `value`, ticks a check box ("1") or selects the comma-separated items of a list box; the
// page hears of it as the box would tell it.
void Change(HWND page, const std::wstring& property, const std::wstring& value) {
    HWND box = FieldOf(page, property);
    ASSERT_NE(box, nullptr) << "no box for this property";
    const std::wstring kind = ClassOf(box);
    if (kind == L"Edit") {
        SetWindowTextW(box, value.c_str());  // the box sends EN_CHANGE itself
    } else if (kind == L"ComboBox") {
        ASSERT_GE(SendMessageW(box, CB_SELECTSTRING, -1, reinterpret_cast<LPARAM>(value.c_str())),
                  0);
        Notify(page, box, CBN_SELCHANGE);
    } else if (kind == L"Button") {
        SendMessageW(box, BM_SETCHECK, value == L"1" ? BST_CHECKED : BST_UNCHECKED, 0);
        Notify(page, box, BN_CLICKED);
    } else if (kind == L"ListBox") {
        std::size_t start = 0;
        while (start < value.size()) {
            std::size_t comma = value.find(L',', start);
            if (comma == std::wstring::npos) comma = value.size();
            std::wstring name = value.substr(start, comma - start);
            LRESULT item =
                SendMessageW(box, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(name.c_str()));
            ASSERT_GE(item, 0);
            SendMessageW(box, LB_SETSEL, TRUE, item);
            start = comma + 1;
        }
        Notify(page, box, LBN_SELCHANGE);
    } else {
        FAIL() << "a box of an unknown kind";
    }
}

std::wstring ScreenshotFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"page-screenshots";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

struct PageCase {
    const char* page;
    const CLSID* pageClass;
    HRESULT (*createControl)(REFIID, void**);
    std::vector<const CLSID*> pages;  // what the control names, in its order
    std::vector<std::pair<const wchar_t*, const wchar_t*>> properties;  // set before
    const wchar_t* property;  // the property changed on the page
    const wchar_t* input;     // as the user changes it
    const wchar_t* expected;  // the property afterwards, as a host shows it
};

const CLSID* const kFont = &CLSID_CFontPropPage;
const CLSID* const kColour = &CLSID_CColorPropPage;
const CLSID* const kPicture = &CLSID_CPicturePropPage;

const PageCase kCases[] = {
    {"ZelBtrPpg",
     &CLSID_ZelBtrPpg,
     CreateZelBtr,
     {&CLSID_ZelBtrPpg},
     {},
     L"OwnerName",
     L"秘密",
     L"秘密"},
    {"ZelBtnPpg",
     &CLSID_ZelBtnPpg,
     CreateZelBtn,
     {&CLSID_ZelBtnPpg, kFont, kColour, kPicture},
     {{L"DbTable", L"Customer"}},
     L"DbOperation",
     L"5 - DbGetLast",
     L"5"},
    {"ZelEditPpg",
     &CLSID_ZelEditPpg,
     CreateZelEdit,
     {&CLSID_ZelEditPpg, kFont, kColour},
     {{L"DbTable", L"Customer"}, {L"DbField", L"Name"}},
     L"MaxLength",
     L"12",
     L"12"},
    {"ZelListBoxPpg",
     &CLSID_ZelListBoxPpg,
     CreateZelListBox,
     {&CLSID_ZelListBoxPpg, kFont, kColour},
     {{L"DbListSource", L"Data1"}},
     L"Sort",
     L"1",
     L"True"},
    {"ZelComboBoxPpg",
     &CLSID_ZelComboBoxPpg,
     CreateZelComboBox,
     {&CLSID_ZelComboBoxPpg, kFont, kColour},
     {{L"DbListSource", L"Data1"}},
     L"Style",
     L"2 - DropDownList",
     L"2"},
    {"ZelCheckPpg",
     &CLSID_ZelCheckPpg,
     CreateZelCheck,
     {&CLSID_ZelCheckPpg, kFont, kColour},
     {},
     L"DbValueTrue",
     L"Y",
     L"Y"},
    {"ZelOptBtnPpg",
     &CLSID_ZelOptBtnPpg,
     CreateZelOptBtn,
     {&CLSID_ZelOptBtnPpg, kFont, kColour},
     {},
     L"Caption",
     L"A 種",
     L"A 種"},
    {"ZelPicPpg",
     &CLSID_ZelPicPpg,
     CreateZelPic,
     {&CLSID_ZelPicPpg, kFont, kColour, kPicture},
     {},
     L"Stretch",
     L"1",
     L"True"},
    {"ZelHScrollPpg",
     &CLSID_ZelHScrollPpg,
     CreateZelHScroll,
     {&CLSID_ZelHScrollPpg, kColour},
     {},
     L"LargeChange",
     L"10",
     L"10"},
    {"ZelVScrollPpg",
     &CLSID_ZelVScrollPpg,
     CreateZelVScroll,
     {&CLSID_ZelVScrollPpg, kColour},
     {},
     L"Max",
     L"50",
     L"50"},
    {"ZelGridPpg",
     &CLSID_ZelGridPpg,
     CreateZelGrid,
     {&CLSID_ZelGridPpg, kFont, kColour},
     {{L"DbListSource", L"Data1"}, {L"DbListTable", L"Customer"}, {L"DbListFields", L"Code"}},
     L"Cols",
     L"4",
     L"4"},
    {"ZelExComboBoxPpg",
     &CLSID_ZelExComboBoxPpg,
     CreateZelExComboBox,
     {&CLSID_ZelExComboBoxPpg, &CLSID_ZelExComboBoxPpg2, kFont, kColour},
     {{L"DbListSource", L"Data1"}},
     L"DbMaxRecords",
     L"20",
     L"20"},
    {"ZelExListBoxPpg",
     &CLSID_ZelExListBoxPpg,
     CreateZelExListBox,
     {&CLSID_ZelExListBoxPpg, &CLSID_ZelExListBoxPpg2, kFont, kColour},
     {{L"DbListSource", L"Data1"}},
     L"DbExOperation",
     L"3 - OpStepNextEx",
     L"3"},
    {"ZelExComboBoxPpg2",
     &CLSID_ZelExComboBoxPpg2,
     CreateZelExComboBox,
     {&CLSID_ZelExComboBoxPpg, &CLSID_ZelExComboBoxPpg2, kFont, kColour},
     {{L"DbListSource", L"Data1"}, {L"DbListTable", L"Customer"}},
     L"DbConditions",
     L"@Kind = A",
     L"@Kind = A"},
    {"ZelExListBoxPpg2",
     &CLSID_ZelExListBoxPpg2,
     CreateZelExListBox,
     {&CLSID_ZelExListBoxPpg, &CLSID_ZelExListBoxPpg2, kFont, kColour},
     {{L"DbListSource", L"Data1"}, {L"DbListTable", L"Customer"}, {L"DbListFields", L"Name"}},
     L"DbListFields",
     L"Kind,Code",
     L"Name,Code,Kind"},
};

class PropertyPagesTest : public DataControlFormTest {
  protected:
    void TearDown() override {
        if (page) {
            if (window != nullptr) {
                EXPECT_EQ(page->Deactivate(), S_OK);
            }
            page->SetObjects(0, nullptr);
            page->SetPageSite(nullptr);
        }
        page = nullptr;
        if (host != nullptr) DestroyWindow(host);
        DataControlFormTest::TearDown();
    }

    // A form with the data control Data1 on the sample dictionary, and the control.
    host::ControlSite* AddControl(
        HRESULT (*create)(REFIID, void**),
        const std::vector<std::pair<const wchar_t*, const wchar_t*>>& properties,
        bool withDataControl = true) {
        form = &NewForm(L"Form1", host::SiteMode::Design);
        if (withDataControl) AddDataControl(*form, L"Data1");
        com::ComPtr<IUnknown> control;
        EXPECT_EQ(create(IID_IUnknown, control.PutVoid()), S_OK);
        std::vector<host::NamedValue> values;
        for (const auto& property : properties) {
            values.push_back({property.first, TextValue(property.second)});
        }
        HRESULT hr = E_FAIL;
        host::ControlSite* site =
            form->AddControl({L"Control1", RECT{60, 10, 200, 40}}, control.Get(), values, &hr);
        EXPECT_EQ(hr, S_OK);
        return site;
    }

    // Makes the page through the class table, gives it the objects and shows it in a window
    // of its own size.
    void OpenPage(const CLSID& pageClass, std::vector<IUnknown*> objects) {
        const module::ClassEntry* entry = module::FindClass(module::ClassTable(), pageClass);
        ASSERT_NE(entry, nullptr);
        ASSERT_NE(entry->create, nullptr) << "the page has no creation function";
        ASSERT_EQ(entry->create(IID_IPropertyPage2, page.PutVoid()), S_OK);
        PROPPAGEINFO info{};
        ASSERT_EQ(page->GetPageInfo(&info), S_OK);
        EXPECT_GT(std::wcslen(info.pszTitle), 0u);
        EXPECT_GT(std::wcslen(info.pszDocString), 0u);
        CoTaskMemFree(info.pszTitle);
        CoTaskMemFree(info.pszDocString);
        size = info.size;
        ASSERT_GT(size.cx, 100);
        ASSERT_GT(size.cy, 50);
        host = CreateWindowExW(0, L"Static", L"", WS_POPUP | WS_VISIBLE | SS_GRAYRECT, 0, 0,
                               size.cx, size.cy, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host, nullptr);
        ASSERT_EQ(page->SetPageSite(site.Get()), S_OK);
        ASSERT_EQ(page->SetObjects(static_cast<ULONG>(objects.size()), objects.data()), S_OK);
        RECT rect{0, 0, size.cx, size.cy};
        ASSERT_EQ(page->Activate(host, &rect, FALSE), S_OK);
        ASSERT_EQ(page->Show(SW_SHOW), S_OK);
        window = GetWindow(host, GW_CHILD);
        ASSERT_NE(window, nullptr);
    }

    std::wstring Property(host::ControlSite* control, const std::wstring& name) {
        com::Variant value;
        EXPECT_EQ(control->Get(name, value.Put()), S_OK);
        return host::TextOfValue(*value.Get());
    }

    void SaveScreenshot(const char* name) {
        UpdateWindow(window);
        form->PumpMessages();
        host::Screenshot shot;
        ASSERT_TRUE(host::CaptureWindow(window, &shot));
        EXPECT_GT(shot.ColourCount(), 2u) << "the page shows something";
        std::string file(name);
        const std::wstring path =
            ScreenshotFolder() + L"\\" + std::wstring(file.begin(), file.end()) + L".bmp";
        EXPECT_TRUE(host::WriteBitmapFile(shot, path));
    }

    platform::RecordingPlatform recorder;
    platform::ScopedPlatform recording{recorder};
    com::ComPtr<com::ComInstance<TestPageSite>> site = com::MakeInstance<TestPageSite>();
    host::Form* form = nullptr;
    com::ComPtr<IPropertyPage2> page;
    HWND host = nullptr;
    HWND window = nullptr;
    SIZE size{};
};

class EveryPageTest : public PropertyPagesTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(EveryPageTest, ShowsTheControlsValuesAndAppliesAChange) {
    const PageCase& c = GetParam();
    host::ControlSite* control = AddControl(c.createControl, c.properties);
    ASSERT_NE(control, nullptr);

    // The control names its own pages first, then the stock ones.
    auto specify = com::ComPtr<IUnknown>(control->Object()).As<ISpecifyPropertyPages>();
    ASSERT_TRUE(specify);
    CAUUID named{};
    ASSERT_EQ(specify->GetPages(&named), S_OK);
    std::vector<GUID> listed(named.pElems, named.pElems + named.cElems);
    CoTaskMemFree(named.pElems);
    ASSERT_EQ(listed.size(), c.pages.size());
    for (std::size_t i = 0; i < listed.size(); ++i) EXPECT_TRUE(listed[i] == *c.pages[i]) << i;

    OpenPage(*c.pageClass, {control->Object()});
    if (HasFatalFailure()) return;

    // Every property has its label and, as the next tab stop, its box; nothing lies outside
    // the page and no label is cut.
    const pages::PageDefinition* definition =
        pages::FindPageDefinition(std::wstring(c.page, c.page + std::strlen(c.page)));
    ASSERT_NE(definition, nullptr);
    HDC dc = GetDC(window);
    HGDIOBJ oldFont =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(window, WM_GETFONT, 0, 0)));
    for (std::size_t i = 0; i < definition->fieldCount; ++i) {
        const std::wstring name = definition->fields[i].name;
        SCOPED_TRACE(std::string(name.begin(), name.end()));
        HWND label = LabelOf(window, name);
        ASSERT_NE(label, nullptr);
        HWND box = FieldOf(window, name);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(GetDlgCtrlID(box), IDC_PAGE_FIELD + static_cast<int>(i));
        SIZE text{};
        const std::wstring labelText = WindowText(label);
        GetTextExtentPoint32W(dc, labelText.c_str(), static_cast<int>(labelText.size()), &text);
        RECT labelRect{};
        GetClientRect(label, &labelRect);
        EXPECT_LE(text.cx, labelRect.right) << "the label is cut";
        for (HWND shown : {label, box}) {
            RECT r{};
            GetWindowRect(shown, &r);
            MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
            EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= size.cx && r.bottom <= size.cy)
                << "outside the page: " << r.left << "," << r.top << "," << r.right << ","
                << r.bottom;
        }
    }
    SelectObject(dc, oldFont);
    ReleaseDC(window, dc);

    // The values of the control are on the page.
    for (const auto& property : c.properties) {
        if (definition->IndexOf(property.first) >= 0) {
            HWND box = FieldOf(window, property.first);
            if (ClassOf(box) != L"ListBox") {
                EXPECT_EQ(WindowText(box), property.second);
            }
        }
    }

    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    Change(window, c.property, c.input);
    if (HasFatalFailure()) return;
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    ASSERT_FALSE(site->statuses.empty());
    EXPECT_EQ(site->statuses.back() & PROPPAGESTATUS_DIRTY,
              static_cast<DWORD>(PROPPAGESTATUS_DIRTY));
    EXPECT_NE(Property(control, c.property), c.expected) << "not before Apply";
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(Property(control, c.property), c.expected);
    EXPECT_TRUE(recorder.Messages().empty());
    SaveScreenshot(c.page);
}

INSTANTIATE_TEST_SUITE_P(Pages, EveryPageTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<PageCase>& info) {
                             return std::string(info.param.page);
                         });

TEST_F(PropertyPagesTest, ARefusedValueIsToldAndStaysUntilAGoodOneGoesIn) {
    host::ControlSite* control = AddControl(CreateZelEdit, {{L"MaxLength", L"5"}});
    OpenPage(CLSID_ZelEditPpg, {control->Object()});
    if (HasFatalFailure()) return;
    Change(window, L"Format", L"#,##0");
    Change(window, L"MaxLength", L"-1");
    const HRESULT refused = page->Apply();
    EXPECT_EQ(refused, CTL_E_INVALIDPROPERTYVALUE);
    // Told to the user, and to the site as the error of Apply.
    ASSERT_EQ(recorder.Messages().size(), 1u);
    EXPECT_NE(recorder.Messages()[0].text.find("MaxLength"), std::string::npos);
    com::ComPtr<IErrorInfo> error;
    ASSERT_EQ(GetErrorInfo(0, error.Put()), S_OK);
    com::Bstr description;
    ASSERT_EQ(error->GetDescription(description.Put()), S_OK);
    EXPECT_NE(std::wstring(description.Get()).find(L"MaxLength"), std::wstring::npos);
    // The other change went in; the refused one stays on the page, still dirty.
    EXPECT_EQ(Property(control, L"Format"), L"#,##0");
    EXPECT_EQ(Property(control, L"MaxLength"), L"5");
    EXPECT_EQ(WindowText(FieldOf(window, L"MaxLength")), L"-1");
    EXPECT_EQ(page->IsPageDirty(), S_OK);

    Change(window, L"MaxLength", L"7");
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    EXPECT_EQ(Property(control, L"MaxLength"), L"7");
    EXPECT_EQ(recorder.Messages().size(), 1u);
}

TEST_F(PropertyPagesTest, TextThatIsNoNumberIsRefusedByTheControl) {
    host::ControlSite* control = AddControl(CreateZelHScroll, {});
    OpenPage(CLSID_ZelHScrollPpg, {control->Object()});
    if (HasFatalFailure()) return;
    const std::wstring before = Property(control, L"SmallChange");
    for (const wchar_t* input : {L"abc", L"", L"0"}) {
        recorder.Clear();
        Change(window, L"SmallChange", input);
        EXPECT_TRUE(FAILED(page->Apply())) << input;
        EXPECT_EQ(recorder.Messages().size(), 1u) << input;
        EXPECT_EQ(page->IsPageDirty(), S_OK);
        EXPECT_EQ(Property(control, L"SmallChange"), before);
    }
}

TEST_F(PropertyPagesTest, EditPropertyGoesToTheBoxAndTabMovesOn) {
    host::ControlSite* control = AddControl(CreateZelEdit, {});
    OpenPage(CLSID_ZelEditPpg, {control->Object()});
    if (HasFatalFailure()) return;
    SetForegroundWindow(host);
    DISPID maxLength = 0;
    ASSERT_EQ(host::MemberId(control->Dispatch(), L"MaxLength", &maxLength), S_OK);
    EXPECT_EQ(page->EditProperty(maxLength), S_OK);
    HWND box = FieldOf(window, L"MaxLength");
    EXPECT_EQ(GetFocus(), box);
    EXPECT_EQ(page->EditProperty(DISPID_FONT), E_NOTIMPL) << "the font is not on this page";

    MSG tab{box, WM_KEYDOWN, VK_TAB, 0, 0, {}};
    EXPECT_EQ(page->TranslateAccelerator(&tab), S_OK);
    EXPECT_EQ(GetFocus(), FieldOf(window, L"PasswordChar"));
}

TEST_F(PropertyPagesTest, ApplyWritesEveryObjectAndAChangeOutlivesTheWindow) {
    host::ControlSite* first = AddControl(CreateZelEdit, {});
    com::ComPtr<IUnknown> other;
    ASSERT_EQ(CreateZelEdit(IID_IUnknown, other.PutVoid()), S_OK);
    ASSERT_NE(form->AddControl({L"Control2", RECT{60, 50, 200, 80}}, other.Get()), nullptr);
    host::ControlSite* second = form->FindControl(L"Control2");
    OpenPage(CLSID_ZelEditPpg, {first->Object(), second->Object()});
    if (HasFatalFailure()) return;
    Change(window, L"PasswordChar", L"*");
    Change(window, L"ReadOnly", L"1");
    ASSERT_EQ(page->Deactivate(), S_OK);
    window = nullptr;
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    EXPECT_EQ(page->Apply(), S_OK);
    for (host::ControlSite* control : {first, second}) {
        EXPECT_EQ(Property(control, L"PasswordChar"), L"*");
        EXPECT_EQ(Property(control, L"ReadOnly"), L"True");
    }
}

TEST_F(PropertyPagesTest, NameBoxesOfferTheDictionaryOfTheDataControlOnTheForm) {
    host::ControlSite* control =
        AddControl(CreateZelBtn, {{L"DbSource", L"Data1"}, {L"DbTable", L"Customer"}});
    OpenPage(CLSID_ZelBtnPpg, {control->Object()});
    if (HasFatalFailure()) return;
    HWND table = FieldOf(window, L"DbTable");
    HWND index = FieldOf(window, L"DbIndex");
    EXPECT_EQ(ClassOf(table), L"ComboBox");
    EXPECT_EQ(Items(table),
              (std::vector<std::wstring>{L"Customer", L"Orders", L"Memo", L"Pictures"}));
    EXPECT_EQ(WindowText(table), L"Customer");
    EXPECT_EQ(Items(index), (std::vector<std::wstring>{L"Code", L"ByKind"}));
    SaveScreenshot("ZelBtnPpg-dictionary");

    // Another table: the keys follow it.
    Change(window, L"DbTable", L"Orders");
    EXPECT_EQ(WindowText(table), L"Orders");
    EXPECT_EQ(Items(index), (std::vector<std::wstring>{L"No", L"Customer"}));
    Change(window, L"DbIndex", L"Customer");
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Property(control, L"DbTable"), L"Orders");
    EXPECT_EQ(Property(control, L"DbIndex"), L"Customer");
}

TEST_F(PropertyPagesTest, WithoutTheDataControlOnTheFormNamesAreTyped) {
    host::ControlSite* control =
        AddControl(CreateZelEdit, {{L"DbSource", L"Data1"}, {L"DbTable", L"Customer"}}, false);
    OpenPage(CLSID_ZelEditPpg, {control->Object()});
    if (HasFatalFailure()) return;
    HWND table = FieldOf(window, L"DbTable");
    ASSERT_EQ(ClassOf(table), L"Edit");
    EXPECT_EQ(GetDlgCtrlID(table), IDC_PAGE_FIELD + 1);
    EXPECT_EQ(WindowText(table), L"Customer");
    EXPECT_EQ(ClassOf(FieldOf(window, L"DbField")), L"Edit");
    Change(window, L"DbField", L"Kana");
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(Property(control, L"DbField"), L"Kana");
    SaveScreenshot("ZelEditPpg-typed-names");
}

TEST_F(PropertyPagesTest, TheConditionIsCheckedAsItIsTyped) {
    host::ControlSite* control = AddControl(CreateZelExListBox, {{L"DbListSource", L"Data1"},
                                                                 {L"DbListTable", L"Customer"},
                                                                 {L"DbListFields", L"Name,Code"}});
    OpenPage(CLSID_ZelExListBoxPpg2, {control->Object()});
    if (HasFatalFailure()) return;
    HWND fields = FieldOf(window, L"DbListFields");
    ASSERT_EQ(ClassOf(fields), L"ListBox");
    EXPECT_EQ(Items(fields),
              (std::vector<std::wstring>{L"Code", L"Name", L"Kind", L"Joined", L"Note"}));
    EXPECT_EQ(SendMessageW(fields, LB_GETSELCOUNT, 0, 0), 2);

    HWND message = GetDlgItem(window, IDC_PAGE_MESSAGE + 1);
    ASSERT_NE(message, nullptr);
    EXPECT_EQ(WindowText(message), L"");
    const struct {
        const wchar_t* condition;
        const wchar_t* message;  // how it begins
    } cases[] = {
        {L"Code = 1", L"VE041"},
        {L"@Kana = 1", L"VE818"},
        {L"@Code = 1 &", L"VE041"},
        {L"@Code = 1", L""},
        {L"", L""},
    };
    for (const auto& c : cases) {
        Change(window, L"DbConditions", c.condition);
        EXPECT_EQ(WindowText(message).substr(0, 5), c.message) << WindowText(message);
    }
    // The message shows "&" as it is, not as a mnemonic.
    EXPECT_NE(GetWindowLongPtrW(message, GWL_STYLE) & SS_NOPREFIX, 0);
    Change(window, L"DbConditions", L"@Code = & @Kind = A");
    EXPECT_EQ(WindowText(message).substr(0, 5), L"VE046");
    SaveScreenshot("ZelExListBoxPpg2-bad-condition");
    EXPECT_TRUE(recorder.Messages().empty()) << "the check shows no box";
}

}  // namespace
