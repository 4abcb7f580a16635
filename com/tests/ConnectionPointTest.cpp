// Events through connection points: connecting and disconnecting sinks, by-reference
// arguments, the enumerators of connection points and connections.
#include <gtest/gtest.h>
#include <olectl.h>

#include "HostedControl.h"
#include "TestSink.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

struct EventConnection {
    ComPtr<ComInstance<TestSink>> sink = MakeInstance<TestSink>(DIID__DTestControlEvents);
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;

    explicit EventConnection(ComInstance<TestControl>* control) {
        EXPECT_EQ(control->FindConnectionPoint(DIID__DTestControlEvents, point.Put()), S_OK);
        EXPECT_EQ(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), S_OK);
    }
};

short Notify(ComInstance<TestControl>* control, const wchar_t* text, short status) {
    Bstr argument(text);
    short rc = -99;
    EXPECT_EQ(control->RaiseNotify(argument.Get(), status, &rc), S_OK);
    return rc;
}

}  // namespace

TEST(Events, SinkReceivesArgumentsAndAnswersThroughTheReference) {
    auto control = MakeInstance<TestControl>();
    EventConnection connection(control.Get());
    connection.sink->statusAnswer = 0;

    EXPECT_EQ(Notify(control.Get(), L"Orders", 12), 0);  // the handler cleared the status
    EXPECT_EQ(connection.sink->counts[1], 1);
    EXPECT_EQ(connection.sink->lastText, L"Orders");
    // A 16-bit reference arrives in the form the platform's dispatch helpers take.
    std::vector<VARTYPE> expected{VT_BSTR, VT_I2 | VT_BYREF};
    EXPECT_EQ(connection.sink->lastArgumentTypes, expected);
}

TEST(Events, StringReferenceIsReplacedByTheSink) {
    auto control = MakeInstance<TestControl>();
    EventConnection connection(control.Get());
    connection.sink->renameAnswer = L"顧客台帳";
    EXPECT_EQ(control->RaiseRename(L"old name"), L"顧客台帳");
}

TEST(Events, EverySinkIsCalledAndADisconnectedOneNoMore) {
    auto control = MakeInstance<TestControl>();
    EventConnection first(control.Get());
    EventConnection second(control.Get());
    EXPECT_NE(first.cookie, second.cookie);
    second.sink->statusAnswer = 5;

    EXPECT_EQ(Notify(control.Get(), L"a", 1), 5);  // the last sink's answer stands
    EXPECT_EQ(first.sink->counts[1], 1);
    EXPECT_EQ(second.sink->counts[1], 1);

    EXPECT_EQ(first.point->Unadvise(first.cookie), S_OK);
    EXPECT_EQ(first.point->Unadvise(first.cookie), CONNECT_E_NOCONNECTION);
    Notify(control.Get(), L"b", 1);
    EXPECT_EQ(first.sink->counts[1], 1);
    EXPECT_EQ(second.sink->counts[1], 2);
}

TEST(Events, SinkOfAnotherInterfaceCannotConnect) {
    auto control = MakeInstance<TestControl>();
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(control->FindConnectionPoint(DIID__DTestControlEvents, point.Put()), S_OK);
    // Answers IDispatch, but not the control's event interface.
    ComPtr<IUnknown> unrelated = MakeInstance<TestSink>(GUID_NULL).As<IUnknown>();
    DWORD cookie = 77;
    EXPECT_EQ(point->Advise(unrelated.Get(), &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(point->Advise(nullptr, &cookie), E_POINTER);
}

TEST(Events, SinkMayReleaseTheControlWhileHandlingAnEvent) {
    auto control = MakeInstance<TestControl>();
    EventConnection connection(control.Get());
    ComInstance<TestControl>* raw = control.Detach();  // the sink now holds the last reference
    connection.sink->releaseDuringEvent = static_cast<IOleObject*>(raw);
    short rc = -1;
    Bstr text(L"x");
    EXPECT_EQ(raw->RaiseNotify(text.Get(), 3, &rc), S_OK);
    EXPECT_EQ(connection.sink->counts[1], 1);
    EXPECT_EQ(connection.sink->releaseDuringEvent, nullptr);
}

TEST(ConnectionPoints, ContainerFindsAndEnumeratesBothPoints) {
    auto control = MakeInstance<TestControl>();
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(control->FindConnectionPoint(IID_IDispatch, point.Put()), CONNECT_E_NOCONNECTION);
    EXPECT_FALSE(point);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(control->EnumConnectionPoints(points.Put()), S_OK);
    IConnectionPoint* fetched[3] = {};
    ULONG count = 0;
    EXPECT_EQ(points->Next(3, fetched, &count), S_FALSE);
    ASSERT_EQ(count, 2u);
    IID iids[2];
    for (ULONG i = 0; i < count; ++i) {
        fetched[i]->GetConnectionInterface(&iids[i]);
        ComPtr<IConnectionPointContainer> container;
        EXPECT_EQ(fetched[i]->GetConnectionPointContainer(container.Put()), S_OK);
        EXPECT_EQ(container.As<IUnknown>().Get(), control.As<IUnknown>().Get());
        fetched[i]->Release();
    }
    EXPECT_TRUE(IsEqualIID(iids[0], DIID__DTestControlEvents));
    EXPECT_TRUE(IsEqualIID(iids[1], IID_IPropertyNotifySink));

    // Reset, Skip and Clone keep their own positions over the same points.
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    ComPtr<IEnumConnectionPoints> clone;
    ASSERT_EQ(points->Clone(clone.Put()), S_OK);
    EXPECT_EQ(points->Skip(2), S_FALSE);
    IConnectionPoint* second = nullptr;
    EXPECT_EQ(clone->Next(1, &second, nullptr), S_OK);
    ASSERT_NE(second, nullptr);
    IID iid{};
    second->GetConnectionInterface(&iid);
    EXPECT_TRUE(IsEqualIID(iid, IID_IPropertyNotifySink));
    second->Release();
    EXPECT_EQ(clone->Next(1, &second, nullptr), S_FALSE);
}

TEST(ConnectionPoints, EnumeratesTheConnectionsWithTheirCookies) {
    auto control = MakeInstance<TestControl>();
    EventConnection first(control.Get());
    EventConnection second(control.Get());
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(first.point->EnumConnections(connections.Put()), S_OK);
    first.point->Unadvise(first.cookie);  // the enumeration is a snapshot

    CONNECTDATA data[3] = {};
    ULONG count = 0;
    EXPECT_EQ(connections->Next(3, data, &count), S_FALSE);
    ASSERT_EQ(count, 2u);
    EXPECT_EQ(data[0].dwCookie, first.cookie);
    EXPECT_EQ(data[1].dwCookie, second.cookie);
    auto firstSink = first.sink.As<IUnknown>();
    EXPECT_EQ(ComPtr<IUnknown>(data[0].pUnk).As<IUnknown>().Get(), firstSink.Get());
    for (ULONG i = 0; i < count; ++i) data[i].pUnk->Release();
}
