// The bound edit box apart from its window: the value it shows through its display format, the
// keys it lets through or formats as they are typed, the completion of dates and times when it
// loses the focus, and the input method mode while it has the focus. The COM class ZelEdit
// owns one and is its view.
#pragma once

#include <optional>
#include <string>

#include "controls/BoundField.h"
#include "controls/ImeModes.h"

namespace zelmor {

// What the edit box's logic asks of its window.
class EditView {
  public:
    virtual ~EditView() = default;
    virtual bool HasWindow() = 0;
    virtual std::string WindowText() = 0;  // ANSI
    virtual void ShowText(const std::string& text) = 0;
    virtual void PutCaretAtEnd() = 0;
    virtual WindowHandle EditWindow() = 0;
    // The host's formatting service: the value formatted, or nothing.
    virtual std::optional<std::string> Format(const std::string& value,
                                              const std::string& format) = 0;
    virtual ImeCalls& Ime() = 0;
};

// _enumAlignment
enum Alignment : int { kAlignLeft = 0, kAlignRight = 1, kAlignCenter = 2 };

class EditLogic : public BoundField {
  public:
    EditLogic(ControlHost& host, BindingRegistry& registry, EditView& view)
        : BoundField(ControlKind::Edit, RegistryList::Field, host, registry), view_(view) {}

    // Properties (text in the ANSI code page).
    int maxLength = 0;
    std::string passwordChar;
    std::string format;
    bool multiLine = false;
    int alignment = kAlignLeft;
    bool readOnly = false;
    bool upperCase = false;
    int imeMode = kImeNone;
    bool numericMask = false;
    int formatOption = 0;

    // The value text: what was shown last, or what the window holds while there is one.
    std::string Text();
    // Shows a value (a transfer, or the Text property): through the format when there is one,
    // right-justified for the options that ask for it. An empty value empties the window.
    void SetValueText(const std::string& text);

    // A character typed into the window (UTF-16, as the window gets it); true when the logic
    // took it (dropped by the numeric mask, or formatted into the text), false when the window
    // is to insert it as usual.
    bool OnCharacter(char16_t character);
    void OnFocusGained();
    void OnFocusLost();

    // BoundControl
    void SetFieldText(const std::string& text) override { SetValueText(text); }
    bool ReadFieldText(std::string& text) override;
    void ClearFieldValue() override;

  private:
    void Show(std::string text);

    EditView& view_;
    std::string text_;
    int keptImeMode_ = -1;
};

}  // namespace zelmor
