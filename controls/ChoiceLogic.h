// The check box and the option button apart from their windows: the value each shows as a
// mark, the texts that stand for its states in the bound field, what a click does, and the
// option buttons of one field acting as one group. The COM classes ZelCheck and ZelOptBtn own
// one each and are its view.
#pragma once

#include <string>

#include "binding/ChoiceValues.h"
#include "controls/BoundField.h"

namespace zelmor {

class ChoiceView {
  public:
    virtual ~ChoiceView() = default;
    // Shows the value as the window's mark: 0 none, 1 checked, 2 grey.
    virtual void ShowMark(int value) = 0;
};

class CheckBoxLogic : public BoundField {
  public:
    CheckBoxLogic(ControlHost& host, BindingRegistry& registry, ChoiceView& view)
        : BoundField(ControlKind::CheckBox, RegistryList::Field, host, registry), view_(view) {}

    ChoiceTexts texts;
    int Value() const { return value_; }
    // Sets the value and the mark together; false (nothing changed) for a value not 0 to 2.
    bool SetValue(int value);
    // A click: a checked or grey box becomes unchecked, an unchecked one checked.
    void OnClick() { SetValue(value_ == kUnchecked ? kChecked : kUnchecked); }

    // BoundControl
    void SetFieldText(const std::string& text) override;
    bool ReadFieldText(std::string& text) override;
    void ClearFieldValue() override { SetValue(kUnchecked); }

  private:
    ChoiceView& view_;
    int value_ = kUnchecked;
};

class OptionLogic : public BoundField {
  public:
    OptionLogic(ControlHost& host, BindingRegistry& registry, ChoiceView& view)
        : BoundField(ControlKind::OptionButton, RegistryList::Field, host, registry), view_(view) {}

    ChoiceTexts texts;  // the indeterminate text is not used
    int Value() const { return value_; }
    // 1 chooses this button (the others of its group lose their marks), 0 unchecks it; false
    // for any other value.
    bool SetValue(int value);
    void OnClick() { SetValue(1); }

    // BoundControl. Of a group, the chosen button gives its true text; the others give nothing,
    // so that the field gets the chosen one's text whatever the order of registration. With no
    // button chosen each gives its false text.
    void SetFieldText(const std::string& text) override;
    bool ReadFieldText(std::string& text) override;
    void ClearFieldValue() override { Uncheck(); }
    void Uncheck() override;
    bool Chosen() override { return value_ != 0; }

  private:
    ChoiceView& view_;
    int value_ = 0;
};

}  // namespace zelmor
