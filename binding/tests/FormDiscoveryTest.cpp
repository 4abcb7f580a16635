// Windows: the form's name and window handle asked of the host's object model, and what a
// control is told when the host's model lacks a part (VE808 to VE811).
#include <gtest/gtest.h>
#include <ole2.h>

#include "binding/FormDiscovery.h"
#include "com/ObjectRoot.h"
#include "platform/CodePage.h"
#include "platform/RecordingPlatform.h"

using namespace zelmor;

namespace {

// How much of the object model the fake host has.
enum class Model { NoParent, ParentFails, NoName, NameFails, Complete };

// One object plays the form and the container: both answer by name through IDispatch.
class FakeObjectModel : public com::ObjectRoot, public IOleContainer, public IDispatch {
public:
    explicit FakeObjectModel(Model model) : model_(model) {}

    // IParseDisplayName, IOleContainer
    STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumObjects(DWORD, IEnumUnknown**) override { return E_NOTIMPL; }
    STDMETHODIMP LockContainer(BOOL) override { return S_OK; }

    // IDispatch: "Parent" is 1, "Name" 2, "hWnd" 3.
    STDMETHODIMP GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        std::wstring name = names[0];
        if (name == L"Parent" && model_ != Model::NoParent) *ids = 1;
        else if (name == L"Name" && model_ >= Model::NameFails) *ids = 2;
        else if (name == L"hWnd" && model_ >= Model::NameFails) *ids = 3;
        else return DISP_E_UNKNOWNNAME;
        return S_OK;
    }
    STDMETHODIMP Invoke(DISPID dispid, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                        EXCEPINFO*, UINT*) override {
        if (dispid == 1) {
            if (model_ == Model::ParentFails) return E_FAIL;
            V_VT(result) = VT_DISPATCH;
            V_DISPATCH(result) = static_cast<IDispatch*>(this);
            static_cast<IDispatch*>(this)->AddRef();
            return S_OK;
        }
        if (model_ == Model::NameFails) return E_FAIL;
        if (dispid == 2) {
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocString(L"受注入力");
        } else {
            V_VT(result) = VT_I4;
            V_I4(result) = 0x1234;
        }
        return S_OK;
    }

protected:
    void* FindInterface(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IOleContainer || iid == IID_IParseDisplayName) {
            return static_cast<IOleContainer*>(this);
        }
        if (iid == IID_IDispatch) return static_cast<IDispatch*>(this);
        return nullptr;
    }

private:
    Model model_;
};

class FakeSite : public com::ObjectRoot, public IOleClientSite {
public:
    explicit FakeSite(Model model) : model_(com::MakeInstance<FakeObjectModel>(model)) {}

    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainer(IOleContainer** container) override {
        *container = static_cast<IOleContainer*>(model_.Get());
        (*container)->AddRef();
        return S_OK;
    }
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

protected:
    void* FindInterface(REFIID iid) override {
        if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
            return static_cast<IOleClientSite*>(this);
        }
        return nullptr;
    }

private:
    com::ComPtr<com::ComInstance<FakeObjectModel>> model_;
};

}  // namespace

TEST(FormDiscovery, NameAndWindowFromTheParentObject) {
    platform::RecordingPlatform platform;
    platform::ScopedPlatform scope(platform);
    auto site = com::MakeInstance<FakeSite>(Model::Complete);
    std::string name;
    ASSERT_EQ(QueryFormName(site.Get(), name), 0);
    EXPECT_EQ(platform::AnsiToUtf8(name), "受注入力");
    WindowHandle window = 0;
    ASSERT_EQ(QueryFormHandle(site.Get(), window), 0);
    EXPECT_EQ(window, 0x1234u);
    EXPECT_TRUE(platform.Messages().empty());
    EXPECT_EQ(QueryFormName(nullptr, name), -1);
    EXPECT_EQ(FindFormWindow(nullptr), 0u);
}

TEST(FormDiscovery, EachMissingPartOfTheModelHasItsMessage) {
    struct Case {
        Model model;
        const char* message;
    } cases[] = {
        {Model::NoParent, "VE808 ParentのDispatchIDを取得できません。"},
        {Model::ParentFails, "VE809 Parentのディスパッチ・インターフェースを取得できません。"},
        {Model::NoName, "VE810 ParentのNameのDispatchIDを取得できません。"},
        {Model::NameFails, "VE811 ParentのNameディスパッチ・インターフェースを取得できません。"},
    };
    for (const Case& c : cases) {
        platform::RecordingPlatform platform;
        platform::ScopedPlatform scope(platform);
        auto site = com::MakeInstance<FakeSite>(c.model);
        std::string name = "unchanged";
        EXPECT_EQ(QueryFormName(site.Get(), name), -1) << c.message;
        WindowHandle window = 0;
        EXPECT_EQ(QueryFormHandle(site.Get(), window), -1) << c.message;
        EXPECT_EQ(platform.MessagesUtf8(), (std::vector<std::string>{c.message, c.message}));
    }
}
