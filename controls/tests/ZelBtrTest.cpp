// The data control in a real container, called by name through IDispatch as a host calls it.
#include <gtest/gtest.h>

#include <propidl.h>

#include "binding/BindingRegistry.h"
#include "host/PropertyBag.h"
#include "controls/tests/DataControlHost.h"
#include "core/tests/RecordingRecordManager.h"
#include "platform/CodePage.h"

using namespace zelmor;
using namespace zelmor::testing;
using host::BoolValue;
using host::LongValue;
using host::TextValue;

namespace {

using ZelBtrTest = DataControlFormTest;

std::string Utf8(const std::wstring& text) {
    return platform::Utf16ToUtf8(std::u16string(text.begin(), text.end()));
}

// A one-dimensional array of strings or bytes for the record methods; `tag` is the element type
// the variant claims, when it lies about the array.
com::Variant ArrayOf(VARTYPE type, LONG lower, ULONG count, UINT dimensions = 1,
                     VARTYPE tag = VT_EMPTY) {
    com::Variant value;
    SAFEARRAYBOUND bounds[2] = {{count, lower}, {2, 0}};
    V_VT(value.Put()) = VT_ARRAY | (tag == VT_EMPTY ? type : tag);
    V_ARRAY(value.Get()) = SafeArrayCreate(type, dimensions, bounds);
    return value;
}

}  // namespace

TEST_F(ZelBtrTest, NewControlDefaults) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1", {{L"DDFDir", TextValue(L"")}});
    EXPECT_EQ(Text(data, L"AllOpen"), L"True");
    EXPECT_EQ(Text(data, L"CacheDDF"), L"True");
    EXPECT_EQ(Text(data, L"OpenMode"), L"0");
    EXPECT_EQ(Text(data, L"TabStop"), L"False");
    EXPECT_EQ(data->Put(L"TabStop", *BoolValue(true).Get()), S_OK);
    EXPECT_EQ(Text(data, L"TabStop"), L"False");  // ignored
    EXPECT_EQ(Text(data, L"DDFDir"), L"");
    EXPECT_EQ(Rc(data, L"DbLoadDDF"), -21);
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Customer")}), -20);
}

TEST_F(ZelBtrTest, SitingLoadsTheDictionaryAndOpensAndCreatesTheTables) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1");
    for (const wchar_t* table : {L"Customer", L"Orders", L"Memo", L"Pictures"}) {
        host::CallResult result;
        ASSERT_EQ(data->Call(L"DbIsOpen", {TextValue(table)}, &result), S_OK);
        EXPECT_EQ(host::TextOfValue(result.Outcome()), L"1") << Utf8(table);
    }
    EXPECT_TRUE(answerer.Boxes().empty());
    host::CallResult count;
    EXPECT_EQ(Rc(data, L"DbGetNumOfTable", {}, &count), 0);
    EXPECT_EQ(host::TextOfValue(*count.arguments[0].Get()), L"4");
}

TEST_F(ZelBtrTest, RecordMethodsThroughDispatch) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1");
    EXPECT_EQ(Rc(data, L"DbClearFieldBuffer", {TextValue(L"Customer")}), 0);
    EXPECT_EQ(Rc(data, L"DbSetFieldData", {TextValue(L"Customer"), TextValue(L"Code"), TextValue(L"7")}), 0);
    EXPECT_EQ(Rc(data, L"DbSetFieldData", {TextValue(L"Customer"), TextValue(L"Name"), TextValue(L"山田")}), 0);
    EXPECT_EQ(Rc(data, L"DbAccess", {LongValue(2), TextValue(L"Customer"), TextValue(L"Code")}), 0);
    EXPECT_EQ(Rc(data, L"DbClearFieldBuffer", {TextValue(L"Customer")}), 0);
    EXPECT_EQ(Rc(data, L"DbAccess", {LongValue(12), TextValue(L"Customer"), TextValue(L"Code")}), 0);
    host::CallResult name;
    ASSERT_EQ(data->Call(L"DbGetFieldData", {TextValue(L"Customer"), TextValue(L"Name")}, &name),
              S_OK);
    EXPECT_EQ(host::TextOfValue(name.Outcome()), L"山田");
    EXPECT_EQ(Rc(data, L"DbAccess", {LongValue(12), TextValue(L"Customer"), TextValue(L"")}), -6);
    EXPECT_EQ(Rc(data, L"DbAccess", {LongValue(12), TextValue(L"Nope"), TextValue(L"Code")}), -4);
    EXPECT_EQ(Rc(data, L"DbAccessByID", {LongValue(12), LongValue(4), LongValue(0)}), -15);
    EXPECT_EQ(Rc(data, L"DbSetLockBias", {LongValue(150)}), -10);
    EXPECT_EQ(Rc(data, L"DbExSetMode", {TextValue(L"E")}), -1);
    host::CallResult position;
    ASSERT_EQ(data->Call(L"DbGetPosition", {TextValue(L"Customer")}, &position), S_OK);
    EXPECT_GT(std::stol(host::TextOfValue(position.Outcome())), 0);  // a record's position
    host::CallResult tableName;
    EXPECT_EQ(Rc(data, L"DbGetTableName", {LongValue(4)}, &tableName), -4);
    EXPECT_EQ(Rc(data, L"DbGetTableName", {LongValue(3)}, &tableName), 0);
    EXPECT_EQ(host::TextOfValue(*tableName.arguments[1].Get()), L"Pictures");
}

