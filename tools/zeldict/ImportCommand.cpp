#include <cstdio>
#include <fstream>

#include "core/FieldAccess.h"
#include "messages/Messages.h"
#include "core/RecordOperations.h"
#include "platform/CodePage.h"
#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Csv.h"
#include "tools/zeldict/Database.h"
#include "tools/zeldict/Progress.h"

namespace zelmor::tools {

namespace {

// Rows go in transactions of this many, so that an import is fast and a crash loses no more
// than the rows of one transaction.
constexpr std::size_t kRowsPerTransaction = 2000;

class Importer {
public:
    Importer(TableDef& table, const TextEncoding& encoding) : table_(table), encoding_(encoding) {}

    bool ReadHeader(const std::vector<std::string>& header) {
        for (const std::string& name : header) {
            int index = table_.FieldIndex(encoding_.ToSystem(name));
            if (index < 0) {
                std::fprintf(stderr, "line 1: the table has no field \"%s\"\n", name.c_str());
                return false;
            }
            columns_.push_back(static_cast<std::size_t>(index));
        }
        return true;
    }

    // 0, or the status (or code) that made the row fail.
    int InsertRow(const std::vector<std::string>& cells) {
        ResetRecordBuffer(table_);
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            std::size_t field = columns_[column];
            bool nullable = table_.fields[field].IsNullable();
            if (nullable && cells[column].empty()) {
                DbSetNull(table_, field, true);
                continue;
            }
            if (nullable) DbSetNull(table_, field, false);
            int status = DbSetFieldDataByID(table_, static_cast<int>(field),
                                            encoding_.ToSystem(cells[column]));
            if (status != 0) return status;
        }
        return DbAccessByID(table_, 2, -1);
    }

    std::size_t Columns() const { return columns_.size(); }

private:
    TableDef& table_;
    const TextEncoding& encoding_;
    std::vector<std::size_t> columns_;
};

}  // namespace

int RunImport(const Arguments& arguments) {
    TextEncoding encoding;
    if (arguments.positional.size() != 3 || !ReadEncoding(arguments, encoding)) return kExitUsage;
    std::ifstream in(arguments.Path(2), std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zeldict: cannot read %s\n", arguments.positional[2].c_str());
        return kExitFailures;
    }
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    TableDef* table = database.Table(arguments.positional[1]);
    if (table == nullptr || !database.Open(*table)) return kExitFailures;

    CsvReader reader(in);
    std::vector<std::string> cells;
    std::size_t line = 0;
    Importer importer(*table, encoding);
    if (!reader.ReadRow(cells, line) || !importer.ReadHeader(cells)) return kExitFailures;

    std::size_t rows = 0, failed = 0, uncommitted = 0;
    bool inTransaction = DbBeginTransaction(0) == 0;
    // Ends the current transaction; when it cannot be committed, its rows count as failed.
    auto commit = [&]() {
        if (inTransaction && DbEndTransaction() != 0) {
            std::fprintf(stderr, "line %zu: the %zu rows before it could not be committed\n",
                         line, uncommitted);
            failed += uncommitted;
        }
        uncommitted = 0;
    };
    Progress progress("import", 0);
    while (reader.ReadRow(cells, line)) {
        if (cells.empty()) continue;  // a blank line; a row of one empty cell is a row
        ++rows;
        int status = cells.size() == importer.Columns() ? importer.InsertRow(cells) : -1;
        if (status == 0) ++uncommitted;
        if (status != 0) {
            ++failed;
            if (cells.size() != importer.Columns()) {
                std::fprintf(stderr, "line %zu: %zu cells where the header has %zu\n", line,
                             cells.size(), importer.Columns());
            } else {
                std::fprintf(stderr, "line %zu: %s\n", line,
                             platform::AnsiToUtf8(StatusText(status)).c_str());
            }
        }
        if (inTransaction && rows % kRowsPerTransaction == 0) {
            commit();
            inTransaction = DbBeginTransaction(0) == 0;
        }
        progress.Step(rows);
    }
    commit();
    if (reader.Unterminated()) {
        std::fprintf(stderr, "line %zu: a quoted field runs to the end of the file\n", line);
        ++failed;
    }
    std::printf("%zu rows read, %zu inserted, %zu failed\n", rows, rows - failed, failed);
    return failed == 0 ? kExitOk : kExitFailures;
}

}  // namespace zelmor::tools
