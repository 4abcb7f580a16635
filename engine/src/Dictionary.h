// The dictionary reader: FILE.DDF, FIELD.DDF and INDEX.DDF of a directory, read through the
// record-manager call and handed out one record per Read in the documented order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/src/FileSystem.h"

namespace zelmor::engine {

enum class DictionaryFile { kFile = 0, kField = 1, kIndex = 2 };

using RecordCall = std::function<std::int16_t(std::uint16_t op, void* block, void* data,
                                              std::uint32_t* dataLength, void* key,
                                              std::uint8_t keyLength, std::int8_t keyNumber)>;

class Dictionary {
public:
    bool IsOpen() const { return open_; }
    // Reads all three files (found whatever the case of their names) and sorts their records.
    Status Open(const std::string& directory, FileSystem& fileSystem, const RecordCall& call);
    // The next record of one file: kEndOfFile after the last, kFileNotOpen when not open.
    Status Read(DictionaryFile which, void* record);
    void Close();

private:
    struct Table {
        std::size_t recordSize = 0;  // bytes handed out per record
        std::vector<std::vector<std::uint8_t>> records;
        std::size_t next = 0;
    };
    Status Load(const std::string& path, const RecordCall& call, Table* table);

    bool open_ = false;
    Table tables_[3];
};

}  // namespace zelmor::engine
