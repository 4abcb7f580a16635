// The file specification the record manager's Create takes: a 16-byte header (record length,
// page size, number of keys, file flags) and one 16-byte specification per key segment
// (1-based position, length, flags, extended type, null value).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zelmor {

struct KeySegmentSpec {
    std::uint16_t position;  // 1-based
    std::uint16_t length;
    std::uint16_t flags;
    std::uint8_t type;
    std::uint8_t nullValue;
};

// The Create data buffer; the number of keys counts the segments that do not continue into
// the next.
std::vector<std::uint8_t> FileSpecification(std::uint16_t recordLength, std::uint16_t pageSize,
                                            std::uint16_t fileFlags,
                                            const std::vector<KeySegmentSpec>& segments);

// Creates (replacing) the file at `path` from a specification; the record manager's status.
int CreateRecordManagerFile(const std::string& path, std::vector<std::uint8_t>& specification);

}  // namespace zelmor
