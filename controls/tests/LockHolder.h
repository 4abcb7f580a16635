// Another process for the tests of updates that meet a lock: it opens the sample dictionary's
// Customer table in a folder, holds a lock on the first customer, touches "holding" there and
// lets go once "done" appears. Start it with ChildProcess(kHoldFirstCustomer, {folder}).
#pragma once

namespace zelmor::testing {

inline constexpr const char* kHoldFirstCustomer = "hold-first-customer";

}  // namespace zelmor::testing
