// Every test of the plumbing runs in a single-threaded apartment with OLE initialised, as a
// control's host thread does.
#include <gtest/gtest.h>
#include <ole2.h>

namespace {

class OleEnvironment : public ::testing::Environment {
  public:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr))); }
    void TearDown() override { OleUninitialize(); }
};

const auto* const registered = ::testing::AddGlobalTestEnvironment(new OleEnvironment);

}  // namespace
