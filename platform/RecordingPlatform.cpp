#include "platform/RecordingPlatform.h"

#include <algorithm>

#include "platform/CodePage.h"

namespace zelmor::platform {

namespace {
std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) {
        return static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    });
    return text;
}
}  // namespace

int RecordingPlatform::ShowMessageBox(const std::string& text, unsigned style) {
    messages_.push_back(ShownMessage{text, style});
    if (!answers_.empty()) {
        int answer = answers_.front();
        answers_.pop_front();
        return answer;
    }
    return box::DefaultAnswer(style);
}

void RecordingPlatform::Beep(unsigned type) { beeps_.push_back(type); }

std::string RecordingPlatform::ReadProfileString(const std::string& fileName,
                                                 const std::string& section,
                                                 const std::string& key,
                                                 const std::string& defaultValue,
                                                 std::size_t capacity) {
    auto found = profiles_.find(Lower(fileName));
    const ProfileFile empty;
    const ProfileFile& profile = found == profiles_.end() ? empty : found->second;
    return profile.Read(section, key, defaultValue, capacity);
}

bool RecordingPlatform::ShortenPath(const std::string& path, std::string& shortPath) {
    return NativePlatform().ShortenPath(path, shortPath);
}

bool RecordingPlatform::FileExists(const std::string& path) {
    return NativePlatform().FileExists(path);
}

void RecordingPlatform::EndWithFatalError(const std::string& text) {
    throw FatalAppExitCalled(text);
}

void RecordingPlatform::SetProfile(const std::string& fileName, const std::string& text) {
    profiles_[Lower(fileName)] = ProfileFile(text);
}

std::vector<std::string> RecordingPlatform::MessagesUtf8() const {
    std::vector<std::string> result;
    for (const ShownMessage& m : messages_) result.push_back(AnsiToUtf8(m.text));
    return result;
}

void RecordingPlatform::Clear() {
    messages_.clear();
    beeps_.clear();
    answers_.clear();
}

}  // namespace zelmor::platform
