#include "controls/ImeModes.h"

namespace zelmor {

namespace {

// Conversion-mode bits of the answer and of a request.
constexpr std::uintptr_t kAlphanumeric = 0x01;
constexpr std::uintptr_t kKatakana = 0x02;
constexpr std::uintptr_t kHiragana = 0x04;
constexpr std::uintptr_t kDoubleByte = 0x10;

// The conversion mode each mode sets after opening or closing the IME; 0 for none.
std::uintptr_t ConversionOf(int mode) {
    switch (mode) {
        case kImeZenHira:
            return 0x14;
        case kImeZenKata:
            return 0x12;
        case kImeHanKata:
            return 0x0A;
        case kImeZenEnglish:
            return 0x11;
        case kImeHanEnglish:
            return 0x09;
        default:
            return 0;
    }
}

void SetOpen(ImeCalls& calls, bool open) {
    if (open) calls.EnableIme(true);
    calls.Send(0, ImeRequest{imefunction::kSetOpen, open ? 1u : 0u, 0});
}

}  // namespace

int ReadImeMode(ImeCalls& calls) {
    if (!calls.Available()) return -1;
    const auto answer = static_cast<std::uintptr_t>(
        calls.Send(0, ImeRequest{imefunction::kGetConversionMode, 0, 0}));
    int mode = -1;
    // The later tests win.
    if (answer & kHiragana) mode = kImeZenHira;
    if (answer & kKatakana) mode = (answer & kDoubleByte) ? kImeZenKata : kImeHanKata;
    if (answer & kAlphanumeric) mode = (answer & kDoubleByte) ? kImeZenEnglish : kImeHanEnglish;
    return mode;
}

bool SetImeMode(ImeCalls& calls, WindowHandle editWindow, int mode) {
    if (!calls.Available()) return false;
    switch (mode) {
        case kImeOn:
            SetOpen(calls, true);
            break;
        case kImeOff:
            SetOpen(calls, false);
            break;
        case kImeOffFixed:
            SetOpen(calls, false);
            calls.EnableIme(false);
            break;
        case kImeZenHira:
        case kImeZenKata:
        case kImeHanKata:
        case kImeZenEnglish:
            SetOpen(calls, true);
            break;
        case kImeHanEnglish:
            SetOpen(calls, false);
            break;
        default:
            return true;  // ImeNone and unknown modes change nothing
    }
    if (std::uintptr_t conversion = ConversionOf(mode)) {
        calls.Send(0, ImeRequest{imefunction::kSetConversionMode, conversion, 0});
        // The conversion window follows the edit box.
        calls.Send(editWindow, ImeRequest{imefunction::kSetConversionWindow, 2, 0});
    }
    return true;
}

}  // namespace zelmor
