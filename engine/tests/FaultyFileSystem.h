// An in-memory file system for tests that can fail, or "crash", at the Nth write or sync.
//
// Each file keeps its durable content (what survives a crash) and the writes made since its
// last sync. A crash stops all I/O (every call fails) until Recover(), which rebuilds every file
// from its durable content plus the unsynced writes the chosen LossMode lets through, sector by
// sector. Creations and removals are durable only after SyncDirectoryOf.
//
// Several record managers on one instance stand for several processes: each open file owns its
// byte-range locks (waits block the calling thread; a wait that would close a cycle of waiters
// gives kDeadlock), and shared memory is shared. Every call is safe from several threads.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <random>

#include "engine/src/FileSystem.h"

namespace zelmor::engine {

class FaultyFileSystem : public FileSystem {
public:
    enum class LossMode {
        kLoseAll,    // every unsynced write is lost
        kKeepAll,    // every unsynced write reached the disk
        kTornRandom  // each 512-byte sector of each unsynced write survives at random
    };
    enum class Fault { kNone, kFailWrite, kFailSync, kCrashAtWrite, kCrashAtSync };

    FaultyFileSystem();
    ~FaultyFileSystem() override;

    // Arms a fault at the `n`th (1-based) write or sync counted from now.
    void ArmFault(Fault fault, std::uint64_t n);
    bool Crashed() const;
    // Ends a crash: rebuilds the durable state and lets I/O run again.
    void Recover(LossMode mode, std::uint32_t seed);
    std::uint64_t Writes() const;
    std::uint64_t Syncs() const;

    // Direct access for tests that damage files.
    bool ReadWhole(const std::string& path, std::vector<std::uint8_t>* content) const;
    void WriteWhole(const std::string& path, const std::vector<std::uint8_t>& content);

    Status Open(const std::string& path, OpenDisposition disposition,
                std::unique_ptr<File>* file) override;
    Status Remove(const std::string& path) override;
    Status IdentityOf(const std::string& path, FileIdentity* identity) override;
    bool Exists(const std::string& path) override;
    Status SyncDirectoryOf(const std::string& path) override;
    Status ListDirectory(const std::string& directory, std::vector<std::string>* names) override;
    Status MapShared(const std::string& path, std::size_t size,
                     std::unique_ptr<SharedMemory>* memory) override;
    Status AbsolutePath(const std::string& path, std::string* absolute) override;

    struct Node;
    class OpenNode;

private:
    struct Waiter {
        const void* owner;
        const Node* node;
        std::uint64_t start, end;
        LockMode mode;
    };

    // Counts the operation and reports whether it must fail (the lock is held).
    Status Count(Fault failKind, Fault crashKind, std::uint64_t* counter);
    Status BeforeWrite() { return Count(Fault::kFailWrite, Fault::kCrashAtWrite, &writes_); }
    Status BeforeSync() { return Count(Fault::kFailSync, Fault::kCrashAtSync, &syncs_); }
    Status Lock(const void* owner, Node& node, std::uint64_t start, std::uint64_t end,
                LockMode mode, std::uint32_t waitMilliseconds);
    void Unlock(const void* owner, Node& node, std::uint64_t start, std::uint64_t end);
    void ReleaseAll(const void* owner, Node& node);
    // True when `owner` waiting for the range would wait, directly or through other waiters,
    // for itself.
    bool WouldDeadlock(const void* owner, const Node& node, std::uint64_t start,
                       std::uint64_t end, LockMode mode) const;

    mutable std::mutex mutex_;
    std::condition_variable locksChanged_;
    std::vector<Waiter> waiters_;
    std::map<std::string, std::shared_ptr<Node>> files_;     // the visible names
    std::map<std::string, std::shared_ptr<Node>> durable_;   // the names after a crash
    std::map<std::string, std::shared_ptr<std::vector<std::uint8_t>>> shared_;
    Fault fault_ = Fault::kNone;
    std::uint64_t faultAt_ = 0;
    std::uint64_t counted_ = 0;
    std::uint64_t writes_ = 0;
    std::uint64_t syncs_ = 0;
    bool crashed_ = false;
    std::uint64_t nextIndex_ = 1;
};

}  // namespace zelmor::engine
