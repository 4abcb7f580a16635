// A dictionary directory opened by the tool through the system's own loader and table files.
#pragma once

#include <memory>
#include <string>

#include "core/Dictionary.h"

namespace zelmor::tools {

class Database {
public:
    // Loads the dictionary of `directory`; false (with a message on standard error) when it
    // cannot be read.
    bool Load(const std::string& directory);

    FormContext& Context() { return *context_; }
    // The table of that name (UTF-8 as typed; converted to the ANSI code page), or nullptr with
    // a message.
    TableDef* Table(const std::string& nameUtf8);
    // Opens a table's file; false with a message.
    bool Open(TableDef& table, int openMode = 0);

    ~Database();

private:
    std::unique_ptr<FormContext> context_;
};

// The key's first segment position for a key name (UTF-8), -1 for none, or -2 with a message.
int KeyPosition(const TableDef& table, const std::string& nameUtf8);

// Reads the record the table is positioned on after `code` (a get or step), growing the buffer
// for a variable part. Gives the status.
int ReadRecord(TableDef& table, int code, int indexId);

}  // namespace zelmor::tools
