#pragma once
// A client world for contact-tree tests: a temporary shared directory, a manual clock, the
// simulated session, and helpers that build groups and users the way the loaders do
// (item data first, then nodes).

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>

#include "config/client_config.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
#include "platform/session/sim_server.h"
#include "support/temp_dir.h"

namespace contacts_test {

// An account of the simulated server with password "pw" (jid empty: the server's default).
platform::SimAccount Account(std::string loginName, std::string jid = {});

class TreeTest : public ::testing::Test {
  protected:
    TreeTest();
    ~TreeTest() override;

    core::ClientContext& context() { return world_->context(); }
    config::ClientConfig& config() { return world_->context().config; }
    os::ManualClock& clock() { return world_->clock(); }

    // A tree with group counting on, sort mode `topSortMode`.
    std::unique_ptr<contacts::CIMTree> MakeTree(std::string name = "tree", int countMode = 0,
                                                int topSortMode = 0);

    // The helpers below end the test (testing_support::Require) when the tree refuses the
    // item or the node, so a test never goes on with null.
    // Adds a group item and gives it a node under `parent`; its pathKey is the parent
    // group's key (or "top") + "," + id. Answers the node.
    os::TreeItem AddGroup(contacts::CIMTree& tree, std::string id, std::string name,
                          os::TreeItem parent = os::kTreeRoot, std::string parentId = {});
    // Adds a user item and gives it a node under `parent` (a group node).
    contacts::CUser* AddUser(contacts::CIMTree& tree, std::string jid, std::string name,
                             os::TreeItem parent, std::string presence = "offline");
    // Adds a user item without a node.
    contacts::CUser* AddUnplacedUser(contacts::CIMTree& tree, std::string jid, std::string name,
                                     std::string groupKey = {});
    // Texts of the children of `parent`, in order.
    static std::vector<std::string> ChildTexts(const contacts::CIMTree& tree, os::TreeItem parent);

    testing_support::TempDir commonDir_;
    testing_support::TempDir appDir_;
    std::unique_ptr<core::TestClientWorld> world_;
};

}  // namespace contacts_test
