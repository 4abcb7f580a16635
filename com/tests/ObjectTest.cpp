// Identity, reference counting, the class factory and the module's object and lock counts.
#include <gtest/gtest.h>

#include "TestControl.h"
#include "TestSite.h"
#include "com/ClassFactory.h"
#include "com/ModuleState.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

template <typename T>
ComPtr<T> Query(IUnknown* object) {
    ComPtr<T> result;
    object->QueryInterface(__uuidof(T), result.PutVoid());
    return result;
}

}  // namespace

TEST(ComObject, EveryInterfaceLeadsToTheSameIdentity) {
    auto control = MakeInstance<TestControl>();
    auto identity = Query<IUnknown>(static_cast<IOleObject*>(control.Get()));
    ASSERT_TRUE(identity);
    const IID interfaces[] = {IID_IOleObject,
                              IID_IOleInPlaceObject,
                              IID_IOleInPlaceActiveObject,
                              IID_IOleControl,
                              IID_IViewObject2,
                              IID_IPersistStreamInit,
                              IID_IPersistPropertyBag,
                              IID_ISpecifyPropertyPages,
                              IID_IConnectionPointContainer,
                              IID_IProvideClassInfo2,
                              IID_IDispatch,
                              IID_ITestControl,
                              IID_IOleWindow,
                              IID_IPersist,
                              IID_IViewObject,
                              IID_IProvideClassInfo};
    for (const IID& iid : interfaces) {
        ComPtr<IUnknown> through;
        ASSERT_EQ(identity->QueryInterface(iid, through.PutVoid()), S_OK);
        EXPECT_EQ(Query<IUnknown>(through.Get()).Get(), identity.Get());
    }
}

TEST(ComObject, FailedQueryClearsTheOutPointer) {
    auto control = MakeInstance<TestControl>();
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(control->QueryInterface(IID_IClassFactory, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(control->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
}

TEST(ComObject, ReferenceCountDecidesTheLifetime) {
    long before = ModuleState::ObjectCount();
    {
        auto control = MakeInstance<TestControl>();
        EXPECT_EQ(ModuleState::ObjectCount(), before + 1);
        EXPECT_EQ(control->AddRef(), 2u);
        EXPECT_EQ(control->Release(), 1u);
    }
    EXPECT_EQ(ModuleState::ObjectCount(), before);
}

TEST(ComObject, ContainerCallingBackDuringTeardownDoesNotDestroyTwice) {
    long before = ModuleState::ObjectCount();
    auto site = MakeInstance<TestSite>();
    {
        auto control = MakeInstance<TestControl>();
        control->SetClientSite(site.Get());
        ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.Get(), 0, site->Window(),
                                  &site->position),
                  S_OK);
        // The site takes and drops a reference while the control deactivates itself in its
        // final release.
        site->touchOnDeactivate = static_cast<IOleObject*>(control.Get());
    }
    site->touchOnDeactivate = nullptr;
    EXPECT_EQ(site->CallsStartingWith("OnInPlaceDeactivate").size(), 1u);
    site = nullptr;
    EXPECT_EQ(ModuleState::ObjectCount(), before);
}

TEST(ClassFactory, CreatesObjectsAndRefusesAggregation) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(GetClassFactory(CreateTestControl, IID_IClassFactory, factory.PutVoid()), S_OK);

    ComPtr<IOleObject> object;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IOleObject, object.PutVoid()), S_OK);
    EXPECT_TRUE(object);

    ComPtr<IUnknown> aggregated;
    auto outer = MakeInstance<TestSite>();
    EXPECT_EQ(factory->CreateInstance(static_cast<IOleClientSite*>(outer.Get()), IID_IUnknown,
                                      aggregated.PutVoid()),
              CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(aggregated);

    ComPtr<IUnknown> unsupported;
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, unsupported.PutVoid()),
              E_NOINTERFACE);
}

TEST(ClassFactory, NoCreationFunctionMeansClassNotAvailable) {
    void* out = reinterpret_cast<void*>(0x1234);
    EXPECT_EQ(GetClassFactory(nullptr, IID_IClassFactory, &out), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(out, nullptr);
}

TEST(ModuleState, UnloadsOnlyWithoutObjectsAndLocks) {
    ASSERT_TRUE(ModuleState::CanUnload()) << "objects left over by an earlier test";
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(GetClassFactory(CreateTestControl, IID_IClassFactory, factory.PutVoid()), S_OK);
    EXPECT_FALSE(ModuleState::CanUnload());  // the class object itself

    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory = nullptr;
    EXPECT_EQ(ModuleState::LockCount(), 1);
    EXPECT_FALSE(ModuleState::CanUnload());  // locked, though no object is left

    ASSERT_EQ(GetClassFactory(CreateTestControl, IID_IClassFactory, factory.PutVoid()), S_OK);
    EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    factory = nullptr;
    EXPECT_TRUE(ModuleState::CanUnload());
}
