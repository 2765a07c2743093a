#pragma once
// A contact-tree world logged in on the simulated server, with a window manager that only
// answers its windows, for the loading tests: the directory store is the user's own.

#include <memory>
#include <string>

#include "core/idle_window_manager.h"
#include "os/sys/event.h"
#include "platform/session/sim_session_core.h"
#include "tree_fixture.h"

namespace contacts_test {

class LoadingTest : public TreeTest {
  protected:
    LoadingTest();
    ~LoadingTest() override;

    platform::SimServer& server() { return world_->server(); }
    platform::SimSessionCore& session() { return world_->simSession(); }
    // Logs "me" in and takes the login's records off the queue.
    ::testing::AssertionResult LogIn();
    // Texts of the whole tree, depth first, one line each, indented two blanks a level.
    static std::string Outline(const contacts::CIMTree& tree);

    std::string me_;
    core::IdleWindowManager manager_;
    os::Event lost_;
    os::Event notify_;
};

}  // namespace contacts_test
