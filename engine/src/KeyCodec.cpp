#include "engine/src/KeyCodec.h"

#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Format.h"

namespace zelmor::engine {

namespace {

bool Extended(std::uint16_t flags) { return (flags & ZELRM_KEY_EXTENDED_TYPE) != 0; }

}  // namespace

bool KnownType(std::uint8_t type) {
    return type <= ZELRM_TYPE_ZSTRING || type == ZELRM_TYPE_UNSIGNED_BINARY ||
           type == ZELRM_TYPE_AUTOINCREMENT || type == ZELRM_TYPE_NUMERIC_STS ||
           type == ZELRM_TYPE_NUMERIC_SA || type == ZELRM_TYPE_CURRENCY;
}

bool ValidLength(std::uint8_t type, std::uint16_t length) {
    auto oneOf = [length](std::initializer_list<int> sizes) {
        for (int size : sizes)
            if (length == size) return true;
        return false;
    };
    switch (type) {
        case ZELRM_TYPE_INTEGER:
        case ZELRM_TYPE_UNSIGNED_BINARY:
        case ZELRM_TYPE_AUTOINCREMENT:
            return oneOf({1, 2, 4, 8});
        case ZELRM_TYPE_FLOAT:
        case ZELRM_TYPE_BFLOAT:
            return oneOf({4, 8});
        case ZELRM_TYPE_DATE:
        case ZELRM_TYPE_TIME:
            return length == 4;
        case ZELRM_TYPE_LOGICAL:
            return oneOf({1, 2});
        case ZELRM_TYPE_CURRENCY:
            return length == 8;
        case ZELRM_TYPE_NUMERIC_STS:
            return length >= 2;
        default:
            return length >= 1;
    }
}

namespace {

std::uint8_t Upper(std::uint8_t c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// Big-endian copy of a little-endian integer, with the sign bit flipped for signed ones.
void OrderInteger(const std::uint8_t* value, std::size_t length, bool isSigned,
                  std::uint8_t* ordered) {
    for (std::size_t i = 0; i < length; ++i) ordered[i] = value[length - 1 - i];
    if (isSigned) ordered[0] ^= 0x80;
}

void OrderIeee(const std::uint8_t* value, std::size_t length, std::uint8_t* ordered) {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < length; ++i) bits |= std::uint64_t{value[i]} << (8 * i);
    const std::uint64_t sign = std::uint64_t{1} << (8 * length - 1);
    const std::uint64_t all = length == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << 32) - 1;
    if (bits == sign) bits = 0;  // -0 equals +0
    bits = (bits & sign) ? (~bits & all) : (bits | sign);
    for (std::size_t i = 0; i < length; ++i) ordered[i] = static_cast<std::uint8_t>(bits >> (8 * (length - 1 - i)));
}

// Microsoft binary format: exponent in the last byte (0 means zero), sign in the top bit of the
// byte before it, then the mantissa.
void OrderBasicFloat(const std::uint8_t* value, std::size_t length, std::uint8_t* ordered) {
    std::uint64_t magnitude = 0;
    bool negative = (value[length - 2] & 0x80) != 0;
    if (value[length - 1] != 0) {
        magnitude = std::uint64_t{value[length - 1]} << (8 * (length - 1) - 1);
        magnitude |= std::uint64_t{value[length - 2] & 0x7Fu} << (8 * (length - 2));
        for (std::size_t i = 0; i + 2 < length; ++i) magnitude |= std::uint64_t{value[i]} << (8 * i);
    } else {
        negative = false;
    }
    const std::uint64_t top = std::uint64_t{1} << (8 * length - 1);
    std::uint64_t key = negative ? (top - 1 - magnitude) : (top | magnitude);
    for (std::size_t i = 0; i < length; ++i) ordered[i] = static_cast<std::uint8_t>(key >> (8 * (length - 1 - i)));
}

// Signed digit strings: a sign byte (0 negative, 1 positive), then the digits, complemented
// for negative numbers so that a larger magnitude sorts lower.
void OrderDigits(const std::uint8_t* digits, std::size_t count, bool negative,
                 std::uint8_t* ordered) {
    bool zero = true;
    for (std::size_t i = 0; i < count; ++i) zero = zero && digits[i] == 0;
    if (zero) negative = false;
    ordered[0] = negative ? 0 : 1;
    for (std::size_t i = 0; i < count; ++i)
        ordered[1 + i] = negative ? static_cast<std::uint8_t>(15 - digits[i]) : digits[i];
}

std::uint8_t ZonedDigit(std::uint8_t c) { return c >= '0' && c <= '9' ? c - '0' : 0; }

void OrderPacked(const std::uint8_t* value, std::size_t length, std::uint8_t* ordered) {
    std::uint8_t digits[2 * format::kMaxKeyLength];
    std::size_t count = 0;
    for (std::size_t i = 0; i < length; ++i) {
        digits[count++] = value[i] >> 4;
        if (i + 1 < length) digits[count++] = value[i] & 0x0F;
    }
    bool negative = (value[length - 1] & 0x0F) == 0x0D || (value[length - 1] & 0x0F) == 0x0B;
    // Two digits per byte; the sign nibble is not a digit.
    std::uint8_t packed[format::kMaxKeyLength];
    std::memset(packed, 0, length);
    for (std::size_t i = 0; i < count; ++i)
        packed[i / 2] |= static_cast<std::uint8_t>(digits[i] << ((i % 2) ? 0 : 4));
    bool zero = true;
    for (std::size_t i = 0; i < count; ++i) zero = zero && digits[i] == 0;
    if (zero) negative = false;
    ordered[0] = negative ? 0 : 1;
    for (std::size_t i = 0; i < length; ++i)
        ordered[1 + i] = negative ? static_cast<std::uint8_t>(~packed[i]) : packed[i];
}

// Zoned decimal: the last byte carries the sign ("{" and A-I positive, "}" and J-R negative).
void OrderNumeric(const std::uint8_t* value, std::size_t length, std::uint8_t* ordered) {
    std::uint8_t digits[format::kMaxKeyLength];
    for (std::size_t i = 0; i + 1 < length; ++i) digits[i] = ZonedDigit(value[i]);
    std::uint8_t last = value[length - 1];
    bool negative = false;
    if (last == '{') {
        digits[length - 1] = 0;
    } else if (last >= 'A' && last <= 'I') {
        digits[length - 1] = last - 'A' + 1;
    } else if (last == '}') {
        digits[length - 1] = 0;
        negative = true;
    } else if (last >= 'J' && last <= 'R') {
        digits[length - 1] = last - 'J' + 1;
        negative = true;
    } else {
        digits[length - 1] = ZonedDigit(last);
    }
    OrderDigits(digits, length, negative, ordered);
}

// Signed ASCII: the last byte is 0-9 for positive numbers and p-y for negative ones.
void OrderNumericSa(const std::uint8_t* value, std::size_t length, std::uint8_t* ordered) {
    std::uint8_t digits[format::kMaxKeyLength];
    for (std::size_t i = 0; i + 1 < length; ++i) digits[i] = ZonedDigit(value[i]);
    std::uint8_t last = value[length - 1];
    bool negative = last >= 'p' && last <= 'y';
    digits[length - 1] = negative ? last - 'p' : ZonedDigit(last);
    OrderDigits(digits, length, negative, ordered);
}

// Trailing separate sign: digits, then "+" or "-".
void OrderNumericSts(const std::uint8_t* value, std::size_t length, std::uint8_t* ordered) {
    std::uint8_t digits[format::kMaxKeyLength];
    for (std::size_t i = 0; i + 1 < length; ++i) digits[i] = ZonedDigit(value[i]);
    OrderDigits(digits, length - 1, value[length - 1] == '-', ordered);
}

}  // namespace

