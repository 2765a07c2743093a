#pragma once
// A fresh client for window manager tests: a test world over two temporary folders (shared
// client directory and application directory), the host's frame and client windows, and a
// CWindowManager on them. Every step the manager traces is kept in `steps`; every message the
// host's frame receives is kept in `host.seen` (with the title text of WM_HOST_TITLE).

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/client_world.h"
#include "host_api/window_manager.h"
#include "os/ui/window.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/windows/recording_window.h"

namespace host_api_test {

class ManagerTest : public ::testing::Test {
  protected:
    ManagerTest();
    ~ManagerTest() override;

    // Creates the host's frame (top-level, shown, 800x600) and client window and runs
    // InitWindows on them. `steps` is cleared afterwards unless `keepSteps`. Call it under
    // ASSERT_NO_FATAL_FAILURE: without the host's windows nothing is initialised.
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
    // The start-with-the-desktop entry goes below the test's folder, never the user's own.
    testing_support::ScopedEnv xdgConfigHome{"XDG_CONFIG_HOME",
                                             (commonDir.path() / "xdg").string()};
    core::TestClientWorld world;
    core::ClientContext& context;
    std::vector<std::string> steps;
    testing_support::HostWindows hostWindows;
    testing_support::RecordingWindow& host = hostWindows.frame;
    testing_support::RecordingWindow& client = hostWindows.client;
    std::unique_ptr<CWindowManager> manager;
};

}  // namespace host_api_test
