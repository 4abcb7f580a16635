// Extended operations whose replies are kept as numbered result sets (0 to 47), read record by
// record and field by field until they are freed. The slots are shared by the whole process.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/Dictionary.h"

namespace zelmor {

constexpr int kResultSetCount = 48;
constexpr std::size_t kMaxExtendedText = 4096;

// Result codes of extended operations.
namespace exrc {
constexpr int kOperationRefused = -7;
constexpr int kConditionRefused = -8;
constexpr int kFieldListRefused = -9;
constexpr int kOutOfMemory = -99;
}  // namespace exrc

// Runs extended operation `operation` (36 to 39, each optionally with a lock bias of 100 to 400)
// on an open table along the key starting at segment position `indexId`. When the reply is kept
// (statuses 0, 9, 22, 60, 64 and 65, with a free slot), `resultId` and `count` are set. Gives the
// record manager's status, or -6, -7, -8, -9, -99.
int DbExAccess(TableDef& table, int operation, const std::string& condition,
               const std::string& fieldList, int indexId, int rejectCount, int maxRecords,
               bool ignoreCase, int& resultId, int& count);

// The text of a field (by name, or by its number in the table) of a kept record; empty for every
// invalid argument and for a field that is not in the result set's field list.
std::string DbExGetFieldData(int resultId, const std::string& fieldName, int recordIndex);
std::string DbExGetFieldDataByID(int resultId, int fieldId, int recordIndex);

// The position stored with a kept record, or -1.
std::int32_t DbExGetPosition(int resultId, int recordIndex);

// 0, or -1 for an ID out of range or a free slot.
int DbExFree(int resultId);

// The mode characters of later requests: 0, or -1 unless exactly two characters.
int DbExSetMode(const std::string& mode);

// For list fills that keep their replies: the first kept reply takes a slot (its number is
// returned, -1 when all are in use); later ones append their records to it. `fieldIndexes` are
// the fields each record holds, as the request listed them.
int KeepReply(const TableDef& table, const std::vector<int>& fieldIndexes,
              const std::vector<std::uint8_t>& reply);
bool AppendReply(int resultId, const std::vector<std::uint8_t>& reply);

// The number of records kept in a slot, or -1.
int ResultSetRecordCount(int resultId);

// Frees every slot (the library unloads; tests start afresh).
void FreeAllResultSets();

}  // namespace zelmor
