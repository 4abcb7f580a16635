// Numbers in record images and call buffers are little-endian whatever the host. These read and
// write them inside a byte vector; a number that would not fit reads as 0 and is not written.
#pragma once

#include <cstdint>
#include <vector>

namespace zelmor {

inline std::uint32_t LoadU32(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at + 4 > bytes.size()) return 0;
    return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
           static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
           static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

inline std::uint16_t LoadU16(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    if (at + 2 > bytes.size()) return 0;
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

inline void StoreU32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    if (at + 4 > bytes.size()) return;
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

inline void StoreU16(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint16_t value) {
    if (at + 2 > bytes.size()) return;
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

}  // namespace zelmor
