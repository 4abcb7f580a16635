// The commands of zeldict. Each takes its arguments (after the command name) and gives the exit
// status: 0 success, 1 when some rows or records failed, 2 for a usage error.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace zelmor::tools {

constexpr int kExitOk = 0;
constexpr int kExitFailures = 1;
constexpr int kExitUsage = 2;

// Positional arguments and "--name value" / "--flag" options.
struct Arguments {
    std::vector<std::string> positional;
    std::map<std::string, std::string> options;

    bool Has(const std::string& name) const { return options.count(name) != 0; }
    std::string Option(const std::string& name, const std::string& fallback = "") const {
        auto found = options.find(name);
        return found == options.end() ? fallback : found->second;
    }
    // Positional argument `index`, a file or directory name, in the system's encoding of file
    // names (arguments are UTF-8; Windows names files in its ANSI code page).
    std::string Path(std::size_t index) const;
};

// Splits the arguments; options named in `flags` take no value, those in `options` take one.
// False for an option of neither list (a misspelt option is not silently ignored) or one
// without its value.
bool ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& flags,
                    const std::vector<std::string>& options, Arguments& arguments);

int RunCreate(const Arguments& arguments);
int RunTables(const Arguments& arguments);
int RunDescribe(const Arguments& arguments);
int RunImport(const Arguments& arguments);
int RunExport(const Arguments& arguments);
int RunDump(const Arguments& arguments);
int RunCheck(const Arguments& arguments);
int RunHelp(const Arguments& arguments);

// Text between the files (UTF-8, or code page 932 bytes as they are) and the system (ANSI).
struct TextEncoding {
    bool cp932 = false;
    std::string ToSystem(const std::string& text) const;
    std::string FromSystem(const std::string& text) const;
    // As ToSystem, for text read from a file: false, with why in English, when the text is not
    // valid in the file's encoding (with a hint at the other one) or holds characters the
    // system's code page cannot store.
    bool ToSystemChecked(const std::string& text, std::string& system, std::string& why) const;
};
// "--encoding": utf-8 (the default) or cp932; false for anything else.
bool ReadEncoding(const Arguments& arguments, TextEncoding& encoding);

}  // namespace zelmor::tools
