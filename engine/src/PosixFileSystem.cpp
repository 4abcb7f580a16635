// The POSIX file layer.
#include <dirent.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <limits>
#include <memory>

#include "engine/src/FileSystem.h"

namespace zelmor::engine {

namespace {

Status StatusOfErrno(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
            return Status::kFileNotFound;
        case EEXIST:
            return Status::kFileExists;
        case EACCES:
        case EPERM:
        case EROFS:
            return Status::kPermissionError;
        case ENAMETOOLONG:
        case EISDIR:
            return Status::kInvalidFileName;
        case ENOSPC:
        case EFBIG:
            return Status::kDiskFull;
        default:
            return Status::kIoError;
    }
}

class PosixView : public FileView {
public:
    PosixView(void* address, std::uint64_t size) : address_(address), size_(size) {}
    ~PosixView() override { munmap(address_, size_); }
    const std::uint8_t* Data() const override { return static_cast<const std::uint8_t*>(address_); }
    std::uint64_t Size() const override { return size_; }

private:
    void* address_;
    std::uint64_t size_;
};

class PosixFile : public File {
public:
    PosixFile(int fd, bool readOnly) : fd_(fd), readOnly_(readOnly) {
        struct stat info {};
        if (fstat(fd_, &info) == 0) {
            identity_.volume = static_cast<std::uint64_t>(info.st_dev);
            identity_.index = static_cast<std::uint64_t>(info.st_ino);
        }
    }
    ~PosixFile() override { close(fd_); }

    Status Read(std::uint64_t offset, void* buffer, std::size_t size,
                std::size_t* bytesRead) override {
        std::size_t done = 0;
        while (done < size) {
            ssize_t got = pread(fd_, static_cast<char*>(buffer) + done, size - done,
                                static_cast<off_t>(offset + done));
            if (got < 0) {
                if (errno == EINTR) continue;
                return Status::kIoError;
            }
            if (got == 0) break;
            done += static_cast<std::size_t>(got);
        }
        *bytesRead = done;
        return Status::kOk;
    }

    Status Write(std::uint64_t offset, const void* data, std::size_t size) override {
        if (readOnly_) return Status::kAccessDenied;
        std::size_t done = 0;
        while (done < size) {
            ssize_t put = pwrite(fd_, static_cast<const char*>(data) + done, size - done,
                                 static_cast<off_t>(offset + done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return StatusOfErrno(errno) == Status::kDiskFull ? Status::kDiskFull
                                                                 : Status::kIoError;
            }
            done += static_cast<std::size_t>(put);
        }
        return Status::kOk;
    }

    Status Sync() override {
#if defined(__APPLE__)
        return fcntl(fd_, F_FULLFSYNC) == 0 ? Status::kOk : Status::kIoError;
#else
        return fdatasync(fd_) == 0 ? Status::kOk : Status::kIoError;
#endif
    }

    Status Size(std::uint64_t* size) override {
        struct stat info {};
        if (fstat(fd_, &info) != 0) return Status::kIoError;
        *size = static_cast<std::uint64_t>(info.st_size);
        return Status::kOk;
    }

    Status Truncate(std::uint64_t size) override {
        if (readOnly_) return Status::kAccessDenied;
        return ftruncate(fd_, static_cast<off_t>(size)) == 0 ? Status::kOk : Status::kIoError;
    }

    FileIdentity Identity() const override { return identity_; }
    bool ReadOnly() const override { return readOnly_; }

    // Record locks (fcntl) belong to the process; the kernel finds deadlocks between waiting
    // processes, so a wait is never cut short.
    Status Lock(std::uint64_t offset, std::uint64_t length, LockMode mode,
                std::uint32_t waitMilliseconds) override {
        struct flock range = RangeOf(offset, length);
        range.l_type = static_cast<short>(mode == LockMode::kShared ? F_RDLCK : F_WRLCK);
        if (readOnly_ && mode == LockMode::kExclusive) {
            // A file open for reading only cannot take a write lock (EBADF). Its reader never
            // writes: it takes a read lock, which keeps every writer's lock out all the same,
            // after asking whether a write lock would be granted, so that a probe (no wait)
            // still finds the other processes that have the file open.
            if (waitMilliseconds == 0) {
                struct flock test = range;
                if (fcntl(fd_, F_GETLK, &test) != 0) return Status::kIoError;
                if (test.l_type != F_UNLCK) return Status::kRecordInUse;
            }
            range.l_type = F_RDLCK;
        }
        const int command = waitMilliseconds > 0 ? F_SETLKW : F_SETLK;
        while (fcntl(fd_, command, &range) != 0) {
            if (errno == EINTR) continue;
            if (errno == EDEADLK) return Status::kDeadlock;
            if (errno == EAGAIN || errno == EACCES) return Status::kRecordInUse;
            return Status::kIoError;
        }
        return Status::kOk;
    }

    Status Unlock(std::uint64_t offset, std::uint64_t length) override {
        struct flock range = RangeOf(offset, length);
        range.l_type = F_UNLCK;
        return fcntl(fd_, F_SETLK, &range) == 0 ? Status::kOk : Status::kIoError;
    }

    // Files are never made shorter while open, so that the view never reaches past the end.
    std::unique_ptr<FileView> MapForReading() override {
        struct stat info {};
        if (fstat(fd_, &info) != 0 || info.st_size <= 0 ||
            static_cast<std::uint64_t>(info.st_size) > std::numeric_limits<std::size_t>::max() / 2)
            return nullptr;
        const auto size = static_cast<std::size_t>(info.st_size);
        void* address = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd_, 0);
        if (address == MAP_FAILED) return nullptr;
        return std::make_unique<PosixView>(address, size);
    }

private:
    static struct flock RangeOf(std::uint64_t offset, std::uint64_t length) {
        struct flock range {};
        range.l_whence = SEEK_SET;
        range.l_start = static_cast<off_t>(offset);
        range.l_len = static_cast<off_t>(length);
        return range;
    }

