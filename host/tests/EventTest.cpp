// Events and property notifications as the form receives them: recorded in order with their
// arguments, by-reference arguments set by the test before the event returns, and requests to
// change a property refused.
#include <gtest/gtest.h>
#include <olectl.h>

#include "ProbeForm.h"
#include "host/Automation.h"
#include "host/UserInput.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

using Kind = PropertyNotification::Kind;

std::vector<std::wstring> EventNames(const EventSink& events) {
    std::vector<std::wstring> names;
    for (const EventRecord& record : events.Records()) names.push_back(record.name);
    return names;
}

}  // namespace

TEST(Events, TypingIsRecordedAsKeyPressAndChangeWithTheirArguments) {
    ProbeForm probes;
    ControlSite* site = probes.Add({L"Text1", RECT{10, 10, 200, 34}});
    ASSERT_NE(site, nullptr);
    ASSERT_TRUE(TypeKeys(probes.form, *site, L"ab"));
    EXPECT_EQ(ShownText(*site), L"ab");

    EventSink& events = site->Events();
    EXPECT_EQ(EventNames(events),
              (std::vector<std::wstring>{L"KeyPress", L"Change", L"KeyPress", L"Change"}));
    const EventRecord& press = events.Records()[0];
    EXPECT_EQ(press.dispid, DISPID_KEYPRESS);
    ASSERT_EQ(press.arguments.size(), 1u);
    EXPECT_EQ(V_VT(press.arguments[0].Get()), VT_I2) << "read through the reference";
    EXPECT_EQ(V_I2(press.arguments[0].Get()), 'a');
    EXPECT_EQ(TextOfValue(*events.Last(L"change")->arguments[0].Get()), L"ab");
    EXPECT_EQ(events.CountOf(L"KEYPRESS"), 2u);
    EXPECT_EQ(events.ParameterNames(L"KeyPress"), std::vector<std::wstring>{L"KeyAscii"});
}

