#include "engine/src/TableFile.h"

#include <cstring>
#include <thread>

#include "engine/src/Bytes.h"

namespace zelmor::engine {

using namespace format;

namespace {

// Records (with their stamps) may not grow beyond this.
constexpr std::size_t kMaxPayload = 0x40000000;

}  // namespace

Status TableFile::Create(FileSystem& fileSystem, const std::string& path, const FileSpec& spec,
                         const std::uint8_t* segments, bool replace) {
    std::unique_ptr<File> file;
    const bool replacing = replace && fileSystem.Exists(path);
    ZELRM_TRY(fileSystem.Open(
        path, replacing ? OpenDisposition::kExisting : OpenDisposition::kCreateNew, &file));
    if (file->ReadOnly()) return Status::kPermissionError;
    if (replacing) {
        // Held while the new content is written, so that no process opens it half-made.
        ZELRM_TRY(FileSharing::ClaimAlone(*file));
        Status status = file->Truncate(0);
        if (Failed(status)) {
            FileSharing::Release(*file);
            return status;
        }
    }
    // A replaced file may have left a journal behind; it must not be replayed over the new one.
    ZELRM_TRY(fileSystem.Remove(path + ".zlj"));
    std::uint8_t header[kPageSize] = {};
    header[kKind] = static_cast<std::uint8_t>(PageKind::kHeader);
    std::memcpy(header + kMagicOffset, kMagic, sizeof kMagic);
    Store16(header + kVersion, kFormatVersion);
    Store16(header + kFilePageSize, kPageSize);
    Store16(header + kDeclaredPageSize, spec.pageSize);
    Store16(header + kRecordLength, spec.recordLength);
    Store16(header + kFileFlags, spec.fileFlags);
    Store16(header + kKeyCount, static_cast<std::uint16_t>(spec.keys.size()));
    Store16(header + kSegmentCount, static_cast<std::uint16_t>(spec.segments.size()));
    Store32(header + kPageCount, 1);
    Store32(header + kNextPosition, 1);
    std::memcpy(header + kSegments, segments, spec.segments.size() * kSegmentSize);
    for (std::size_t s = 0; s < spec.segments.size(); ++s) {
        // Only what the file specification defines is kept; the rest reads back as zero.
        std::uint8_t* kept = header + kSegments + s * kSegmentSize;
        std::memset(kept + 6, 0, 4);
        std::memset(kept + 12, 0, 4);
    }
    TableFile table;
    table.spec_ = spec;
    table.pager_ = std::make_unique<Pager>(fileSystem, path, std::move(file));
    table.pager_->Initialize(header);
    Status status = table.Load();
    if (Succeeded(status)) status = table.records_->CreateEmpty();
    for (std::size_t k = 0; k < table.keys_.size() && Succeeded(status); ++k)
        status = table.keys_[k]->CreateEmpty();
    if (Succeeded(status)) status = table.pager_->Commit();
    if (replacing) FileSharing::Release(table.pager_->DataFile());
    ZELRM_TRY(status);
    return fileSystem.SyncDirectoryOf(path);
}

Status TableFile::Open(FileSystem& fileSystem, const std::string& path, bool exclusive,
                       std::uint32_t waitMilliseconds, std::unique_ptr<TableFile>* table) {
    std::unique_ptr<File> file;
    ZELRM_TRY(fileSystem.Open(path, OpenDisposition::kExisting, &file));
    std::unique_ptr<TableFile> opened(new TableFile);
    opened->pager_ = std::make_unique<Pager>(fileSystem, path, std::move(file));
    opened->sharing_ =
        std::make_unique<FileSharing>(fileSystem, *opened->pager_, waitMilliseconds);
    bool first = false;
    ZELRM_TRY(opened->sharing_->Join(exclusive, &first));
    // The first process in finishes what a crash left before anybody else comes in.
    Status status = opened->pager_->Open(first);
    opened->sharing_->EndJoin();
    ZELRM_TRY(status);
    ZELRM_TRY(opened->Synchronize());
    const std::uint8_t* header = opened->pager_->Header()->data();
    FileSpec& spec = opened->spec_;
    spec.recordLength = Load16(header + kRecordLength);
    spec.pageSize = Load16(header + kDeclaredPageSize);
    spec.fileFlags = Load16(header + kFileFlags);
    std::uint16_t segments = Load16(header + kSegmentCount);
    if (segments > kMaxSegments || spec.recordLength < 4) return Status::kIoError;
    if (Failed(ParseSegments(header + kSegments, segments, Load16(header + kKeyCount), &spec)))
        return Status::kIoError;
    ZELRM_TRY(opened->Load());
    *table = std::move(opened);
    return Status::kOk;
}

Status TableFile::Synchronize() {
    for (int round = 0;; ++round) {
        const std::uint32_t sequence = pager_->Sequence();
        if ((sequence & 1) == 0) {
            if (sequence == pager_->SeenSequence()) return Status::kOk;
            Status status = pager_->Refresh(sequence);
            // A commit that began while the header was read: read it again.
            if (pager_->Sequence() == sequence) return status;
            continue;
        }
        // A commit is being written into the file, or its writer died doing so: whoever gets
        // the write lock finds out, and finishes the work if the writer is gone.
        const bool held = sharing_->WriteHeld();
        if (held || Succeeded(sharing_->TryLockWrite())) {
            Status status = pager_->Recover();
            if (!held) sharing_->UnlockWrite();
            ZELRM_TRY(status);
            continue;
        }
        if (round < 16)
            std::this_thread::yield();
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

Status TableFile::Load() {
    records_ = std::make_unique<BTree>(*pager_, 0, 4, true, kRecordRoot);
    keys_.clear();
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        keys_.push_back(std::make_unique<BTree>(*pager_, static_cast<std::uint8_t>(k + 1),
                                                EntryWidth(k), false, kKeyRoots + 4 * k));
    }
    entries_.resize(kMaxEntry * (spec_.keys.size() + 1));
    oldEntries_.resize(entries_.size());
    inKey_.resize(spec_.keys.size());
    wasInKey_.resize(spec_.keys.size());
    changed_.resize(spec_.keys.size());
    slots_.resize(spec_.keys.size());
    return Status::kOk;
}

std::uint32_t TableFile::RecordCount() { return Load32(pager_->Header()->data() + kRecordCount); }
std::uint16_t TableFile::DeclaredPageSize() {
    return Load16(pager_->Header()->data() + kDeclaredPageSize);
}
const std::uint8_t* TableFile::SegmentSpecs() { return pager_->Header()->data() + kSegments; }

bool TableFile::HasOwner() { return pager_->Header()->data()[kOwnerSet] != 0; }
int TableFile::OwnerAccess() { return pager_->Header()->data()[kOwnerAccess]; }

bool TableFile::OwnerMatches(const std::uint8_t* name, std::size_t length) {
    std::uint8_t padded[kOwnerNameSize] = {};
    std::memcpy(padded, name, length < kOwnerNameSize ? length : kOwnerNameSize);
    return std::memcmp(padded, pager_->Header()->data() + kOwnerName, kOwnerNameSize) == 0;
}

void TableFile::SetOwner(const std::uint8_t* name, std::size_t length, int access) {
    std::uint8_t* header = pager_->Header()->data();
    pager_->MarkDirty(pager_->Header());
    header[kOwnerSet] = 1;
    header[kOwnerAccess] = static_cast<std::uint8_t>(access);
    std::memset(header + kOwnerName, 0, kOwnerNameSize);
    std::memcpy(header + kOwnerName, name, length < kOwnerNameSize ? length : kOwnerNameSize);
}

void TableFile::ClearOwner() {
    std::uint8_t* header = pager_->Header()->data();
    pager_->MarkDirty(pager_->Header());
    header[kOwnerSet] = 0;
    header[kOwnerAccess] = 0;
    std::memset(header + kOwnerName, 0, kOwnerNameSize);
}

Status TableFile::Info(const BTree::Path& path, RecordInfo* info) {
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(path, &cell));
    info->position = LoadBig32(cell.data + kRecordPosition);
    info->version = Load32(cell.data + kRecordVersion);
    std::uint32_t payload = Load32(cell.data + kRecordSize);
    if (payload < StampBytes() + spec_.recordLength) return Status::kIoError;
    info->length = payload - static_cast<std::uint32_t>(StampBytes());
    return Status::kOk;
}

Status TableFile::ReadPayload(const std::uint8_t* cell, std::size_t from, std::size_t count,
                              std::uint8_t* out) {
    const std::uint32_t length = Load32(cell + kRecordSize);
    if (from + count > length) return Status::kIoError;
    if (cell[kRecordStorage] == kStoredInline) {
        std::memcpy(out, cell + kRecordData + from, count);
        return Status::kOk;
    }
    std::uint32_t number = Load32(cell + kRecordData);
    std::size_t skipped = 0;
    const std::size_t pages = (length + kOverflowCapacity - 1) / kOverflowCapacity;
    for (std::size_t step = 0; count > 0; ++step) {
        if (step >= pages) return Status::kIoError;
        Page* page = nullptr;
        ZELRM_TRY(pager_->Get(number, &page));
        const std::uint8_t* data = page->data();
        std::size_t used = Load16(data + kUsed);
        if (data[kKind] != static_cast<std::uint8_t>(PageKind::kOverflow) ||
            used > kOverflowCapacity)
            return Status::kIoError;
        if (from < skipped + used) {
            std::size_t start = from - skipped;
            std::size_t take = used - start < count ? used - start : count;
            std::memcpy(out, data + kOverflowData + start, take);
            out += take;
            from += take;
            count -= take;
        }
        skipped += used;
        number = Load32(data + kNext);
    }
    return Status::kOk;
}

Status TableFile::Read(const BTree::Path& path, std::uint8_t* buffer, std::size_t capacity,
                       std::size_t* copied, RecordInfo* info) {
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(path, &cell));
    const std::size_t stamps = StampBytes();
    const std::size_t length = Load32(cell.data + kRecordSize);
    if (length < stamps + spec_.recordLength) return Status::kIoError;
    info->position = LoadBig32(cell.data + kRecordPosition);
    info->version = Load32(cell.data + kRecordVersion);
    info->length = static_cast<std::uint32_t>(length - stamps);
    if (capacity < spec_.recordLength) {
        *copied = 0;
        return Status::kOk;
    }
    std::size_t count = length - stamps < capacity ? length - stamps : capacity;
    ZELRM_TRY(ReadPayload(cell.data, stamps, count, buffer));
    *copied = count;
    return Status::kOk;
}

