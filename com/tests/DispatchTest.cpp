// IDispatch of a control through the type library: calls by name, out-parameters in the forms
// typed hosts and script engines pass them, errors, and the class information.
#include <gtest/gtest.h>
#include <olectl.h>

#include "HostedControl.h"
#include "com/Variant.h"

using namespace zelmor::com;
using namespace zelmor::com::testing;

namespace {

DISPID IdOf(IDispatch* object, const wchar_t* name) {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
}

HRESULT PutByName(IDispatch* object, const wchar_t* name, VARIANT value) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&value, &named, 1, 1};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT,
                          &params, nullptr, nullptr, nullptr);
}

HRESULT GetByName(IDispatch* object, const wchar_t* name, VARIANT* value) {
    DISPPARAMS none{};
    return object->Invoke(IdOf(object, name), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                          &none, value, nullptr, nullptr);
}

// Calls Measure(text, out length) with the length argument as given.
HRESULT CallMeasure(IDispatch* object, const wchar_t* text, VARIANT lengthArgument) {
    Bstr argument(text);
    VARIANT arguments[2];
    arguments[0] = lengthArgument;  // last argument first
    VariantInit(&arguments[1]);
    V_VT(&arguments[1]) = VT_BSTR;
    V_BSTR(&arguments[1]) = argument.Get();
    DISPPARAMS params{arguments, nullptr, 2, 0};
    return object->Invoke(IdOf(object, L"Measure"), IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                          &params, nullptr, nullptr, nullptr);
}

}  // namespace

TEST(Dispatch, NamesGiveTheDispatchIdentifiersOfTheTypeLibrary) {
    auto control = MakeInstance<TestControl>();
    IDispatch* dispatch = static_cast<ITestControl*>(control.Get());
    EXPECT_EQ(IdOf(dispatch, L"Number"), 1);
    EXPECT_EQ(IdOf(dispatch, L"caption"), DISPID_CAPTION);  // names ignore letter case
    EXPECT_EQ(IdOf(dispatch, L"Measure"), 5);

    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_IDispatch, unknown, 1, LOCALE_USER_DEFAULT, &id),
              DISP_E_UNKNOWNINTERFACE);
}

TEST(Dispatch, PropertiesAreSetAndReadByName) {
    auto control = MakeInstance<TestControl>();
    IDispatch* dispatch = static_cast<ITestControl*>(control.Get());

    VARIANT number;
    VariantInit(&number);
    V_VT(&number) = VT_BSTR;  // converted to the property's type on the way in
    Bstr text(L"42");
    V_BSTR(&number) = text.Get();
    ASSERT_EQ(PutByName(dispatch, L"Number", number), S_OK);

    Variant read;
    ASSERT_EQ(GetByName(dispatch, L"Number", read.Get()), S_OK);
    EXPECT_EQ(V_VT(read.Get()), VT_I4);
    EXPECT_EQ(V_I4(read.Get()), 42);
}

TEST(Dispatch, ErrorsOfTheMethodReachTheCaller) {
    auto control = MakeInstance<TestControl>();
    IDispatch* dispatch = static_cast<ITestControl*>(control.Get());
    VARIANT tooSmall;
    VariantInit(&tooSmall);
    V_VT(&tooSmall) = VT_I4;
    V_I4(&tooSmall) = TestControl::kSmallestNumber - 1;
    // The dispatch layer reports the method's error as an exception that carries it.
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&tooSmall, &named, 1, 1};
    EXCEPINFO exception{};
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                               nullptr, &exception, nullptr),
              DISP_E_EXCEPTION);
    EXPECT_EQ(exception.scode, CTL_E_INVALIDPROPERTYVALUE);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    long number = 0;
    control->get_Number(&number);
    EXPECT_EQ(number, 7);

    DISPPARAMS none{};
    EXPECT_EQ(dispatch->Invoke(IdOf(dispatch, L"Measure"), IID_NULL, LOCALE_USER_DEFAULT,
                               DISPATCH_METHOD, &none, nullptr, nullptr, nullptr),
              DISP_E_BADPARAMCOUNT);
}

TEST(Dispatch, TypedReferenceReceivesTheOutParameter) {
    auto control = MakeInstance<TestControl>();
    short length = -1;
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_I2 | VT_BYREF;
    V_I2REF(&argument) = &length;
    ASSERT_EQ(CallMeasure(static_cast<ITestControl*>(control.Get()), L"abcd", argument), S_OK);
    EXPECT_EQ(length, 4);
}

TEST(Dispatch, VariantReferenceReceivesTheOutParameterAsScriptsPassIt) {
    auto control = MakeInstance<TestControl>();
    Variant variable;  // a script variable: empty before the call
    VARIANT argument;
    VariantInit(&argument);
    V_VT(&argument) = VT_VARIANT | VT_BYREF;
    V_VARIANTREF(&argument) = variable.Get();
    ASSERT_EQ(CallMeasure(static_cast<ITestControl*>(control.Get()), L"abc", argument), S_OK);
    EXPECT_EQ(V_VT(variable.Get()), VT_I2);
    EXPECT_EQ(V_I2(variable.Get()), 3);

    // A variable that held a string before the call holds the number after it.
    Variant reused;
    V_VT(reused.Get()) = VT_BSTR;
    V_BSTR(reused.Get()) = SysAllocString(L"old");
    V_VARIANTREF(&argument) = reused.Get();
    ASSERT_EQ(CallMeasure(static_cast<ITestControl*>(control.Get()), L"", argument), S_OK);
    EXPECT_EQ(V_VT(reused.Get()), VT_I2);
    EXPECT_EQ(V_I2(reused.Get()), 0);
}

TEST(Dispatch, TypeInformationDescribesTheDualInterface) {
    auto control = MakeInstance<TestControl>();
    IDispatch* dispatch = static_cast<ITestControl*>(control.Get());
    UINT count = 0;
    EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, IID_ITestControl));
    info->ReleaseTypeAttr(attributes);
    EXPECT_EQ(dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, info.Put()), DISP_E_BADINDEX);
}

TEST(ProvideClassInfo, NamesTheClassAndItsDefaultEventInterface) {
    auto control = MakeInstance<TestControl>();
    auto provider = control.As<IProvideClassInfo2>();
    ASSERT_TRUE(provider);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(provider->GetClassInfo(info.Put()), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, CLSID_ZelmorTestControl));
    info->ReleaseTypeAttr(attributes);
    // The class belongs to the library the module carries, under the library's identifier.
    ComPtr<ITypeLib> library;
    UINT index = 0;
    ASSERT_EQ(info->GetContainingTypeLib(library.Put(), &index), S_OK);
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&libraryAttributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(libraryAttributes->guid, LIBID_ZelmorTestControlLib));
    library->ReleaseTLibAttr(libraryAttributes);

    GUID events{};
    EXPECT_EQ(provider->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
    EXPECT_TRUE(IsEqualGUID(events, DIID__DTestControlEvents));
    EXPECT_EQ(provider->GetGUID(99, &events), E_INVALIDARG);
}
