// How calls keep in step with the other processes that have a file open: reads run against the
// pages as last seen and run again if a commit came in meanwhile; changes run under the file's
// write lock, and commits go through the journal.
#include <cstring>
#include <new>

#include "engine/src/Engine.h"

namespace zelmor::engine {

namespace {
// After this many reads spoiled by other processes' commits, a read takes the write lock.
constexpr int kOptimisticReads = 4;
}  // namespace

Status Engine::RunRead(Request& request, Cursor& cursor, Operation operation) {
    TableFile& table = *cursor.table;
    FileSharing& sharing = table.sharing();
    if (transactionActive_ && transactionExclusive_) ZELRM_TRY(LockFileForTransaction(cursor.file));
    // A record is not locked while another process's transaction holds the file: the
    // transaction's change of it may still be to come.
    const bool locking = request.bias != 0 && !cursor.file->transactionLocked;
    if (locking) {
        const bool wait = request.bias == ZELRM_LOCK_SINGLE_WAIT ||
                          request.bias == ZELRM_LOCK_MULTIPLE_WAIT;
        Status status = sharing.LockFile(LockMode::kShared, wait);
        if (Failed(status)) return status == Status::kFileInUse ? Status::kRecordInUse : status;
    }
    // A read spoiled after it wrote into the data buffer runs again on the same input (a
    // position or a percentage at its start; descriptors are read before anything is written).
    std::uint8_t input[4];
    const std::size_t inputLength = request.capacity < sizeof input ? request.capacity : sizeof input;
    if (inputLength > 0) std::memcpy(input, request.data, inputLength);
    Status status = Status::kOk;
    for (int attempt = 0;; ++attempt) {
        if (attempt > 0 && inputLength > 0) std::memcpy(request.data, input, inputLength);
        // A read that keeps being spoiled keeps the writers out instead.
        const bool guarded = attempt >= kOptimisticReads && !sharing.WriteHeld();
        if (guarded) status = sharing.LockWrite();
        if (Succeeded(status)) status = table.Synchronize();
        if (Failed(status)) {
            if (guarded) sharing.UnlockWrite();
            break;
        }
        readTable_ = &table;
        readSequence_ = table.pager().SeenSequence();
        readConfirmed_ = false;
        try {
            status = (this->*operation)(request, cursor);
        } catch (const std::bad_alloc&) {
            status = Status::kIoError;  // out of memory: the locks below are still let go
        }
        readTable_ = nullptr;
        if (guarded) sharing.UnlockWrite();
        const bool spoiled = !readConfirmed_ && table.pager().Sequence() != readSequence_;
        if (status != Status::kRetry && !spoiled) break;
        status = Status::kOk;
    }
    ReleasePendingLocks();
    if (locking) sharing.UnlockFile();
    return status;
}

bool Engine::ConfirmRead() {
    if (readTable_ == nullptr || readConfirmed_) return true;
    if (readTable_->pager().Sequence() != readSequence_) return false;
    readConfirmed_ = true;
    return true;
}

// Every change goes through here: a read-only block is refused before any lock is taken.
Status Engine::RunChange(Request& request, Cursor& cursor, Operation operation) {
    if (cursor.readOnly) return Status::kAccessDenied;
    OpenFile& file = *cursor.file;
    if (transactionActive_) ZELRM_TRY(LockFileForTransaction(cursor.file));
    Status status = BeginChange(file);
    if (Succeeded(status)) status = (this->*operation)(request, cursor);
    EndChange(file);
    return status;
}

Status Engine::BeginChange(OpenFile& file) {
    FileSharing& sharing = file.table->sharing();
    if (!transactionActive_) {
        // A change never waits for another process's transaction: it gives 85.
        Status status = sharing.LockFile(LockMode::kShared, false);
        if (status == Status::kFileInUse && sharing.WriteHeld()) {
            // That transaction waits for the changes this process keeps back: let them go.
            CommitFile(file);
            if (!file.table->pager().HasChanges()) sharing.UnlockWrite();
        }
        ZELRM_TRY(status);
    }
    ZELRM_TRY(sharing.LockWrite());
    return file.table->Synchronize();
}

void Engine::EndChange(OpenFile& file) {
    // A transaction keeps its locks until it ends.
    if (transactionActive_) return;
    FileSharing& sharing = file.table->sharing();
    if (sharing.FileLocked() && sharing.FileLockMode() == LockMode::kShared) sharing.UnlockFile();
    Pager& pager = file.table->pager();
    // Accelerated changes held back keep the write lock, unless another process waits for it.
    // After a commit that failed half-way, the next process to take it replays the journal.
    if (pager.HasChanges() && pager.Waiters() > 0) CommitFile(file);
    if (!pager.HasChanges() || pager.Broken()) sharing.UnlockWrite();
}

void Engine::LetWaitingWritersIn() {
    if (transactionActive_) return;
    for (const auto& file : files_) {
        FileSharing& sharing = file->table->sharing();
        if (sharing.WriteHeld() && file->table->pager().Waiters() > 0) {
            if (file->table->pager().HasChanges()) CommitFile(*file);
            if (!file->table->pager().HasChanges()) sharing.UnlockWrite();
        }
    }
}

Status Engine::CommitFile(OpenFile& file) { return file.table->pager().Commit(); }

void Engine::FailChanges(OpenFile& file) {
    // A change that failed half-way cannot be undone alone: the file's uncommitted changes
    // go, and with them the transaction they belong to.
    file.table->pager().Discard();
    if (transactionActive_) AbortTransaction();
}

}  // namespace zelmor::engine
