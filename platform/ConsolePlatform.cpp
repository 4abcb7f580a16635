#include "platform/ConsolePlatform.h"

#include <cstdio>
#include <cstdlib>

#include "platform/CodePage.h"

namespace zelmor::platform {

int ConsolePlatform::ShowMessageBox(const std::string& text, unsigned style) {
    ++messages_;
    std::fprintf(stderr, "%s\n", AnsiToUtf8(text).c_str());
    return box::DefaultAnswer(style);
}

void ConsolePlatform::EndWithFatalError(const std::string& text) {
    std::fprintf(stderr, "%s\n", AnsiToUtf8(text).c_str());
    std::fflush(stderr);
    std::exit(3);
}

}  // namespace zelmor::platform
