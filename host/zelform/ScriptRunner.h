// Runs a script's actions against a form, one after the other, and reports each on the
// console: "ok" or "FAIL" with what was expected and what was found. Message boxes the
// controls show meanwhile are answered (with the answers the script queued, else the first
// button) and their texts kept for the expectations.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "host/Form.h"
#include "host/zelform/FormFile.h"
#include "host/zelform/Script.h"
#include "platform/MessageBoxAnswerer.h"

namespace zelmor::host {

class ScriptRunner {
  public:
    // Screenshots go into screenshotFolder; the report goes to log.
    ScriptRunner(Form& form, std::wstring screenshotFolder, std::ostream& log);

    // Writes every event of every control to the log as it comes.
    void LogEvents();
    // The form file the form was built from, and its path: "save" writes the form back in its
    // terms, and replaces that file only when the action says so.
    void SetFormFile(const FormFile& file, std::wstring path);

    // Runs the actions; the number that failed (an expectation not met, or a step that could
    // not be taken).
    int Run(const std::vector<ScriptAction>& actions);

  private:
    // True when the action went as the script says; what was found goes into detail.
    bool RunAction(const ScriptAction& action, std::wstring* detail);
    bool RunSet(const ScriptAction& action, ControlSite& site, std::wstring* detail);
    bool RunCall(const ScriptAction& action, ControlSite& site, std::wstring* detail);
    bool RunSelect(const ScriptAction& action, ControlSite* site, std::wstring* detail);
    bool RunExpect(const ScriptAction& action, ControlSite* site, std::wstring* detail);
    bool RunHandle(const ScriptAction& action, ControlSite& site, std::wstring* detail);
    bool RunRefuse(const ScriptAction& action, ControlSite& site, std::wstring* detail);
    bool RunScreenshot(const ScriptAction& action, std::wstring* detail);
    bool RunProperties(const ScriptAction& action, ControlSite& site, std::wstring* detail);
    bool RunField(const ScriptAction& action, std::wstring* detail);
    bool RunPress(const ScriptAction& action, std::wstring* detail);
    bool RunFrameExpectation(const ScriptAction& action, std::wstring* detail);
    bool RunSave(const ScriptAction& action, std::wstring* detail);
    // The property frame shown, or null with the reason in detail.
    PropertyFrame* ShownFrame(std::wstring* detail) const;
    void Wait(int milliseconds);

    Form& form_;
    std::wstring screenshotFolder_;
    const FormFile* formFile_ = nullptr;
    std::wstring formPath_;
    std::ostream& log_;
    // Per control, how many of its events the last "order" expectation had seen.
    std::map<const ControlSite*, std::size_t> orderSeen_;
    platform::MessageBoxAnswerer answerer_;
};

}  // namespace zelmor::host
