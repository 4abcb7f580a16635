// The operating system's files without syncs, for tests of many processes at once: a killed
// process loses nothing the system has seen, and syncs would only make them slow.
#pragma once

#include "engine/src/FileSystem.h"

namespace zelmor::engine::testing {

class UnsyncedFileSystem : public FileSystem {
public:
    Status Open(const std::string& path, OpenDisposition disposition,
                std::unique_ptr<File>* file) override {
        std::unique_ptr<File> real;
        ZELRM_TRY(native_.Open(path, disposition, &real));
        *file = std::make_unique<UnsyncedFile>(std::move(real));
        return Status::kOk;
    }
    Status Remove(const std::string& path) override { return native_.Remove(path); }
    Status IdentityOf(const std::string& path, FileIdentity* identity) override {
        return native_.IdentityOf(path, identity);
    }
    bool Exists(const std::string& path) override { return native_.Exists(path); }
    Status SyncDirectoryOf(const std::string&) override { return Status::kOk; }
    Status ListDirectory(const std::string& directory, std::vector<std::string>* names) override {
        return native_.ListDirectory(directory, names);
    }
    Status MapShared(const std::string& path, std::size_t size,
                     std::unique_ptr<SharedMemory>* memory) override {
        return native_.MapShared(path, size, memory);
    }
    Status AbsolutePath(const std::string& path, std::string* absolute) override {
        return native_.AbsolutePath(path, absolute);
    }

private:
    class UnsyncedFile : public File {
    public:
        explicit UnsyncedFile(std::unique_ptr<File> file) : file_(std::move(file)) {}
        Status Read(std::uint64_t offset, void* buffer, std::size_t size,
                    std::size_t* bytesRead) override {
            return file_->Read(offset, buffer, size, bytesRead);
        }
        Status Write(std::uint64_t offset, const void* data, std::size_t size) override {
            return file_->Write(offset, data, size);
        }
        Status Sync() override { return Status::kOk; }
        Status Size(std::uint64_t* size) override { return file_->Size(size); }
        Status Truncate(std::uint64_t size) override { return file_->Truncate(size); }
        FileIdentity Identity() const override { return file_->Identity(); }
        bool ReadOnly() const override { return file_->ReadOnly(); }
        Status Lock(std::uint64_t offset, std::uint64_t length, LockMode mode,
                    std::uint32_t waitMilliseconds) override {
            return file_->Lock(offset, length, mode, waitMilliseconds);
        }
        Status Unlock(std::uint64_t offset, std::uint64_t length) override {
            return file_->Unlock(offset, length);
        }

    private:
        std::unique_ptr<File> file_;
    };

    FileSystem& native_ = NativeFileSystem();
};

}  // namespace zelmor::engine::testing
