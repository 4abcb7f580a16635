#include "platform/MessageBoxAnswerer.h"

namespace zelmor::platform {

namespace {
// One answerer per thread at a time; the hook procedure finds it here.
thread_local MessageBoxAnswerer* t_answerer = nullptr;

std::string WindowText(HWND window) {
    char buffer[1024];
    int length = GetWindowTextA(window, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool IsDialog(HWND window) {
    char className[32];
    return GetClassNameA(window, className, sizeof className) > 0 &&
           lstrcmpA(className, "#32770") == 0;
}

// The first button of the box: the one pressed when no answer was scripted.
int FirstButton(HWND box) {
    for (int id : {IDOK, IDYES, IDABORT, IDRETRY, IDNO, IDCANCEL}) {
        if (GetDlgItem(box, id) != nullptr) return id;
    }
    return IDOK;
}
}  // namespace

MessageBoxAnswerer::MessageBoxAnswerer() {
    t_answerer = this;
    hook_ = SetWindowsHookExA(WH_CBT, HookProcedure, nullptr, GetCurrentThreadId());
}

MessageBoxAnswerer::~MessageBoxAnswerer() {
    if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
    t_answerer = nullptr;
}

LRESULT CALLBACK MessageBoxAnswerer::HookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && t_answerer != nullptr && IsDialog(window)) {
        std::vector<HWND>& pending = t_answerer->pending_;
        for (HWND known : pending) {
            if (known == window) return CallNextHookEx(nullptr, code, wParam, lParam);
        }
        pending.push_back(window);
        SetTimer(nullptr, 0, 10, TimerProcedure);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK MessageBoxAnswerer::TimerProcedure(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    if (t_answerer == nullptr) return;
    std::vector<HWND> boxes;
    boxes.swap(t_answerer->pending_);
    for (HWND box : boxes) {
        if (IsWindow(box)) t_answerer->Answer(box);
    }
}

void MessageBoxAnswerer::Answer(HWND window) {
    // The message text is the box's static control (id 0xFFFF).
    HWND textControl = GetDlgItem(window, 0xFFFF);
    seen_.push_back(Seen{textControl != nullptr ? WindowText(textControl) : std::string(),
                         WindowText(window)});
    int button = FirstButton(window);
    if (!answers_.empty()) {
        button = answers_.front();
        answers_.pop_front();
    }
    // Posted, so the box is pressed once its own message loop runs.
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(window, button)));
}

}  // namespace zelmor::platform
