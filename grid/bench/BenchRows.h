// The table both grid benchmarks fill from: Row, with Id (its key), Grp (Id % 10, for a filter
// that keeps one record in ten) and six more fields of both kinds, eight in all.
#pragma once

#include <cstdlib>
#include <string>

#include "core/DictionaryWriter.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/recordmanager/RecordManager.h"

namespace zelmor::bench {

inline const char* const kRowFields = "Id,Grp,Name,City,Qty,Price,Code,Note";

inline DictionaryTable RowTable() {
    DictionaryTable rows{4, "Row", "ROW", {}, {}, {}};
    rows.fields = {DictionaryField(20, "Id", kInteger, 0, 4),
                   DictionaryField(21, "Grp", kInteger, 4, 4),
                   DictionaryField(22, "Name", kString, 8, 20),
                   DictionaryField(23, "City", kString, 28, 16),
                   DictionaryField(24, "Qty", kInteger, 44, 4),
                   DictionaryField(25, "Price", kInteger, 48, 4),
                   DictionaryField(26, "Code", kString, 52, 8),
                   DictionaryField(27, "Note", kString, 60, 12)};
    rows.segments = {{20, 0, 0, keyflag::kExtendedType}};
    return rows;
}

// Inserts records 1 .. count into the open table, in one transaction.
inline void InsertRows(TableDef& table, int count) {
    DbBeginTransaction(0);
    for (int id = 1; id <= count; ++id) {
        const std::string number = std::to_string(id);
        DbClearFieldBuffer(table);
        DbSetFieldData(table, "Id", number);
        DbSetFieldData(table, "Grp", std::to_string(id % 10));
        DbSetFieldData(table, "Name", "Name " + number);
        DbSetFieldData(table, "City", "City " + std::to_string(id % 97));
        DbSetFieldData(table, "Qty", std::to_string(id % 1000));
        DbSetFieldData(table, "Price", std::to_string(id * 7 % 100000));
        DbSetFieldData(table, "Code", "C" + std::to_string(id % 10000));
        DbSetFieldData(table, "Note", "note");
        if (DbAccessByID(table, op::kInsert, 0) != 0) std::abort();
    }
    DbEndTransaction();
}

}  // namespace zelmor::bench
