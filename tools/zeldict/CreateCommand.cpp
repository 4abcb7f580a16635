#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "core/DictionaryLoader.h"
#include "core/DictionaryWriter.h"
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

}  // namespace

int RunCreate(const Arguments& arguments) {
    if (arguments.positional.size() != 2) return kExitUsage;
    const std::string schemaPath = arguments.Path(0);
    const std::string directory = arguments.Path(1);
    std::ifstream in(schemaPath, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "zeldict: cannot read %s\n", arguments.positional[0].c_str());
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
        std::fprintf(stderr, "zeldict: cannot create %s\n", arguments.positional[1].c_str());
        return kExitFailures;
    }
    if (DictionaryExists(directory) && !arguments.Has("force")) {
        std::fprintf(stderr, "zeldict: %s already holds a dictionary (--force replaces it)\n",
                     directory.c_str());
        return kExitFailures;
    }
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
        // Table creation reports its own failure (VE007).
        if (CreateTableFile(*context, table) != 0) ++failures;
    }
    std::printf("%zu tables in %s\n", context->tables.size(), directory.c_str());
    return failures == 0 ? kExitOk : kExitFailures;
}

}  // namespace zelmor::tools
