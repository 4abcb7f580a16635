#include "values/codecs/FloatDisplay.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace zelmor::codecs {

namespace {
constexpr int kMaxSignificantDigits = 17;
}

std::string FormatSignificant(double value, int significantDigits) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    if (value == 0) return "0";
    const int s = std::clamp(significantDigits, 1, kMaxSignificantDigits);

    // "d.ddde-xx": correctly rounded digits and the exponent of the first one.
    char scientific[40];
    auto written = std::to_chars(scientific, scientific + sizeof scientific, std::fabs(value),
                                 std::chars_format::scientific, s - 1);
    std::string_view text(scientific, static_cast<std::size_t>(written.ptr - scientific));
    std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e)) {
        if (c != '.') digits += c;
    }
    int exponent = 0;
    std::string_view exponentText = text.substr(e + 1);
    if (!exponentText.empty() && exponentText[0] == '+') exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
    const int pointPosition = exponent + 1;  // the value is 0.D x 10^pointPosition

    std::string result = value < 0 ? "-" : "";
    if (pointPosition < 1) {
        // Every leading zero is written, however small the value.
        result += "0." + std::string(static_cast<std::size_t>(-pointPosition), '0') + digits;
    } else if (pointPosition >= s) {
        // More integer digits than significant ones: the missing digits are zeros.
        result += digits + std::string(static_cast<std::size_t>(pointPosition - s), '0');
    } else {
        std::string_view rest = std::string_view(digits).substr(pointPosition);
        result += digits.substr(0, static_cast<std::size_t>(pointPosition));
        if (rest.find_first_not_of('0') != std::string_view::npos) {
            result += '.';
            result += rest;
        }
    }
    return result;
}

}  // namespace zelmor::codecs
