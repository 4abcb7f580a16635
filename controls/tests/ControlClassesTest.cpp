// What every control class shares, checked for each of them in a real container: the setter
// protocol, the stock mouse and key events, the mouse pointer, and persistence in the order of
// the class's property list through a property bag and a stream. Each control adds a row.
#include <gtest/gtest.h>

#include <olectl.h>

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
#include "platform/CodePage.h"

using namespace zelmor;
using namespace zelmor::testing;
using host::BoolValue;
using host::LongValue;
using host::TextValue;

namespace {

// What a class shares with others beyond persistence.
enum Shares : unsigned {
    kNothingMore = 0,
    kKeys = 1,        // a window with the stock key events and the mouse pointer
    kMouse = 2,       // the stock mouse events
    kAppearance = 4,  // the stock Appearance and MousePointer setters
    kEverything = kKeys | kMouse | kAppearance,
};

struct ControlCase {
    const char* name;
    HRESULT (*create)(REFIID, void**);
    // The persisted properties after the extent, in their order.
    std::vector<const wchar_t*> persisted;
    // Values other than the defaults, set before a save.
    std::vector<std::pair<const wchar_t*, long>> numbers;
    std::vector<std::pair<const wchar_t*, const wchar_t*>> texts;
    unsigned shares;
};

const ControlCase kControls[] = {
    {"ZelBtr",
     CreateZelBtr,
     {L"DDFDir", L"OwnerName", L"OpenMode", L"AllOpen", L"DistName", L"CacheDDF"},
     {{L"OpenMode", 4}},
     {{L"OwnerName", L"秘密"}, {L"DistName", L"Sales"}},
     kNothingMore},
    {"ZelEdit",
     CreateZelEdit,
     {L"DbSource",  L"DbTable",     L"DbField",      L"MaxLength",  L"PasswordChar",
      L"Format",    L"MultiLine",   L"Alignment",    L"ReadOnly",   L"UpperCase",
      L"IMEMode",   L"NumericMask", L"FormatOption", L"Appearance", L"BorderStyle",
      L"BackColor", L"ForeColor",   L"Font",         L"MouseIcon",  L"MousePointer",
      L"TabStop",   L"Text",        L"Enabled"},
     {{L"MaxLength", 12},
      {L"Alignment", 2},
      {L"IMEMode", 4},
      {L"FormatOption", 3},
      {L"Appearance", 0},
      {L"BorderStyle", 0},
      {L"BackColor", 0xFF},
      {L"MousePointer", 11}},
     {{L"DbSource", L"Data1"},
      {L"DbTable", L"Customer"},
      {L"DbField", L"Name"},
      {L"PasswordChar", L"*"},
      {L"Format", L"#,##0"},
      {L"Text", L"山田"}},
     kEverything},
    {"ZelBtn",
     CreateZelBtn,
     {L"DbSource", L"DbTable", L"DbIndex", L"DbOperation", L"Abort", L"ConfirmMsg", L"Cancel",
      L"Default", L"DbLocks", L"ClearControlData", L"Style", L"Appearance", L"BackColor", L"Font",
      L"Caption", L"MouseIcon", L"MousePointer", L"Picture", L"TabStop", L"Enabled"},
     {{L"DbOperation", 5}, {L"DbLocks", 2}, {L"Style", 1}, {L"BackColor", 0xFF00}},
     {{L"DbSource", L"Data1"}, {L"DbIndex", L"ByCode"}, {L"ConfirmMsg", L"よろしいですか"},
      {L"Caption", L"最後"}},
     kEverything},
    {"ZelCheck",
     CreateZelCheck,
     {L"DbSource", L"DbTable", L"DbField", L"DbValueTrue", L"DbValueFalse", L"Alignment",
      L"DbValueIndeterminate", L"Appearance", L"BackColor", L"Caption", L"ForeColor", L"Font",
      L"MouseIcon", L"MousePointer", L"TabStop", L"Enabled"},
     {{L"Alignment", 1}, {L"Appearance", 1}},
     {{L"DbField", L"Active"}, {L"DbValueTrue", L"1"}, {L"DbValueFalse", L"0"},
      {L"DbValueIndeterminate", L"?"}, {L"Caption", L"有効"}},
     kEverything},
    {"ZelOptBtn",
     CreateZelOptBtn,
     {L"DbSource", L"DbTable", L"DbField", L"DbValueTrue", L"DbValueFalse", L"Alignment",
      L"Appearance", L"BackColor", L"Caption", L"ForeColor", L"Font", L"MouseIcon",
      L"MousePointer", L"TabStop", L"Enabled"},
     {{L"Alignment", 1}, {L"MousePointer", 3}},
     {{L"DbField", L"Kind"}, {L"DbValueTrue", L"A"}, {L"Caption", L"A 種"}},
     kEverything},
    {"ZelListBox",
     CreateZelListBox,
     {L"Sort", L"IntegralHeight", L"DbSource", L"DbTable", L"DbField", L"DbListSource",
      L"DbListTable", L"DbListField", L"DbListIndex", L"DbUpdateOption", L"Appearance",
      L"BorderStyle", L"BackColor", L"ForeColor", L"Font", L"MouseIcon", L"MousePointer",
      L"TabStop", L"Text", L"Enabled"},
     {{L"Sort", 1}, {L"IntegralHeight", 1}, {L"DbUpdateOption", 2}, {L"BorderStyle", 0}},
     {{L"DbField", L"Name"}, {L"DbListSource", L"Data1"}, {L"DbListTable", L"Customer"},
      {L"DbListField", L"Name"}, {L"DbListIndex", L"ByKana"}},
     kEverything},
    {"ZelComboBox",
     CreateZelComboBox,
     {L"Style", L"IntegralHeight", L"Sort", L"DbSource", L"DbTable", L"DbField",
      L"DbListSource", L"DbListTable", L"DbListField", L"DbListIndex", L"ImeMode",
      L"DbUpdateOption", L"Appearance", L"BackColor", L"ForeColor", L"Font", L"MouseIcon",
      L"MousePointer", L"TabStop", L"Text", L"Enabled"},
     {{L"Style", 2}, {L"Sort", 1}, {L"ImeMode", 4}, {L"DbUpdateOption", 0}},
     {{L"DbField", L"Kind"}, {L"DbListField", L"Name"}, {L"DbListIndex", L"BySku"}},
     kEverything},
    {"ZelExListBox",
     CreateZelExListBox,
     {L"DbListSource", L"DbListTable", L"DbListField", L"DbSource", L"DbTable", L"DbField",
      L"DbUpdateOption", L"DbConditions", L"DbLeaveResults", L"DbLocks", L"DbExOperation",
      L"DbListIndex", L"DbDelimitChar", L"DbCompareCase", L"DbSkipRecords", L"DbMaxRecords",
      L"DbSavePosition", L"Sort", L"IntegralHeight", L"DbTabStops", L"Appearance",
      L"BackColor", L"BorderStyle", L"ForeColor", L"Font", L"MouseIcon", L"MousePointer",
      L"TabStop", L"Text", L"Enabled"},
     {{L"DbLeaveResults", 1}, {L"DbLocks", 2}, {L"DbExOperation", 3}, {L"DbCompareCase", 1},
      {L"DbSkipRecords", 7}, {L"DbMaxRecords", 50}, {L"DbSavePosition", 1}},
     {{L"DbConditions", L"@Kind = A"}, {L"DbDelimitChar", L"/"}, {L"DbTabStops", L"8"},
      {L"DbListTable", L"Customer"}, {L"DbListField", L"Code,Name"}},
     kEverything},
    {"ZelExComboBox",
     CreateZelExComboBox,
     {L"DbListSource", L"DbListTable", L"DbListField", L"DbSource", L"DbTable", L"DbField",
      L"DbUpdateOption", L"DbConditions", L"DbLeaveResults", L"DbLocks", L"DbExOperation",
      L"DbListIndex", L"DbDelimitChar", L"DbCompareCase", L"DbSkipRecords", L"DbMaxRecords",
      L"DbSavePosition", L"Sort", L"IntegralHeight", L"Style", L"ImeMode", L"Appearance",
      L"BackColor", L"ForeColor", L"Font", L"MouseIcon", L"MousePointer", L"TabStop", L"Text",
      L"Enabled"},
     {{L"Style", 1}, {L"IntegralHeight", 0}, {L"DbMaxRecords", 65535}},
     {{L"DbConditions", L"@Code > 1"}, {L"DbDelimitChar", L" / "}},
     kEverything},
    {"ZelHScroll",
     CreateZelHScroll,
     {L"DbSource", L"DbTable", L"DbIndex", L"LargeChange", L"SmallChange", L"Max", L"Min",
      L"MouseIcon", L"MousePointer", L"TabStop", L"Enabled"},
     {{L"LargeChange", 3}, {L"SmallChange", 2}, {L"Max", 100}, {L"Min", 5}, {L"TabStop", 0}},
     {{L"DbSource", L"Data1"}, {L"DbTable", L"Customer"}, {L"DbIndex", L"ByCode"}},
     kKeys},
    {"ZelVScroll",
     CreateZelVScroll,
     {L"DbSource", L"DbTable", L"DbIndex", L"LargeChange", L"SmallChange", L"Max", L"Min",
      L"MouseIcon", L"MousePointer", L"TabStop", L"Enabled"},
     {{L"LargeChange", 10}, {L"MousePointer", 7}, {L"Enabled", 0}},
     {{L"DbIndex", L"ByKana"}},
     kKeys},
    {"ZelPic",
     CreateZelPic,
     {L"DbSource", L"DbTable", L"DbField", L"Stretch", L"BlobPath", L"Appearance", L"BackColor",
      L"BorderStyle", L"Enabled", L"ForeColor", L"Font", L"MouseIcon", L"MousePointer",
      L"Picture"},
     {{L"Stretch", 1}, {L"Appearance", 0}, {L"BorderStyle", 0}, {L"ForeColor", 0xFF}},
     {{L"DbField", L"Image"}, {L"BlobPath", L"C:\\画像"}},
     kEverything},
    // A grid of one column and no fixed one comes back whole, although its Cols is read
    // before its FixedCols.
    {"ZelGrid",
     CreateZelGrid,
     {L"DbListSource", L"DbListTable", L"DbListFields", L"DbConditions", L"Cols", L"Rows",
      L"FixedCols", L"FixedRows", L"DbCompareCase", L"DbExOperation", L"DbLeaveResults",
      L"DbLocks", L"DbMaxRecords", L"DbSkipRecords", L"DbUpdateOption", L"GridLines",
      L"HighLight", L"FillStyle", L"GridLineWidth", L"SetColNames", L"SetRecordNumbers",
      L"DbListIndex", L"ScrollBars", L"AllowUpdate", L"AllowDelete", L"AlignFixedCells",
      L"SetColWidth", L"AllowUserResizing", L"Appearance", L"BackColor", L"BorderStyle",
      L"ForeColor", L"Font", L"MouseIcon", L"MousePointer", L"TabStop", L"Enabled"},
     {{L"FixedCols", 0}, {L"Cols", 1}, {L"Rows", 40}, {L"FixedRows", 0}, {L"DbLeaveResults", 1},
      {L"GridLineWidth", 2}, {L"ScrollBars", 1}, {L"AllowUserResizing", 0},
      {L"DbMaxRecords", 50}, {L"BackColor", 0xFF}},
     {{L"DbListSource", L"Data1"}, {L"DbListTable", L"Customer"}, {L"DbListFields", L"Code"},
      {L"DbConditions", L"@Kind = A"}, {L"DbListIndex", L"ByKindName"}},
     kMouse | kAppearance},
};

void PrintTo(const ControlCase& control, std::ostream* out) {
    *out << control.name;
}

class ControlClasses : public DataControlFormTest,
                       public ::testing::WithParamInterface<ControlCase> {
  protected:
    host::ControlSite* Add(host::Form& form, const std::wstring& name,
                           std::vector<host::NamedValue> properties = {}) {
        com::ComPtr<IUnknown> object;
        EXPECT_EQ(GetParam().create(IID_IUnknown, object.PutVoid()), S_OK);
        HRESULT hr = E_FAIL;
        host::ControlSite* site = form.AddControl({name, RECT{10, 10, 170, 40}}, object.Get(),
                                                  std::move(properties), &hr);
        EXPECT_EQ(hr, S_OK);
        return site;
    }
    // A control with the row's values other than the defaults.
    host::ControlSite* AddChanged(host::Form& form, const std::wstring& name) {
        std::vector<host::NamedValue> values;
        for (const auto& [property, number] : GetParam().numbers) {
            values.push_back({property, LongValue(number)});
        }
        for (const auto& [property, text] : GetParam().texts) {
            values.push_back({property, TextValue(text)});
        }
        return Add(form, name, std::move(values));
    }
    void ExpectSameProperties(host::ControlSite* copy, host::ControlSite* original) {
        for (const wchar_t* persisted : GetParam().persisted) {
            // The extended lists persist their DbListFields under the plain lists' name.
            com::Variant probe;
            const std::wstring property =
                std::wstring(persisted) == L"DbListField" &&
                        original->Get(persisted, probe.Put()) == DISP_E_UNKNOWNNAME
                    ? L"DbListFields"
                    : persisted;
            EXPECT_EQ(Text(copy, property), Text(original, property))
                << platform::Utf16ToUtf8(std::u16string(property.begin(), property.end()));
        }
    }
    // The window that takes the keys and the mouse: the one in the middle of the control (the
    // hosted one, or the control's own where only scroll bars lie at its edges).
    static HWND Child(host::ControlSite* site) {
        HWND control = site->ControlWindow();
        RECT client{};
        GetClientRect(control, &client);
        HWND child = ChildWindowFromPointEx(control, POINT{client.right / 2, client.bottom / 2},
                                            CWP_SKIPINVISIBLE);
        return child ? child : control;
    }
};

// The classes that share more, one group each.
using WindowedControls = ControlClasses;
using MouseControls = ControlClasses;
using AppearanceControls = ControlClasses;

std::vector<ControlCase> Sharing(unsigned share) {
    std::vector<ControlCase> sharing;
    for (const ControlCase& control : kControls) {
        if (control.shares & share) sharing.push_back(control);
    }
    return sharing;
}

std::string NameOf(const ::testing::TestParamInfo<ControlCase>& info) {
    return info.param.name;
}

}  // namespace

