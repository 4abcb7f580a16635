// What a person does to a form's controls, played without anyone at the screen: a mouse click
// on a control, typing keys into the focused control, choosing an item of a list, and reading
// the text a control shows. The messages go the way the form's message loop sends real input:
// keyboard messages are offered to the UI-active control first.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "host/ControlSite.h"
#include "host/Form.h"

namespace zelmor::host {

// Where and how to click: a point in the control's client area (the middle when not given),
// the right button instead of the left, twice (a double click).
struct ClickOptions {
    std::optional<POINT> at;
    bool right = false;
    bool twice = false;
};

// Clicks the control's window (the innermost child window at that point), as the mouse does:
// the window is activated by the mouse, then the button goes down and up (twice: down, up,
// double click, up). False when the control has no window or the point lies outside it.
bool Click(Form& form, ControlSite& site, const ClickOptions& options = {});

// Gives the control the focus as a person tabbing to it would: it becomes UI-active and its
// window takes the focus from the control that had it.
bool GiveFocus(Form& form, ControlSite& site);

// Types keys into the control, which is made UI-active first. Characters are typed as they
// are; named keys go in braces: {ENTER} {TAB} {ESC} {BACKSPACE} {DELETE} {LEFT} {RIGHT} {UP}
// {DOWN} {HOME} {END} {PGUP} {PGDN}, and {{} and {}} for the braces themselves. False for an unknown name.
bool TypeKeys(Form& form, ControlSite& site, const std::wstring& keys);

// Drags the thumb of the scroll bar the control shows to `position` and lets it go: the bar
// tells its parent window as it does for the mouse (thumb tracking, the thumb's position, the
// end of the scroll). False when the control shows no scroll bar.
bool DragThumb(Form& form, ControlSite& site, int position);

// Presses the left button at `from` in the control's client area, moves the mouse to `to` in
// a few steps with the button down and lets it go there, as a person drags a border or a
// selection. False when the control has no window or `from` lies outside it.
bool DragMouse(Form& form, ControlSite& site, POINT from, POINT to);

// Moves one of the scroll bars the control shows by a line or a page (SB_LINEUP, SB_LINEDOWN,
// SB_PAGEUP or SB_PAGEDOWN), as a click on its arrow or its trough does. False when the control
// shows no such bar.
bool ScrollBy(Form& form, ControlSite& site, bool vertical, WORD code);

// Chooses the item with the text item (exactly) in the list box or combo box the control
// shows, and tells the control as the list itself would.
bool SelectItem(Form& form, ControlSite& site, const std::wstring& item);

// The text the control shows: the selected item of a list box, else the window text of the
// window it hosts (or of its own window when it hosts none).
std::wstring ShownText(const ControlSite& site);

}  // namespace zelmor::host
