// The bytes of one value inside a record buffer, already checked to lie wholly inside it, with
// the whole buffer (a Blob's data lies elsewhere in it), and little-endian access to them.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelmor::codecs {

struct ValueView {
    const std::uint8_t* data;
    std::size_t size;
    const std::uint8_t* record;
    std::size_t recordSize;
    std::uint8_t operator[](std::size_t i) const { return data[i]; }
};

struct ValueSpan {
    std::uint8_t* data;
    std::size_t size;
    std::uint8_t& operator[](std::size_t i) const { return data[i]; }
};

// The `width` bytes at `p` as an unsigned little-endian number (width <= 8).
inline std::uint64_t ReadLittleEndian(const std::uint8_t* p, std::size_t width) {
    std::uint64_t value = 0;
    for (std::size_t i = width; i-- > 0;) value = (value << 8) | p[i];
    return value;
}

// The low `width` bytes of `value` at `p`, least significant first (width <= 8).
inline void WriteLittleEndian(std::uint8_t* p, std::size_t width, std::uint64_t value) {
    for (std::size_t i = 0; i < width; ++i) {
        p[i] = static_cast<std::uint8_t>(value & 0xFF);
        value >>= 8;
    }
}

}  // namespace zelmor::codecs
