// What the binding registry and the transfers need of a control: its name and form, the names
// it is bound by, and what it does when its data source is ready or moves, when its list is to
// be filled, and when a field value is set in it, read from it or cleared. Each control class
// implements it; tests use small fakes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zelmor {

struct FormContext;

// A window handle as a number, so that the portable code can hold one.
using WindowHandle = std::uintptr_t;

enum class ControlKind : std::int16_t {
    DataSource = 1,  // the data control
    Button = 2,
    ScrollBar = 3,
    ListBox = 4,
    ComboBox = 5,
    ExListBox = 6,
    ExComboBox = 7,
    Grid = 8,
    Edit = 9,
    CheckBox = 10,
    OptionButton = 11,
    Picture = 12,
};

// List-type controls fill their list when their list source becomes ready if this is above 0.
enum UpdateOption : std::int16_t { kUpdateNone = 0, kUpdateOnInit = 1, kUpdateOnFocus = 2 };

class BoundControl {
public:
    virtual ~BoundControl() = default;

    // The control's name on its form (the host's ambient display name).
    virtual std::u16string GetDisplayName() = 0;
    // The form window: the window of the control's site, one frame or tab window stepped over;
    // 0 when the control is not sited.
    virtual WindowHandle GetFormWindow() = 0;
    virtual ControlKind GetKind() = 0;

    // The names the control is bound by; nullopt for kinds that have none.
    virtual std::optional<std::u16string> GetDbField() { return std::nullopt; }
    virtual std::optional<std::u16string> GetDbTable() { return std::nullopt; }
    virtual std::u16string GetDbSource() { return {}; }
    // The data control that feeds a list-type control's list.
    virtual std::u16string GetListSource() { return {}; }
    virtual std::int16_t GetUpdateOption() { return kUpdateNone; }

    // Scroll bars: the data source has its dictionary; another control moved the position of
    // one of its tables along the key at that segment position.
    virtual void OnSourceReady() {}
    virtual void OnSourceMoved(const std::string& /*tableName*/, std::int32_t /*keyPosition*/) {}
    // List-type controls: read the list from the table.
    virtual void FillList() {}

    // Field transfers, by kind (text in the ANSI code page). ReadFieldText gives false when the
    // control takes no part in reading.
    virtual void SetFieldText(const std::string&) {}
    virtual bool ReadFieldText(std::string&) { return false; }
    virtual void ClearFieldValue() {}

    // Option buttons: value 0 and no check mark; whether the button is the chosen one.
    virtual void Uncheck() {}
    virtual bool Chosen() { return false; }
};

// A data control as the registry and the exported functions see it.
class DataSource : public BoundControl {
public:
    ControlKind GetKind() override { return ControlKind::DataSource; }

    // The dictionary, or nullptr while none is loaded.
    virtual FormContext* Context() = 0;
    virtual std::string DictionaryDirectory() = 0;  // DDFDir, ANSI
    virtual std::string OwnerName() = 0;            // ANSI
    virtual int OpenMode() = 0;

    // The name and window handle of the form, asked of the host's object model (0 or -1; the
    // failures show their messages).
    virtual int QueryFormName(std::string& formName) = 0;
    virtual int QueryFormHandle(WindowHandle& formWindow) = 0;
};

}  // namespace zelmor
