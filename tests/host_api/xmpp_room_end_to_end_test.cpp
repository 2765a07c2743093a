// Two clients with the shipped wiring (the library's world, ClientSubsystems, the real window
// manager and pump) share a room over a Prosody of the test's own: the user makes a
// multi-person chat with Bob, Bob's client opens it from the invitation, they talk, and the
// user asks Bob out. Each client reaches the server as a deployment does, through the three
// server keys of its "config.ini".

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>

#include "core/doors.h"
#include "core/doors/room_service.h"
#include "core/window_messages.h"
#include "host_api/client_subsystems.h"
#include "host_api/window_manager.h"
#include "login/dlg_login.h"
#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "os/ui/window_system.h"
#include "qorvdesk/automation.h"
#include "rooms/room_controls.h"
#include "support/gbk_print.h"
#include "support/prosody/prosody_server.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/waiting/pump_until.h"
#include "support/windows/recording_window.h"

namespace host_api_test {
namespace {

namespace id = rooms::control;
using qorvdesk::automation::Driver;
using qorvdesk::automation::TreeNode;
using qorvdesk::automation::WindowHandle;

// The real server answers in real time: a step gets this long, then fails saying what.
constexpr std::chrono::seconds kServerBudget{10};

// One user's client: folders of its own, pointed at the server by its "config.ini".
class LibraryClient {
  public:
    LibraryClient(const testing_support::ProsodyServer& server, const char* login)
        : login_(login),
          world_(FoldersFor(server),
                 [](const os::PromptRecord& prompt) {
                     ADD_FAILURE() << "unanswered prompt: " << os::GbkToUtf8Lossy(prompt.text);
                 }),
          hostWindows_(world_.windows()),
          manager_(std::make_unique<CWindowManager>(world_.context())),
          subsystems_(std::make_unique<ClientSubsystems>(world_.context(), *manager_)),
          driver_(world_.windows(), &world_.prompter()) {}
    ~LibraryClient() {
        manager_->FreeWindows();
        subsystems_.reset();
        manager_.reset();
    }

    testing::AssertionResult Start() {
        testing_support::HostWindows::Layout layout;
        layout.frame = os::Rect::FromSize(100, 100, 800, 600);
        if (!hostWindows_.Create(layout)) return testing::AssertionFailure() << "host windows";
        manager_->InitWindows(hostWindows_.frame.hwnd(), hostWindows_.client.hwnd());
        const auto panel = manager_->LoginPanel().value();
        if (!driver_.TypeText(panel, CDlgLogin::kAccountId, login_) ||
            !driver_.TypeText(panel, CDlgLogin::kPasswordId, "pw") ||
            !driver_.Click(panel, CDlgLogin::kLoginButtonId)) {
            return testing::AssertionFailure() << driver_.LastError();
        }
        return testing::AssertionSuccess();
    }
    bool LoggedIn() const { return world_.windows().IsWindowVisible(manager_->MainPanel()); }

    os::WindowSystem& windows() { return world_.windows(); }
    core::ClientContext& context() { return world_.context(); }
    core::TestClientWorld& world() { return world_; }
    Driver& driver() { return driver_; }

    WindowHandle RoomWindow() const { return driver_.FindWindowByClass(core::kRoomWindowClass); }
    std::string ViewText(WindowHandle window) {
        const auto text = driver_.ReadRichText(window, id::kView);
        return text.has_value() ? text->plainText : std::string();
    }
    bool Shows(std::string_view text) {
        const WindowHandle window = RoomWindow();
        return window != 0 && ViewText(window).find(text) != std::string::npos;
    }
    std::vector<std::string> Members() {
        std::vector<std::string> lines;
        const WindowHandle window = RoomWindow();
        for (const TreeNode& group :
             driver_.TreeItems(window, id::kMembers).value_or(std::vector<TreeNode>{})) {
            for (const TreeNode& member : group.children) lines.push_back(member.text);
        }
        return lines;
    }
    testing::AssertionResult SelectMember(std::string_view line) {
        const WindowHandle window = RoomWindow();
        for (const TreeNode& group :
             driver_.TreeItems(window, id::kMembers).value_or(std::vector<TreeNode>{})) {
            for (const TreeNode& member : group.children) {
                if (member.text == line &&
                    driver_.SelectTreeItem(window, id::kMembers, member.item)) {
                    return testing::AssertionSuccess();
                }
            }
        }
        return testing::AssertionFailure() << "no such member";
    }

  private:
    core::WorldFolders FoldersFor(const testing_support::ProsodyServer& server) {
        std::ofstream ini(common_.path() / "config.ini");
        ini << "[Server Setting]\nHostName=" << server.domain() << "\nXmppPort=" << server.port()
            << "\nUseTLS=1\n";
        return {common_.str(), app_.str()};
    }

