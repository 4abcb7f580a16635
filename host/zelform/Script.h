// The script zelform runs against a form (JSON; see host/README.md): a list of actions, each
// a step a person or a program would take, and expectations about what the form then shows.
// Portable.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/zelform/FileValue.h"

namespace zelmor::host {

struct ScriptAction {
    enum class Kind {
        Set,         // control, property, value
        Call,        // control, method, arguments; expected: the outcome
        Click,       // control; at, right, twice
        Focus,       // control
        Type,        // control, keys
        Drag,        // control, position: the thumb of the scroll bar the control shows; or
                     // control, at and to: the mouse pressed at one point and let go at another
        Scroll,      // control, vertical, keys: a line or page move of one of its scroll bars
        Select,      // control and item, or tab and page
        Expect,      // control and text, control and property and expected, message,
                     // control and event and count, or beeps
        Answer,      // button: the answer to the next message box
        Handle,      // control, event, settings: by-reference arguments to set; properties;
                     // conditions; an exported function to call
        Refuse,      // control, property, refuse: what the form answers requests to change it
        Screenshot,  // file; of the frame instead of the form
        Wait,        // milliseconds
        Properties,  // control; page or title: opens the control's property frame
        Field,       // label, value: fills a field of the page shown
        Press,       // press: a button of the property frame (ok, cancel, apply)
        Save,        // file, overwrite: writes the form back to a form file
    };

    Kind kind = Kind::Wait;
    std::string where;   // "actions[3]"
    bool fails = false;  // the step is expected to fail (a property refusing its value)
    std::optional<long> error;  // ... with this error (an HRESULT)

    std::string control;
    std::string property;
    std::string method;
    std::vector<FileValue> arguments;
    std::optional<FileValue> value;      // set
    std::optional<long long> index;      // set, expect (property): the element of List(3)
    std::optional<FileValue> expected;   // call, expect (property)
    std::optional<std::string> text;     // expect: the text shown
    std::optional<std::string> message;  // expect: the text of the last message box
    std::string event;
    std::optional<long long> count;  // expect: how many times event fired
    // expect: the order in which the control fired these events since the previous "order"
    // expectation of that control (other events left out)
    std::optional<std::vector<std::string>> order;
    std::optional<std::vector<long long>> beeps;  // expect: the beeps since the last such check
    std::optional<std::pair<int, int>> at;  // click: the point in the control's client area
    std::optional<std::pair<int, int>> to;  // drag: where the mouse is let go
    bool vertical = false;                  // scroll: the vertical bar
    bool right = false;                     // click: the right button
    bool twice = false;                     // click: a double click
    std::string keys;  // type: the keys; scroll: lineup, linedown, pageup or pagedown
    std::string item;
    std::string tab;
    int page = -1;
    int button = 0;  // IDOK (1) ... IDNO (7)
    std::vector<std::pair<std::string, FileValue>> settings;
    // handle: properties of the control set while the event runs (a SetData handler's Abort)
    std::vector<std::pair<std::string, FileValue>> properties;
    // handle: only when these arguments arrive with these values
    std::vector<std::pair<std::string, FileValue>> conditions;
    // handle: a function of a loaded library called with one text, as a program's handler
    // calls DbSetFormattedString: library, function, text
    std::vector<std::string> exported;
    std::optional<long long> messages;  // expect: how many message boxes were shown so far
    bool refuse = true;
    std::string file;
    bool ofFrame = false;    // screenshot: the property frame rather than the form
    bool overwrite = false;  // save: over the form file that was read
    std::string title;       // properties: the page with this title
    std::string label;       // field, expect: the field's label on the page shown
    std::string press;       // press: ok, cancel or apply
    std::optional<bool> applyEnabled;    // expect: Apply enabled or not
    std::optional<bool> frameShown;      // expect: a property frame is shown or not
    std::optional<std::string> problem;  // expect: what the frame's status line says
    int milliseconds = 0;
    int position = 0;  // drag: where the thumb is let go
};

// The name an action has in the file ("set", "call", ...).
const char* ActionName(ScriptAction::Kind kind);

// Reads a script file's text; a mistake throws FileError naming its place.
std::vector<ScriptAction> ParseScript(const std::string& text);

}  // namespace zelmor::host
