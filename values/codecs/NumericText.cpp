#include "values/codecs/NumericText.h"

#include <limits>

#include "platform/CodePage.h"
#include "values/FieldCodecs.h"

namespace zelmor {

std::string FilterNumericText(std::string_view text) {
    std::string kept;
    for (std::size_t i = 0; i < text.size() && text[i] != '\0'; ++i) {
        char c = text[i];
        if (platform::IsLeadByte(static_cast<unsigned char>(c))) {
            ++i;  // the trail byte goes with its lead byte
            continue;
        }
        if ((c >= '0' && c <= '9') || c == '.' || c == '-') kept += c;
    }
    return kept;
}

namespace codecs {

std::int64_t ParseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    // Accumulate the magnitude as unsigned and stop growing once it passes the range.
    constexpr std::uint64_t kLimit = std::uint64_t{1} << 63;  // |INT64_MIN|
    std::uint64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude > kLimit / 10) {
            magnitude = kLimit + 1;  // past the range already; no digit brings it back
            continue;
        }
        magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
    }
    if (negative) {
        return magnitude >= kLimit ? std::numeric_limits<std::int64_t>::min()
                                   : -static_cast<std::int64_t>(magnitude);
    }
    return magnitude >= kLimit ? std::numeric_limits<std::int64_t>::max()
                               : static_cast<std::int64_t>(magnitude);
}

bool IsZeroDigits(std::string_view text) {
    for (char c : text) {
        if (c >= '1' && c <= '9') return false;
    }
    return true;
}

std::string WithSign(bool negative, std::string magnitude) {
    if (negative && !IsZeroDigits(magnitude)) magnitude.insert(magnitude.begin(), '-');
    return magnitude;
}

std::string WithDecimalPoint(const std::string& digits, int decimals) {
    std::size_t d = static_cast<std::size_t>(decimals);
    if (d == 0) return digits.empty() ? "0" : digits;
    if (digits.size() > d) {
        std::string text = digits;
        text.insert(text.size() - d, 1, '.');
        return text;
    }
    return "0." + std::string(d - digits.size(), '0') + digits;
}

std::string_view WithoutLeadingZeros(std::string_view text) {
    std::size_t first = text.find_first_not_of('0');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

}  // namespace codecs
}  // namespace zelmor
