#include "host/zelform/ScriptRunner.h"

#include "host/Automation.h"
#include "host/BeepRecorder.h"
#include "host/Screenshot.h"
#include "host/UserInput.h"
#include "host/zelform/FormSaver.h"
#include "host/zelform/WindowsText.h"
#include "platform/CodePage.h"

namespace zelmor::host {

namespace {

using Kind = ScriptAction::Kind;

// The element an action names, as a 32-bit number (empty when it names none).
com::Variant IndexOf(const ScriptAction& action) {
    com::Variant index;
    if (action.index) {
        V_VT(index.Get()) = VT_I4;
        V_I4(index.Get()) = static_cast<LONG>(*action.index);
    }
    return index;
}

std::wstring Quoted(const std::wstring& text) {
    return L"\"" + text + L"\"";
}

// "expected X, found Y" when they differ.
bool Compare(const std::wstring& expected, const std::wstring& found, std::wstring* detail) {
    *detail = found == expected ? Quoted(found)
                                : Quoted(expected) + L" expected, " + Quoted(found) + L" found";
    return found == expected;
}

std::wstring ErrorText(long error) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(error));
    return text;
}

// The step succeeded or failed as the script says it should (with its error, when it names one).
bool AsExpected(HRESULT hr, const ScriptAction& action, std::wstring* detail) {
    *detail = SUCCEEDED(hr) ? L"done" : HresultText(hr);
    if (action.fails && SUCCEEDED(hr)) *detail = L"done, but a failure was expected";
    if (action.error && FAILED(hr) && hr != *action.error) {
        *detail = ErrorText(*action.error) + L" expected, " + HresultText(hr) + L" found";
        return false;
    }
    return SUCCEEDED(hr) != action.fails;
}

std::wstring BeepsText(const std::vector<unsigned>& beeps) {
    std::wstring text = L"[";
    for (size_t i = 0; i < beeps.size(); ++i) {
        if (i > 0) text += L", ";
        text += std::to_wstring(beeps[i]);
    }
    return text + L"]";
}

std::wstring ArgumentsText(const EventCall& call) {
    std::wstring text;
    for (size_t i = 0; i < call.Count(); ++i) {
        if (i > 0) text += L", ";
        text += TextOfValue(call.Argument(i));
    }
    return text;
}

}  // namespace

ScriptRunner::ScriptRunner(Form& form, std::wstring screenshotFolder, std::ostream& log)
    : form_(form), screenshotFolder_(std::move(screenshotFolder)), log_(log) {}

void ScriptRunner::LogEvents() {
    for (ControlSite* site : form_.Controls()) {
        std::wstring name = site->Name();
        site->Events().OnEveryEvent([this, name](EventCall& call) {
            log_ << "event "
                 << ConsoleText(name + L"." + call.Name() + L"(" + ArgumentsText(call) + L")")
                 << std::endl;
        });
    }
}

void ScriptRunner::SetFormFile(const FormFile& file, std::wstring path) {
    formFile_ = &file;
    formPath_ = std::move(path);
}

int ScriptRunner::Run(const std::vector<ScriptAction>& actions) {
    int failed = 0;
    BeepRecorder::Instance().Hook();
    BeepRecorder::Instance().TakeBeeps();
    for (const ScriptAction& action : actions) {
        BeepRecorder::Instance().Hook();  // a control library loaded meanwhile
        std::wstring detail;
        bool ok = RunAction(action, &detail);
        form_.PumpMessages();
        if (!ok) ++failed;
        log_ << (ok ? "ok   " : "FAIL ") << action.where << " " << ActionName(action.kind);
        if (!action.control.empty()) log_ << " " << ConsoleText(action.control);
        if (!detail.empty()) log_ << ": " << ConsoleText(detail);
        log_ << std::endl;
    }
    log_ << actions.size() << " actions, " << failed << " failed" << std::endl;
    return failed;
}

