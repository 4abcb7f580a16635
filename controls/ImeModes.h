// The input method modes an edit box switches to while it has the focus (its IMEMode), through
// the platform's old Japanese input method calls: a parameter block of a function code and its
// parameter, sent with SendIMEMessageEx, and WINNLSEnableIME. Where the platform lacks the calls,
// reading and setting give -1 and change nothing.
#pragma once

#include <cstdint>

#include "binding/BoundControl.h"

namespace zelmor {

// _enumImeMode
enum ImeMode : int {
    kImeNone = 0,
    kImeOn = 1,
    kImeOff = 2,
    kImeOffFixed = 3,
    kImeZenHira = 4,
    kImeZenKata = 5,
    kImeHanKata = 6,
    kImeZenEnglish = 7,
    kImeHanEnglish = 8,
};

// One call's parameter block: the function code, its parameter, and the sixth word.
struct ImeRequest {
    std::uint32_t function = 0;
    std::uintptr_t parameter = 0;
    std::intptr_t sixth = 0;
};

// The platform's calls.
class ImeCalls {
  public:
    virtual ~ImeCalls() = default;
    // All four entry points were found.
    virtual bool Available() = 0;
    virtual void EnableIme(bool enable) = 0;
    // Sends the block to the window (0: no window); gives the call's answer.
    virtual std::intptr_t Send(WindowHandle window, const ImeRequest& request) = 0;
};

// Function codes of the parameter block.
namespace imefunction {
constexpr std::uint32_t kSetOpen = 0x04;
constexpr std::uint32_t kSetConversionWindow = 0x08;
constexpr std::uint32_t kSetConversionMode = 0x10;
constexpr std::uint32_t kGetConversionMode = 0x11;
}  // namespace imefunction

// The mode in effect now (4 to 8), or -1 when the calls are missing or the answer says none.
int ReadImeMode(ImeCalls& calls);
// Switches to `mode` for the edit window; false (nothing done) when the calls are missing.
bool SetImeMode(ImeCalls& calls, WindowHandle editWindow, int mode);

}  // namespace zelmor
