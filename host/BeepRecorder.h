// Hears the warning beeps the controls sound: the import of MessageBeep in every module of
// the process but the system's own is pointed at a recorder, which keeps the beep's type and
// sounds nothing. Modules loaded later (a control library made on demand) are hooked when
// Hook is called again.
#pragma once

#include <windows.h>

#include <vector>

namespace zelmor::host {

class BeepRecorder {
  public:
    // The process's one recorder.
    static BeepRecorder& Instance();

    // Points every loaded module's MessageBeep import at the recorder (again for new modules).
    void Hook();
    // The beeps heard since the last call, in order.
    std::vector<unsigned> TakeBeeps();

  private:
    BeepRecorder() = default;
    static BOOL WINAPI RecordBeep(UINT type);

    std::vector<unsigned> beeps_;
};

}  // namespace zelmor::host
