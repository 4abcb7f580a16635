#include "host/UserInput.h"

#include <vector>

namespace zelmor::host {

namespace {

struct NamedKey {
    const wchar_t* name;
    WORD virtualKey;
    wchar_t character;  // what WM_CHAR carries; 0 for keys that type nothing
};

const NamedKey kNamedKeys[] = {
    {L"ENTER", VK_RETURN, L'\r'},   {L"TAB", VK_TAB, L'\t'},   {L"ESC", VK_ESCAPE, 0x1B},
    {L"BACKSPACE", VK_BACK, L'\b'}, {L"DELETE", VK_DELETE, 0}, {L"LEFT", VK_LEFT, 0},
    {L"RIGHT", VK_RIGHT, 0},        {L"UP", VK_UP, 0},         {L"DOWN", VK_DOWN, 0},
    {L"HOME", VK_HOME, 0},          {L"END", VK_END, 0},       {L"PGUP", VK_PRIOR, 0},
    {L"PGDN", VK_NEXT, 0},
};

// The innermost visible child of window at point (client coordinates of window).
HWND InnermostAt(HWND window, POINT point) {
    for (;;) {
        HWND child = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE | CWP_SKIPDISABLED);
        if (!child || child == window) return window;
        MapWindowPoints(window, child, &point, 1);
        window = child;
    }
}

HWND FirstChild(HWND window) {
    return window ? GetWindow(window, GW_CHILD) : nullptr;
}

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool HasClass(HWND window, const wchar_t* className) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return lstrcmpiW(name, className) == 0;
}

// A keyboard message, delivered as the form's loop delivers one: the UI-active control may
// take it; otherwise it goes to the window with the focus.
void Deliver(Form& form, HWND target, UINT message, WPARAM wParam) {
    MSG msg{};
    msg.hwnd = target;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = message == WM_KEYUP ? static_cast<LPARAM>(0xC0000001) : 1;
    msg.time = GetTickCount();
    if (!form.PreTranslateMessage(msg)) DispatchMessageW(&msg);
}

void TypeKey(Form& form, WORD virtualKey, wchar_t character) {
    HWND focus = GetFocus();
    if (!focus) return;
    Deliver(form, focus, WM_KEYDOWN, virtualKey);
    if (character) Deliver(form, GetFocus(), WM_CHAR, character);
    Deliver(form, GetFocus(), WM_KEYUP, virtualKey);
    form.PumpMessages();
}

WORD VirtualKeyOf(wchar_t character) {
    SHORT scan = VkKeyScanW(character);
    return scan == -1 ? 0 : static_cast<WORD>(scan & 0xFF);
}

}  // namespace

bool Click(Form& form, ControlSite& site, const ClickOptions& options) {
    HWND control = site.ControlWindow();
    if (!control) return false;
    RECT client;
    GetClientRect(control, &client);
    POINT point = options.at.value_or(POINT{client.right / 2, client.bottom / 2});
    if (!PtInRect(&client, point)) return false;
    HWND target = InnermostAt(control, point);
    MapWindowPoints(control, target, &point, 1);
    const LPARAM position = MAKELPARAM(point.x, point.y);
    const UINT down = options.right ? WM_RBUTTONDOWN : WM_LBUTTONDOWN;
    const UINT up = options.right ? WM_RBUTTONUP : WM_LBUTTONUP;
    const UINT twice = options.right ? WM_RBUTTONDBLCLK : WM_LBUTTONDBLCLK;
    const WPARAM held = options.right ? MK_RBUTTON : MK_LBUTTON;
    SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.Window()),
                 MAKELPARAM(HTCLIENT, down));
    SendMessageW(target, down, held, position);
    SendMessageW(target, up, 0, position);
    if (options.twice) {
        SendMessageW(target, twice, held, position);
        SendMessageW(target, up, 0, position);
    }
    form.PumpMessages();
    return true;
}

bool GiveFocus(Form& form, ControlSite& site) {
    if (!site.UIActive() && FAILED(site.DoVerb(OLEIVERB_UIACTIVATE))) return false;
    HWND control = site.ControlWindow();
    if (!control) return false;
    SetFocus(control);
    form.PumpMessages();
    return true;
}

