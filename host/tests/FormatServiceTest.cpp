// The formatting service as a control uses it: the object-access interface from its client
// site, the formatting interface from that, and a call with a string value, a zero-filled
// 2048-byte buffer, a capacity of 512 and the Japanese locale.
#include <gtest/gtest.h>

#include <vector>

#include "ProbeForm.h"
#include "host/Automation.h"

using namespace zelmor;
using namespace zelmor::host;
using namespace zelmor::host::testing;

namespace {

constexpr LONG kJapanese = 0x411;
constexpr size_t kBufferBytes = 2048;
constexpr USHORT kCapacity = 512;

com::ComPtr<IVBFormat> FormatterOf(ProbeControl& probe) {
    com::ComPtr<IGetVBAObject> access;
    HRESULT hr = probe.ClientSite()->QueryInterface(IID_IGetVBAObject, access.PutVoid());
    EXPECT_EQ(hr, S_OK);
    com::ComPtr<IVBFormat> formatter;
    if (access) {
        EXPECT_EQ(access->GetObject(IID_IVBFormat, formatter.PutVoid(), 0), S_OK);
    }
    return formatter;
}

struct Formatted {
    HRESULT hr;
    std::wstring text;
    USHORT produced;
    bool guardIntact;  // nothing written past the capacity
};

Formatted Format(IVBFormat* formatter, const std::wstring& value, const std::wstring& format,
                 USHORT capacity = kCapacity) {
    std::vector<wchar_t> buffer(kBufferBytes / sizeof(wchar_t), L'\0');
    for (size_t i = capacity; i < buffer.size(); ++i) buffer[i] = L'#';
    com::Variant data = TextValue(value);
    com::Bstr formatText(format);
    USHORT produced = 0xFFFF;
    HRESULT hr = formatter->Format(data.Get(), formatText.Get(), buffer.data(), capacity, kJapanese,
                                   0, 0, &produced);
    bool intact = true;
    for (size_t i = capacity; i < buffer.size(); ++i) intact = intact && buffer[i] == L'#';
    return Formatted{hr, buffer.data(), produced, intact};
}

}  // namespace

TEST(FormatService, FormatsTextAsTheFormatSays) {
    ProbeForm probes;
    probes.Add({L"Text1", RECT{0, 0, 100, 24}});
    com::ComPtr<IVBFormat> formatter = FormatterOf(probes.Last());
    ASSERT_TRUE(formatter);
    struct Case {
        const wchar_t* value;
        const wchar_t* format;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"1234.5", L"#,##0.00", L"1,234.50"},
        {L"42", L"00000", L"00042"},
        {L"-7", L"0;(0)", L"(7)"},
        {L"0.256", L"0.0%", L"25.6%"},
        {L"1234567", L"@@@-@@@@", L"123-4567"},
        {L"abc", L">", L"ABC"},
        {L"2024/01/15", L"yyyy-mm-dd", L"2024-01-15"},
        {L"13:05:09", L"hh:nn", L"13:05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.format, c.format + wcslen(c.format)));
        Formatted result = Format(formatter.Get(), c.value, c.format);
        EXPECT_EQ(result.hr, S_OK);
        EXPECT_EQ(result.text, c.expected);
        EXPECT_EQ(result.produced, result.text.size());
        EXPECT_TRUE(result.guardIntact);
    }
}

TEST(FormatService, ATextLongerThanTheBufferIsRefusedNotCut) {
    ProbeForm probes;
    probes.Add({L"Text1", RECT{0, 0, 100, 24}});
    com::ComPtr<IVBFormat> formatter = FormatterOf(probes.Last());
    ASSERT_TRUE(formatter);
    // Six characters and the terminator need seven places.
    Formatted exact = Format(formatter.Get(), L"123456", L"000000", 7);
    EXPECT_EQ(exact.hr, S_OK);
    EXPECT_EQ(exact.text, L"123456");
    Formatted tooLong = Format(formatter.Get(), L"123456", L"000000", 6);
    EXPECT_EQ(tooLong.hr, DISP_E_BUFFERTOOSMALL);
    EXPECT_EQ(tooLong.text, L"");
    EXPECT_EQ(tooLong.produced, 0);
    EXPECT_TRUE(tooLong.guardIntact);
}

TEST(FormatService, OnlyTheFormattingInterfaceIsHandedOut) {
    ProbeForm probes;
    probes.Add({L"Text1", RECT{0, 0, 100, 24}});
    com::ComPtr<IGetVBAObject> access;
    ASSERT_EQ(probes.Last().ClientSite()->QueryInterface(IID_IGetVBAObject, access.PutVoid()),
              S_OK);
    com::ComPtr<IUnknown> other;
    EXPECT_EQ(access->GetObject(IID_IDispatch, other.PutVoid(), 0), E_NOINTERFACE);
    EXPECT_FALSE(other);
}
