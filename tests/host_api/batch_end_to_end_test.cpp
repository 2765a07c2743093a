// The batch composer from end to end on the embedded server, as a host and a person drive it:
// the host's export opens the SMS composer, the user picks a contact and types two numbers,
// sends, and the gateway delivers the batch; the user's store keeps a copy per recipient and
// the quota falls. A gateway that refuses the batch is told, and the copies say so.

#include <gtest/gtest.h>

#include "batch/batch_controls.h"
#include "batch/dlg_batch_chat.h"
#include "chat/chat_controls.h"
#include "chat/conversation_store.h"
#include "chat/dlg_chat.h"
#include "chat/dlg_contact_picker.h"
#include "core/window_messages.h"
#include "host_api/library.h"
#include "platform/store/client_db.h"
#include "qorvdesk/exports.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

namespace id = batch::control;
using qorvdesk::automation::Driver;

class BatchEndToEndTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        platform::SimSmsQuota quota;
        quota.kind = 1;  // per day
        quota.remaining = 10;
        quota.timedRemaining = 4;
        quota.windowStart = "2030-01-01 08:00";
        quota.windowEnd = "2030-12-31 20:00";
        world.server().SetSmsQuota(me, quota);
        ASSERT_NO_FATAL_FAILURE(Init());
        context.config.HasSmsLimit = 1;  // after Init, which reads the settings
        ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
        theWindowManager = manager.get();
    }
    void TearDown() override { theWindowManager = nullptr; }

    bool Drained() {
        const platform::SimSessionCore& session = world.simSession();
        return session.QueuedCount() == 0 && session.IssuedCount() == 0;
    }

    // The SMS composer the host opens, with Bob picked and two numbers typed.
    std::uint32_t OpenFilledComposer() {
        ShowSendSmsWindow(2);
        const auto window = driver.FindWindowByClass(core::kBatchChatWindowClass);
        EXPECT_NE(window, 0u);
        if (window == 0) return 0;
        EXPECT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
        world.prompter().AnswerDialog(os::IDOK, [&](os::Window& picker) {
            Driver inPicker(world.windows(), &world.prompter());
            EXPECT_TRUE(
                inPicker.SelectListRow(picker.hwnd().value(), CDlgContactPicker::kOfferedListId, 0))
                << inPicker.LastError();
            EXPECT_TRUE(inPicker.Click(picker.hwnd().value(), CDlgContactPicker::kAddButtonId));
            EXPECT_TRUE(inPicker.Click(picker.hwnd().value(), os::IDOK));
        });
        EXPECT_TRUE(driver.Click(window, id::kPick)) << driver.LastError();
        EXPECT_TRUE(driver.AppendText(window, id::kRecipients, "13900000001；13900000002"))
            << driver.LastError();
        EXPECT_TRUE(driver.TypeText(window, id::kContents, "明天九点开会")) << driver.LastError();
        return window;
    }

    // Every stored message as "to|type|extra1".
    std::vector<std::string> Stored() {
        std::vector<std::string> rows;
        const auto db = context.OpenUserStore();
        if (db == nullptr) return rows;
        db->GetMsg(
            [&](const MsgFields& f) {
                if (!IsMsgEndMark(f)) {
                    rows.push_back(f[msg_field::kTo] + "|" + f[msg_field::kType] + "|" +
                                   f[msg_field::kExtra1]);
                }
            },
            -1);
        return rows;
    }

    std::string Sms(const std::string& number) const {
        return number + "@sms." + world.server().HostName();
    }

    Driver driver{world.windows(), &world.prompter()};
};

TEST_F(BatchEndToEndTest, TheHostsComposerSendsABatchThatTheGatewayDeliversAndTheQuotaFalls) {
    const auto window = OpenFilledComposer();
    ASSERT_NE(window, 0u);
    // The quota answers of the login and of the composer's own query are shown.
    EXPECT_GBK_EQ(driver.Text(window, id::kCounter).value_or(""),
                  "还可输入 " + std::to_string(300 - 12 - 2) + " 字符 您今日还可发送短信次数 10");
    EXPECT_GBK_EQ(driver.Text(window, id::kRecipientCount).value_or(""), "共 3 人");

    ASSERT_TRUE(driver.Click(window, id::kSend)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));

    const auto sms = world.server().SmsSent();
    ASSERT_EQ(sms.size(), 2u);
    EXPECT_EQ(sms[0].to, Sms("13900000001"));
    EXPECT_EQ(sms[1].to, Sms("13900000002"));
    EXPECT_GBK_EQ(sms[0].text, "明天九点开会");
    EXPECT_EQ(world.server().StoredMessages(bob).size(), 1u);  // Bob is offline: kept for him
    EXPECT_EQ(Stored(), (std::vector<std::string>{bob + "|0|", Sms("13900000001") + "|11|",
                                                  Sms("13900000002") + "|11|"}));
    EXPECT_EQ(world.tips().TipTexts(), std::vector<std::string>{"信息已提交！"});
    // The server's answer after the send replaces the local count.
    EXPECT_EQ(world.server().SmsQuotaOf(me).remaining, 8);
    EXPECT_GBK_EQ(driver.Text(window, id::kCounter).value_or(""),
                  "还可输入 298 字符 您今日还可发送短信次数 8");
    EXPECT_EQ(driver.Text(window, id::kContents).value_or("?"), "");
}

