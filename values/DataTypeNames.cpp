#include "values/DataTypeNames.h"

#include "values/FieldDef.h"

namespace zelmor {

namespace {

struct NamedType {
    const char* name;
    std::int32_t code;
};

const NamedType kTypes[] = {
    {"String", kString},         {"Integer", kInteger},   {"Float", kFloat},
    {"Date", kDate},             {"Time", kTime},         {"Decimal", kDecimal},
    {"Money", kMoney},           {"Logical", kLogical},   {"Numeric", kNumeric},
    {"BFloat", kBFloat},         {"LString", kLString},   {"ZString", kZString},
    {"Note", kNote},             {"LVar", kLVar},         {"UBin", kUBin},
    {"AutoInc", kAutoInc},       {"Bit", kBit},           {"NumericSTS", kNumericSTS},
    {"NumericSA", kNumericSA},   {"Currency", kCurrency}, {"Blob", kBlob},
    {"WString", kWString},       {"WZString", kWZString},
};

}  // namespace

const char* DataTypeName(std::int32_t code) {
    for (const NamedType& type : kTypes) {
        if (type.code == code) return type.name;
    }
    return nullptr;
}

std::int32_t DataTypeCode(std::string_view name) {
    for (const NamedType& type : kTypes) {
        if (name == type.name) return type.code;
    }
    return -1;
}

}  // namespace zelmor
