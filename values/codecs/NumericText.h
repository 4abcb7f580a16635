// Pieces of number text shared by the numeric codecs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelmor::codecs {

// The leading decimal integer of `text` as the C library reads one: blanks, an optional sign,
// digits; reading stops at the first other character and no digits give 0. A number beyond the
// 64-bit range gives the nearest 64-bit value.
std::int64_t ParseInteger(std::string_view text);

// True when `text` holds no digit other than "0".
bool IsZeroDigits(std::string_view text);

// `magnitude` with a leading "-" for a negative value. A value whose digits are all zero has no
// sign: a stored negative zero reads as plain zero.
std::string WithSign(bool negative, std::string magnitude);

// The digits of a fixed-point value with a "." before the last `decimals` of them; with no more
// than `decimals` digits, "0." and the digits padded with leading zeros. No digits and no
// decimals give "0".
std::string WithDecimalPoint(const std::string& digits, int decimals);

// `text` without its leading "0" characters.
std::string_view WithoutLeadingZeros(std::string_view text);

}  // namespace zelmor::codecs
