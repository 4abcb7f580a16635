// The journal of a table file (<file>.zlj): the images of the pages a commit changes, written
// and synced before any of them is written into the file, so that a commit cut short by a crash
// is completed from it. A commit of a transaction over several files names a master record
// (MasterRecord.h) whose existence decides whether the transaction took place.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/src/FileSystem.h"
#include "engine/src/Page.h"

namespace zelmor::engine {

// The master record a journal belongs to: its path and the transaction's identifier.
struct MasterReference {
    std::string path;
    std::uint64_t id = 0;
    bool operator==(const MasterReference& other) const {
        return id == other.id && path == other.path;
    }
};

class Journal {
public:
    Journal(FileSystem& fileSystem, std::string path);

    // Writes the page images, and the master reference when there is one, then syncs. The
    // journal's name is made durable the first time.
    Status Write(const std::vector<Page*>& pages, std::uint32_t salt, std::uint32_t pageCount,
                 const MasterReference* master);
    // Empties the journal (not synced: a later commit's synced journal supersedes it, and
    // replaying this one again is harmless).
    Status Clear();
    void Close() { file_.reset(); }
    const std::string& Path() const { return path_; }

    // Completes a commit left by a writer that stopped half-way: when the journal is whole and
    // its master record (if it names one) exists, its pages are written into `file` and synced.
    // The journal is emptied either way, and a master record no journal needs any more goes.
    static Status Recover(FileSystem& fileSystem, const std::string& journalPath, File& file);
    // The master reference of a whole journal; false when it has none or is not whole.
    static bool ReadReference(FileSystem& fileSystem, const std::string& journalPath,
                              MasterReference* master);

private:
    FileSystem& fileSystem_;
    std::string path_;
    std::unique_ptr<File> file_;
    std::vector<std::uint8_t> buffer_;
};

}  // namespace zelmor::engine