std::uint16_t TransformedLength(std::uint8_t type, bool legacyBinary, std::uint16_t length) {
    if (legacyBinary) return length;
    switch (type) {
        case ZELRM_TYPE_DECIMAL:
        case ZELRM_TYPE_MONEY:
        case ZELRM_TYPE_NUMERIC:
        case ZELRM_TYPE_NUMERIC_SA:
            return length + 1;
        default:
            return length;
    }
}

void TransformSegment(const KeySegment& segment, const std::uint8_t* value,
                      std::uint8_t* ordered) {
    const std::size_t length = segment.length;
    const bool fold = (segment.flags & (ZELRM_KEY_CASE_INSENSITIVE | ZELRM_KEY_ALTERNATE)) != 0;
    if (segment.legacyBinary) {
        OrderInteger(value, length, false, ordered);
    } else {
        switch (segment.type) {
            case ZELRM_TYPE_STRING:
                for (std::size_t i = 0; i < length; ++i) ordered[i] = fold ? Upper(value[i]) : value[i];
                break;
            case ZELRM_TYPE_ZSTRING: {
                std::size_t i = 0;
                for (; i < length && value[i] != 0; ++i) ordered[i] = fold ? Upper(value[i]) : value[i];
                for (; i < length; ++i) ordered[i] = 0;
                break;
            }
            case ZELRM_TYPE_LSTRING: {
                // The text, zero-padded, then its length: "ab" < "ab\0" < "abc".
                std::size_t count = value[0] < length - 1 ? value[0] : length - 1;
                for (std::size_t i = 0; i + 1 < length; ++i)
                    ordered[i] = i < count ? (fold ? Upper(value[1 + i]) : value[1 + i]) : 0;
                ordered[length - 1] = static_cast<std::uint8_t>(count);
                break;
            }
            case ZELRM_TYPE_INTEGER:
            case ZELRM_TYPE_CURRENCY:
                OrderInteger(value, length, true, ordered);
                break;
            case ZELRM_TYPE_FLOAT:
                OrderIeee(value, length, ordered);
                break;
            case ZELRM_TYPE_BFLOAT:
                OrderBasicFloat(value, length, ordered);
                break;
            case ZELRM_TYPE_DECIMAL:
            case ZELRM_TYPE_MONEY:
                OrderPacked(value, length, ordered);
                break;
            case ZELRM_TYPE_NUMERIC:
                OrderNumeric(value, length, ordered);
                break;
            case ZELRM_TYPE_NUMERIC_SA:
                OrderNumericSa(value, length, ordered);
                break;
            case ZELRM_TYPE_NUMERIC_STS:
                OrderNumericSts(value, length, ordered);
                break;
            default:  // date, time, logical, unsigned binary, auto-increment
                OrderInteger(value, length, false, ordered);
                break;
        }
    }
    if (segment.flags & ZELRM_KEY_DESCENDING)
        for (std::size_t i = 0; i < segment.transformedLength; ++i) ordered[i] = ~ordered[i];
}

