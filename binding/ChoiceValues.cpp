#include "binding/ChoiceValues.h"

namespace zelmor {

namespace {
// A value text that was never set stands for nothing: it matches no field text.
bool Matches(const std::string& text, const std::string& valueText) {
    return !valueText.empty() && text == valueText;
}
}  // namespace

std::optional<int> CheckBoxValueOf(const std::string& text, const ChoiceTexts& texts) {
    std::optional<int> value;
    if (Matches(text, texts.trueText)) value = kChecked;
    if (Matches(text, texts.falseText)) value = kUnchecked;
    if (Matches(text, texts.indeterminateText)) value = kGrayed;
    return value;
}

std::string CheckBoxTextOf(int value, const ChoiceTexts& texts) {
    switch (value) {
        case kUnchecked: return texts.falseText;
        case kChecked: return texts.trueText;
        case kGrayed: return texts.indeterminateText;
        default: return {};
    }
}

std::optional<int> OptionValueOf(const std::string& text, const std::string& trueText,
                                 const std::string& falseText) {
    std::optional<int> value;
    if (Matches(text, trueText)) value = 1;
    if (Matches(text, falseText)) value = 0;
    return value;
}

std::string OptionTextOf(int value, const std::string& trueText, const std::string& falseText) {
    return value != 0 ? trueText : falseText;
}

}  // namespace zelmor
