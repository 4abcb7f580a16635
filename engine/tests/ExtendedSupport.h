// Extended-operation requests built and replies read for the tests.
#pragma once

#include <string>
#include <vector>

#include "engine/tests/TestSupport.h"

namespace zelmor::engine::testing {

struct TermSpec {
    std::uint8_t type;
    std::uint16_t length;
    std::uint16_t offset;
    std::uint8_t comparison;  // with +64 (another field) and +128 (ignore case) as given
    std::uint8_t connector;
    Bytes value;  // the constant, or the other field's u16 offset
};

struct FieldSpec {
    std::uint16_t length;
    std::uint16_t offset;
};

Bytes Descriptor(const std::string& start, std::uint16_t maxRejects,
                 const std::vector<TermSpec>& terms, std::uint16_t maxRecords,
                 const std::vector<FieldSpec>& fields);
Bytes Uint16(std::uint16_t value);

struct ExtendedReply {
    std::int16_t status = 0;
    std::uint32_t length = 0;  // *dataLength after the call
    // Per record: its position and its extracted bytes.
    std::vector<std::pair<std::uint32_t, Bytes>> records;
    bool wellFormed = false;  // the reply's lengths add up to `length`
};

// One extended call with a data buffer of `capacity` bytes (at least the descriptor's length).
ExtendedReply CallExtended(RecordManager& manager, std::uint16_t op, Block& block,
                           const Bytes& descriptor, std::size_t capacity, std::int8_t key);

}  // namespace zelmor::engine::testing
