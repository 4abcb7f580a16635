// Record operations on a table's position block and record buffer: keyed and positional reads,
// writes, percentages, unlocking, record counts and transactions. Each gives the record
// manager's status or one of the system's negative result codes; the record buffer holds what
// the record manager left in it.
#pragma once

#include <cstdint>
#include <string>

#include "core/Dictionary.h"

namespace zelmor {

// The data length of an operation: record length + 1 (buffer length + 1 for a variable-length
// table); for Insert and Update on a variable-length table, the length of the record with its
// variable part.
std::uint32_t DataLengthFor(const TableDef& table, int operation);

// Runs `operation` (the record manager's code; the lock bias is added) with the key named
// `keyName`: -6 for an empty name or one that names no key.
int DbAccess(TableDef& table, int operation, const std::string& keyName);
// The same with the key starting at segment position `indexId` (-1: no key).
int DbAccessByID(TableDef& table, int operation, int indexId);

// Reads the record at `position`, setting the currency of the named key (lock bias added); an
// empty name reads without a key; -6 for a name that names no key.
int DbGetDirect(TableDef& table, std::uint32_t position, const std::string& keyName);
// IndexID -1 reads without a key and without the lock bias.
int DbGetDirectByID(TableDef& table, std::uint32_t position, int indexId);

// The current record's position, or -1 when there is none.
std::int32_t DbGetPosition(TableDef& table);

int DbGetByPercentage(TableDef& table, const std::string& keyName, int percentage);
int DbGetByPercentageByID(TableDef& table, int indexId, int percentage);
// With a key the current record's key is used; without one, `position`.
int DbFindPercentage(TableDef& table, const std::string& keyName, std::uint32_t position,
                     int& percentage);
int DbFindPercentageByID(TableDef& table, int indexId, std::uint32_t position, int& percentage);

// -1: the current record's multiple-record lock; other types are the record manager's.
int DbUnlock(TableDef& table, int unlockType);

int DbGetNumOfRecords(TableDef& table, std::uint32_t& count);

// 0, 100, 200, 300, 400 (and 500 for the concurrent one); any other bias gives -10.
int DbBeginTransaction(int lockBias);
int DbBeginConCurTransaction(int lockBias);
int DbEndTransaction();
int DbAbortTransaction();

// The record manager's version block (5 bytes).
int DbGetVersion(std::uint8_t* versionBlock);

}  // namespace zelmor
