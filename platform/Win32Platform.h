// The services on Windows, through the Win32 API. Initialisation files named without a
// directory are found by the system's profile routines (in the Windows directory).
#pragma once

#include "platform/Platform.h"

namespace zelmor::platform {

class Win32Platform : public Platform {
public:
    int ShowMessageBox(const std::string& text, unsigned style) override;
    void Beep(unsigned type) override;
    std::string ReadProfileString(const std::string& fileName, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t capacity) override;
    bool ShortenPath(const std::string& path, std::string& shortPath) override;
    bool FileExists(const std::string& path) override;
    [[noreturn]] void EndWithFatalError(const std::string& text) override;
};

}  // namespace zelmor::platform
