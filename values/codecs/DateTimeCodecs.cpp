// Date: byte 0 day, byte 1 month, bytes 2-3 the year (signed 16-bit). Time: byte 0 hundredths,
// byte 1 seconds, byte 2 minutes, byte 3 hours. Texts are read at fixed character positions.
#include <cstdio>

#include "values/GlobalOptions.h"
#include "values/codecs/CodecFamilies.h"
#include "values/codecs/NumericText.h"

namespace zelmor::codecs {

namespace {

// The character at 1-based `position`, or 0 past the end of the text.
char CharAt(std::string_view text, std::size_t position) {
    return position <= text.size() ? text[position - 1] : '\0';
}

// The `count` characters from 1-based `position` read as a decimal number. Positions past the
// end of the text hold nothing, so a short text gives 0 for the parts it lacks.
int NumberAt(std::string_view text, std::size_t position, std::size_t count) {
    if (position > text.size()) return 0;
    return static_cast<int>(ParseInteger(text.substr(position - 1, count)));
}

std::string Format(const char* pattern, int a, int b, int c) {
    char text[48];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

}  // namespace

std::string DateToText(const FieldDef&, ValueView value) {
    int day = value[0];
    int month = value[1];
    int year = static_cast<std::int16_t>(ReadLittleEndian(value.data + 2, 2));
    if (Options().GetDateMode() == DateMode::TwoDigitYears) {
        return Format("%02d/%02d/%02d", year < 2000 ? year - 1900 : year - 2000, month, day);
    }
    return Format("%04d/%02d/%02d", year, month, day);
}

void TextToDate(const FieldDef&, ValueSpan value, std::string_view text) {
    // An empty text is the empty date, all zero, as a cleared record holds it.
    if (text.empty()) {
        WriteLittleEndian(value.data, 4, 0);
        return;
    }
    int year, month, day;
    if (Options().GetDateMode() == DateMode::TwoDigitYears) {
        year = (Options().Year2000() != 0 ? 2000 : 1900) + NumberAt(text, 1, 2);
        month = NumberAt(text, 4, 2);
        day = NumberAt(text, 7, 2);
    } else {
        // "yyyy/m/d", "yyyy/mm/d", "yyyy/m/dd" and "yyyy/mm/dd".
        year = NumberAt(text, 1, 4);
        std::size_t dayStart = 9;
        if (CharAt(text, 7) == '/') {
            month = NumberAt(text, 6, 1);
            dayStart = 8;
        } else {
            month = NumberAt(text, 6, 2);
        }
        day = NumberAt(text, dayStart, CharAt(text, dayStart + 1) == '/' ? 1 : 2);
    }
    value[0] = static_cast<std::uint8_t>(day);
    value[1] = static_cast<std::uint8_t>(month);
    WriteLittleEndian(value.data + 2, 2, static_cast<std::uint64_t>(year));
}

std::string TimeToText(const FieldDef&, ValueView value) {
    return Format("%02d:%02d:%02d", value[3], value[2], value[1]);
}

void TextToTime(const FieldDef&, ValueSpan value, std::string_view text) {
    // Only "hh:mm:ss" is read (the separators are not examined); anything else is 00:00:00.
    std::uint32_t packed = 0;
    if (text.size() == 8) {
        auto hours = static_cast<std::uint8_t>(NumberAt(text, 1, 2));
        auto minutes = static_cast<std::uint8_t>(NumberAt(text, 4, 2));
        auto seconds = static_cast<std::uint8_t>(NumberAt(text, 7, 2));
        packed = (std::uint32_t{hours} << 24) | (std::uint32_t{minutes} << 16) |
                 (std::uint32_t{seconds} << 8);
    }
    WriteLittleEndian(value.data, 4, packed);
}

}  // namespace zelmor::codecs
