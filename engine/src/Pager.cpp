#include "engine/src/Pager.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/src/Checksum.h"

namespace zelmor::engine {

using namespace format;

namespace {

std::uint32_t PageChecksum(const std::uint8_t* page, std::uint32_t number) {
    return Checksum(page + 4, kPageSize - 4, number);
}

// Journal records are written in batches of this many pages.
constexpr std::size_t kPagesPerWrite = 64;

}  // namespace

Pager::Pager(FileSystem& fileSystem, std::string path, std::unique_ptr<File> file)
    : fileSystem_(fileSystem),
      path_(std::move(path)),
      journalPath_(path_ + ".zlj"),
      file_(std::move(file)) {
    salt_ = static_cast<std::uint32_t>(
        std::chrono::steady_clock::now().time_since_epoch().count());
}

Pager::~Pager() {
    // The journal is only needed while changes may be half-applied; an idle one goes.
    if (journal_ && dirty_.empty() && !broken_) {
        journal_.reset();
        fileSystem_.Remove(journalPath_);
    }
}

std::uint32_t Pager::PageCount() const { return Load32(header_->data() + kPageCount); }

Page* Pager::NewFrame(std::uint32_t number) {
    Page* page;
    if (!spareFrames_.empty()) {
        page = spareFrames_.back();
        spareFrames_.pop_back();
    } else {
        frames_.push_back(std::make_unique<Page>());
        page = frames_.back().get();
        page->buffer = std::make_unique<std::uint8_t[]>(kPageSize);
    }
    ++cached_;
    page->number = number;
    page->dirty = false;
    page->referenced = true;
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
    std::size_t got = 0;
    ZELRM_TRY(file_->Read(static_cast<std::uint64_t>(number) * kPageSize, into, kPageSize, &got));
    if (got != kPageSize) return Status::kIoError;
    if (Load32(into + kChecksum) != PageChecksum(into, number)) return Status::kIoError;
    return Status::kOk;
}

void Pager::Initialize(const std::uint8_t* header) {
    header_ = NewFrame(0);
    std::memcpy(header_->data(), header, kPageSize);
    MarkDirty(header_);
}

Status Pager::Open() {
    ZELRM_TRY(ReplayJournal());
    std::uint64_t size = 0;
    ZELRM_TRY(file_->Size(&size));
    if (size < kPageSize) return Status::kNotEngineFile;
    header_ = NewFrame(0);
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

Status Pager::WriteJournal(const std::vector<Page*>& pages, std::uint32_t salt) {
    if (!journal_) {
        ZELRM_TRY(fileSystem_.Open(journalPath_, OpenDisposition::kOpenOrCreate, &journal_));
        // The journal's name must survive a crash before any page of the file is overwritten.
        Status status = fileSystem_.SyncDirectoryOf(journalPath_);
        if (Failed(status)) {
            journal_.reset();
            return status;
        }
    }
    std::uint8_t head[kJournalHeaderSize] = {};
    std::memcpy(head, kJournalMagic, sizeof kJournalMagic);
    Store32(head + kJournalPageSize, kPageSize);
    Store32(head + kJournalSalt, salt);
    Store32(head + kJournalPageCount, PageCount());
    Store32(head + kJournalRecords, static_cast<std::uint32_t>(pages.size()));
    Store32(head + kJournalChecksum, Checksum(head, kJournalChecksum, salt));

    std::uint64_t offset = 0;
    ioBuffer_.assign(head, head + kJournalHeaderSize);
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::uint8_t record[kJournalEntryHeader] = {};
        const std::uint8_t* image = pages[i]->data();
        Store32(record + kJournalEntryPage, pages[i]->number);
        Store32(record + kJournalEntrySalt, salt);
        Store32(record + kJournalEntryChecksum, Checksum(image, kPageSize, pages[i]->number ^ salt));
        ioBuffer_.insert(ioBuffer_.end(), record, record + kJournalEntryHeader);
        ioBuffer_.insert(ioBuffer_.end(), image, image + kPageSize);
        if ((i + 1) % kPagesPerWrite == 0 || i + 1 == pages.size()) {
            ZELRM_TRY(journal_->Write(offset, ioBuffer_.data(), ioBuffer_.size()));
            offset += ioBuffer_.size();
            ioBuffer_.clear();
        }
    }
    return journal_->Sync();
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
    if (broken_) return Status::kIoError;
    if (file_->ReadOnly()) return Status::kAccessDenied;
    std::uint8_t* header = header_->data();
    MarkDirty(header_);
    Store64(header + kChangeCounter, Load64(header + kChangeCounter) + 1);
    std::sort(dirty_.begin(), dirty_.end(),
              [](const Page* a, const Page* b) { return a->number < b->number; });
    for (Page* page : dirty_) Store32(page->data() + kChecksum, PageChecksum(page->data(), page->number));
    const std::uint32_t salt = ++salt_;
    Status status = WriteJournal(dirty_, salt);
    if (Failed(status)) {
        Discard();
        return status;
    }
    // From here on the commit is durable: a failure leaves a journal that the next open replays.
    status = WritePages(dirty_);
    if (Failed(status)) {
        broken_ = true;
        return status;
    }
    journal_->Truncate(0);
    for (Page* page : dirty_) {
        page->dirty = false;
        if (page != header_) AddClean(page);
    }
    dirty_.clear();
    return Status::kOk;
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

Status Pager::ReplayJournal() {
    if (!fileSystem_.Exists(journalPath_)) return Status::kOk;
    std::unique_ptr<File> journal;
    ZELRM_TRY(fileSystem_.Open(journalPath_, OpenDisposition::kExisting, &journal));
    std::uint8_t head[kJournalHeaderSize];
    std::size_t got = 0;
    ZELRM_TRY(journal->Read(0, head, sizeof head, &got));
    if (got != sizeof head || std::memcmp(head, kJournalMagic, sizeof kJournalMagic) != 0)
        return Status::kOk;
    const std::uint32_t salt = Load32(head + kJournalSalt);
    if (Load32(head + kJournalChecksum) != Checksum(head, kJournalChecksum, salt) ||
        Load32(head + kJournalPageSize) != kPageSize)
        return Status::kOk;
    const std::uint32_t records = Load32(head + kJournalRecords);
    std::uint64_t journalSize = 0;
    ZELRM_TRY(journal->Size(&journalSize));
    if (journalSize < kJournalHeaderSize + static_cast<std::uint64_t>(records) * kJournalEntrySize)
        return Status::kOk;
    // Check every record before touching the file: an incomplete journal is ignored.
    std::vector<std::uint8_t> entry(kJournalEntrySize);
    for (int pass = 0; pass < 2; ++pass) {
        for (std::uint32_t i = 0; i < records; ++i) {
            ZELRM_TRY(journal->Read(kJournalHeaderSize + std::uint64_t{i} * kJournalEntrySize,
                                    entry.data(), entry.size(), &got));
            if (got != entry.size()) return Status::kOk;
            const std::uint8_t* image = entry.data() + kJournalEntryHeader;
            std::uint32_t number = Load32(entry.data() + kJournalEntryPage);
            if (pass == 0) {
                if (Load32(entry.data() + kJournalEntrySalt) != salt ||
                    Load32(entry.data() + kJournalEntryChecksum) !=
                        Checksum(image, kPageSize, number ^ salt))
                    return Status::kOk;
            } else {
                ZELRM_TRY(file_->Write(std::uint64_t{number} * kPageSize, image, kPageSize));
            }
        }
    }
    ZELRM_TRY(file_->Sync());
    return journal->Truncate(0);
}

}  // namespace zelmor::engine
