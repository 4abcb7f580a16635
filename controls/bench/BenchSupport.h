// What the Windows benchmark programs share: the best of three timed runs, and a folder of
// their own for the tables they make.
#pragma once

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>

namespace zelmor::bench {

// The shortest of three runs of `work`, in milliseconds.
inline double BestOfThree(const std::function<void()>& work) {
    double best = 1e300;
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

// A folder called `name` in the temporary folder, made when missing.
inline std::string BenchFolder(const char* name) {
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    const std::string directory = std::string(folder) + name;
    CreateDirectoryA(directory.c_str(), nullptr);
    return directory;
}

}  // namespace zelmor::bench