    const char* login_;
    testing_support::TempDir common_;
    testing_support::TempDir app_;
    core::TestClientWorld world_;
    testing_support::HostWindows hostWindows_;
    std::unique_ptr<CWindowManager> manager_;
    std::unique_ptr<ClientSubsystems> subsystems_;
    Driver driver_;
};

class XmppRoomEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!testing_support::ProsodyServer::Installed()) {
            GTEST_SKIP() << "prosody is not installed: the real server's rooms cannot be tried";
        }
        server_ = std::make_unique<testing_support::ProsodyServer>();
        server_->Register("alice$gov", "pw");
        server_->Register("bob$gov", "pw");
        ASSERT_TRUE(server_->SetNickname("alice$gov", os::GbkToUtf8Lossy("艾丽丝")));
        ASSERT_TRUE(server_->SetNickname("bob$gov", os::GbkToUtf8Lossy("鲍勃")));
        ASSERT_TRUE(server_->Ready()) << server_->error();
        // OpenSSL's trusted store is the server's own certificate, for this test only.
        trust_ = std::make_unique<testing_support::ScopedEnv>("SSL_CERT_FILE", server_->caFile());
        alice_ = std::make_unique<LibraryClient>(*server_, "alice");
        bob_ = std::make_unique<LibraryClient>(*server_, "bob");
        // One login after the other, as two people would.
        ASSERT_TRUE(alice_->Start());
        ASSERT_TRUE(Both([&] { return alice_->LoggedIn(); }, "the user's login"));
        ASSERT_TRUE(bob_->Start());
        ASSERT_TRUE(Both([&] { return bob_->LoggedIn(); }, "Bob's login"));
    }
    void TearDown() override {
        if (HasFailure() && server_ != nullptr) {
            std::istringstream log(server_->ReadLog());
            for (std::string line; std::getline(log, line);) {
                if (line.find("error") != std::string::npos ||
                    line.find("fail") != std::string::npos ||
                    line.find("auth") != std::string::npos) {
                    std::cout << line << "\n";
                }
            }
        }
        if (HasFailure()) {
            for (LibraryClient* client : {alice_.get(), bob_.get()}) {
                if (client == nullptr) continue;
                for (const std::string& line : client->world().log().CapturedTexts()) {
                    if (line.find("XMPP") != std::string::npos) {
                        std::cout << os::GbkToUtf8Lossy(line) << "\n";
                    }
                }
            }
        }
        bob_.reset();
        alice_.reset();
    }

    // Pumps both clients until `condition` holds, within the server's budget.
    template <typename Condition>
    testing::AssertionResult Both(Condition&& condition, std::string_view what) {
        return testing_support::PumpUntil(
            alice_->windows(),
            [&] {
                bob_->windows().PumpPending();
                return condition();
            },
            what, kServerBudget);
    }

    testing_support::TempDir xdg_;
    testing_support::ScopedEnv xdgConfigHome_{"XDG_CONFIG_HOME", (xdg_.path() / "xdg").string()};
    std::unique_ptr<testing_support::ProsodyServer> server_;
    std::unique_ptr<testing_support::ScopedEnv> trust_;
    std::unique_ptr<LibraryClient> alice_;
    std::unique_ptr<LibraryClient> bob_;
};

TEST_F(XmppRoomEndToEndTest, TwoClientsMakeARoomTalkInItAndTheOwnerAsksTheGuestOut) {
    const std::string bobJid = "bob$gov@" + server_->domain();
    alice_->context().doors().rooms->CreateInstantRoom({bobJid});
    ASSERT_TRUE(Both([&] { return alice_->RoomWindow() != 0; }, "the user's room window"));

    // The invitation opens Bob's window, which enters under his user id; the user's window
    // sees him come.
    ASSERT_TRUE(
        Both([&] { return bob_->RoomWindow() != 0; }, "Bob's room window from the invitation"));
    ASSERT_TRUE(Both([&] { return alice_->Shows("bob 进入了多人聊天"); }, "Bob entering"))
        << os::GbkToUtf8Lossy(alice_->ViewText(alice_->RoomWindow()))
        << " / Bob's: " << os::GbkToUtf8Lossy(bob_->ViewText(bob_->RoomWindow()));
    ASSERT_TRUE(Both([&] { return alice_->Members() == std::vector<std::string>{"bob"}; },
                     "Bob in the member panel"));

    // The user talks; Bob's window shows it.
    Driver& driver = alice_->driver();
    ASSERT_TRUE(driver.TypeText(alice_->RoomWindow(), id::kInput, "大家好")) << driver.LastError();
    ASSERT_TRUE(driver.Click(alice_->RoomWindow(), id::kSend)) << driver.LastError();
    ASSERT_TRUE(Both([&] { return bob_->Shows("大家好") && alice_->Shows("大家好"); },
                     "the message in both windows"));
    // Bob answers.
    ASSERT_TRUE(bob_->driver().TypeText(bob_->RoomWindow(), id::kInput, "收到"));
    ASSERT_TRUE(bob_->driver().Click(bob_->RoomWindow(), id::kSend));
    ASSERT_TRUE(Both([&] { return alice_->Shows("收到"); }, "Bob's answer"));

    // The user asks Bob out: his window closes with the tip, the user's says he left.
    ASSERT_TRUE(alice_->SelectMember("bob"));
    ASSERT_TRUE(driver.Click(alice_->RoomWindow(), id::kKick)) << driver.LastError();
    ASSERT_TRUE(Both([&] { return bob_->RoomWindow() == 0; }, "Bob's window closing"));
    EXPECT_EQ(bob_->world().tips().TipTexts(), std::vector<std::string>{"您已被请出多人聊天!"});
    ASSERT_TRUE(Both([&] { return alice_->Shows("bob 离开了多人聊天"); }, "Bob gone"));
    EXPECT_TRUE(alice_->Members().empty());
}

}  // namespace
}  // namespace host_api_test
