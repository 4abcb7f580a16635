#include "tools/zeldict/CellCheck.h"

#include <cmath>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "values/FieldCodecs.h"
#include "values/GlobalOptions.h"

namespace zelmor::tools {

namespace {

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A plain decimal number: an optional sign, digits, an optional point and more digits. Gives
// it as sign, integer digits without leading zeros and fraction digits without trailing zeros
// ("-0" and "0.00" are "0"); nothing for anything else.
std::optional<std::string> CanonicalNumber(std::string_view text, bool wholeOnly) {
    text = Trimmed(text);
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    if ((whole.empty() && fraction.empty()) || (wholeOnly && point != std::string_view::npos)) {
        return std::nullopt;
    }
    for (char c : whole) {
        if (!IsDigit(c)) return std::nullopt;
    }
    for (char c : fraction) {
        if (!IsDigit(c)) return std::nullopt;
    }
    while (!whole.empty() && whole.front() == '0') whole.remove_prefix(1);
    while (!fraction.empty() && fraction.back() == '0') fraction.remove_suffix(1);
    if (whole.empty() && fraction.empty()) return std::string("0");
    std::string canonical = negative ? "-" : "";
    canonical += whole.empty() ? "0" : std::string(whole);
    if (!fraction.empty()) canonical += "." + std::string(fraction);
    return canonical;
}

int DaysIn(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

// "yyyy/m/d" with one or two digits for month and day (as the field reads it), or "yy/mm/dd"
// in the two-digit year mode; a real day.
bool IsDate(std::string_view text) {
    const bool twoDigits = Options().GetDateMode() == DateMode::TwoDigitYears;
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t slash = text.find('/', start);
        parts.push_back(text.substr(start, slash - start));
        if (slash == std::string_view::npos) break;
        start = slash + 1;
    }
    if (parts.size() != 3) return false;
    const std::size_t yearDigits = twoDigits ? 2 : 4;
    if (parts[0].size() != yearDigits || parts[1].empty() || parts[1].size() > 2 ||
        parts[2].empty() || parts[2].size() > 2 || (twoDigits && parts[1].size() != 2) ||
        (twoDigits && parts[2].size() != 2)) {
        return false;
    }
    for (std::string_view part : parts) {
        for (char c : part) {
            if (!IsDigit(c)) return false;
        }
    }
    const int year = std::atoi(std::string(parts[0]).c_str());
    const int month = std::atoi(std::string(parts[1]).c_str());
    const int day = std::atoi(std::string(parts[2]).c_str());
    if (!twoDigits && year == 0 && month == 0 && day == 0) return true;  // the empty date
    return (twoDigits || year >= 1) && month >= 1 && month <= 12 && day >= 1 &&
           day <= DaysIn(twoDigits ? 2000 + year : year, month);
}

bool IsTime(std::string_view text) {
    if (text.size() != 8 || text[2] != ':' || text[5] != ':') return false;
    for (std::size_t i : {0, 1, 3, 4, 6, 7}) {
        if (!IsDigit(text[i])) return false;
    }
    return (text[0] - '0') * 10 + (text[1] - '0') < 24 && text[3] < '6' && text[6] < '6';
}

bool IsFixedPoint(std::int32_t type) {
    return type == kDecimal || type == kMoney || type == kNumeric || type == kNumericSTS ||
           type == kNumericSA || type == kCurrency;
}

bool IsWhole(std::int32_t type) {
    return type == kInteger || type == kUBin || type == kAutoInc;
}

// The cell into a record and out again. The record is kept from one cell to the next: an
// import checks every cell of every row.
std::string RoundTrip(const FieldDef& field, const std::string& cell) {
    static std::vector<std::uint8_t> record;
    const auto end = static_cast<std::size_t>(field.offset) +
                     static_cast<std::size_t>(std::max(field.size, 1));
    if (record.size() < end) record.resize(end);
    std::fill(record.begin() + field.offset, record.begin() + static_cast<long>(end), 0);
    TextToField(field, record.data(), end, static_cast<std::size_t>(field.offset), cell);
    return FieldToText(field, record.data(), end, static_cast<std::size_t>(field.offset));
}

// The bytes of text a text field holds: a String fills it, a ZString keeps one for its end and
// an LString one for its length; -1 for other types.
int TextRoom(const FieldDef& field) {
    switch (field.dataType) {
        case kString: return field.size;
        case kZString:
        case kLString: return field.size - 1;
        default: return -1;
    }
}

}  // namespace

std::string CheckCell(const FieldDef& field, const std::string& cell) {
    const std::int32_t type = field.dataType;
    if (type == kBlob || cell.empty()) return std::string();
    // Text fields only lose what does not fit (trailing blanks of a String are padding).
    if (const int room = TextRoom(field); room >= 0) {
        std::size_t length = cell.size();
        if (type == kString) {
            while (length > 0 && cell[length - 1] == ' ') --length;
        }
        if (length <= static_cast<std::size_t>(room)) return std::string();
        return "is " + std::to_string(cell.size()) + " bytes; the field holds " +
               std::to_string(room);
    }
    if (type == kDate || type == kTime || type == kLogical) {
        const std::string_view text = Trimmed(cell);
        if (type == kTime) return IsTime(text) ? std::string() : "is not a time (hh:mm:ss)";
        if (type == kLogical) return cell == "0" || cell == "1" ? std::string() : "is not 0 or 1";
        if (IsDate(text)) return std::string();
        return Options().GetDateMode() == DateMode::TwoDigitYears
                   ? "is not a date (yy/mm/dd)"
                   : "is not a date (yyyy/mm/dd)";
    }
    const std::string back = RoundTrip(field, cell);
    if (IsWhole(type) || IsFixedPoint(type) || type == kFloat || type == kBFloat) {
        const std::optional<std::string> written = CanonicalNumber(cell, IsWhole(type));
        if (!written) return IsWhole(type) ? "is not a whole number" : "is not a number";
        const std::optional<std::string> stored = CanonicalNumber(back, false);
        if (type == kFloat || type == kBFloat) {
            const double wanted = std::strtod(written->c_str(), nullptr);
            const double got = stored ? std::strtod(stored->c_str(), nullptr) : NAN;
            const double precision = field.size == 8 ? 1e-14 : 1e-6;
            if (std::fabs(got - wanted) <= precision * std::fabs(wanted)) return std::string();
            return "does not fit in the field";
        }
        if (stored == written) return std::string();
        // Decimal places the field does not have are lost; else the number is too large.
        const std::size_t point = written->find('.');
        if (IsFixedPoint(type) && point != std::string::npos &&
            written->size() - point - 1 > static_cast<std::size_t>(field.decimals)) {
            return "has more than the field's " + std::to_string(field.decimals) +
                   " decimal places";
        }
        return "does not fit in the field (" + std::to_string(field.size) + " bytes)";
    }
    if (back == cell) return std::string();
    if (back.size() < cell.size()) return "is longer than the field holds";
    return "would be stored as \"" + back + "\"";
}

}  // namespace zelmor::tools
