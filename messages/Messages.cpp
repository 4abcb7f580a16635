#include "messages/Messages.h"

#include <cstdio>
#include <map>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Platform.h"

namespace zelmor {

namespace {

constexpr std::size_t kMaxMessageText = 127;
constexpr unsigned kMessageBoxStyle = platform::box::kOk | platform::box::kTaskModal;

// The message texts converted once from UTF-8 to the ANSI code page.
const std::map<int, std::string>& MessageTable() {
    static const std::map<int, std::string> table = [] {
        std::map<int, std::string> texts;
#define ZELMOR_MESSAGE(number, text) texts[number] = platform::Utf8ToAnsi(text);
#include "messages/MessageTexts.inc"
#undef ZELMOR_MESSAGE
        for (auto& entry : texts) platform::CutToBytes(entry.second, kMaxMessageText);
        return texts;
    }();
    return table;
}

std::string FormatText(const std::string& format, va_list arguments) {
    va_list measure;
    va_copy(measure, arguments);
    int needed = std::vsnprintf(nullptr, 0, format.c_str(), measure);
    va_end(measure);
    if (needed <= 0) return needed == 0 ? std::string() : format;
    std::vector<char> buffer(static_cast<std::size_t>(needed) + 1);
    std::vsnprintf(buffer.data(), buffer.size(), format.c_str(), arguments);
    std::string text(buffer.data(), static_cast<std::size_t>(needed));
    platform::CutToBytes(text, kMaxMessageBoxText);
    return text;
}

struct StatusTextEntry {
    int status;
    const char* utf8;
};

// U+FF0D (full-width hyphen-minus) is the dash in these texts, not the long-vowel mark.
const StatusTextEntry kStatusTexts[] = {
    {3, "ファイルがオ－プンされてません。(rc=3)"},
    {4, "該当レコ－ドがみつかりません。"},
    {5, "キ－の値が重複しています。"},
    {8, "現在レコ－ドがありません。"},
    {9, "ファイルの先頭または最後です。"},
    {18, "ディスクが満杯。"},
};
const char kGeneralStatusText[] = "Btrieve エラ－(rc=%d)";

}  // namespace

std::string LoadMessageText(int number) {
    const auto& table = MessageTable();
    auto found = table.find(number);
    return found == table.end() ? std::string() : found->second;
}

std::string FormatMessageTextV(int number, va_list arguments) {
    return FormatText(LoadMessageText(number), arguments);
}

std::string FormatMessageText(int number, ...) {
    va_list arguments;
    va_start(arguments, number);
    std::string text = FormatMessageTextV(number, arguments);
    va_end(arguments);
    return text;
}

void ShowMessage(int number, ...) {
    va_list arguments;
    va_start(arguments, number);
    std::string text = FormatMessageTextV(number, arguments);
    va_end(arguments);
    platform::CurrentPlatform().ShowMessageBox(text, kMessageBoxStyle);
}

void ShowMessageOn(platform::Platform& platform, int number, ...) {
    va_list arguments;
    va_start(arguments, number);
    std::string text = FormatMessageTextV(number, arguments);
    va_end(arguments);
    platform.ShowMessageBox(text, kMessageBoxStyle);
}

const char* StatusText(int status) {
    static char buffer[128];
    static const std::map<int, std::string> fixed = [] {
        std::map<int, std::string> texts;
        for (const StatusTextEntry& entry : kStatusTexts) {
            texts[entry.status] = platform::Utf8ToAnsi(entry.utf8);
        }
        return texts;
    }();
    static const std::string general = platform::Utf8ToAnsi(kGeneralStatusText);
    auto found = fixed.find(status);
    if (found != fixed.end()) {
        std::snprintf(buffer, sizeof buffer, "%s", found->second.c_str());
    } else {
        std::snprintf(buffer, sizeof buffer, general.c_str(), status);
    }
    return buffer;
}

}  // namespace zelmor

extern "C" void ZelmorFatalAppExit(int number, ...) {
    va_list arguments;
    va_start(arguments, number);
    std::string text = zelmor::FormatMessageTextV(number, arguments);
    va_end(arguments);
    zelmor::platform::CurrentPlatform().EndWithFatalError(text);
}
