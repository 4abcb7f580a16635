// The binary float layout of BFloat fields and its conversion to and from IEEE numbers. A binary
// float is 0.1m x 2 to the power (e - 128): the exponent byte e (0 means the value zero) on top,
// then the sign bit, then the mantissa bits below an implied leading 1 (23 in four bytes, 55 in
// eight). The bits are given as the little-endian number the record bytes form.
#pragma once

#include <cstdint>

namespace zelmor::codecs {

// Exact for exponent bytes 3 and above; the two smallest exponents give IEEE subnormals.
float BinaryFloatToSingle(std::uint32_t bits);
double BinaryFloatToDouble(std::uint64_t bits);

// Exact wherever the binary float can hold the value. A magnitude too large (infinity too) gives
// the largest binary float of that sign; one too small for the binary float, and NaN, give 0.
std::uint32_t SingleToBinaryFloat(float value);
std::uint64_t DoubleToBinaryFloat(double value);

}  // namespace zelmor::codecs
