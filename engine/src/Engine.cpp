#include "engine/src/Engine.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/src/Bytes.h"

namespace zelmor::engine {

namespace {

constexpr std::uint64_t kBlockMagic = 0x314B4C424D524C5AULL;  // "ZLRMBLK1"
constexpr std::size_t kMaxPath = 1024;

// Operations that take a lock bias.
bool TakesLockBias(int op) {
    return (op >= ZELRM_OP_GET_EQUAL && op <= ZELRM_OP_GET_LAST) ||
           (op >= ZELRM_OP_GET_POSITION && op <= ZELRM_OP_STEP_NEXT) ||
           (op >= ZELRM_OP_STEP_FIRST && op <= ZELRM_OP_STEP_PREVIOUS_EXTENDED) ||
           op == ZELRM_OP_GET_BY_PERCENTAGE || op == ZELRM_OP_FIND_PERCENTAGE;
}

// A path from a key buffer: up to the first zero byte or keyLength bytes, trailing blanks off,
// with "\" turned into "/" where that is the separator.
std::string PathFrom(const Request& request) {
    if (request.key == nullptr) return {};
    std::size_t length = 0;
    while (length < request.keyLength && request.key[length] != 0) ++length;
    std::string path(reinterpret_cast<const char*>(request.key), length);
    while (!path.empty() && path.back() == ' ') path.pop_back();
#ifndef _WIN32
    for (char& c : path)
        if (c == '\\') c = '/';
#endif
    return path;
}

// An owner name: up to 8 bytes, ending at a zero byte.
std::size_t OwnerNameLength(const std::uint8_t* name, std::size_t limit) {
    std::size_t length = 0;
    while (length < limit && length < format::kOwnerNameSize && name[length] != 0) ++length;
    return length;
}

}  // namespace

Engine::Engine(FileSystem& fileSystem, EngineOptions options)
    : fileSystem_(fileSystem), options_(options) {
    // Blocks of another client (or of an earlier run) never pass for ours.
    blockMagic_ = kBlockMagic ^ static_cast<std::uint64_t>(
                                    std::chrono::steady_clock::now().time_since_epoch().count()) ^
                  reinterpret_cast<std::uintptr_t>(this);
}

Engine::~Engine() { Reset(); }

std::int16_t Engine::Call(std::uint16_t op, void* block, void* data, std::uint32_t* dataLength,
                          void* key, std::uint8_t keyLength, std::int8_t keyNumber) {
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        return CallLocked(op, block, data, dataLength, key, keyLength, keyNumber);
    } catch (const std::bad_alloc&) {
        // Changes are guarded in Apply; a read or an open that runs out of memory just fails.
        return static_cast<std::int16_t>(Status::kIoError);
    }
}

std::int16_t Engine::CallLocked(std::uint16_t op, void* block, void* data,
                                std::uint32_t* dataLength, void* key, std::uint8_t keyLength,
                                std::int8_t keyNumber) {
    Request request;
    request.op = op;
    if (op >= 1000 && (op - 1000) % 100 == 19 && op <= 1519) {
        request.op = ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION;
        request.bias = op - 1019;
    } else if (op >= 100 && op < 500) {
        request.op = op % 100;
        request.bias = op - request.op;
        if (!TakesLockBias(request.op) && request.op != ZELRM_OP_BEGIN_TRANSACTION)
            return static_cast<std::int16_t>(Status::kInvalidOperation);
    }
    request.block = static_cast<std::uint8_t*>(block);
    request.data = static_cast<std::uint8_t*>(data);
    request.dataLength = dataLength;
    request.capacity = dataLength != nullptr && data != nullptr ? *dataLength : 0;
    request.key = static_cast<std::uint8_t*>(key);
    request.keyLength = key != nullptr ? keyLength : 0;
    request.keyNumber = keyNumber;
    LetWaitingWritersIn();
    Status status = Dispatch(request);
    for (const auto& file : files_) file->table->pager().Trim(options_.cachePages);
    return static_cast<std::int16_t>(status);
}

