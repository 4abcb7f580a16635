// Windows only: answers the message boxes the current thread shows, as a person would. A CBT
// hook sees each box become active, records its text and caption, and presses the scripted
// button (or the first one). Test programs and the form host use it so that the real
// MessageBoxA path runs without anyone at the screen. The box is read and answered from a timer
// that its own modal loop dispatches, once its text is in place.
#pragma once

#ifdef _WIN32

#include <deque>
#include <string>
#include <vector>

#include <windows.h>

namespace zelmor::platform {

class MessageBoxAnswerer {
public:
    struct Seen {
        std::string text;     // ANSI code page
        std::string caption;  // ANSI code page
    };

    MessageBoxAnswerer();
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // The button (IDOK, IDYES, ...) the next box is answered with.
    void QueueAnswer(int button) { answers_.push_back(button); }
    const std::vector<Seen>& Boxes() const { return seen_; }

private:
    static LRESULT CALLBACK HookProcedure(int code, WPARAM wParam, LPARAM lParam);
    static void CALLBACK TimerProcedure(HWND, UINT, UINT_PTR timer, DWORD);
    void Answer(HWND box);

    HHOOK hook_ = nullptr;
    std::vector<HWND> pending_;
    std::deque<int> answers_;
    std::vector<Seen> seen_;
};

}  // namespace zelmor::platform

#endif
