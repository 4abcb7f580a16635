// Values of every key type, in groups of equal values in ascending order: the key order tests
// and the filter tests of extended operations share them.
#pragma once

#include <string>
#include <vector>

#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {

struct TypeCase {
    const char* name;
    std::uint8_t type;
    std::uint16_t flags;  // beyond the extended-type flag
    std::uint16_t length;
    // Groups of equal values, in ascending order.
    std::vector<std::vector<Bytes>> groups;
};

std::vector<TypeCase> TypeCases();
// The case's name made fit for a test name.
std::string TypeCaseName(const TypeCase& typeCase);

}  // namespace zelmor::engine::testing
