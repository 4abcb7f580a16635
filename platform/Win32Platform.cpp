#include "platform/Win32Platform.h"

#include <windows.h>

#include <vector>

#include "platform/CodePage.h"

namespace zelmor::platform {

int Win32Platform::ShowMessageBox(const std::string& text, unsigned style) {
    // No owner window and a null caption: the system's default caption.
    return MessageBoxA(nullptr, text.c_str(), nullptr, style);
}

void Win32Platform::Beep(unsigned type) { MessageBeep(type); }

std::string Win32Platform::ReadProfileString(const std::string& fileName,
                                             const std::string& section, const std::string& key,
                                             const std::string& defaultValue,
                                             std::size_t capacity) {
    if (capacity == 0) return {};
    std::vector<char> buffer(capacity + 1, '\0');
    DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                            buffer.data(), static_cast<DWORD>(capacity),
                                            fileName.c_str());
    std::string result(buffer.data(), length < capacity ? length : capacity - 1);
    CutToBytes(result, capacity - 1);
    return result;
}

bool Win32Platform::ShortenPath(const std::string& path, std::string& shortPath) {
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    shortPath.assign(buffer, length);
    return true;
}

bool Win32Platform::FileExists(const std::string& path) {
    return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void Win32Platform::EndWithFatalError(const std::string& text) {
    FatalAppExitA(0, text.c_str());
    ExitProcess(3);  // FatalAppExit does not return; this keeps the promise if it ever did.
}

Platform& NativePlatform() {
    static Win32Platform platform;
    return platform;
}

}  // namespace zelmor::platform
