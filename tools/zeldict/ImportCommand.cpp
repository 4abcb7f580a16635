#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "core/FieldAccess.h"
#include "core/RecordOperations.h"
#include "messages/Messages.h"
#include "platform/CodePage.h"
#include "tools/zeldict/CellCheck.h"
#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Csv.h"
#include "tools/zeldict/Database.h"
#include "tools/zeldict/Progress.h"

namespace zelmor::tools {

namespace {

// Rows go in transactions of this many, so that an import is fast and a crash or an interrupt
// loses no more than the rows of one transaction.
constexpr std::size_t kRowsPerTransaction = 2000;

std::atomic<bool> interrupted{false};

extern "C" void OnInterrupt(int) {
    interrupted = true;
}

class Importer {
public:
    Importer(TableDef& table, const TextEncoding& encoding, const std::string& file, bool lenient)
        : table_(table), encoding_(encoding), file_(file), lenient_(lenient) {}

    bool ReadHeader(const std::vector<std::string>& header) {
        for (std::size_t column = 0; column < header.size(); ++column) {
            std::string name;
            std::string why;
            if (!encoding_.ToSystemChecked(header[column], name, why)) {
                Report(1, "column " + std::to_string(column + 1) + " of the header " + why);
                return false;
            }
            int index = table_.FieldIndex(name);
            if (index < 0) {
                Report(1, "the table has no field \"" + header[column] + "\"");
                return false;
            }
            columns_.push_back(static_cast<std::size_t>(index));
        }
        return true;
    }

    // Checks every cell, then inserts the row: 0, -1 for a cell refused (reported here), or
    // the record manager's status.
    int InsertRow(const std::vector<std::string>& cells, std::size_t line) {
        ResetRecordBuffer(table_);
        for (std::size_t column = 0; column < columns_.size(); ++column) {
            const std::size_t field = columns_[column];
            const FieldDef& definition = table_.fields[field];
            const std::string& cell = cells[column];
            const bool nullable = definition.IsNullable();
            if (nullable && cell.empty()) {
                DbSetNull(table_, field, true);
                continue;
            }
            if (nullable) DbSetNull(table_, field, false);
            std::string system;
            std::string why;
            const std::string name = platform::AnsiToUtf8(definition.name);
            if (!encoding_.ToSystemChecked(cell, system, why)) {
                // The cell itself is not shown: its bytes are not text in this encoding.
                Report(line, "column " + std::to_string(column + 1) + " (\"" + name + "\") " + why);
                return -1;
            }
            if (!lenient_ && !(why = CheckCell(definition, system)).empty()) {
                Report(line, "field \"" + name + "\": \"" + Shown(cell) + "\" " +
                                 encoding_.FromSystem(why));
                return -1;
            }
            int status = DbSetFieldDataByID(table_, static_cast<int>(field), system);
            if (status != 0) return status;
        }
        return DbAccessByID(table_, 2, -1);
    }

    std::size_t Columns() const { return columns_.size(); }

    void Report(std::size_t line, const std::string& what) const {
        std::fprintf(stderr, "%s:%zu: %s\n", file_.c_str(), line, what.c_str());
    }

private:
    // A cell as a message shows it: long ones are cut (a 50 MB cell is not printed whole).
    static std::string Shown(const std::string& cell) {
        constexpr std::size_t kShown = 60;
        if (cell.size() <= kShown) return cell;
        std::string start = cell.substr(0, kShown);
        while (!start.empty() && (static_cast<unsigned char>(start.back()) & 0xC0) == 0x80) {
            start.pop_back();  // not in the middle of a UTF-8 character
        }
        if (!start.empty() && static_cast<unsigned char>(start.back()) >= 0xC0) start.pop_back();
        return start + "...";
    }

    TableDef& table_;
    const TextEncoding& encoding_;
    std::string file_;
    bool lenient_;
    std::vector<std::size_t> columns_;
};

// Opens the CSV file, with a message naming it and the reason when it cannot be read.
bool OpenCsv(const Arguments& arguments, std::ifstream& in) {
    const std::string shown = arguments.positional[2];
    std::error_code error;
    const std::filesystem::path path(arguments.Path(2));
    if (std::filesystem::is_directory(path, error)) {
        std::fprintf(stderr, "zeldict: %s is a folder, not a CSV file\n", shown.c_str());
        return false;
    }
    in.open(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zeldict: cannot read %s: %s\n", shown.c_str(),
                     std::filesystem::exists(path, error) ? "permission denied"
                                                          : "no such file");
        return false;
    }
    return true;
}

}  // namespace

