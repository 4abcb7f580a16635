// The page cache of one table file and its journal.
//
// Changes are made to cached pages only. Commit writes every changed page to the journal
// (<file>.zlj) with a checksum, syncs it, then writes the pages into the file, syncs the file
// and empties the journal. A crash before the journal is complete leaves the file untouched;
// a crash after it is replayed. So the file always holds the state of some commit, and a commit
// that returned kOk is on stable storage.
//
// Several processes may have the file open. They share a change sequence in a small mapped
// file beside it (<file>.zls): odd while a commit is being written into the file, one more on
// each side of it. A pager whose sequence is not the shared one drops its unchanged pages;
// writes are kept apart by the caller's locks (FileSharing).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/src/FileSystem.h"
#include "engine/src/Format.h"
#include "engine/src/FrameMemory.h"
#include "engine/src/Journal.h"
#include "engine/src/Page.h"

namespace zelmor::engine {

class Pager {
public:
    Pager(FileSystem& fileSystem, std::string path, std::unique_ptr<File> file);
    ~Pager();

    // Maps the shared sequence; as the first process on the file, replays a journal left by a
    // crash and starts the sequence afresh. The header is read by the first Refresh.
    Status Open(bool first);
    // Starts a new, empty file whose header page is `header` (committed by the next Commit).
    void Initialize(const std::uint8_t* header);

    Page* Header() { return header_; }
    std::uint32_t PageCount() const;
    bool ReadOnly() const { return file_->ReadOnly(); }
    File& DataFile() { return *file_; }
    const std::string& Path() const { return path_; }

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
    // The same in steps, for a transaction over several files: the journal (naming the master
    // record) is written and synced; the sequence is made odd; then the pages are applied.
    Status PrepareCommit(const MasterReference* master);
    void BeginApply();
    Status ApplyCommit();
    // Gives up a prepared commit: its journal and the changes go.
    void AbandonCommit();
    // Forgets every change since the last commit.
    void Discard();
    bool HasChanges() const { return !dirty_.empty(); }
    std::size_t ChangedPages() const { return dirty_.size(); }
    // Evicts unchanged pages until at most `limit` pages are cached.
    void Trim(std::size_t limit) {
        if (cached_ > limit) Evict(limit);
    }
    // Changes whenever a page changes, changes are discarded or other processes' changes are
    // taken in: a cursor's remembered path is good only while this stays the same.
    std::uint64_t Generation() const { return generation_; }
    // True after a commit failed half-way: only reopening the file (which replays the
    // journal) makes it usable again.
    bool Broken() const { return broken_; }

    // The shared change sequence (odd while some process writes a commit into the file).
    std::uint32_t Sequence() const;
    // The sequence the cached pages belong to.
    std::uint32_t SeenSequence() const { return seen_; }
    // Takes in other processes' commits: drops every unchanged page and reads the header again.
    Status Refresh(std::uint32_t sequence);
    // With the write lock held: completes or drops what a writer that stopped half-way left
    // (the journal), and makes the sequence even again.
    Status Recover();
    // Handles and mappings are let go before the journal and the shared memory may be removed.
    void CloseJournal() { journal_.Close(); }
    void CloseShared() { shared_.reset(); }
    // Processes waiting for the file's write lock (a hint kept in the shared memory).
    std::uint32_t Waiters() const;
    void CountWaiter(int delta);

private:
    Status Load(std::uint32_t number, Page** page);
    Status ReadHeader();
    void Evict(std::size_t limit);
    Status ReadPage(std::uint32_t number, std::uint8_t* into);
    Page* NewFrame(std::uint32_t number);
    void DropFrame(Page* page);
    void AddClean(Page* page);
    void RemoveClean(Page* page);
    // Writes the pages into the file (runs of consecutive pages in one write), then syncs it.
    Status WritePages(const std::vector<Page*>& pages);
    void StoreSequence(std::uint32_t value);

    FileSystem& fileSystem_;
    std::string path_;
    std::unique_ptr<File> file_;
    Journal journal_;
    std::unique_ptr<SharedMemory> shared_;
    // Pages are copied from a view of the file where there is one: no call into the system.
    std::unique_ptr<FileView> view_;
    bool viewTried_ = false;
    // By page number: the sequence (plus one) at which its checksum was last found right. No
    // process changes the file without moving the sequence, so a page read again before it
    // moves need not be summed again.
    std::vector<std::uint32_t> verified_;
    // Frames are made in chunks, so that the bookkeeping of the cached pages lies together, and
    // so do their pages: a small first chunk for small tables, then large blocks.
    struct FrameChunk {
        explicit FrameChunk(std::size_t frames)
            : pages(frames * format::kPageSize), frames(std::make_unique<Page[]>(frames)) {}
        FrameMemory pages;
        std::unique_ptr<Page[]> frames;
    };
    std::vector<std::unique_ptr<FrameChunk>> frameChunks_;
    std::size_t framesInLastChunk_ = 0;
    std::size_t lastChunkSize_ = 0;
    std::vector<Page*> spareFrames_;
    std::vector<Page*> table_;  // by page number; null when not cached
    std::vector<Page*> dirty_;
    // The changed pages a prepared commit has in its journal, to be written into the file.
    std::vector<Page*> journaled_;
    // Pages in the file as of the last commit: pages beyond are not read by anybody.
    std::uint32_t committedPages_ = 0;
    std::vector<std::uint8_t> ioBuffer_;
    Page* header_ = nullptr;
    std::size_t cached_ = 0;  // frames holding a page
    Page* cleanFirst_ = nullptr;
    Page* cleanLast_ = nullptr;
    std::size_t cleanCount_ = 0;
    std::uint64_t generation_ = 1;
    std::uint32_t salt_ = 0;
    std::uint32_t seen_ = 0;
    bool prepared_ = false;
    bool applying_ = false;
    bool broken_ = false;
};

}  // namespace zelmor::engine
