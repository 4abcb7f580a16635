#include "engine/src/FileSharing.h"

namespace zelmor::engine {

FileSharing::FileSharing(FileSystem& fileSystem, Pager& pager, std::uint32_t waitMilliseconds)
    : fileSystem_(fileSystem), pager_(pager), waitMilliseconds_(waitMilliseconds) {}

// An open cut short between joining and the end of the join still holds the gate. Leave takes
// the gate again, and on Windows a lock this handle already holds is never granted a second
// time: the gate goes first.
FileSharing::~FileSharing() {
    EndJoin();
    if (joined_) Leave();
}

Status FileSharing::Join(bool exclusive, bool* first) {
    ZELRM_TRY(file().Lock(kGate, 1, LockMode::kExclusive, waitMilliseconds_));
    gateHeld_ = true;
    Status probe = file().Lock(kOpen, 1, LockMode::kExclusive, 0);
    Status status = Status::kOk;
    if (Succeeded(probe)) {
        *first = true;
        if (!exclusive) {
            file().Unlock(kOpen, 1);
            status = file().Lock(kOpen, 1, LockMode::kShared, 0);
        }
    } else if (probe == Status::kRecordInUse) {
        *first = false;
        if (exclusive) {
            status = Status::kIncompatibleMode;
        } else {
            status = file().Lock(kOpen, 1, LockMode::kShared, 0);
            if (status == Status::kRecordInUse) status = Status::kFileInUse;
        }
    } else {
        status = probe;
    }
    if (Failed(status)) {
        EndJoin();
        return status;
    }
    joined_ = true;
    return Status::kOk;
}

void FileSharing::EndJoin() {
    if (!gateHeld_) return;
    file().Unlock(kGate, 1);
    gateHeld_ = false;
}

void FileSharing::Leave() {
    if (!joined_) return;
    for (const auto& [position, holders] : records_) file().Unlock(kRecords + position, 1);
    records_.clear();
    UnlockFile();
    UnlockWrite();
    const bool gate = Succeeded(file().Lock(kGate, 1, LockMode::kExclusive, waitMilliseconds_));
    file().Unlock(kOpen, 1);
    joined_ = false;
    if (!gate) return;
    if (Succeeded(file().Lock(kOpen, 1, LockMode::kExclusive, 0))) {
        // The last one out: finish what a writer that died may have left, then tidy up. A
        // journal that cannot be replayed here stays for the next process to open the file.
        pager_.CloseJournal();
        pager_.CloseShared();
        if (Succeeded(Journal::Recover(fileSystem_, pager_.Path() + ".zlj", file()))) {
            fileSystem_.Remove(pager_.Path() + ".zlj");
            fileSystem_.Remove(pager_.Path() + ".zls");
        }
        file().Unlock(kOpen, 1);
    }
    file().Unlock(kGate, 1);
}

Status FileSharing::ClaimAlone(File& file) {
    ZELRM_TRY(file.Lock(kGate, 1, LockMode::kExclusive, UINT32_MAX));
    Status status = file.Lock(kOpen, 1, LockMode::kExclusive, 0);
    if (Failed(status)) {
        file.Unlock(kGate, 1);
        return status == Status::kRecordInUse ? Status::kFileInUse : status;
    }
    return Status::kOk;
}

void FileSharing::Release(File& file) {
    file.Unlock(kOpen, 1);
    file.Unlock(kGate, 1);
}

Status FileSharing::LockWrite() {
    if (writeHeld_) return Status::kOk;
    Status status = file().Lock(kWrite, 1, LockMode::kExclusive, 0);
    if (status == Status::kRecordInUse) {
        // Tells a process that keeps the lock between calls (accelerated changes) to let go.
        pager_.CountWaiter(+1);
        status = file().Lock(kWrite, 1, LockMode::kExclusive, waitMilliseconds_);
        pager_.CountWaiter(-1);
    }
    if (Failed(status)) return status;
    writeHeld_ = true;
    return Status::kOk;
}

Status FileSharing::TryLockWrite() {
    if (writeHeld_) return Status::kOk;
    ZELRM_TRY(file().Lock(kWrite, 1, LockMode::kExclusive, 0));
    writeHeld_ = true;
    return Status::kOk;
}

void FileSharing::UnlockWrite() {
    if (!writeHeld_) return;
    file().Unlock(kWrite, 1);
    writeHeld_ = false;
}

Status FileSharing::LockFile(LockMode mode, bool wait) {
    if (fileLocked_) {
        if (fileLockMode_ == LockMode::kExclusive || mode == LockMode::kShared) return Status::kOk;
        UnlockFile();
    }
    Status status = file().Lock(kFileLock, 1, mode, WaitFor(wait));
    if (status == Status::kRecordInUse) return Status::kFileInUse;
    if (Failed(status)) return status;
    fileLocked_ = true;
    fileLockMode_ = mode;
    return Status::kOk;
}

void FileSharing::UnlockFile() {
    if (!fileLocked_) return;
    file().Unlock(kFileLock, 1);
    fileLocked_ = false;
}

Status FileSharing::LockRecord(std::uint32_t position, bool wait) {
    auto held = records_.find(position);
    if (held != records_.end()) {
        ++held->second;
        return Status::kOk;
    }
    ZELRM_TRY(file().Lock(kRecords + position, 1, LockMode::kExclusive, WaitFor(wait)));
    records_[position] = 1;
    return Status::kOk;
}

void FileSharing::UnlockRecord(std::uint32_t position) {
    auto held = records_.find(position);
    if (held == records_.end() || --held->second > 0) return;
    file().Unlock(kRecords + position, 1);
    records_.erase(held);
}

Status FileSharing::CheckRecord(std::uint32_t position, bool wait) {
    if (HoldsRecord(position)) return Status::kOk;
    ZELRM_TRY(file().Lock(kRecords + position, 1, LockMode::kExclusive, WaitFor(wait)));
    file().Unlock(kRecords + position, 1);
    return Status::kOk;
}

}  // namespace zelmor::engine
