// The check command: for each table, the file agrees with the dictionary, the physical record
// count agrees with the file's count, and every key leads to the records, in the same order
// forwards and backwards, each of them found again by its position along that key.
#include <cstdio>
#include <vector>

#include "core/LittleEndian.h"
#include "core/TableFiles.h"
#include "core/recordmanager/RecordManager.h"
#include "platform/CodePage.h"
#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Database.h"
#include "tools/zeldict/Progress.h"

namespace zelmor::tools {

namespace {

constexpr std::size_t kBufferSize = 1u << 20;

class TableCheck {
public:
    explicit TableCheck(TableDef& table) : table_(table), buffer_(kBufferSize) {}

    int Run() {
        std::vector<std::uint8_t> stat(4096, 0);
        std::uint32_t length = static_cast<std::uint32_t>(stat.size());
        char name[256] = {};
        int status = Call(op::kStat, stat.data(), length, name, -1, 255);
        if (status != 0) return Problem("Stat gives status " + std::to_string(status));
        std::uint32_t recorded = LoadU32(stat, 6);
        bool variable = (LoadU16(stat, 10) & 1) != 0;
        if (!variable && LoadU16(stat, 0) != table_.recordLength) {
            Problem("record length " + std::to_string(LoadU16(stat, 0)) + " in the file, " +
                    std::to_string(table_.recordLength) + " in the dictionary");
        }
        std::vector<std::uint32_t> physical;
        status = Walk(op::kStepFirst, op::kStepNext, -1, physical);
        if (status != 9) return Problem("stepping stops with status " + std::to_string(status));
        if (physical.size() != recorded) {
            Problem(std::to_string(physical.size()) + " records found, the file counts " +
                    std::to_string(recorded));
        }
        int key = 0;
        for (std::size_t i = 0; i < table_.segments.size(); ++i) {
            bool lastSegment = (table_.segments[i].flags & keyflag::kSegmented) == 0;
            if (!lastSegment) continue;
            bool nullable = (table_.segments[i].flags & (keyflag::kNullKey | keyflag::kNullAnySegment)) != 0;
            CheckKey(key++, recorded, nullable);
        }
        return problems_;
    }

private:
    int Call(std::uint16_t code, void* data, std::uint32_t& length, void* key, int keyNumber,
             int keyLength = 255) {
        return CurrentRecordManager().Call(code, table_.positionBlock, data, &length, key,
                                           static_cast<std::uint8_t>(keyLength),
                                           static_cast<std::int8_t>(keyNumber));
    }

    int Position(std::uint32_t& position) {
        std::vector<std::uint8_t> data(4, 0);
        std::uint32_t length = 4;
        int status = Call(op::kGetPosition, data.data(), length, key_, 0);
        position = LoadU32(data, 0);
        return status;
    }

    // Collects the positions along a walk; gives the status that ended it.
    int Walk(std::uint16_t first, std::uint16_t next, int keyNumber,
             std::vector<std::uint32_t>& positions) {
        Progress progress("check", 0);
        std::uint16_t code = first;
        for (;;) {
            std::uint32_t length = static_cast<std::uint32_t>(buffer_.size());
            int status = Call(code, buffer_.data(), length, key_, keyNumber);
            if (status != 0) return status;
            std::uint32_t position = 0;
            status = Position(position);
            if (status != 0) return status;
            positions.push_back(position);
            progress.Step(positions.size());
            code = next;
        }
    }

    void CheckKey(int key, std::uint32_t recorded, bool nullable) {
        std::vector<std::uint32_t> forward, backward;
        int status = Walk(op::kGetFirst, op::kGetNext, key, forward);
        if (status != 9) {
            Problem("key " + std::to_string(key) + ": reading stops with status " +
                    std::to_string(status));
            return;
        }
        if (nullable ? forward.size() > recorded : forward.size() != recorded) {
            Problem("key " + std::to_string(key) + " has " + std::to_string(forward.size()) +
                    " entries for " + std::to_string(recorded) + " records");
        }
        status = Walk(op::kGetLast, op::kGetPrevious, key, backward);
        std::vector<std::uint32_t> reversed(backward.rbegin(), backward.rend());
        if (status != 9 || reversed != forward) {
            Problem("key " + std::to_string(key) + " reads differently backwards");
        }
        for (std::uint32_t position : forward) {
            StoreU32(buffer_, 0, position);
            std::uint32_t length = static_cast<std::uint32_t>(buffer_.size());
            status = Call(op::kGetDirect, buffer_.data(), length, key_, key);
            if (status != 0) {
                Problem("key " + std::to_string(key) + ": the record at position " +
                        std::to_string(position) + " is not found again (status " +
                        std::to_string(status) + ")");
                return;
            }
        }
    }

    int Problem(const std::string& text) {
        std::fprintf(stderr, "%s: %s\n", platform::AnsiToUtf8(table_.name).c_str(), text.c_str());
        return ++problems_;
    }

    TableDef& table_;
    std::vector<std::uint8_t> buffer_;
    std::uint8_t key_[256] = {};
    int problems_ = 0;
};

}  // namespace

int RunCheck(const Arguments& arguments) {
    if (arguments.positional.empty() || arguments.positional.size() > 2) return kExitUsage;
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    std::vector<TableDef*> tables;
    if (arguments.positional.size() == 2) {
        TableDef* table = database.Table(arguments.positional[1]);
        if (table == nullptr) return kExitFailures;
        tables.push_back(table);
    } else {
        for (TableDef& table : database.Context().tables) tables.push_back(&table);
    }
    int damaged = 0;
    for (TableDef* table : tables) {
        std::string name = platform::AnsiToUtf8(table->name);
        if (!database.Open(*table, -2)) {
            std::fprintf(stderr, "%s: cannot be opened\n", name.c_str());
            ++damaged;
            continue;
        }
        int problems = TableCheck(*table).Run();
        std::printf("%s: %s\n", name.c_str(), problems == 0 ? "ok" : "DAMAGED");
        if (problems != 0) ++damaged;
        CloseTable(*table);
    }
    return damaged == 0 ? kExitOk : kExitFailures;
}

}  // namespace zelmor::tools
