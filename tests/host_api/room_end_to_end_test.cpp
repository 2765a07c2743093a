// The rooms from end to end through the shipped wiring: the library's world, ClientSubsystems,
// the real window manager and pump. The server's room notifications are injected as the
// server sends them (room_notify_layout.h); what the client asks of the server is read from
// the engine's call log, and the windows are driven and read through the automation Driver.

#include <gtest/gtest.h>

#include <regex>

#include "batch/batch_controls.h"
#include "core/doors.h"
#include "core/doors/room_service.h"
#include "core/window_messages.h"
#include "host_api/library.h"
#include "os/prompt/message_box.h"
#include "os/text/cstring_ops.h"
#include "platform/session/notify_record.h"
#include "qorvdesk/exports.h"
#include "rooms/conference_center.h"
#include "rooms/dlg_room.h"
#include "rooms/room_controls.h"
#include "rooms/room_notify_layout.h"
#include "subsystems_fixture.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

namespace id = rooms::control;
namespace rn = rooms::room_notify;
using qorvdesk::automation::Driver;
using qorvdesk::automation::WindowHandle;

class RoomEndToEndTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
        theWindowManager = manager.get();
        calls().Clear();
    }
    void TearDown() override { theWindowManager = nullptr; }

    bool Drained() {
        const platform::SimSessionCore& session = world.simSession();
        return session.QueuedCount() == 0 && session.IssuedCount() == 0;
    }
    platform::CallLog& calls() { return world.simSession().calls(); }
    CConferenceCenter& center() { return subsystems->conferenceCenter(); }

    std::string Room(const char* local) const {
        return std::string(local) + "@conference." + world.server().HostName();
    }
    // The own occupant of a room: the nickname is the account's user id.
    std::string Own(const std::string& room) const {
        return room + "/" + platform::Jid(me).UserId();
    }

    // Injects what the server sends and waits until the client has handled it.
    void Server(std::uint32_t type, std::vector<std::string> slots,
                std::vector<std::int64_t> numbers = {}) {
        world.simSession().Inject(
            platform::MakeNotify(type, platform::SlotData{std::move(slots), std::move(numbers)}));
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    }

    WindowHandle RoomWindow() const { return driver.FindWindowByClass(core::kRoomWindowClass); }
    std::vector<WindowHandle> RoomWindows() const {
        std::vector<WindowHandle> found;
        for (const auto& info : driver.TopLevelWindows()) {
            if (os::EqualsNoCase(info.className, core::kRoomWindowClass))
                found.push_back(info.handle);
        }
        return found;
    }
    WindowHandle MainPanel() const { return manager->MainPanel().value(); }
    bool Enabled(WindowHandle window, int control) {
        const auto info = driver.DescribeControl(window, control);
        return info.has_value() && info->enabled;
    }
    bool Visible(WindowHandle window, int control) {
        const auto info = driver.DescribeControl(window, control);
        return info.has_value() && info->visible;
    }
    std::string ViewText(WindowHandle window) {
        const auto text = driver.ReadRichText(window, id::kView);
        return text.has_value() ? text->plainText : std::string();
    }
    // The rooms branch's node texts.
    std::vector<std::string> RoomNodes() {
        std::vector<std::string> texts;
        for (const auto& node : driver.TreeItems(MainPanel(), rooms::kRoomTreeId)
                                    .value_or(std::vector<qorvdesk::automation::TreeNode>{})) {
            texts.push_back(node.text);
        }
        return texts;
    }
    std::vector<platform::SessionCall> Named(const char* name) { return calls().Named(name); }

    // A temporary room opened by an invitation, with the user in it as `role`.
    WindowHandle TemporaryRoomAs(const std::string& room, const char* role) {
        Server(rn::kInvitation, {room, bob, "temporary", ""});
        Server(rn::kMemberPresence, {Own(room), me, "none", role});
        return RoomWindow();
    }

    Driver driver{world.windows(), &world.prompter()};
};

TEST_F(RoomEndToEndTest, ShowingAnUnknownRoomIsLoggedAndOpensNothing) {
    const std::string room = Room("nosuch");
    EXPECT_FALSE(center().ShowConferenceRoom(room));
    EXPECT_TRUE(
        world.log().HasCaptured("CConferenceCenter::ShowConferenceRoom Cannot found " + room));
    EXPECT_EQ(RoomWindow(), 0u);
    EXPECT_FALSE(center().ShowConferenceProperty(room));
    EXPECT_TRUE(
        world.log().HasCaptured("CConferenceCenter::ShowConferenceProperty Cannot found " + room));
}

