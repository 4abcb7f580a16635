#include "core/TableFiles.h"

#include <cstring>
#include <new>
#include <vector>

#include "core/DbManager.h"
#include "core/DictionaryLoader.h"
#include "core/FileSpecification.h"
#include "core/LittleEndian.h"
#include "messages/Messages.h"
#include "core/recordmanager/RecordManager.h"
#include "platform/Platform.h"

namespace zelmor {

namespace {

constexpr std::size_t kStatBufferSize = 4096;
constexpr std::size_t kMaxKeyLength = 255;
constexpr std::uint16_t kPageSize = 4096;
constexpr std::uint16_t kVariableLengthFlag = 0x0001;

int PathFor(const FormContext& context, const TableDef& table, std::string& path) {
    if (!BuildTablePath(context.directory, table.location, path)) return rc::kCannotShortenPath;
    // The record manager takes the path's length in one byte.
    if (path.size() > kMaxKeyLength) return rc::kBadLength;
    return 0;
}

std::int16_t CallOpen(TableDef& table, const std::string& path, const std::string& ownerName,
                      int openMode) {
    std::vector<char> owner(ownerName.begin(), ownerName.end());
    owner.push_back('\0');
    std::uint32_t ownerLength = ownerName.empty() ? 0 : static_cast<std::uint32_t>(owner.size());
    std::vector<char> key(path.begin(), path.end());
    key.push_back('\0');
    return CurrentRecordManager().Call(op::kOpen, table.positionBlock, owner.data(), &ownerLength,
                                       key.data(), static_cast<std::uint8_t>(path.size()),
                                       RecordManagerOpenMode(openMode));
}

// Releases the record manager's file without changing what the caller is told.
void DropFile(TableDef& table) {
    std::uint32_t length = 0;
    CurrentRecordManager().Call(op::kClose, table.positionBlock, nullptr, &length, nullptr, 0, 0);
}

void ReleaseBuffer(TableDef& table) {
    table.record.clear();
    table.record.shrink_to_fit();
}

}  // namespace

std::int8_t RecordManagerOpenMode(int openMode) {
    switch (openMode) {
        case kOpenAccel: return -1;
        case kOpenReadOnly: return -2;
        case kOpenVerify: return -3;
        case kOpenExclusive: return -4;
        case kOpenSfsh: return -32;
        case kOpenMfsh: return -64;
        default: return 0;
    }
}

bool BuildTablePath(const std::string& directory, const std::string& location,
                    std::string& path) {
    std::string shortDirectory;
    if (!platform::CurrentPlatform().ShortenPath(directory, shortDirectory)) return false;
    bool driveLetter = location.size() >= 2 && location[1] == ':';
    bool networkPath = location.compare(0, 2, "\\\\") == 0;
    if (driveLetter || networkPath) {
        path = location;
    } else if (location.find('.') != std::string::npos) {
        path = shortDirectory + "\\" + location;
    } else {
        path = shortDirectory + "\\" + location + ".btr";
    }
    return true;
}

int OpenTable(const FormContext& context, TableDef& table, const std::string& ownerName,
              int openMode) {
    int status = ResolveTableDefinitions(context, table);
    if (status != 0) return status;
    std::string path;
    status = PathFor(context, table, path);
    if (status != 0) return status;
    try {
        table.bufferLength = table.recordLength;
        table.record.assign(static_cast<std::size_t>(table.recordLength) + 1, 0);
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "Zeldb", __LINE__);
        return rc::kBadLength;
    }
    status = CallOpen(table, path, ownerName, openMode);
    if (status != 0) {
        ReleaseBuffer(table);
        return status;
    }
    std::vector<std::uint8_t> stat(kStatBufferSize, 0);
    std::uint32_t statLength = kStatBufferSize;
    char fileName[256] = {};
    status = CurrentRecordManager().Call(op::kStat, table.positionBlock, stat.data(), &statLength,
                                         fileName, sizeof fileName - 1, 0);
    if (status != 0) {
        // The table stays closed, so its file must not stay open behind it.
        DropFile(table);
        ReleaseBuffer(table);
        return status;
    }
    if ((LoadU16(stat, 10) & kVariableLengthFlag) != 0) {
        table.open = true;
        table.variableLength = true;
        return 0;
    }
    int fileRecordLength = static_cast<int>(LoadU16(stat, 0));
    if (fileRecordLength != table.recordLength) {
        ShowMessage(VE806, table.name.c_str(), fileRecordLength, table.recordLength);
        // Reported as 0 and the table stays closed; the record manager's file is closed too, so
        // that neither it nor the position block is left in use.
        DropFile(table);
        ReleaseBuffer(table);
        return 0;
    }
    table.open = true;
    table.variableLength = false;
    return 0;
}