TEST_P(ControlClasses, PersistedInTheirOrderThroughABagAndAStream) {
    host::Form& form = NewForm(L"Form1", host::SiteMode::Design);
    host::ControlSite* original = AddChanged(form, L"Original");
    // The changed values hold before they are saved (a True reads as 1).
    for (const auto& [property, number] : GetParam().numbers) {
        com::Variant value;
        ASSERT_EQ(original->Get(property, value.Put()), S_OK);
        if (V_VT(value.Get()) == VT_BOOL) {
            EXPECT_EQ(V_BOOL(value.Get()) != VARIANT_FALSE, number != 0);
        } else {
            ASSERT_EQ(VariantChangeType(value.Get(), value.Get(), 0, VT_I4), S_OK);
            EXPECT_EQ(V_I4(value.Get()), number);
        }
    }
    com::ComPtr<IPersistPropertyBag> bagPersist;
    ASSERT_EQ(original->Object()->QueryInterface(IID_IPersistPropertyBag, bagPersist.PutVoid()),
              S_OK);
    auto bag = com::MakeInstance<host::PropertyBag>(std::vector<host::NamedValue>{});
    ASSERT_EQ(bagPersist->Save(bag.Get(), TRUE, TRUE), S_OK);
    std::vector<std::wstring> names;
    for (const host::NamedValue& value : bag->Values()) names.push_back(value.name);
    std::vector<std::wstring> expected = {L"_cx", L"_cy"};
    expected.insert(expected.end(), GetParam().persisted.begin(), GetParam().persisted.end());
    EXPECT_EQ(names, expected);
    host::ControlSite* fromBag =
        Add(NewForm(L"Form2", host::SiteMode::Design), L"FromBag", bag->Values());
    ExpectSameProperties(fromBag, original);

    com::ComPtr<IPersistStreamInit> streamPersist;
    ASSERT_EQ(original->Object()->QueryInterface(IID_IPersistStreamInit, streamPersist.PutVoid()),
              S_OK);
    com::ComPtr<IStream> stream;
    ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
    ASSERT_EQ(streamPersist->Save(stream.Get(), TRUE), S_OK);
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    host::ControlSite* fromStream = Add(NewForm(L"Form3", host::SiteMode::Design), L"FromStream");
    com::ComPtr<IPersistStreamInit> copyPersist;
    fromStream->Object()->QueryInterface(IID_IPersistStreamInit, copyPersist.PutVoid());
    ASSERT_EQ(copyPersist->Load(stream.Get()), S_OK);
    ExpectSameProperties(fromStream, original);
}

