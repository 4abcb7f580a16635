// Reading scripts: every action with its parts, and the mistakes a script can make.
#include <gtest/gtest.h>

#include "host/zelform/Script.h"

using namespace zelmor::host;

namespace {

using Kind = ScriptAction::Kind;

std::string MistakeIn(const std::string& actions) {
    try {
        ParseScript(R"({"actions": [)" + actions + "]}");
    } catch (const FileError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(Script, ReadsEveryAction) {
    std::vector<ScriptAction> actions = ParseScript(R"({"actions": [
        {"action": "set", "control": "Edit1", "property": "Text", "value": "abc", "fails": true},
        {"action": "call", "control": "Data1", "method": "DbOpen", "arguments": ["Orders", 0],
         "expect": 0},
        {"action": "click", "control": "Button1"},
        {"action": "type", "control": "Edit1", "keys": "12{ENTER}"},
        {"action": "select", "control": "List1", "item": "two"},
        {"action": "select", "tab": "Tab1", "page": 1},
        {"action": "expect", "control": "Edit1", "text": "12"},
        {"action": "expect", "control": "List1", "property": "List", "index": 2, "value": 10},
        {"action": "expect", "control": "Data1", "event": "BtrieveError", "count": 0},
        {"action": "expect", "message": "VE807"},
        {"action": "answer", "button": "yes"},
        {"action": "handle", "control": "Data1", "event": "BtrieveError", "set": {"Status": 0},
         "when": {"TableName": "Orders"}, "call": ["zelmor.dll", "DbSetFormattedString", "x"]},
        {"action": "refuse", "control": "Edit1", "property": "DbField", "refuse": false},
        {"action": "screenshot", "file": "run.bmp"},
        {"action": "wait", "milliseconds": 250},
        {"action": "drag", "control": "HScroll1", "position": 5000}
    ]})");
    ASSERT_EQ(actions.size(), 16u);
    const std::vector<Kind> kinds = {Kind::Set,    Kind::Call,       Kind::Click,  Kind::Type,
                                     Kind::Select, Kind::Select,     Kind::Expect, Kind::Expect,
                                     Kind::Expect, Kind::Expect,     Kind::Answer, Kind::Handle,
                                     Kind::Refuse, Kind::Screenshot, Kind::Wait,   Kind::Drag};
    for (size_t i = 0; i < kinds.size(); ++i) {
        EXPECT_EQ(actions[i].kind, kinds[i]) << i;
        EXPECT_EQ(actions[i].where, "actions[" + std::to_string(i) + "]");
    }
    EXPECT_TRUE(actions[0].fails);
    EXPECT_EQ(std::get<std::string>(*actions[0].value), "abc");
    EXPECT_FALSE(actions[1].fails);
    EXPECT_EQ(actions[1].method, "DbOpen");
    ASSERT_EQ(actions[1].arguments.size(), 2u);
    EXPECT_EQ(std::get<long long>(actions[1].arguments[1]), 0);
    EXPECT_EQ(std::get<long long>(*actions[1].expected), 0);
    EXPECT_EQ(actions[3].keys, "12{ENTER}");
    EXPECT_EQ(actions[4].item, "two");
    EXPECT_EQ(actions[5].tab, "Tab1");
    EXPECT_EQ(actions[5].page, 1);
    EXPECT_EQ(*actions[6].text, "12");
    EXPECT_EQ(actions[7].property, "List");
    EXPECT_EQ(*actions[7].index, 2);
    EXPECT_EQ(std::get<long long>(*actions[7].expected), 10);
    EXPECT_EQ(actions[8].event, "BtrieveError");
    EXPECT_EQ(*actions[8].count, 0);
    EXPECT_EQ(*actions[9].message, "VE807");
    EXPECT_TRUE(actions[9].control.empty());
    EXPECT_EQ(actions[10].button, 6);  // IDYES
    ASSERT_EQ(actions[11].settings.size(), 1u);
    EXPECT_EQ(actions[11].settings[0].first, "Status");
    EXPECT_EQ(actions[11].conditions[0].first, "TableName");
    EXPECT_EQ(actions[11].exported, (std::vector<std::string>{"zelmor.dll", "DbSetFormattedString", "x"}));
    EXPECT_FALSE(actions[12].refuse);
    EXPECT_EQ(actions[13].file, "run.bmp");
    EXPECT_EQ(actions[14].milliseconds, 250);
    EXPECT_EQ(actions[15].position, 5000);
}

TEST(Script, MistakesAreReportedWithTheirPlace) {
    struct Case {
        std::string actions;
        std::string message;
    };
    const Case cases[] = {
        {R"({"control": "A"})", "actions[0].action: missing"},
        {R"({"action": "jump"})", "actions[0].action: \"jump\" is not an action"},
        {R"({"action": "click"})", "actions[0].control: missing"},
        {R"({"action": "click", "control": "A", "keys": "x"})",
         "actions[0].keys: not a known name"},
        {R"({"action": "set", "control": "A", "property": "P"})", "actions[0].value: missing"},
        {R"({"action": "set", "control": "A", "property": "P", "value": null})",
         "actions[0].value: a text, a number, true, false, {\"picture\": \"file\"} or {\"font\": {...}} expected"},
        {R"({"action": "handle", "control": "A", "event": "E"})",
         "actions[0].set: arguments (\"set\"), properties (\"properties\") or a call "
         "(\"call\") expected"},
        {R"({"action": "handle", "control": "A", "event": "E", "call": ["a.dll", "F"]})",
         "actions[0].call: [library, function, text] expected"},
        {R"({"action": "set", "control": "A", "property": "P", "value": 1, "fails": 1})",
         "actions[0].fails: true or false expected"},
        {R"({"action": "call", "control": "A", "method": "M", "arguments": "x"})",
         "actions[0].arguments: a list [...] expected"},
        {R"({"action": "expect", "control": "A"})",
         "actions[0]: \"text\", \"property\", \"event\", \"order\", \"message\", \"messages\", "
         "\"beeps\", \"apply\", \"frame\", \"problem\" or \"field\" expected"},
        {R"({"action": "scroll", "control": "A", "bar": "up", "code": "pagedown"})",
         "actions[0].bar: vertical or horizontal expected"},
        {R"({"action": "drag", "control": "A", "from": [1, 2], "to": [3]})",
         "actions[0].to: [x, y] in pixels expected"},
        {R"({"action": "expect", "control": "A", "order": ["Click", 3]})",
         "actions[0].order: a list of event names expected"},
        {R"({"action": "expect", "beeps": [48, "x"]})",
         "actions[0].beeps: a list of whole numbers expected"},
        {R"({"action": "click", "control": "A", "at": [1]})", "actions[0].at: [x, y] in pixels expected"},
        {R"({"action": "click", "control": "A", "button": "middle"})",
         "actions[0].button: left or right expected"},
        {R"({"action": "set", "control": "A", "property": "P", "value": 1, "error": "380"})",
         "actions[0].error: an error such as \"0x800A017F\" expected"},
        {R"({"action": "expect", "control": "A", "event": "Click", "count": -1})",
         "actions[0].count: 0 or more expected"},
        {R"({"action": "expect", "control": "A", "property": "P"})", "actions[0].value: missing"},
        {R"({"action": "select", "tab": "T", "page": -1})",
         "actions[0].page: a page number from 0 expected"},
        {R"({"action": "answer", "button": "maybe"})",
         "actions[0].button: ok, cancel, abort, retry, ignore, yes or no expected"},
        {R"({"action": "screenshot", "file": ""})", "actions[0].file: a file name expected"},
        {R"({"action": "wait", "milliseconds": 60001})",
         "actions[0].milliseconds: from 0 to 60000 expected"},
        {R"({"action": "drag", "control": "A", "position": 40000})",
         "actions[0].position: 0 to 32767 expected"},
        {R"({"action": "click", "control": "A"}, 3)", "actions[1]: an object {...} expected"},
    };
    for (const Case& c : cases) EXPECT_EQ(MistakeIn(c.actions), c.message) << c.actions;
    EXPECT_EQ(MistakeIn(""), "");
}

TEST(Script, TheScriptIsAnObjectWithAListOfActions) {
    for (const char* text : {"[]", R"({"steps": []})", R"({"actions": {}})",
                             R"({"actions": [], "extra": 1})", "not json"}) {
        EXPECT_THROW(ParseScript(text), FileError) << text;
    }
}

TEST(Script, FocusClickPlacesBeepsAndErrors) {
    std::vector<ScriptAction> actions = ParseScript(R"({"actions": [
        {"action": "focus", "control": "Edit1"},
        {"action": "click", "control": "Edit1", "at": [5, 7], "button": "right", "double": true},
        {"action": "expect", "beeps": [48, 16]},
        {"action": "expect", "control": "Edit1", "property": "SelStart", "error": "0x800A017F"},
        {"action": "set", "control": "Edit1", "property": "SelStart", "value": 1,
         "error": "0x800A017F"},
        {"action": "set", "control": "Btn1", "property": "Picture", "value": {"picture": "a.bmp"}},
        {"action": "handle", "control": "Btn1", "event": "SetData", "properties": {"Abort": true}},
        {"action": "expect", "messages": 2}
    ]})");
    ASSERT_EQ(actions.size(), 8u);
    EXPECT_EQ(ValueText(*actions[5].value), "picture:a.bmp");
    ASSERT_EQ(actions[6].properties.size(), 1u);
    EXPECT_EQ(actions[6].properties[0].first, "Abort");
    EXPECT_EQ(*actions[7].messages, 2);
    EXPECT_EQ(actions[0].kind, Kind::Focus);
    EXPECT_EQ(*actions[1].at, std::make_pair(5, 7));
    EXPECT_TRUE(actions[1].right);
    EXPECT_TRUE(actions[1].twice);
    EXPECT_EQ(*actions[2].beeps, (std::vector<long long>{48, 16}));
    EXPECT_TRUE(actions[3].fails);
    EXPECT_EQ(*actions[3].error, static_cast<long>(0x800A017F));
    EXPECT_FALSE(actions[3].expected);
    EXPECT_EQ(*actions[4].error, static_cast<long>(0x800A017F));
}

