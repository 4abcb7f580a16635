#include "engine/src/FaultyFileSystem.h"

#include <algorithm>

namespace zelmor::engine {

struct FaultyFileSystem::Node {
    struct PendingWrite {
        std::uint64_t offset;
        std::vector<std::uint8_t> bytes;
    };
    std::uint64_t index = 0;
    std::vector<std::uint8_t> durable;
    std::vector<std::uint8_t> current;
    std::vector<PendingWrite> pending;
    std::uint64_t pendingSize = 0;  // the size the next sync makes durable
    bool sizeChanged = false;
};

namespace {

// Both separators name the same file here, as they do on Windows.
std::string Normal(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

class FaultyFile : public File {
public:
    FaultyFile(FaultyFileSystem& fs, std::shared_ptr<FaultyFileSystem::Node> node)
        : fs_(fs), node_(std::move(node)) {}

    Status Read(std::uint64_t offset, void* buffer, std::size_t size,
                std::size_t* bytesRead) override {
        if (fs_.Dead()) return Status::kIoError;
        const auto& bytes = node_->current;
        std::size_t available = offset < bytes.size() ? bytes.size() - offset : 0;
        std::size_t count = std::min(size, available);
        if (count > 0) std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count,
                                   static_cast<std::uint8_t*>(buffer));
        *bytesRead = count;
        return Status::kOk;
    }

    Status Write(std::uint64_t offset, const void* data, std::size_t size) override {
        ZELRM_TRY(fs_.BeforeWrite());
        auto& bytes = node_->current;
        if (bytes.size() < offset + size) bytes.resize(offset + size);
        const auto* source = static_cast<const std::uint8_t*>(data);
        std::copy_n(source, size, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        node_->pending.push_back({offset, std::vector<std::uint8_t>(source, source + size)});
        return Status::kOk;
    }

    Status Sync() override {
        ZELRM_TRY(fs_.BeforeSync());
        node_->durable = node_->current;
        node_->pending.clear();
        node_->sizeChanged = false;
        return Status::kOk;
    }

    Status Size(std::uint64_t* size) override {
        if (fs_.Dead()) return Status::kIoError;
        *size = node_->current.size();
        return Status::kOk;
    }

    Status Truncate(std::uint64_t size) override {
        ZELRM_TRY(fs_.BeforeWrite());
        node_->current.resize(size);
        node_->sizeChanged = true;
        node_->pendingSize = size;
        return Status::kOk;
    }

    FileIdentity Identity() const override { return {1, node_->index}; }
    bool ReadOnly() const override { return false; }

private:
    FaultyFileSystem& fs_;
    std::shared_ptr<FaultyFileSystem::Node> node_;
};

}  // namespace

FaultyFileSystem::FaultyFileSystem() = default;
FaultyFileSystem::~FaultyFileSystem() = default;

void FaultyFileSystem::ArmFault(Fault fault, std::uint64_t n) {
    fault_ = fault;
    faultAt_ = n;
    counted_ = 0;
}

Status FaultyFileSystem::Count(Fault failKind, Fault crashKind, std::uint64_t* counter) {
    if (crashed_) return Status::kIoError;
    ++*counter;
    if (fault_ != failKind && fault_ != crashKind) return Status::kOk;
    if (++counted_ != faultAt_) return Status::kOk;
    if (fault_ == crashKind) crashed_ = true;
    fault_ = Fault::kNone;
    return Status::kIoError;
}

Status FaultyFileSystem::BeforeWrite() {
    return Count(Fault::kFailWrite, Fault::kCrashAtWrite, &writes_);
}

Status FaultyFileSystem::BeforeSync() {
    return Count(Fault::kFailSync, Fault::kCrashAtSync, &syncs_);
}

void FaultyFileSystem::Recover(LossMode mode, std::uint32_t seed) {
    std::mt19937 random(seed);
    constexpr std::uint64_t kSector = 512;
    files_ = durable_;
    for (auto& [name, node] : files_) {
        std::vector<std::uint8_t> survived = node->durable;
        if (node->sizeChanged && mode != LossMode::kLoseAll) survived.resize(node->pendingSize);
        for (const auto& write : node->pending) {
            for (std::uint64_t start = 0; start < write.bytes.size(); start += kSector) {
                bool keep = mode == LossMode::kKeepAll ||
                            (mode == LossMode::kTornRandom && (random() & 1) != 0);
                if (!keep) continue;
                std::uint64_t end = std::min<std::uint64_t>(start + kSector, write.bytes.size());
                if (survived.size() < write.offset + end) survived.resize(write.offset + end);
                std::copy(write.bytes.begin() + static_cast<std::ptrdiff_t>(start),
                          write.bytes.begin() + static_cast<std::ptrdiff_t>(end),
                          survived.begin() + static_cast<std::ptrdiff_t>(write.offset + start));
            }
        }
        node->durable = survived;
        node->current = survived;
        node->pending.clear();
        node->sizeChanged = false;
    }
    crashed_ = false;
    fault_ = Fault::kNone;
}

bool FaultyFileSystem::ReadWhole(const std::string& rawPath,
                                 std::vector<std::uint8_t>* content) const {
    const std::string path = Normal(rawPath);
    auto found = files_.find(path);
    if (found == files_.end()) return false;
    *content = found->second->current;
    return true;
}

void FaultyFileSystem::WriteWhole(const std::string& rawPath,
                                  const std::vector<std::uint8_t>& content) {
    const std::string path = Normal(rawPath);
    auto& node = files_[path];
    if (!node) {
        node = std::make_shared<Node>();
        node->index = nextIndex_++;
    }
    node->current = content;
    node->durable = content;
    node->pending.clear();
    durable_[path] = node;
}

Status FaultyFileSystem::Open(const std::string& rawPath, OpenDisposition disposition,
                              std::unique_ptr<File>* file) {
    const std::string path = Normal(rawPath);
    if (crashed_) return Status::kIoError;
    if (path.empty()) return Status::kInvalidFileName;
    auto found = files_.find(path);
    bool exists = found != files_.end();
    if (disposition == OpenDisposition::kExisting && !exists) return Status::kFileNotFound;
    if (disposition == OpenDisposition::kCreateNew && exists) return Status::kFileExists;
    std::shared_ptr<Node> node;
    if (exists) {
        node = found->second;
        if (disposition == OpenDisposition::kCreateOrReplace) {
            ZELRM_TRY(BeforeWrite());
            node->current.clear();
            node->sizeChanged = true;
            node->pendingSize = 0;
        }
    } else {
        ZELRM_TRY(BeforeWrite());
        node = std::make_shared<Node>();
        node->index = nextIndex_++;
        files_[path] = node;
    }
    *file = std::make_unique<FaultyFile>(*this, node);
    return Status::kOk;
}

Status FaultyFileSystem::Remove(const std::string& rawPath) {
    const std::string path = Normal(rawPath);
    ZELRM_TRY(BeforeWrite());
    files_.erase(path);
    return Status::kOk;
}

Status FaultyFileSystem::IdentityOf(const std::string& rawPath, FileIdentity* identity) {
    const std::string path = Normal(rawPath);
    if (crashed_) return Status::kIoError;
    auto found = files_.find(path);
    if (found == files_.end()) return Status::kFileNotFound;
    *identity = {1, found->second->index};
    return Status::kOk;
}

bool FaultyFileSystem::Exists(const std::string& rawPath) {
    const std::string path = Normal(rawPath);
    return !crashed_ && files_.count(path) != 0;
}

Status FaultyFileSystem::SyncDirectoryOf(const std::string& rawPath) {
    const std::string path = Normal(rawPath);
    ZELRM_TRY(BeforeSync());
    std::string directory = DirectoryOf(path);
    auto inDirectory = [&](const std::string& name) { return DirectoryOf(name) == directory; };
    for (auto it = durable_.begin(); it != durable_.end();) {
        it = inDirectory(it->first) && files_.count(it->first) == 0 ? durable_.erase(it)
                                                                     : std::next(it);
    }
    for (const auto& [name, node] : files_)
        if (inDirectory(name)) durable_[name] = node;
    return Status::kOk;
}

Status FaultyFileSystem::ListDirectory(const std::string& rawDirectory,
                                       std::vector<std::string>* names) {
    const std::string directory = Normal(rawDirectory);
    if (crashed_) return Status::kIoError;
    names->clear();
    for (const auto& [name, node] : files_) {
        if (DirectoryOf(name) == directory) {
            std::size_t slash = name.find_last_of("/\\");
            names->push_back(slash == std::string::npos ? name : name.substr(slash + 1));
        }
    }
    return Status::kOk;
}

}  // namespace zelmor::engine
