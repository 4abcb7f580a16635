// A platform for tests: it keeps the message boxes and beeps instead of showing them, answers
// boxes from a queue of scripted buttons, reads initialisation files from texts held in memory,
// and turns a fatal exit into an exception. File-system services go to the real platform.
#pragma once

#include <deque>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/ProfileFile.h"

namespace zelmor::platform {

struct FatalAppExitCalled : std::runtime_error {
    explicit FatalAppExitCalled(const std::string& text) : std::runtime_error(text) {}
};

class RecordingPlatform : public Platform {
public:
    struct ShownMessage {
        std::string text;  // ANSI code page
        unsigned style;
    };

    int ShowMessageBox(const std::string& text, unsigned style) override;
    void Beep(unsigned type) override;
    std::string ReadProfileString(const std::string& fileName, const std::string& section,
                                  const std::string& key, const std::string& defaultValue,
                                  std::size_t capacity) override;
    bool ShortenPath(const std::string& path, std::string& shortPath) override;
    bool FileExists(const std::string& path) override;
    [[noreturn]] void EndWithFatalError(const std::string& text) override;

    // The content of an initialisation file (matched without regard to letter case).
    void SetProfile(const std::string& fileName, const std::string& text);

    // The button the next box answers; without one, boxes answer with their first button.
    void QueueAnswer(int button) { answers_.push_back(button); }

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    std::vector<std::string> MessagesUtf8() const;
    const std::vector<unsigned>& Beeps() const { return beeps_; }
    void Clear();

private:
    std::vector<ShownMessage> messages_;
    std::vector<unsigned> beeps_;
    std::deque<int> answers_;
    std::map<std::string, ProfileFile> profiles_;
};

// Installs a platform for the lifetime of the object.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) : previous_(SetCurrentPlatform(&platform)) {}
    ~ScopedPlatform() { SetCurrentPlatform(previous_); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;

private:
    Platform* previous_;
};

}  // namespace zelmor::platform