TEST_F(RoomEndToEndTest, AMultiPersonChatIsAnInstantRoomWhoseInviteesAreAskedInOrder) {
    const std::string carol = "carol$pub@" + world.server().HostName();
    context.doors().rooms->CreateInstantRoom({bob, carol});
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));

    const WindowHandle window = RoomWindow();
    ASSERT_NE(window, 0u);
    EXPECT_GBK_EQ(driver.Describe(window)->title, "多人聊天");
    const auto requested = Named("RequestInstantRoom");
    ASSERT_EQ(requested.size(), 1u);
    const std::string jid = requested[0].args[0];
    EXPECT_TRUE(std::regex_match(
        jid, std::regex("[0-9A-Fa-f]{32}@conference\\." + world.server().HostName())))
        << jid;
    EXPECT_EQ(
        Named("ConferenceInvitation"),
        (std::vector<platform::SessionCall>{{"ConferenceInvitation", {jid, bob, "temporary"}},
                                            {"ConferenceInvitation", {jid, carol, "temporary"}}}));
    const auto room = center().Find(jid);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->kind, rooms::RoomKind::Temporary);
    EXPECT_GBK_EQ(room->name, "多人对话");
    EXPECT_EQ(room->pendingInvitees, (std::vector<std::string>{bob, carol}));
    // The temporary room has no notice page.
    EXPECT_FALSE(Visible(window, id::kNotice));
}

struct InvitationCase {
    const char* roomType;
    bool temporary;
};

class RoomInvitationTest : public RoomEndToEndTest,
                           public testing::WithParamInterface<InvitationCase> {};

TEST_P(RoomInvitationTest, TheRoomTypeDecidesWhetherTheRoomIsTemporary) {
    const std::string room = Room("invited");
    ASSERT_NO_FATAL_FAILURE(Server(rn::kInvitation, {room, bob, GetParam().roomType, "讨论组"}));
    const auto record = center().Find(room);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->temporary(), GetParam().temporary);
    if (GetParam().temporary) {
        EXPECT_GBK_EQ(record->name, "多人对话");
        ASSERT_NE(RoomWindow(), 0u);  // a temporary room opens at once
        EXPECT_EQ(Named("EnterConferenceRoom").size(), 1u);
    } else {
        EXPECT_EQ(record->kind, rooms::RoomKind::Persistent);
        EXPECT_EQ(RoomWindow(), 0u);
        EXPECT_EQ(RoomNodes(), std::vector<std::string>{"讨论组"});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoomInvitationTest,
    testing::Values(InvitationCase{"temporary", true}, InvitationCase{"TEMPORARY", true},
                    InvitationCase{"Temporary", true}, InvitationCase{"persistent", false},
                    InvitationCase{"", false}),
    [](const auto& info) { return testing_support::IndexedName(info.index, info.param.roomType); });

TEST_F(RoomEndToEndTest, AVisitorsInputStaysDisabledUntilTheRoleBecomesParticipant) {
    const std::string room = Room("voice");
    const WindowHandle window = TemporaryRoomAs(room, "visitor");
    ASSERT_NE(window, 0u);
    EXPECT_FALSE(Enabled(window, id::kSend));
    EXPECT_FALSE(Enabled(window, id::kInput));
    EXPECT_TRUE(Visible(window, id::kRaiseHand));
    // The typed text cannot be sent: the input box and "发送" refuse.
    EXPECT_FALSE(driver.TypeText(window, id::kInput, "我想提问"));
    EXPECT_FALSE(driver.Click(window, id::kSend));
    EXPECT_TRUE(Named("SendConferenceMessage").empty());

    // A moderator is in: raising a hand asks for the voice.
    ASSERT_NO_FATAL_FAILURE(
        Server(rn::kMemberPresence, {room + "/bob", bob, "owner", "moderator"}));
    ASSERT_TRUE(driver.Click(window, id::kRaiseHand)) << driver.LastError();
    EXPECT_EQ(Named("RequestConferenceVoice"),
              (std::vector<platform::SessionCall>{{"RequestConferenceVoice", {room}}}));
    EXPECT_NE(ViewText(window).find("系统提示: 您已经发送发言请求，请等待bob允许."),
              std::string::npos)
        << testing::PrintToString(testing_support::Gbk(ViewText(window)));

    // Still a visitor after another member's change.
    ASSERT_NO_FATAL_FAILURE(
        Server(rn::kMemberPresence, {room + "/carol", "", "none", "participant"}));
    EXPECT_FALSE(Enabled(window, id::kSend));

    ASSERT_NO_FATAL_FAILURE(Server(rn::kMemberPresence, {Own(room), me, "none", "participant"}));
    EXPECT_TRUE(Enabled(window, id::kSend));
    EXPECT_FALSE(Visible(window, id::kRaiseHand));
    ASSERT_TRUE(driver.TypeText(window, id::kInput, "我想提问")) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, id::kSend)) << driver.LastError();
    const auto sent = Named("SendConferenceMessage");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].args[0], room);
    EXPECT_GBK_EQ(sent[0].args[1], "我想提问");
    EXPECT_TRUE(sent[0].args[2].starts_with("FONT(")) << sent[0].args[2];
    EXPECT_EQ(driver.Text(window, id::kInput).value_or("?"), "");
}

