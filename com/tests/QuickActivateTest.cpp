// Quick activation: the container's site, sinks and ambient values in one call, and the sizes
// of the structures that hosts of different versions pass.
#include <gtest/gtest.h>
#include <olectl.h>

#include <cstddef>

#include "HostedControl.h"
#include "TestSink.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

struct QuickHost {
    ComPtr<ComInstance<TestControl>> control = MakeInstance<TestControl>();
    ComPtr<ComInstance<TestSite>> site = MakeInstance<TestSite>();
    ComPtr<ComInstance<TestSink>> sink = MakeInstance<TestSink>(DIID__DTestControlEvents);
    QACONTAINER container{};
    QACONTROL answer{};

    explicit QuickHost(DWORD ambientFlags = QACONTAINER_USERMODE) {
        container.cbSize = sizeof container;
        container.pClientSite = site.Get();
        container.pPropertyNotifySink = site.Get();
        container.pUnkEventSink = static_cast<IDispatch*>(sink.Get());
        container.dwAmbientFlags = ambientFlags;
        answer.cbSize = sizeof answer;
    }
    ~QuickHost() {
        control->Close(OLECLOSE_NOSAVE);
        control->SetClientSite(nullptr);
    }
    HRESULT Activate() {
        return static_cast<IQuickActivate*>(control.Get())->QuickActivate(&container, &answer);
    }
};

}  // namespace

TEST(QuickActivate, ConnectsSiteAndSinksAndReportsTheControl) {
    QuickHost host;
    ASSERT_EQ(host.Activate(), S_OK);

    ComPtr<IOleClientSite> site;
    EXPECT_EQ(host.control->GetClientSite(site.Put()), S_OK);
    EXPECT_EQ(site.Get(), static_cast<IOleClientSite*>(host.site.Get()));
    EXPECT_EQ(host.control->sitesSet, 1);
    EXPECT_EQ(host.answer.dwMiscStatus, 131473u);
    EXPECT_EQ(host.answer.dwViewStatus, static_cast<DWORD>(VIEWSTATUS_OPAQUE));
    EXPECT_NE(host.answer.dwEventCookie, 0u);
    EXPECT_NE(host.answer.dwPropNotifyCookie, 0u);

    // The connections work as if made through the connection points.
    host.control->FireEvent(DISPID_CLICK);
    EXPECT_EQ(host.sink->log, std::vector<std::string>{"Click"});
    EXPECT_EQ(host.control->put_Number(3), S_OK);
    EXPECT_EQ(host.site->CallsStartingWith("Changed"), std::vector<std::string>{"Changed 1"});

    // And the cookies are theirs: the container can disconnect with them.
    ComPtr<IConnectionPoint> point;
    host.control->FindConnectionPoint(DIID__DTestControlEvents, point.Put());
    EXPECT_EQ(point->Unadvise(host.answer.dwEventCookie), S_OK);
    host.control->FireEvent(DISPID_CLICK);
    EXPECT_EQ(host.sink->log.size(), 1u);
}

TEST(QuickActivate, AmbientUserModeComesFromTheFlagsUntilItChanges) {
    QuickHost host(0);  // design mode by the flags, run mode by the site's dispatch
    ASSERT_EQ(host.Activate(), S_OK);
    EXPECT_FALSE(host.control->UserMode());
    // Told that the ambient changed, the control asks the site again.
    static_cast<IOleControl*>(host.control.Get())->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE);
    EXPECT_TRUE(host.control->UserMode());
}

TEST(QuickActivate, AcceptsTheKnownSizesAndRefusesOthers) {
    const ULONG shortContainer = offsetof(QACONTAINER, pOleControlSite);
    const ULONG shortControl = offsetof(QACONTROL, dwPointerActivationPolicy);
    struct Case {
        ULONG container;
        ULONG control;
        HRESULT expected;
    };
    const Case cases[] = {
        {sizeof(QACONTAINER), sizeof(QACONTROL), S_OK},
        {shortContainer, sizeof(QACONTROL), S_OK},
        {sizeof(QACONTAINER), shortControl, S_OK},
        {0, sizeof(QACONTROL), E_INVALIDARG},
        {sizeof(QACONTAINER) + 4, sizeof(QACONTROL), E_INVALIDARG},
        {shortContainer - sizeof(void*), sizeof(QACONTROL), E_INVALIDARG},
        {sizeof(QACONTAINER), 4, E_INVALIDARG},
        {sizeof(QACONTAINER), 0x10000, E_INVALIDARG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.container) + " " + std::to_string(c.control));
        QuickHost host;
        host.container.cbSize = c.container;
        QACONTROL answer{};
        answer.cbSize = c.control;
        answer.dwPointerActivationPolicy = 0xABCD;
        HRESULT hr = static_cast<IQuickActivate*>(host.control.Get())
                         ->QuickActivate(&host.container, &answer);
        EXPECT_EQ(hr, c.expected);
        // A refused call changes nothing: no site, nothing written.
        ComPtr<IOleClientSite> site;
        host.control->GetClientSite(site.Put());
        EXPECT_EQ(site.Get() != nullptr, c.expected == S_OK);
        EXPECT_EQ(answer.dwMiscStatus, c.expected == S_OK ? 131473u : 0u);
        // The word beyond a short structure is not the control's to write.
        if (c.control == shortControl) {
            EXPECT_EQ(answer.dwPointerActivationPolicy, 0xABCDu);
        }
    }
}

TEST(QuickActivate, ContentExtentIsTheControlsExtent) {
    QuickHost host;
    auto* quick = static_cast<IQuickActivate*>(host.control.Get());
    SIZEL size{4000, 2000};
    EXPECT_EQ(quick->SetContentExtent(&size), S_OK);
    SIZEL extent{};
    host.control->GetExtent(DVASPECT_CONTENT, &extent);
    EXPECT_EQ(extent.cx, 4000);
    EXPECT_EQ(extent.cy, 2000);
    SIZEL back{};
    EXPECT_EQ(quick->GetContentExtent(&back), S_OK);
    EXPECT_EQ(back.cx, 4000);
    EXPECT_EQ(quick->GetContentExtent(nullptr), E_POINTER);
    EXPECT_EQ(quick->QuickActivate(nullptr, &host.answer), E_POINTER);
}
