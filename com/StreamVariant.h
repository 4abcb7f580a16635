// A variant written to and read from a stream: its type (u16), then its value. Numbers are
// written in their natural size; a string as its length in bytes (u32, all ones for a null
// string) and its UTF-16 characters; an object as a presence byte and, when present, the
// object's own persisted form (class identifier and data, OleSaveToStream).
#pragma once

#include <oaidl.h>
#include <objidl.h>

#include <cstdint>

namespace zelmor::com {

HRESULT WriteVariant(IStream* stream, const VARIANT& value);
// Reads one variant into value (cleared first). A stream that ends inside the variant gives
// STG_E_READFAULT; an unknown type DISP_E_BADVARTYPE.
HRESULT ReadVariant(IStream* stream, VARIANT* value);

HRESULT WriteU32(IStream* stream, uint32_t value);
HRESULT ReadU32(IStream* stream, uint32_t* value);
// Reads exactly size bytes; a short read is STG_E_READFAULT.
HRESULT ReadExactly(IStream* stream, void* data, ULONG size);

}  // namespace zelmor::com
