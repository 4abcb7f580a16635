#include "com/StreamVariant.h"

#include <ole2.h>

#include <vector>

#include "com/ComPtr.h"

namespace zelmor::com {

namespace {

constexpr uint32_t kNullString = 0xFFFFFFFFu;
// A string longer than this is taken for damage when the stream cannot tell its own size.
constexpr uint32_t kLongestString = 64u * 1024 * 1024;

HRESULT WriteAll(IStream* stream, const void* data, ULONG size) {
    ULONG written = 0;
    HRESULT hr = stream->Write(data, size, &written);
    if (FAILED(hr)) return hr;
    return written == size ? S_OK : STG_E_WRITEFAULT;
}

// The bytes left after the current position, or kLongestString when the stream cannot say.
uint64_t BytesLeft(IStream* stream) {
    STATSTG stat{};
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)) ||
        FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position))) {
        return kLongestString;
    }
    return stat.cbSize.QuadPart > position.QuadPart ? stat.cbSize.QuadPart - position.QuadPart : 0;
}

// The size of the value of a fixed-size type, or 0 for the others.
ULONG FixedSize(VARTYPE type) {
    switch (type) {
        case VT_I1:
        case VT_UI1:
            return 1;
        case VT_I2:
        case VT_UI2:
        case VT_BOOL:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_INT:
        case VT_UINT:
        case VT_R4:
        case VT_ERROR:
            return 4;
        case VT_I8:
        case VT_UI8:
        case VT_R8:
        case VT_CY:
        case VT_DATE:
            return 8;
        default:
            return 0;
    }
}

HRESULT WriteString(IStream* stream, BSTR text) {
    if (!text) return WriteU32(stream, kNullString);
    uint32_t bytes = SysStringByteLen(text);
    HRESULT hr = WriteU32(stream, bytes);
    if (SUCCEEDED(hr) && bytes) hr = WriteAll(stream, text, bytes);
    return hr;
}

HRESULT ReadString(IStream* stream, BSTR* text) {
    uint32_t bytes = 0;
    HRESULT hr = ReadU32(stream, &bytes);
    if (FAILED(hr)) return hr;
    if (bytes == kNullString) {
        *text = nullptr;
        return S_OK;
    }
    if (bytes % sizeof(OLECHAR) != 0 || bytes > kLongestString || bytes > BytesLeft(stream)) {
        return STG_E_READFAULT;
    }
    *text = SysAllocStringByteLen(nullptr, bytes);
    if (!*text) return E_OUTOFMEMORY;
    hr = ReadExactly(stream, *text, bytes);
    if (FAILED(hr)) {
        SysFreeString(*text);
        *text = nullptr;
    }
    return hr;
}

HRESULT WriteObject(IStream* stream, IUnknown* object) {
    ComPtr<IPersistStream> persist;
    if (object) object->QueryInterface(IID_IPersistStream, persist.PutVoid());
    uint8_t present = persist ? 1 : 0;
    HRESULT hr = WriteAll(stream, &present, 1);
    if (SUCCEEDED(hr) && persist) hr = OleSaveToStream(persist.Get(), stream);
    return hr;
}

HRESULT ReadObject(IStream* stream, VARTYPE type, VARIANT* value) {
    uint8_t present = 0;
    HRESULT hr = ReadExactly(stream, &present, 1);
    if (FAILED(hr)) return hr;
    if (present > 1) return STG_E_READFAULT;
    ComPtr<IUnknown> object;
    if (present) {
        REFIID iid = type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
        hr = OleLoadFromStream(stream, iid, object.PutVoid());
        if (FAILED(hr)) return hr;
    }
    V_VT(value) = type;
    V_UNKNOWN(value) = object.Detach();  // the dispatch pointer, for VT_DISPATCH
    return S_OK;
}

}  // namespace

HRESULT WriteU32(IStream* stream, uint32_t value) {
    uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                        static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    return WriteAll(stream, bytes, sizeof bytes);
}

HRESULT ReadU32(IStream* stream, uint32_t* value) {
    uint8_t bytes[4];
    HRESULT hr = ReadExactly(stream, bytes, sizeof bytes);
    if (FAILED(hr)) return hr;
    *value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    return S_OK;
}

HRESULT ReadExactly(IStream* stream, void* data, ULONG size) {
    ULONG read = 0;
    HRESULT hr = stream->Read(data, size, &read);
    if (FAILED(hr)) return hr;
    return read == size ? S_OK : STG_E_READFAULT;
}

HRESULT WriteVariant(IStream* stream, const VARIANT& value) {
    VARTYPE type = V_VT(&value);
    HRESULT hr = WriteAll(stream, &type, sizeof type);
    if (FAILED(hr)) return hr;
    if (ULONG size = FixedSize(type)) return WriteAll(stream, &V_UI1(&value), size);
    switch (type) {
        case VT_EMPTY:
        case VT_NULL:
            return S_OK;
        case VT_BSTR:
            return WriteString(stream, V_BSTR(&value));
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return WriteObject(stream, V_UNKNOWN(&value));
        default:
            return DISP_E_BADVARTYPE;
    }
}

HRESULT ReadVariant(IStream* stream, VARIANT* value) {
    VariantClear(value);
    VARTYPE type = VT_EMPTY;
    HRESULT hr = ReadExactly(stream, &type, sizeof type);
    if (FAILED(hr)) return hr;
    if (ULONG size = FixedSize(type)) {
        hr = ReadExactly(stream, &V_UI1(value), size);
        if (SUCCEEDED(hr)) V_VT(value) = type;
        return hr;
    }
    switch (type) {
        case VT_EMPTY:
        case VT_NULL:
            V_VT(value) = type;
            return S_OK;
        case VT_BSTR: {
            BSTR text = nullptr;
            hr = ReadString(stream, &text);
            if (SUCCEEDED(hr)) {
                V_VT(value) = VT_BSTR;
                V_BSTR(value) = text;
            }
            return hr;
        }
        case VT_UNKNOWN:
        case VT_DISPATCH:
            return ReadObject(stream, type, value);
        default:
            return DISP_E_BADVARTYPE;
    }
}

}  // namespace zelmor::com
