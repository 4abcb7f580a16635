#include "core/Process.h"

#include "platform/Platform.h"

namespace zelmor {

ProcessState& Process() {
    static ProcessState state(platform::CurrentPlatform());
    return state;
}

}  // namespace zelmor