int CloseTable(TableDef& table) {
    std::uint32_t length = 0;
    int status = CurrentRecordManager().Call(op::kClose, table.positionBlock, nullptr, &length,
                                             nullptr, 0, 0);
    if (status != 0) return status;
    table.open = false;
    ++table.closeCount;
    table.variableLength = false;
    ReleaseBuffer(table);
    return 0;
}

int CreateTableFile(const FormContext& context, TableDef& table) {
    int status = ResolveTableDefinitions(context, table);
    if (status != 0) return status;
    const DbManager& manager = TheDbManager();
    unsigned recordLength = static_cast<unsigned>(table.recordLength);
    unsigned fileFlags = manager.FileFlags();
    // A Note or LVar field starts the variable part: the fixed part is what comes before it.
    // Blob values are kept after the fixed part too, so a table with a Blob field is also made
    // variable-length (its fixed part keeps the dictionary's length); without that flag the
    // record manager would drop every Blob value. The flag is set, not added: a "file_flag"
    // that already has it must not turn into another flag.
    for (std::size_t i = 0; i < table.fields.size(); ++i) {
        int type = table.fields[i].dataType;
        if (type == kNote || type == kLVar) {
            recordLength = 0;
            for (std::size_t j = 0; j < i; ++j) {
                recordLength += static_cast<unsigned>(table.fields[j].size);
            }
            fileFlags |= kVariableLengthFlag;
            break;
        }
        if (type == kBlob) fileFlags |= kVariableLengthFlag;
    }
    std::vector<KeySegmentSpec> segments;
    std::vector<std::uint8_t> spec;
    try {
        for (const IndexDef& segment : table.segments) {
            segments.push_back(KeySegmentSpec{static_cast<std::uint16_t>(segment.offset + 1),
                                              static_cast<std::uint16_t>(segment.length),
                                              static_cast<std::uint16_t>(segment.flags),
                                              static_cast<std::uint8_t>(segment.dataType),
                                              manager.NullKeyValue()});
        }
        spec = FileSpecification(static_cast<std::uint16_t>(recordLength), kPageSize,
                                 static_cast<std::uint16_t>(fileFlags), segments);
    } catch (const std::bad_alloc&) {
        ShowMessage(VE001, "Zeldb", __LINE__);
        return rc::kBadLength;
    }
    std::string path;
    status = PathFor(context, table, path);
    if (status != 0) return status;
    status = CreateRecordManagerFile(path, spec);
    if (status != 0) ShowMessage(VE007, status);
    return status;
}

int OpenTableCreatingFile(const FormContext& context, TableDef& table,
                          const std::string& ownerName, int openMode) {
    if (table.open) return 0;
    int status = ResolveTableDefinitions(context, table);
    if (status != 0) return status;
    std::string path;
    status = PathFor(context, table, path);
    if (status == 0 && !platform::CurrentPlatform().FileExists(path)) {
        status = CreateTableFile(context, table);
        if (status != 0) return status;
    }
    if (status == 0) status = OpenTable(context, table, ownerName, openMode);
    if (status != 0) ShowMessage(VE803, table.name.c_str(), status);
    return status;
}

int SetTableLocation(TableDef& table, const std::string& location) {
    if (table.open) return rc::kAlreadyOpen;
    if (location.size() > kMaxLocation) return rc::kBadLength;
    table.location = location;
    return 0;
}

void CloseAllTables(FormContext& context) {
    for (TableDef& table : context.tables) {
        if (!table.open) continue;
        int status = CloseTable(table);
        if (status != 0) ShowMessage(VE813, table.name.c_str(), status);
    }
}

}  // namespace zelmor
