#include "tools/zeldict/Database.h"

#include <cstdio>
#include <filesystem>

#include "core/BoundOperations.h"
#include "core/DictionaryLoader.h"
#include "messages/Messages.h"
#include "core/TableFiles.h"
#include "platform/CodePage.h"

namespace zelmor::tools {

bool Database::Load(const std::string& directory) {
    int status = LoadDictionaryFull(directory, context_);
    if (status != 0) {
        std::fprintf(stderr, "%s\n",
                     platform::AnsiToUtf8(FormatMessageText(VE028, status)).c_str());
        std::error_code error;
        const std::string why = !std::filesystem::is_directory(directory, error)
                                    ? "no such folder"
                                : !std::filesystem::exists(std::filesystem::path(directory) /
                                                               "FILE.DDF",
                                                           error)
                                    ? "no FILE.DDF there"
                                    : platform::AnsiToUtf8(StatusText(status));
        std::fprintf(stderr, "zeldict: cannot read the dictionary in %s: %s\n",
                     directory.c_str(), why.c_str());
        return false;
    }
    return true;
}

TableDef* Database::Table(const std::string& nameUtf8) {
    TableDef* table = context_->TableByName(platform::Utf8ToAnsi(nameUtf8));
    if (table == nullptr) std::fprintf(stderr, "no table \"%s\" in the dictionary\n", nameUtf8.c_str());
    return table;
}

bool Database::Open(TableDef& table, int openMode) {
    int status = OpenTable(*context_, table, "", openMode);
    if (status == 0 && !table.open) return false;  // the file disagrees with the dictionary
    if (status != 0) {
        std::fprintf(stderr, "%s\n",
                     platform::AnsiToUtf8(FormatMessageText(VE803, table.name.c_str(), status))
                         .c_str());
        return false;
    }
    return true;
}

Database::~Database() {
    if (context_) CloseAllTables(*context_);
}

int KeyPosition(const TableDef& table, const std::string& nameUtf8) {
    int position = FindKeyByName(table, platform::Utf8ToAnsi(nameUtf8));
    if (position == kKeyNameNotFound) {
        std::fprintf(stderr, "no key \"%s\" in table \"%s\"\n", nameUtf8.c_str(),
                     platform::AnsiToUtf8(table.name).c_str());
    }
    return position;
}

int ReadRecord(TableDef& table, int code, int indexId) {
    return ReadWholeRecord(table, code, 0, indexId);
}

}  // namespace zelmor::tools
