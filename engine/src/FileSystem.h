// The file layer: every byte the engine reads or writes goes through these interfaces, so that
// tests can replace the real file system with one that fails or "crashes" on demand.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/src/Status.h"

namespace zelmor::engine {

// What makes two open files the same file (device and file number, or volume and index).
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    bool operator==(const FileIdentity& other) const {
        return volume == other.volume && index == other.index;
    }
};

enum class LockMode { kShared, kExclusive };

// A read-only view of a file, mapped from the system's cache of it: reading it costs no call
// into the system. It covers the file as it was when mapped.
class FileView {
public:
    virtual ~FileView() = default;
    virtual const std::uint8_t* Data() const = 0;
    virtual std::uint64_t Size() const = 0;
};

class File {
public:
    virtual ~File() = default;
    // Reads up to `size` bytes; *bytesRead is short only at the end of the file.
    virtual Status Read(std::uint64_t offset, void* buffer, std::size_t size,
                        std::size_t* bytesRead) = 0;
    virtual Status Write(std::uint64_t offset, const void* data, std::size_t size) = 0;
    // Puts every write so far on stable storage.
    virtual Status Sync() = 0;
    virtual Status Size(std::uint64_t* size) = 0;
    virtual Status Truncate(std::uint64_t size) = 0;
    virtual FileIdentity Identity() const = 0;
    // True when the file could only be opened for reading.
    virtual bool ReadOnly() const = 0;

    // Byte-range locks between processes, owned by this open file (one per file per process).
    // Locks of one owner never conflict with each other, and an owner never asks twice for a
    // range it holds. With `waitMilliseconds` 0 a conflicting lock gives kRecordInUse at once;
    // otherwise the call waits until the range is free, or gives kDeadlock when the waiting
    // could never end (where the system cannot tell, after waiting that long).
    virtual Status Lock(std::uint64_t offset, std::uint64_t length, LockMode mode,
                        std::uint32_t waitMilliseconds) = 0;
    virtual Status Unlock(std::uint64_t offset, std::uint64_t length) = 0;

    // A view of the whole file as it is now; null where none can be had (callers then Read).
    virtual std::unique_ptr<FileView> MapForReading() { return nullptr; }
};

// A small file mapped into memory and shared by every process that maps it.
class SharedMemory {
public:
    virtual ~SharedMemory() = default;
    // Page-aligned, zero-filled when the file was created.
    virtual std::uint8_t* Address() = 0;
};

enum class OpenDisposition {
    kExisting,         // the file must exist (kFileNotFound otherwise)
    kCreateNew,        // the file must not exist (kFileExists otherwise)
    kCreateOrReplace,  // an existing file is emptied
    kOpenOrCreate,
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // Opens for reading and writing, or for reading only when writing is not permitted.
    virtual Status Open(const std::string& path, OpenDisposition disposition,
                        std::unique_ptr<File>* file) = 0;
    virtual Status Remove(const std::string& path) = 0;
    // The identity of an existing file, found without opening it (on POSIX a second descriptor
    // would lose the process's locks on the file when closed).
    virtual Status IdentityOf(const std::string& path, FileIdentity* identity) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Makes the creation or removal of files in the folder of `path` durable.
    virtual Status SyncDirectoryOf(const std::string& path) = 0;
    // The names (without folder) of the entries of a folder.
    virtual Status ListDirectory(const std::string& directory,
                                 std::vector<std::string>* names) = 0;
    // Maps `size` bytes of the file at `path`, creating it when it does not exist.
    virtual Status MapShared(const std::string& path, std::size_t size,
                             std::unique_ptr<SharedMemory>* memory) = 0;
    // The path from the root, so that another process (with another working folder) finds the
    // same file by it.
    virtual Status AbsolutePath(const std::string& path, std::string* absolute) = 0;
};

// The operating system's file system (POSIX or Win32), shared by the whole process.
FileSystem& NativeFileSystem();

// The folder part of a path ("." when there is none); both separators count.
std::string DirectoryOf(const std::string& path);

}  // namespace zelmor::engine
