#include <algorithm>
#include <cstdio>

#include "platform/CodePage.h"
#include "tools/zeldict/Commands.h"

namespace zelmor::tools {

bool ParseArguments(int argc, char** argv, int first, const std::vector<std::string>& flags,
                    const std::vector<std::string>& options, Arguments& arguments) {
    for (int i = first; i < argc; ++i) {
        std::string argument = argv[i];
        if (argument.rfind("--", 0) != 0 || argument.size() == 2) {
            arguments.positional.push_back(argument);
            continue;
        }
        std::string name = argument.substr(2);
        if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
            arguments.options[name] = "";
            continue;
        }
        if (std::find(options.begin(), options.end(), name) == options.end()) {
            std::fprintf(stderr, "zeldict: unknown option --%s\n", name.c_str());
            return false;
        }
        if (i + 1 >= argc) return false;
        arguments.options[name] = argv[++i];
    }
    return true;
}

std::string Arguments::Path(std::size_t index) const {
#ifdef _WIN32
    return platform::Utf8ToAnsi(positional[index]);
#else
    return positional[index];
#endif
}

std::string TextEncoding::ToSystem(const std::string& text) const {
    return cp932 ? text : platform::Utf8ToAnsi(text);
}

std::string TextEncoding::FromSystem(const std::string& text) const {
    return cp932 ? text : platform::AnsiToUtf8(text);
}

bool ReadEncoding(const Arguments& arguments, TextEncoding& encoding) {
    std::string name = arguments.Option("encoding", "utf-8");
    if (name == "utf-8" || name == "UTF-8") {
        encoding.cp932 = false;
        return true;
    }
    if (name == "cp932" || name == "CP932") {
        encoding.cp932 = true;
        return true;
    }
    return false;
}

}  // namespace zelmor::tools
