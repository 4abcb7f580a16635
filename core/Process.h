// Loading the library reads the options in a fixed order: the database manager's settings
// first, then every other option. The DLL calls this when it is loaded, the tools at start-up.
#pragma once

namespace zelmor {

void InitializeProcessState();

}  // namespace zelmor
