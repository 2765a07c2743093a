#pragma once
// Clients with their real subsystems on a real XMPP server: a private Prosody on 127.0.0.1
// (tests/support/prosody/), and for each client a world of its own (folders, manual clock,
// window system, window manager, ClientSubsystems) that reaches the server as a deployment
// does, through "config.ini" of its shared directory ([Server Setting] HostName, UseTLS,
// XmppPort). Each client has a buddy tree on its main panel holding its peer and logs in
// through the login panel as a person does.
//
// All clients run on the test's thread; a wait pumps every client's window system, as
// their hosts would each pump their own, and gives up after a budget that only a broken
// test reaches (the server answers in milliseconds).

#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "contacts/contact_group.h"
#include "contacts/contact_trees.h"
#include "contacts/contact_user.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
#include "core/user_folder.h"
#include "host_api/client_subsystems.h"
#include "host_api/window_manager.h"
#include "login/dlg_login.h"
#include "os/text/gbk_codec.h"
#include "os/ui/window_system.h"
#include "platform/jid/jid.h"
#include "platform/store/client_db.h"
#include "qorvdesk/automation.h"
#include "support/prosody/prosody_server.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/windows/recording_window.h"

namespace host_api_test {

// Far longer than the server takes to answer; reached only by a broken test.
inline constexpr std::chrono::seconds kServerBudget{10};

class XmppClient {
  public:
    // `login`/`nickname` are the account's (GBK); the account is registered on `server`.
    XmppClient(testing_support::ProsodyServer& server, std::string login, std::string nickname)
        : server_(server),
          login_(std::move(login)),
          world({commonDir.str(), appDir.str()},
                [](const os::PromptRecord& prompt) {
                    ADD_FAILURE() << "unanswered prompt: " << prompt.text;
                }),
          hostWindows(world.windows()),
          driver(world.windows(), &world.prompter()) {
        jid = platform::Jid::Government(login_, server.domain()).Bare();
        const std::string localPart = os::GbkToUtf8Lossy(platform::Jid(jid).LocalPart());
        server.Register(localPart, "pw");
        EXPECT_TRUE(server.SetNickname(localPart, os::GbkToUtf8Lossy(nickname)));
        // The deployment's keys for its server.
        std::ofstream config(commonDir.path() / "config.ini");
        config << "[Server Setting]\nHostName=" << server.domain()
               << "\nUseTLS=1\nXmppPort=" << server.port() << "\n";
        manager = std::make_unique<CWindowManager>(world.context());
        subsystems = std::make_unique<ClientSubsystems>(world.context(), *manager);
    }

    ~XmppClient() {
        if (manager->IsLoggedIn()) manager->UserLogout();
        world.windows().PumpPending();
        if (tree != nullptr) subsystems->contactTrees().Remove(*tree);
        manager->FreeWindows();
        subsystems.reset();
        manager.reset();
    }

    XmppClient(const XmppClient&) = delete;
    XmppClient& operator=(const XmppClient&) = delete;

    // The roster the server gives this account: `peerJid` (named `peerName`) as a
    // both-way contact in "同事".
    void SetRoster(const std::string& peerJid, const std::string& peerName) {
        EXPECT_TRUE(server_.SetRoster(os::GbkToUtf8Lossy(platform::Jid(jid).LocalPart()),
                                      {{os::GbkToUtf8Lossy(peerJid), os::GbkToUtf8Lossy(peerName),
                                        os::GbkToUtf8Lossy("同事"), "both"}}));
    }

    // InitWindows on the host's windows and a buddy tree on the main panel holding
    // `peerJid` in the group "同事". Call it under ASSERT_NO_FATAL_FAILURE.
    void Start(const std::string& peerJid, const std::string& peerName) {
        testing_support::HostWindows::Layout layout;
        layout.frame = os::Rect::FromSize(100, 100, 800, 600);
        ASSERT_TRUE(hostWindows.Create(layout));
        world.windows().SetForegroundWindow(hostWindows.frame.hwnd());
        manager->InitWindows(hostWindows.frame.hwnd(), hostWindows.client.hwnd());
        tree = contacts::CIMTree::Create(*manager->mainPanel(), world.context(), "buddy", 0,
                                         kTreeId, contacts::ScrollSkin::Plain);
        ASSERT_NE(tree, nullptr);
        tree->topKind = std::string(contacts::kRosterTop);
        auto groupItem = contacts::CIMTreeItemData::ForGroup(
            std::make_unique<contacts::CGroup>("g1", "同事", "", "top,g1"));
        contacts::CIMTreeItemData* group = tree->AddItemData(groupItem);
        ASSERT_NE(group, nullptr);
        groupNode = tree->InsertGroupItem(group->group(), os::kTreeRoot, os::kTreeLast);
        auto userItem = contacts::CIMTreeItemData::ForUser(
            std::make_unique<contacts::CUser>(world.clock(), peerJid, peerName, "g1", "both"));
        userItem->user()->groupKey = "top,g1";
        contacts::CIMTreeItemData* user = tree->AddItemData(userItem);
        ASSERT_NE(user, nullptr);
        peerInTree = user->user();
        ASSERT_NE(tree->InsertUserItem(peerInTree, groupNode, os::kTreeLast), os::kNoTreeItem);
        subsystems->contactTrees().Add(*tree);
    }