Status TableFile::View(const BTree::Path& path, std::vector<std::uint8_t>* scratch,
                       RecordView* view) {
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(path, &cell));
    const std::size_t stamps = StampBytes();
    const std::uint32_t length = Load32(cell.data + kRecordSize);
    if (length < stamps + spec_.recordLength) return Status::kIoError;
    view->cell = cell.data;
    view->info.position = LoadBig32(cell.data + kRecordPosition);
    view->info.version = Load32(cell.data + kRecordVersion);
    view->info.length = static_cast<std::uint32_t>(length - stamps);
    if (cell.data[kRecordStorage] == kStoredInline) {
        view->fixed = cell.data + kRecordData + stamps;
        return Status::kOk;
    }
    scratch->resize(spec_.recordLength);
    ZELRM_TRY(ReadPayload(cell.data, stamps, spec_.recordLength, scratch->data()));
    view->fixed = scratch->data();
    return Status::kOk;
}

Status TableFile::Locate(std::uint32_t position, BTree::Path* path, bool* found) {
    std::uint8_t key[4];
    StoreBig32(key, position);
    bool atEnd = false;
    ZELRM_TRY(records_->Seek(key, path, &atEnd));
    *found = false;
    if (atEnd) return Status::kOk;
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(*path, &cell));
    *found = std::memcmp(cell.data, key, 4) == 0;
    return Status::kOk;
}

