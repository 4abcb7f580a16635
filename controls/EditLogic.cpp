#include "controls/EditLogic.h"

#include <ctime>

#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "values/DisplayFormat.h"
#include "values/FieldDef.h"
#include "values/GlobalOptions.h"

namespace zelmor {

namespace {

// The transfers read at most this much of the window's text (the field text buffer).
constexpr std::size_t kMaxReadText = 4096;
constexpr char16_t kBackspace = 8;

int CurrentYear() {
    std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    return local != nullptr ? local->tm_year + 1900 : 2000;
}

void Beep(unsigned type, int times) {
    for (int i = 0; i < times; ++i) platform::CurrentPlatform().Beep(type);
}

// The text without its last character (a double-byte character goes whole).
std::string WithoutLastCharacter(const std::string& text) {
    if (text.empty()) return text;
    return text.substr(0, platform::CharBoundaryAtOrBefore(text, text.size() - 1));
}

}  // namespace

// At design time nobody types into the window, and the value is what was set (a format the
// designer's host cannot apply must not lose it when the form is saved).
std::string EditLogic::Text() {
    if (view_.HasWindow() && Host().UserMode()) text_ = view_.WindowText();
    return text_;
}

void EditLogic::Show(std::string text) {
    if (RightAligns(formatOption)) RightJustify(text, maxLength);
    text_ = text;
    view_.ShowText(text);
}

void EditLogic::SetValueText(const std::string& text) {
    text_ = text;
    if (text.empty()) {
        view_.ShowText(text);
        return;
    }
    if (format.empty()) {
        Show(text);
        return;
    }
    // Without a text from the formatting service the window keeps what it shows.
    std::optional<std::string> formatted = view_.Format(text, format);
    if (formatted && !formatted->empty()) Show(*formatted);
}

bool EditLogic::OnCharacter(char16_t character) {
    if (numericMask && !IsMaskCharacter(character, FieldType())) {
        platform::CurrentPlatform().Beep(platform::beep::kHand);
        return true;
    }
    if (!FormatsEveryKey(formatOption)) return false;
    // The whole text is taken: a long text that the service cannot format stays as it is.
    std::string typed = view_.WindowText();
    if (character == kBackspace) {
        typed = WithoutLastCharacter(typed);
    } else {
        typed += platform::Utf16ToAnsi(std::u16string(1, character));
    }
    std::optional<std::string> formatted =
        typed.empty() || format.empty() ? std::nullopt : view_.Format(typed, format);
    if (!formatted || formatted->empty()) return false;
    std::string text = *formatted;
    RightJustify(text, maxLength);
    text_ = text;
    view_.ShowText(text);
    view_.PutCaretAtEnd();
    return true;
}

void EditLogic::OnFocusGained() {
    FieldType();
    if (RightAligns(formatOption)) view_.PutCaretAtEnd();
    if (imeMode != kImeNone) {
        keptImeMode_ = ReadImeMode(view_.Ime());
        SetImeMode(view_.Ime(), view_.EditWindow(), imeMode);
    }
}

void EditLogic::OnFocusLost() {
    if (format.empty()) {
        const int type = FieldType();
        if (type == kDate || type == kTime) {
            const std::string typed = view_.WindowText();
            Completion done = type == kDate
                                  ? CompleteDateEntry(typed, Options().GetDateMode(), CurrentYear())
                                  : CompleteTimeEntry(typed);
            Beep(platform::beep::kExclamation, done.beeps);
            if (done.text != typed) view_.ShowText(done.text);
        }
    }
    if (imeMode != kImeNone && keptImeMode_ >= 0) {
        SetImeMode(view_.Ime(), view_.EditWindow(), keptImeMode_);
    }
}

bool EditLogic::ReadFieldText(std::string& text) {
    text = Text();
    platform::CutToBytes(text, kMaxReadText);
    return true;
}

void EditLogic::ClearFieldValue() {
    text_.clear();
    view_.ShowText(std::string());
}

}  // namespace zelmor
