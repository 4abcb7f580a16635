#include "controls/ChoiceLogic.h"

namespace zelmor {

bool CheckBoxLogic::SetValue(int value) {
    if (value < kUnchecked || value > kGrayed) return false;
    value_ = value;
    view_.ShowMark(value);
    return true;
}

void CheckBoxLogic::SetFieldText(const std::string& text) {
    if (std::optional<int> value = CheckBoxValueOf(text, texts)) SetValue(*value);
}

bool CheckBoxLogic::ReadFieldText(std::string& text) {
    text = CheckBoxTextOf(value_, texts);
    return true;
}

bool OptionLogic::SetValue(int value) {
    if (value != 0 && value != 1) return false;
    value_ = value;
    view_.ShowMark(value);
    if (value == 1 && Registered()) Registry().UncheckOtherOptions(*this);
    return true;
}

void OptionLogic::Uncheck() {
    value_ = 0;
    view_.ShowMark(0);
}

void OptionLogic::SetFieldText(const std::string& text) {
    if (std::optional<int> value = OptionValueOf(text, texts.trueText, texts.falseText))
        SetValue(*value);
}

bool OptionLogic::ReadFieldText(std::string& text) {
    if (value_ == 0 && Registry().OtherOptionChosen(*this)) return false;
    text = OptionTextOf(value_, texts.trueText, texts.falseText);
    return true;
}

}  // namespace zelmor
