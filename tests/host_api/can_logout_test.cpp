// The exit confirmation: who is asked what, and which answers let the user go.
#include <gtest/gtest.h>

#include "config/client_config.h"
#include "core/doors.h"
#include "manager_fixture.h"
#include "os/prompt/scripted_prompter.h"
#include "support/doors/recording_contacts.h"
#include "support/doors/recording_libraries.h"

namespace host_api_test {
namespace {

constexpr const char* kBusyQuestion =
    "正在和服务端交互数据，现在退出可能会导致数据错误！\r\n\r\n确定退出？";

class CanLogoutTest : public ManagerTest {
  protected:
    void SetUp() override {
        context.doors().libraries.Plug(conversations);
        context.doors().contacts.Plug(work);
        ASSERT_NO_FATAL_FAILURE(Init());
        context.config.CSRoomTitle = "客服";
    }
    std::vector<std::string> Questions() const { return world.prompter().Texts(); }

    testing_support::RecordingLibraries conversations;  // open customer-service conversations
    testing_support::RecordingContacts work;            // the dialogs' work on the server
};

TEST_F(CanLogoutTest, NothingOpenLetsTheUserGoWithoutAQuestion) {
    EXPECT_TRUE(manager->CanLogout());
    EXPECT_TRUE(Questions().empty());
}

TEST_F(CanLogoutTest, ALostConnectionLetsTheUserGoWithoutAnyQuestion) {
    conversations.chatingCount = 2;
    manager->Flags().busyWithServer = true;
    manager->Flags().connectionLost = true;
    EXPECT_TRUE(manager->CanLogout());
    EXPECT_TRUE(Questions().empty());
    EXPECT_EQ(work.serverWorkStopped, 0);
}

TEST_F(CanLogoutTest, OpenCustomerServiceConversationsAskFirst) {
    conversations.chatingCount = 1;
    world.prompter().AnswerMessageBox(os::IDNO);
    EXPECT_FALSE(manager->CanLogout());
    world.prompter().AnswerMessageBox(os::IDYES);
    EXPECT_TRUE(manager->CanLogout());

    const auto asked = world.prompter().Records();
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].text, "客服 还有会话没有结束。\r\n\r\n确定退出？");
    EXPECT_EQ(asked[0].caption, "提示");
    EXPECT_EQ(asked[0].style & os::MB_TYPEMASK, os::MB_YESNO);
}

TEST_F(CanLogoutTest, WorkOnTheServerWarnsAndYesStopsIt) {
    manager->Flags().busyWithServer = true;
    world.prompter().AnswerMessageBox(os::IDNO);
    EXPECT_FALSE(manager->CanLogout());
    EXPECT_TRUE(manager->Flags().busyWithServer);
    EXPECT_EQ(work.serverWorkStopped, 0);

    world.prompter().AnswerMessageBox(os::IDYES);
    EXPECT_TRUE(manager->CanLogout());
    EXPECT_FALSE(manager->Flags().busyWithServer);
    EXPECT_EQ(work.serverWorkStopped, 1);
    EXPECT_EQ(Questions(), (std::vector<std::string>{kBusyQuestion, kBusyQuestion}));
}

TEST_F(CanLogoutTest, ARefusalAtTheFirstQuestionAsksNoMore) {
    conversations.chatingCount = 3;
    manager->Flags().busyWithServer = true;
    world.prompter().AnswerMessageBox(os::IDNO);
    EXPECT_FALSE(manager->CanLogout());
    EXPECT_EQ(Questions().size(), 1u);
}

}  // namespace
}  // namespace host_api_test
