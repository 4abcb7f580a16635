// The conversions of each family of data types, called by the dispatch in FieldCodecs.cpp once it
// has checked that the value lies inside the record and that the field's size and decimals make
// sense for its type. Each reads the field's type code and decimals as it needs them.
#pragma once

#include <string>
#include <string_view>

#include "values/FieldDef.h"
#include "values/codecs/ValueBytes.h"

namespace zelmor::codecs {

using ToText = std::string (*)(const FieldDef& field, ValueView value);
using FromText = void (*)(const FieldDef& field, ValueSpan value, std::string_view text);

// String, Note, LVar, ZString, LString.
std::string StringToText(const FieldDef& field, ValueView value);
void TextToString(const FieldDef& field, ValueSpan value, std::string_view text);

// Integer, UBin, AutoInc, and the one-byte Logical and Bit.
std::string IntegerToText(const FieldDef& field, ValueView value);
void TextToInteger(const FieldDef& field, ValueSpan value, std::string_view text);
std::string LogicalToText(const FieldDef& field, ValueView value);
void TextToLogical(const FieldDef& field, ValueSpan value, std::string_view text);

// Float (IEEE) and BFloat (binary float); 8 bytes or 4.
std::string FloatToText(const FieldDef& field, ValueView value);
void TextToFloat(const FieldDef& field, ValueSpan value, std::string_view text);

// Date (4 bytes: day, month, 16-bit year) and Time (hundredths, seconds, minutes, hours).
std::string DateToText(const FieldDef& field, ValueView value);
void TextToDate(const FieldDef& field, ValueSpan value, std::string_view text);
std::string TimeToText(const FieldDef& field, ValueView value);
void TextToTime(const FieldDef& field, ValueSpan value, std::string_view text);

// Decimal and Money: packed decimal with a sign nibble.
std::string PackedToText(const FieldDef& field, ValueView value);
void TextToPacked(const FieldDef& field, ValueSpan value, std::string_view text);

// Numeric, NumericSTS, NumericSA: zoned digits with the sign overpunched, trailing or as letter.
std::string ZonedToText(const FieldDef& field, ValueView value);
void TextToZoned(const FieldDef& field, ValueSpan value, std::string_view text);

// Currency: a 64-bit integer scaled by 10 to the power of the decimals.
std::string CurrencyToText(const FieldDef& field, ValueView value);
void TextToCurrency(const FieldDef& field, ValueSpan value, std::string_view text);

// Blob: the text that the 8-byte descriptor points at in the record (written by PlaceBlobText).
std::string BlobToText(const FieldDef& field, ValueView descriptor);

// WString, WZString: UTF-16 little-endian text.
std::string WideToText(const FieldDef& field, ValueView value);
void TextToWide(const FieldDef& field, ValueSpan value, std::string_view text);

}  // namespace zelmor::codecs
