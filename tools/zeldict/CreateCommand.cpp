#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/DictionaryLoader.h"
#include "core/DictionaryWriter.h"
#include "core/RecordOperations.h"
#include "core/TableFiles.h"
#include "platform/CodePage.h"
#include "tools/zeldict/Commands.h"
#include "tools/zeldict/Schema.h"

namespace zelmor::tools {

namespace {

bool DictionaryExists(const std::filesystem::path& directory) {
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
        std::string name = entry.path().filename().string();
        for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (name == "FILE.DDF") return true;
    }
    return false;
}

// The folder of every table's file must be there before anything is written: a half-made
// database would make the next run refuse to replace it.
bool LocationsExist(const std::string& directory, const std::vector<DictionaryTable>& tables) {
    for (const DictionaryTable& table : tables) {
        std::string path;
        std::error_code error;
        if (!BuildTablePath(directory, table.location, path)) continue;
        const std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (!folder.empty() && !std::filesystem::is_directory(folder, error)) {
            std::fprintf(stderr, "zeldict: table \"%s\": the folder of its location \"%s\" does "
                                 "not exist (%s)\n",
                         platform::AnsiToUtf8(table.name).c_str(),
                         platform::AnsiToUtf8(table.location).c_str(), folder.string().c_str());
            return false;
        }
    }
    return true;
}

// Says what a forced create replaces: each table of the old dictionary that holds records.
void ReportReplaced(const std::string& directory) {
    std::unique_ptr<FormContext> old;
    if (LoadDictionaryFull(directory, old) != 0) return;
    for (TableDef& table : old->tables) {
        if (OpenTable(*old, table, "", -2) != 0 || !table.open) continue;
        std::uint32_t count = 0;
        if (DbGetNumOfRecords(table, count) == 0 && count > 0) {
            std::fprintf(stderr, "zeldict: replacing table \"%s\" with its %u records\n",
                         platform::AnsiToUtf8(table.name).c_str(), count);
        }
    }
    CloseAllTables(*old);
}

}  // namespace

int RunCreate(const Arguments& arguments) {
    if (arguments.positional.size() != 2) return kExitUsage;
    const std::string schemaPath = arguments.Path(0);
    const std::string directory = arguments.Path(1);
    std::error_code ignored;
    std::ifstream in(schemaPath, std::ios::binary);
    if (!in || std::filesystem::is_directory(schemaPath, ignored)) {
        std::fprintf(stderr, "zeldict: cannot read %s: %s\n", arguments.positional[0].c_str(),
                     std::filesystem::is_directory(schemaPath, ignored) ? "it is a folder"
                     : std::filesystem::exists(schemaPath, ignored)     ? "permission denied"
                                                                        : "no such file");
        return kExitFailures;
    }
    std::ostringstream text;
    text << in.rdbuf();
    SchemaResult schema = ReadSchema(text.str());
    if (!schema.error.empty()) {
        std::fprintf(stderr, "zeldict: %s: %s\n", arguments.positional[0].c_str(), schema.error.c_str());
        return kExitFailures;
    }
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        std::fprintf(stderr, "zeldict: cannot create %s: %s\n", arguments.positional[1].c_str(),
                     error.message().c_str());
        return kExitFailures;
    }
    const bool exists = DictionaryExists(directory);
    if (exists && !arguments.Has("force")) {
        std::fprintf(stderr, "zeldict: %s already holds a dictionary (--force replaces it)\n",
                     directory.c_str());
        return kExitFailures;
    }
    if (!LocationsExist(directory, schema.tables)) return kExitFailures;
    if (exists) ReportReplaced(directory);
    int status = WriteDictionary(directory, schema.tables);
    if (status != 0) {
        std::fprintf(stderr, "zeldict: writing the dictionary failed (status %d)\n", status);
        return kExitFailures;
    }
    std::unique_ptr<FormContext> context;
    status = LoadDictionaryFull(directory, context);
    if (status != 0) {
        std::fprintf(stderr, "zeldict: the new dictionary cannot be read (status %d)\n", status);
        return kExitFailures;
    }
    int failures = 0;
    for (TableDef& table : context->tables) {
        // Table creation shows its own message (VE007); the tool names the file.
        if (CreateTableFile(*context, table) != 0) {
            std::string path;
            BuildTablePath(directory, table.location, path);
            std::fprintf(stderr, "zeldict: cannot create the file of table \"%s\": %s\n",
                         platform::AnsiToUtf8(table.name).c_str(), path.c_str());
            ++failures;
        }
    }
    std::printf("%zu tables in %s\n", context->tables.size(), directory.c_str());
    return failures == 0 ? kExitOk : kExitFailures;
}

}  // namespace zelmor::tools
