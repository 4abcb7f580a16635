// A field of a table as the dictionary describes it, and the data type codes of the record
// manager. The field codecs read type, size and decimals; walks over a record also read the
// nullable flag.
#pragma once

#include <cstdint>
#include <string>

namespace zelmor {

// Data type codes.
enum DataType : std::int32_t {
    kString = 0,
    kInteger = 1,
    kFloat = 2,
    kDate = 3,
    kTime = 4,
    kDecimal = 5,
    kMoney = 6,
    kLogical = 7,
    kNumeric = 8,
    kBFloat = 9,
    kLString = 10,
    kZString = 11,
    kNote = 12,
    kLVar = 13,
    kUBin = 14,
    kAutoInc = 15,
    kBit = 16,
    kNumericSTS = 17,
    kNumericSA = 18,
    kCurrency = 19,
    kBlob = 21,
    kWString = 25,
    kWZString = 26,
    kDictionaryOnly = 227,  // dictionary bookkeeping, never a field
    kNamedIndex = 255,      // a named index: the name, and the key number in `offset`
};

// Field flag: one null-indicator byte (nonzero = null) precedes the value in the record.
constexpr std::uint16_t kFieldNullable = 4;

constexpr std::size_t kMaxFieldName = 20;

struct FieldDef {
    std::string name;  // at most 20 bytes, trailing blanks removed
    std::int32_t dataType = 0;
    std::int32_t size = 0;
    std::int32_t reserved = 0;  // left zero by the loader
    std::int32_t offset = 0;    // of the value from the record start; a named index: key number
    std::int32_t fileId = 0;
    std::int32_t fieldId = 0;
    std::int32_t decimals = 0;
    std::uint16_t flags = 0;

    bool IsNullable() const { return (flags & kFieldNullable) != 0; }
};

}  // namespace zelmor