Status TableFile::LoadPayload(std::uint32_t position, std::vector<std::uint8_t>* payload,
                              RecordInfo* info) {
    BTree::Path path;
    bool found = false;
    ZELRM_TRY(Locate(position, &path, &found));
    if (!found) return Status::kInvalidRecordAddress;
    ZELRM_TRY(Info(path, info));
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(path, &cell));
    payload->resize(Load32(cell.data + kRecordSize));
    return ReadPayload(cell.data, 0, payload->size(), payload->data());
}

void TableFile::MakeEntry(std::size_t key, const std::uint8_t* ordered, std::uint64_t stamp,
                          std::uint32_t position, std::uint8_t* entry) {
    const std::size_t length = spec_.keys[key].transformedLength;
    std::memcpy(entry, ordered, length);
    StoreBig64(entry + length, stamp);
    StoreBig32(entry + length + 8, position);
}

Status TableFile::EntryOf(const BTree::Path& path, std::size_t key, std::uint8_t* entry,
                          bool* inKey, std::uint8_t* value) {
    RecordInfo info;
    ZELRM_TRY(Info(path, &info));
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(path, &cell));
    const KeyDefinition& definition = spec_.keys[key];
    // Only the stamps and the fixed part are needed.
    std::size_t needed = StampBytes() + spec_.recordLength;
    if (payload_.size() < needed) payload_.resize(needed);
    ZELRM_TRY(ReadPayload(cell.data, 0, needed, payload_.data()));
    std::uint8_t raw[kMaxKeyLength];
    ExtractKey(spec_, definition, payload_.data() + StampBytes(), raw);
    if (value != nullptr) std::memcpy(value, raw, definition.length);
    *inKey = !IsNullKey(spec_, definition, raw);
    if (!*inKey) return Status::kOk;
    std::uint8_t ordered[kMaxTransformedKey];
    TransformKey(spec_, definition, raw, ordered);
    std::uint64_t stamp =
        definition.stampIndex >= 0 ? Load64(payload_.data() + 8 * definition.stampIndex) : 0;
    MakeEntry(key, ordered, stamp, info.position, entry);
    return Status::kOk;
}

