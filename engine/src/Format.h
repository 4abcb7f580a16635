// The file format of a table file, as offset/size tables (engine/doc/file-format.md describes
// the same with the reasons). All numbers are little-endian unless said otherwise.
//
// A table file is a sequence of 4096-byte pages. Page 0 is the header; every other page is a
// node of one of the file's B+ trees (the record tree, keyed by position, and one tree per key),
// an overflow page of a long record, or a free page.
//
// Common page header (every page)
// | offset | size | field                                                        |
// |      0 |    4 | checksum of bytes 4..4095, seeded with the page number       |
// |      4 |    1 | page kind (PageKind)                                         |
// |      5 |    1 | tree: 0 record tree, k + 1 for key k (0 on other kinds)      |
// |      6 |    2 | leaf: cells; interior: children                              |
// |      8 |    4 | overflow: next overflow page; free: next free page           |
// |     12 |    2 | leaf: start of the cell area; overflow: bytes used           |
// |     14 |    2 | leaf: free bytes between cells (fragments)                   |
//
// Header page (page 0)
// | offset | size | field                                                        |
// |      8 |    8 | magic "ZELRMF01"                                             |
// |     16 |    2 | format version (1)                                           |
// |     18 |    2 | page size of the file (4096)                                 |
// |     20 |    2 | page size asked for at creation (reported by Stat)          |
// |     22 |    2 | record length (the fixed part)                              |
// |     24 |    2 | file flags                                                   |
// |     26 |    2 | number of keys                                               |
// |     28 |    2 | number of key segments                                       |
// |     30 |    1 | owner set (0/1)                                              |
// |     31 |    1 | owner access mode (0: needed for any access, 1: read-only)   |
// |     32 |    8 | owner name, zero-padded                                      |
// |     40 |    4 | pages in the file                                            |
// |     44 |    4 | first free page (0: none)                                    |
// |     48 |    4 | free pages                                                   |
// |     52 |    4 | record tree root page                                        |
// |     56 |    4 | records                                                      |
// |     60 |    4 | next unused position                                         |
// |     64 |    8 | arrival counter (orders duplicates)                          |
// |     72 |    8 | change counter (one more per commit)                         |
// |    128 |  4*k | root page of each key's tree                                 |
// |    640 | 16*s | key segment specifications, as given at creation             |
//
// Leaf page: the slot array (u16 cell offsets, in key order) starts at 16; cells are packed at
// the end of the page. Interior page: from 16, `children` elements of
// {u32 child page, u32 entries under it, key[width]}; the key of element 0 is unused, the key of
// element i is the smallest key under child i.
//
// Record tree cell
// | offset | size | field                                                        |
// |      0 |    4 | position (big-endian, so that cells sort by memcmp)          |
// |      4 |    4 | version (one more per update)                                |
// |      8 |    4 | record length (fixed and variable part)                     |
// |     12 |    1 | storage: 0 inline, 1 overflow                                |
// |     13 |    n | inline: the record; overflow: u32 first overflow page        |
//
// Key tree cell (width = transformed key length + 12): the key in its memcmp-ordered form,
// then the arrival stamp (u64 big-endian), then the position (u32 big-endian).
//
// Overflow page: bytes 16.. hold the next piece of the record (used bytes at 12).
//
// Journal (<file>.zlj): a header, then one record per changed page.
// | offset | size | journal header                                               |
// |      0 |    8 | magic "ZELRMJ01"                                             |
// |      8 |    4 | page size                                                    |
// |     12 |    4 | salt: differs from one commit to the next                    |
// |     16 |    4 | pages in the file after the commit                           |
// |     20 |    4 | page records that follow                                     |
// |     24 |    4 | checksum of bytes 0..23, seeded with the salt                |
// |     28 |    4 | length of the master reference after the records (0: none)   |
// | offset | size | page record (at 32 + i * (16 + page size))                   |
// |      0 |    4 | page number                                                  |
// |      4 |    4 | salt (as in the header)                                      |
// |      8 |    4 | checksum of the page image, seeded with page number ^ salt  |
// |     16 | page | page image                                                   |
// | offset | size | master reference (after the page records, when offset 28 > 0)|
// |      0 |    8 | transaction identifier                                       |
// |      8 |    4 | length n of the master record's path                         |
// |     12 |    n | the master record's path                                     |
// | 12 + n |    4 | checksum of bytes 0..11+n, seeded with the salt              |
// A journal is replayed only when the header and every record check out, and, when it names a
// master record, that record exists with the same identifier.
//
// Shared memory (<file>.zls), mapped by every process that has the file open; u32 words,
// changed atomically.
// | offset | size | field                                                        |
// |      0 |    4 | change sequence: odd while a commit is written into the file |
// |      4 |    4 | processes waiting for the write lock                         |
//
// Master record (<first file>.<identifier>.zlm)
// | offset | size | field                                                        |
// |      0 |    8 | magic "ZELRMM01"                                             |
// |      8 |    8 | transaction identifier                                       |
// |     16 |    4 | number of files                                              |
// |     20 |      | per file: u32 length, then the file's absolute path          |
// |    end |    4 | checksum of everything before, seeded with the low identifier|
#pragma once

