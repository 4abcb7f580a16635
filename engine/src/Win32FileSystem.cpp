// The Win32 file layer. Paths are in the ANSI code page, as the callers pass them.
#include <windows.h>

#include <algorithm>

#include "engine/src/FileSystem.h"

namespace zelmor::engine {

namespace {

Status StatusOfError(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return Status::kFileNotFound;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return Status::kFileExists;
        case ERROR_ACCESS_DENIED:
        case ERROR_WRITE_PROTECT:
            return Status::kPermissionError;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return Status::kFileInUse;
        case ERROR_INVALID_NAME:
        case ERROR_FILENAME_EXCED_RANGE:
        case ERROR_BAD_PATHNAME:
            return Status::kInvalidFileName;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return Status::kDiskFull;
        default:
            return Status::kIoError;
    }
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return overlapped;
}

class Win32View : public FileView {
public:
    Win32View(HANDLE mapping, const void* address, std::uint64_t size)
        : mapping_(mapping), address_(address), size_(size) {}
    ~Win32View() override {
        UnmapViewOfFile(address_);
        CloseHandle(mapping_);
    }
    const std::uint8_t* Data() const override { return static_cast<const std::uint8_t*>(address_); }
    std::uint64_t Size() const override { return size_; }

private:
    HANDLE mapping_;
    const void* address_;
    std::uint64_t size_;
};

class Win32File : public File {
public:
    Win32File(HANDLE handle, bool readOnly) : handle_(handle), readOnly_(readOnly) {
        BY_HANDLE_FILE_INFORMATION info{};
        if (GetFileInformationByHandle(handle_, &info)) {
            identity_.volume = info.dwVolumeSerialNumber;
            identity_.index = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) |
                              info.nFileIndexLow;
        }
    }
    ~Win32File() override { CloseHandle(handle_); }

    Status Read(std::uint64_t offset, void* buffer, std::size_t size,
                std::size_t* bytesRead) override {
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED overlapped = At(offset + done);
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            DWORD got = 0;
            if (!ReadFile(handle_, static_cast<char*>(buffer) + done, chunk, &got, &overlapped)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                return Status::kIoError;
            }
            if (got == 0) break;
            done += got;
        }
        *bytesRead = done;
        return Status::kOk;
    }

    Status Write(std::uint64_t offset, const void* data, std::size_t size) override {
        if (readOnly_) return Status::kAccessDenied;
        std::size_t done = 0;
        while (done < size) {
            OVERLAPPED overlapped = At(offset + done);
            DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size - done, 1u << 30));
            DWORD put = 0;
            if (!WriteFile(handle_, static_cast<const char*>(data) + done, chunk, &put,
                           &overlapped)) {
                Status status = StatusOfError(GetLastError());
                return status == Status::kDiskFull ? status : Status::kIoError;
            }
            done += put;
        }
        return Status::kOk;
    }

    Status Sync() override { return FlushFileBuffers(handle_) ? Status::kOk : Status::kIoError; }

    Status Size(std::uint64_t* size) override {
        LARGE_INTEGER value{};
        if (!GetFileSizeEx(handle_, &value)) return Status::kIoError;
        *size = static_cast<std::uint64_t>(value.QuadPart);
        return Status::kOk;
    }

    Status Truncate(std::uint64_t size) override {
        if (readOnly_) return Status::kAccessDenied;
        FILE_END_OF_FILE_INFO info{};
        info.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
        return SetFileInformationByHandle(handle_, FileEndOfFileInfo, &info, sizeof info)
                   ? Status::kOk
                   : Status::kIoError;
    }

    FileIdentity Identity() const override { return identity_; }
    bool ReadOnly() const override { return readOnly_; }

    // Byte-range locks belong to the handle. Windows does not find deadlocks between waiting
    // processes, so a wait polls and gives up after the time allowed.
    Status Lock(std::uint64_t offset, std::uint64_t length, LockMode mode,
                std::uint32_t waitMilliseconds) override {
        const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY |
                            (mode == LockMode::kExclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
        const ULONGLONG start = GetTickCount64();
        DWORD pause = 1;
        for (;;) {
            OVERLAPPED overlapped = At(offset);
            if (LockFileEx(handle_, flags, 0, static_cast<DWORD>(length),
                           static_cast<DWORD>(length >> 32), &overlapped))
                return Status::kOk;
            DWORD error = GetLastError();
            if (error != ERROR_LOCK_VIOLATION && error != ERROR_IO_PENDING) return Status::kIoError;
            if (waitMilliseconds == 0) return Status::kRecordInUse;
            if (GetTickCount64() - start >= waitMilliseconds) return Status::kDeadlock;
            Sleep(pause);
            pause = pause < 16 ? pause * 2 : 16;
        }
    }

    Status Unlock(std::uint64_t offset, std::uint64_t length) override {
        OVERLAPPED overlapped = At(offset);
        return UnlockFileEx(handle_, 0, static_cast<DWORD>(length),
                            static_cast<DWORD>(length >> 32), &overlapped)
                   ? Status::kOk
                   : Status::kIoError;
    }

    // A 32-bit process keeps its address space for other things than large views.
    std::unique_ptr<FileView> MapForReading() override {
        LARGE_INTEGER size{};
        const std::uint64_t limit = sizeof(void*) < 8 ? (std::uint64_t{256} << 20) : (std::uint64_t{1} << 40);
        if (!GetFileSizeEx(handle_, &size) || size.QuadPart <= 0 ||
            static_cast<std::uint64_t>(size.QuadPart) > limit)
            return nullptr;
        HANDLE mapping = CreateFileMappingA(handle_, nullptr, PAGE_READONLY, 0, 0, nullptr);
        if (mapping == nullptr) return nullptr;
        const void* address = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
        if (address == nullptr) {
            CloseHandle(mapping);
            return nullptr;
        }
        return std::make_unique<Win32View>(mapping, address, static_cast<std::uint64_t>(size.QuadPart));
    }

private:
    HANDLE handle_;
    bool readOnly_;
    FileIdentity identity_;
};

