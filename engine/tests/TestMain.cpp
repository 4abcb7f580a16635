// The engine tests' main: GoogleTest, or a worker when a test runs the program again as another
// process ("--worker NAME ARGUMENTS...").
#include <gtest/gtest.h>

#include <cstring>

#include "engine/tests/Workers.h"

int main(int argc, char** argv) {
    if (argc >= 3 && std::strcmp(argv[1], "--worker") == 0)
        return zelmor::engine::testing::RunWorker(argv[2],
                                                  std::vector<std::string>(argv + 3, argv + argc));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
