#include "platform/AllocationFailure.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations still to go before the one that fails; 0 when none is to fail.
std::atomic<std::size_t> g_countdown{0};
std::atomic<bool> g_failed{false};

void* Allocate(std::size_t size, bool mayThrow) {
    std::size_t left = g_countdown.load();
    while (left > 0 && !g_countdown.compare_exchange_weak(left, left - 1)) {
    }
    if (left == 1) {
        g_failed = true;
        if (mayThrow) throw std::bad_alloc();
        return nullptr;
    }
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr && mayThrow) throw std::bad_alloc();
    return block;
}

}  // namespace

namespace zelmor::testing {

FailAllocation::FailAllocation(std::size_t nth) {
    g_failed = false;
    g_countdown = nth;
}

FailAllocation::~FailAllocation() { g_countdown = 0; }

bool FailAllocation::Failed() const { return g_failed; }

}  // namespace zelmor::testing

void* operator new(std::size_t size) { return Allocate(size, true); }
void* operator new[](std::size_t size) { return Allocate(size, true); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, false);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size, false);
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
