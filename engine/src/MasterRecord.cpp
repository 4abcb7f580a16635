#include "engine/src/MasterRecord.h"

#include <cstdio>
#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Checksum.h"
#include "engine/src/Format.h"

namespace zelmor::engine {

namespace {

constexpr std::size_t kMaxFiles = 4096;
constexpr std::size_t kMaxPath = 4096;
constexpr const char* kSuffix = ".zlm";

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool Read(FileSystem& fileSystem, const std::string& path, std::uint64_t* id,
          std::vector<std::string>* files) {
    if (!fileSystem.Exists(path)) return false;
    std::unique_ptr<File> file;
    std::uint64_t size = 0;
    if (Failed(fileSystem.Open(path, OpenDisposition::kExisting, &file)) ||
        Failed(file->Size(&size)) || size < 24 || size > kMaxFiles * (4 + kMaxPath))
        return false;
    std::vector<std::uint8_t> bytes(size);
    std::size_t got = 0;
    if (Failed(file->Read(0, bytes.data(), bytes.size(), &got)) || got != bytes.size())
        return false;
    if (std::memcmp(bytes.data(), format::kMasterMagic, sizeof format::kMasterMagic) != 0)
        return false;
    *id = Load64(bytes.data() + 8);
    const std::size_t summed = bytes.size() - 4;
    if (Load32(bytes.data() + summed) !=
        Checksum(bytes.data(), summed, static_cast<std::uint32_t>(*id)))
        return false;
    const std::uint32_t count = Load32(bytes.data() + 16);
    std::size_t at = 20;
    files->clear();
    for (std::uint32_t i = 0; i < count; ++i) {
        if (at + 4 > summed) return false;
        const std::uint32_t length = Load32(bytes.data() + at);
        at += 4;
        if (length > summed - at) return false;
        files->emplace_back(reinterpret_cast<const char*>(bytes.data() + at), length);
        at += length;
    }
    return at == summed;
}

}  // namespace

std::string MasterRecord::PathFor(const std::string& firstFile, std::uint64_t id) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(id));
    return firstFile + "." + hex + kSuffix;
}

Status MasterRecord::Write(FileSystem& fileSystem, const MasterReference& master,
                           const std::vector<std::string>& files) {
    std::vector<std::uint8_t> bytes(20);
    std::memcpy(bytes.data(), format::kMasterMagic, sizeof format::kMasterMagic);
    Store64(bytes.data() + 8, master.id);
    Store32(bytes.data() + 16, static_cast<std::uint32_t>(files.size()));
    for (const std::string& path : files) {
        std::uint8_t length[4];
        Store32(length, static_cast<std::uint32_t>(path.size()));
        bytes.insert(bytes.end(), length, length + 4);
        bytes.insert(bytes.end(), path.begin(), path.end());
    }
    std::uint8_t sum[4];
    Store32(sum, Checksum(bytes.data(), bytes.size(), static_cast<std::uint32_t>(master.id)));
    bytes.insert(bytes.end(), sum, sum + 4);
    std::unique_ptr<File> file;
    ZELRM_TRY(fileSystem.Open(master.path, OpenDisposition::kCreateOrReplace, &file));
    ZELRM_TRY(file->Write(0, bytes.data(), bytes.size()));
    ZELRM_TRY(file->Sync());
    return fileSystem.SyncDirectoryOf(master.path);
}

bool MasterRecord::Exists(FileSystem& fileSystem, const MasterReference& master,
                          std::vector<std::string>* files) {
    std::uint64_t id = 0;
    std::vector<std::string> names;
    if (!Read(fileSystem, master.path, &id, &names) || id != master.id) return false;
    if (files != nullptr) *files = std::move(names);
    return true;
}

void MasterRecord::RemoveIfDone(FileSystem& fileSystem, const MasterReference& master) {
    std::vector<std::string> files;
    if (!Exists(fileSystem, master, &files)) return;
    for (const std::string& file : files) {
        MasterReference named;
        if (Journal::ReadReference(fileSystem, file + ".zlj", &named) && named == master) return;
    }
    fileSystem.Remove(master.path);
}

void MasterRecord::RemoveLeftovers(FileSystem& fileSystem, const std::string& file) {
    std::vector<std::string> names;
    if (Failed(fileSystem.ListDirectory(DirectoryOf(file), &names))) return;
    const std::string prefix = BaseName(file) + ".";
    const std::string folder = file.substr(0, file.size() - BaseName(file).size());
    for (const std::string& name : names) {
        if (name.size() <= prefix.size() + std::strlen(kSuffix) ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            name.compare(name.size() - std::strlen(kSuffix), std::string::npos, kSuffix) != 0)
            continue;
        MasterReference master;
        master.path = folder + name;
        std::vector<std::string> files;
        if (!Read(fileSystem, master.path, &master.id, &files)) {
            fileSystem.Remove(master.path);  // never completed: no journal can need it
            continue;
        }
        RemoveIfDone(fileSystem, master);
    }
}

}  // namespace zelmor::engine
