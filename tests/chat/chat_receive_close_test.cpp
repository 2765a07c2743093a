// Incoming messages, the window's set-up texts, links, and closing.

#include <gtest/gtest.h>

#include "chat/encoding/markers.h"
#include "chat_fixture.h"
#include "config/client_config.h"
#include "core/doors.h"
#include "core/doors/batch_service.h"
#include "core/window_messages.h"
#include "os/prompt/scripted_prompter.h"
#include "support/doors/recording_batch.h"
#include "support/doors/recording_contacts.h"
#include "support/doors/recording_history.h"
#include "support/gbk_print.h"

namespace chat_test {
namespace {

namespace id = chat::control;

class ChatReceiveTest : public ChatTest {};

TEST_F(ChatReceiveTest, IncomingMessagesShowUnderTheSpeakerWithTheBlueDefaultHeader) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    core::QueuedMessage message;
    message.from = bob.jid + "/pc";
    message.fromName = "  ";
    message.font = std::string(chat::kDefaultHeader);
    message.content = "你好";
    message.time = "2026-01-05 17:00:00";
    chat.OnIncomingMessage(message);

    EXPECT_GBK_EQ(ViewText(chat), "鲍勃 说 2026-01-05 17:00:00\r\n你好\r\n");
    const int body = static_cast<int>(ViewText(chat).find("你")) - 1;  // positions of ASCII text
    EXPECT_EQ(chat.view().GetCharFormatAt(chat.view().PositionFromByteOffset(body + 1)).color,
              os::Rgb(0, 0, 255));
}

TEST_F(ChatReceiveTest, ANewNicknameRenamesTheWindowAndAFontNameIsNeverShown) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    EXPECT_GBK_EQ(chat.GetWindowText(), "鲍勃");

    core::QueuedMessage message = Incoming(bob.jid, "嗨");
    message.fromName = "老鲍";
    chat.OnIncomingMessage(message);
    EXPECT_GBK_EQ(chat.GetWindowText(), "老鲍");
    EXPECT_NE(ViewText(chat).find("老鲍 说 "), std::string::npos);

    const std::string before = ViewText(chat);
    message.fromName = "FONT(宋体,134,2,900,1,0,0,0,0,0,0)x";
    chat.OnIncomingMessage(message);
    EXPECT_EQ(ViewText(chat), before);
}

TEST_F(ChatReceiveTest, QueuedMessagesAreShownWhenTheWindowOpens) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    chat.ShowQueuedMessages({Incoming(bob.jid, "一"), Incoming(bob.jid, "二")});
    ASSERT_EQ(chat.ShownMessages().size(), 2u);
    const std::string view = ViewText(chat);
    EXPECT_LT(view.find("一"), view.find("二"));
}

TEST_F(ChatReceiveTest, AStrangerIsATemporaryConversationWithAnAddContactLink) {
    context.config.ShowAddBuddyTipInChatWnd = 1;
    CDlgChat& chat = Open("stranger$gov@im.qorvdesk.test");
    EXPECT_EQ(chat.GetWindowText(), "stranger$gov");
    EXPECT_NE(ViewText(chat).find("对方不在您的我的好友中，点击这里添加此人"), std::string::npos);
    ASSERT_TRUE(driver.ClickLink(Handle(chat), id::kView, "点击这里")) << driver.LastError();
    driver.Pump();
    EXPECT_EQ(commands.addedContacts, (std::vector<std::string>{"stranger$gov@im.qorvdesk.test"}));

    world.prompter().AnswerMessageBox(os::IDOK, os::PromptMatch{std::nullopt, "临时会话"});
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kSendSms));
    EXPECT_TRUE(commands.smsComposers.empty());
}

TEST_F(ChatReceiveTest, ToolBarsFollowTheMode) {
    struct Case {
        chat::ChatMode mode;
        int clip;
        std::vector<std::string> shown;
    };
    const Case cases[] = {
        {chat::ChatMode::InstantMessage,
         1,
         {"发送", "发送短信", "发送文件", "语音视频", "邀请", "字体", "表情", "常用语", "闪屏振动",
          "截屏", "历史消息"}},
        {chat::ChatMode::InstantMessage,
         0,
         {"发送", "发送短信", "发送文件", "语音视频", "邀请", "字体", "表情", "常用语", "闪屏振动",
          "历史消息"}},
        {chat::ChatMode::Sms, 1, {"发送", "定时发送", "历史短信", "转群发", "常用语"}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(n);
        context.config.HasClipScreen = c.clip;
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true, "13800138000");
        CDlgChat& chat = Open(bob.jid, c.mode);
        std::vector<std::string> shown;
        for (const auto& control : driver.Controls(Handle(chat))) {
            if ((control.kind == qorvdesk::automation::ControlKind::Button ||
                 control.kind == qorvdesk::automation::ControlKind::CheckBox) &&
                control.visible) {
                shown.push_back(control.text);
            }
        }
        EXPECT_EQ(shown, c.shown);
        chat.DestroyWindow();
    }
}

