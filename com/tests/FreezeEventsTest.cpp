// Events held back while the container freezes them (IOleControl::FreezeEvents): kept with
// copies of their arguments and delivered in order once every freeze is undone.
#include <gtest/gtest.h>
#include <olectl.h>

#include "HostedControl.h"
#include "TestSink.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

struct FrozenHost : HostedControl {
    ComPtr<ComInstance<TestSink>> sink = MakeInstance<TestSink>(DIID__DTestControlEvents);

    FrozenHost() {
        ComPtr<IConnectionPoint> point;
        EXPECT_EQ(control->FindConnectionPoint(DIID__DTestControlEvents, point.Put()), S_OK);
        DWORD cookie = 0;
        EXPECT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);
    }
    IOleControl* Ole() const { return static_cast<IOleControl*>(control.Get()); }
    short Notify(const wchar_t* text, short status) {
        Bstr argument(text);
        short rc = -99;
        EXPECT_EQ(control->RaiseNotify(argument.Get(), status, &rc), S_OK);
        return rc;
    }
};

using Log = std::vector<std::string>;

}  // namespace

TEST(FreezeEvents, NestedFreezesHoldEventsUntilTheLastThawThenDeliverInOrder) {
    FrozenHost host;
    host.sink->statusAnswer = 0;
    EXPECT_EQ(host.Ole()->FreezeEvents(TRUE), S_OK);
    EXPECT_EQ(host.Ole()->FreezeEvents(TRUE), S_OK);
    host.control->FireEvent(DISPID_CLICK);
    // Nobody answered: the control goes on with the status it passed.
    EXPECT_EQ(host.Notify(L"Orders", 12), 12);
    EXPECT_EQ(host.control->RaiseRename(L"old"), L"old");
    EXPECT_EQ(host.Ole()->FreezeEvents(FALSE), S_OK);
    EXPECT_TRUE(host.sink->log.empty()) << "one freeze is still in force";
    EXPECT_EQ(host.control->HeldEvents(), 3u);

    EXPECT_EQ(host.Ole()->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(host.sink->log, (Log{"Click", "Notify Orders 12", "Rename old"}));
    // The late handler got its references in the form the live event has.
    EXPECT_EQ(host.sink->lastArgumentTypes, std::vector<VARTYPE>{VT_BSTR | VT_BYREF});
    EXPECT_EQ(host.control->HeldEvents(), 0u);

    // Thawed: events go straight through again, and their answers count.
    EXPECT_EQ(host.Notify(L"Live", 3), 0);
    EXPECT_EQ(host.sink->log.back(), "Notify Live 3");
}

TEST(FreezeEvents, AThawWithoutAFreezeIsIgnored) {
    FrozenHost host;
    EXPECT_EQ(host.Ole()->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(host.Ole()->FreezeEvents(TRUE), S_OK);
    host.control->FireEvent(DISPID_CLICK);
    EXPECT_TRUE(host.sink->log.empty()) << "the extra thaw must not cancel the freeze";
    EXPECT_EQ(host.Ole()->FreezeEvents(FALSE), S_OK);
    EXPECT_EQ(host.sink->log, Log{"Click"});
}

TEST(FreezeEvents, HeldArgumentsAreCopiesOfTheValuesAtFiringTime) {
    FrozenHost host;
    host.Ole()->FreezeEvents(TRUE);
    {
        // The caller's variables are gone before the delivery.
        short status = 5;
        EventArguments arguments;
        arguments.Add(std::wstring(L"Transient")).AddByRef(&status);
        host.control->FireEvent(1, arguments);
        status = 77;
    }
    host.Ole()->FreezeEvents(FALSE);
    EXPECT_EQ(host.sink->log, Log{"Notify Transient 5"});
}

TEST(FreezeEvents, AHandlerThatFreezesAgainKeepsTheRestForTheNextThaw) {
    FrozenHost host;
    host.Ole()->FreezeEvents(TRUE);
    host.control->FireEvent(DISPID_CLICK);
    host.Notify(L"A", 1);
    host.Notify(L"B", 2);
    bool frozeOnce = false;
    host.sink->onEvent = [&](DISPID dispid) {
        if (dispid == DISPID_CLICK && !frozeOnce) {
            frozeOnce = true;
            host.Ole()->FreezeEvents(TRUE);
        }
    };
    host.Ole()->FreezeEvents(FALSE);
    EXPECT_EQ(host.sink->log, Log{"Click"});
    EXPECT_EQ(host.control->HeldEvents(), 2u);
    host.Ole()->FreezeEvents(FALSE);
    EXPECT_EQ(host.sink->log, (Log{"Click", "Notify A 1", "Notify B 2"}));
}

TEST(FreezeEvents, AHandlerThatThawsOrFiresDuringDeliveryKeepsTheOrder) {
    FrozenHost host;
    host.Ole()->FreezeEvents(TRUE);
    host.Notify(L"A", 1);
    host.Notify(L"B", 2);
    host.sink->onEvent = [&](DISPID) {
        if (host.sink->log.size() != 1) return;
        // A thaw too many and a new event, both in the first handler.
        host.Ole()->FreezeEvents(FALSE);
        host.control->FireEvent(DISPID_CLICK);
    };
    host.Ole()->FreezeEvents(FALSE);
    EXPECT_EQ(host.sink->log, (Log{"Notify A 1", "Notify B 2", "Click"}));
    EXPECT_EQ(host.control->EventsFrozen(), 0);
}

TEST(FreezeEvents, ClosingDropsTheHeldEvents) {
    FrozenHost host;
    host.Ole()->FreezeEvents(TRUE);
    host.control->RaiseRename(L"kept string");
    host.Notify(L"A", 1);
    EXPECT_EQ(host.control->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(host.control->HeldEvents(), 0u);
    host.Ole()->FreezeEvents(FALSE);
    EXPECT_TRUE(host.sink->log.empty());
}

TEST(FreezeEvents, AHandlerMayLetGoOfTheControlDuringDelivery) {
    FrozenHost host;
    host.Ole()->FreezeEvents(TRUE);
    host.control->FireEvent(DISPID_CLICK);
    host.control->FireEvent(DISPID_CLICK);
    IUnknown* extra = static_cast<IOleObject*>(host.control.Get());
    extra->AddRef();
    host.sink->releaseDuringEvent = extra;
    host.Ole()->FreezeEvents(FALSE);
    EXPECT_EQ(host.sink->log, (Log{"Click", "Click"}));
}
