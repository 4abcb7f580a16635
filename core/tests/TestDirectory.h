// A fresh directory for one test, removed afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace zelmor::testing {

class TestDirectory {
public:
    TestDirectory() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("zeltest-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TestDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TestDirectory(const TestDirectory&) = delete;
    TestDirectory& operator=(const TestDirectory&) = delete;

    // The directory as the system names it (native separators).
    std::string Path() const { return path_.string(); }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

}  // namespace zelmor::testing