TEST_F(ChatReceiveTest, InvitingPicksContactsAndLeavesOutThoseOffline) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    commands.picked = std::vector<chat::ChatCommands::PickedContact>{
        {"carol$gov@im.qorvdesk.test", "卡罗", "online"},
        {"dan$gov@im.qorvdesk.test", "丹", "offline"}};
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kInvite));
    EXPECT_EQ(commands.pickerTitles, (std::vector<std::string>{"添加参与者"}));
    ASSERT_EQ(commands.conferences.size(), 1u);
    EXPECT_EQ(commands.conferences[0],
              (std::vector<std::string>{bob.jid, "carol$gov@im.qorvdesk.test"}));
    EXPECT_NE(ViewText(chat).find("丹 不在线，无法接受邀请。"), std::string::npos);
}

TEST_F(ChatReceiveTest, TheFontDialogSetsTheWholeInputAndTheSetting) {
    Contact bob = AddContact("bob", "鲍勃", true);
    CDlgChat& chat = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Type(chat, "字"));
    os::FontChoice font;
    font.faceName = "黑体";
    font.height = 40 * 20;  // beyond the dialog's 16 points
    font.bold = true;
    font.color = os::Rgb(0, 128, 0);
    world.prompter().AnswerFont(font);
    ASSERT_NO_FATAL_FAILURE(Click(chat, id::kFont));
    EXPECT_GBK_EQ(settings.MessageFont(), "FONT(黑体,134,2,320,1,0,0,0,0,128,0)");
    const os::CharFormat format = chat.input().GetCharFormatAt(0);
    EXPECT_EQ(format.height, 320);
    EXPECT_TRUE(format.Has(os::char_effect::kBold));
}

TEST_F(ChatReceiveTest, HistoryButtonsOpenTheHistoryOfThePeer) {
    testing_support::RecordingHistory history;
    context.doors().history.Plug(history);
    Contact bob = AddContact("bob", "鲍勃", true, "13800138000");
    CDlgChat& im = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Click(im, id::kHistory));
    im.DestroyWindow();
    CDlgChat& sms = Open(bob.jid, chat::ChatMode::Sms);
    ASSERT_NO_FATAL_FAILURE(Click(sms, id::kSmsHistory));
    EXPECT_EQ(history.opened, (std::vector<std::string>{bob.jid, bob.jid}));
    context.doors().history.Unplug();
}

TEST_F(ChatReceiveTest, WithoutChatCommandsPluggedInTheComposersOpenThroughTheClientsDoors) {
    testing_support::RecordingBatch batch;
    testing_support::RecordingContacts contacts;
    context.doors().batch.Plug(batch);
    context.doors().contacts.Plug(contacts);
    context.config.ShowAddBuddyTipInChatWnd = 1;
    Contact bob = AddContact("bob", "鲍勃", true, "13800138000");
    auto make = [&](const std::string& jid, chat::ChatMode mode) {
        auto window = std::make_unique<CDlgChat>(context, &trees, jid, mode);
        EXPECT_TRUE(window->Create());
        CDlgChat* chat = world.windows().Adopt(std::move(window));
        chat->ShowWindow(os::SW_SHOW);
        return chat;
    };
    CDlgChat* im = make(bob.jid, chat::ChatMode::InstantMessage);
    Click(*im, id::kSendSms);
    im->DestroyWindow();
    CDlgChat* sms = make(bob.jid, chat::ChatMode::Sms);
    ASSERT_NO_FATAL_FAILURE(Type(*sms, "周五开会"));
    Click(*sms, id::kToBatch);
    sms->DestroyWindow();
    CDlgChat* stranger = make("stranger$gov@im.qorvdesk.test", chat::ChatMode::InstantMessage);
    ASSERT_TRUE(driver.ClickLink(Handle(*stranger), id::kView, "点击这里")) << driver.LastError();
    driver.Pump();
    stranger->DestroyWindow();

    // Each goes with what it is about: the number, the text, the contact.
    ASSERT_EQ(batch.composers.size(), 2u);
    EXPECT_EQ(batch.composers[0].mode, core::kComposerSms);
    EXPECT_EQ(batch.composers[0].recipients, "13800138000");
    EXPECT_EQ(batch.composers[0].contents, "");
    EXPECT_EQ(batch.composers[1].mode, core::kComposerSms);
    EXPECT_EQ(batch.composers[1].recipients, "");
    EXPECT_GBK_EQ(batch.composers[1].contents, "周五开会");
    EXPECT_EQ(contacts.addContactDialogs,
              (std::vector<std::string>{"stranger$gov@im.qorvdesk.test"}));
    EXPECT_TRUE(commands.smsComposers.empty());
    EXPECT_TRUE(commands.addedContacts.empty());
    context.doors().batch.Unplug();
    context.doors().contacts.Unplug();
}