TEST(Events, AHandlerSetsAByReferenceArgumentBeforeTheEventReturns) {
    struct Case {
        const char* what;
        com::Variant answer;
        const wchar_t* shown;
    };
    const Case cases[] = {
        {"replaced", LongValue('x'), L"xxx"},
        {"swallowed", LongValue(0), L""},
        {"converted from text", TextValue(L"65"), L"AAA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProbeForm probes;
        ControlSite* site = probes.Add({L"Text1", RECT{10, 10, 200, 34}});
        ASSERT_NE(site, nullptr);
        HRESULT setResult = E_FAIL;
        site->Events().OnEvent(L"KeyPress", [&](EventCall& call) {
            setResult = call.Set(L"keyascii", *c.answer.Get());
        });
        ASSERT_TRUE(TypeKeys(probes.form, *site, L"abc"));
        EXPECT_EQ(setResult, S_OK);
        EXPECT_EQ(ShownText(*site), c.shown);
        // The record keeps the argument as it came.
        EXPECT_EQ(V_I2(site->Events().Records()[0].arguments[0].Get()), 'a');
    }
}

TEST(Events, OnlyByReferenceArgumentsCanBeSet) {
    ProbeForm probes;
    ControlSite* site = probes.Add({L"Text1", RECT{10, 10, 200, 34}});
    std::vector<HRESULT> results;
    site->Events().OnEvent(L"Change", [&](EventCall& call) {
        results.push_back(call.Set(0, *TextValue(L"no").Get()));  // Text is passed by value
        results.push_back(call.Set(1, *TextValue(L"no").Get()));  // there is no second one
        results.push_back(call.Set(L"Status", *LongValue(1).Get()));
    });
    site->Events().OnEvent(L"KeyPress", [&](EventCall& call) {
        results.push_back(call.Set(0, *TextValue(L"not a number").Get()));
    });
    ASSERT_TRUE(TypeKeys(probes.form, *site, L"q"));
    EXPECT_EQ(results, (std::vector<HRESULT>{DISP_E_TYPEMISMATCH, E_INVALIDARG, E_INVALIDARG,
                                             E_INVALIDARG}));
    EXPECT_EQ(ShownText(*site), L"q");
}

TEST(Events, EveryEventReachesTheObserverAfterItsHandler) {
    ProbeForm probes;
    ControlSite* site =
        probes.Add({L"Button1", RECT{10, 10, 200, 34}},
                   {Property(L"Kind", TextValue(L"Button")), Property(L"Text", TextValue(L"Go"))});
    std::vector<std::string> order;
    site->Events().OnEvent(L"Click", [&](EventCall&) { order.push_back("handler"); });
    site->Events().OnEveryEvent(
        [&](EventCall& call) { order.push_back("observer " + std::to_string(call.Dispid())); });
    ASSERT_TRUE(Click(probes.form, *site));
    EXPECT_EQ(order, (std::vector<std::string>{"handler", "observer -600"}));
    EXPECT_TRUE(site->UIActive()) << "a click activates the control";
}

TEST(Events, ChoosingAListItemFiresClickAndChange) {
    ProbeForm probes;
    ControlSite* site = probes.Add(
        {L"List1", RECT{10, 10, 200, 120}},
        {Property(L"Kind", TextValue(L"ListBox")), Property(L"Items", TextValue(L"one|two"))});
    ASSERT_TRUE(SelectItem(probes.form, *site, L"two"));
    EXPECT_EQ(EventNames(site->Events()), (std::vector<std::wstring>{L"Click", L"Change"}));
    EXPECT_EQ(ShownText(*site), L"two");
    EXPECT_FALSE(SelectItem(probes.form, *site, L"three"));
    EXPECT_EQ(site->Events().Records().size(), 2u);
}

TEST(PropertyNotifications, ChangesAreAskedForThenAnnounced) {
    ProbeForm probes;
    ControlSite* site = probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    PropertyNotifySink& notes = site->Notifications();
    notes.ClearRecords();
    ASSERT_EQ(site->Put(L"Number", *LongValue(4).Get()), S_OK);
    ASSERT_EQ(notes.Records().size(), 2u);
    EXPECT_EQ(notes.Records()[0].kind, Kind::RequestEdit);
    EXPECT_EQ(notes.Records()[0].dispid, 3);
    EXPECT_FALSE(notes.Records()[0].refused);
    EXPECT_EQ(notes.Records()[1].kind, Kind::Changed);

    // The same value again changes nothing and tells nobody.
    ASSERT_EQ(site->Put(L"Number", *LongValue(4).Get()), S_OK);
    EXPECT_EQ(notes.Records().size(), 2u);
}

TEST(PropertyNotifications, ARefusedRequestLeavesThePropertyAsItWas) {
    for (bool refuseAll : {false, true}) {
        SCOPED_TRACE(refuseAll ? "all refused" : "one refused");
        ProbeForm probes;
        ControlSite* site = probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
        PropertyNotifySink& notes = site->Notifications();
        if (refuseAll) {
            notes.RefuseAll(true);
        } else {
            notes.Refuse(3);
        }
        EXPECT_EQ(site->Put(L"Number", *LongValue(9).Get()), S_OK);
        com::Variant number;
        site->Get(L"Number", number.Get());
        EXPECT_EQ(V_I4(number.Get()), 0);
        EXPECT_EQ(notes.CountOf(Kind::RequestEdit, 3), 1u);
        EXPECT_TRUE(notes.Records().back().refused);
        EXPECT_EQ(notes.CountOf(Kind::Changed, 3), 0u);
        // Other properties are still allowed when only one is refused.
        EXPECT_EQ(site->Put(L"Kind", *TextValue(L"Button").Get()), S_OK);
        com::Variant kind;
        site->Get(L"Kind", kind.Get());
        EXPECT_EQ(TextOfValue(*kind.Get()), refuseAll ? L"Edit" : L"Button");

        notes.RefuseAll(false);
        notes.Refuse(3, false);
        EXPECT_EQ(site->Put(L"Number", *LongValue(9).Get()), S_OK);
        site->Get(L"Number", number.Get());
        EXPECT_EQ(V_I4(number.Get()), 9);
    }
}
