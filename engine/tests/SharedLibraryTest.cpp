// Runs the C program that uses only the public header and the shared library.
#include <gtest/gtest.h>

#include <cstdlib>

TEST(SharedLibraryTest, CProgramWorksWithTheHeaderAndLibraryAlone) {
    EXPECT_EQ(0, std::system(ZELRM_SHARED_CHECK));
}