TEST_F(BatchEndToEndTest, TheStartUpLogNoLongerNamesTheBatchOrQuotaDoors) {
    EXPECT_TRUE(world.log().HasCaptured("door \"main window panes\" is not plugged in"));
    EXPECT_FALSE(world.log().HasCaptured("door \"batch composer\""));
    EXPECT_FALSE(world.log().HasCaptured("door \"SMS quota\""));
}

TEST_F(BatchEndToEndTest, ARefusedBatchIsShownAndItsCopiesAreMarkedNotSent) {
    const auto window = OpenFilledComposer();
    ASSERT_NE(window, 0u);
    world.server().SetSmsGatewayFailing(true);
    os::PromptMatch busyBox;
    busyBox.caption = "群发提示";
    world.prompter().AnswerMessageBox(os::IDOK, busyBox);
    ASSERT_TRUE(driver.Click(window, id::kSend)) << driver.LastError();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));

    EXPECT_TRUE(world.server().SmsSent().empty());
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_FALSE(boxes.empty());
    EXPECT_GBK_EQ(boxes.back().text, "网络繁忙，无法群发短信。");
    EXPECT_TRUE(world.tips().TipTexts().empty());  // nothing claims the batch was taken
    const std::string notSent = chat::kNotSentMark;
    EXPECT_EQ(Stored(),
              (std::vector<std::string>{bob + "|0|", Sms("13900000001") + "|11|" + notSent,
                                        Sms("13900000002") + "|11|" + notSent}));
    EXPECT_EQ(world.server().SmsQuotaOf(me).remaining, 10);
    EXPECT_GBK_EQ(driver.Text(window, id::kContents).value_or(""), "明天九点开会");  // kept
}

// The quota is the logged-in account's: the next account that logs in starts from nothing,
// so a timed window its gateway does not answer is not the last account's either.
TEST_F(BatchEndToEndTest, TheNextAccountDoesNotInheritTheQuotaOfTheLastOne) {
    const batch::SmsQuota& quota = subsystems->batchComposers().quota();
    ASSERT_EQ(world.simSession().QuerySmsLimitInfo(1), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    ASSERT_TRUE(quota.TimedAvailable());
    platform::SimSmsQuota bobs;
    bobs.kind = 2;  // per month
    bobs.remaining = 3;
    bobs.timedErrorCode = "-16_1800";
    world.server().SetSmsQuota(bob, bobs);

    manager->UserLogout();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return Drained() && !world.windows().IsWindowVisible(manager->MainPanel());
    }));
    ASSERT_NO_FATAL_FAILURE(LogInAs("bob"));
    world.clock().Advance(10);  // the login's pause between its two quota queries
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        return Drained() && quota.QuotaText(false) == "您本月还可发送短信次数 3";
    }));
    EXPECT_FALSE(quota.TimedAvailable());
}

TEST_F(BatchEndToEndTest, TheChatWindowAsksTheSameQuotaAndOpensTheComposer) {
    // Bob's SMS window refuses more than the quota allows, in the quota's own words.
    platform::SimSmsQuota none;
    none.kind = 1;
    none.remaining = 0;
    world.server().SetSmsQuota(me, none);
    ASSERT_EQ(world.simSession().QuerySmsLimitInfo(0), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    ASSERT_EQ(manager->OpenSmsChatWindow(Sms("13900000009")) != nullptr, true);
    auto* chat = dynamic_cast<CDlgChat*>(
        manager->FindChatWindow(Sms("13900000009"), platform::JidMatch::Loose));
    ASSERT_NE(chat, nullptr);
    const auto chatWindow = chat->hwnd().value();
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.AppendText(chatWindow, chat::control::kInput, "你好")) << driver.LastError();
    ASSERT_TRUE(driver.Click(chatWindow, chat::control::kSend)) << driver.LastError();
    driver.Pump();
    EXPECT_TRUE(world.server().SmsSent().empty());
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_FALSE(boxes.empty());
    EXPECT_NE(boxes.back().text.find("您今日还可发送短信次数 0"), std::string::npos)
        << testing_support::DisplayGbk(boxes.back().text);

    // "转群发" takes the text to a new SMS composer.
    ASSERT_TRUE(driver.Click(chatWindow, chat::control::kToBatch)) << driver.LastError();
    const auto composer = driver.FindWindowByClass(core::kBatchChatWindowClass);
    ASSERT_NE(composer, 0u);
    EXPECT_GBK_EQ(driver.Text(composer, id::kContents).value_or(""), "你好");
}

}  // namespace
}  // namespace host_api_test
