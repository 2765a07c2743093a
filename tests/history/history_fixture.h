#pragma once
// The navigation frame's world for tests: a test client logged in as "me" on the embedded
// server, a roster tree with the group "同事" (contact "bob") and the section "网上值班室",
// the message navigator the history door shows, and the automation driver acting as the user.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "history/frame_msg_mgr.h"
#include "history/msg_navigator.h"
#include "platform/store/client_db.h"
#include "qorvdesk/automation.h"
#include "support/temp_dir.h"

namespace history_test {

class HistoryTest : public ::testing::Test {
  protected:
    HistoryTest();
    ~HistoryTest() override;

    std::string UserFolder() const { return commonDir.str() + "me/"; }
    // Stores a message; answers its id.
    long Store(const std::string& from, const std::string& to, const std::string& contents,
               bool web = false, int state = CClientDB::kStateUnhandled,
               const std::string& time = "2026-01-05 09:00:00");
    // Opens the frame through the history door; fails the test when it does not open.
    history::CFrameMsgMgr& Open();
    qorvdesk::automation::WindowHandle Frame() const;
    // The list's rows, column texts only.
    std::vector<std::vector<std::string>> Rows();
    std::string Text(int controlId);
    void Click(int controlId);
    void SelectNode(os::TreeItem node);
    // Makes every later store call fail: the database file becomes a folder.
    void BreakStore();
    // Message box texts shown so far.
    std::vector<std::string> Boxes() const;

    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    core::TestClientWorld world;
    core::ClientContext& context;
    core::IdleWindowManager manager;
    contacts::ContactTrees trees;
    std::unique_ptr<contacts::CIMTree> roster;
    std::string myJid;
    std::string bobJid;
    std::unique_ptr<history::MsgNavigator> navigator;
    qorvdesk::automation::Driver driver;
};

}  // namespace history_test
