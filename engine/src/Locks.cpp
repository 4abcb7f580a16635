// Record locks: taken by reads with a lock bias and owned by the block that read, counted per
// process in the file's sharing state so that blocks of one process never conflict.
#include <algorithm>

#include "engine/src/Bytes.h"
#include "engine/src/Engine.h"

namespace zelmor::engine {

namespace {
bool Single(int bias) {
    return bias == ZELRM_LOCK_SINGLE_WAIT || bias == ZELRM_LOCK_SINGLE_NO_WAIT;
}
bool Waits(int bias) {
    return bias == ZELRM_LOCK_SINGLE_WAIT || bias == ZELRM_LOCK_MULTIPLE_WAIT;
}
}  // namespace

Status Engine::TakeLock(const Request& request, Cursor& cursor, std::uint32_t position) {
    if (request.bias == 0) return Status::kOk;
    for (const PendingLock& pending : pendingLocks_)
        if (pending.table == cursor.table && pending.position == position) return Status::kOk;
    FileSharing& sharing = cursor.table->sharing();
    Status status = sharing.LockRecord(position, false);
    if (status == Status::kRecordInUse && Waits(request.bias)) {
        ZELRM_TRY(sharing.LockRecord(position, true));
        pendingLocks_.push_back({cursor.table, position});
        return Status::kRetry;  // read it again: it may have changed while we waited
    }
    ZELRM_TRY(status);
    pendingLocks_.push_back({cursor.table, position});
    return Status::kOk;
}

void Engine::KeepLock(const Request& request, Cursor& cursor, std::uint32_t position) {
    if (request.bias == 0) return;
    auto pending = std::find_if(pendingLocks_.begin(), pendingLocks_.end(),
                                [&](const PendingLock& lock) {
                                    return lock.table == cursor.table && lock.position == position;
                                });
    if (pending == pendingLocks_.end()) return;
    pendingLocks_.erase(pending);
    FileSharing& sharing = cursor.table->sharing();
    if (Single(request.bias)) {
        // A block holds one single-record lock: taking another releases the first.
        if (cursor.hasSingleLock) sharing.UnlockRecord(cursor.singleLock);
        cursor.hasSingleLock = true;
        cursor.singleLock = position;
        return;
    }
    auto& locks = cursor.multipleLocks;
    if (std::find(locks.begin(), locks.end(), position) != locks.end())
        sharing.UnlockRecord(position);  // already this block's
    else
        locks.push_back(position);
}

void Engine::ReleasePendingLocks() {
    for (const PendingLock& pending : pendingLocks_)
        pending.table->sharing().UnlockRecord(pending.position);
    pendingLocks_.clear();
}

void Engine::ReleaseSingleLock(Cursor& cursor) {
    if (!cursor.hasSingleLock) return;
    cursor.table->sharing().UnlockRecord(cursor.singleLock);
    cursor.hasSingleLock = false;
}

void Engine::ReleaseLocksOn(Cursor& cursor, std::uint32_t position) {
    if (cursor.hasSingleLock && cursor.singleLock == position) ReleaseSingleLock(cursor);
    auto& locks = cursor.multipleLocks;
    auto found = std::find(locks.begin(), locks.end(), position);
    if (found == locks.end()) return;
    cursor.table->sharing().UnlockRecord(position);
    locks.erase(found);
}

void Engine::ReleaseMultipleLocks(Cursor& cursor) {
    for (std::uint32_t position : cursor.multipleLocks) cursor.table->sharing().UnlockRecord(position);
    cursor.multipleLocks.clear();
}

void Engine::ReleaseAllLocks(Cursor& cursor) {
    ReleaseSingleLock(cursor);
    ReleaseMultipleLocks(cursor);
}

Status Engine::GuardRecord(Cursor& cursor, std::uint32_t position) {
    // Inside a transaction the change waits for the lock as the transaction's bias says; no
    // other process can lock the record afterwards while the transaction holds the file.
    return cursor.table->sharing().CheckRecord(position,
                                               transactionActive_ && transactionWaits_);
}

Status Engine::Unlock(Request& request, Cursor& cursor) {
    if (request.keyNumber >= 0) {
        if (!cursor.hasSingleLock) return Status::kLockError;
        ReleaseSingleLock(cursor);
        return Status::kOk;
    }
    if (request.keyNumber == -1) {
        if (request.capacity < 4) return Status::kDataBufferTooShort;
        std::uint32_t position = Load32(request.data);
        auto& locks = cursor.multipleLocks;
        auto found = std::find(locks.begin(), locks.end(), position);
        if (found == locks.end()) return Status::kLockError;
        cursor.table->sharing().UnlockRecord(position);
        locks.erase(found);
        return Status::kOk;
    }
    if (request.keyNumber == -2) {
        ReleaseMultipleLocks(cursor);
        return Status::kOk;
    }
    return Status::kInvalidKeyNumber;
}

}  // namespace zelmor::engine
