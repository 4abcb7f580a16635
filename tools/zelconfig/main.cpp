// zelconfig: prints the options the library reads from "zelmor.ini" (and "win.ini") on this
// machine, and the status texts of a few record-manager statuses.
//
//   zelconfig [--profile-dir DIR] [STATUS...]
//
// --profile-dir (POSIX only) names the directory that holds the initialisation files.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/DbManager.h"
#include "messages/Messages.h"
#include "core/Process.h"
#include "platform/CodePage.h"
#include "platform/Platform.h"
#include "values/GlobalOptions.h"
#ifndef _WIN32
#include "platform/PosixPlatform.h"
#endif

using namespace zelmor;

namespace {

int Usage() {
    std::fprintf(stderr, "usage: zelconfig [--profile-dir DIR] [STATUS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<int> statuses;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--profile-dir") == 0 && i + 1 < argc) {
#ifndef _WIN32
            platform::SetProfileDirectory(argv[++i]);
#else
            ++i;  // Windows reads the files from the Windows directory
#endif
        } else if (std::strcmp(argv[i], "--help") == 0) {
            Usage();
            return 0;
        } else {
            char* end = nullptr;
            long status = std::strtol(argv[i], &end, 10);
            if (end == argv[i] || *end != '\0') return Usage();
            statuses.push_back(static_cast<int>(status));
        }
    }
    if (statuses.empty()) statuses = {4, 46};

#ifndef _WIN32
    std::printf("profile directory: %s\n", platform::ProfileDirectory().c_str());
#endif
    std::printf("ANSI code page:    %u\n", platform::AnsiCodePage());
    InitializeProcessState();
    const GlobalOptions& o = Options();
    std::printf("null_key:          %u\n", TheDbManager().NullKeyValue());
    std::printf("file_flag:         %u\n", TheDbManager().FileFlags());
    std::printf("fill_space:        %s\n", o.BlankFill() ? "on" : "off");
    std::printf("date mode:         %s, pattern %s\n",
                o.GetDateMode() == DateMode::TwoDigitYears ? "two-digit years" : "four-digit years",
                o.DatePattern().c_str());
    std::printf("float_size:        %d\n", o.FloatSize());
    std::printf("form_mode:         %d\n", o.FormMode());
    std::printf("fix_str_addr:      %d\n", o.FixStrAddr());
    std::printf("year_2000:         %d\n", o.Year2000());
    std::printf("sign_nibble:       %d\n", o.SignNibble());
    std::printf("delayed_resolve:   %s\n", o.DelayedResolve() ? "on" : "off");
    GridLimits grid = ReadGridLimits(platform::CurrentPlatform());
    std::printf("grid limits:       %d columns, %d rows\n", grid.maxColumns, grid.maxRows);
    for (int status : statuses) {
        std::printf("status %-11d%s\n", status,
                    platform::AnsiToUtf8(StatusText(status)).c_str());
    }
    return 0;
}