bool TypeKeys(Form& form, ControlSite& site, const std::wstring& keys) {
    // Checked first, so that nothing is typed from a text with a mistake in it.
    struct Key {
        WORD virtualKey;
        wchar_t character;
    };
    std::vector<Key> sequence;
    for (size_t i = 0; i < keys.size(); ++i) {
        if (keys[i] != L'{') {
            sequence.push_back({VirtualKeyOf(keys[i]), keys[i]});
            continue;
        }
        // "{}}" is the closing brace itself.
        size_t close = keys.compare(i, 3, L"{}}") == 0 ? i + 2 : keys.find(L'}', i + 1);
        if (close == std::wstring::npos) return false;
        std::wstring name = keys.substr(i + 1, close - i - 1);
        i = close;
        if (name == L"{" || name == L"}") {
            sequence.push_back({VirtualKeyOf(name[0]), name[0]});
            continue;
        }
        const NamedKey* found = nullptr;
        for (const NamedKey& key : kNamedKeys) {
            if (lstrcmpiW(key.name, name.c_str()) == 0) found = &key;
        }
        if (!found) return false;
        sequence.push_back({found->virtualKey, found->character});
    }
    if (!site.UIActive() && FAILED(site.DoVerb(OLEIVERB_UIACTIVATE))) return false;
    form.PumpMessages();
    for (const Key& key : sequence) TypeKey(form, key.virtualKey, key.character);
    return true;
}

bool DragThumb(Form& form, ControlSite& site, int position) {
    HWND bar = FirstChild(site.ControlWindow());
    if (!bar || !HasClass(bar, L"ScrollBar")) return false;
    const bool vertical = (GetWindowLongW(bar, GWL_STYLE) & SBS_VERT) != 0;
    const UINT message = vertical ? WM_VSCROLL : WM_HSCROLL;
    const LPARAM from = reinterpret_cast<LPARAM>(bar);
    for (WORD code : {SB_THUMBTRACK, SB_THUMBPOSITION, SB_ENDSCROLL}) {
        const WORD at = code == SB_ENDSCROLL ? 0 : static_cast<WORD>(position);
        SendMessageW(GetParent(bar), message, MAKEWPARAM(code, at), from);
    }
    form.PumpMessages();
    return true;
}

bool DragMouse(Form& form, ControlSite& site, POINT from, POINT to) {
    HWND control = site.ControlWindow();
    if (!control) return false;
    RECT client;
    GetClientRect(control, &client);
    if (!PtInRect(&client, from)) return false;
    HWND target = InnermostAt(control, from);
    auto at = [&](POINT point) {
        MapWindowPoints(control, target, &point, 1);
        return MAKELPARAM(point.x, point.y);
    };
    SendMessageW(target, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form.Window()),
                 MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, at(from));
    // The window that took the press keeps the mouse until it is let go.
    constexpr int kSteps = 4;
    for (int step = 1; step <= kSteps; ++step) {
        const POINT point{from.x + (to.x - from.x) * step / kSteps,
                          from.y + (to.y - from.y) * step / kSteps};
        SendMessageW(target, WM_MOUSEMOVE, MK_LBUTTON, at(point));
    }
    SendMessageW(target, WM_LBUTTONUP, 0, at(to));
    form.PumpMessages();
    return true;
}

bool ScrollBy(Form& form, ControlSite& site, bool vertical, WORD code) {
    HWND control = site.ControlWindow();
    if (!control) return false;
    for (HWND child = FirstChild(control); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!HasClass(child, L"ScrollBar") ||
            ((GetWindowLongW(child, GWL_STYLE) & SBS_VERT) != 0) != vertical) {
            continue;
        }
        SendMessageW(control, vertical ? WM_VSCROLL : WM_HSCROLL, MAKEWPARAM(code, 0),
                     reinterpret_cast<LPARAM>(child));
        form.PumpMessages();
        return true;
    }
    return false;
}

bool SelectItem(Form& form, ControlSite& site, const std::wstring& item) {
    HWND list = FirstChild(site.ControlWindow());
    if (!list) return false;
    bool isListBox = HasClass(list, L"ListBox");
    if (!isListBox && !HasClass(list, L"ComboBox")) return false;
    UINT find = isListBox ? LB_FINDSTRINGEXACT : CB_FINDSTRINGEXACT;
    UINT select = isListBox ? LB_SETCURSEL : CB_SETCURSEL;
    UINT changed = isListBox ? LBN_SELCHANGE : CBN_SELCHANGE;
    LRESULT index =
        SendMessageW(list, find, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(item.c_str()));
    if (index < 0) return false;
    SendMessageW(list, select, static_cast<WPARAM>(index), 0);
    // Setting the selection by message does not notify; a person's choice does.
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), changed),
                 reinterpret_cast<LPARAM>(list));
    form.PumpMessages();
    return true;
}

std::wstring ShownText(const ControlSite& site) {
    HWND control = site.ControlWindow();
    if (!control) return std::wstring();
    HWND child = FirstChild(control);
    if (child && HasClass(child, L"ListBox")) {
        LRESULT index = SendMessageW(child, LB_GETCURSEL, 0, 0);
        if (index < 0) return std::wstring();
        std::wstring text(static_cast<size_t>(SendMessageW(child, LB_GETTEXTLEN, index, 0)) + 1,
                          L'\0');
        LRESULT length =
            SendMessageW(child, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(length > 0 ? static_cast<size_t>(length) : 0);
        return text;
    }
    return WindowText(child ? child : control);
}

}  // namespace zelmor::host
