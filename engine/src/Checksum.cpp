#include "engine/src/Checksum.h"

#include <cstring>

namespace zelmor::engine {

namespace {
constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ULL;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4FULL;

std::uint64_t Rotate(std::uint64_t v, int bits) { return (v << bits) | (v >> (64 - bits)); }

std::uint64_t Mix(std::uint64_t lane, std::uint64_t word) {
    return Rotate(lane + word * kPrime2, 31) * kPrime1;
}
}  // namespace

std::uint32_t Checksum(const std::uint8_t* data, std::size_t size, std::uint32_t seed) {
    // Four independent lanes over 32-byte blocks keep the multiplications in parallel.
    std::uint64_t lanes[4] = {seed + kPrime1 + kPrime2, seed + kPrime2, seed, seed - kPrime1};
    std::size_t offset = 0;
    for (; offset + 32 <= size; offset += 32) {
        for (int i = 0; i < 4; ++i) {
            std::uint64_t word;
            std::memcpy(&word, data + offset + 8 * i, 8);
            lanes[i] = Mix(lanes[i], word);
        }
    }
    std::uint64_t hash = Rotate(lanes[0], 1) + Rotate(lanes[1], 7) + Rotate(lanes[2], 12) +
                         Rotate(lanes[3], 18) + size;
    for (; offset < size; ++offset) hash = Rotate(hash ^ (data[offset] * kPrime1), 11) * kPrime2;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    return static_cast<std::uint32_t>(hash ^ (hash >> 32));
}

}  // namespace zelmor::engine
