// The record operations that bound controls run (a command button's operation, the scroll bars'
// moves): values come from the controls, a pre-operation event may cancel, and the record read
// is shown in the controls. The caller supplies those three through BoundOperationHost.
#pragma once

#include <cstdint>
#include <string>

#include "core/Dictionary.h"

namespace zelmor {

// The operations a command button can run.
enum DbOperation : int {
    kDbInsert = 0,
    kDbUpdate = 1,
    kDbDelete = 2,
    kDbGetEqual = 3,
    kDbGetFirst = 4,
    kDbGetLast = 5,
    kDbGetNext = 6,
    kDbGetPrevious = 7,
    kDbGetGreater = 8,
    kDbGetLessThan = 9,
    kDbGetGreaterOrEqual = 10,
    kDbGetLessThanOrEqual = 11,
    kDbStepFirst = 12,
    kDbStepLast = 13,
    kDbStepNext = 14,
    kDbStepPrevious = 15,
    kDbInsertNCC = 16,
    kDbUpdateNCC = 17,
};

// Locks a button may ask for, and the lock bias each one adds.
enum LockChoice : int {
    kLockNone = 0,
    kLockSingleWait = 1,
    kLockSingleNoWait = 2,
    kLockMultiWait = 3,
    kLockMultiNoWait = 4,
};
int LockBiasOf(int lockChoice);

// The record manager's code of a get or step operation; -1 for the other operations.
int ReadOperationCode(int dbOperation);

class BoundOperationHost {
public:
    virtual ~BoundOperationHost() = default;
    // The value the bound controls give for the field; false when no control supplies one.
    virtual bool ReadFieldValue(const TableDef& table, const FieldDef& field,
                                std::string& text) = 0;
    // Raises the pre-operation event; true when its handler asked to cancel.
    virtual bool CancelledByHandler() = 0;
    // Shows every field of the record buffer in the bound controls.
    virtual void ShowRecord(const TableDef& table) = 0;
};

// Where values from the controls are written: one after another, stepping over each value's
// stored size and each nullable field's null byte, Blob values placed after the fixed part
// (inserts, updates, transfers); or at each field's dictionary offset (key values for reads).
enum class Placement { Walk, DictionaryOffset };

// Writes every value the controls supply into the record buffer; fields no control supplies
// keep their bytes.
void ReadControlsIntoRecord(TableDef& table, BoundOperationHost& host, Placement placement);

// Runs one operation of a command button on an open table. The key is the one starting at
// segment position `indexId`. Gives the record manager's status, -2 when the handler
// cancelled, -3 for a table that is not open, or -1 for an operation outside the list.
int RunBoundOperation(TableDef& table, int dbOperation, int lockChoice, int indexId,
                      BoundOperationHost& host);

// A keyed read or step with the re-read of a variable-length record by its position, as the
// list-type controls and scroll bars use it. The data length is the buffer's.
int ReadWholeRecord(TableDef& table, int code, int lockBias, int indexId);
// The same for Get By Percentage along the key at `indexId` (0..10000), without a lock.
int ReadWholeRecordAtPercentage(TableDef& table, int indexId, int percentage);

}  // namespace zelmor
