// Writes a dictionary directory: FILE.DDF, FIELD.DDF and INDEX.DDF as files of the record
// manager, describing themselves (file IDs 1 to 3, flags 16, field names with '$' as third
// character) and the user tables given. The tables' own files are not created here.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "values/FieldDef.h"

namespace zelmor {

struct DictionarySegment {
    std::int32_t fieldId = 0;
    std::int32_t keyNumber = 0;
    std::int32_t part = 0;
    std::int32_t flags = 0;
};

struct DictionaryTable {
    std::int32_t fileId = 0;  // 4 and above; 1 to 3 are the dictionary's own files
    std::string name;
    std::string location;
    std::vector<FieldDef> fields;        // fieldId, name, dataType, offset, size, decimals, flags
    std::vector<FieldDef> namedIndexes;  // name, and the key number in `offset`
    std::vector<DictionarySegment> segments;
};

// A field as a dictionary table lists it.
FieldDef DictionaryField(std::int32_t fieldId, const char* name, DataType type, std::int32_t offset,
                         std::int32_t size, std::uint16_t flags = 0);

// Creates (replacing) the three dictionary files in `directory`. Gives 0 or the record
// manager's status of the first failing call.
int WriteDictionary(const std::string& directory, const std::vector<DictionaryTable>& tables);

}  // namespace zelmor