int RunImport(const Arguments& arguments) {
    TextEncoding encoding;
    if (arguments.positional.size() != 3 || !ReadEncoding(arguments, encoding)) return kExitUsage;
    const std::string file = arguments.positional[2];
    std::ifstream in;
    if (!OpenCsv(arguments, in)) return kExitFailures;
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    TableDef* table = database.Table(arguments.positional[1]);
    if (table == nullptr || !database.Open(*table)) return kExitFailures;

    // A UTF-8 byte-order mark (spreadsheets write one) is not part of the first field's name.
    char mark[3] = {};
    in.read(mark, 3);
    const bool bom = in.gcount() == 3 && std::string(mark, 3) == "\xEF\xBB\xBF";
    if (bom && encoding.cp932) {
        std::fprintf(stderr, "%s:1: the file starts with a UTF-8 byte-order mark; leave out "
                             "--encoding cp932\n", file.c_str());
        return kExitFailures;
    }
    if (!bom) {
        in.clear();
        in.seekg(0);
    }
    CsvReader reader(in);
    std::vector<std::string> cells;
    std::size_t line = 0;
    Importer importer(*table, encoding, file, arguments.Has("lenient"));
    if (!reader.ReadRow(cells, line)) {
        std::fprintf(stderr, "zeldict: %s is empty; its first line must name the fields\n",
                     file.c_str());
        return kExitFailures;
    }
    if (!importer.ReadHeader(cells)) return kExitFailures;

    const bool atomic = arguments.Has("atomic");
    std::size_t rows = 0, failed = 0, inserted = 0, uncommitted = 0;
    std::size_t storedUpTo = 1;  // the last line of the rows committed so far
    bool inTransaction = DbBeginTransaction(0) == 0;
    if (atomic && !inTransaction) {
        std::fprintf(stderr, "zeldict: --atomic needs a transaction, which the record manager "
                             "refused\n");
        return kExitFailures;
    }
    // Ends the current transaction; when it cannot be committed, its rows count as failed.
    auto commit = [&]() {
        if (inTransaction && DbEndTransaction() != 0) {
            std::fprintf(stderr, "%s:%zu: the %zu rows before it could not be committed\n",
                         file.c_str(), line, uncommitted);
            failed += uncommitted;
        } else {
            inserted += uncommitted;
            storedUpTo = line;
        }
        uncommitted = 0;
    };
    interrupted = false;
    auto previousHandler = std::signal(SIGINT, OnInterrupt);
    Progress progress("import", 0);
    while (!interrupted && reader.ReadRow(cells, line)) {
        if (cells.empty()) continue;  // a blank line; a row of one empty cell is a row
        ++rows;
        int status = -1;
        if (reader.Unterminated()) {
            importer.Report(line, "a quoted field runs to the end of the file");
        } else if (cells.size() != importer.Columns()) {
            importer.Report(line, std::to_string(cells.size()) + " cells where the header has " +
                                      std::to_string(importer.Columns()));
        } else {
            status = importer.InsertRow(cells, line);
            if (status > 0) {
                importer.Report(line, platform::AnsiToUtf8(StatusText(status)));
            }
        }
        if (status == 0) {
            ++uncommitted;
        } else {
            ++failed;
        }
        if (!atomic && inTransaction && rows % kRowsPerTransaction == 0) {
            commit();
            inTransaction = DbBeginTransaction(0) == 0;
        }
        progress.Step(rows);
    }
    std::signal(SIGINT, previousHandler);
    if (interrupted || (atomic && failed > 0)) {
        // The rows of the open transaction go; with --atomic that is every row.
        if (inTransaction) {
            DbAbortTransaction();
        } else {
            inserted += uncommitted;  // each row went in on its own
            storedUpTo = line;
        }
        if (interrupted) {
            if (inserted == 0) {
                std::fprintf(stderr, "interrupted: no rows are stored\n");
            } else {
                std::fprintf(stderr, "interrupted: rows up to line %zu are stored\n", storedUpTo);
            }
        } else {
            std::fprintf(stderr, "nothing stored: %zu of %zu rows failed (--atomic)\n", failed,
                         rows);
        }
    } else {
        commit();
    }
    std::printf("%zu rows read, %zu inserted, %zu failed\n", rows, inserted, failed);
    return failed == 0 && !interrupted ? kExitOk : kExitFailures;
}

}  // namespace zelmor::tools
