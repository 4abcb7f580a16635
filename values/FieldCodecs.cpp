// The conversions by data type code: where a value lies and how many bytes it takes, the checks
// that keep every conversion inside its record buffer, and the dispatch to the type families.
#include "values/FieldCodecs.h"

#include <algorithm>
#include <cstring>

#include "messages/Messages.h"
#include "values/codecs/CodecFamilies.h"

namespace zelmor {

namespace {

using codecs::ValueSpan;
using codecs::ValueView;

// The zoned types are read through a 256-byte working area: at most 255 bytes and a terminator.
constexpr std::size_t kMaxZonedSize = 255;
// A 64-bit Currency integer has 19 digits.
constexpr int kMaxCurrencyDecimals = 19;

std::size_t DictionarySize(const FieldDef& field) {
    return field.size > 0 ? static_cast<std::size_t>(field.size) : 0;
}

// The width a type has whatever the dictionary says, or 0 when its width is the dictionary size.
std::size_t FixedWidth(std::int32_t type) {
    switch (type) {
        case kDate:
        case kTime:
            return 4;
        case kBit:
            return 1;
        case kCurrency:
        case kBlob:
            return 8;
        default:
            return 0;
    }
}

bool HasDictionarySize(std::int32_t type) {
    switch (type) {
        case kString:
        case kInteger:
        case kFloat:
        case kDecimal:
        case kMoney:
        case kLogical:  // one byte or two: a two-byte Logical must not shift the fields after it
        case kNumeric:
        case kBFloat:
        case kLString:
        case kZString:
        case kUBin:
        case kAutoInc:
        case kNumericSTS:
        case kNumericSA:
        case kWString:  // their bytes are there: counting them as 0 would shift the fields after
        case kWZString:
            return true;
        default:
            return false;
    }
}

// The most decimals a field of the type and size can hold; -1 for types without decimals.
int MaxDecimals(std::int32_t type, std::size_t size) {
    switch (type) {
        case kDecimal:
        case kMoney:
            return static_cast<int>(std::min<std::size_t>(2 * size - 1, INT32_MAX));
        case kNumeric:
        case kNumericSA:
            return static_cast<int>(size);
        case kNumericSTS:
            return static_cast<int>(size - 1);
        case kCurrency:
            return kMaxCurrencyDecimals;
        default:
            return -1;
    }
}

// The bytes the conversions of the field read and write; 0 when the field makes no sense (an
// unknown type, a size of 0, a size the type cannot have, decimals it cannot hold).
std::size_t CodecExtent(const FieldDef& field) {
    const std::int32_t type = field.dataType;
    std::size_t extent = FixedWidth(type);
    if (extent == 0 && (HasDictionarySize(type) || type == kNote || type == kLVar)) {
        extent = DictionarySize(field);
    }
    if (extent == 0) return 0;
    switch (type) {
        case kAutoInc:
            if (extent < 2) return 0;  // two bytes at least
            break;
        case kFloat:
        case kBFloat:
            if (extent < 4) return 0;  // the 4-byte form at least
            break;
        case kNumeric:
        case kNumericSTS:
        case kNumericSA:
            if (extent > kMaxZonedSize) return 0;
            break;
        default:
            break;
    }
    int maxDecimals = MaxDecimals(type, extent);
    if (maxDecimals >= 0 && (field.decimals < 0 || field.decimals > maxDecimals)) return 0;
    return extent;
}

// The conversions of a type; a type without a value has none, Blob has no text-to-record one.
struct TypeCodec {
    codecs::ToText toText;
    codecs::FromText fromText;
};

TypeCodec CodecFor(std::int32_t type) {
    switch (type) {
        case kString:
        case kNote:
        case kLVar:
        case kZString:
        case kLString:
            return {codecs::StringToText, codecs::TextToString};
        case kInteger:
        case kUBin:
        case kAutoInc:
            return {codecs::IntegerToText, codecs::TextToInteger};
        case kLogical:
        case kBit:
            return {codecs::LogicalToText, codecs::TextToLogical};
        case kFloat:
        case kBFloat:
            return {codecs::FloatToText, codecs::TextToFloat};
        case kDate:
            return {codecs::DateToText, codecs::TextToDate};
        case kTime:
            return {codecs::TimeToText, codecs::TextToTime};
        case kDecimal:
        case kMoney:
            return {codecs::PackedToText, codecs::TextToPacked};
        case kNumeric:
        case kNumericSTS:
        case kNumericSA:
            return {codecs::ZonedToText, codecs::TextToZoned};
        case kCurrency:
            return {codecs::CurrencyToText, codecs::TextToCurrency};
        case kBlob:
            return {codecs::BlobToText, nullptr};  // placed by PlaceBlobText
        case kWString:
        case kWZString:
            return {codecs::WideToText, codecs::TextToWide};
        default:
            return {nullptr, nullptr};
    }
}

// The field's bytes at `valueOffset`, or none when they do not lie wholly inside the record.
std::size_t CheckedExtent(const FieldDef& field, const std::uint8_t* record, std::size_t recordSize,
                          std::size_t valueOffset) {
    std::size_t extent = CodecExtent(field);
    if (record == nullptr || valueOffset > recordSize || extent > recordSize - valueOffset) {
        return 0;
    }
    return extent;
}

}  // namespace

std::string FieldToText(const FieldDef& field, const std::uint8_t* record, std::size_t recordSize,
                        std::size_t valueOffset) {
    std::size_t extent = CheckedExtent(field, record, recordSize, valueOffset);
    codecs::ToText toText = CodecFor(field.dataType).toText;
    if (extent == 0 || toText == nullptr) return std::string();
    std::string text = toText(field, ValueView{record + valueOffset, extent, record, recordSize});
    // Text ends at its first zero byte, whatever bytes the value held.
    text.resize(std::min(text.size(), text.find('\0')));
    return text;
}

int TextToField(const FieldDef& field, std::uint8_t* record, std::size_t recordSize,
                std::size_t valueOffset, std::string_view text) {
    std::size_t extent = CheckedExtent(field, record, recordSize, valueOffset);
    codecs::FromText fromText = CodecFor(field.dataType).fromText;
    if (extent == 0 || fromText == nullptr) return 0;
    fromText(field, ValueSpan{record + valueOffset, extent}, text.substr(0, text.find('\0')));
    return 0;
}

std::size_t StoredFieldSize(const FieldDef& field, const std::uint8_t* record,
                            std::size_t recordSize, std::size_t valueOffset) {
    const std::int32_t type = field.dataType;
    if (type == kNote || type == kLVar) {
        // The text and its terminator; a text that runs to the buffer's end counts to there.
        if (record == nullptr || valueOffset >= recordSize) return 0;
        const std::size_t room = recordSize - valueOffset;
        const void* zero = std::memchr(record + valueOffset, 0, room);
        if (zero == nullptr) return room;
        return static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) -
                                        (record + valueOffset)) +
               1;
    }
    if (std::size_t width = FixedWidth(type)) return width;
    if (HasDictionarySize(type)) return DictionarySize(field);
    ShowMessage(VE011);
    return 0;
}

void ClearFieldValue(const FieldDef& field, std::uint8_t* record, std::size_t recordSize,
                     std::size_t valueOffset) {
    std::size_t extent = CheckedExtent(field, record, recordSize, valueOffset);
    if (extent == 0) return;
    std::uint8_t* value = record + valueOffset;
    std::fill(value, value + extent, 0);
    switch (field.dataType) {
        case kString:
            std::fill(value, value + extent, ' ');
            break;
        case kNumeric:  // zero: "000{"
            std::fill(value, value + extent - 1, '0');
            value[extent - 1] = '{';
            break;
        case kNumericSTS:  // zero with its sign character: "000+"
            std::fill(value, value + extent - 1, '0');
            value[extent - 1] = '+';
            break;
        case kNumericSA:  // zero: "0000", a positive value has no sign letter
            std::fill(value, value + extent, '0');
            break;
        default:
            break;
    }
}

}  // namespace zelmor