Cursor* Engine::CursorOf(const std::uint8_t* block) {
    if (block == nullptr) return nullptr;
    if (Load64(block) != blockMagic_) return nullptr;
    std::uint32_t slot = Load32(block + 8);
    std::uint32_t generation = Load32(block + 12);
    if (slot >= cursors_.size() || !cursors_[slot] || cursors_[slot]->generation != generation)
        return nullptr;
    return cursors_[slot].get();
}

Status Engine::Dispatch(Request& request) {
    switch (request.op) {
        case ZELRM_OP_OPEN:
            return Open(request);
        case ZELRM_OP_CREATE:
            return Create(request);
        case ZELRM_OP_VERSION:
            return Version(request);
        case ZELRM_OP_RESET:
            return Reset();
        case ZELRM_OP_BEGIN_TRANSACTION:
        case ZELRM_OP_BEGIN_CONCURRENT_TRANSACTION:
            return BeginTransaction(request);
        case ZELRM_OP_END_TRANSACTION:
            return EndTransaction();
        case ZELRM_OP_ABORT_TRANSACTION:
            return AbortTransaction();
        default:
            break;
    }
    Operation read = nullptr;
    Operation change = nullptr;
    switch (request.op) {
        case ZELRM_OP_CLOSE:
        case ZELRM_OP_UNLOCK:
            break;
        case ZELRM_OP_INSERT:
            change = &Engine::Insert;
            break;
        case ZELRM_OP_UPDATE:
            change = &Engine::Update;
            break;
        case ZELRM_OP_DELETE:
            change = &Engine::Delete;
            break;
        case ZELRM_OP_SET_OWNER:
            change = &Engine::SetOwner;
            break;
        case ZELRM_OP_CLEAR_OWNER:
            change = &Engine::ClearOwner;
            break;
        case ZELRM_OP_STAT:
            read = &Engine::Stat;
            break;
        case ZELRM_OP_GET_POSITION:
            read = &Engine::GetPosition;
            break;
        case ZELRM_OP_GET_DIRECT:
            read = &Engine::GetDirect;
            break;
        case ZELRM_OP_STEP_NEXT:
        case ZELRM_OP_STEP_FIRST:
        case ZELRM_OP_STEP_LAST:
        case ZELRM_OP_STEP_PREVIOUS:
            read = &Engine::Step;
            break;
        case ZELRM_OP_GET_NEXT_EXTENDED:
        case ZELRM_OP_GET_PREVIOUS_EXTENDED:
        case ZELRM_OP_STEP_NEXT_EXTENDED:
        case ZELRM_OP_STEP_PREVIOUS_EXTENDED:
            read = &Engine::Extended;
            break;
        case ZELRM_OP_GET_BY_PERCENTAGE:
            read = &Engine::GetByPercentage;
            break;
        case ZELRM_OP_FIND_PERCENTAGE:
            read = &Engine::FindPercentage;
            break;
        default:
            if (request.op < ZELRM_OP_GET_EQUAL || request.op > ZELRM_OP_GET_LAST)
                return Status::kInvalidOperation;
            read = &Engine::GetByKey;
            break;
    }
    Cursor* cursor = CursorOf(request.block);
    if (cursor == nullptr) return Status::kFileNotOpen;
    if (request.op == ZELRM_OP_CLOSE) return Close(request, *cursor);
    if (cursor->table->pager().Broken()) return Status::kIoError;
    if (request.op == ZELRM_OP_UNLOCK) return Unlock(request, *cursor);
    if (read != nullptr) return RunRead(request, *cursor, read);
    // The owner name is part of the file header, which a transaction does not hold back.
    if (transactionActive_ &&
        (request.op == ZELRM_OP_SET_OWNER || request.op == ZELRM_OP_CLEAR_OWNER))
        return Status::kOperationNotAllowed;
    return RunChange(request, *cursor, change);
}

