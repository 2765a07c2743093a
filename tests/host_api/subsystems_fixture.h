#pragma once
// A client with its real subsystems on the embedded server: the window manager, the pump and
// its routes, the contact trees with a buddy tree on the main panel holding Bob, and the
// login through the login panel as a person does it.

#include <gtest/gtest.h>

#include <memory>

#include "config/client_config.h"
#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/window_messages.h"
#include "host_api/client_subsystems.h"
#include "login/dlg_login.h"
#include "manager_fixture.h"
#include "notify/wnd_child.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "qorvdesk/automation.h"
#include "support/gbk_print.h"
#include "support/waiting/pump_until.h"

namespace host_api_test {

using testing_support::PumpUntil;

class SubsystemsTest : public ManagerTest {
  protected:
    SubsystemsTest() {
        subsystems = std::make_unique<ClientSubsystems>(context, *manager);
        platform::SimServer& server = world.server();
        me = server.AddAccount({.loginName = "me", .password = "pw", .nickname = "我"});
        bob = server.AddAccount({.loginName = "bob", .password = "pw", .nickname = "Bob"});
        server.SetRoster(me, {{bob, "Bob", "同事"}});
        server.SetRoster(bob, {{me, "Me", "同事"}});
    }
    ~SubsystemsTest() override {
        // Whatever the server still sends (Bob leaving, a status answer) goes through the
        // pump first, so every test ends on a handled queue (a stop in the middle of a send
        // is its own test: logout_during_send_test.cpp).
        remote.reset();
        const platform::SimSessionCore& session = world.simSession();
        EXPECT_TRUE(testing_support::PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
        if (tree != nullptr) subsystems->contactTrees().Remove(*tree);
        manager->FreeWindows();
        subsystems.reset();
    }

    // InitWindows (which starts the pump), a buddy tree on the main panel holding Bob in the
    // group "同事", and the login of "me" on the engine. Call it under
    // ASSERT_NO_FATAL_FAILURE: a step that fails leaves the rest undone.
    void StartLoggedIn() {
        ASSERT_NO_FATAL_FAILURE(Init());
        tree = contacts::CIMTree::Create(*manager->mainPanel(), context, "buddy", 0, 5001,
                                         contacts::ScrollSkin::Plain);
        ASSERT_NE(tree, nullptr);
        tree->topKind = std::string(contacts::kRosterTop);
        auto groupItem = contacts::CIMTreeItemData::ForGroup(
            std::make_unique<contacts::CGroup>("g1", "同事", "", "top,g1"));
        contacts::CIMTreeItemData* group = tree->AddItemData(groupItem);
        ASSERT_NE(group, nullptr);
        groupNode = tree->InsertGroupItem(group->group(), os::kTreeRoot, os::kTreeLast);
        auto userItem = contacts::CIMTreeItemData::ForUser(
            std::make_unique<contacts::CUser>(world.clock(), bob, "Bob", "g1", "both"));
        userItem->user()->groupKey = "top,g1";
        contacts::CIMTreeItemData* user = tree->AddItemData(userItem);
        ASSERT_NE(user, nullptr);
        bobInTree = user->user();
        ASSERT_NE(tree->InsertUserItem(bobInTree, groupNode, os::kTreeLast), os::kNoTreeItem);
        subsystems->contactTrees().Add(*tree);
        ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
    }

    // Logs `login` in (password "pw") through the login panel, as a person does it, and
    // pumps until the main panel shows.
    void LogInAs(const char* login) {
        // As a person logs in: account, password, the login button.
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto panel = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, login)) << driver.LastError();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
        ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
        // Logged in with the result; the channel list that follows switches the interface.
        ASSERT_TRUE(testing_support::PumpUntil(world.windows(), [&] {
            return world.windows().IsWindowVisible(manager->MainPanel());
        }));
    }

    std::unique_ptr<platform::SimSessionCore> Remote(const char* login) {
        auto session =
            std::make_unique<platform::SimSessionCore>(std::shared_ptr<platform::SimServer>(
                std::shared_ptr<platform::SimServer>{}, &world.server()));
        session->Init(nullptr, nullptr, {});
        EXPECT_EQ(session->Login(login, "pw", 1, "", 0), platform::kLoginAccepted);
        return session;
    }

    std::unique_ptr<ClientSubsystems> subsystems;
    std::string me;
    std::string bob;
    contacts::CIMTree* tree = nullptr;
    os::TreeItem groupNode = os::kNoTreeItem;
    contacts::CUser* bobInTree = nullptr;
    std::unique_ptr<platform::SimSessionCore> remote;
};

}  // namespace host_api_test