bool ScriptRunner::RunAction(const ScriptAction& action, std::wstring* detail) {
    ControlSite* site = nullptr;
    if (!action.control.empty()) {
        site = form_.FindControl(Wide(action.control));
        if (!site) {
            *detail = L"no control called " + Quoted(Wide(action.control));
            return false;
        }
    }
    // Every action but these few works on a control: a script that names none is refused
    // rather than followed into nothing.
    const bool needsControl = !(action.kind == Kind::Answer || action.kind == Kind::Screenshot ||
                                action.kind == Kind::Wait || action.kind == Kind::Field ||
                                action.kind == Kind::Press || action.kind == Kind::Save ||
                                (action.kind == Kind::Select && !action.tab.empty()) ||
                                (action.kind == Kind::Expect &&
                                 (action.message || action.beeps || action.messages ||
                                  action.applyEnabled || action.frameShown || action.problem ||
                                  !action.label.empty())));
    if (needsControl && site == nullptr) {
        *detail = L"the action names no control";
        return false;
    }
    switch (action.kind) {
        case Kind::Set:
            return RunSet(action, *site, detail);
        case Kind::Call:
            return RunCall(action, *site, detail);
        case Kind::Click: {
            ClickOptions options;
            if (action.at) options.at = POINT{action.at->first, action.at->second};
            options.right = action.right;
            options.twice = action.twice;
            if (!Click(form_, *site, options)) *detail = L"the control has no window there";
            return detail->empty();
        }
        case Kind::Focus:
            if (!GiveFocus(form_, *site)) *detail = L"the control cannot take the focus";
            return detail->empty();
        case Kind::Type:
            if (!TypeKeys(form_, *site, Wide(action.keys))) *detail = L"cannot type those keys";
            return detail->empty();
        case Kind::Drag:
            if (action.to) {
                if (!DragMouse(form_, *site, POINT{action.at->first, action.at->second},
                               POINT{action.to->first, action.to->second})) {
                    *detail = L"the point is not on the control";
                }
            } else if (!DragThumb(form_, *site, action.position)) {
                *detail = L"the control shows no scroll bar";
            }
            return detail->empty();
        case Kind::Scroll: {
            const WORD code = action.keys == "lineup"     ? SB_LINEUP
                              : action.keys == "linedown" ? SB_LINEDOWN
                              : action.keys == "pageup"   ? SB_PAGEUP
                                                          : SB_PAGEDOWN;
            if (!ScrollBy(form_, *site, action.vertical, code)) {
                *detail = L"the control shows no such scroll bar";
            }
            return detail->empty();
        }
        case Kind::Select:
            return RunSelect(action, site, detail);
        case Kind::Expect:
            return RunExpect(action, site, detail);
        case Kind::Answer:
            answerer_.QueueAnswer(action.button);
            return true;
        case Kind::Handle:
            return RunHandle(action, *site, detail);
        case Kind::Refuse:
            return RunRefuse(action, *site, detail);
        case Kind::Screenshot:
            return RunScreenshot(action, detail);
        case Kind::Wait:
            Wait(action.milliseconds);
            return true;
        case Kind::Properties:
            return RunProperties(action, *site, detail);
        case Kind::Field:
            return RunField(action, detail);
        case Kind::Press:
            return RunPress(action, detail);
        case Kind::Save:
            return RunSave(action, detail);
    }
    return false;
}

bool ScriptRunner::RunSet(const ScriptAction& action, ControlSite& site, std::wstring* detail) {
    com::Variant index = IndexOf(action);
    HRESULT hr = site.Put(Wide(action.property), *VariantOf(*action.value).Get(),
                          action.index ? index.Get() : nullptr);
    return AsExpected(hr, action, detail);
}

bool ScriptRunner::RunCall(const ScriptAction& action, ControlSite& site, std::wstring* detail) {
    std::vector<com::Variant> arguments;
    for (const FileValue& argument : action.arguments) arguments.push_back(VariantOf(argument));
    CallResult result;
    HRESULT hr = site.Call(Wide(action.method), arguments, &result);
    if (FAILED(hr) || action.fails || !action.expected) return AsExpected(hr, action, detail);
    return Compare(Wide(ValueText(*action.expected)), TextOfValue(result.Outcome()), detail);
}

bool ScriptRunner::RunSelect(const ScriptAction& action, ControlSite* site,
                             std::wstring* detail) {
    if (!action.tab.empty()) {
        auto* tab = dynamic_cast<TabContainer*>(form_.FindContainer(Wide(action.tab)));
        if (!tab)
            *detail = L"no tab control called " + Quoted(Wide(action.tab));
        else if (!tab->Select(action.page))
            *detail = L"no such page";
        form_.PumpMessages();
        return detail->empty();
    }
    if (!SelectItem(form_, *site, Wide(action.item))) {
        *detail = L"no list item " + Quoted(Wide(action.item));
    }
    return detail->empty();
}

