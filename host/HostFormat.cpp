#include "host/HostFormat.h"

#include <vector>

#include "com/Variant.h"

namespace zelmor::host {

namespace {

// The tokenised form of a format text; the platform's own VarFormat uses a buffer this size.
constexpr int kTokenBufferSize = 1024;

}  // namespace

HRESULT FormatVariant(const VARIANT& value, const std::wstring& format, LCID lcid, int firstDay,
                      int firstWeek, std::wstring* out) {
    if (!out) return E_POINTER;
    out->clear();
    // VarFormat itself takes no locale; its two steps do. They convert text to a number or a
    // date when the format asks for one.
    com::Bstr formatText(format);
    std::vector<BYTE> tokens(kTokenBufferSize);
    int used = 0;
    HRESULT hr = VarTokenizeFormatString(formatText.Get(), tokens.data(), kTokenBufferSize,
                                         firstDay, firstWeek, lcid, &used);
    if (FAILED(hr)) return hr;
    com::Bstr result;
    hr = VarFormatFromTokens(const_cast<VARIANT*>(&value), formatText.Get(), tokens.data(), 0,
                             result.Put(), lcid);
    if (SUCCEEDED(hr)) *out = result.Text();
    return hr;
}

void* HostFormatter::FindInterface(REFIID iid) {
    if (iid == IID_IUnknown || iid == IID_IVBFormat) return static_cast<IVBFormat*>(this);
    return nullptr;
}

STDMETHODIMP HostFormatter::Format(VARIANT* value, BSTR format, void* buffer, USHORT capacity,
                                   LONG lcid, SHORT firstDayOfWeek, USHORT firstWeekOfYear,
                                   USHORT* produced) {
    if (!value || !buffer || !produced) return E_POINTER;
    *produced = 0;
    if (capacity == 0) return E_INVALIDARG;
    auto* text = static_cast<wchar_t*>(buffer);
    text[0] = L'\0';
    std::wstring formatted;
    HRESULT hr = FormatVariant(*value, com::TextOf(format), static_cast<LCID>(lcid), firstDayOfWeek,
                               firstWeekOfYear, &formatted);
    if (FAILED(hr)) return hr;
    if (formatted.size() >= capacity) return DISP_E_BUFFERTOOSMALL;
    formatted.copy(text, formatted.size());
    text[formatted.size()] = L'\0';
    *produced = static_cast<USHORT>(formatted.size());
    return S_OK;
}

}  // namespace zelmor::host
