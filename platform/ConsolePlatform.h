// The platform of command-line tools: messages go to standard error as UTF-8 (no boxes to
// click), every other service is the real platform's.
#pragma once

#include "platform/Platform.h"

namespace zelmor::platform {

class ConsolePlatform : public Platform {
public:
    int ShowMessageBox(const std::string& text, unsigned style) override;
    void Beep(unsigned) override {}
    std::string ReadProfileString(const std::string& fileName, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t capacity) override {
        return NativePlatform().ReadProfileString(fileName, section, key, defaultValue, capacity);
    }
    bool ShortenPath(const std::string& path, std::string& shortPath) override {
        return NativePlatform().ShortenPath(path, shortPath);
    }
    bool FileExists(const std::string& path) override { return NativePlatform().FileExists(path); }
    [[noreturn]] void EndWithFatalError(const std::string& text) override;

    // How many messages were shown.
    int MessageCount() const { return messages_; }

private:
    int messages_ = 0;
};

}  // namespace zelmor::platform
