#include "com/ModuleState.h"

#include <atomic>

namespace zelmor::com {

namespace {

std::atomic<HMODULE> module_instance{nullptr};
std::atomic<long> object_count{0};
std::atomic<long> lock_count{0};

}  // namespace

HMODULE ModuleState::Instance() {
    HMODULE module = module_instance.load();
    return module ? module : GetModuleHandleW(nullptr);
}

void ModuleState::SetInstance(HMODULE module) {
    module_instance = module;
}

void ModuleState::ObjectCreated() {
    ++object_count;
}
void ModuleState::ObjectDestroyed() {
    --object_count;
}
void ModuleState::Lock() {
    ++lock_count;
}
void ModuleState::Unlock() {
    --lock_count;
}

long ModuleState::ObjectCount() {
    return object_count;
}
long ModuleState::LockCount() {
    return lock_count;
}

bool ModuleState::CanUnload() {
    return object_count == 0 && lock_count == 0;
}

}  // namespace zelmor::com
