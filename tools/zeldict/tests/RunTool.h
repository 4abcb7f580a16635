// Runs the zeldict program next to the test program, as a user would, and collects its exit
// status and output.
#pragma once

#include <string>
#include <vector>

namespace zelmor::testing {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

ToolRun RunZeldict(const std::vector<std::string>& arguments, const std::string& workDirectory);

// The whole content of a file ("" when it cannot be read).
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& content);

// The folder of the sample database's schema and CSV files.
std::string SamplesDirectory();

}  // namespace zelmor::testing