std::uint64_t TableFile::NextStamp() {
    std::uint8_t* header = pager_->Header()->data();
    std::uint64_t stamp = Load64(header + kArrivalCounter) + 1;
    pager_->MarkDirty(pager_->Header());
    Store64(header + kArrivalCounter, stamp);
    return stamp;
}

Status TableFile::CheckUnique(std::size_t key, const std::uint8_t* ordered) {
    const std::size_t length = spec_.keys[key].transformedLength;
    std::uint8_t probe[kMaxEntry] = {};
    std::memcpy(probe, ordered, length);
    BTree::Path path;
    bool atEnd = false;
    ZELRM_TRY(keys_[key]->Seek(probe, &path, &atEnd));
    if (atEnd) return Status::kOk;
    BTree::CellView cell;
    ZELRM_TRY(keys_[key]->Cell(path, &cell));
    return std::memcmp(cell.data, ordered, length) == 0 ? Status::kDuplicateKey : Status::kOk;
}

Status TableFile::FillAutoIncrement(std::uint8_t* record) {
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        const KeyDefinition& key = spec_.keys[k];
        if (key.autoIncrementSegment < 0) continue;
        const KeySegment& segment = spec_.segments[key.autoIncrementSegment];
        std::uint64_t value = 0;
        for (std::size_t i = 0; i < segment.length; ++i)
            value |= std::uint64_t{record[segment.offset + i]} << (8 * i);
        if (value != 0) continue;
        // The highest value is at the end of the key's order (its start when descending).
        BTree::Path path;
        bool atEnd = false;
        if (segment.flags & ZELRM_KEY_DESCENDING)
            ZELRM_TRY(keys_[k]->First(&path, &atEnd));
        else
            ZELRM_TRY(keys_[k]->Last(&path, &atEnd));
        std::uint64_t highest = 0;
        if (!atEnd) {
            BTree::CellView cell;
            ZELRM_TRY(keys_[k]->Cell(path, &cell));
            std::uint8_t ordered[8];
            for (std::size_t i = 0; i < segment.length; ++i)
                ordered[i] = (segment.flags & ZELRM_KEY_DESCENDING) ? ~cell.data[i] : cell.data[i];
            for (std::size_t i = 0; i < segment.length; ++i) highest = (highest << 8) | ordered[i];
        }
        const std::uint64_t limit =
            segment.length == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * segment.length)) - 1;
        if (highest >= limit) return Status::kDuplicateKey;
        value = highest + 1;
        for (std::size_t i = 0; i < segment.length; ++i)
            record[segment.offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
    return Status::kOk;
}

Status TableFile::PutRecord(std::uint32_t position, std::uint32_t version,
                            const std::vector<std::uint8_t>& payload) {
    std::uint8_t cell[kRecordCellHeader + kMaxInlineRecord];
    StoreBig32(cell + kRecordPosition, position);
    Store32(cell + kRecordVersion, version);
    Store32(cell + kRecordSize, static_cast<std::uint32_t>(payload.size()));
    if (payload.size() <= kMaxInlineRecord) {
        cell[kRecordStorage] = kStoredInline;
        std::memcpy(cell + kRecordData, payload.data(), payload.size());
        return records_->Insert(cell, kRecordCellHeader + payload.size());
    }
    // Long records go to a chain of overflow pages.
    cell[kRecordStorage] = kStoredOverflow;
    Page* previous = nullptr;
    for (std::size_t done = 0; done < payload.size();) {
        Page* page = nullptr;
        ZELRM_TRY(pager_->Allocate(PageKind::kOverflow, 0, &page));
        std::size_t take = payload.size() - done < kOverflowCapacity ? payload.size() - done
                                                                      : kOverflowCapacity;
        std::memcpy(page->data() + kOverflowData, payload.data() + done, take);
        Store16(page->data() + kUsed, static_cast<std::uint16_t>(take));
        if (previous != nullptr)
            Store32(previous->data() + kNext, page->number);
        else
            Store32(cell + kRecordData, page->number);
        previous = page;
        done += take;
    }
    return records_->Insert(cell, kRecordCellHeader + 4);
}

