#include "engine/src/Pager.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Checksum.h"
#include "engine/src/MasterRecord.h"

namespace zelmor::engine {

using namespace format;

namespace {

std::uint32_t PageChecksum(const std::uint8_t* page, std::uint32_t number) {
    return Checksum(page + 4, kPageSize - 4, number);
}

// Writes are made of at most this many consecutive pages.
constexpr std::size_t kPagesPerWrite = 64;
// A commit that adds at least this many pages beyond the end of the file writes them there
// directly instead of through the journal: nobody reads past the committed end, and one more
// sync costs less than writing them twice.
constexpr std::size_t kDirectNewPages = 256;
constexpr std::size_t kFramesInFirstChunk = 64;
constexpr std::size_t kFramesPerChunk = FrameMemory::kLargeBlock / kPageSize;

std::uint32_t* SharedWord(SharedMemory& shared, std::size_t offset) {
    return reinterpret_cast<std::uint32_t*>(shared.Address() + offset);
}

}  // namespace

Pager::Pager(FileSystem& fileSystem, std::string path, std::unique_ptr<File> file)
    : fileSystem_(fileSystem),
      path_(std::move(path)),
      file_(std::move(file)),
      journal_(fileSystem, path_ + ".zlj") {
    salt_ = static_cast<std::uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
}

Pager::~Pager() = default;

std::uint32_t Pager::Sequence() const {
    // Without shared memory (a file nobody can change) the cached pages are always current.
    if (!shared_) return seen_ & ~1u;
    return __atomic_load_n(SharedWord(*shared_, kSharedSequence), __ATOMIC_ACQUIRE);
}

void Pager::StoreSequence(std::uint32_t value) {
    if (shared_) __atomic_store_n(SharedWord(*shared_, kSharedSequence), value, __ATOMIC_SEQ_CST);
}

std::uint32_t Pager::Waiters() const {
    return shared_ ? __atomic_load_n(SharedWord(*shared_, kSharedWaiters), __ATOMIC_RELAXED) : 0;
}

void Pager::CountWaiter(int delta) {
    if (shared_)
        __atomic_add_fetch(SharedWord(*shared_, kSharedWaiters), static_cast<std::uint32_t>(delta),
                           __ATOMIC_RELAXED);
}

std::uint32_t Pager::PageCount() const { return Load32(header_->data() + kPageCount); }

Page* Pager::NewFrame(std::uint32_t number) {
    Page* page;
    if (!spareFrames_.empty()) {
        page = spareFrames_.back();
        spareFrames_.pop_back();
    } else {
        if (framesInLastChunk_ == lastChunkSize_) {
            lastChunkSize_ = frameChunks_.empty() ? kFramesInFirstChunk : kFramesPerChunk;
            frameChunks_.push_back(std::make_unique<FrameChunk>(lastChunkSize_));
            framesInLastChunk_ = 0;
        }
        FrameChunk& chunk = *frameChunks_.back();
        page = &chunk.frames[framesInLastChunk_];
        page->buffer = chunk.pages.data() + framesInLastChunk_ * kPageSize;
        ++framesInLastChunk_;
    }
    ++cached_;
    page->number = number;
    page->dirty = false;
    // Only a later use earns a page its second chance: pages read once (a scan) go first.
    page->referenced = false;
    page->checked = false;
    if (table_.size() <= number) table_.resize(number + 1, nullptr);
    table_[number] = page;
    if (number != 0) AddClean(page);
    return page;
}

void Pager::AddClean(Page* page) {
    page->inCleanList = true;
    page->previousClean = cleanLast_;
    page->nextClean = nullptr;
    if (cleanLast_ != nullptr)
        cleanLast_->nextClean = page;
    else
        cleanFirst_ = page;
    cleanLast_ = page;
    ++cleanCount_;
}

void Pager::RemoveClean(Page* page) {
    if (!page->inCleanList) return;
    if (page->previousClean != nullptr)
        page->previousClean->nextClean = page->nextClean;
    else
        cleanFirst_ = page->nextClean;
    if (page->nextClean != nullptr)
        page->nextClean->previousClean = page->previousClean;
    else
        cleanLast_ = page->previousClean;
    page->inCleanList = false;
    page->previousClean = page->nextClean = nullptr;
    --cleanCount_;
}

void Pager::DropFrame(Page* page) {
    RemoveClean(page);
    table_[page->number] = nullptr;
    page->dirty = false;
    spareFrames_.push_back(page);
    --cached_;
}

Status Pager::ReadPage(std::uint32_t number, std::uint8_t* into) {
    const std::uint64_t end = (static_cast<std::uint64_t>(number) + 1) * kPageSize;
    // The view covers the file as it was when made: made again when the file has grown past it
    // since (the header says how far it reaches).
    if ((!view_ && !viewTried_) ||
        (view_ && end > view_->Size() && std::uint64_t{PageCount()} * kPageSize > view_->Size())) {
        view_.reset();
        view_ = file_->MapForReading();
        viewTried_ = true;
    }
    if (view_ && end <= view_->Size()) {
        std::memcpy(into, view_->Data() + end - kPageSize, kPageSize);
    } else {
        std::size_t got = 0;
        ZELRM_TRY(file_->Read(end - kPageSize, into, kPageSize, &got));
        if (got != kPageSize) return Status::kIoError;
    }
    if (number < verified_.size() && verified_[number] == seen_ + 1) return Status::kOk;
    if (Load32(into + kChecksum) != PageChecksum(into, number)) return Status::kIoError;
    if (verified_.size() <= number) verified_.resize(number + 1, 0);
    verified_[number] = seen_ + 1;
    return Status::kOk;
}

void Pager::Initialize(const std::uint8_t* header) {
    header_ = NewFrame(0);
    std::memcpy(header_->data(), header, kPageSize);
    MarkDirty(header_);
}

Status Pager::Open(bool first) {
    Status mapped = fileSystem_.MapShared(path_ + ".zls", kSharedSize, &shared_);
    // A file that can only be read, beside which nothing can be created, is read as it is.
    if (Failed(mapped) && !file_->ReadOnly()) return mapped;
    if (first) {
        ZELRM_TRY(Journal::Recover(fileSystem_, journal_.Path(), *file_));
        MasterRecord::RemoveLeftovers(fileSystem_, path_);
        StoreSequence(0);
        if (shared_) __atomic_store_n(SharedWord(*shared_, kSharedWaiters), 0u, __ATOMIC_RELAXED);
    }
    // Nothing read yet: the first Refresh reads the header.
    seen_ = 1;
    return Status::kOk;
}

Status Pager::ReadHeader() {
    std::uint64_t size = 0;
    ZELRM_TRY(file_->Size(&size));
    if (size < kPageSize) return Status::kNotEngineFile;
    if (header_ == nullptr) header_ = NewFrame(0);
    std::size_t got = 0;
    ZELRM_TRY(file_->Read(0, header_->data(), kPageSize, &got));
    const std::uint8_t* data = header_->data();
    if (got != kPageSize || std::memcmp(data + kMagicOffset, kMagic, sizeof kMagic) != 0)
        return Status::kNotEngineFile;
    if (Load32(data + kChecksum) != PageChecksum(data, 0) ||
        data[kKind] != static_cast<std::uint8_t>(PageKind::kHeader) ||
        Load16(data + kVersion) != kFormatVersion || Load16(data + kFilePageSize) != kPageSize)
        return Status::kIoError;
    // A file shorter than its header says has lost pages.
    if (PageCount() == 0 || size < static_cast<std::uint64_t>(PageCount()) * kPageSize)
        return Status::kIoError;
    committedPages_ = PageCount();
    return Status::kOk;
}

Status Pager::Refresh(std::uint32_t sequence) {
    // Changes of this process are only ever made under the write lock, when nobody else can
    // commit: cached changes and another process's commit cannot meet.
    if (HasChanges()) return Status::kIoError;
    ++generation_;
    for (Page* page : table_)
        if (page != nullptr && page != header_) DropFrame(page);
    ZELRM_TRY(ReadHeader());
    if (table_.size() > PageCount()) table_.resize(PageCount());
    seen_ = sequence;
    return Status::kOk;
}

Status Pager::Recover() {
    ZELRM_TRY(Journal::Recover(fileSystem_, journal_.Path(), *file_));
    const std::uint32_t sequence = Sequence();
    if (sequence & 1) StoreSequence(sequence + 1);
    return Status::kOk;
}

Status Pager::Load(std::uint32_t number, Page** page) {
    if (number == 0 || number >= PageCount()) return Status::kIoError;
    Page* frame = NewFrame(number);
    Status status = ReadPage(number, frame->data());
    if (Failed(status)) {
        DropFrame(frame);
        return status;
    }
    *page = frame;
    return Status::kOk;
}

void Pager::MarkDirty(Page* page) {
    ++generation_;
    if (page->dirty) return;
    RemoveClean(page);
    page->dirty = true;
    dirty_.push_back(page);
}

Status Pager::Allocate(PageKind kind, std::uint8_t tree, Page** page) {
    std::uint8_t* header = header_->data();
    std::uint32_t freeHead = Load32(header + kFreeHead);
    Page* frame = nullptr;
    if (freeHead != 0) {
        ZELRM_TRY(Get(freeHead, &frame));
        if (frame->data()[kKind] != static_cast<std::uint8_t>(PageKind::kFree))
            return Status::kIoError;
        MarkDirty(header_);
        Store32(header + kFreeHead, Load32(frame->data() + kNext));
        Store32(header + kFreeCount, Load32(header + kFreeCount) - 1);
    } else {
        std::uint32_t count = PageCount();
        if (count == UINT32_MAX) return Status::kDiskFull;
        MarkDirty(header_);
        Store32(header + kPageCount, count + 1);
        frame = NewFrame(count);
    }
    MarkDirty(frame);
    std::memset(frame->data(), 0, kPageSize);
    frame->data()[kKind] = static_cast<std::uint8_t>(kind);
    frame->data()[kTree] = tree;
    frame->checked = true;
    *page = frame;
    return Status::kOk;
}

void Pager::Free(Page* page) {
    std::uint8_t* header = header_->data();
    MarkDirty(page);
    MarkDirty(header_);
    std::memset(page->data(), 0, kPageSize);
    page->data()[kKind] = static_cast<std::uint8_t>(PageKind::kFree);
    Store32(page->data() + kNext, Load32(header + kFreeHead));
    Store32(header + kFreeHead, page->number);
    Store32(header + kFreeCount, Load32(header + kFreeCount) + 1);
    page->checked = false;
}

Status Pager::WritePages(const std::vector<Page*>& pages) {
    // Runs of consecutive pages go in one write.
    for (std::size_t i = 0; i < pages.size();) {
        std::size_t run = 1;
        while (i + run < pages.size() && run < kPagesPerWrite &&
               pages[i + run]->number == pages[i]->number + run)
            ++run;
        const std::uint8_t* data = pages[i]->data();
        if (run > 1) {
            ioBuffer_.clear();
            for (std::size_t j = 0; j < run; ++j)
                ioBuffer_.insert(ioBuffer_.end(), pages[i + j]->data(),
                                 pages[i + j]->data() + kPageSize);
            data = ioBuffer_.data();
        }
        ZELRM_TRY(file_->Write(static_cast<std::uint64_t>(pages[i]->number) * kPageSize, data,
                               run * kPageSize));
        i += run;
    }
    return file_->Sync();
}

Status Pager::Commit() {
    if (dirty_.empty()) return Status::kOk;
    ZELRM_TRY(PrepareCommit(nullptr));
    return ApplyCommit();
}

Status Pager::PrepareCommit(const MasterReference* master) {
    if (broken_) return Status::kIoError;
    if (file_->ReadOnly()) return Status::kAccessDenied;
    std::uint8_t* header = header_->data();
    MarkDirty(header_);
    Store64(header + kChangeCounter, Load64(header + kChangeCounter) + 1);
    std::sort(dirty_.begin(), dirty_.end(),
              [](const Page* a, const Page* b) { return a->number < b->number; });
    for (Page* page : dirty_) Store32(page->data() + kChecksum, PageChecksum(page->data(), page->number));
    journaled_.clear();
    std::vector<Page*> added;
    for (Page* page : dirty_)
        (page->number < committedPages_ ? journaled_ : added).push_back(page);
    if (added.size() < kDirectNewPages) {
        journaled_ = dirty_;
        added.clear();
    }
    // New pages written directly must be on disk before the journal makes the commit count.
    Status status = added.empty() ? Status::kOk : WritePages(added);
    if (Succeeded(status)) status = journal_.Write(journaled_, ++salt_, PageCount(), master);
    if (Failed(status)) {
        Discard();
        return status;
    }
    prepared_ = true;
    return Status::kOk;
}

void Pager::BeginApply() {
    if (applying_) return;
    applying_ = true;
    // Readers in other processes now wait, or read again, until the pages are all written.
    StoreSequence(seen_ + 1);
}

Status Pager::ApplyCommit() {
    if (!prepared_) return Status::kIoError;
    BeginApply();
    // From here on the commit is durable: a failure leaves a journal that the next process to
    // write (or this one, reopened) replays. The sequence stays odd to tell it so.
    Status status = WritePages(journaled_);
    prepared_ = false;
    if (Failed(status)) {
        broken_ = true;
        return status;
    }
    journal_.Clear();
    for (Page* page : dirty_) {
        page->dirty = false;
        if (page != header_) AddClean(page);
    }
    dirty_.clear();
    journaled_.clear();
    committedPages_ = PageCount();
    applying_ = false;
    seen_ += 2;
    StoreSequence(seen_);
    return Status::kOk;
}

void Pager::AbandonCommit() {
    if (prepared_) journal_.Clear();
    prepared_ = false;
    if (applying_) StoreSequence(seen_);
    applying_ = false;
    Discard();
}

void Pager::Discard() {
    ++generation_;
    bool headerChanged = header_ != nullptr && header_->dirty;
    for (Page* page : dirty_) {
        if (page != header_) DropFrame(page);
    }
    dirty_.clear();
    if (headerChanged) {
        header_->dirty = false;
        std::size_t got = 0;
        if (Failed(file_->Read(0, header_->data(), kPageSize, &got)) || got != kPageSize)
            broken_ = true;
    }
    // Pages past the committed end are gone with the changes that added them.
    if (table_.size() > PageCount()) {
        for (std::size_t n = PageCount(); n < table_.size(); ++n)
            if (table_[n] != nullptr) DropFrame(table_[n]);
        table_.resize(PageCount());
    }
}

void Pager::Evict(std::size_t limit) {
    // Changed pages stay until committed; unchanged ones go oldest first, except that a page
    // used since it was last looked at gets a second chance.
    std::size_t chances = cleanCount_;
    while (cached_ > limit && cleanFirst_ != nullptr) {
        Page* page = cleanFirst_;
        if (page->referenced && chances > 0) {
            --chances;
            page->referenced = false;
            RemoveClean(page);
            AddClean(page);
            continue;
        }
        DropFrame(page);
    }
}

}  // namespace zelmor::engine