bool ScriptRunner::RunExpect(const ScriptAction& action, ControlSite* control,
                             std::wstring* detail) {
    if (action.message) {
        if (answerer_.Boxes().empty()) {
            *detail = L"no message box was shown";
            return false;
        }
        std::wstring shown = Wide(platform::AnsiToUtf8(answerer_.Boxes().back().text));
        return Compare(Wide(*action.message), shown, detail);
    }
    if (action.messages) {
        return Compare(std::to_wstring(*action.messages) + L" message boxes",
                       std::to_wstring(answerer_.Boxes().size()) + L" message boxes", detail);
    }
    if (action.beeps) {
        std::vector<unsigned> expected(action.beeps->begin(), action.beeps->end());
        return Compare(BeepsText(expected), BeepsText(BeepRecorder::Instance().TakeBeeps()),
                       detail);
    }
    if (action.applyEnabled || action.frameShown || action.problem || !action.label.empty()) {
        return RunFrameExpectation(action, detail);
    }
    ControlSite& site = *control;
    if (action.text) return Compare(Wide(*action.text), ShownText(site), detail);
    if (action.order) {
        std::wstring expected;
        std::wstring fired;
        for (const std::string& name : *action.order) expected += Wide(name) + L" ";
        const std::vector<EventRecord>& records = site.Events().Records();
        std::size_t& seen = orderSeen_[&site];
        for (std::size_t i = std::min(seen, records.size()); i < records.size(); ++i) {
            for (const std::string& name : *action.order) {
                if (_wcsicmp(records[i].name.c_str(), Wide(name).c_str()) == 0) {
                    fired += Wide(name) + L" ";
                    break;
                }
            }
        }
        seen = records.size();
        return Compare(expected, fired, detail);
    }
    if (action.count) {
        size_t count = site.Events().CountOf(Wide(action.event));
        return Compare(std::to_wstring(*action.count) + L" " + Wide(action.event),
                       std::to_wstring(count) + L" " + Wide(action.event), detail);
    }
    com::Variant value;
    com::Variant index = IndexOf(action);
    HRESULT hr = site.Get(Wide(action.property), value.Get(), action.index ? index.Get() : nullptr);
    if (FAILED(hr) || action.fails) return AsExpected(hr, action, detail);
    return Compare(Wide(ValueText(*action.expected)), TextOfValue(*value.Get()), detail);
}

bool ScriptRunner::RunHandle(const ScriptAction& action, ControlSite& site, std::wstring* detail) {
    std::wstring event = Wide(action.event);
    std::vector<std::wstring> parameters = site.Events().ParameterNames(event);
    auto known = [&](const std::string& name) {
        for (const std::wstring& parameter : parameters) {
            if (lstrcmpiW(parameter.c_str(), Wide(name).c_str()) == 0) return true;
        }
        *detail = Quoted(event) + L" has no argument " + Quoted(Wide(name));
        return false;
    };
    std::vector<std::pair<std::wstring, com::Variant>> settings;
    for (const auto& [name, value] : action.settings) {
        if (!known(name)) return false;
        settings.emplace_back(Wide(name), VariantOf(value));
    }
    std::vector<std::pair<std::wstring, std::wstring>> conditions;
    for (const auto& [name, value] : action.conditions) {
        if (!known(name)) return false;
        conditions.emplace_back(Wide(name), Wide(ValueText(value)));
    }
    std::vector<std::pair<std::wstring, com::Variant>> properties;
    for (const auto& [name, value] : action.properties) {
        properties.emplace_back(Wide(name), VariantOf(value));
    }
    // A program's handler calls the library's function with a text in the ANSI code page.
    using TextFunction = short(WINAPI*)(const char*);
    TextFunction function = nullptr;
    std::string text;
    if (!action.exported.empty()) {
        HMODULE library = GetModuleHandleW(Wide(action.exported[0]).c_str());
        function = library ? reinterpret_cast<TextFunction>(reinterpret_cast<void*>(
                                 GetProcAddress(library, action.exported[1].c_str())))
                           : nullptr;
        if (!function) {
            *detail = L"no function " + Quoted(Wide(action.exported[1])) + L" in a loaded " +
                      Quoted(Wide(action.exported[0]));
            return false;
        }
        text = platform::Utf8ToAnsi(action.exported[2]);
    }
    ControlSite* control = &site;
    site.Events().OnEvent(event, [=](EventCall& call) {
        for (const auto& [name, value] : conditions) {
            const int index = call.IndexOf(name);
            if (index < 0 || TextOfValue(call.Argument(static_cast<size_t>(index))) != value) {
                return;
            }
        }
        for (const auto& [name, value] : settings) call.Set(name, *value.Get());
        for (const auto& [name, value] : properties) control->Put(name, *value.Get());
        if (function) function(text.c_str());
    });
    return true;
}

bool ScriptRunner::RunRefuse(const ScriptAction& action, ControlSite& site, std::wstring* detail) {
    DISPID dispid = DISPID_UNKNOWN;
    HRESULT hr =
        site.Dispatch() ? MemberId(site.Dispatch(), Wide(action.property), &dispid) : E_NOINTERFACE;
    if (FAILED(hr)) {
        *detail = HresultText(hr);
        return false;
    }
    site.Notifications().Refuse(dispid, action.refuse);
    return true;
}

