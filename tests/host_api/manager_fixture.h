#pragma once
// A fresh client for window manager tests: a test world over two temporary folders (shared
// client directory and application directory), the host's frame and client windows, and a
// CWindowManager on them. Every step the manager traces is kept in `steps`; every message the
// host's frame receives is kept in `host.seen`.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/client_world.h"
#include "host_api/window_manager.h"
#include "os/ui/window.h"
#include "support/temp_dir.h"

namespace host_api_test {

struct HostMessage {
    os::UINT message;
    os::WPARAM wParam;
    os::LPARAM lParam;
    std::string title;  // WM_HOST_TITLE: the text lParam pointed to
};

// The host's frame or client window: records what it receives.
class HostRecorder : public os::Window {
  public:
    using os::Window::Window;
    std::vector<HostMessage> seen;
    // The messages of one number, in order.
    std::vector<HostMessage> Of(os::UINT message) const;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;
};

class ManagerTest : public ::testing::Test {
  protected:
    ManagerTest();
    ~ManagerTest() override;

    // Creates the host's frame (top-level, shown, 800x600) and client window and runs
    // InitWindows on them. `steps` is cleared afterwards unless `keepSteps`.
    void Init(bool keepSteps = false);
    // Steps recorded since the last ClearSteps.
    std::vector<std::string> Steps() const { return steps; }
    void ClearSteps() { steps.clear(); }
    // Whether `step` was traced.
    bool Traced(const std::string& step) const;

    // An account on the embedded server, logged in on the world's session.
    std::string LogIn(const std::string& loginName, const std::string& nickname = "");

    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    core::TestClientWorld world;
    core::ClientContext& context;
    std::vector<std::string> steps;
    HostRecorder host;
    HostRecorder client;
    std::unique_ptr<CWindowManager> manager;
};

}  // namespace host_api_test
