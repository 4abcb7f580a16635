// Transactions: one per process, over every file it touches. Changes stay in the cache until
// End, which commits them all or none: a transaction over several files names a master record
// in each file's journal and takes place when that record is on disk.
#include <algorithm>
#include <chrono>
#include <random>

#include "engine/src/Engine.h"
#include "engine/src/MasterRecord.h"

namespace zelmor::engine {

namespace {

std::uint64_t NewTransactionId() {
    static std::mt19937_64 random(std::random_device{}() ^
                                  static_cast<std::uint64_t>(
                                      std::chrono::steady_clock::now().time_since_epoch().count()));
    return random();
}

}  // namespace

Status Engine::BeginTransaction(const Request& request) {
    if (transactionActive_) return Status::kTransactionActive;
    // What accelerated blocks left uncommitted is not part of the transaction: Abort must not
    // take it away.
    for (const auto& file : files_) {
        if (file->table->pager().HasChanges()) ZELRM_TRY(CommitFile(*file));
        file->table->sharing().UnlockWrite();
    }
    transactionActive_ = true;
    transactionExclusive_ = request.op == ZELRM_OP_BEGIN_TRANSACTION;
    // The no-wait biases make the transaction's own locks fail at once instead of waiting.
    transactionWaits_ = request.bias != ZELRM_LOCK_SINGLE_NO_WAIT &&
                        request.bias != ZELRM_LOCK_MULTIPLE_NO_WAIT && request.bias != 500;
    return Status::kOk;
}

Status Engine::LockFileForTransaction(const std::shared_ptr<OpenFile>& file) {
    if (file->transactionLocked) return Status::kOk;
    ZELRM_TRY(file->table->sharing().LockFile(LockMode::kExclusive, transactionWaits_));
    file->transactionLocked = true;
    heldFiles_.push_back(file);
    return Status::kOk;
}

Status Engine::EndTransaction() {
    if (!transactionActive_) return Status::kNoTransaction;
    Status status = CommitTransaction(transactionFiles_);
    FinishTransaction();
    return status;
}

Status Engine::AbortTransaction() {
    if (!transactionActive_) return Status::kNoTransaction;
    for (const auto& file : transactionFiles_) file->table->pager().Discard();
    FinishTransaction();
    return Status::kOk;
}

Status Engine::CommitTransaction(const std::vector<std::shared_ptr<OpenFile>>& files) {
    if (files.empty()) return Status::kOk;
    if (files.size() == 1) return CommitFile(*files[0]);
    MasterReference master;
    master.id = NewTransactionId();
    master.path = MasterRecord::PathFor(files[0]->path, master.id);
    std::vector<std::string> paths;
    for (const auto& file : files) paths.push_back(file->path);
    // Every journal first: a crash now leaves journals whose master record does not exist.
    for (std::size_t i = 0; i < files.size(); ++i) {
        Status status = files[i]->table->pager().PrepareCommit(&master);
        if (Failed(status)) {
            for (std::size_t j = 0; j < files.size(); ++j) {
                if (j < i) files[j]->table->pager().AbandonCommit();
                if (j > i) files[j]->table->pager().Discard();
            }
            return status;
        }
    }
    // Readers of any of the files wait from here until that file holds the new state.
    for (const auto& file : files) file->table->pager().BeginApply();
    Status status = MasterRecord::Write(fileSystem_, master, paths);
    if (Failed(status)) {
        fileSystem_.Remove(master.path);
        for (const auto& file : files) file->table->pager().AbandonCommit();
        return status;
    }
    // The transaction has taken place. A file that cannot be written now keeps its journal
    // (and the master record stays) for the next process that takes its write lock.
    for (const auto& file : files) {
        Status applied = file->table->pager().ApplyCommit();
        if (Succeeded(status)) status = applied;
    }
    if (Succeeded(status)) fileSystem_.Remove(master.path);
    return status;
}

void Engine::FinishTransaction() {
    transactionActive_ = false;
    for (const auto& file : transactionFiles_) file->inTransaction = false;
    transactionFiles_.clear();
    auto held = std::move(heldFiles_);
    heldFiles_.clear();
    for (const auto& file : held) {
        FileSharing& sharing = file->table->sharing();
        file->transactionLocked = false;
        // Even after a failed commit: the next process to take it replays the journal.
        sharing.UnlockWrite();
        sharing.UnlockFile();
    }
    // Ending a transaction releases every record lock of the process.
    for (const auto& cursor : cursors_)
        if (cursor) ReleaseAllLocks(*cursor);
    for (const auto& file : held) Forget(file);
}

}  // namespace zelmor::engine
