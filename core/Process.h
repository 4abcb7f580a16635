// What the process holds once: the database manager and the global options, built in that
// order when the library loads (or on first use), from the initialisation file of the current
// platform.
#pragma once

#include "core/DbManager.h"
#include "values/GlobalOptions.h"

namespace zelmor {

struct ProcessState {
    explicit ProcessState(platform::Platform& platform) : dbManager(platform), options(platform) {}

    DbManager dbManager;    // reads its settings first
    GlobalOptions options;  // then every other option
};

ProcessState& Process();

}  // namespace zelmor
