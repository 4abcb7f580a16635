// One client of the record manager (a process): its position blocks, open files, transaction,
// record locks and dictionary reader. Every call is serialised by one mutex.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "engine/src/Cursor.h"
#include "engine/src/Dictionary.h"
#include "engine/src/FileSystem.h"

namespace zelmor::engine {

// The arguments of one call, with the lock bias split from the operation.
struct Request {
    int op = 0;
    int bias = 0;
    std::uint8_t* block = nullptr;
    std::uint8_t* data = nullptr;
    std::uint32_t* dataLength = nullptr;
    std::uint32_t capacity = 0;  // *dataLength on entry (0 without a buffer)
    std::uint8_t* key = nullptr;
    std::uint8_t keyLength = 0;
    int keyNumber = 0;

    void SetDataLength(std::uint32_t length) const {
        if (dataLength != nullptr) *dataLength = length;
    }
};

struct EngineOptions {
    std::size_t cachePages = 8192;  // per file
    std::size_t groupCommitPages = 2048;  // accelerated files commit beyond this
    std::uint32_t lockWaitMilliseconds = 20000;  // where the system cannot detect deadlocks
};

class Engine {
public:
    Engine(FileSystem& fileSystem, EngineOptions options);
    ~Engine();

    std::int16_t Call(std::uint16_t op, void* block, void* data, std::uint32_t* dataLength,
                      void* key, std::uint8_t keyLength, std::int8_t keyNumber);

    std::int16_t DictionaryOpen(const char* directory);
    std::int16_t DictionaryRead(DictionaryFile which, void* record);
    std::int16_t DictionaryClose();

private:
    using Operation = Status (Engine::*)(Request&, Cursor&);

    std::int16_t CallLocked(std::uint16_t op, void* block, void* data, std::uint32_t* dataLength,
                            void* key, std::uint8_t keyLength, std::int8_t keyNumber);
    Status Dispatch(Request& request);
    Cursor* CursorOf(const std::uint8_t* block);

    // Files and blocks (Engine.cpp).
    Status Open(Request& request);
    Status Close(Request& request, Cursor& cursor);
    Status Create(Request& request);
    Status Stat(Request& request, Cursor& cursor);
    Status Version(Request& request);
    Status Reset();
    Status SetOwner(Request& request, Cursor& cursor);
    Status ClearOwner(Request& request, Cursor& cursor);
    void Forget(const std::shared_ptr<OpenFile>& file);

    // Other processes (Sharing.cpp). A read runs against the file as last seen and is run again
    // when another process committed meanwhile (until it confirms, just before it moves the
    // currency); a change runs under the file's write lock.
    Status RunRead(Request& request, Cursor& cursor, Operation operation);
    Status RunChange(Request& request, Cursor& cursor, Operation operation);
    // False when another process committed since the read began: the read must not take effect.
    bool ConfirmRead();
    Status BeginChange(OpenFile& file);
    void EndChange(OpenFile& file);
    // Commits what accelerated blocks keep back when another process waits to write.
    void LetWaitingWritersIn();
    // Runs a change and commits it as the open mode and the transaction require.
    template <typename Change>
    Status Apply(Cursor& cursor, Change change);
    Status CommitFile(OpenFile& file);
    void FailChanges(OpenFile& file);

    // Transactions (Transactions.cpp).
    Status BeginTransaction(const Request& request);
    Status EndTransaction();
    Status AbortTransaction();
    Status CommitTransaction(const std::vector<std::shared_ptr<OpenFile>>& files);
    void FinishTransaction();
    Status LockFileForTransaction(const std::shared_ptr<OpenFile>& file);

