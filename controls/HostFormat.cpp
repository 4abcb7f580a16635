#include "controls/HostFormat.h"

#include <vector>

#include "com/AnsiText.h"
#include "com/ComPtr.h"
#include "com/Variant.h"
#include "module/HostFormat.h"

namespace zelmor {

namespace {

constexpr std::size_t kBufferBytes = 2048;
constexpr USHORT kCapacity = 512;  // wide characters the buffer is said to hold
constexpr LONG kJapanese = 0x411;

}  // namespace

std::optional<std::string> FormatWithHost(IOleClientSite* site, const std::string& value,
                                          const std::string& format) {
    if (site == nullptr || value.empty() || format.empty()) return std::nullopt;
    // A value longer than the text that may come back is not handed over: no format shortens
    // it that far, and a host's number parser is not to be trusted with tens of thousands of
    // digits.
    const std::wstring wideValue = com::WideOf(value);
    if (wideValue.size() >= kCapacity) return std::nullopt;
    com::ComPtr<IGetVBAObject> access;
    if (FAILED(site->QueryInterface(__uuidof(IGetVBAObject), access.PutVoid())) || !access) {
        return std::nullopt;
    }
    com::ComPtr<IVBFormat> formatter;
    if (FAILED(access->GetObject(__uuidof(IVBFormat), formatter.PutVoid(), 0)) || !formatter) {
        return std::nullopt;
    }
    com::Variant data;
    V_VT(data.Get()) = VT_BSTR;
    V_BSTR(data.Get()) = SysAllocString(wideValue.c_str());
    com::Bstr formatText(com::WideOf(format));
    if (!V_BSTR(data.Get()) || !formatText.Get()) return std::nullopt;
    // The buffer has room for one more character than the service is told, so that its text
    // always ends with a terminator.
    std::vector<wchar_t> buffer(kBufferBytes / sizeof(wchar_t), L'\0');
    USHORT produced = 0;
    if (FAILED(formatter->Format(data.Get(), formatText.Get(), buffer.data(), kCapacity, kJapanese,
                                 0, 0, &produced))) {
        return std::nullopt;
    }
    buffer.back() = L'\0';
    return com::AnsiOf(std::wstring(buffer.data()));
}

}  // namespace zelmor
