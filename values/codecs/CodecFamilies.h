// The conversions of each family of data types, called by the dispatch in FieldCodecs.cpp once it
// has checked that the value lies inside the record and that the field's size and decimals make
// sense for its type. `type` is the field's data type code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "values/codecs/ValueBytes.h"

namespace zelmor::codecs {

// String, Note, LVar, ZString, LString.
std::string StringToText(std::int32_t type, ValueView value);
void TextToString(std::int32_t type, ValueSpan value, std::string_view text);

// Integer, UBin, AutoInc, and the one-byte Logical and Bit.
std::string IntegerToText(std::int32_t type, ValueView value);
void TextToInteger(std::int32_t type, ValueSpan value, std::string_view text);
std::string LogicalToText(std::int32_t type, ValueView value);
void TextToLogical(std::int32_t type, ValueSpan value, std::string_view text);

// Float (IEEE) and BFloat (binary float); 8 bytes or 4.
std::string FloatToText(std::int32_t type, ValueView value);
void TextToFloat(std::int32_t type, ValueSpan value, std::string_view text);

// Date (4 bytes: day, month, 16-bit year) and Time (hundredths, seconds, minutes, hours).
std::string DateToText(ValueView value);
void TextToDate(ValueSpan value, std::string_view text);
std::string TimeToText(ValueView value);
void TextToTime(ValueSpan value, std::string_view text);

// Decimal and Money: packed decimal with a sign nibble.
std::string PackedToText(ValueView value, int decimals);
void TextToPacked(ValueSpan value, int decimals, std::string_view text);

// Numeric, NumericSTS, NumericSA: zoned digits with the sign overpunched, trailing or as letter.
std::string ZonedToText(std::int32_t type, ValueView value, int decimals);
void TextToZoned(std::int32_t type, ValueSpan value, int decimals, std::string_view text);

// Currency: a 64-bit integer scaled by 10 to the power of the decimals.
std::string CurrencyToText(ValueView value, int decimals);
void TextToCurrency(ValueSpan value, int decimals, std::string_view text);

// Blob: the text that the 8-byte descriptor points at in the record.
std::string BlobToText(ValueView descriptor, const std::uint8_t* record, std::size_t recordSize);

// WString, WZString: UTF-16 little-endian text.
std::string WideToText(ValueView value);
void TextToWide(std::int32_t type, ValueSpan value, std::string_view text);

}  // namespace zelmor::codecs
