// A fast 32-bit checksum of pages and journal records: it detects damaged or misplaced pages
// (the seed is the page number), not deliberate tampering.
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelmor::engine {

std::uint32_t Checksum(const std::uint8_t* data, std::size_t size, std::uint32_t seed);

}  // namespace zelmor::engine
