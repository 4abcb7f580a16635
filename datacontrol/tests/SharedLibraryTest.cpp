// Runs the C program that uses only zelmor.h and the shared library.
#include <gtest/gtest.h>

#include <cstdlib>

TEST(ExportedSharedLibrary, CProgramWorksWithTheHeaderAndLibraryAlone) {
    EXPECT_EQ(0, std::system(ZELMOR_C_CHECK));
}
