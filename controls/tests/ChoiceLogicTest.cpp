#include <gtest/gtest.h>

#include <memory>

#include "controls/ChoiceLogic.h"
#include "controls/tests/FakeControlHost.h"

using namespace zelmor;
using namespace zelmor::testing;

namespace {

class Marks : public ChoiceView {
  public:
    void ShowMark(int value) override { mark = value; }
    int mark = -1;
};

BindingRegistry NewRegistry() {
    return BindingRegistry([](WindowHandle) -> WindowHandle { return 0; });
}

}  // namespace

TEST(CheckBoxLogic, ClicksTransfersAndValues) {
    BindingRegistry registry = NewRegistry();
    FakeControlHost host(u"Check1");
    Marks marks;
    CheckBoxLogic box(host, registry, marks);
    box.texts = {"Y", "N", "?"};
    struct Step {
        const char* action;  // "click", a field text, or "read"
        int value;
        const char* read;
    } steps[] = {
        {"Y", 1, "Y"},     {"click", 0, "N"}, {"?", 2, "?"}, {"click", 0, "N"},
        {"click", 1, "Y"}, {"other", 1, "Y"},  // a text matching none leaves the box as it is
    };
    for (const Step& step : steps) {
        if (std::string(step.action) == "click") {
            box.OnClick();
        } else {
            box.SetFieldText(step.action);
        }
        EXPECT_EQ(box.Value(), step.value) << step.action;
        EXPECT_EQ(marks.mark, step.value) << step.action;
        std::string text;
        EXPECT_TRUE(box.ReadFieldText(text));
        EXPECT_EQ(text, step.read);
    }
    EXPECT_FALSE(box.SetValue(3));
    box.ClearFieldValue();
    EXPECT_EQ(marks.mark, 0);
}

// Three option buttons on one field act as one group, and the field gets the chosen one's
// text whichever was registered last.
TEST(OptionLogic, AGroupWritesTheChosenButtonsText) {
    BindingRegistry registry = NewRegistry();
    std::vector<std::unique_ptr<FakeControlHost>> hosts;
    std::vector<std::unique_ptr<Marks>> marks;
    std::vector<std::unique_ptr<OptionLogic>> options;
    for (const char* letter : {"A", "B", "C"}) {
        hosts.push_back(std::make_unique<FakeControlHost>(u"Opt" + std::u16string(1, letter[0])));
        marks.push_back(std::make_unique<Marks>());
        options.push_back(std::make_unique<OptionLogic>(*hosts.back(), registry, *marks.back()));
        OptionLogic& option = *options.back();
        option.dbSource = u"Data1";
        option.dbTable = u"Customer";
        option.dbField = u"Kind";
        option.texts.trueText = letter;
        option.texts.falseText = std::string("not ") + letter;
        option.Register();
    }
    options[1]->OnClick();
    EXPECT_EQ(options[0]->Value() + options[1]->Value() * 10 + options[2]->Value() * 100, 10);
    std::string text;
    EXPECT_EQ(registry.GetFieldControls(100, "Customer", "Kind", text), 1);
    EXPECT_EQ(text, "B");
    options[2]->SetFieldText("C");  // a transfer choosing C
    EXPECT_EQ(marks[1]->mark, 0);
    EXPECT_EQ(registry.GetFieldControls(100, "Customer", "Kind", text), 1);
    EXPECT_EQ(text, "C");
    registry.ClearFieldControls(100, "Customer", "Kind");
    EXPECT_EQ(registry.GetFieldControls(100, "Customer", "Kind", text), 3);
    EXPECT_EQ(text, "not C");  // none chosen: the last registered's false text
    EXPECT_FALSE(options[0]->SetValue(2));
}
