#include "engine/src/Dictionary.h"

#include <algorithm>
#include <cstring>

#include "engine/src/Bytes.h"
#include "engine/zelrm.h"

namespace zelmor::engine {

namespace {

const char* const kNames[3] = {"FILE.DDF", "FIELD.DDF", "INDEX.DDF"};
const std::size_t kRecordSizes[3] = {ZELRM_DDF_FILE_RECORD_SIZE, ZELRM_DDF_FIELD_RECORD_SIZE,
                                     ZELRM_DDF_INDEX_RECORD_SIZE};
constexpr std::uint32_t kReadBuffer = 65536;

bool SameNameIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::int16_t Field(const std::vector<std::uint8_t>& record, std::size_t offset) {
    return static_cast<std::int16_t>(Load16(record.data() + offset));
}

// The orders the reader hands records out in: file ID; file ID, field ID; file ID, key, part.
bool Before(DictionaryFile which, const std::vector<std::uint8_t>& a,
            const std::vector<std::uint8_t>& b) {
    switch (which) {
        case DictionaryFile::kFile:
            return Field(a, 0) < Field(b, 0);
        case DictionaryFile::kField:
            return std::make_pair(Field(a, 2), Field(a, 0)) < std::make_pair(Field(b, 2), Field(b, 0));
        default:
            return std::make_tuple(Field(a, 0), Field(a, 4), Field(a, 6)) <
                   std::make_tuple(Field(b, 0), Field(b, 4), Field(b, 6));
    }
}

}  // namespace

Status Dictionary::Load(const std::string& path, const RecordCall& call, Table* table) {
    if (path.size() > 255) return Status::kInvalidFileName;
    std::uint8_t block[ZELRM_POSITION_BLOCK_SIZE] = {};
    std::uint32_t length = 0;
    std::vector<char> name(path.begin(), path.end());
    name.push_back(0);
    auto status = static_cast<Status>(call(ZELRM_OP_OPEN, block, nullptr, &length, name.data(),
                                           static_cast<std::uint8_t>(path.size()),
                                           ZELRM_MODE_READ_ONLY));
    if (Failed(status)) return status;
    std::vector<std::uint8_t> buffer(kReadBuffer);
    for (int op = ZELRM_OP_STEP_FIRST;; op = ZELRM_OP_STEP_NEXT) {
        length = kReadBuffer;
        status = static_cast<Status>(call(static_cast<std::uint16_t>(op), block, buffer.data(),
                                          &length, nullptr, 0, 0));
        if (status == Status::kEndOfFile) {
            status = Status::kOk;
            break;
        }
        if (Failed(status)) break;
        // Short records read as zero-filled: the layout's fields past their end are zero.
        std::vector<std::uint8_t> record(buffer.begin(), buffer.begin() + length);
        if (record.size() < table->recordSize) record.resize(table->recordSize, 0);
        table->records.push_back(std::move(record));
    }
    length = 0;
    call(ZELRM_OP_CLOSE, block, nullptr, &length, nullptr, 0, 0);
    return status;
}

Status Dictionary::Open(const std::string& directory, FileSystem& fileSystem,
                        const RecordCall& call) {
    Close();
    std::string folder = directory;
#ifndef _WIN32
    std::replace(folder.begin(), folder.end(), '\\', '/');
#endif
    while (folder.size() > 1 && (folder.back() == '/' || folder.back() == '\\')) folder.pop_back();
    if (folder.empty()) folder = ".";
    std::vector<std::string> entries;
    ZELRM_TRY(fileSystem.ListDirectory(folder, &entries));
    for (int i = 0; i < 3; ++i) {
        auto found = std::find_if(entries.begin(), entries.end(), [i](const std::string& entry) {
            return SameNameIgnoringCase(entry, kNames[i]);
        });
        if (found == entries.end()) {
            Close();
            return Status::kFileNotFound;
        }
        Table& table = tables_[i];
        table.recordSize = kRecordSizes[i];
        Status status = Load(folder + "/" + *found, call, &table);
        if (Failed(status)) {
            Close();
            return status;
        }
        const auto which = static_cast<DictionaryFile>(i);
        std::stable_sort(table.records.begin(), table.records.end(),
                         [which](const auto& a, const auto& b) { return Before(which, a, b); });
    }
    open_ = true;
    return Status::kOk;
}

Status Dictionary::Read(DictionaryFile which, void* record) {
    if (!open_) return Status::kFileNotOpen;
    if (record == nullptr) return Status::kDataBufferTooShort;
    Table& table = tables_[static_cast<int>(which)];
    if (table.next >= table.records.size()) return Status::kEndOfFile;
    std::memcpy(record, table.records[table.next++].data(), table.recordSize);
    return Status::kOk;
}

void Dictionary::Close() {
    open_ = false;
    for (Table& table : tables_) {
        table.records.clear();
        table.next = 0;
    }
}

}  // namespace zelmor::engine