TEST_F(ZelBtrTest, RecordsTravelThroughArrays) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1");
    com::Variant texts = ArrayOf(VT_BSTR, 0, 3);
    BSTR* elements = nullptr;
    SafeArrayAccessData(V_ARRAY(texts.Get()), reinterpret_cast<void**>(&elements));
    elements[0] = SysAllocString(L"42");
    elements[1] = SysAllocString(L"Array");
    elements[2] = SysAllocString(L"AR");
    SafeArrayUnaccessData(V_ARRAY(texts.Get()));
    EXPECT_EQ(Rc(data, L"DbSetRecord", {TextValue(L"Customer"), texts}), 0);
    host::CallResult read;
    com::Variant back = ArrayOf(VT_BSTR, 1, 2);
    EXPECT_EQ(Rc(data, L"DbGetRecord", {TextValue(L"Customer"), back}, &read), 0);
    SafeArrayAccessData(V_ARRAY(read.arguments[1].Get()), reinterpret_cast<void**>(&elements));
    EXPECT_STREQ(elements[0], L"Array");  // from the lower bound: fields 1 and 2
    EXPECT_STREQ(elements[1], L"AR");
    SafeArrayUnaccessData(V_ARRAY(read.arguments[1].Get()));

    struct Case {
        const wchar_t* method;
        com::Variant array;
        long rc;
    } cases[] = {
        {L"DbGetRecord", ArrayOf(VT_I4, 0, 3), -17},
        {L"DbGetRecord", ArrayOf(VT_BSTR, 0, 3, 2), -18},
        {L"DbGetRecord", ArrayOf(VT_BSTR, 9, 1), -19},
        {L"DbGetRecord", ArrayOf(VT_UI1, 0, 3, 1, VT_BSTR), -17},  // bytes said to be strings
        {L"DbSetRecord", ArrayOf(VT_UI1, 0, 3, 1, VT_BSTR), -17},
        {L"DbGetRecordImage", ArrayOf(VT_BSTR, 0, 3, 1, VT_UI1), -23},
        {L"DbGetRecordImage", ArrayOf(VT_BSTR, 0, 3), -23},
        {L"DbGetRecordImage", ArrayOf(VT_UI1, 0, 3, 2), -24},
        {L"DbGetRecordImage", ArrayOf(VT_UI1, 0, 60), 0},
        {L"DbGetPosBlock", ArrayOf(VT_UI1, 0, 128), 0},
        {L"DbSetRecordImage", ArrayOf(VT_UI1, 0, 4), 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rc(data, c.method, {TextValue(L"Customer"), c.array}), c.rc) << Utf8(c.method);
    }
}

TEST_F(ZelBtrTest, BtrieveErrorAndTheOpenMessage) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1", {{L"AllOpen", BoolValue(false)}});
    EXPECT_EQ(Rc(data, L"DbSetFileName", {TextValue(L"Orders"), TextValue(L"missing.dat")}), 0);
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Orders")}), 12);
    const host::EventRecord* event = data->Events().Last(L"BtrieveError");
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(host::TextOfValue(*event->arguments[0].Get()), L"Orders");
    EXPECT_EQ(host::TextOfValue(*event->arguments[1].Get()), L"12");
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(platform::AnsiToUtf8(answerer.Boxes()[0].text),
              "VE803 Btrieveファイル Orders のオープンに失敗。(12)");

    // A handler that clears Status keeps the box away; the method still gives the status.
    data->Events().OnEvent(L"BtrieveError", [](host::EventCall& call) {
        call.Set(L"Status", *LongValue(0).Get());
    });
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Orders")}), 12);
    EXPECT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(data->Events().CountOf(L"BtrieveError"), 2u);
}

