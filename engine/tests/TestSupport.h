// Helpers shared by the engine's tests: file specifications, position blocks and calls with
// vectors.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "engine/RecordManager.h"
#include "engine/zelrm.h"

namespace zelmor::engine::testing {

using Bytes = std::vector<std::uint8_t>;

struct SegmentSpec {
    std::uint16_t position;  // 1-based
    std::uint16_t length;
    std::uint16_t flags;
    std::uint8_t type = 0;
    std::uint8_t nullValue = 0;
};

// A Create data buffer; the key count is the number of segments without "segmented".
Bytes FileSpecBytes(std::uint16_t recordLength, const std::vector<SegmentSpec>& segments,
                    std::uint16_t fileFlags = 0, std::uint16_t pageSize = 4096);

struct Block {
    std::uint8_t bytes[ZELRM_POSITION_BLOCK_SIZE] = {};
};

struct Reply {
    std::int16_t status = 0;
    Bytes data;  // as many bytes as the call returned
    Bytes key;
};

// One call: `data` is the buffer (its size is passed as the data length unless `capacity` is
// given), `key` the key buffer (padded to keyLength).
Reply Call(RecordManager& manager, std::uint16_t op, Block& block, Bytes data, int capacity,
           Bytes key, std::uint8_t keyLength, std::int8_t keyNumber);

std::int16_t Create(RecordManager& manager, const std::string& path, const Bytes& spec,
                    std::int8_t mode = 0);
std::int16_t Open(RecordManager& manager, Block& block, const std::string& path,
                  std::int8_t mode = 0, const std::string& owner = "");
std::int16_t Close(RecordManager& manager, Block& block);
std::int16_t Insert(RecordManager& manager, Block& block, Bytes record, std::int8_t key = 0);
std::int16_t Update(RecordManager& manager, Block& block, Bytes record, std::int8_t key = 0);
std::int16_t Delete(RecordManager& manager, Block& block);
// A Get or Step operation with a key value (Get Equal and friends) or none.
Reply Get(RecordManager& manager, std::uint16_t op, Block& block, std::int8_t key,
          const Bytes& keyValue = {}, int capacity = 4096);
std::uint32_t Position(RecordManager& manager, Block& block);
std::uint32_t RecordCount(RecordManager& manager, Block& block);

// Records by the id in their first 4 bytes.
using State = std::map<std::int32_t, Bytes>;

// A table whose key 0 is a unique integer id at offset 0 and key 1 a string of 8 bytes at
// offset 4 (duplicates, modifiable).
Bytes IdAndNameSpec(std::uint16_t recordLength, std::uint16_t fileFlags = 0);

// Reads such a table: the records in physical order, checking that both keys and the record
// count agree with them.
::testing::AssertionResult ReadTable(RecordManager& manager, const std::string& path,
                                     State* state);

Bytes Int32(std::int32_t value);
Bytes Text(const std::string& text, std::size_t length);
Bytes Concat(std::initializer_list<Bytes> parts);

}  // namespace zelmor::engine::testing
