#include "values/codecs/BinaryFloat.h"

#include <cmath>
#include <cstring>

namespace zelmor::codecs {

namespace {

// A binary float of `mantissaBits` mantissa bits (23 or 55) from an IEEE number, by frexp:
// value = f x 2^k with f in [0.5, 1), which is the binary float's own form with e = k + 128.
std::uint64_t ToBinaryFloat(double value, int mantissaBits) {
    const std::uint64_t signBit = std::uint64_t{1} << mantissaBits;
    const std::uint64_t mantissaMask = signBit - 1;
    if (std::isnan(value) || value == 0) return 0;
    std::uint64_t sign = std::signbit(value) ? signBit : 0;
    const std::uint64_t largest = (std::uint64_t{255} << (mantissaBits + 1)) | mantissaMask;
    if (std::isinf(value)) return largest | sign;
    int k = 0;
    double fraction = std::frexp(std::fabs(value), &k);
    int exponent = k + 128;
    if (exponent > 255) return largest | sign;
    if (exponent < 1) return 0;
    // fraction x 2^(mantissaBits + 1) is an integer here: the IEEE value has no more bits.
    auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, mantissaBits + 1));
    return (static_cast<std::uint64_t>(exponent) << (mantissaBits + 1)) | sign |
           (mantissa & mantissaMask);
}

}  // namespace

float BinaryFloatToSingle(std::uint32_t bits) {
    std::uint32_t exponent = bits >> 24;
    if (exponent == 0) return 0.0f;
    std::uint32_t sign = (bits >> 23) & 1;
    std::uint32_t mantissa = bits & 0x7FFFFF;
    if (exponent >= 3) {
        std::uint32_t ieee = (sign << 31) | ((exponent - 2) << 23) | mantissa;
        float value;
        std::memcpy(&value, &ieee, sizeof value);
        return value;
    }
    // Below the IEEE single's normal range: the nearest subnormal.
    double magnitude = std::ldexp(static_cast<double>(mantissa | 0x800000u),
                                  static_cast<int>(exponent) - 129 - 23);
    return static_cast<float>(sign ? -magnitude : magnitude);
}

double BinaryFloatToDouble(std::uint64_t bits) {
    std::uint64_t exponent = bits >> 56;
    if (exponent == 0) return 0.0;
    std::uint64_t sign = (bits >> 55) & 1;
    std::uint64_t mantissa = bits & ((std::uint64_t{1} << 55) - 1);
    // The IEEE double keeps the top 52 of the 55 mantissa bits; the lowest 3 are dropped.
    std::uint64_t ieee = (sign << 63) | ((exponent + 894) << 52) | (mantissa >> 3);
    double value;
    std::memcpy(&value, &ieee, sizeof value);
    return value;
}

std::uint32_t SingleToBinaryFloat(float value) {
    return static_cast<std::uint32_t>(ToBinaryFloat(value, 23));
}

std::uint64_t DoubleToBinaryFloat(double value) {
    return ToBinaryFloat(value, 55);
}

}  // namespace zelmor::codecs