TEST_F(ZelBtrTest, TwoControlsOfOneDirectoryReadTheDictionaryOnce) {
    host::Form& first = NewForm(L"Form1");
    AddDataControl(first, L"Data1");
    RecordingRecordManager recorder;
    host::Form& second = NewForm(L"Form2");
    host::ControlSite* other = AddDataControl(second, L"Data1");
    EXPECT_EQ(recorder.ddfOpens, 0);
    EXPECT_EQ(Rc(other, L"DbClose", {TextValue(L"Customer")}), 0);
    ASSERT_NE(Object(0).Logic().Context(), nullptr);
    EXPECT_TRUE(Object(0).Logic().DbIsOpen("Customer"));  // the first keeps its own file open
}

TEST_F(ZelBtrTest, DistNameOverridesTheDirectoryFromTheIniFile) {
    // DistName names a section of zelmor.ini (in the Windows directory); the control's name is
    // the key.
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    std::string ini = std::string(windows) + "\\zelmor.ini";
    ASSERT_TRUE(WritePrivateProfileStringA("Sales", "Data1", directory.Path().c_str(), ini.c_str()));
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(
        form, L"Data1", {{L"DDFDir", TextValue(L"C:\\nowhere")}, {L"DistName", TextValue(L"Sales")}});
    host::ControlSite* other = AddDataControl(
        form, L"Data2", {{L"DDFDir", TextValue(L"C:\\nowhere")}, {L"DistName", TextValue(L"Sales")}});
    WritePrivateProfileStringA("Sales", nullptr, nullptr, ini.c_str());
    EXPECT_EQ(Text(data, L"DDFDir"), Directory());
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Customer")}), -2);  // opened at siting
    // No key for Data2: its own directory stays, and loading it fails with VE028.
    EXPECT_EQ(Text(other, L"DDFDir"), L"C:\\nowhere");
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(platform::AnsiToUtf8(answerer.Boxes()[0].text).rfind("VE028", 0), 0u);
}

TEST_F(ZelBtrTest, SettingTheDirectoryAtRunTimeLoadsAfresh) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1", {{L"DDFDir", TextValue(L"")}});
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Customer")}), -20);
    ASSERT_EQ(data->Put(L"DDFDir", *TextValue(Directory()).Get()), S_OK);
    ASSERT_NE(Object(0).Logic().Context(), nullptr);
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Customer")}), 12);  // no file: nothing is opened
    EXPECT_EQ(Rc(data, L"DbCreate", {TextValue(L"Customer")}), 0);
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Customer")}), 0);
    EXPECT_EQ(Registry().FindBoundTable(Object(0).Logic().GetFormWindow(), "Data1", "Customer"),
              Object(0).Logic().Context()->TableByName("Customer"));
}

TEST_F(ZelBtrTest, FormWindowThroughFramesAndTabs) {
    host::Form& form = NewForm(L"Form1");
    host::Frame* outer = form.AddFrame({L"Frame1", RECT{0, 0, 300, 200}}, L"Outer");
    host::Frame* inner = form.AddFrame({L"Frame2", RECT{10, 20, 280, 180}, outer}, L"Inner");
    host::TabContainer* tab = form.AddTab({L"Tab1", RECT{0, 0, 200, 150}}, {L"A", L"B"});
    AddDataControl(form, L"InFrame", {}, outer);
    AddDataControl(form, L"InInner", {}, inner);
    AddDataControl(form, L"InTab", {}, tab);
    EXPECT_EQ(Object(0).Logic().GetFormWindow(), reinterpret_cast<WindowHandle>(form.Window()));
    EXPECT_EQ(Object(1).Logic().GetFormWindow(), reinterpret_cast<WindowHandle>(outer->Window()));
    EXPECT_EQ(Object(2).Logic().GetFormWindow(), reinterpret_cast<WindowHandle>(form.Window()));
}

