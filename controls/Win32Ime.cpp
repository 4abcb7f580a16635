#include "controls/Win32Ime.h"

#include <windows.h>

#include <ime.h>  // after windows.h, whose types it uses

namespace zelmor {

namespace {

using EnableFunction = BOOL(WINAPI*)(HWND, BOOL);
using SendFunction = LRESULT(WINAPI*)(HWND, LPARAM);

class Win32ImeCalls : public ImeCalls {
  public:
    Win32ImeCalls() {
        HMODULE user32 = GetModuleHandleW(L"USER32.DLL");
        if (!user32) return;
        enable_ = reinterpret_cast<EnableFunction>(
            reinterpret_cast<void*>(GetProcAddress(user32, "WINNLSEnableIME")));
        send_ = reinterpret_cast<SendFunction>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SendIMEMessageExA")));
        const bool others = GetProcAddress(user32, "IMPGetIMEA") != nullptr &&
                            GetProcAddress(user32, "IMPSetIMEA") != nullptr;
        // The parameter block is made once, movable and zeroed, as the calls want it.
        if (enable_ && send_ && others) {
            block_ = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(IMESTRUCT));
        }
    }

    bool Available() override { return block_ != nullptr; }

    void EnableIme(bool enable) override {
        if (Available()) enable_(nullptr, enable ? TRUE : FALSE);
    }

    std::intptr_t Send(WindowHandle window, const ImeRequest& request) override {
        if (!Available()) return 0;
        auto* block = static_cast<IMESTRUCT*>(GlobalLock(block_));
        if (!block) return 0;
        *block = IMESTRUCT{};
        block->fnc = request.function;
        block->wParam = static_cast<WPARAM>(request.parameter);
        block->lParam1 = static_cast<LPARAM>(request.sixth);
        GlobalUnlock(block_);
        return send_(reinterpret_cast<HWND>(window), reinterpret_cast<LPARAM>(block_));
    }

  private:
    EnableFunction enable_ = nullptr;
    SendFunction send_ = nullptr;
    HGLOBAL block_ = nullptr;
};

}  // namespace

ImeCalls& PlatformImeCalls() {
    static Win32ImeCalls calls;
    return calls;
}

}  // namespace zelmor
