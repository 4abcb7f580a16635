// The page cache of one table file and its journal.
//
// Changes are made to cached pages only. Commit writes every changed page to the journal
// (<file>.zlj) with a checksum, syncs it, then writes the pages into the file, syncs the file
// and empties the journal. A crash before the journal is complete leaves the file untouched;
// a crash after it is replayed when the file is next opened. So the file always holds the
// state of some commit, and a commit that returned kOk is on stable storage.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/src/FileSystem.h"
#include "engine/src/Format.h"

namespace zelmor::engine {

struct Page {
    std::uint32_t number = 0;
    bool dirty = false;
    bool referenced = false;
    // Set by a tree once it has checked the page's structure, so that it checks it once.
    bool checked = false;
    // Unchanged cached pages are kept in a list, oldest first, for eviction.
    bool inCleanList = false;
    Page* previousClean = nullptr;
    Page* nextClean = nullptr;
    std::unique_ptr<std::uint8_t[]> buffer;
    std::uint8_t* data() { return buffer.get(); }
};

class Pager {
public:
    Pager(FileSystem& fileSystem, std::string path, std::unique_ptr<File> file);
    ~Pager();

    // Replays a journal left by a crash, then reads and checks the header page.
    Status Open();
    // Starts a new, empty file whose header page is `header` (committed by the next Commit).
    void Initialize(const std::uint8_t* header);

    Page* Header() { return header_; }
    std::uint32_t PageCount() const;
    bool ReadOnly() const { return file_->ReadOnly(); }
    FileIdentity Identity() const { return file_->Identity(); }

    // The page `number`, read and checksum-checked if not cached. kIoError for a page beyond
    // the file or a damaged one.
    Status Get(std::uint32_t number, Page** page) {
        if (number < table_.size() && table_[number] != nullptr) {
            *page = table_[number];
            (*page)->referenced = true;
            return Status::kOk;
        }
        return Load(number, page);
    }
    // Must be called before a cached page is changed.
    void MarkDirty(Page* page);
    // A zeroed page of the given kind: a free page reused, or a new one at the end.
    Status Allocate(format::PageKind kind, std::uint8_t tree, Page** page);
    void Free(Page* page);

    // Puts every changed page on stable storage through the journal.
    Status Commit();
    // Forgets every change since the last commit.
    void Discard();
    bool HasChanges() const { return !dirty_.empty(); }
    std::size_t ChangedPages() const { return dirty_.size(); }
    // Evicts unchanged pages until at most `limit` pages are cached.
    void Trim(std::size_t limit) {
        if (cached_ > limit) Evict(limit);
    }
    // Changes whenever a page changes or changes are discarded: a cursor's remembered path is
    // good only while this stays the same.
    std::uint64_t Generation() const { return generation_; }
    // True after a commit failed half-way: only reopening the file (which replays the
    // journal) makes it usable again.
    bool Broken() const { return broken_; }

private:
    Status Load(std::uint32_t number, Page** page);
    void Evict(std::size_t limit);
    Status ReadPage(std::uint32_t number, std::uint8_t* into);
    Page* NewFrame(std::uint32_t number);
    void DropFrame(Page* page);
    void AddClean(Page* page);
    void RemoveClean(Page* page);
    Status ReplayJournal();
    Status WriteJournal(const std::vector<Page*>& pages, std::uint32_t salt);
    Status WritePages(const std::vector<Page*>& pages);

    FileSystem& fileSystem_;
    std::string path_;
    std::string journalPath_;
    std::unique_ptr<File> file_;
    std::unique_ptr<File> journal_;
    std::vector<std::unique_ptr<Page>> frames_;
    std::vector<Page*> spareFrames_;
    std::vector<Page*> table_;  // by page number; null when not cached
    std::vector<Page*> dirty_;
    std::vector<std::uint8_t> ioBuffer_;
    Page* header_ = nullptr;
    std::size_t cached_ = 0;  // frames holding a page
    Page* cleanFirst_ = nullptr;
    Page* cleanLast_ = nullptr;
    std::size_t cleanCount_ = 0;
    std::uint64_t generation_ = 1;
    std::uint32_t salt_ = 0;
    bool broken_ = false;
};

}  // namespace zelmor::engine
