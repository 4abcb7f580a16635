// What a position block stands for: an open file seen through one cursor, with its currency.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/src/BTree.h"
#include "engine/src/Format.h"
#include "engine/src/TableFile.h"

namespace zelmor::engine {

// A file opened by the process, shared by every position block on it.
struct OpenFile {
    std::unique_ptr<TableFile> table;
    FileIdentity identity;
    std::string path;  // absolute
    int blocks = 0;
    bool exclusive = false;
    bool inTransaction = false;      // the transaction changed it
    bool transactionLocked = false;  // the transaction holds its file lock
};

enum class CursorState {
    kNoRecord,       // no current record yet (just opened)
    kOnRecord,       // on a live record: Update and Delete apply to it
    kRecordDeleted,  // its record was deleted through it: Next and Previous go on from there
    kAfterExtended,  // on the last record an extended operation examined: Next and Previous go
                     // on from there, Update and Delete give 8
};

struct Cursor {
    std::uint32_t generation = 0;
    std::shared_ptr<OpenFile> file;
    TableFile* table = nullptr;  // file->table, kept at hand for every call
    bool readOnly = false;
    bool accelerated = false;
    bool ownerRights = false;

    CursorState state = CursorState::kNoRecord;
    // Physical currency: the current (or deleted) record's position; unset right after Open,
    // when Step Next gives the first record.
    bool physicalSet = false;
    std::uint32_t position = 0;
    std::uint32_t version = 0;  // of the current record when it was read

    // Logical currency: the key and the entry (ordered key value, arrival, position).
    int logicalKey = -1;
    std::uint8_t entry[format::kMaxEntry] = {};

    // Paths remembered to step without searching, valid while the pager's generation holds.
    BTree::Path keyPath;
    std::uint64_t keyPathGeneration = 0;
    BTree::Path recordPath;
    std::uint64_t recordPathGeneration = 0;

    // Record locks taken through this block (single: at most one).
    bool hasSingleLock = false;
    std::uint32_t singleLock = 0;
    std::vector<std::uint32_t> multipleLocks;
};

}  // namespace zelmor::engine
