// The operating-system services the system's logic uses. One implementation per platform
// (Win32, POSIX) and a recording one for tests. The logic reaches the services through
// CurrentPlatform(), which tests may replace.
#pragma once

#include <cstdint>
#include <string>

namespace zelmor::platform {

// Message box styles and results, with the values of the Win32 API.
namespace box {
constexpr unsigned kOk = 0x0000;
constexpr unsigned kOkCancel = 0x0001;
constexpr unsigned kYesNoCancel = 0x0003;
constexpr unsigned kYesNo = 0x0004;
constexpr unsigned kIconHand = 0x0010;
constexpr unsigned kIconQuestion = 0x0020;
constexpr unsigned kIconExclamation = 0x0030;
constexpr unsigned kIconAsterisk = 0x0040;
constexpr unsigned kTaskModal = 0x2000;

constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The button a box answers with when nobody is there to press one: Yes where it has Yes, else OK.
inline int DefaultAnswer(unsigned style) {
    const unsigned buttons = style & 0x0F;
    return buttons == kYesNo || buttons == kYesNoCancel ? kIdYes : kIdOk;
}
}  // namespace box

// MessageBeep values.
namespace beep {
constexpr unsigned kSimple = 0xFFFFFFFF;
constexpr unsigned kOk = 0x0000;
constexpr unsigned kHand = 0x0010;
constexpr unsigned kQuestion = 0x0020;
constexpr unsigned kExclamation = 0x0030;
constexpr unsigned kAsterisk = 0x0040;
}  // namespace beep

class Platform {
public:
    virtual ~Platform() = default;

    // Shows a modal box with no owner window and the system's default caption; `text` is in
    // the ANSI code page. Returns the button pressed (box::kIdOk, ...).
    virtual int ShowMessageBox(const std::string& text, unsigned style) = 0;

    virtual void Beep(unsigned type) = 0;

    // GetPrivateProfileStringA: the value of `key` in `section` of the initialisation file
    // `fileName` (a name without directory), at most `capacity` - 1 bytes, or `defaultValue`
    // when the file, section or key is missing.
    virtual std::string ReadProfileString(const std::string& fileName, const std::string& section,
                                          const std::string& key, const std::string& defaultValue,
                                          std::size_t capacity) = 0;

    // An integer key: the leading decimal number of the value (blanks and a sign allowed before
    // it); a missing key or a value that does not start with a number gives `defaultValue`.
    int ReadProfileInt(const std::string& fileName, const std::string& section,
                       const std::string& key, int defaultValue);

    // GetShortPathNameA: the short (8.3) form of an existing path. False when the path does not
    // exist or cannot be shortened.
    virtual bool ShortenPath(const std::string& path, std::string& shortPath) = 0;

    virtual bool FileExists(const std::string& path) = 0;

    // Ends the process through the system's fatal-application-exit service.
    [[noreturn]] virtual void EndWithFatalError(const std::string& text) = 0;
};

// The leading-number rule of ReadProfileInt, on a value already read.
int ParseProfileInt(const std::string& value, int defaultValue);

// The platform in use: the real one unless a test installed another.
Platform& CurrentPlatform();

// Installs `replacement` (nullptr: back to the real platform). Returns the previous one.
Platform* SetCurrentPlatform(Platform* replacement);

// The real platform of this build (Win32 or POSIX).
Platform& NativePlatform();

}  // namespace zelmor::platform