Status TableFile::RemoveRecord(std::uint32_t position) {
    BTree::Path path;
    bool found = false;
    ZELRM_TRY(Locate(position, &path, &found));
    if (!found) return Status::kIoError;
    BTree::CellView cell;
    ZELRM_TRY(records_->Cell(path, &cell));
    if (cell.data[kRecordStorage] == kStoredOverflow) {
        std::uint32_t number = Load32(cell.data + kRecordData);
        std::size_t pages =
            (Load32(cell.data + kRecordSize) + kOverflowCapacity - 1) / kOverflowCapacity;
        for (std::size_t i = 0; i < pages; ++i) {
            Page* page = nullptr;
            ZELRM_TRY(pager_->Get(number, &page));
            if (page->data()[kKind] != static_cast<std::uint8_t>(PageKind::kOverflow))
                return Status::kIoError;
            number = Load32(page->data() + kNext);
            pager_->Free(page);
        }
    }
    std::uint8_t key[4];
    StoreBig32(key, position);
    return records_->Remove(key);
}

void TableFile::StampEntry(std::size_t k, std::uint32_t position) {
    const KeyDefinition& key = spec_.keys[k];
    const std::uint64_t stamp = key.duplicates ? NextStamp() : 0;
    if (key.stampIndex >= 0) Store64(payload_.data() + 8 * key.stampIndex, stamp);
    // The ordered form is already at the start of the key's slot.
    std::uint8_t* entry = &entries_[kMaxEntry * k];
    StoreBig64(entry + key.transformedLength, stamp);
    StoreBig32(entry + key.transformedLength + 8, position);
}

Status TableFile::Insert(std::uint8_t* record, std::size_t length, std::uint32_t* position) {
    const std::size_t stamps = StampBytes();
    if (length + stamps > kMaxPayload) return Status::kDataBufferTooShort;
    ZELRM_TRY(FillAutoIncrement(record));
    std::uint8_t* header = pager_->Header()->data();
    const std::uint32_t newPosition = Load32(header + kNextPosition);
    if (newPosition == UINT32_MAX) return Status::kDiskFull;
    // Check every unique key before changing anything.
    std::vector<char>& inKey = inKey_;
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        const KeyDefinition& key = spec_.keys[k];
        std::uint8_t raw[kMaxKeyLength];
        ExtractKey(spec_, key, record, raw);
        inKey[k] = !IsNullKey(spec_, key, raw);
        if (!inKey[k]) continue;
        std::uint8_t* entry = &entries_[kMaxEntry * k];
        TransformKey(spec_, key, raw, entry);
        if (key.duplicates) continue;
        // The search for a duplicate also finds where the entry goes (its stamp is 0 and its
        // position above any other, so it follows every entry below its value).
        std::memset(entry + key.transformedLength, 0, kEntrySuffix);
        bool duplicate = false;
        ZELRM_TRY(keys_[k]->FindSlot(entry, key.transformedLength, &slots_[k], &duplicate));
        if (duplicate) return Status::kDuplicateKey;
    }
    payload_.resize(stamps + length);
    std::memset(payload_.data(), 0, stamps);
    std::memcpy(payload_.data() + stamps, record, length);
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) StampEntry(k, newPosition);
    ZELRM_TRY(PutRecord(newPosition, 0, payload_));
    // Other trees changed meanwhile, never the pages of a key's own tree: its slot holds.
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        if (!inKey[k]) continue;
        const std::uint8_t* entry = &entries_[kMaxEntry * k];
        if (spec_.keys[k].duplicates)
            ZELRM_TRY(keys_[k]->Insert(entry, EntryWidth(k)));
        else
            ZELRM_TRY(keys_[k]->InsertAt(slots_[k], entry, EntryWidth(k)));
    }
    header = pager_->Header()->data();
    pager_->MarkDirty(pager_->Header());
    Store32(header + kNextPosition, newPosition + 1);
    Store32(header + kRecordCount, Load32(header + kRecordCount) + 1);
    *position = newPosition;
    return Status::kOk;
}