Status ParseSegments(const std::uint8_t* data, std::size_t count, std::uint16_t keyCount,
                     FileSpec* spec) {
    spec->segments.clear();
    spec->keys.clear();
    spec->duplicateKeys = 0;
    if (keyCount > format::kMaxKeys) return Status::kInvalidKeyCount;
    std::size_t index = 0;
    for (std::uint16_t k = 0; k < keyCount; ++k) {
        KeyDefinition key;
        key.firstSegment = static_cast<std::uint16_t>(index);
        // Summed wide, so that no sum of 16-bit lengths can wrap past the check below.
        std::size_t length = 0;
        std::size_t transformed = 0;
        for (;;) {
            if (index >= count || index >= format::kMaxSegments) return Status::kInvalidKeyCount;
            const std::uint8_t* raw = data + index * format::kSegmentSize;
            KeySegment segment;
            std::uint16_t position = Load16(raw);
            segment.length = Load16(raw + 2);
            segment.flags = Load16(raw + 4);
            segment.nullValue = raw[11];
            if (Extended(segment.flags)) {
                segment.type = raw[10];
                if (!KnownType(segment.type)) return Status::kInvalidExtendedType;
            } else {
                segment.type = ZELRM_TYPE_STRING;
                segment.legacyBinary = (segment.flags & ZELRM_KEY_BINARY) != 0;
            }
            if (segment.length == 0 || !ValidLength(segment.type, segment.length))
                return Status::kInvalidKeyLength;
            if (position == 0 || position - 1u + segment.length > spec->recordLength)
                return Status::kInvalidKeyPosition;
            segment.offset = static_cast<std::uint16_t>(position - 1);
            segment.transformedLength =
                TransformedLength(segment.type, segment.legacyBinary, segment.length);
            // The segments of a key must agree on the flags that belong to the whole key.
            const std::uint16_t keyWide = ZELRM_KEY_DUPLICATES | ZELRM_KEY_MODIFIABLE |
                                          ZELRM_KEY_NULL_ALL | ZELRM_KEY_NULL_ANY;
            if (index > key.firstSegment &&
                (segment.flags & keyWide) != (spec->segments[key.firstSegment].flags & keyWide))
                return Status::kInconsistentKeyFlags;
            if (segment.type == ZELRM_TYPE_AUTOINCREMENT && !segment.legacyBinary) {
                // Its next value is found from the key's order, so it must be the whole key.
                if ((segment.flags & ZELRM_KEY_SEGMENTED) || index > key.firstSegment)
                    return Status::kInvalidExtendedType;
                key.autoIncrementSegment = static_cast<int>(index);
            }
            length += segment.length;
            transformed += segment.transformedLength;
            spec->segments.push_back(segment);
            ++index;
            if ((segment.flags & ZELRM_KEY_SEGMENTED) == 0) break;
        }
        if (length > format::kMaxKeyLength) return Status::kInvalidKeyLength;
        key.length = static_cast<std::uint16_t>(length);
        const std::uint16_t flags = spec->segments[key.firstSegment].flags;
        key.segmentCount = static_cast<std::uint16_t>(index - key.firstSegment);
        key.transformedLength = static_cast<std::uint16_t>(transformed);
        key.duplicates = (flags & ZELRM_KEY_DUPLICATES) != 0;
        key.modifiable = (flags & ZELRM_KEY_MODIFIABLE) != 0;
        key.nullIfAnyNull = (flags & ZELRM_KEY_NULL_ANY) != 0;
        key.nullIfAllNull = !key.nullIfAnyNull && (flags & ZELRM_KEY_NULL_ALL) != 0;
        if (key.duplicates) key.stampIndex = spec->duplicateKeys++;
        spec->keys.push_back(key);
    }
    if (index != count) return Status::kInvalidKeyCount;
    return Status::kOk;
}

