// How the processes that have one table file open keep out of each other's way: byte-range
// locks on the file, far beyond its last page, owned by the process (POSIX: one descriptor per
// file per process, so that no second descriptor's close drops them).
//
//   gate         held for a moment by Open and Close, so that "am I the first / the last"
//                is answered while nobody else comes or goes
//   open         shared by every process that has the file open; exclusive by one that
//                opened it exclusively
//   file lock    exclusive by a transaction that holds the whole file; shared by a process
//                while one change runs, so that a change never waits for a transaction
//   write        exclusive while a process makes changes and commits them (one change, a
//                transaction's changes, or an accelerated open's group of changes)
//   record p     exclusive by the process that locked the record at position p
//
// Record locks are counted per process: blocks of one process never conflict.
#pragma once

#include <cstdint>
#include <map>

#include "engine/src/Pager.h"

namespace zelmor::engine {

class FileSharing {
public:
    static constexpr std::uint64_t kGate = std::uint64_t{1} << 62;
    static constexpr std::uint64_t kOpen = kGate + 1;
    static constexpr std::uint64_t kFileLock = kGate + 2;
    static constexpr std::uint64_t kWrite = kGate + 3;
    static constexpr std::uint64_t kRecords = kGate + (std::uint64_t{1} << 32);

    // `waitMilliseconds`: how long a wait may last where the system cannot find deadlocks.
    FileSharing(FileSystem& fileSystem, Pager& pager, std::uint32_t waitMilliseconds);
    ~FileSharing();
    FileSharing(const FileSharing&) = delete;
    FileSharing& operator=(const FileSharing&) = delete;

    // Joins the processes that have the file open, holding the gate until EndJoin: kFileInUse
    // when another process holds it exclusively, kIncompatibleMode when asking for it
    // exclusively while another process has it open. *first: no other process had it open.
    Status Join(bool exclusive, bool* first);
    void EndJoin();
    // Leaves them; the last to leave removes the journal and the shared memory (the pager's
    // journal handle must be closed).
    void Leave();
    // For Create replacing a file: kFileInUse unless no process has it open; the file is then
    // held until Release.
    static Status ClaimAlone(File& file);
    static void Release(File& file);

    // The write lock, waited for (kDeadlock when the wait would never end).
    Status LockWrite();
    Status TryLockWrite();
    void UnlockWrite();
    bool WriteHeld() const { return writeHeld_; }

    // The file lock: exclusive for a transaction, shared for one change.
    Status LockFile(LockMode mode, bool wait);
    void UnlockFile();
    bool FileLocked() const { return fileLocked_; }
    LockMode FileLockMode() const { return fileLockMode_; }

    // Record locks of the process.
    Status LockRecord(std::uint32_t position, bool wait);
    void UnlockRecord(std::uint32_t position);
    bool HoldsRecord(std::uint32_t position) const { return records_.count(position) != 0; }
    // kOk when no other process holds a lock on the record (waiting for it to be released
    // when `wait`); kRecordInUse when one does.
    Status CheckRecord(std::uint32_t position, bool wait);

private:
    File& file() { return pager_.DataFile(); }
    std::uint32_t WaitFor(bool wait) const { return wait ? waitMilliseconds_ : 0; }

    FileSystem& fileSystem_;
    Pager& pager_;
    std::uint32_t waitMilliseconds_;
    bool joined_ = false;
    bool gateHeld_ = false;
    bool writeHeld_ = false;
    bool fileLocked_ = false;
    LockMode fileLockMode_ = LockMode::kShared;
    std::map<std::uint32_t, int> records_;  // position -> blocks (and transaction) holding it
};

}  // namespace zelmor::engine