TEST(Script, ReadsThePropertyFrameActions) {
    std::vector<ScriptAction> actions = ParseScript(R"({"actions": [
        {"action": "properties", "control": "Data1"},
        {"action": "properties", "control": "Data1", "page": 2},
        {"action": "properties", "control": "Data1", "title": "Font"},
        {"action": "field", "label": "DbTable", "value": "Customer"},
        {"action": "field", "label": "AllOpen", "value": true},
        {"action": "press", "button": "apply", "fails": true},
        {"action": "expect", "apply": false},
        {"action": "expect", "frame": true},
        {"action": "expect", "problem": "380"},
        {"action": "expect", "field": "MaxLength", "value": 10},
        {"action": "screenshot", "file": "frame.bmp", "of": "frame"},
        {"action": "screenshot", "file": "form.bmp"},
        {"action": "save", "file": "out.json"},
        {"action": "save", "file": "form.json", "overwrite": true}
    ]})");
    ASSERT_EQ(actions.size(), 14u);
    EXPECT_EQ(actions[0].kind, Kind::Properties);
    EXPECT_EQ(actions[0].page, 0);
    EXPECT_EQ(actions[1].page, 2);
    EXPECT_EQ(actions[2].title, "Font");
    EXPECT_EQ(actions[3].kind, Kind::Field);
    EXPECT_EQ(actions[3].label, "DbTable");
    EXPECT_EQ(ValueText(*actions[3].value), "Customer");
    EXPECT_EQ(ValueText(*actions[4].value), "True");
    EXPECT_EQ(actions[5].kind, Kind::Press);
    EXPECT_EQ(actions[5].press, "apply");
    EXPECT_TRUE(actions[5].fails);
    EXPECT_EQ(actions[6].applyEnabled, std::optional<bool>(false));
    EXPECT_EQ(actions[7].frameShown, std::optional<bool>(true));
    EXPECT_EQ(actions[8].problem, std::optional<std::string>("380"));
    EXPECT_EQ(actions[9].label, "MaxLength");
    EXPECT_EQ(ValueText(*actions[9].expected), "10");
    EXPECT_TRUE(actions[10].ofFrame);
    EXPECT_FALSE(actions[11].ofFrame);
    EXPECT_EQ(actions[12].kind, Kind::Save);
    EXPECT_FALSE(actions[12].overwrite);
    EXPECT_TRUE(actions[13].overwrite);
    for (const ScriptAction& action : actions) EXPECT_TRUE(action.control.empty() || action.kind == Kind::Properties);
}

