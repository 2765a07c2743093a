#include "support/child_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

extern char** environ;

namespace testing_support {
namespace {

constexpr int kReadyFd = 100;  // where the child reports "ready"

}  // namespace

ChildProcess::ChildProcess(const std::string& testFilter,
                           const std::vector<std::string>& environment) {
    int ready[2], input[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return;
    }
    if (pipe2(input, O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        close(ready[0]);
        close(ready[1]);
        return;
    }
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
    env.insert(env.end(), environment.begin(), environment.end());
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string exe = std::filesystem::read_symlink("/proc/self/exe").string();
    std::string filter = "--gtest_filter=" + testFilter;
    char* argv[] = {exe.data(), filter.data(), nullptr};

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], 0);
    posix_spawn_file_actions_adddup2(&actions, ready[1], kReadyFd);
    const int rc = posix_spawn(&pid_, exe.c_str(), &actions, nullptr, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(input[0]);
    close(ready[1]);
    readyFd_ = ready[0];
    inputFd_ = input[1];
    if (rc != 0) {
        ADD_FAILURE() << "posix_spawn: " << std::strerror(rc);
        pid_ = -1;
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        Wait();
    }
    CloseInput();
    if (readyFd_ >= 0) close(readyFd_);
}

bool ChildProcess::WaitReady() {
    char byte;
    return readyFd_ >= 0 && read(readyFd_, &byte, 1) == 1;
}

void ChildProcess::CloseInput() {
    if (inputFd_ >= 0) close(inputFd_);
    inputFd_ = -1;
}

void ChildProcess::Kill() {
    if (pid_ > 0) kill(pid_, SIGKILL);
}

int ChildProcess::Wait() {
    int status = 0;
    if (pid_ > 0) waitpid(pid_, &status, 0);
    pid_ = -1;
    return status;
}

void ReportReadyToParent() {
    if (write(kReadyFd, "r", 1) != 1) ADD_FAILURE() << "could not report ready";
}

void WaitUntilParentCloses() {
    char byte;
    while (read(0, &byte, 1) > 0) {
    }
}

}  // namespace testing_support
