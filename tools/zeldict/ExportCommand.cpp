#include <cstdio>
#include <iostream>

#include "core/DbManager.h"
#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "core/recordmanager/RecordManager.h"
#include "extended/ExtendedRequest.h"
#include "extended/ResultSets.h"
#include "platform/CodePage.h"
#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Csv.h"
#include "tools/zeldict/Database.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace zelmor::tools {

namespace {

constexpr int kRecordsPerRequest = 100;

class Exporter {
public:
    Exporter(TableDef& table, const TextEncoding& encoding) : table_(table), encoding_(encoding) {}

    bool SelectColumns(const std::string& list) {
        if (list.empty()) {
            for (std::size_t i = 0; i < table_.fields.size(); ++i) columns_.push_back(i);
            return true;
        }
        std::size_t start = 0;
        while (start <= list.size()) {
            std::size_t comma = list.find(',', start);
            std::string name = list.substr(start, comma - start);
            int index = table_.FieldIndex(platform::Utf8ToAnsi(name));
            if (index < 0) {
                std::fprintf(stderr, "zeldict: the table has no field \"%s\"\n", name.c_str());
                return false;
            }
            columns_.push_back(static_cast<std::size_t>(index));
            if (comma == std::string::npos) break;
            start = comma + 1;
        }
        return true;
    }

    void WriteHeader() {
        std::vector<std::string> names;
        for (std::size_t column : columns_) {
            names.push_back(encoding_.FromSystem(table_.fields[column].name));
        }
        WriteCsvRow(std::cout, names);
    }

    // The record in the buffer as one row; a null field gives an empty cell.
    void WriteRecord() {
        std::vector<std::string> cells;
        for (std::size_t column : columns_) {
            const FieldDef& field = table_.fields[column];
            // Whole values: an export that cut long Blob or Note texts would lose them on the
            // way back in.
            cells.push_back(IsFieldNull(table_, field)
                                ? std::string()
                                : encoding_.FromSystem(WholeFieldText(table_, field)));
        }
        WriteCsvRow(std::cout, cells);
        ++rows_;
    }

    std::size_t Rows() const { return rows_; }

private:
    TableDef& table_;
    const TextEncoding& encoding_;
    std::vector<std::size_t> columns_;
    std::size_t rows_ = 0;
};

// Every record along the key (or physically without one).
int ExportAll(TableDef& table, int keyPosition, Exporter& exporter) {
    bool keyed = keyPosition >= 0;
    int status = ReadRecord(table, keyed ? op::kGetFirst : op::kStepFirst, keyPosition);
    while (status == 0) {
        exporter.WriteRecord();
        status = ReadRecord(table, keyed ? op::kGetNext : op::kStepNext, keyPosition);
    }
    return status == 9 ? 0 : status;
}

// The records that satisfy the condition: extended operations find their positions, and each
// record is read whole by its position.
int ExportWhere(TableDef& table, int keyPosition, const std::string& condition,
                Exporter& exporter) {
    bool keyed = keyPosition >= 0;
    int status = ReadRecord(table, keyed ? op::kGetFirst : op::kStepFirst, keyPosition);
    if (status == 9) return 0;
    if (status != 0) return status;
    TheDbManager().SetExtendedMode("UC");
    std::vector<std::int32_t> positions;
    for (;;) {
        int id = -1, count = 0;
        status = DbExAccess(table, keyed ? op::kGetNextExtended : op::kStepNextExtended,
                            condition, "0", keyPosition, 0, kRecordsPerRequest, false, id, count);
        if (id < 0) break;
        for (int i = 0; i < count; ++i) positions.push_back(DbExGetPosition(id, i));
        DbExFree(id);
        // 60: the reject count was reached; the scan goes on after the last record examined.
        if (status != 0 && status != 60) break;
        TheDbManager().SetExtendedMode("EG");
    }
    TheDbManager().SetExtendedMode("UC");
    if (status != 9) return status;
    for (std::int32_t position : positions) {
        status = DbGetDirectByID(table, static_cast<std::uint32_t>(position), -1);
        if (status == 22 && table.variableLength) status = ReadRecord(table, op::kGetDirect, -1);
        if (status != 0) return status;
        exporter.WriteRecord();
    }
    return 0;
}

// The library reads a condition up to the first token after a term that is not "&" or "|" and
// ignores the rest; the tool refuses such a condition rather than answer another question.
bool WholeCondition(const TableDef& table, const std::string& conditionUtf8) {
    const std::string condition = platform::Utf8ToAnsi(conditionUtf8);
    ParsedCondition parsed;
    std::size_t end = 0;
    if (!ParseSearchCondition(table, condition, false, parsed, &end)) return false;
    if (end >= condition.size()) return true;
    std::fprintf(stderr,
                 "zeldict: --where: \"%s\" was not understood; terms are joined by & (and) or "
                 "| (or), as in \"@Kind = A & @Credit > 100\"\n",
                 platform::AnsiToUtf8(condition.substr(end)).c_str());
    return false;
}

}  // namespace

int RunExport(const Arguments& arguments) {
    TextEncoding encoding;
    if (arguments.positional.size() != 2 || !ReadEncoding(arguments, encoding)) return kExitUsage;
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    TableDef* table = database.Table(arguments.positional[1]);
    if (table == nullptr || !database.Open(*table, -2)) return kExitFailures;
    int keyPosition = table->segments.empty() ? kNoKey : 0;
    if (arguments.Has("key")) {
        keyPosition = KeyPosition(*table, arguments.Option("key"));
        if (keyPosition == kKeyNameNotFound) return kExitFailures;
    }
    Exporter exporter(*table, encoding);
    if (!exporter.SelectColumns(arguments.Option("fields"))) return kExitFailures;
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // the rows end in CRLF already
#endif
    if (arguments.Has("where") && !WholeCondition(*table, arguments.Option("where"))) {
        return kExitFailures;
    }
    exporter.WriteHeader();
    int status = arguments.Has("where")
                     ? ExportWhere(*table, keyPosition,
                                   platform::Utf8ToAnsi(arguments.Option("where")), exporter)
                     : ExportAll(*table, keyPosition, exporter);
    std::cout.flush();
    if (status != 0) {
        std::fprintf(stderr, "zeldict: reading stopped after %zu records (status %d)\n",
                     exporter.Rows(), status);
        return kExitFailures;
    }
    return kExitOk;
}

}  // namespace zelmor::tools
