// No C++ exception leaves a method of the data control: each of its allocations failing in turn
// gives an error result (out of memory), or the method still does its work.
#include <gtest/gtest.h>

#include "controls/tests/DataControlHost.h"
#include "platform/AllocationFailure.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

using ZelBtrOutOfMemoryTest = DataControlFormTest;

// A string that belongs to the test, made before any allocation is failed.
struct OwnedText {
    explicit OwnedText(const wchar_t* text) : value(SysAllocString(text)) {}
    ~OwnedText() { SysFreeString(value); }
    BSTR value;
};

}  // namespace

TEST_F(ZelBtrOutOfMemoryTest, MethodsGiveAnErrorInsteadOfThrowing) {
    host::Form& form = NewForm(L"Form1");
    host::ControlSite* data = AddDataControl(form, L"Data1");
    ASSERT_NE(data, nullptr);
    ZelBtr& control = Object(0);
    OwnedText customer(L"Customer"), name(L"Name"), value(L"山田"), key(L"Code"), condition(L""),
        fields(L"Code,Name");
    short rc = 0;
    ASSERT_EQ(control.DbClearFieldBuffer(customer.value, &rc), S_OK);
    ASSERT_EQ(control.DbSetFieldData(customer.value, name.value, value.value, &rc), S_OK);

    auto acceptable = [](HRESULT hr) {
        return hr == S_OK || hr == CTL_E_OUTOFMEMORY || hr == E_OUTOFMEMORY;
    };
    std::size_t runs = ForEachFailingAllocation(
        [&] {
            BSTR text = nullptr;
            HRESULT hr = control.DbGetFieldData(customer.value, name.value, &text);
            bool right = hr != S_OK || (text != nullptr && std::wstring(text) == L"山田");
            SysFreeString(text);
            return std::make_pair(hr, right);
        },
        [&](std::pair<HRESULT, bool> result) {
            EXPECT_TRUE(acceptable(result.first)) << std::hex << result.first;
            EXPECT_TRUE(result.second);
        });
    EXPECT_GT(runs, 0u);

    runs = ForEachFailingAllocation(
        [&] {
            short id = -1, status = 0;
            long count = 0;
            HRESULT hr = control.DbExAccess(36, customer.value, condition.value, fields.value,
                                            key.value, 0, 10, VARIANT_FALSE, &id, &count, &status);
            if (id >= 0) control.DbExFree(id);
            return hr;
        },
        [&](HRESULT hr) { EXPECT_TRUE(acceptable(hr)) << std::hex << hr; });
    EXPECT_GT(runs, 0u);
}