TEST(Script, RefusesMistakesInThePropertyFrameActions) {
    struct Case {
        const char* actions;
        const char* message;
    };
    const Case cases[] = {
        {R"({"action": "properties"})", "actions[0].control: missing"},
        {R"({"action": "properties", "control": "A", "page": 1, "title": "B"})",
         "actions[0].title: a page or a title"},
        {R"({"action": "properties", "control": "A", "page": 256})",
         "actions[0].page: a page number from 0 expected"},
        {R"({"action": "field", "label": "", "value": "x"})",
         "actions[0].label: a field's label expected"},
        {R"({"action": "field", "label": "P", "value": {"picture": "a.bmp"}})",
         "actions[0].value: a text, a number, true or false expected"},
        {R"({"action": "field", "label": "P"})", "actions[0].value: missing"},
        {R"({"action": "press", "button": "close"})",
         "actions[0].button: ok, cancel or apply expected"},
        {R"({"action": "expect", "apply": "yes"})", "actions[0].apply: true or false expected"},
        {R"({"action": "expect", "field": "P"})", "actions[0].value: missing"},
        {R"({"action": "screenshot", "file": "a.bmp", "of": "page"})",
         "actions[0].of: form or frame expected"},
        {R"({"action": "save", "file": ""})", "actions[0].file: a file name expected"},
        {R"({"action": "save", "file": "a.json", "overwrite": 1})",
         "actions[0].overwrite: true or false expected"},
        {R"({"action": "save", "file": "a.json", "control": "A"})",
         "actions[0].control: not a known name"},
    };
    for (const Case& c : cases) EXPECT_EQ(MistakeIn(c.actions), c.message) << c.actions;
}