TEST_F(ChatReceiveTest, SendSmsOpensTheComposerForThePeersNumber) {
    Contact bob = AddContact("bob", "鲍勃", true, "13800138000");
    Contact carol = AddContact("carol", "卡罗", true);
    CDlgChat& withNumber = Open(bob.jid);
    ASSERT_NO_FATAL_FAILURE(Click(withNumber, id::kSendSms));
    EXPECT_EQ(commands.smsComposers, (std::vector<std::string>{"13800138000"}));

    CDlgChat& without = Open(carol.jid);
    world.prompter().AnswerMessageBox(os::IDOK, os::PromptMatch{std::nullopt, "手机信息为空"});
    ASSERT_NO_FATAL_FAILURE(Click(without, id::kSendSms));
    EXPECT_EQ(commands.smsComposers.size(), 1u);
}

class ChatCloseTest : public ChatTest {};

TEST_F(ChatCloseTest, TheUserIsAskedAboutRunningTransfersAndCalls) {
    struct Case {
        const char* name;
        bool file, video, audio;
        std::vector<int> answers;
        bool closed;
    };
    const Case cases[] = {
        {"nothing running", false, false, false, {}, true},
        {"file yes", true, false, false, {os::IDYES}, true},
        {"file no", true, false, false, {os::IDNO}, false},
        {"video yes, audio no", false, true, true, {os::IDYES, os::IDNO}, false},
        {"all yes", true, true, true, {os::IDYES, os::IDYES, os::IDYES}, true},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        world.prompter().ClearRecords();
        Contact bob = AddContact("bob" + std::to_string(n++), "鲍勃", true);
        CDlgChat& chat = Open(bob.jid);
        chat.SetFileTransferRunning(c.file);
        chat.SetVideoChatRunning(c.video);
        chat.SetAudioChatRunning(c.audio);
        const os::HWND hwnd = chat.hwnd();
        for (int answer : c.answers)
            world.prompter().AnswerMessageBox(answer, os::PromptMatch{"提示", std::nullopt});
        ASSERT_TRUE(driver.Close(hwnd.value()));
        driver.Pump();

        EXPECT_EQ(world.windows().IsWindow(hwnd), !c.closed);
        EXPECT_EQ(manager.FindChatWindow(bob.jid, platform::JidMatch::Exact) != nullptr, !c.closed);
        const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
        ASSERT_EQ(boxes.size(), c.answers.size());
        for (const auto& box : boxes) EXPECT_EQ(box.style & os::MB_TYPEMASK, os::MB_YESNO);
        if (!c.answers.empty() && c.file) {
            EXPECT_GBK_EQ(boxes[0].text, "关闭窗口将终止文件传输。\r\n\r\n是否关闭窗口？");
        }
        if (!c.closed) chat.DestroyWindow();
    }
}

TEST_F(ChatCloseTest, TheManagerClosesWithoutQuestions) {
    Contact bob = AddContact("bob", "鲍勃", true);
    Contact carol = AddContact("carol", "卡罗", true);
    CDlgChat& first = Open(bob.jid);
    CDlgChat& second = Open(carol.jid);
    first.SetFileTransferRunning(true);
    second.SetAudioChatRunning(true);
    const os::HWND a = first.hwnd();
    const os::HWND b = second.hwnd();

    EXPECT_TRUE(manager.CloseChatWindow(bob.jid));
    EXPECT_FALSE(world.windows().IsWindow(a));
    world.windows().SendMessage(b, core::WM_CHAT_SHUTDOWN, 0, core::kCloseFinal);
    EXPECT_FALSE(world.windows().IsWindow(b));
    EXPECT_TRUE(world.prompter().Records().empty());
    EXPECT_TRUE(manager.ChatWindows().empty());
    EXPECT_EQ(commands.endedCalls.size(), 2u);
}

}  // namespace
}  // namespace chat_test
