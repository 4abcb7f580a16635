// The platform's old Japanese input method calls, looked up by name in USER32 the first time
// they are needed; a platform without all four offers none.
#pragma once

#include "controls/ImeModes.h"

namespace zelmor {

ImeCalls& PlatformImeCalls();

}  // namespace zelmor
