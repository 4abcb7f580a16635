// What a bound edit box does with the text it shows and the keys typed into it: right
// justification within its maximum length, the numeric key mask, and the completion of typed
// dates and times when it loses the focus. The display format itself is the host's formatting
// service, reached by the control. Texts are bytes in the ANSI code page: widths count bytes,
// and a double-byte character is never split.
#pragma once

#include <string>
#include <string_view>

#include "values/GlobalOptions.h"

namespace zelmor {

// The edit box's FormatOption.
enum FormatOption : int {
    kFormatNone = 0,
    kFormatEveryChar = 1,
    kFormatRightAlign = 2,
    kFormatEveryRight = 3,
};
// Options 2 and 3 right-justify what is shown and put the caret at the end on focus.
inline bool RightAligns(int option) {
    return option == kFormatRightAlign || option == kFormatEveryRight;
}
// Options 1 and 3 format the text again on every keystroke.
inline bool FormatsEveryKey(int option) {
    return option == kFormatEveryChar || option == kFormatEveryRight;
}

// Pads the text on the left with blanks to `width` bytes, or keeps its last `width` bytes (a
// double-byte character cut in two by that is replaced by a blank). Width 0 changes nothing.
void RightJustify(std::string& text, int width);

// Whether a typed character passes the numeric mask: digits, ".", "-", "+", ",", backspace;
// "/" for a Date field and ":" for a Time field as well.
bool IsMaskCharacter(unsigned character, int fieldType);

// Dates and times are read from at most this many bytes of the window's text.
constexpr std::size_t kMaxCompletionText = 15;

// A completed entry: the text to show and how many times to sound the warning beep (one per
// part that had to be replaced).
struct Completion {
    std::string text;
    int beeps = 0;
};

// A typed date made whole: "y/m/d" or by position (yymmdd, or yyyymmdd in four-digit mode), a
// missing month or day taken as 1. Four-digit mode replaces a year outside 1900-2099 by
// `currentYear`, a month outside 1-12 by 1 and a day outside 1-31 by 1, a beep each; two-digit
// mode replaces both month and day by 1, with one beep, when either is out of range. An empty
// text stays empty.
Completion CompleteDateEntry(std::string_view text, DateMode mode, int currentYear);

// A typed time made whole: "h:m[:s]" or by position (hhmmss), missing parts 0. Unless hours are
// below 25 and minutes and seconds below 61, all three become 0 with one beep.
Completion CompleteTimeEntry(std::string_view text);

}  // namespace zelmor