TEST_P(AppearanceControls, ASetterAtItsCurrentValueNotifiesNothing) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* site = Add(form, L"Control1");
    site->Notifications().ClearRecords();
    const long current = std::stol(Text(site, L"Appearance"));
    EXPECT_EQ(site->Put(L"Appearance", *LongValue(current).Get()), S_OK);
    EXPECT_TRUE(site->Notifications().Records().empty());
    EXPECT_EQ(site->Put(L"Appearance", *LongValue(1 - current).Get()), S_OK);
    using Kind = host::PropertyNotification::Kind;
    EXPECT_EQ(site->Notifications().CountOf(Kind::RequestEdit, DISPID_APPEARANCE), 1u);
    EXPECT_EQ(site->Notifications().CountOf(Kind::Changed, DISPID_APPEARANCE), 1u);
    // A refusal is no failure (the dispatch layer reports it as done), and nothing changes.
    site->Notifications().Refuse(DISPID_MOUSEPOINTER);
    EXPECT_EQ(site->Put(L"MousePointer", *LongValue(2).Get()), S_OK);
    EXPECT_EQ(Text(site, L"MousePointer"), L"0");
    EXPECT_EQ(site->Put(L"Appearance", *LongValue(5).Get()), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_NE(site->Put(L"Appearance", *TextValue(L"sunken").Get()), S_OK);
}

