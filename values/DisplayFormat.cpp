#include "values/DisplayFormat.h"

#include <cstdio>

#include "platform/CodePage.h"
#include "values/FieldDef.h"

namespace zelmor {

namespace {

// The decimal number of the digits at the start of `text` (0 when there are none). At most 15
// bytes are ever read, so the value cannot overflow.
int LeadingNumber(std::string_view text) {
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') break;
        value = value * 10 + (c - '0');
    }
    return static_cast<int>(value);
}

// The parts of a text split at `separator`; parts missing at the end keep their defaults.
void SplitNumbers(std::string_view text, char separator, int* parts, int count) {
    for (int i = 0; i < count && !text.empty(); ++i) {
        std::size_t end = text.find(separator);
        parts[i] = LeadingNumber(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
}

// Parts at fixed positions, `widths` bytes each; positions past the end of the text keep their
// defaults.
void PositionalNumbers(std::string_view text, const int* widths, int* parts, int count) {
    std::size_t at = 0;
    for (int i = 0; i < count && at < text.size(); ++i) {
        parts[i] = LeadingNumber(text.substr(at, static_cast<std::size_t>(widths[i])));
        at += static_cast<std::size_t>(widths[i]);
    }
}

std::string Printed(const char* pattern, int a, int b, int c) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, a, b, c);
    return text;
}

std::string_view CompletionText(std::string_view text) {
    return text.substr(0, kMaxCompletionText);
}

}  // namespace

void RightJustify(std::string& text, int width) {
    if (width <= 0) return;
    const std::size_t size = static_cast<std::size_t>(width);
    if (text.size() < size) {
        text.insert(0, size - text.size(), ' ');
    } else if (text.size() > size) {
        // Keep the last `size` bytes; a trail byte left at the front loses its lead byte.
        std::size_t cut = text.size() - size;
        std::size_t boundary = platform::CharBoundaryAtOrBefore(text, cut);
        std::string tail = text.substr(cut);
        if (boundary != cut) tail[0] = ' ';
        text = tail;
    }
}

bool IsMaskCharacter(unsigned character, int fieldType) {
    if (character >= '0' && character <= '9') return true;
    switch (character) {
        case '.': case '-': case '+': case ',': case 8:
            return true;
        case '/':
            return fieldType == kDate;
        case ':':
            return fieldType == kTime;
        default:
            return false;
    }
}

Completion CompleteDateEntry(std::string_view text, DateMode mode, int currentYear) {
    text = CompletionText(text);
    if (text.empty()) return {};
    const bool fourDigits = mode == DateMode::FourDigitYears;
    int parts[3] = {0, 1, 1};  // year, month, day
    if (text.find('/') != std::string_view::npos) {
        SplitNumbers(text, '/', parts, 3);
    } else {
        const int widths[3] = {fourDigits ? 4 : 2, 2, 2};
        PositionalNumbers(text, widths, parts, 3);
    }
    int& year = parts[0];
    int& month = parts[1];
    int& day = parts[2];
    Completion completion;
    const bool monthOk = month >= 1 && month <= 12;
    const bool dayOk = day >= 1 && day <= 31;
    if (!fourDigits) {
        if (!monthOk || !dayOk) {
            ++completion.beeps;
            month = day = 1;
        }
        completion.text = Printed("%02d/%02d/%02d", year % 100, month, day);
        return completion;
    }
    if (year < 1900 || year >= 2100) {
        ++completion.beeps;
        year = currentYear;
    }
    if (!monthOk) {
        ++completion.beeps;
        month = 1;
    }
    if (!dayOk) {
        ++completion.beeps;
        day = 1;
    }
    completion.text = Printed("%04d/%02d/%02d", year, month, day);
    return completion;
}

Completion CompleteTimeEntry(std::string_view text) {
    text = CompletionText(text);
    if (text.empty()) return {};
    int parts[3] = {0, 0, 0};  // hours, minutes, seconds
    if (text.find(':') != std::string_view::npos) {
        SplitNumbers(text, ':', parts, 3);
    } else {
        const int widths[3] = {2, 2, 2};
        PositionalNumbers(text, widths, parts, 3);
    }
    Completion completion;
    if (!(parts[0] < 25 && parts[1] < 61 && parts[2] < 61)) {
        ++completion.beeps;
        parts[0] = parts[1] = parts[2] = 0;
    }
    completion.text = Printed("%02d:%02d:%02d", parts[0], parts[1], parts[2]);
    return completion;
}

}  // namespace zelmor
