#include "engine/tests/FaultyFileSystem.h"

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
    struct HeldLock {
        const void* owner;
        std::uint64_t start, end;  // [start, end)
        LockMode mode;
    };
    std::vector<HeldLock> locks;
};

namespace {

// Both separators name the same file here, as they do on Windows.
std::string Normal(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

bool Overlaps(std::uint64_t a, std::uint64_t b, std::uint64_t c, std::uint64_t d) {
    return a < d && c < b;
}

class SharedBuffer : public SharedMemory {
public:
    explicit SharedBuffer(std::shared_ptr<std::vector<std::uint8_t>> bytes)
        : bytes_(std::move(bytes)) {}
    std::uint8_t* Address() override { return bytes_->data(); }

private:
    std::shared_ptr<std::vector<std::uint8_t>> bytes_;
};

}  // namespace

// An open file: it owns the locks taken through it.
class FaultyFileSystem::OpenNode : public File {
public:
    OpenNode(FaultyFileSystem& fs, std::shared_ptr<Node> node) : fs_(fs), node_(std::move(node)) {}
    ~OpenNode() override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        fs_.ReleaseAll(this, *node_);
    }

    Status Read(std::uint64_t offset, void* buffer, std::size_t size,
                std::size_t* bytesRead) override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        if (fs_.crashed_) return Status::kIoError;
        const auto& bytes = node_->current;
        std::size_t available = offset < bytes.size() ? bytes.size() - offset : 0;
        std::size_t count = std::min(size, available);
        if (count > 0) std::copy_n(bytes.begin() + static_cast<std::ptrdiff_t>(offset), count,
                                   static_cast<std::uint8_t*>(buffer));
        *bytesRead = count;
        return Status::kOk;
    }

    Status Write(std::uint64_t offset, const void* data, std::size_t size) override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        ZELRM_TRY(fs_.BeforeWrite());
        auto& bytes = node_->current;
        if (bytes.size() < offset + size) bytes.resize(offset + size);
        const auto* source = static_cast<const std::uint8_t*>(data);
        std::copy_n(source, size, bytes.begin() + static_cast<std::ptrdiff_t>(offset));
        node_->pending.push_back({offset, std::vector<std::uint8_t>(source, source + size)});
        return Status::kOk;
    }

    Status Sync() override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        ZELRM_TRY(fs_.BeforeSync());
        node_->durable = node_->current;
        node_->pending.clear();
        node_->sizeChanged = false;
        return Status::kOk;
    }

    Status Size(std::uint64_t* size) override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        if (fs_.crashed_) return Status::kIoError;
        *size = node_->current.size();
        return Status::kOk;
    }

    Status Truncate(std::uint64_t size) override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        ZELRM_TRY(fs_.BeforeWrite());
        node_->current.resize(size);
        node_->sizeChanged = true;
        node_->pendingSize = size;
        return Status::kOk;
    }

    FileIdentity Identity() const override { return {1, node_->index}; }
    bool ReadOnly() const override { return false; }

    Status Lock(std::uint64_t offset, std::uint64_t length, LockMode mode,
                std::uint32_t waitMilliseconds) override {
        return fs_.Lock(this, *node_, offset, offset + length, mode, waitMilliseconds);
    }

    Status Unlock(std::uint64_t offset, std::uint64_t length) override {
        std::lock_guard<std::mutex> lock(fs_.mutex_);
        fs_.Unlock(this, *node_, offset, offset + length);
        return Status::kOk;
    }

private:
    FaultyFileSystem& fs_;
    std::shared_ptr<Node> node_;
};

FaultyFileSystem::FaultyFileSystem() = default;
FaultyFileSystem::~FaultyFileSystem() = default;

void FaultyFileSystem::ArmFault(Fault fault, std::uint64_t n) {
    std::lock_guard<std::mutex> lock(mutex_);
    fault_ = fault;
    faultAt_ = n;
    counted_ = 0;
}

bool FaultyFileSystem::Crashed() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return crashed_;
}

std::uint64_t FaultyFileSystem::Writes() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return writes_;
}

std::uint64_t FaultyFileSystem::Syncs() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return syncs_;
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

void FaultyFileSystem::Recover(LossMode mode, std::uint32_t seed) {
    std::lock_guard<std::mutex> lock(mutex_);
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
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = files_.find(Normal(rawPath));
    if (found == files_.end()) return false;
    *content = found->second->current;
    return true;
}

void FaultyFileSystem::WriteWhole(const std::string& rawPath,
                                  const std::vector<std::uint8_t>& content) {
    std::lock_guard<std::mutex> lock(mutex_);
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
    std::lock_guard<std::mutex> lock(mutex_);
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
    *file = std::make_unique<OpenNode>(*this, node);
    return Status::kOk;
}

