#include "engine/tests/Workers.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace zelmor::engine::testing {

namespace {

std::map<std::string, Worker>& Registry() {
    static std::map<std::string, Worker> workers;
    return workers;
}

}  // namespace

WorkerRegistration::WorkerRegistration(const std::string& name, Worker worker) {
    Registry()[name] = std::move(worker);
}

int RunWorker(const std::string& name, const std::vector<std::string>& arguments) {
    auto found = Registry().find(name);
    if (found == Registry().end()) {
        std::fprintf(stderr, "no worker %s\n", name.c_str());
        return 99;
    }
    return found->second(arguments);
}

#ifdef _WIN32

ChildProcess::ChildProcess(const std::string& worker, const std::vector<std::string>& arguments) {
    char program[MAX_PATH];
    if (GetModuleFileNameA(nullptr, program, sizeof program) == 0) return;
    std::string line = "\"" + std::string(program) + "\" --worker " + worker;
    for (const std::string& argument : arguments) line += " \"" + argument + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return;
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    started_ = true;
}

ChildProcess::~ChildProcess() {
    if (started_ && !ended_) Kill();
    if (process_ != nullptr) CloseHandle(static_cast<HANDLE>(process_));
}

int ChildProcess::Wait() {
    if (!started_ || ended_) return exitCode_;
    WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE);
    DWORD code = 0;
    if (GetExitCodeProcess(static_cast<HANDLE>(process_), &code)) exitCode_ = static_cast<int>(code);
    ended_ = true;
    return exitCode_;
}

void ChildProcess::Kill() {
    if (!started_ || ended_) return;
    TerminateProcess(static_cast<HANDLE>(process_), 137);
    WaitForSingleObject(static_cast<HANDLE>(process_), INFINITE);
    ended_ = true;
    exitCode_ = -1;
}

#else

ChildProcess::ChildProcess(const std::string& worker, const std::vector<std::string>& arguments) {
    std::vector<std::string> words = {"/proc/self/exe", "--worker", worker};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        execv("/proc/self/exe", argv.data());
        _exit(98);
    }
    started_ = pid_ > 0;
}

ChildProcess::~ChildProcess() {
    if (started_ && !ended_) Kill();
}

int ChildProcess::Wait() {
    if (!started_ || ended_) return exitCode_;
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0) {
    }
    ended_ = true;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return exitCode_;
}

void ChildProcess::Kill() {
    if (!started_ || ended_) return;
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    ended_ = true;
    exitCode_ = -1;
}

#endif

void Touch(const std::string& path) {
    if (std::FILE* file = std::fopen(path.c_str(), "ab")) std::fclose(file);
}

bool WaitForFile(const std::string& path, int milliseconds) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (!std::filesystem::exists(path)) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        Pause(2);
    }
    return true;
}

void Pause(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace zelmor::engine::testing
