// What every bound control shares apart from its window: the names it is bound by (DbSource,
// DbTable, DbField), its name and form through its host, its registration with the binding
// registry while its window exists at run time, and the bound field's data type. A control's
// portable logic (EditLogic, ...) derives from it; the COM class supplies the host.
#pragma once

#include <string>

#include "binding/BindingRegistry.h"
#include "binding/BoundControl.h"

namespace zelmor {

// What a bound control asks of the object that hosts it (the COM class, or a test).
class ControlHost {
  public:
    virtual ~ControlHost() = default;
    virtual std::u16string DisplayName() = 0;  // the container's name for the control
    virtual WindowHandle FormWindow() = 0;     // 0 while not sited
    virtual bool UserMode() = 0;               // run mode
};

// The registry list a control belongs to (a button belongs to none).
enum class RegistryList { None, Field, List, Scroll };

class BoundField : public BoundControl {
  public:
    BoundField(ControlKind kind, RegistryList list, ControlHost& host, BindingRegistry& registry)
        : kind_(kind), list_(list), host_(host), registry_(registry) {}
    ~BoundField() override { Unregister(); }
    BoundField(const BoundField&) = delete;
    BoundField& operator=(const BoundField&) = delete;

    // The names, as the host language gives them.
    std::u16string dbSource;
    std::u16string dbTable;
    std::u16string dbField;

    // The control's window was made or is going (run mode only: design mode never binds).
    void Register();
    void Unregister();
    bool Registered() const { return registered_; }

    // The bound field's data type, looked up through the registry the first time it is asked
    // for in run mode and kept; -1 while the data control, table or field cannot be found.
    int FieldType();

    // BoundControl
    std::u16string GetDisplayName() override { return host_.DisplayName(); }
    WindowHandle GetFormWindow() override { return host_.FormWindow(); }
    ControlKind GetKind() override { return kind_; }
    std::optional<std::u16string> GetDbField() override { return dbField; }
    std::optional<std::u16string> GetDbTable() override { return dbTable; }
    std::u16string GetDbSource() override { return dbSource; }

  protected:
    ControlHost& Host() { return host_; }
    // The bound table (its data control by the exact name on the form), or nullptr.
    TableDef* FindTable();
    // Opens a table when it is closed, with the owner name and open mode of its data control
    // (by that name on the form); a failure shows VE803 and gives its status.
    int OpenOnDemand(TableDef& table, const std::u16string& sourceName);
    BindingRegistry& Registry() { return registry_; }

  private:
    ControlKind kind_;
    RegistryList list_;
    ControlHost& host_;
    BindingRegistry& registry_;
    bool registered_ = false;
    int fieldType_ = -1;
};

}  // namespace zelmor