TEST_F(RoomEndToEndTest, EmptyAndOverlongMessagesAreRefused) {
    const std::string room = Room("limits");
    const WindowHandle window = TemporaryRoomAs(room, "participant");
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(driver.Click(window, id::kSend));
    EXPECT_EQ(world.tips().TipTexts(), std::vector<std::string>{"请输入消息内容"});

    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.TypeText(window, id::kInput, std::string(1001, 'x')));
    ASSERT_TRUE(driver.Click(window, id::kSend));
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GBK_EQ(boxes[0].text, "消息太长( 不超过 1000 个字符 )");
    EXPECT_GBK_EQ(boxes[0].caption, "提示");
    EXPECT_TRUE(Named("SendConferenceMessage").empty());
}

TEST_F(RoomEndToEndTest, PresenceLinesOfATemporaryRoomAndTheMemberPanel) {
    const std::string room = Room("lines");
    const WindowHandle window = TemporaryRoomAs(room, "moderator");
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(Visible(window, id::kKick));  // the moderator's commands
    ASSERT_NO_FATAL_FAILURE(
        Server(rn::kMemberPresence, {room + "/bob", bob, "member", "participant"}));
    EXPECT_NE(ViewText(window).find("系统提示: bob 进入了多人聊天"), std::string::npos);
    const auto tree = driver.TreeItems(window, id::kMembers);
    ASSERT_TRUE(tree.has_value());
    ASSERT_EQ(tree->size(), 1u);
    EXPECT_GBK_EQ((*tree)[0].text, "参与者");
    ASSERT_EQ((*tree)[0].children.size(), 1u);
    EXPECT_EQ((*tree)[0].children[0].text, "bob");

    // The moderator kicks Bob: the command names the occupant.
    ASSERT_TRUE(driver.SelectTreeItem(window, id::kMembers, (*tree)[0].children[0].item));
    ASSERT_TRUE(driver.Click(window, id::kKick)) << driver.LastError();
    EXPECT_EQ(Named("KickConferenceUser"),
              (std::vector<platform::SessionCall>{{"KickConferenceUser", {room, room + "/bob"}}}));
    ASSERT_NO_FATAL_FAILURE(Server(rn::kMemberPresence, {room + "/bob", bob, "none", "none"}));
    EXPECT_NE(ViewText(window).find("系统提示: bob 离开了多人聊天"), std::string::npos);
    EXPECT_TRUE(driver.TreeItems(window, id::kMembers)->at(0).children.empty());
}

struct RemovalCase {
    const char* name;
    std::uint32_t made;  // how the room came: an invitation (57) or the room list (47)
    const char* tip;
};

class RoomRemovalTest : public RoomEndToEndTest, public testing::WithParamInterface<RemovalCase> {};

