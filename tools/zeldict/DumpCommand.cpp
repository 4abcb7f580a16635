#include <cstdio>
#include <string>
#include <vector>

#include "core/LittleEndian.h"
#include "core/recordmanager/RecordManager.h"
#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Database.h"

namespace zelmor::tools {

namespace {

constexpr std::size_t kLargestRecord = 64u * 1024 * 1024;

// Reads the record a step lands on, whole: a buffer too short for its variable part is doubled
// and the record read again by its position. Gives the status and the record's bytes.
int Step(TableDef& table, std::uint16_t code, std::vector<std::uint8_t>& record,
         std::uint32_t& position) {
    RecordManager& manager = CurrentRecordManager();
    std::uint8_t key[256] = {};
    std::uint32_t length = static_cast<std::uint32_t>(record.size());
    int status = manager.Call(code, table.positionBlock, record.data(), &length, key, 255, 0);
    std::vector<std::uint8_t> where(4, 0);
    std::uint32_t whereLength = 4;
    if (status == 0 || status == 22) {
        int got = manager.Call(op::kGetPosition, table.positionBlock, where.data(), &whereLength,
                               key, 255, 0);
        if (got != 0) return got;
        position = LoadU32(where, 0);
    }
    while (status == 22 && record.size() < kLargestRecord) {
        record.resize(record.size() * 2);
        StoreU32(record, 0, position);
        length = static_cast<std::uint32_t>(record.size());
        status = manager.Call(op::kGetDirect, table.positionBlock, record.data(), &length, key,
                              255, -1);
    }
    if (status == 0) record.resize(length);
    return status;
}

}  // namespace

int RunDump(const Arguments& arguments) {
    if (arguments.positional.size() != 2) return kExitUsage;
    Database database;
    if (!database.Load(arguments.Path(0))) return kExitFailures;
    TableDef* table = database.Table(arguments.positional[1]);
    if (table == nullptr || !database.Open(*table, -2)) return kExitFailures;
    std::size_t start = std::max<std::size_t>(static_cast<std::size_t>(table->recordLength) + 1,
                                              4096);
    std::vector<std::uint8_t> record(start);
    std::uint32_t position = 0;
    int status = Step(*table, op::kStepFirst, record, position);
    while (status == 0) {
        static const char kDigits[] = "0123456789abcdef";
        std::string line = std::to_string(position) + '\t';
        for (std::uint8_t byte : record) {
            line += kDigits[byte >> 4];
            line += kDigits[byte & 15];
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
        record.assign(start, 0);
        status = Step(*table, op::kStepNext, record, position);
    }
    if (status != 9) {
        std::fprintf(stderr, "zeldict: reading stopped (status %d)\n", status);
        return kExitFailures;
    }
    return kExitOk;
}

}  // namespace zelmor::tools