Status FaultyFileSystem::Remove(const std::string& rawPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    const std::string path = Normal(rawPath);
    ZELRM_TRY(BeforeWrite());
    files_.erase(path);
    shared_.erase(path);
    return Status::kOk;
}

Status FaultyFileSystem::IdentityOf(const std::string& rawPath, FileIdentity* identity) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (crashed_) return Status::kIoError;
    auto found = files_.find(Normal(rawPath));
    if (found == files_.end()) return Status::kFileNotFound;
    *identity = {1, found->second->index};
    return Status::kOk;
}

bool FaultyFileSystem::Exists(const std::string& rawPath) {
    std::lock_guard<std::mutex> lock(mutex_);
    return !crashed_ && files_.count(Normal(rawPath)) != 0;
}

Status FaultyFileSystem::SyncDirectoryOf(const std::string& rawPath) {
    std::lock_guard<std::mutex> lock(mutex_);
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
    std::lock_guard<std::mutex> lock(mutex_);
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

// Shared memory is not a file here: it lives as long as a name or a mapping refers to it, and
// a crash leaves it as it was (as the memory of a machine that keeps running would).
Status FaultyFileSystem::MapShared(const std::string& rawPath, std::size_t size,
                                   std::unique_ptr<SharedMemory>* memory) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (crashed_) return Status::kIoError;
    auto& bytes = shared_[Normal(rawPath)];
    if (!bytes) bytes = std::make_shared<std::vector<std::uint8_t>>();
    if (bytes->size() < size) bytes->resize(size);
    *memory = std::make_unique<SharedBuffer>(bytes);
    return Status::kOk;
}

Status FaultyFileSystem::AbsolutePath(const std::string& path, std::string* absolute) {
    *absolute = Normal(path);
    return Status::kOk;
}

bool FaultyFileSystem::WouldDeadlock(const void* owner, const Node& node, std::uint64_t start,
                                     std::uint64_t end, LockMode mode) const {
    // Follow the holders we would wait for, and what each of them waits for in turn.
    std::vector<const void*> pending;
    std::vector<const void*> seen;
    auto blockersOf = [&](const void* waiter, const Node& on, std::uint64_t from,
                          std::uint64_t to, LockMode wanted) {
        for (const auto& held : on.locks) {
            if (held.owner == waiter || !Overlaps(held.start, held.end, from, to)) continue;
            if (wanted == LockMode::kShared && held.mode == LockMode::kShared) continue;
            pending.push_back(held.owner);
        }
    };
    blockersOf(owner, node, start, end, mode);
    while (!pending.empty()) {
        const void* holder = pending.back();
        pending.pop_back();
        if (holder == owner) return true;
        if (std::find(seen.begin(), seen.end(), holder) != seen.end()) continue;
        seen.push_back(holder);
        for (const Waiter& waiter : waiters_)
            if (waiter.owner == holder)
                blockersOf(holder, *waiter.node, waiter.start, waiter.end, waiter.mode);
    }
    return false;
}

Status FaultyFileSystem::Lock(const void* owner, Node& node, std::uint64_t start,
                              std::uint64_t end, LockMode mode, std::uint32_t waitMilliseconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    auto conflicts = [&] {
        for (const auto& held : node.locks) {
            if (held.owner == owner || !Overlaps(held.start, held.end, start, end)) continue;
            if (mode == LockMode::kExclusive || held.mode == LockMode::kExclusive) return true;
        }
        return false;
    };
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
    while (conflicts()) {
        if (crashed_) return Status::kIoError;
        if (waitMilliseconds == 0) return Status::kRecordInUse;
        if (WouldDeadlock(owner, node, start, end, mode)) return Status::kDeadlock;
        waiters_.push_back({owner, &node, start, end, mode});
        const bool timedOut = locksChanged_.wait_until(lock, deadline) == std::cv_status::timeout;
        waiters_.erase(std::find_if(waiters_.begin(), waiters_.end(),
                                    [&](const Waiter& w) { return w.owner == owner; }));
        if (timedOut && conflicts()) return Status::kDeadlock;
    }
    if (crashed_) return Status::kIoError;
    node.locks.push_back({owner, start, end, mode});
    return Status::kOk;
}

void FaultyFileSystem::Unlock(const void* owner, Node& node, std::uint64_t start,
                              std::uint64_t end) {
    auto& locks = node.locks;
    locks.erase(std::remove_if(locks.begin(), locks.end(),
                               [&](const Node::HeldLock& held) {
                                   return held.owner == owner && held.start >= start &&
                                          held.end <= end;
                               }),
                locks.end());
    locksChanged_.notify_all();
}

void FaultyFileSystem::ReleaseAll(const void* owner, Node& node) {
    Unlock(owner, node, 0, ~std::uint64_t{0});
}

}  // namespace zelmor::engine