Status Engine::Open(Request& request) {
    if (request.block == nullptr) return Status::kFileNotOpen;
    // A block still open on a file is closed first, so that its file is not held forever.
    if (Cursor* previous = CursorOf(request.block)) ZELRM_TRY(Close(request, *previous));
    std::string path = PathFrom(request);
    if (path.empty() || path.size() > kMaxPath) return Status::kInvalidFileName;
    int mode = request.keyNumber;
    if (mode <= -64) mode += 64;
    if (mode <= -32) mode += 32;
    FileIdentity identity;
    ZELRM_TRY(fileSystem_.IdentityOf(path, &identity));
    std::shared_ptr<OpenFile> file;
    for (const auto& open : files_)
        if (open->identity == identity) file = open;
    if (file && (file->exclusive || mode == ZELRM_MODE_EXCLUSIVE))
        return Status::kIncompatibleMode;
    if (!file) {
        file = std::make_shared<OpenFile>();
        ZELRM_TRY(fileSystem_.AbsolutePath(path, &file->path));
        ZELRM_TRY(TableFile::Open(fileSystem_, file->path, mode == ZELRM_MODE_EXCLUSIVE,
                                  options_.lockWaitMilliseconds, &file->table));
        file->identity = identity;
    }
    auto cursor = std::make_unique<Cursor>();
    cursor->readOnly = mode == ZELRM_MODE_READ_ONLY || file->table->pager().ReadOnly();
    cursor->accelerated = mode == ZELRM_MODE_ACCELERATED;
    TableFile& table = *file->table;
    if (table.HasOwner()) {
        std::size_t given = request.capacity > 0 ? OwnerNameLength(request.data, request.capacity) : 0;
        if (given > 0) {
            if (!table.OwnerMatches(request.data, given)) return Status::kInvalidOwner;
            cursor->ownerRights = true;
        } else if (table.OwnerAccess() == 0) {
            return Status::kInvalidOwner;
        } else {
            cursor->readOnly = true;
        }
    } else {
        cursor->ownerRights = true;
    }
    if (files_.end() == std::find(files_.begin(), files_.end(), file)) files_.push_back(file);
    file->blocks++;
    file->exclusive = mode == ZELRM_MODE_EXCLUSIVE;
    cursor->file = file;
    cursor->table = file->table.get();
    std::uint32_t slot = 0;
    while (slot < cursors_.size() && cursors_[slot]) ++slot;
    if (slot == cursors_.size()) {
        cursors_.emplace_back();
        slotGenerations_.push_back(0);
    }
    cursor->generation = ++slotGenerations_[slot];
    cursors_[slot] = std::move(cursor);
    std::memset(request.block, 0, ZELRM_POSITION_BLOCK_SIZE);
    Store64(request.block, blockMagic_);
    Store32(request.block + 8, slot);
    Store32(request.block + 12, slotGenerations_[slot]);
    request.SetDataLength(0);
    return Status::kOk;
}

void Engine::Forget(const std::shared_ptr<OpenFile>& file) {
    if (file->blocks > 0 || file->inTransaction || file->transactionLocked) return;
    files_.erase(std::remove(files_.begin(), files_.end(), file), files_.end());
}

Status Engine::Close(Request& request, Cursor& cursor) {
    std::shared_ptr<OpenFile> file = cursor.file;
    ReleaseAllLocks(cursor);
    std::uint32_t slot = Load32(request.block + 8);
    cursors_[slot].reset();
    std::memset(request.block, 0, 16);
    file->blocks--;
    if (file->blocks == 0) file->exclusive = false;
    Status status = Status::kOk;
    // Changes an accelerated block left uncommitted are committed with the last close.
    if (file->blocks == 0 && !file->inTransaction && file->table->pager().HasChanges())
        status = CommitFile(*file);
    Forget(file);
    return status;
}

Status Engine::Create(Request& request) {
    std::string path = PathFrom(request);
    if (path.empty() || path.size() > kMaxPath) return Status::kInvalidFileName;
    FileSpec spec;
    ZELRM_TRY(ParseFileSpec(request.data, request.capacity, &spec));
    FileIdentity identity;
    if (Succeeded(fileSystem_.IdentityOf(path, &identity))) {
        if (request.keyNumber == -1) return Status::kFileExists;
        for (const auto& open : files_)
            if (open->identity == identity) return Status::kFileInUse;
    }
    ZELRM_TRY(TableFile::Create(fileSystem_, path, spec, request.data + 16,
                                request.keyNumber != -1));
    request.SetDataLength(request.capacity);
    return Status::kOk;
}

