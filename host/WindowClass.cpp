#include "host/WindowClass.h"

namespace zelmor::host {

void RegisterWindowClass(const wchar_t* className, WNDPROC procedure) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    if (GetClassInfoExW(instance, className, &description)) return;
    description.lpfnWndProc = procedure;
    description.hInstance = instance;
    description.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    description.lpszClassName = className;
    RegisterClassExW(&description);
}

}  // namespace zelmor::host