TEST_P(RoomRemovalTest, BeingRemovedTellsTheUserAndClosesTheWindow) {
    const std::string room = Room("removed");
    if (GetParam().made == rn::kInvitation) {
        ASSERT_NO_FATAL_FAILURE(Server(rn::kInvitation, {room, bob, "temporary", ""}));
    } else {
        ASSERT_NO_FATAL_FAILURE(Server(rn::kOwnRoomList, {room, "税务", "member"}));
        ASSERT_TRUE(center().ShowConferenceRoom(room));
    }
    ASSERT_NE(RoomWindow(), 0u);
    ASSERT_NO_FATAL_FAILURE(Server(rn::kMemberPresence, {Own(room), me, "none", "participant"}));
    ASSERT_NO_FATAL_FAILURE(Server(rn::kMemberPresence, {Own(room), me, "none", "none"}));
    EXPECT_EQ(RoomWindow(), 0u);
    EXPECT_EQ(world.tips().TipTexts(), std::vector<std::string>{GetParam().tip});
    EXPECT_EQ(Named("LeaveConferenceRoom").size(), 1u);
    // The record stays: the room can be shown again.
    EXPECT_NE(center().Find(room), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoomRemovalTest,
    testing::Values(RemovalCase{"kicked_from_temporary", rn::kInvitation, "您已被请出多人聊天!"},
                    RemovalCase{"removed_from_persistent", rn::kOwnRoomList, "您已离开 税务"}),
    [](const auto& info) { return std::string(info.param.name); });

struct LeaveCase {
    const char* name;
    const char* affiliation;
    const char* question;
    const char* call;
};

class RoomLeaveTest : public RoomEndToEndTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(RoomLeaveTest, TheHostsLeaveCommandAsksTheQuestionOfTheAffiliation) {
    const std::string room = Room("leave");
    ASSERT_NO_FATAL_FAILURE(Server(
        rn::kOwnRoomList, {room, "税务", GetParam().affiliation, Room("other"), "财务", ""}));
    EXPECT_EQ(RoomNodes(), (std::vector<std::string>{"税务", "财务"}));
    const auto item = driver.FindTreeItem(MainPanel(), rooms::kRoomTreeId, "税务");
    ASSERT_TRUE(driver.SelectTreeItem(MainPanel(), rooms::kRoomTreeId, item));

    // "No" keeps everything.
    world.prompter().AnswerMessageBox(os::IDNO);
    ShowConferenceLogout();
    EXPECT_EQ(center().RoomCount(), 2u);

    world.prompter().AnswerMessageBox(os::IDYES);
    ShowConferenceLogout();
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_GBK_EQ(boxes[1].text, GetParam().question);
    EXPECT_GBK_EQ(boxes[1].caption, "提示");
    EXPECT_EQ(boxes[1].style, os::MB_YESNO | os::MB_ICONQUESTION | os::MB_DEFBUTTON2);
    const auto made = Named(GetParam().call);
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].args[0], room);
    if (std::string(GetParam().call) == "SetConferenceMembership") {
        EXPECT_EQ(made[0].args, (std::vector<std::string>{room, me, "none"}));
    }
    EXPECT_EQ(RoomNodes(), std::vector<std::string>{"财务"});
    EXPECT_EQ(center().Find(room), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoomLeaveTest,
    testing::Values(LeaveCase{"owner_destroys", "owner",
                              "您是这个群的创建者，如果退出，将永久删除它。确认要删除吗？",
                              "DestroyRoom"},
                    LeaveCase{"member_leaves", "member",
                              "确认退出群吗? \r\n如果退出，只有群管理员才能重新把您加入。",
                              "SetConferenceMembership"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RoomEndToEndTest, APersistentRoomShowsItsConversationCountsAndMembers) {
    const std::string room = Room("tax");
    ASSERT_NO_FATAL_FAILURE(Server(rn::kOwnRoomList, {room, "税务", "owner"}));
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    const WindowHandle window = RoomWindow();
    ASSERT_NE(window, 0u);
    EXPECT_GBK_EQ(driver.Describe(window)->title, "税务");
    EXPECT_EQ(Named("EnterConferenceRoom").size(), 1u);
    EXPECT_EQ(Named("QueryConferenceMembersList").size(), 1u);
    EXPECT_EQ(driver.ReadWebPage(window, id::kNotice)->path, "template/disable.html");

    ASSERT_NO_FATAL_FAILURE(
        Server(rn::kMemberList, {room, me, "我", "owner", bob, "Bob", "member"}));
    const auto tree = driver.TreeItems(window, id::kMembers);
    ASSERT_TRUE(tree.has_value());
    ASSERT_EQ(tree->size(), 2u);
    EXPECT_GBK_EQ((*tree)[0].text, "管理员");
    ASSERT_EQ((*tree)[0].children.size(), 1u);
    EXPECT_GBK_EQ((*tree)[0].children[0].text, "我(管理员)");
    ASSERT_EQ((*tree)[1].children.size(), 1u);
    EXPECT_EQ((*tree)[1].children[0].text, "Bob");

    ASSERT_NO_FATAL_FAILURE(Server(rn::kMemberCounts, {room}, {2, 50}));
    EXPECT_EQ(RoomNodes(), std::vector<std::string>{"税务 (2/50)"});
    EXPECT_GBK_EQ(driver.Text(window, id::kMemberCaption).value_or(""), "参与者(2/50)");
    ASSERT_NO_FATAL_FAILURE(Server(rn::kRoomInfo, {room, "本周例会", "税务科"}, {3, 50}));
    EXPECT_GBK_EQ(driver.Describe(window)->title, "税务科");
    EXPECT_GBK_EQ(driver.Text(window, id::kMemberCaption).value_or(""), "参与者(3/50)");

    ASSERT_NO_FATAL_FAILURE(Server(rn::kRoomMessage, {room + "/bob", "", "大家好", ""}));
    EXPECT_NE(ViewText(window).find("大家好"), std::string::npos);
    ASSERT_NO_FATAL_FAILURE(
        Server(rn::kRoomMessage, {Own(room), "", "@#(-99)#@,k1,报告.doc,2048", ""}));
    EXPECT_NE(ViewText(window).find("文件报告.doc发送成功."), std::string::npos);
    EXPECT_EQ(ViewText(window).find("@#(-99)#@"), std::string::npos);

    // The presence refresh asks for every member every minute.
    calls().Clear();
    ASSERT_TRUE(driver.AdvanceClock(rooms::kPresencePeriodMs)) << driver.LastError();
    EXPECT_EQ(Named("QueryStatusInfo").size(), 2u);

    // "群发短信" fills the SMS composer with the members.
    ASSERT_TRUE(driver.Click(window, id::kBatchSms)) << driver.LastError();
    const WindowHandle composer = driver.FindWindowByClass(core::kBatchChatWindowClass);
    ASSERT_NE(composer, 0u);
    const std::string recipients = driver.Text(composer, batch::control::kRecipients).value_or("");
    EXPECT_NE(recipients.find(bob), std::string::npos) << recipients;
    EXPECT_NE(recipients.find(me), std::string::npos) << recipients;
}

TEST_F(RoomEndToEndTest, ARoomErrorClosesTheWindowAndKeepsTheRecord) {
    const std::string room = Room("broken");
    const WindowHandle window = TemporaryRoomAs(room, "participant");
    ASSERT_NE(window, 0u);
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_NO_FATAL_FAILURE(Server(rn::kRoomError, {room, "service-unavailable"}));
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GBK_EQ(boxes[0].text, "群服务不可用或您已退出该群！");
    EXPECT_EQ(boxes[0].style & os::MB_ICONMASK, os::MB_ICONINFORMATION);
    EXPECT_EQ(RoomWindow(), 0u);
    EXPECT_TRUE(center().ShowConferenceRoom(room));
    EXPECT_NE(RoomWindow(), 0u);
}

TEST_F(RoomEndToEndTest, ADissolvedRoomIsToldAndTheListAskedForAgain) {
    const std::string room = Room("gone");
    ASSERT_NO_FATAL_FAILURE(Server(rn::kOwnRoomList, {room, "税务", "member"}));
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_NO_FATAL_FAILURE(Server(rn::kRoomDissolved, {room}));
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GBK_EQ(boxes[0].text, "很抱歉，该群组已经被解散！");
    EXPECT_GBK_EQ(boxes[0].caption, "解散提示");
    EXPECT_EQ(Named("RefreshSelfConferenceList").size(), 1u);
    EXPECT_EQ(RoomWindow(), 0u);
    EXPECT_EQ(center().Find(room), nullptr);
    EXPECT_TRUE(RoomNodes().empty());
}

TEST_F(RoomEndToEndTest, LoggingOutClosesEveryRoomWindowAndEmptiesTheMap) {
    ASSERT_NO_FATAL_FAILURE(Server(rn::kInvitation, {Room("a"), bob, "temporary", ""}));
    ASSERT_NO_FATAL_FAILURE(Server(rn::kInvitation, {Room("b"), bob, "temporary", ""}));
    ASSERT_NO_FATAL_FAILURE(Server(rn::kOwnRoomList, {Room("c"), "税务", "member"}));
    ASSERT_EQ(RoomWindows().size(), 2u);
    ASSERT_EQ(center().RoomCount(), 3u);
    manager->UserLogout();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Drained(); }));
    EXPECT_TRUE(RoomWindows().empty());
    EXPECT_EQ(center().RoomCount(), 0u);
    EXPECT_EQ(Named("LeaveConferenceRoom").size(), 2u);
}

TEST_F(RoomEndToEndTest, TheHostCreatesAPersistentRoomThatItOwns) {
    world.prompter().AnswerInput("项目组");
    ShowConferenceCreate();
    const auto created = Named("CreatePersistentRoom");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_GBK_EQ(created[0].args[1], "项目组");
    const auto room = center().Find(created[0].args[0]);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->affiliation, "owner");
    EXPECT_EQ(room->kind, rooms::RoomKind::Persistent);
    const auto nodes = driver.TreeItems(MainPanel(), rooms::kRoomTreeId).value();
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_GBK_EQ(nodes[0].text, "项目组");
    EXPECT_TRUE(nodes[0].selected);

    // A cancelled dialog makes nothing.
    world.prompter().CancelInput();
    ShowConferenceCreate();
    EXPECT_EQ(Named("CreatePersistentRoom").size(), 1u);
}

}  // namespace
}  // namespace host_api_test