// Buttons 1 left, 2 right; Shift 1 Shift, 2 Ctrl; X and Y unsigned 16-bit pixels.
TEST_P(MouseControls, MouseEventsCarryButtonsShiftAndUnsignedPositions) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* site = Add(form, L"Control1");
    HWND child = Child(site);
    ASSERT_NE(child, nullptr);
    struct Case {
        UINT message;
        WPARAM keys;
        LPARAM position;
        const wchar_t* event;
        const wchar_t* arguments;  // Button, Shift, X, Y
    } cases[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON | MK_CONTROL, MAKELPARAM(3, 4), L"MouseDown", L"1 2 3 4"},
        {WM_LBUTTONUP, MK_SHIFT, MAKELPARAM(3, 4), L"MouseUp", L"1 1 3 4"},
        {WM_RBUTTONDOWN, MK_RBUTTON | MK_SHIFT | MK_CONTROL, MAKELPARAM(1, 2), L"MouseDown",
         L"2 3 1 2"},
        {WM_MOUSEMOVE, 0, MAKELPARAM(-10, 5), L"MouseMove", L"0 0 65526 5"},
    };
    for (const Case& c : cases) {
        site->Events().ClearRecords();
        SendMessageW(child, c.message, c.keys, c.position);
        const host::EventRecord* record = site->Events().Last(c.event);
        ASSERT_NE(record, nullptr) << c.message;
        std::wstring arguments;
        for (const com::Variant& argument : record->arguments) {
            if (!arguments.empty()) arguments += L" ";
            arguments += host::TextOfValue(*argument.Get());
        }
        EXPECT_EQ(arguments, c.arguments) << c.message;
    }
}

