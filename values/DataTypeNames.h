// The names of the data types ("String", "Integer", ...) and their codes.
#pragma once

#include <cstdint>
#include <string_view>

namespace zelmor {

// The name of a data type code, or nullptr for a code without one.
const char* DataTypeName(std::int32_t code);

// The code of a data type name (exact), or -1.
std::int32_t DataTypeCode(std::string_view name);

}  // namespace zelmor
