// For tests: makes the global operator new fail on purpose, so that a test can walk through
// every allocation of an operation and check that running out of memory is reported, never
// thrown out of the system's boundary. Linking this library replaces operator new and delete
// of the whole test program (both go to malloc and free).
#pragma once

#include <cstddef>

namespace zelmor::testing {

// While alive, the `nth` allocation from now on (1 = the next one) throws std::bad_alloc (a
// nothrow one gives nullptr); later ones succeed.
class FailAllocation {
public:
    explicit FailAllocation(std::size_t nth);
    ~FailAllocation();
    FailAllocation(const FailAllocation&) = delete;
    FailAllocation& operator=(const FailAllocation&) = delete;

    // Whether the chosen allocation was reached (and failed).
    bool Failed() const;
};

// Calls `operation` with its 1st, 2nd, 3rd... allocation failing, until a run reaches no
// failing allocation; `check` looks at each failed run's result (allocations succeed again
// while it runs). Gives the number of failed runs.
template <typename Operation, typename Check>
std::size_t ForEachFailingAllocation(Operation operation, Check check) {
    for (std::size_t nth = 1;; ++nth) {
        bool failed = false;
        auto result = [&] {
            FailAllocation failure(nth);
            auto value = operation();
            failed = failure.Failed();
            return value;
        }();
        if (!failed) return nth - 1;
        check(result);
    }
}

}  // namespace zelmor::testing
