#include "host/zelform/Script.h"

#include <cstdlib>

namespace zelmor::host {

namespace {

using Kind = ScriptAction::Kind;

struct KindName {
    const char* name;
    Kind kind;
};

const KindName kKinds[] = {
    {"set", Kind::Set},       {"call", Kind::Call},
    {"click", Kind::Click},   {"focus", Kind::Focus},
    {"type", Kind::Type},     {"drag", Kind::Drag},     {"scroll", Kind::Scroll},
    {"select", Kind::Select}, {"expect", Kind::Expect},
    {"answer", Kind::Answer}, {"handle", Kind::Handle},
    {"refuse", Kind::Refuse}, {"screenshot", Kind::Screenshot},
    {"wait", Kind::Wait},     {"properties", Kind::Properties},
    {"field", Kind::Field},   {"press", Kind::Press},   {"save", Kind::Save},
};

// The buttons of a message box, by the names the file uses, with their identifiers
// (IDOK ... IDNO).
struct ButtonName {
    const char* name;
    int id;
};

const ButtonName kButtons[] = {
    {"ok", 1}, {"cancel", 2}, {"abort", 3}, {"retry", 4}, {"ignore", 5}, {"yes", 6}, {"no", 7},
};

// The longest wait a script may ask for.
constexpr long long kLongestWait = 60000;

Kind ReadKind(JsonObject& object) {
    std::string name = object.Text("action");
    for (const KindName& kind : kKinds) {
        if (name == kind.name) return kind.kind;
    }
    object.Fail("action", "\"" + name + "\" is not an action");
}

// What a field of a property page is given or shows: a text, a number or true/false.
FileValue FieldValue(JsonObject& object) {
    FileValue value = object.Value("value");
    if (std::holds_alternative<PictureFile>(value) || std::holds_alternative<FontSpec>(value)) {
        object.Fail("value", "a text, a number, true or false expected");
    }
    return value;
}

void ReadExpectation(JsonObject& object, ScriptAction& action) {
    if (object.Has("message")) {
        action.message = object.Text("message");
        return;
    }
    if (object.Has("messages")) {
        action.messages = object.Integer("messages");
        if (*action.messages < 0) object.Fail("messages", "0 or more expected");
        return;
    }
    if (object.Has("beeps")) {
        action.beeps.emplace();
        for (const FileValue& value : object.Values("beeps")) {
            const long long* beep = std::get_if<long long>(&value);
            if (!beep) object.Fail("beeps", "a list of whole numbers expected");
            action.beeps->push_back(*beep);
        }
        return;
    }
    // The property frame shown: its Apply button, whether it is up, its status line and fields.
    if (object.Has("apply")) {
        action.applyEnabled = object.BooleanOr("apply", false);
        return;
    }
    if (object.Has("frame")) {
        action.frameShown = object.BooleanOr("frame", false);
        return;
    }
    if (object.Has("problem")) {
        action.problem = object.Text("problem");
        return;
    }
    if (object.Has("field")) {
        action.label = object.Text("field");
        action.expected = FieldValue(object);
        return;
    }
    action.control = object.Text("control");
    if (object.Has("text")) {
        action.text = object.Text("text");
    } else if (object.Has("property")) {
        action.property = object.Text("property");
        if (object.Has("index")) action.index = object.Integer("index");
        // A property expected to refuse being read has no value to compare.
        if (!action.fails || object.Has("value")) action.expected = object.Value("value");
    } else if (object.Has("event")) {
        action.event = object.Text("event");
        action.count = object.Integer("count");
        if (*action.count < 0) object.Fail("count", "0 or more expected");
    } else if (object.Has("order")) {
        action.order.emplace();
        for (const FileValue& value : object.Values("order")) {
            const std::string* name = std::get_if<std::string>(&value);
            if (!name) object.Fail("order", "a list of event names expected");
            action.order->push_back(*name);
        }
    } else {
        object.Fail("", "\"text\", \"property\", \"event\", \"order\", \"message\", "
                        "\"messages\", \"beeps\", \"apply\", \"frame\", \"problem\" or "
                        "\"field\" expected");
    }
}

void ReadPropertiesAction(JsonObject& object, ScriptAction& action) {
    action.control = object.Text("control");
    if (object.Has("page") && object.Has("title")) object.Fail("title", "a page or a title");
    if (object.Has("title")) action.title = object.Text("title");
    long long page = object.IntegerOr("page", 0);
    if (page < 0 || page > 255) object.Fail("page", "a page number from 0 expected");
    action.page = static_cast<int>(page);
}

void ReadSelection(JsonObject& object, ScriptAction& action) {
    if (object.Has("tab")) {
        action.tab = object.Text("tab");
        long long page = object.Integer("page");
        if (page < 0 || page > 255) object.Fail("page", "a page number from 0 expected");
        action.page = static_cast<int>(page);
    } else {
        action.control = object.Text("control");
        action.item = object.Text("item");
    }
}

// A point of the control's client area: [x, y].
std::pair<int, int> ReadPoint(JsonObject& object, const char* name) {
    std::vector<FileValue> point = object.Values(name);
    const long long* x = point.size() == 2 ? std::get_if<long long>(&point[0]) : nullptr;
    const long long* y = point.size() == 2 ? std::get_if<long long>(&point[1]) : nullptr;
    if (!x || !y || *x < 0 || *y < 0 || *x > 32767 || *y > 32767) {
        object.Fail(name, "[x, y] in pixels expected");
    }
    return {static_cast<int>(*x), static_cast<int>(*y)};
}

void ReadClick(JsonObject& object, ScriptAction& action) {
    action.control = object.Text("control");
    if (object.Has("at")) action.at = ReadPoint(object, "at");
    std::string button = object.TextOr("button", "left");
    if (button != "left" && button != "right") object.Fail("button", "left or right expected");
    action.right = button == "right";
    action.twice = object.BooleanOr("double", false);
}

// An error as the file writes it: "0x800A017F".
std::optional<long> ReadError(JsonObject& object) {
    if (!object.Has("error")) return std::nullopt;
    std::string text = object.Text("error");
    char* end = nullptr;
    unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (text.size() < 3 || text.compare(0, 2, "0x") != 0 || *end != '\0' || value == 0) {
        object.Fail("error", "an error such as \"0x800A017F\" expected");
    }
    return static_cast<long>(value);
}

void ReadAnswer(JsonObject& object, ScriptAction& action) {
    std::string button = object.Text("button");
    for (const ButtonName& known : kButtons) {
        if (button == known.name) action.button = known.id;
    }
    if (action.button == 0) {
        object.Fail("button", "ok, cancel, abort, retry, ignore, yes or no expected");
    }
}

void ReadParts(JsonObject& object, ScriptAction& action) {
    switch (action.kind) {
        case Kind::Set:
            action.control = object.Text("control");
            action.property = object.Text("property");
            if (object.Has("index")) action.index = object.Integer("index");
            action.value = object.Value("value");
            break;
        case Kind::Call:
            action.control = object.Text("control");
            action.method = object.Text("method");
            action.arguments = object.Values("arguments");
            if (object.Has("expect")) action.expected = object.Value("expect");
            break;
        case Kind::Click:
            ReadClick(object, action);
            break;
        case Kind::Focus:
            action.control = object.Text("control");
            break;
        case Kind::Type:
            action.control = object.Text("control");
            action.keys = object.Text("keys");
            break;
        case Kind::Drag: {
            action.control = object.Text("control");
            if (object.Has("from")) {  // the mouse, from one point to another
                action.at = ReadPoint(object, "from");
                action.to = ReadPoint(object, "to");
                break;
            }
            long long position = object.Integer("position");
            if (position < 0 || position > 32767) object.Fail("position", "0 to 32767 expected");
            action.position = static_cast<int>(position);
            break;
        }
        case Kind::Scroll: {
            action.control = object.Text("control");
            const std::string bar = object.Text("bar");
            if (bar != "vertical" && bar != "horizontal") {
                object.Fail("bar", "vertical or horizontal expected");
            }
            action.vertical = bar == "vertical";
            action.keys = object.Text("code");
            if (action.keys != "lineup" && action.keys != "linedown" && action.keys != "pageup" &&
                action.keys != "pagedown") {
                object.Fail("code", "lineup, linedown, pageup or pagedown expected");
            }
            break;
        }
        case Kind::Select:
            ReadSelection(object, action);
            break;
        case Kind::Expect:
            ReadExpectation(object, action);
            break;
        case Kind::Answer:
            ReadAnswer(object, action);
            break;
        case Kind::Handle:
            action.control = object.Text("control");
            action.event = object.Text("event");
            action.settings = object.Pairs("set");
            action.properties = object.Pairs("properties");
            action.conditions = object.Pairs("when");
            action.exported = object.Texts("call");
            if (!action.exported.empty() && action.exported.size() != 3) {
                object.Fail("call", "[library, function, text] expected");
            }
            if (action.settings.empty() && action.properties.empty() && action.exported.empty()) {
                object.Fail("set", "arguments (\"set\"), properties (\"properties\") or a call "
                                   "(\"call\") expected");
            }
            break;
        case Kind::Refuse:
            action.control = object.Text("control");
            action.property = object.Text("property");
            action.refuse = object.BooleanOr("refuse", true);
            break;
        case Kind::Screenshot: {
            action.file = object.Text("file");
            if (action.file.empty()) object.Fail("file", "a file name expected");
            std::string of = object.TextOr("of", "form");
            if (of != "form" && of != "frame") object.Fail("of", "form or frame expected");
            action.ofFrame = of == "frame";
            break;
        }
        case Kind::Properties:
            ReadPropertiesAction(object, action);
            break;
        case Kind::Field:
            action.label = object.Text("label");
            if (action.label.empty()) object.Fail("label", "a field's label expected");
            action.value = FieldValue(object);
            break;
        case Kind::Press:
            action.press = object.Text("button");
            if (action.press != "ok" && action.press != "cancel" && action.press != "apply") {
                object.Fail("button", "ok, cancel or apply expected");
            }
            break;
        case Kind::Save:
            action.file = object.Text("file");
            if (action.file.empty()) object.Fail("file", "a file name expected");
            action.overwrite = object.BooleanOr("overwrite", false);
            break;
        case Kind::Wait: {
            long long milliseconds = object.Integer("milliseconds");
            if (milliseconds < 0 || milliseconds > kLongestWait) {
                object.Fail("milliseconds", "from 0 to 60000 expected");
            }
            action.milliseconds = static_cast<int>(milliseconds);
            break;
        }
    }
}

}  // namespace

const char* ActionName(Kind kind) {
    for (const KindName& known : kKinds) {
        if (known.kind == kind) return known.name;
    }
    return "?";
}

std::vector<ScriptAction> ParseScript(const std::string& text) {
    Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) throw FileError("script: not valid JSON");
    JsonObject script(json, "script");
    const Json& list = script.Member("actions");
    if (!list.is_array()) script.Fail("actions", "a list [...] expected");
    script.CheckAllTaken();

    std::vector<ScriptAction> actions;
    for (size_t i = 0; i < list.size(); ++i) {
        JsonObject object(list[i], "actions[" + std::to_string(i) + "]");
        ScriptAction action;
        action.where = object.Where();
        action.kind = ReadKind(object);
        action.fails = object.BooleanOr("fails", false);
        action.error = ReadError(object);
        if (action.error) action.fails = true;
        ReadParts(object, action);
        object.CheckAllTaken();
        actions.push_back(std::move(action));
    }
    return actions;
}

}  // namespace zelmor::host