Status ParseFileSpec(const std::uint8_t* data, std::size_t size, FileSpec* spec) {
    if (size < 16) return Status::kDataBufferTooShort;
    spec->recordLength = Load16(data);
    spec->pageSize = Load16(data + 2);
    std::uint16_t keyCount = Load16(data + 4);
    spec->fileFlags = Load16(data + 10);
    if (spec->pageSize < 512 || spec->pageSize > 16384 || spec->pageSize % 512 != 0)
        return Status::kInvalidPageSize;
    if (keyCount > format::kMaxKeys) return Status::kInvalidKeyCount;
    if (spec->recordLength < 4) return Status::kInvalidRecordLength;
    // Count the segments the keys take: each key runs until a segment without "segmented".
    std::size_t segments = 0;
    for (std::uint16_t k = 0; k < keyCount; ++k) {
        for (;;) {
            std::size_t at = 16 + segments * format::kSegmentSize;
            if (at + format::kSegmentSize > size) return Status::kDataBufferTooShort;
            if (segments >= format::kMaxSegments) return Status::kInvalidKeyCount;
            ++segments;
            if ((Load16(data + at + 4) & ZELRM_KEY_SEGMENTED) == 0) break;
        }
    }
    return ParseSegments(data + 16, segments, keyCount, spec);
}

void ExtractKey(const FileSpec& spec, const KeyDefinition& key, const std::uint8_t* record,
                std::uint8_t* value) {
    for (std::uint16_t s = 0; s < key.segmentCount; ++s) {
        const KeySegment& segment = spec.segments[key.firstSegment + s];
        std::memcpy(value, record + segment.offset, segment.length);
        value += segment.length;
    }
}

bool IsNullKey(const FileSpec& spec, const KeyDefinition& key, const std::uint8_t* value) {
    if (!key.nullIfAllNull && !key.nullIfAnyNull) return false;
    bool anyNull = false;
    bool allNull = true;
    for (std::uint16_t s = 0; s < key.segmentCount; ++s) {
        const KeySegment& segment = spec.segments[key.firstSegment + s];
        bool isNull = true;
        for (std::uint16_t i = 0; i < segment.length && isNull; ++i)
            isNull = value[i] == segment.nullValue;
        anyNull = anyNull || isNull;
        allNull = allNull && isNull;
        value += segment.length;
    }
    return key.nullIfAnyNull ? anyNull : allNull;
}

void TransformKey(const FileSpec& spec, const KeyDefinition& key, const std::uint8_t* value,
                  std::uint8_t* ordered) {
    for (std::uint16_t s = 0; s < key.segmentCount; ++s) {
        const KeySegment& segment = spec.segments[key.firstSegment + s];
        TransformSegment(segment, value, ordered);
        value += segment.length;
        ordered += segment.transformedLength;
    }
}

}  // namespace zelmor::engine