    // Types the account and password into the login panel and clicks the login button.
    ::testing::AssertionResult ClickLogin() {
        const auto panel = manager->LoginPanel().value();
        if (!driver.TypeText(panel, CDlgLogin::kAccountId, login_) ||
            !driver.TypeText(panel, CDlgLogin::kPasswordId, "pw") ||
            !driver.Click(panel, CDlgLogin::kLoginButtonId)) {
            return ::testing::AssertionFailure() << driver.LastError();
        }
        return ::testing::AssertionSuccess();
    }
    bool MainPanelShown() const { return world.windows().IsWindowVisible(manager->MainPanel()); }

    // Opens the chat with the peer from the contact tree, as a person does: the group
    // expanded, the peer selected, the chat command.
    CDlgChat* OpenChatFromTree() {
        const auto panel = manager->MainPanel().value();
        if (!driver.ExpandTreeItem(panel, kTreeId, groupNode) ||
            !driver.SelectTreeItem(panel, kTreeId,
                                   tree->FindUserNode(groupNode, peerInTree->GetJid())))
            return nullptr;
        manager->CallUserChat();
        return dynamic_cast<CDlgChat*>(
            manager->FindChatWindow(peerInTree->GetJid(), platform::JidMatch::Loose));
    }

    // The chat view's text, empty without a window.
    std::string ChatViewText(CDlgChat& chat) {
        auto view = driver.ReadRichText(chat.hwnd().value(), chat::control::kView);
        return view ? view->plainText : std::string();
    }

    bool ViewHolds(CDlgChat& chat, const std::string& text) {
        return ChatViewText(chat).find(text) != std::string::npos;
    }
    bool ViewHasFace(CDlgChat& chat, std::uint32_t face) {
        auto view = driver.ReadRichText(chat.hwnd().value(), chat::control::kView);
        if (!view) return false;
        for (const auto& object : view->objects)
            if (object.kind == qorvdesk::automation::ObjectKind::Face && object.userValue == face)
                return true;
        return false;
    }

    // The records of this user's message store whose contents hold `text`.
    std::vector<MsgFields> StoredHolding(const std::string& text) {
        const std::string account = world.session().GetCurrentUserLimitName();
        const std::string folder = core::UserFolder(commonDir.str(), account).value_or("");
        CClientDB db(account.c_str(), folder.c_str());
        std::vector<MsgFields> found;
        db.GetMsg(
            [&](const MsgFields& fields) {
                if (!IsMsgEndMark(fields) &&
                    fields[msg_field::kContents].find(text) != std::string::npos)
                    found.push_back(fields);
            },
            -1);
        return found;
    }

    static constexpr int kTreeId = 5001;

  private:
    testing_support::ProsodyServer& server_;
    const std::string login_;

  public:
    std::string jid;  // bare
    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    core::TestClientWorld world;
    testing_support::HostWindows hostWindows;
    qorvdesk::automation::Driver driver;
    std::unique_ptr<CWindowManager> manager;
    std::unique_ptr<ClientSubsystems> subsystems;
    contacts::CIMTree* tree = nullptr;
    os::TreeItem groupNode = os::kNoTreeItem;
    contacts::CUser* peerInTree = nullptr;
};

// A test with a Prosody of its own (it skips, saying why, when Prosody cannot run here),
// whose certificate the clients trust.
class XmppClientsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing_support::ProsodyServer::Installed())
            GTEST_SKIP() << "prosody is not installed";
        server = std::make_unique<testing_support::ProsodyServer>();
        if (!server->ok()) GTEST_SKIP() << "prosody could not start: " << server->error();
        // The clients check the server's certificate against the system store: here, the
        // server's own CA.
        trust.emplace("SSL_CERT_FILE", server->caFile());
    }

    std::unique_ptr<testing_support::ProsodyServer> server;
    std::optional<testing_support::ScopedEnv> trust;
    testing_support::TempDir xdg;
    // The start-with-the-desktop entry goes below the test's folder.
    testing_support::ScopedEnv xdgConfigHome{"XDG_CONFIG_HOME", xdg.str()};
};

// Pumps every client's window system until `condition` holds, for at most kServerBudget.
template <typename Condition>
::testing::AssertionResult PumpClientsUntil(const std::vector<XmppClient*>& clients,
                                            Condition&& condition, std::string_view what) {
    const auto deadline = std::chrono::steady_clock::now() + kServerBudget;
    while (!condition()) {
        int handled = 0;
        for (XmppClient* client : clients) handled += client->world.windows().PumpPending();
        if (handled > 0) continue;
        if (std::chrono::steady_clock::now() >= deadline) {
            return ::testing::AssertionFailure()
                   << "gave up waiting for " << what << " after " << kServerBudget.count() << " s";
        }
        std::this_thread::yield();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace host_api_test
