// Calling a control's members by name as a host does, out-parameters included, and answering
// the message boxes a control shows.
#include <gtest/gtest.h>
#include <olectl.h>

#include "ProbeForm.h"
#include "host/Automation.h"
#include "platform/MessageBoxAnswerer.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

TEST(Automation, AMethodReportsThroughItsOutParameter) {
    ProbeForm probes;
    ControlSite* site = probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    platform::MessageBoxAnswerer answerer;
    answerer.QueueAnswer(IDNO);

    // The answer, an out-parameter the caller leaves out, comes back of its own type.
    CallResult result;
    ASSERT_EQ(site->Call(L"Ask", {TextValue(L"Delete the record?"), LongValue(MB_YESNO)}, &result),
              S_OK);
    ASSERT_EQ(result.arguments.size(), 3u);
    EXPECT_EQ(V_VT(result.arguments[2].Get()), VT_I4);
    EXPECT_EQ(V_I4(&result.Outcome()), IDNO);
    ASSERT_EQ(answerer.Boxes().size(), 1u);
    EXPECT_EQ(answerer.Boxes()[0].text, "Delete the record?");
    EXPECT_EQ(answerer.Boxes()[0].caption, "Probe");

    // Unanswered, the box gets its first button.
    ASSERT_EQ(site->Call(L"ask", {TextValue(L"Saved."), LongValue(MB_OK)}, &result), S_OK);
    EXPECT_EQ(TextOfValue(result.Outcome()), L"1");
}

TEST(Automation, CallsThatCannotBeMadeAreRefused) {
    ProbeForm probes;
    ControlSite* site = probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    CallResult result;
    EXPECT_EQ(site->Call(L"Explode", {}, &result), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(site->Call(L"Ask", {TextValue(L"only the text")}, &result), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(
        site->Call(L"Ask", {TextValue(L"a"), LongValue(0), LongValue(0), LongValue(0)}, &result),
        DISP_E_BADPARAMCOUNT);
}

TEST(Automation, PropertiesByNameReportTheControlsOwnError) {
    ProbeForm probes;
    ControlSite* site = probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    EXPECT_EQ(site->Put(L"Number", *LongValue(-1).Get()), CTL_E_INVALIDPROPERTYVALUE);
    EXPECT_EQ(site->Put(L"Number", *TextValue(L"12").Get()), S_OK) << "text is converted";
    com::Variant number;
    EXPECT_EQ(site->Get(L"NUMBER", number.Get()), S_OK);
    EXPECT_EQ(V_I4(number.Get()), 12);
    EXPECT_EQ(site->Get(L"Colour", number.Get()), DISP_E_UNKNOWNNAME);
}

TEST(Automation, ValuesAsText) {
    struct Case {
        com::Variant value;
        const wchar_t* text;
    };
    const Case cases[] = {
        {BoolValue(true), L"True"}, {BoolValue(false), L"False"},  {LongValue(-42), L"-42"},
        {DoubleValue(2.5), L"2.5"}, {TextValue(L"日本"), L"日本"}, {com::Variant(), L""},
    };
    for (const Case& c : cases) EXPECT_EQ(TextOfValue(*c.value.Get()), c.text);
    EXPECT_EQ(HresultText(CTL_E_INVALIDPROPERTYVALUE), L"0x800A017C (control error 380)");
    EXPECT_EQ(HresultText(E_POINTER).rfind(L"0x80004003", 0), 0u);  // and the system's text
}