class Win32SharedMemory : public SharedMemory {
public:
    Win32SharedMemory(HANDLE mapping, void* address) : mapping_(mapping), address_(address) {}
    ~Win32SharedMemory() override {
        UnmapViewOfFile(address_);
        CloseHandle(mapping_);
    }
    std::uint8_t* Address() override { return static_cast<std::uint8_t*>(address_); }

private:
    HANDLE mapping_;
    void* address_;
};

class Win32FileSystem : public FileSystem {
public:
    Status Open(const std::string& path, OpenDisposition disposition,
                std::unique_ptr<File>* file) override {
        DWORD creation = OPEN_EXISTING;
        switch (disposition) {
            case OpenDisposition::kExisting:
                break;
            case OpenDisposition::kCreateNew:
                creation = CREATE_NEW;
                break;
            case OpenDisposition::kCreateOrReplace:
                creation = CREATE_ALWAYS;
                break;
            case OpenDisposition::kOpenOrCreate:
                creation = OPEN_ALWAYS;
                break;
        }
        const DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
        HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr,
                                    creation, FILE_ATTRIBUTE_NORMAL, nullptr);
        bool readOnly = false;
        if (handle == INVALID_HANDLE_VALUE && GetLastError() == ERROR_ACCESS_DENIED &&
            disposition == OpenDisposition::kExisting) {
            handle = CreateFileA(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
            readOnly = true;
        }
        if (handle == INVALID_HANDLE_VALUE) return StatusOfError(GetLastError());
        if (GetFileType(handle) != FILE_TYPE_DISK) {
            CloseHandle(handle);
            return Status::kFileNotFound;
        }
        *file = std::make_unique<Win32File>(handle, readOnly);
        return Status::kOk;
    }

    Status Remove(const std::string& path) override {
        if (DeleteFileA(path.c_str())) return Status::kOk;
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return Status::kOk;
        return StatusOfError(error);
    }

    Status IdentityOf(const std::string& path, FileIdentity* identity) override {
        // Byte-range locks belong to handles here, so a short-lived handle costs nothing.
        HANDLE handle = CreateFileA(path.c_str(), 0,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return StatusOfError(GetLastError());
        BY_HANDLE_FILE_INFORMATION info{};
        bool ok = GetFileInformationByHandle(handle, &info) &&
                  (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
        CloseHandle(handle);
        if (!ok) return Status::kFileNotFound;
        identity->volume = info.dwVolumeSerialNumber;
        identity->index =
            (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
        return Status::kOk;
    }

    bool Exists(const std::string& path) override {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }

    // NTFS makes directory changes durable with its own log; there is nothing to flush.
    Status SyncDirectoryOf(const std::string&) override { return Status::kOk; }

    Status ListDirectory(const std::string& directory, std::vector<std::string>* names) override {
        std::string pattern = (directory.empty() ? std::string(".") : directory) + "\\*";
        WIN32_FIND_DATAA data{};
        HANDLE find = FindFirstFileA(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return StatusOfError(GetLastError());
        names->clear();
        do {
            names->push_back(data.cFileName);
        } while (FindNextFileA(find, &data));
        FindClose(find);
        return Status::kOk;
    }

    Status MapShared(const std::string& path, std::size_t size,
                     std::unique_ptr<SharedMemory>* memory) override {
        HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) return StatusOfError(GetLastError());
        // A mapping larger than the file makes the file that large (zero-filled).
        HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READWRITE, 0,
                                            static_cast<DWORD>(size), nullptr);
        CloseHandle(file);
        if (mapping == nullptr) return StatusOfError(GetLastError());
        void* address = MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, size);
        if (address == nullptr) {
            CloseHandle(mapping);
            return Status::kIoError;
        }
        *memory = std::make_unique<Win32SharedMemory>(mapping, address);
        return Status::kOk;
    }

    Status AbsolutePath(const std::string& path, std::string* absolute) override {
        char buffer[MAX_PATH * 2];
        DWORD length = GetFullPathNameA(path.c_str(), sizeof buffer, buffer, nullptr);
        if (length == 0 || length >= sizeof buffer) return Status::kInvalidFileName;
        absolute->assign(buffer, length);
        return Status::kOk;
    }
};

}  // namespace

FileSystem& NativeFileSystem() {
    static Win32FileSystem fileSystem;
    return fileSystem;
}

}  // namespace zelmor::engine