    int fd_;
    bool readOnly_;
    FileIdentity identity_;
};

class PosixSharedMemory : public SharedMemory {
public:
    PosixSharedMemory(void* address, std::size_t size) : address_(address), size_(size) {}
    ~PosixSharedMemory() override { munmap(address_, size_); }
    std::uint8_t* Address() override { return static_cast<std::uint8_t*>(address_); }

private:
    void* address_;
    std::size_t size_;
};

class PosixFileSystem : public FileSystem {
public:
    Status Open(const std::string& path, OpenDisposition disposition,
                std::unique_ptr<File>* file) override {
        int flags = O_RDWR | O_CLOEXEC;
        switch (disposition) {
            case OpenDisposition::kExisting:
                break;
            case OpenDisposition::kCreateNew:
                flags |= O_CREAT | O_EXCL;
                break;
            case OpenDisposition::kCreateOrReplace:
                flags |= O_CREAT | O_TRUNC;
                break;
            case OpenDisposition::kOpenOrCreate:
                flags |= O_CREAT;
                break;
        }
        int fd = open(path.c_str(), flags, 0666);
        bool readOnly = false;
        if (fd < 0 && (errno == EACCES || errno == EROFS) &&
            disposition == OpenDisposition::kExisting) {
            fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
            readOnly = true;
        }
        if (fd < 0) return StatusOfErrno(errno);
        struct stat info {};
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            close(fd);
            return Status::kFileNotFound;
        }
        *file = std::make_unique<PosixFile>(fd, readOnly);
        return Status::kOk;
    }

    Status Remove(const std::string& path) override {
        if (unlink(path.c_str()) == 0 || errno == ENOENT) return Status::kOk;
        return StatusOfErrno(errno);
    }

    Status IdentityOf(const std::string& path, FileIdentity* identity) override {
        struct stat info {};
        if (stat(path.c_str(), &info) != 0) return StatusOfErrno(errno);
        if (!S_ISREG(info.st_mode)) return Status::kFileNotFound;
        identity->volume = static_cast<std::uint64_t>(info.st_dev);
        identity->index = static_cast<std::uint64_t>(info.st_ino);
        return Status::kOk;
    }

    bool Exists(const std::string& path) override {
        struct stat info {};
        return stat(path.c_str(), &info) == 0;
    }

    Status SyncDirectoryOf(const std::string& path) override {
        int fd = open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return Status::kIoError;
        int result = fsync(fd);
        close(fd);
        return result == 0 ? Status::kOk : Status::kIoError;
    }

    Status ListDirectory(const std::string& directory, std::vector<std::string>* names) override {
        // Closed however the listing ends, a failed allocation included.
        std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(directory.empty() ? "." : directory.c_str()),
                                                closedir);
        if (!dir) return StatusOfErrno(errno);
        names->clear();
        while (struct dirent* entry = readdir(dir.get())) names->push_back(entry->d_name);
        return Status::kOk;
    }

    Status MapShared(const std::string& path, std::size_t size,
                     std::unique_ptr<SharedMemory>* memory) override {
        int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0) return StatusOfErrno(errno);
        struct stat info {};
        Status status = Status::kOk;
        if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
            status = Status::kIoError;
        } else if (static_cast<std::uint64_t>(info.st_size) < size &&
                   ftruncate(fd, static_cast<off_t>(size)) != 0) {
            status = StatusOfErrno(errno);
        }
        void* address = MAP_FAILED;
        if (Succeeded(status)) {
            address = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
            if (address == MAP_FAILED) status = Status::kIoError;
        }
        close(fd);  // the mapping stays; no lock is ever taken on this file
        if (Failed(status)) return status;
        *memory = std::make_unique<PosixSharedMemory>(address, size);
        return Status::kOk;
    }

    Status AbsolutePath(const std::string& path, std::string* absolute) override {
        if (!path.empty() && path[0] == '/') {
            *absolute = path;
            return Status::kOk;
        }
        char folder[PATH_MAX];
        if (getcwd(folder, sizeof folder) == nullptr) return Status::kIoError;
        *absolute = std::string(folder) + "/" + path;
        return Status::kOk;
    }
};

}  // namespace

FileSystem& NativeFileSystem() {
    static PosixFileSystem fileSystem;
    return fileSystem;
}

}  // namespace zelmor::engine
