// The services on POSIX systems. There is no window system: message boxes are written to
// standard error (as UTF-8) and answered with their default button.
//
// Initialisation files: the Windows routines look for "zelmor.ini" and "win.ini" in the Windows
// directory. Here they are looked for in the profile directory, fixed at build time (CMake
// variable ZELMOR_PROFILE_DIR, default /etc/zelmor) and replaceable by a program through
// SetProfileDirectory (tools take it from their command line; tests use their own folder). The
// file name matches without regard to letter case, as on Windows.
#pragma once

#include "platform/Platform.h"

namespace zelmor::platform {

class PosixPlatform : public Platform {
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

// The directory searched for initialisation files.
const std::string& ProfileDirectory();
void SetProfileDirectory(const std::string& directory);

// A path with '\' turned into '/', as the record manager does on POSIX.
std::string ToPosixPath(const std::string& path);

}  // namespace zelmor::platform