#include <cstddef>
#include <cstdint>

namespace zelmor::engine::format {

constexpr std::size_t kPageSize = 4096;

enum class PageKind : std::uint8_t { kHeader = 1, kLeaf = 2, kInterior = 3, kOverflow = 4, kFree = 5 };

// Common page header.
constexpr std::size_t kChecksum = 0;
constexpr std::size_t kKind = 4;
constexpr std::size_t kTree = 5;
constexpr std::size_t kCount = 6;
constexpr std::size_t kNext = 8;
constexpr std::size_t kCellStart = 12;
constexpr std::size_t kUsed = 12;
constexpr std::size_t kFragments = 14;
constexpr std::size_t kPageHeaderSize = 16;

// Header page.
constexpr char kMagic[8] = {'Z', 'E', 'L', 'R', 'M', 'F', '0', '1'};
constexpr std::size_t kMagicOffset = 8;
constexpr std::size_t kVersion = 16;
constexpr std::uint16_t kFormatVersion = 1;
constexpr std::size_t kFilePageSize = 18;
constexpr std::size_t kDeclaredPageSize = 20;
constexpr std::size_t kRecordLength = 22;
constexpr std::size_t kFileFlags = 24;
constexpr std::size_t kKeyCount = 26;
constexpr std::size_t kSegmentCount = 28;
constexpr std::size_t kOwnerSet = 30;
constexpr std::size_t kOwnerAccess = 31;
constexpr std::size_t kOwnerName = 32;
constexpr std::size_t kOwnerNameSize = 8;
constexpr std::size_t kPageCount = 40;
constexpr std::size_t kFreeHead = 44;
constexpr std::size_t kFreeCount = 48;
constexpr std::size_t kRecordRoot = 52;
constexpr std::size_t kRecordCount = 56;
constexpr std::size_t kNextPosition = 60;
constexpr std::size_t kArrivalCounter = 64;
constexpr std::size_t kChangeCounter = 72;
constexpr std::size_t kKeyRoots = 128;
constexpr std::size_t kSegments = 640;
constexpr std::size_t kSegmentSize = 16;
constexpr std::size_t kMaxKeys = 119;
constexpr std::size_t kMaxSegments = 119;

// Record tree cells.
constexpr std::size_t kRecordPosition = 0;
constexpr std::size_t kRecordVersion = 4;
constexpr std::size_t kRecordSize = 8;
constexpr std::size_t kRecordStorage = 12;
constexpr std::size_t kRecordData = 13;
constexpr std::size_t kRecordCellHeader = 13;
constexpr std::uint8_t kStoredInline = 0;
constexpr std::uint8_t kStoredOverflow = 1;
// Records longer than this go to overflow pages, so that a leaf holds at least four cells.
constexpr std::size_t kMaxInlineRecord = 960;

// Key tree cells: the transformed key, then these.
constexpr std::size_t kEntrySuffix = 12;
constexpr std::size_t kMaxKeyLength = 255;
// A transformed key is at most one byte per segment longer than the key.
constexpr std::size_t kMaxTransformedKey = kMaxKeyLength + kMaxSegments;
constexpr std::size_t kMaxEntry = kMaxTransformedKey + kEntrySuffix;

// Interior elements.
constexpr std::size_t kElementChild = 0;
constexpr std::size_t kElementCount = 4;
constexpr std::size_t kElementKey = 8;

constexpr std::size_t kOverflowData = 16;

// Journal.
constexpr char kJournalMagic[8] = {'Z', 'E', 'L', 'R', 'M', 'J', '0', '1'};
constexpr std::size_t kJournalHeaderSize = 32;
constexpr std::size_t kJournalPageSize = 8;
constexpr std::size_t kJournalSalt = 12;
constexpr std::size_t kJournalPageCount = 16;
constexpr std::size_t kJournalRecords = 20;
constexpr std::size_t kJournalChecksum = 24;
constexpr std::size_t kJournalMasterLength = 28;
constexpr std::size_t kJournalEntryPage = 0;
constexpr std::size_t kJournalEntrySalt = 4;
constexpr std::size_t kJournalEntryChecksum = 8;
constexpr std::size_t kJournalEntryHeader = 16;
constexpr std::size_t kJournalEntrySize = kJournalEntryHeader + kPageSize;
constexpr std::size_t kOverflowCapacity = kPageSize - kOverflowData;

// Shared memory.
constexpr std::size_t kSharedSize = 4096;
constexpr std::size_t kSharedSequence = 0;
constexpr std::size_t kSharedWaiters = 4;

// Master record.
constexpr char kMasterMagic[8] = {'Z', 'E', 'L', 'R', 'M', 'M', '0', '1'};

}  // namespace zelmor::engine::format
