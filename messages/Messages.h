// The numbered messages (each text starts with its code VEnnn), the status texts, and showing
// a message to the user: a task-modal box with no owner window, the default caption and an OK
// button. Texts are in the ANSI code page.
#pragma once

#include <cstdarg>
#include <string>

namespace zelmor::platform {
class Platform;
}

namespace zelmor {

// Message numbers, named by the code their text begins with.
enum MessageId : int {
    VE001 = 115,
    VE011 = 119,
    VE007 = 120,
    VE015 = 123,
    VE019 = 127,
    VE020 = 128,
    VE023 = 131,
    VE025 = 140,
    VE028 = 143,
    VE029 = 144,
    VE030 = 145,
    VE031 = 146,
    VE039 = 147,
    VE040 = 148,
    VE041 = 149,
    VE042 = 150,
    VE043 = 151,
    VE044 = 152,
    VE046 = 154,
    VE801 = 171,
    VE802 = 172,
    VE803 = 173,
    VE804 = 174,
    VE806 = 176,
    VE807 = 177,
    VE808 = 178,
    VE809 = 179,
    VE810 = 180,
    VE811 = 181,
    VE812 = 182,
    VE813 = 183,
    VE814 = 184,
    VE816 = 186,
    VE817 = 187,
    VE818 = 188,
    VE819 = 189,
    VE820 = 190,
    VE821 = 191,
    VE822 = 192,
    VE823 = 193,
};

// Longest text a message box receives; a longer formatted message is cut at a character
// boundary.
constexpr std::size_t kMaxMessageBoxText = 511;

// The message's text in the ANSI code page (at most 127 bytes), or an empty text for a number
// that has no message.
std::string LoadMessageText(int number);

// The message formatted printf-style with its arguments (%s takes ANSI text, %d an int) and cut
// to kMaxMessageBoxText bytes.
std::string FormatMessageText(int number, ...);
std::string FormatMessageTextV(int number, va_list arguments);

// Formats the message and shows it on the current platform; returns when the user has closed
// the box.
void ShowMessage(int number, ...);
// The same on a given platform.
void ShowMessageOn(platform::Platform& platform, int number, ...);

// A short text for a record-manager status, written into one process-wide buffer: the next call
// overwrites the text the previous one returned.
const char* StatusText(int status);

}  // namespace zelmor

// Formats the message and ends the process through the system's fatal-application-exit service.
// Exported by the library; nothing inside the system calls it.
extern "C" void ZelmorFatalAppExit(int number, ...);
