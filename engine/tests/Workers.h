// Work a test hands to another process: the test program runs itself again with
// "--worker NAME ARGUMENTS...", and its main runs the worker registered under that name.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace zelmor::engine::testing {

using Worker = std::function<int(const std::vector<std::string>& arguments)>;

// Registers a worker at static initialisation: static WorkerRegistration x("name", Function);
struct WorkerRegistration {
    WorkerRegistration(const std::string& name, Worker worker);
};

// Runs the worker `name`; 99 when there is none.
int RunWorker(const std::string& name, const std::vector<std::string>& arguments);

// Another process running this test program's worker `name`.
class ChildProcess {
public:
    ChildProcess(const std::string& worker, const std::vector<std::string>& arguments);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    bool Started() const { return started_; }
    // Waits for it to end: its exit code (-1 when it was killed or could not be waited for).
    int Wait();
    // Ends it at once, as a crash would.
    void Kill();

private:
    bool started_ = false;
    bool ended_ = false;
    int exitCode_ = -1;
#ifdef _WIN32
    void* process_ = nullptr;
#else
    int pid_ = -1;
#endif
};

// Small helpers for processes that signal each other through files in a folder.
void Touch(const std::string& path);
// Waits until the file exists; false after `milliseconds`.
bool WaitForFile(const std::string& path, int milliseconds = 30000);
void Pause(int milliseconds);

}  // namespace zelmor::engine::testing
