// How check boxes and option buttons turn a field's text into their value and back: each holds
// the texts that stand for checked, unchecked (and, for check boxes, greyed). The rules need no
// window, so the controls share them from here.
#pragma once

#include <optional>
#include <string>

namespace zelmor {

enum CheckValue : int { kUnchecked = 0, kChecked = 1, kGrayed = 2 };

// The field texts of a check box's or an option button's states.
struct ChoiceTexts {
    std::string trueText;           // DbValueTrue
    std::string falseText;          // DbValueFalse
    std::string indeterminateText;  // DbValueIndeterminate (check boxes only)
};

// The value a check box takes for a field's text. The texts are tested in the order true,
// false, indeterminate and each match takes effect, so the last match wins; nullopt when none
// matches (the box keeps its state). A value text that was never set (empty) matches nothing.
std::optional<int> CheckBoxValueOf(const std::string& text, const ChoiceTexts& texts);

// The field text of a check box's value; a value with no text gives the empty text.
std::string CheckBoxTextOf(int value, const ChoiceTexts& texts);

// An option button: true first, then false, the last match winning; nullopt for no match.
std::optional<int> OptionValueOf(const std::string& text, const std::string& trueText,
                                 const std::string& falseText);
// Any nonzero value reads as the true text.
std::string OptionTextOf(int value, const std::string& trueText, const std::string& falseText);

}  // namespace zelmor
