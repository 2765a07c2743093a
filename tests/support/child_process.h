#pragma once
// A second process for tests that need one: this same test program, started to run a single
// test (by gtest filter) with extra environment variables. The child reports "ready" on a
// pipe (ReportReadyToParent) and may stay until the parent closes its standard input
// (WaitUntilParentCloses); the parent waits for either and reads the exit status.

#include <sys/types.h>

#include <string>
#include <utility>
#include <vector>

namespace testing_support {

class ChildProcess {
  public:
    // Starts this test program with `--gtest_filter=<testFilter>` and `environment`
    // ("NAME=value" entries) added to ours. A failure to start fails the test.
    ChildProcess(const std::string& testFilter, const std::vector<std::string>& environment);
    // Kills a child that still runs and reaps it.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Blocks until the child reports ready; false when it ended without doing so.
    bool WaitReady();
    // Closes the child's standard input: a child in WaitUntilParentCloses ends.
    void CloseInput();
    void Kill();
    // Blocks until the child ends; its wait status.
    int Wait();

  private:
    pid_t pid_ = -1;
    int readyFd_ = -1;
    int inputFd_ = -1;
};

// ---- In the child
// Tells the parent the child is ready.
void ReportReadyToParent();
// Blocks until the parent closes our standard input (or ends).
void WaitUntilParentCloses();

}  // namespace testing_support
