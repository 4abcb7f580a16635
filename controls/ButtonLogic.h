// The command button apart from its window: the record operation a click runs, from the
// confirmation question to the error report. The COM class ZelBtn owns one and is its view.
#pragma once

#include <string>

#include "controls/BoundField.h"
#include "core/BoundOperations.h"

namespace zelmor {

// What the button's logic asks of its window and events.
class ButtonView {
  public:
    virtual ~ButtonView() = default;
    // Asks the question in an OK/Cancel box owned by the button; true for OK.
    virtual bool Confirm(const std::string& question) = 0;
    // Fires SetData, whose handler may set Abort.
    virtual void RaiseSetData() = 0;
    // Fires BtrieveError; gives the status as the handler left it.
    virtual int RaiseBtrieveError(const std::string& tableName, int status) = 0;
};

// The position of the key a button names: the named index of that name, else the key whose
// first segment covers the field of that name, else (and for no name) the first key.
int ButtonKeyPosition(const TableDef& table, const std::string& keyName);

class ButtonLogic : public BoundField {
  public:
    ButtonLogic(ControlHost& host, BindingRegistry& registry, ButtonView& view)
        : BoundField(ControlKind::Button, RegistryList::None, host, registry), view_(view) {}

    // Properties (text in the ANSI code page, names as the host language gives them).
    std::u16string dbIndex;
    int operation = kDbInsert;
    bool abort = false;
    std::string confirmMsg;
    int locks = kLockNone;
    bool clearControlData = true;
    int indexId = 0;

    // When the window is made at run time: the key position of DbIndex, if the table is known.
    void ResolveIndex();
    // A click (or the Enter key): the whole operation. Gives its status; 0 when the question
    // was answered Cancel or the operation is unknown (their messages are shown).
    int Run();

  private:
    // The bound controls of the form as the operation sees them.
    class Controls;

    ButtonView& view_;
};

}  // namespace zelmor
