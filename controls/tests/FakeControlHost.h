// The host of a control's portable logic in the tests: a name, the form window 100, run mode
// unless a test says otherwise.
#pragma once

#include <string>

#include "controls/BoundField.h"

namespace zelmor::testing {

constexpr WindowHandle kTestForm = 100;

class FakeControlHost : public ControlHost {
  public:
    explicit FakeControlHost(std::u16string name) : name_(std::move(name)) {}
    std::u16string DisplayName() override { return name_; }
    WindowHandle FormWindow() override { return kTestForm; }
    bool UserMode() override { return userMode; }

    bool userMode = true;

  private:
    std::u16string name_;
};

}  // namespace zelmor::testing