// A KeyPress handler that sets KeyAscii to 0 takes the key: the container never passes it on.
TEST_P(WindowedControls, KeyAsciiZeroTakesTheKey) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* site = Add(form, L"Control1");
    com::ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(site->Object()->QueryInterface(IID_IOleInPlaceActiveObject, active.PutVoid()), S_OK);
    MSG character{Child(site), WM_CHAR, 'a', 1, 0, {}};
    EXPECT_EQ(active->TranslateAccelerator(&character), S_FALSE);  // goes on to the window
    site->Events().OnEvent(
        L"KeyPress", [](host::EventCall& call) { call.Set(L"KeyAscii", *LongValue('b').Get()); });
    EXPECT_EQ(active->TranslateAccelerator(&character), S_FALSE);
    EXPECT_EQ(character.wParam, static_cast<WPARAM>('b'));  // the handler's character goes on
    site->Events().OnEvent(
        L"KeyPress", [](host::EventCall& call) { call.Set(L"KeyAscii", *LongValue(0).Get()); });
    EXPECT_EQ(active->TranslateAccelerator(&character), S_OK);
    EXPECT_EQ(site->Events().CountOf(L"KeyPress"), 3u);
}

// 99 shows MouseIcon (nothing happens without one); 16 and other unlisted values leave the
// window's own cursor; a listed value shows its system cursor.
TEST_P(WindowedControls, MousePointers) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* site = Add(form, L"Control1");
    HWND child = Child(site);
    auto cursorAfterSetCursor = [&] {
        SetCursor(nullptr);
        SendMessageW(child, WM_SETCURSOR, reinterpret_cast<WPARAM>(child),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        return GetCursor();
    };
    EXPECT_EQ(site->Put(L"MousePointer", *LongValue(2).Get()), S_OK);
    EXPECT_EQ(cursorAfterSetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32515)));
    EXPECT_EQ(site->Put(L"MousePointer", *LongValue(99).Get()), S_OK);  // no icon: no failure
    cursorAfterSetCursor();
    EXPECT_EQ(site->Put(L"MousePointer", *LongValue(16).Get()), S_OK);
    EXPECT_NE(cursorAfterSetCursor(), LoadCursorW(nullptr, MAKEINTRESOURCEW(32515)));

    HICON icon = LoadIconW(nullptr, MAKEINTRESOURCEW(32516));  // IDI_INFORMATION
    PICTDESC description{};
    description.cbSizeofstruct = sizeof description;
    description.picType = PICTYPE_ICON;
    description.icon.hicon = icon;
    com::ComPtr<IPictureDisp> picture;
    ASSERT_EQ(OleCreatePictureIndirect(&description, IID_IPictureDisp, FALSE, picture.PutVoid()),
              S_OK);
    com::Variant value;
    V_VT(value.Get()) = VT_DISPATCH;
    V_DISPATCH(value.Get()) = picture.Detach();
    EXPECT_EQ(site->Put(L"MouseIcon", *value.Get()), S_OK);
    EXPECT_EQ(site->Put(L"MousePointer", *LongValue(99).Get()), S_OK);
    EXPECT_EQ(cursorAfterSetCursor(), reinterpret_cast<HCURSOR>(icon));
}

INSTANTIATE_TEST_SUITE_P(EveryClass, ControlClasses, ::testing::ValuesIn(kControls), NameOf);
INSTANTIATE_TEST_SUITE_P(EveryClass, WindowedControls, ::testing::ValuesIn(Sharing(kKeys)), NameOf);
INSTANTIATE_TEST_SUITE_P(EveryClass, MouseControls, ::testing::ValuesIn(Sharing(kMouse)), NameOf);
INSTANTIATE_TEST_SUITE_P(EveryClass, AppearanceControls, ::testing::ValuesIn(Sharing(kAppearance)),
                         NameOf);