Status TableFile::Update(std::uint32_t position, const std::uint8_t* record, std::size_t length) {
    const std::size_t stamps = StampBytes();
    if (length + stamps > kMaxPayload) return Status::kDataBufferTooShort;
    RecordInfo info;
    ZELRM_TRY(LoadPayload(position, &oldPayload_, &info));
    const std::uint8_t* oldRecord = oldPayload_.data() + stamps;
    // Per key: 0 unchanged, 1 changed. Old entries go to the upper half of entries_.
    std::vector<char>& changed = changed_;
    std::vector<char>& wasIn = wasInKey_;
    std::vector<char>& isIn = inKey_;
    std::vector<std::uint8_t>& oldEntries = oldEntries_;
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        const KeyDefinition& key = spec_.keys[k];
        std::uint8_t oldRaw[kMaxKeyLength], newRaw[kMaxKeyLength];
        std::uint8_t oldOrdered[kMaxTransformedKey];
        ExtractKey(spec_, key, oldRecord, oldRaw);
        ExtractKey(spec_, key, record, newRaw);
        wasIn[k] = !IsNullKey(spec_, key, oldRaw);
        isIn[k] = !IsNullKey(spec_, key, newRaw);
        TransformKey(spec_, key, oldRaw, oldOrdered);
        TransformKey(spec_, key, newRaw, &entries_[kMaxEntry * k]);
        changed[k] = wasIn[k] != isIn[k] ||
                     (isIn[k] && std::memcmp(oldOrdered, &entries_[kMaxEntry * k],
                                             key.transformedLength) != 0);
        if (!changed[k]) continue;
        if (!key.modifiable) return Status::kKeyNotModifiable;
        if (isIn[k] && !key.duplicates) ZELRM_TRY(CheckUnique(k, &entries_[kMaxEntry * k]));
        std::uint64_t oldStamp = key.stampIndex >= 0 ? Load64(oldPayload_.data() + 8 * key.stampIndex) : 0;
        MakeEntry(k, oldOrdered, oldStamp, position, &oldEntries[kMaxEntry * k]);
    }
    payload_.resize(stamps + length);
    std::memcpy(payload_.data(), oldPayload_.data(), stamps);
    std::memcpy(payload_.data() + stamps, record, length);
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        if (!changed[k]) continue;
        if (wasIn[k]) ZELRM_TRY(keys_[k]->Remove(&oldEntries[kMaxEntry * k]));
        StampEntry(k, position);
        if (isIn[k]) ZELRM_TRY(keys_[k]->Insert(&entries_[kMaxEntry * k], EntryWidth(k)));
    }
    ZELRM_TRY(RemoveRecord(position));
    return PutRecord(position, info.version + 1, payload_);
}

Status TableFile::Delete(std::uint32_t position) {
    const std::size_t stamps = StampBytes();
    RecordInfo info;
    ZELRM_TRY(LoadPayload(position, &oldPayload_, &info));
    const std::uint8_t* record = oldPayload_.data() + stamps;
    for (std::size_t k = 0; k < spec_.keys.size(); ++k) {
        const KeyDefinition& key = spec_.keys[k];
        std::uint8_t raw[kMaxKeyLength];
        ExtractKey(spec_, key, record, raw);
        if (IsNullKey(spec_, key, raw)) continue;
        std::uint8_t ordered[kMaxTransformedKey];
        TransformKey(spec_, key, raw, ordered);
        std::uint64_t stamp = key.stampIndex >= 0 ? Load64(oldPayload_.data() + 8 * key.stampIndex) : 0;
        MakeEntry(k, ordered, stamp, position, &entries_[kMaxEntry * k]);
        ZELRM_TRY(keys_[k]->Remove(&entries_[kMaxEntry * k]));
    }
    ZELRM_TRY(RemoveRecord(position));
    std::uint8_t* header = pager_->Header()->data();
    pager_->MarkDirty(pager_->Header());
    Store32(header + kRecordCount, Load32(header + kRecordCount) - 1);
    return Status::kOk;
}

}  // namespace zelmor::engine
