// The host's object model as a control reaches it: the container from its client site, the
// container's Parent (the form) and the form's Name and hWnd, all by name through dispatch
// interfaces, as the lookups of a form's name and window do.
#include <gtest/gtest.h>

#include "ProbeForm.h"
#include "host/Automation.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

// Reads a property by name exactly as a control asks its host: one name, IID_NULL, the
// system's default locale, a property get without arguments.
HRESULT ReadByName(IDispatch* object, const wchar_t* name, VARIANT* value) {
    DISPID dispid = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, 0x400, &dispid);
    if (FAILED(hr)) return hr;
    DISPPARAMS none{};
    return object->Invoke(dispid, IID_NULL, 0x400, DISPATCH_PROPERTYGET, &none, value, nullptr,
                          nullptr);
}

// The Parent object a control finds through its client site.
com::ComPtr<IDispatch> ParentOf(ProbeControl& probe) {
    com::ComPtr<IOleContainer> container;
    EXPECT_EQ(probe.ClientSite()->GetContainer(container.Put()), S_OK);
    auto dispatch = container.As<IDispatch>();
    EXPECT_TRUE(dispatch) << "the container answers IDispatch";
    com::Variant parent;
    EXPECT_EQ(ReadByName(dispatch.Get(), L"Parent", parent.Get()), S_OK);
    EXPECT_EQ(V_VT(parent.Get()), VT_DISPATCH);
    return com::ComPtr<IDispatch>(V_DISPATCH(parent.Get()));
}

}  // namespace

TEST(ObjectModel, ParentOfTheContainerIsTheFormWithItsNameAndWindow) {
    ProbeForm probes(SiteMode::Run, L"OrderForm");
    probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    com::ComPtr<IDispatch> form = ParentOf(probes.Last());
    ASSERT_TRUE(form);

    com::Variant name, window, caption;
    EXPECT_EQ(ReadByName(form.Get(), L"Name", name.Get()), S_OK);
    EXPECT_EQ(TextOfValue(*name.Get()), L"OrderForm");
    EXPECT_EQ(ReadByName(form.Get(), L"hWnd", window.Get()), S_OK);
    ASSERT_EQ(V_VT(window.Get()), VT_I4);
    EXPECT_EQ(reinterpret_cast<HWND>(static_cast<LONG_PTR>(V_I4(window.Get()))),
              probes.form.Window());
    EXPECT_EQ(ReadByName(form.Get(), L"CAPTION", caption.Get()), S_OK) << "any letter case";
    EXPECT_EQ(TextOfValue(*caption.Get()), L"Probe form");

    com::Variant none;
    EXPECT_EQ(ReadByName(form.Get(), L"Colour", none.Get()), DISP_E_UNKNOWNNAME);
    DISPPARAMS none2{};
    EXPECT_EQ(form->Invoke(1, IID_NULL, 0, DISPATCH_PROPERTYPUT, &none2, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND)
        << "the form's members are read-only";
}

TEST(ObjectModel, ControlsOfTwoFormsWithTheSameNameSeeTheirOwnForm) {
    ProbeForm first(SiteMode::Run, L"Form1");
    ProbeForm second(SiteMode::Run, L"Form2");
    first.Add({L"Data1", RECT{0, 0, 100, 24}});
    second.Add({L"Data1", RECT{0, 0, 100, 24}});
    for (ProbeForm* probes : {&first, &second}) {
        com::Variant name, window;
        com::ComPtr<IDispatch> form = ParentOf(probes->Last());
        ASSERT_TRUE(form);
        ReadByName(form.Get(), L"Name", name.Get());
        ReadByName(form.Get(), L"hWnd", window.Get());
        EXPECT_EQ(TextOfValue(*name.Get()), probes->form.Name());
        EXPECT_EQ(V_I4(window.Get()),
                  static_cast<LONG>(reinterpret_cast<LONG_PTR>(probes->form.Window())));
    }
}

TEST(ObjectModel, TheContainerListsTheFormsControls) {
    ProbeForm probes;
    probes.Add({L"Probe1", RECT{0, 0, 100, 24}});
    probes.Add({L"Probe2", RECT{0, 30, 100, 54}});
    com::ComPtr<IEnumUnknown> controls;
    ASSERT_EQ(probes.form.ContainerObject()->EnumObjects(OLECONTF_EMBEDDINGS, controls.Put()),
              S_OK);
    IUnknown* found[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(controls->Next(3, found, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    for (ULONG i = 0; i < fetched; ++i) {
        EXPECT_EQ(found[i], probes.form.Controls()[i]->Object());
        found[i]->Release();
    }
}
