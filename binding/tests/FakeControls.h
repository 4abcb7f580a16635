// Controls for the binding tests: each holds the names it is bound by, a value, and counters of
// what was asked of it.
#pragma once

#include <functional>
#include <map>
#include <string>

#include "binding/BoundControl.h"
#include "core/Dictionary.h"

namespace zelmor::testing {

class FakeControl : public BoundControl {
public:
    FakeControl(ControlKind kind, std::u16string name, WindowHandle form)
        : kind_(kind), name_(std::move(name)), form_(form) {}

    std::u16string GetDisplayName() override { return name_; }
    WindowHandle GetFormWindow() override { return form_; }
    ControlKind GetKind() override { return kind_; }
    std::optional<std::u16string> GetDbField() override { return field; }
    std::optional<std::u16string> GetDbTable() override { return table; }
    std::u16string GetDbSource() override { return source; }
    std::u16string GetListSource() override { return listSource; }
    std::int16_t GetUpdateOption() override { return updateOption; }
    void OnSourceReady() override {
        ++readyCalls;
        Reenter();
    }
    void OnSourceMoved(const std::string& table, std::int32_t keyPosition) override {
        movedTable = table;
        movedWith = keyPosition;
        Reenter();
    }
    void FillList() override {
        ++fills;
        Reenter();
    }
    void SetFieldText(const std::string& text) override {
        value = text;
        ++sets;
        Reenter();
    }
    bool ReadFieldText(std::string& text) override {
        if (!readable) return false;
        text = value;
        return true;
    }
    void ClearFieldValue() override {
        value.clear();
        ++clears;
        Reenter();
    }
    void Uncheck() override { ++unchecks; }

    void MoveTo(WindowHandle form) { form_ = form; }

    // What a handler of the control does when the system calls it: it may unregister or free
    // controls, close tables, reload a dictionary.
    std::function<void()> onCall;

    std::optional<std::u16string> field;
    std::optional<std::u16string> table;
    std::u16string source;
    std::u16string listSource;
    std::int16_t updateOption = kUpdateNone;
    bool readable = true;
    std::string value;
    int readyCalls = 0, fills = 0, sets = 0, clears = 0, unchecks = 0;
    std::string movedTable;
    std::int32_t movedWith = 0;

private:
    void Reenter() {
        if (onCall) onCall();
    }

    ControlKind kind_;
    std::u16string name_;
    WindowHandle form_;
};

class FakeDataSource : public DataSource {
public:
    FakeDataSource(std::u16string name, WindowHandle form, std::string formName)
        : name_(std::move(name)), form_(form), formName_(std::move(formName)) {}

    std::u16string GetDisplayName() override { return name_; }
    WindowHandle GetFormWindow() override { return form_; }
    FormContext* Context() override { return context; }
    std::string DictionaryDirectory() override { return directory; }
    std::string OwnerName() override { return {}; }
    int OpenMode() override { return 0; }
    int QueryFormName(std::string& formName) override {
        formName = formName_;
        return 0;
    }
    int QueryFormHandle(WindowHandle& formWindow) override {
        formWindow = form_;
        return 0;
    }

    FormContext* context = nullptr;
    std::string directory;

private:
    std::u16string name_;
    WindowHandle form_;
    std::string formName_;
};

}  // namespace zelmor::testing