    // Record locks (Locks.cpp).
    // Locks the record a read is about to deliver, as the lock bias asks: kRetry after waiting
    // for it (the record may have changed meanwhile), 84 when another process holds it.
    Status TakeLock(const Request& request, Cursor& cursor, std::uint32_t position);
    // Gives a lock taken by TakeLock to the block once the read takes effect.
    void KeepLock(const Request& request, Cursor& cursor, std::uint32_t position);
    void ReleasePendingLocks();
    void ReleaseSingleLock(Cursor& cursor);
    void ReleaseLocksOn(Cursor& cursor, std::uint32_t position);
    void ReleaseMultipleLocks(Cursor& cursor);
    void ReleaseAllLocks(Cursor& cursor);
    // Before a record is updated or deleted: 84 when another process holds a lock on it.
    Status GuardRecord(Cursor& cursor, std::uint32_t position);
    Status Unlock(Request& request, Cursor& cursor);

    // Records and currency (Operations.cpp).
    Status Insert(Request& request, Cursor& cursor);
    Status Update(Request& request, Cursor& cursor);
    Status Delete(Request& request, Cursor& cursor);
    Status GetByKey(Request& request, Cursor& cursor);
    Status Step(Request& request, Cursor& cursor);
    Status GetPosition(Request& request, Cursor& cursor);
    Status GetDirect(Request& request, Cursor& cursor);
    Status GetByPercentage(Request& request, Cursor& cursor);
    Status FindPercentage(Request& request, Cursor& cursor);
    Status CheckKey(const Request& request, Cursor& cursor, bool allowNone);
    // kConflict when the current record was deleted or changed since this block read it.
    Status CheckCurrent(Cursor& cursor);
    void FollowKey(Request& request, Cursor& cursor);
    // Hands the record at `recordPath` to the caller and moves the currency onto it: logical
    // currency to `entry` of `key` when key >= 0, else cleared when `clearLogical`.
    Status Deliver(Request& request, Cursor& cursor, const BTree::Path& recordPath, int key,
                   const std::uint8_t* entry, const BTree::Path* keyPath, bool clearLogical);
    Status DeliverEntry(Request& request, Cursor& cursor, const BTree::Path& keyPath);

    // Extended operations (Extended.cpp).
    Status Extended(Request& request, Cursor& cursor);

    struct PendingLock {
        TableFile* table;
        std::uint32_t position;
    };

    FileSystem& fileSystem_;
    EngineOptions options_;
    std::mutex mutex_;
    std::uint64_t blockMagic_;
    std::vector<std::unique_ptr<Cursor>> cursors_;
    std::vector<std::uint32_t> slotGenerations_;
    std::vector<std::shared_ptr<OpenFile>> files_;
    bool transactionActive_ = false;
    bool transactionExclusive_ = false;  // 19 rather than 1019
    bool transactionWaits_ = true;       // its locks wait rather than fail at once
    std::vector<std::shared_ptr<OpenFile>> transactionFiles_;  // changed by it
    std::vector<std::shared_ptr<OpenFile>> heldFiles_;         // whose file lock it holds
    // The read under way: the file, the sequence it started from, and whether it took effect.
    TableFile* readTable_ = nullptr;
    std::uint32_t readSequence_ = 0;
    bool readConfirmed_ = false;
    std::vector<PendingLock> pendingLocks_;
    std::vector<std::uint8_t> recordScratch_;
    Dictionary dictionary_;
};

// A change made through `cursor`, then committed as the open mode and the transaction require.
template <typename Change>
Status Engine::Apply(Cursor& cursor, Change change) {
    if (cursor.readOnly) return Status::kAccessDenied;
    OpenFile& file = *cursor.file;
    Pager& pager = file.table->pager();
    const std::uint64_t before = pager.Generation();
    Status status;
    try {
        status = change();
    } catch (const std::bad_alloc&) {
        status = Status::kIoError;  // out of memory half-way: treated as a failed change
    }
    if (Failed(status)) {
        if (pager.Generation() != before) FailChanges(file);
        return status;
    }
    if (transactionActive_) {
        if (!file.inTransaction) {
            file.inTransaction = true;
            transactionFiles_.push_back(cursor.file);
        }
        return Status::kOk;
    }
    if (cursor.accelerated && pager.ChangedPages() < options_.groupCommitPages)
        return Status::kOk;
    return CommitFile(file);
}

}  // namespace zelmor::engine
