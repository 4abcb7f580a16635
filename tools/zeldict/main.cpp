// zeldict: creates dictionaries and their table files from a schema, imports and exports CSV,
// dumps records and checks files, through the same layers the controls use.
#include <cstdio>
#include <cstring>
#include <string>

#include "core/Process.h"
#include "platform/ConsolePlatform.h"
#include "platform/Platform.h"
#include "tools/zeldict/Commands.h"
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>

#include "platform/CodePage.h"
#else
#include "platform/PosixPlatform.h"
#endif

using namespace zelmor;
using namespace zelmor::tools;

namespace {

struct Command {
    const char* name;
    int (*run)(const Arguments&);
    const char* usage;
    std::vector<std::string> flags;    // options without a value
    std::vector<std::string> options;  // options with a value
};

const Command kCommands[] = {
    {"create", RunCreate,
     "create SCHEMA.json DIR [--force]\n"
     "  Writes the dictionary (FILE.DDF, FIELD.DDF, INDEX.DDF) and creates every table file.\n"
     "  --force replaces a dictionary that is already there.",
     {"force"},
     {}},
    {"tables", RunTables,
     "tables DIR\n  Lists the tables: ID, name, location, record length, fields, keys.", {}, {}},
    {"describe", RunDescribe,
     "describe DIR TABLE\n  Lists the fields (ID, name, type, offset, size, decimals, nullable)\n"
     "  and the keys (number, segments, flags).",
     {},
     {}},
    {"import", RunImport,
     "import DIR TABLE FILE.csv [--encoding utf-8|cp932] [--lenient] [--atomic]\n"
     "  Inserts one record per row; the header row names the fields. A row with a cell that\n"
     "  would not be stored as written fails (see \"zeldict help types\"); --lenient stores\n"
     "  such cells converted as the library converts them. --atomic stores every row or none.",
     {"lenient", "atomic"},
     {"encoding"}},
    {"export", RunExport,
     "export DIR TABLE [--key NAME] [--where CONDITION] [--fields A,B,...] [--encoding ...]\n"
     "  Writes the records as CSV to standard output, along a key (the first by default).",
     {},
     {"key", "where", "fields", "encoding"}},
    {"dump", RunDump,
     "dump DIR TABLE\n  One line per record: position, a tab, the record image in hex.", {}, {}},
    {"help", RunHelp,
     "help schema|types|where\n  The members of a schema, the types and their text in CSV files, or the\n"
     "  condition language of --where.",
     {},
     {}},
    {"check", RunCheck,
     "check DIR [TABLE]\n  Checks record lengths, record counts, key order and the keys against\n"
     "  the records.",
     {},
     {}},
};

void PrintUsage(FILE* out) {
    std::fprintf(out, "usage: zeldict [--profile-dir DIR] COMMAND ARGUMENTS\n\ncommands:\n");
    for (const Command& command : kCommands) std::fprintf(out, "  %s\n", command.usage);
    std::fprintf(out, "\n--profile-dir names the directory of zelmor.ini (not on Windows).\n");
}

#ifdef _WIN32
// The command line as UTF-8, whatever the system's code page, so that names and conditions are
// read the same way everywhere (the C runtime would hand them over in the ANSI code page).
std::vector<std::string> Utf8CommandLine() {
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i)
        arguments.push_back(
            platform::Utf16ToUtf8(reinterpret_cast<const char16_t*>(wide[i])));
    LocalFree(wide);
    return arguments;
}
#endif

int Run(int argc, char** argv);

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    std::vector<std::string> utf8 = Utf8CommandLine();
    std::vector<char*> pointers;
    for (std::string& argument : utf8) pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    if (!utf8.empty()) return Run(static_cast<int>(utf8.size()), pointers.data());
#endif
    return Run(argc, argv);
}

namespace {

int Run(int argc, char** argv) {
    int at = 1;
    while (at < argc && argv[at][0] == '-') {
        if (std::strcmp(argv[at], "--help") == 0) {
            PrintUsage(stdout);
            return kExitOk;
        }
        if (std::strcmp(argv[at], "--profile-dir") == 0 && at + 1 < argc) {
#ifndef _WIN32
            platform::SetProfileDirectory(argv[at + 1]);
#endif
            at += 2;
            continue;
        }
        PrintUsage(stderr);
        return kExitUsage;
    }
    if (at >= argc) {
        PrintUsage(stderr);
        return kExitUsage;
    }
    platform::ConsolePlatform console;
    platform::SetCurrentPlatform(&console);
    InitializeProcessState();
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[at], command.name) != 0) continue;
        Arguments arguments;
        std::vector<std::string> flags = command.flags;
        flags.push_back("help");
        if (!ParseArguments(argc, argv, at + 1, flags, command.options, arguments)) {
            std::fprintf(stderr, "usage: zeldict %s\n", command.usage);
            return kExitUsage;
        }
        if (arguments.Has("help")) {
            std::printf("usage: zeldict %s\n", command.usage);
            return kExitOk;
        }
        int status = command.run(arguments);
        if (status == kExitUsage) std::fprintf(stderr, "usage: zeldict %s\n", command.usage);
        return status;
    }
    std::fprintf(stderr, "zeldict: unknown command \"%s\"\n", argv[at]);
    PrintUsage(stderr);
    return kExitUsage;
}

}  // namespace