bool ScriptRunner::RunScreenshot(const ScriptAction& action, std::wstring* detail) {
    std::wstring path = screenshotFolder_.empty() ? Wide(action.file)
                                                  : screenshotFolder_ + L"\\" + Wide(action.file);
    HWND window = form_.Window();
    if (action.ofFrame) {
        PropertyFrame* frame = ShownFrame(detail);
        if (!frame) return false;
        window = frame->Window();
    }
    Screenshot shot;
    if (!CaptureWindow(window, &shot) || !WriteBitmapFile(shot, path)) {
        *detail = L"cannot write " + path;
        return false;
    }
    *detail = path;
    return true;
}

// --- The property frame ---

PropertyFrame* ScriptRunner::ShownFrame(std::wstring* detail) const {
    PropertyFrame* frame = form_.ShownPropertyFrame();
    if (!frame) *detail = L"no property frame is shown";
    return frame;
}

bool ScriptRunner::RunProperties(const ScriptAction& action, ControlSite& site,
                                 std::wstring* detail) {
    HRESULT hr = form_.OpenPropertyFrame(site, action.title.empty() ? action.page : 0);
    if (FAILED(hr)) {
        *detail = L"the frame cannot be shown: " + HresultText(hr);
        return false;
    }
    PropertyFrame* frame = form_.ShownPropertyFrame();
    if (!action.title.empty()) {
        int page = frame->FindPage(Wide(action.title));
        if (page < 0 || !frame->ShowPage(static_cast<size_t>(page))) {
            *detail = L"no page titled " + Quoted(Wide(action.title));
            return false;
        }
    }
    form_.PumpMessages();
    *detail = L"page " + Quoted(frame->PageTitle(frame->CurrentPage()));
    return true;
}

bool ScriptRunner::RunField(const ScriptAction& action, std::wstring* detail) {
    PropertyFrame* frame = ShownFrame(detail);
    if (!frame) return false;
    *detail = SetPageField(frame->PageWindow(), Wide(action.label), Wide(ValueText(*action.value)));
    form_.PumpMessages();
    return detail->empty();
}

bool ScriptRunner::RunPress(const ScriptAction& action, std::wstring* detail) {
    PropertyFrame* frame = ShownFrame(detail);
    if (!frame) return false;
    HRESULT hr = S_OK;
    if (action.press == "cancel") {
        frame->Cancel();
    } else {
        hr = action.press == "ok" ? frame->Ok() : frame->Apply();
    }
    std::wstring problem = FAILED(hr) ? frame->Problem() : L"";
    form_.PumpMessages();
    bool ok = AsExpected(hr, action, detail);
    if (!problem.empty()) *detail = problem;
    return ok;
}

bool ScriptRunner::RunFrameExpectation(const ScriptAction& action, std::wstring* detail) {
    PropertyFrame* frame = form_.ShownPropertyFrame();
    if (action.frameShown) {
        return Compare(*action.frameShown ? L"a frame shown" : L"no frame shown",
                       frame ? L"a frame shown" : L"no frame shown", detail);
    }
    if (!frame) {
        *detail = L"no property frame is shown";
        return false;
    }
    if (action.applyEnabled) {
        return Compare(*action.applyEnabled ? L"Apply enabled" : L"Apply disabled",
                       frame->ApplyEnabled() ? L"Apply enabled" : L"Apply disabled", detail);
    }
    if (action.problem) {
        // The status line holds the error's text in the system's language: a part of it is
        // compared.
        std::wstring expected = Wide(*action.problem);
        const std::wstring& shown = frame->Problem();
        bool found = expected.empty() ? shown.empty() : shown.find(expected) != std::wstring::npos;
        *detail = found ? Quoted(shown) : Quoted(expected) + L" expected, " + Quoted(shown) + L" shown";
        return found;
    }
    std::wstring shown;
    if (!ReadPageField(frame->PageWindow(), Wide(action.label), &shown)) {
        *detail = L"no field labelled " + Quoted(Wide(action.label));
        return false;
    }
    return Compare(Wide(ValueText(*action.expected)), shown, detail);
}

bool ScriptRunner::RunSave(const ScriptAction& action, std::wstring* detail) {
    if (!formFile_) {
        *detail = L"the form was not read from a form file";
        return false;
    }
    std::vector<std::wstring> notes;
    *detail = SaveForm(*formFile_, form_, {Wide(action.file), formPath_, action.overwrite}, &notes);
    for (const std::wstring& note : notes) log_ << "note " << ConsoleText(note) << std::endl;
    if (!detail->empty()) return false;
    *detail = Wide(action.file);
    return true;
}

void ScriptRunner::Wait(int milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < static_cast<DWORD>(milliseconds)) {
        form_.PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

}  // namespace zelmor::host
