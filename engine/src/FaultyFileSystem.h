// An in-memory file system for tests that can fail, or "crash", at the Nth write or sync.
//
// Each file keeps its durable content (what survives a crash) and the writes made since its
// last sync. A crash stops all I/O (every call fails) until Recover(), which rebuilds every file
// from its durable content plus the unsynced writes the chosen LossMode lets through, sector by
// sector. Creations and removals are durable only after SyncDirectoryOf.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
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
    bool Crashed() const { return crashed_; }
    // Ends a crash: rebuilds the durable state and lets I/O run again.
    void Recover(LossMode mode, std::uint32_t seed);
    std::uint64_t Writes() const { return writes_; }
    std::uint64_t Syncs() const { return syncs_; }

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

    struct Node;
    // Called by the files: counts the operation and reports whether it must fail.
    Status BeforeWrite();
    Status BeforeSync();
    bool Dead() const { return crashed_; }

private:
    Status Count(Fault failKind, Fault crashKind, std::uint64_t* counter);

    std::map<std::string, std::shared_ptr<Node>> files_;     // the visible names
    std::map<std::string, std::shared_ptr<Node>> durable_;   // the names after a crash
    Fault fault_ = Fault::kNone;
    std::uint64_t faultAt_ = 0;
    std::uint64_t counted_ = 0;
    std::uint64_t writes_ = 0;
    std::uint64_t syncs_ = 0;
    bool crashed_ = false;
    std::uint64_t nextIndex_ = 1;
};

}  // namespace zelmor::engine
