// The key buffer of a record operation, built from the current record for the key that starts
// at a segment position.
#pragma once

#include <cstdint>
#include <vector>

#include "core/Dictionary.h"

namespace zelmor {

struct KeyBuffer {
    std::vector<std::uint8_t> bytes;  // length + 1 bytes, so never empty
    std::uint8_t length = 0;
    std::int8_t keyNumber = -1;

    void* Data() { return bytes.data(); }
};

// Segment position -1: no key (an empty buffer, key number -1). A position past the table's
// segments shows VE804 and gives false.
bool BuildKeyBuffer(const TableDef& table, int segmentPosition, KeyBuffer& key);

}  // namespace zelmor
