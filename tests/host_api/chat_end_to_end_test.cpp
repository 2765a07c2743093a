// A user's session from end to end on the embedded server, driven as a person would through
// the automation interface and the exports: log in, chat with a contact both ways (text with
// a face, typing notices, a shake, an SMS copy while the contact is away), log out, log in
// again.

#include <gtest/gtest.h>

#include <cstdlib>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "core/user_folder.h"
#include "login/account_mutex.h"
#include "os/sys/named_objects.h"
#include "platform/store/client_db.h"
#include "subsystems_fixture.h"
#include "support/child_process.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

constexpr const char* kFont = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

class ChatEndToEndTest : public SubsystemsTest {
  protected:
    // The chat messages Bob's session has received so far.
    std::vector<platform::MessageData> BobReceived() {
        std::vector<platform::MessageData> messages;
        while (platform::NotifyRecord* record = remote->GetNotify()) {
            if (const auto* message = record->As<platform::MessageData>()) {
                messages.push_back(*message);
            }
            remote->FreeNotify(record);
        }
        return messages;
    }

    // How many messages the user's store holds.
    int StoredCount() {
        const std::string account = world.simSession().GetCurrentUserLimitName();
        const std::string folder = core::UserFolder(commonDir.str(), account).value_or("");
        CClientDB db(account.c_str(), folder.c_str());
        int count = 0;
        db.GetMsg([&](const MsgFields& fields) { count += IsMsgEndMark(fields) ? 0 : 1; }, -1);
        return count;
    }

    bool Contains(const std::optional<qorvdesk::automation::RichText>& text,
                  const std::string& part) {
        return text && text->plainText.find(part) != std::string::npos;
    }
};

TEST_F(ChatEndToEndTest, ALoggedInUserChatsWithAContactLogsOutAndLogsInAgain) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
    BobReceived();  // what Bob's login brought him

    // Open the chat from the contact tree (the export reads the selection).
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    ASSERT_TRUE(driver.ExpandTreeItem(manager->MainPanel().value(), 5001, groupNode))
        << driver.LastError();
    ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                      tree->FindUserNode(groupNode, bob)))
        << driver.LastError();
    manager->CallUserChat();
    auto* chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
    ASSERT_NE(chat, nullptr);
    const auto window = chat->hwnd().value();

    // Type and send a greeting with a face.
    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "你好#(14)#"))
        << driver.LastError();
    ASSERT_TRUE(driver.Click(window, chat::control::kSend)) << driver.LastError();
    driver.Pump();
    const auto view = driver.ReadRichText(window, chat::control::kView);
    EXPECT_TRUE(Contains(view, "我")) << view->plainText;  // the speaker line names the user
    EXPECT_TRUE(Contains(view, "你好"));
    std::vector<platform::MessageData> got = BobReceived();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_GBK_EQ(got[0].content, "你好#(14)#");
    EXPECT_TRUE(got[0].font.starts_with("FONT("));
    EXPECT_EQ(driver.Text(window, chat::control::kInput).value_or("?"), "");

    // Bob types, then answers.
    ASSERT_EQ(remote->SendInputStateMessage(bob, me, "composing"), 1);
    ASSERT_TRUE(PumpUntil(
        world.windows(), [&] { return chat->StatusLine().find("正在输入") != std::string::npos; }));
    ASSERT_TRUE(driver.AdvanceClock(5000));
    driver.Pump();
    EXPECT_EQ(chat->StatusLine().find("正在输入"), std::string::npos);
    ASSERT_EQ(remote->SendChatMessage(me, "收到#(5)#", kFont), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return Contains(driver.ReadRichText(window, chat::control::kView), "收到");
    }));
    EXPECT_EQ(StoredCount(), 2);  // the greeting and the answer

    // A shake goes out as its marker.
    ASSERT_TRUE(driver.Click(window, chat::control::kShake)) << driver.LastError();
    driver.Pump();
    got = BobReceived();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].content, "#(-1)#");

    // Bob leaves; a contact who asked for SMS copies gets the message on the phone too.
    remote.reset();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "offline"; }));
    bobInTree->SetWantsSmsCopiesWhileOffline(true);
    bobInTree->EditDetails().mobile = "13900000000";
    ASSERT_TRUE(driver.AppendText(window, chat::control::kInput, "晚上见")) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, chat::control::kSend)) << driver.LastError();
    driver.Pump();
    const auto sms = world.server().SmsSent();
    ASSERT_EQ(sms.size(), 1u);
    EXPECT_EQ(sms[0].to, "13900000000@sms." + world.server().HostName());
    EXPECT_GBK_EQ(sms[0].text, "晚上见");

    // Log out: the login panel is back and the chat window is gone; log in again.
    manager->UserLogout();
    driver.Pump();
    EXPECT_FALSE(manager->IsLoggedIn());
    EXPECT_TRUE(world.windows().IsWindowVisible(manager->LoginPanel()));
    EXPECT_EQ(manager->FindChatWindow(bob, platform::JidMatch::Loose), nullptr);
    const auto panel = manager->LoginPanel().value();
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
    ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return world.windows().IsWindowVisible(manager->MainPanel()); }));
    EXPECT_TRUE(manager->IsLoggedIn());
}

// ---- Two processes on one computer

constexpr char kHolderDirVar[] = "QORV_ACCOUNT_HOLDER_DIR";

// The other client process: it holds the account's login mutex, as a process logged in with
// "me" does, until the parent closes its input. Skipped when run on its own.
TEST(AccountHolderProcess, Run) {
    const char* dir = std::getenv(kHolderDirVar);
    if (dir == nullptr) GTEST_SKIP() << "runs only as the child of a two-process test";
    os::NamedObjectSpace space(dir);
    os::ManualClock clock;
    auto held = login::ClaimAccountMutex(space, clock, "me", login::ProgramVersion(dir));
    ASSERT_EQ(held.claim, login::AccountClaim::Taken);
    testing_support::ReportReadyToParent();
    testing_support::WaitUntilParentCloses();
}

TEST_F(ChatEndToEndTest, ASecondProcessWithTheSameAccountIsRefused) {
    testing_support::ChildProcess other("AccountHolderProcess.Run",
                                        {std::string(kHolderDirVar) + "=" + commonDir.str()});
    ASSERT_TRUE(other.WaitReady());

    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_NO_FATAL_FAILURE(Init());
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    const auto panel = manager->LoginPanel().value();
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, "me")) << driver.LastError();
    ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
    ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
    driver.Pump();

    ASSERT_EQ(world.prompter().Texts().size(), 1u);
    EXPECT_GBK_EQ(world.prompter().Texts()[0], "您已经登录me,不能重复登录！");
    EXPECT_FALSE(manager->IsLoggedIn());
    EXPECT_TRUE(world.simSession().calls().Named("Login").empty());

    // Once the other process is gone, the account is free here.
    other.CloseInput();
    EXPECT_EQ(other.Wait(), 0);
    ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(),
                          [&] { return world.windows().IsWindowVisible(manager->MainPanel()); }));
}

}  // namespace
}  // namespace host_api_test
