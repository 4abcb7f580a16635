// The host of a data control in tests: a form window and names, the run mode, and a BtrieveError
// handler that records its calls, may clear the status and may do more (re-enter the control).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "datacontrol/DataControl.h"

namespace zelmor::testing {

class FakeHost : public DataControlHost {
public:
    FakeHost() = default;
    FakeHost(WindowHandle formWindow, std::u16string controlName)
        : form(formWindow), name(std::move(controlName)) {}

    WindowHandle FormWindow() override { return form; }
    std::u16string DisplayName() override { return name; }
    bool UserMode() override { return userMode; }
    int RaiseBtrieveError(const std::string& table, int status) override {
        events.push_back(table + ":" + std::to_string(status));
        if (onError) onError();
        return clearStatus ? 0 : status;
    }
    int QueryFormName(std::string& formName) override {
        formName = "Form1";
        return 0;
    }
    int QueryFormHandle(WindowHandle& window) override {
        window = form;
        return 0;
    }

    WindowHandle form = 100;
    std::u16string name = u"ZelBtr1";
    bool userMode = true;
    bool clearStatus = false;
    std::vector<std::string> events;
    std::function<void()> onError;  // what the BtrieveError handler does besides
};

}  // namespace zelmor::testing
