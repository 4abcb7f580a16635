// A database schema in JSON: tables with their fields and keys, turned into the dictionary's
// tables. Every check runs before anything is written; a refusal names the table and field.
//
// { "tables": [ { "name": "Customer", "location": "CUSTOMER",
//     "fields": [ {"name": "Code", "type": "Integer", "size": 4},
//                 {"name": "Memo", "type": "Note", "size": 200, "nullable": true} ],
//     "keys": [ {"name": "ByCode", "segments": [{"field": "Code"}]},
//               {"segments": [{"field": "Kind"}, {"field": "Name", "descending": true,
//                 "caseInsensitive": true}], "duplicates": true, "modifiable": true} ] } ] }
#pragma once

#include <string>
#include <vector>

#include "core/DictionaryWriter.h"

namespace zelmor::tools {

struct SchemaResult {
    std::vector<DictionaryTable> tables;
    std::string error;  // UTF-8; empty when the schema is sound
};

// Reads a schema from its JSON text (UTF-8). Names are converted to the ANSI code page.
SchemaResult ReadSchema(const std::string& json);

}  // namespace zelmor::tools