Status Engine::Stat(Request& request, Cursor& cursor) {
    TableFile& table = *cursor.table;
    const FileSpec& spec = table.Spec();
    const std::size_t size = 16 + spec.segments.size() * format::kSegmentSize;
    if (request.capacity < size) return Status::kDataBufferTooShort;
    std::uint8_t* reply = request.data;
    std::memset(reply, 0, 16);
    Store16(reply, spec.recordLength);
    Store16(reply + 2, table.DeclaredPageSize());
    Store16(reply + 4, static_cast<std::uint16_t>(spec.keys.size()));
    Store32(reply + 6, table.RecordCount());
    Store16(reply + 10, spec.fileFlags);
    std::memcpy(reply + 16, table.SegmentSpecs(), spec.segments.size() * format::kSegmentSize);
    // No extension file: the name in the key buffer is empty.
    if (request.keyLength > 0) request.key[0] = 0;
    request.SetDataLength(static_cast<std::uint32_t>(size));
    return Status::kOk;
}

Status Engine::Version(Request& request) {
    if (request.capacity < 5) return Status::kDataBufferTooShort;
    Store16(request.data, 7);
    Store16(request.data + 2, 0);
#ifdef _WIN32
    request.data[4] = 'W';
#else
    request.data[4] = 'U';
#endif
    request.SetDataLength(5);
    return Status::kOk;
}

Status Engine::Reset() {
    if (transactionActive_) AbortTransaction();
    Status status = Status::kOk;
    for (const auto& file : files_) {
        if (file->table->pager().HasChanges()) {
            Status committed = CommitFile(*file);
            if (status == Status::kOk) status = committed;
        }
    }
    cursors_.clear();
    slotGenerations_.clear();
    files_.clear();
    dictionary_.Close();
    return status;
}

Status Engine::SetOwner(Request& request, Cursor& cursor) {
    TableFile& table = *cursor.table;
    if (table.HasOwner()) return Status::kOwnerAlreadySet;
    if (request.keyNumber < 0 || request.keyNumber > 3) return Status::kInvalidKeyNumber;
    std::size_t length = OwnerNameLength(request.data, request.capacity);
    bool blank = true;
    for (std::size_t i = 0; i < length; ++i) blank = blank && request.data[i] == ' ';
    if (length == 0 || blank) return Status::kInvalidOwner;
    // The key buffer, when given, must repeat the name.
    if (request.keyLength > 0) {
        std::size_t repeated = OwnerNameLength(request.key, request.keyLength);
        if (repeated != length || std::memcmp(request.key, request.data, length) != 0)
            return Status::kInvalidOwner;
    }
    // Access modes 2 and 3 ask for encryption as well, which this engine does not do.
    const int access = request.keyNumber % 2;
    ZELRM_TRY(Apply(cursor, [&] {
        table.SetOwner(request.data, length, access);
        return Status::kOk;
    }));
    cursor.ownerRights = true;
    return Status::kOk;
}

Status Engine::ClearOwner(Request&, Cursor& cursor) {
    TableFile& table = *cursor.table;
    if (!table.HasOwner()) return Status::kOk;
    if (!cursor.ownerRights) return Status::kInvalidOwner;
    return Apply(cursor, [&] {
        table.ClearOwner();
        return Status::kOk;
    });
}

std::int16_t Engine::DictionaryOpen(const char* directory) {
    std::lock_guard<std::mutex> lock(mutex_);
    dictionary_.Close();
    std::string path = directory != nullptr ? directory : "";
    // The reader runs under the lock this call already holds.
    RecordCall call = [this](std::uint16_t op, void* block, void* data, std::uint32_t* length,
                             void* key, std::uint8_t keyLength, std::int8_t keyNumber) {
        return CallLocked(op, block, data, length, key, keyLength, keyNumber);
    };
    return static_cast<std::int16_t>(dictionary_.Open(path, fileSystem_, call));
}

std::int16_t Engine::DictionaryRead(DictionaryFile which, void* record) {
    std::lock_guard<std::mutex> lock(mutex_);
    return static_cast<std::int16_t>(dictionary_.Read(which, record));
}

std::int16_t Engine::DictionaryClose() {
    std::lock_guard<std::mutex> lock(mutex_);
    dictionary_.Close();
    return 0;
}

}  // namespace zelmor::engine
