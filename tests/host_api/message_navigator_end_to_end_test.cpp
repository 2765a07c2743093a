// The message navigation frame on the client's real wiring: log in, chat with Bob both ways,
// open the frame through the history door, search for a two-character Chinese keyword,
// mark the message found as handled and export the list, as a person does it.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "core/doors.h"
#include "core/doors/history_service.h"
#include "core/user_folder.h"
#include "history/frame_msg_mgr.h"
#include "platform/store/client_db.h"
#include "subsystems_fixture.h"

namespace host_api_test {
namespace {

namespace id = history::frame_control;

constexpr const char* kFont = "FONT(宋体,134,2,180,0,0,0,0,0,0,0)";

class MessageNavigatorEndToEndTest : public SubsystemsTest {
  protected:
    std::vector<MsgFields> Handled() {
        const std::string account = world.simSession().GetCurrentUserLimitName();
        const std::string folder = core::UserFolder(commonDir.str(), account).value_or("");
        CClientDB db(account.c_str(), folder.c_str());
        std::vector<MsgFields> handled;
        db.GetMsg(
            false,
            [&](const MsgFields& fields) {
                if (!IsMsgEndMark(fields)) handled.push_back(fields);
            },
            -1);
        return handled;
    }
};

TEST_F(MessageNavigatorEndToEndTest, ALoggedInUserFindsAChatMessageMarksItHandledAndExportsIt) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    remote = Remote("bob");
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));

    // A chat both ways.
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    ASSERT_TRUE(driver.ExpandTreeItem(manager->MainPanel().value(), 5001, groupNode))
        << driver.LastError();
    ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                      tree->FindUserNode(groupNode, bob)))
        << driver.LastError();
    manager->CallUserChat();
    auto* chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
    ASSERT_NE(chat, nullptr);
    const auto chatWindow = chat->hwnd().value();
    ASSERT_TRUE(driver.AppendText(chatWindow, chat::control::kInput, "下午的会议几点？"))
        << driver.LastError();
    ASSERT_TRUE(driver.Click(chatWindow, chat::control::kSend)) << driver.LastError();
    driver.Pump();
    ASSERT_EQ(remote->SendChatMessage(me, "三点，带上材料#(05)#", kFont), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        const auto view = driver.ReadRichText(chatWindow, chat::control::kView);
        return view && view->plainText.find("三点") != std::string::npos;
    }));

    // The frame, through the door the main panel's menu calls.
    context.doors().history->OpenNavigator();
    driver.Pump();
    const auto frame = driver.FindWindowByTitle(history::CFrameMsgMgr::kCaption);
    ASSERT_TRUE(driver.IsWindow(frame));
    ASSERT_EQ(driver.ListRows(frame, id::kMessageList).value().size(), 2u);

    ASSERT_TRUE(driver.TypeText(frame, id::kSearchBox, "材料")) << driver.LastError();
    ASSERT_TRUE(driver.Click(frame, id::kSearchButton)) << driver.LastError();
    driver.Pump();
    const auto found = driver.ListRows(frame, id::kMessageList).value();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].texts[1], "Bob");
    EXPECT_GBK_EQ(found[0].texts[3], "三点，带上材料[表情]");
    EXPECT_EQ(found[0].texts[4], "未处理");

    ASSERT_TRUE(driver.SelectListRow(frame, id::kMessageList, 0)) << driver.LastError();
    ASSERT_TRUE(driver.Click(frame, id::kToggleHandled)) << driver.LastError();
    driver.Pump();
    EXPECT_EQ(driver.ListRows(frame, id::kMessageList).value()[0].texts[4], "已处理");
    const std::vector<MsgFields> handled = Handled();
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0][msg_field::kId], found[0].texts[0]);

    const std::string path = commonDir.str() + "found.txt";
    world.prompter().AnswerSaveFile(path);
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(frame, id::kExportList)) << driver.LastError();
    driver.Pump();
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    const std::string time = handled[0][msg_field::kTime];
    EXPECT_GBK_EQ(bytes.str(), "Bob " + time + "\r\n   三点，带上材料[表情]\r\n");
    EXPECT_EQ(world.prompter().RecordsOf(os::PromptKind::MessageBox).back().text, "导出成功");
}

// The frame belongs to the session: logging out closes it with the session's other windows.
TEST_F(MessageNavigatorEndToEndTest, LoggingOutClosesTheFrame) {
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    // The log-in's own exchanges end first: the log-out then cuts none of them off.
    const platform::SimSessionCore& session = world.simSession();
    ASSERT_TRUE(PumpUntil(
        world.windows(), [&] { return session.QueuedCount() == 0 && session.IssuedCount() == 0; }));
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    context.doors().history->OpenNavigator();
    driver.Pump();
    const auto frame = driver.FindWindowByTitle(history::CFrameMsgMgr::kCaption);
    ASSERT_TRUE(driver.IsWindow(frame));
    ASSERT_EQ(context.doors().history->NavigatorWindow().value(), frame);

    manager->UserLogout();
    driver.Pump();
    EXPECT_FALSE(driver.IsWindow(frame));
    EXPECT_FALSE(context.doors().history->NavigatorWindow());
    EXPECT_FALSE(driver.IsWindow(driver.FindWindowByTitle(history::CFrameMsgMgr::kCaption)));
}

}  // namespace
}  // namespace host_api_test
