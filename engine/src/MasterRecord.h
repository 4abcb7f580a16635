// The master record of a transaction over several files (<first file>.<id>.zlm): the
// transaction's identifier and the files it changed. Each file's journal names it; it is written
// and synced after every journal, and that is the moment the transaction takes place. A journal
// that names a master record which is not there belongs to a transaction that never took place.
#pragma once

#include <string>
#include <vector>

#include "engine/src/Journal.h"

namespace zelmor::engine {

class MasterRecord {
public:
    // The name of the master record of transaction `id` whose first file is `firstFile`.
    static std::string PathFor(const std::string& firstFile, std::uint64_t id);
    // Writes, syncs and makes durable the record naming `files` (absolute paths).
    static Status Write(FileSystem& fileSystem, const MasterReference& master,
                        const std::vector<std::string>& files);
    // True when the record exists, is whole and carries the identifier.
    static bool Exists(FileSystem& fileSystem, const MasterReference& master,
                       std::vector<std::string>* files = nullptr);
    // Removes the record once no journal of its files names it any more.
    static void RemoveIfDone(FileSystem& fileSystem, const MasterReference& master);
    // Removes the master records of `file` (named after it) that no journal needs any more:
    // those a crash left behind after their transaction was complete.
    static void RemoveLeftovers(FileSystem& fileSystem, const std::string& file);
};

}  // namespace zelmor::engine