// Every method answers through its trailing result: a table-driven pass over the rest of them.
TEST_F(ZelBtrTest, MethodResults) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1");
    ASSERT_EQ(Rc(data, L"DbClearFieldBuffer", {TextValue(L"Orders")}), 0);
    for (int no = 1; no <= 3; ++no) {
        Rc(data, L"DbSetFieldData", {TextValue(L"Orders"), TextValue(L"No"), LongValue(no)});
        ASSERT_EQ(Rc(data, L"DbAccess", {LongValue(2), TextValue(L"Orders"), TextValue(L"No")}), 0);
    }
    host::CallResult position;
    ASSERT_EQ(Rc(data, L"DbAccess", {LongValue(12), TextValue(L"Orders"), TextValue(L"No")}), 0);
    data->Call(L"DbGetPosition", {TextValue(L"Orders")}, &position);
    long first = std::stol(host::TextOfValue(position.Outcome()));
    struct Case {
        const wchar_t* method;
        std::vector<com::Variant> arguments;
        long rc;
    } cases[] = {
        {L"DbGetDirect", {TextValue(L"Orders"), LongValue(first), TextValue(L"No")}, 0},
        {L"DbGetDirect", {TextValue(L"Orders"), LongValue(first), TextValue(L"Nope")}, -6},
        {L"DbGetByPercentage", {TextValue(L"Orders"), TextValue(L"No"), LongValue(10000)}, 0},
        {L"DbFindPercentage", {TextValue(L"Orders"), TextValue(L"No"), LongValue(0)}, 0},
        {L"DbUnlock", {TextValue(L"Orders"), LongValue(-2)}, 0},
        {L"DbBeginTransaction", {LongValue(150)}, -10},
        {L"DbBeginConCurTransaction", {LongValue(600)}, -10},
        {L"DbGetNumOfRecords", {TextValue(L"Orders")}, 0},
        {L"DbGetDataType", {TextValue(L"Orders"), TextValue(L"Nope")}, -5},
        {L"DbClose", {TextValue(L"Orders")}, 0},
        {L"DbClose", {TextValue(L"Orders")}, -3},
        {L"DbTransferToControl", {TextValue(L"Orders")}, -3},
        {L"DbCreate", {TextValue(L"Customer")}, -2},
        {L"DbOpenAll", {}, 0},
        {L"DbGetNumOfField", {TextValue(L"Nope")}, -4},
        {L"DbGetFieldName", {TextValue(L"Orders"), LongValue(3)}, -13},
        {L"DbGetIndexName", {TextValue(L"Orders"), LongValue(2)}, -14},
        {L"DbGetModulePath", {}, 0},
        {L"DbCloseAll", {}, 0},
        {L"DbReset", {}, 0},
        {L"DbLoadDDF", {}, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Rc(data, c.method, c.arguments), c.rc) << Utf8(c.method);
    }
    host::CallResult percentage;
    ASSERT_EQ(Rc(data, L"DbAccess", {LongValue(13), TextValue(L"Orders"), TextValue(L"No")}), -3);
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Orders")}), 0);
    ASSERT_EQ(Rc(data, L"DbAccess", {LongValue(13), TextValue(L"Orders"), TextValue(L"No")}), 0);
    EXPECT_EQ(Rc(data, L"DbFindPercentage", {TextValue(L"Orders"), TextValue(L"No"), LongValue(0)},
                 &percentage),
              0);
    EXPECT_EQ(host::TextOfValue(*percentage.arguments[3].Get()), L"10000");
}

// A Blob value set through the control after a larger record was in the buffer is stored whole.
TEST_F(ZelBtrTest, BlobValuesSetThroughTheControlAreStoredWhole) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1");
    auto set = [&](const wchar_t* field, const std::wstring& value) {
        return Rc(data, L"DbSetFieldData",
                  {TextValue(L"Pictures"), TextValue(field), TextValue(value)});
    };
    auto insert = [&](const wchar_t* id, const std::wstring& image) {
        EXPECT_EQ(Rc(data, L"DbClearFieldBuffer", {TextValue(L"Pictures")}), 0);
        EXPECT_EQ(set(L"Id", id), 0);
        EXPECT_EQ(set(L"Image", image), 0);
        EXPECT_EQ(Rc(data, L"DbAccess", {LongValue(2), TextValue(L"Pictures"), TextValue(L"Id")}),
                  0);
    };
    insert(L"1", std::wstring(1000, L'L'));
    insert(L"2", L"small");
    // Read back from a fresh open, so that nothing of the buffer stands in for the file; a
    // large value set first gives the buffer room for the whole record.
    EXPECT_EQ(Rc(data, L"DbClose", {TextValue(L"Pictures")}), 0);
    EXPECT_EQ(Rc(data, L"DbOpen", {TextValue(L"Pictures")}), 0);
    EXPECT_EQ(Rc(data, L"DbClearFieldBuffer", {TextValue(L"Pictures")}), 0);
    EXPECT_EQ(set(L"Thumb", std::wstring(2000, L'x')), 0);
    EXPECT_EQ(set(L"Id", L"2"), 0);
    EXPECT_EQ(Rc(data, L"DbAccess", {LongValue(5), TextValue(L"Pictures"), TextValue(L"Id")}), 0);
    host::CallResult image;
    ASSERT_EQ(data->Call(L"DbGetFieldData", {TextValue(L"Pictures"), TextValue(L"Image")}, &image),
              S_OK);
    EXPECT_EQ(host::TextOfValue(image.Outcome()), L"small");
}
