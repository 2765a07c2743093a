// The rooms from end to end through the shipped wiring: the library's world, ClientSubsystems,
// the real window manager and pump, on the simulated server. The user's client shares its
// rooms with Bob and Carol, two further sessions of the same server that play the other
// members; the windows are driven and read through the automation Driver, and what the
// client asks of the server is read from the engine's call log and the server's own state.

#include <gtest/gtest.h>

#include <regex>

#include "batch/batch_controls.h"
#include "chat/chat_controls.h"
#include "chat/dlg_contact_picker.h"
#include "core/doors.h"
#include "core/doors/room_service.h"
#include "core/window_manager.h"
#include "core/window_messages.h"
#include "host_api/library.h"
#include "os/prompt/message_box.h"
#include "os/text/cstring_ops.h"
#include "platform/session/notify_record.h"
#include "qorvdesk/exports.h"
#include "rooms/conference_center.h"
#include "rooms/dlg_room.h"
#include "rooms/room_controls.h"
#include "subsystems_fixture.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

namespace id = rooms::control;
namespace nt = platform::notify_type;
namespace rs = platform::room_slot;
using qorvdesk::automation::Driver;
using qorvdesk::automation::TreeNode;
using qorvdesk::automation::WindowHandle;

// Another member's session on the same server, whose records the test reads.
struct Peer {
    std::unique_ptr<platform::SimSessionCore> core;

    platform::SimSessionCore* operator->() const { return core.get(); }
    // The records of one type among what is queued (everything queued is taken).
    std::vector<platform::NotifyRecord> Take(std::uint32_t type) {
        std::vector<platform::NotifyRecord> found;
        while (platform::NotifyRecord* record = core->GetNotify()) {
            if (record->type == type) found.push_back(*record);
            core->FreeNotify(record);
        }
        return found;
    }
    // The contents of the room messages queued, as "nickname: text".
    std::vector<std::string> RoomLines() {
        std::vector<std::string> lines;
        for (const platform::NotifyRecord& record : Take(nt::kRoomMessage)) {
            const auto* message = record.As<platform::MessageData>();
            if (message != nullptr && !message->flag) {
                lines.push_back(message->fromName + ": " + message->content);
            }
        }
        return lines;
    }
};

std::vector<std::string> SlotsOf(const platform::NotifyRecord& record) {
    const auto* data = record.As<platform::SlotData>();
    return data == nullptr ? std::vector<std::string>{} : data->slots;
}

class RoomEndToEndTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        carol = world.server().AddAccount(
            {.loginName = "carol", .password = "pw", .nickname = "Carol"});
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        ASSERT_TRUE(Settle());
        // The members are online from the start; their arrival tips are not the rooms'.
        Bob();
        Carol();
        ASSERT_TRUE(Settle());
        world.tips().Clear();
        theWindowManager = manager.get();
        calls().Clear();
    }
    void TearDown() override {
        // The members' sessions end first; what they leave behind reaches the client before
        // the fixture's own drain.
        bobPeer.core.reset();
        carolPeer.core.reset();
        theWindowManager = nullptr;
    }

    testing::AssertionResult Settle() {
        return PumpUntil(
            world.windows(), [&] { return Drained(); }, "the client's queue");
    }
    bool Drained() {
        const platform::SimSessionCore& session = world.simSession();
        return session.QueuedCount() == 0 && session.IssuedCount() == 0;
    }
    platform::CallLog& calls() { return world.simSession().calls(); }
    CConferenceCenter& center() { return subsystems->conferenceCenter(); }
    Peer& Bob() {
        if (!bobPeer.core) bobPeer.core = Remote("bob");
        return bobPeer;
    }
    Peer& Carol() {
        if (!carolPeer.core) carolPeer.core = Remote("carol");
        return carolPeer;
    }

    std::string Room(const char* local) const {
        return std::string(local) + "@conference." + world.server().HostName();
    }

    WindowHandle RoomWindow() const { return driver.FindWindowByClass(core::kRoomWindowClass); }
    std::vector<WindowHandle> RoomWindows() const {
        std::vector<WindowHandle> found;
        for (const auto& info : driver.TopLevelWindows()) {
            if (os::EqualsNoCase(info.className, core::kRoomWindowClass)) {
                found.push_back(info.handle);
            }
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
    bool Shows(WindowHandle window, std::string_view text) {
        return ViewText(window).find(text) != std::string::npos;
    }
    std::string Title(WindowHandle window) {
        const auto info = driver.Describe(window);
        return info.has_value() ? info->title : std::string();
    }
    // The rooms branch's node texts.
    std::vector<std::string> RoomNodes() {
        std::vector<std::string> texts;
        for (const auto& node :
             driver.TreeItems(MainPanel(), rooms::kRoomTreeId).value_or(std::vector<TreeNode>{})) {
            texts.push_back(node.text);
        }
        return texts;
    }
    // The member panel as "group: line, line" per group.
    std::vector<std::string> MemberPanel(WindowHandle window) {
        std::vector<std::string> groups;
        for (const TreeNode& group :
             driver.TreeItems(window, id::kMembers).value_or(std::vector<TreeNode>{})) {
            std::string line = group.text + ":";
            for (const TreeNode& member : group.children) line += " " + member.text;
            groups.push_back(line);
        }
        return groups;
    }
    testing::AssertionResult SelectMember(WindowHandle window, std::string_view line) {
        for (const TreeNode& group :
             driver.TreeItems(window, id::kMembers).value_or(std::vector<TreeNode>{})) {
            for (const TreeNode& member : group.children) {
                if (member.text == line &&
                    driver.SelectTreeItem(window, id::kMembers, member.item)) {
                    return testing::AssertionSuccess();
                }
            }
        }
        return testing::AssertionFailure()
               << "no member " << testing::PrintToString(testing_support::Gbk(std::string(line)));
    }
    testing::AssertionResult SelectRoomNode(std::string_view text) {
        const auto item = driver.FindTreeItem(MainPanel(), rooms::kRoomTreeId, std::string(text));
        if (driver.SelectTreeItem(MainPanel(), rooms::kRoomTreeId, item)) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure() << "no room node: " << driver.LastError();
    }
    std::vector<platform::SessionCall> Named(const char* name) { return calls().Named(name); }
    std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const auto& box : world.prompter().RecordsOf(os::PromptKind::MessageBox)) {
            texts.push_back(box.text);
        }
        return texts;
    }

    // Bob's persistent room "税务", with the user as a member when `member`, on the user's
    // list (the list asked for through the host's command).
    testing::AssertionResult BobsRoomOnTheList(const std::string& room, bool member) {
        if (Bob()->CreatePersistentRoom(room, "税务") != 1) {
            return testing::AssertionFailure() << "the room was not made";
        }
        if (member && Bob()->SetConferenceMembership(room, me, "member") != 1) {
            return testing::AssertionFailure() << "no membership";
        }
        ShowConferenceListRefresh();
        if (!Settle()) return testing::AssertionFailure() << "the list did not come";
        if (center().Find(room) == nullptr) return testing::AssertionFailure() << "not listed";
        return testing::AssertionSuccess();
    }
    // A temporary room of Bob's into which he invites the user; the window opens at once.
    WindowHandle InvitedToBobsTemporaryRoom(const std::string& room) {
        Bob()->RequestInstantRoom(room);
        Bob()->ConferenceInvitation(room, me, "temporary");
        EXPECT_TRUE(Settle());
        return RoomWindow();
    }

    std::string carol;
    Peer bobPeer;
    Peer carolPeer;
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

// Create, invite, talk, kick: the user's multi-person chat with Bob and Carol.
TEST_F(RoomEndToEndTest, AMultiPersonChatIsAnInstantRoomThatTheInviteesEnterAndTalkIn) {
    Bob();
    Carol();
    context.doors().rooms->CreateInstantRoom({bob, carol});
    ASSERT_TRUE(Settle());

    const WindowHandle window = RoomWindow();
    ASSERT_NE(window, 0u);
    EXPECT_GBK_EQ(Title(window), "多人聊天");
    const auto requested = Named("RequestInstantRoom");
    ASSERT_EQ(requested.size(), 1u);
    const std::string room = requested[0].args[0];
    EXPECT_TRUE(std::regex_match(
        room, std::regex("[0-9A-Fa-f]{32}@conference\\." + world.server().HostName())))
        << room;
    EXPECT_EQ(
        Named("ConferenceInvitation"),
        (std::vector<platform::SessionCall>{{"ConferenceInvitation", {room, bob, "temporary"}},
                                            {"ConferenceInvitation", {room, carol, "temporary"}}}));
    // The request put the user in; the window did not ask again, which the new room would
    // have refused.
    EXPECT_TRUE(Named("EnterConferenceRoom").empty());
    EXPECT_TRUE(Boxes().empty());
    const auto record = center().Find(room);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->kind, rooms::RoomKind::Temporary);
    EXPECT_GBK_EQ(record->name, "多人对话");
    EXPECT_FALSE(Visible(window, id::kNotice));  // a temporary room has no notice page
    EXPECT_TRUE(Visible(window, id::kKick));     // the owner moderates its room
    EXPECT_TRUE(Enabled(window, id::kSend));

    // Both invitations reach the invitees, who come in.
    for (Peer* peer : {&Bob(), &Carol()}) {
        const auto invitations = peer->Take(nt::kRoomInvitation);
        ASSERT_EQ(invitations.size(), 1u);
        EXPECT_EQ(SlotsOf(invitations[0]).at(rs::kInviteReason), "temporary");
        ASSERT_EQ((*peer)->EnterConferenceRoom(room, ""), 1);
    }
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Shows(window, "系统提示: Bob 进入了多人聊天"));
    EXPECT_TRUE(Shows(window, "系统提示: Carol 进入了多人聊天"));
    EXPECT_EQ(MemberPanel(window), std::vector<std::string>{"参与者: Bob Carol"});
    EXPECT_TRUE(record->pendingInvitees.empty());
    EXPECT_GBK_EQ(driver.Text(window, id::kMemberCaption).value_or(""), "参与者(3/200)");

    // The user talks; the others hear it, and the room's echo shows it in the window.
    ASSERT_TRUE(driver.TypeText(window, id::kInput, "大家好")) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, id::kSend)) << driver.LastError();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Bob().RoomLines(), std::vector<std::string>{"我: 大家好"});
    EXPECT_TRUE(Shows(window, "大家好"));
    EXPECT_EQ(driver.Text(window, id::kInput).value_or("?"), "");
    ASSERT_EQ(Bob()->SendConferenceMessage(room, "收到", "FONT(宋体,9,0,0,0,0)"), 1);
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Shows(window, "Bob"));
    EXPECT_TRUE(Shows(window, "收到"));

    // The user asks Carol out: she hears it, and the window says she left.
    ASSERT_TRUE(SelectMember(window, "Carol"));
    ASSERT_TRUE(driver.Click(window, id::kKick)) << driver.LastError();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world.server().RoomOccupants(room), (std::vector<std::string>{"我", "Bob"}));
    const auto carolGone = Carol().Take(nt::kRoomMemberPresence);
    ASSERT_FALSE(carolGone.empty());
    EXPECT_EQ(SlotsOf(carolGone.back()).at(rs::kMemberStatus), "kicked");
    EXPECT_TRUE(Shows(window, "系统提示: Carol 离开了多人聊天"));
    EXPECT_EQ(MemberPanel(window), std::vector<std::string>{"参与者: Bob"});
}

TEST_F(RoomEndToEndTest, TheChatWindowsInvitationMakesTheRoomWithThePeerAndThePicked) {
    Bob();
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
    auto* chat = manager->OpenChatWindow(bob);
    ASSERT_NE(chat, nullptr);
    const WindowHandle chatWindow = chat->hwnd().value();
    driver.QueueAnswer(
        qorvdesk::automation::PromptAnswer::Dialog(
            qorvdesk::automation::result::kCancel,
            [&](Driver& d, WindowHandle picker) {
                EXPECT_TRUE(d.DoubleClickListRow(picker, CDlgContactPicker::kOfferedListId, 0))
                    << d.LastError();
                EXPECT_TRUE(d.Click(picker, os::IDOK)) << d.LastError();
            })
            .WhenCaption("添加参与者"));
    ASSERT_TRUE(driver.Click(chatWindow, chat::control::kInvite)) << driver.LastError();
    driver.Pump();
    ASSERT_TRUE(Settle());
    ASSERT_EQ(RoomWindows().size(), 1u);
    const auto invitations = Bob().Take(nt::kRoomInvitation);
    ASSERT_EQ(invitations.size(), 1u);
    const std::string room = SlotsOf(invitations[0]).at(rs::kInviteRoom);
    EXPECT_TRUE(world.server().HasRoom(room));
    ASSERT_NE(center().Find(room), nullptr);
}

struct InvitationCase {
    const char* roomType;
    bool temporary;
};

class RoomInvitationTest : public RoomEndToEndTest,
                           public testing::WithParamInterface<InvitationCase> {};

TEST_P(RoomInvitationTest, TheRoomTypeDecidesWhetherTheRoomIsTemporary) {
    const std::string room = Room("invited");
    if (GetParam().temporary) {
        ASSERT_EQ(Bob()->RequestInstantRoom(room), 1);
    } else {
        ASSERT_EQ(Bob()->CreatePersistentRoom(room, "讨论组"), 1);
    }
    ASSERT_EQ(Bob()->ConferenceInvitation(room, me, GetParam().roomType), 1);
    ASSERT_TRUE(Settle());
    const auto record = center().Find(room);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->temporary(), GetParam().temporary);
    if (GetParam().temporary) {
        EXPECT_GBK_EQ(record->name, "多人对话");
        ASSERT_NE(RoomWindow(), 0u);  // a temporary room opens at once, and the user is in
        EXPECT_EQ(world.server().RoomOccupants(room), (std::vector<std::string>{"Bob", "me"}));
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

// Raise a hand, grant the voice: the user is a guest in Bob's persistent room.
TEST_F(RoomEndToEndTest, AVisitorsInputStaysDisabledUntilTheModeratorGivesTheVoice) {
    const std::string room = Room("voice");
    ASSERT_EQ(Bob()->CreatePersistentRoom(room, "答疑"), 1);
    ASSERT_EQ(Bob()->EnterConferenceRoom(room, ""), 1);
    ASSERT_EQ(Bob()->ConferenceInvitation(room, me, ""), 1);
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(Settle());
    const WindowHandle window = RoomWindow();
    ASSERT_NE(window, 0u);
    EXPECT_EQ(world.server().RoomRole(room, "me"), "visitor");
    EXPECT_FALSE(Enabled(window, id::kSend));
    EXPECT_FALSE(Enabled(window, id::kInput));
    EXPECT_TRUE(Visible(window, id::kRaiseHand));
    EXPECT_FALSE(driver.TypeText(window, id::kInput, "我想提问"));
    EXPECT_FALSE(driver.Click(window, id::kSend));

    // Bob moderates and is present: raising a hand asks him.
    Bob().Take(nt::kRoomVoiceRequest);
    ASSERT_TRUE(driver.Click(window, id::kRaiseHand)) << driver.LastError();
    ASSERT_TRUE(Settle());
    const auto requests = Bob().Take(nt::kRoomVoiceRequest);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(SlotsOf(requests[0]).at(rs::kVoiceRealJid), me);
    EXPECT_TRUE(Shows(window, "系统提示: 您已经发送发言请求，请等待Bob允许."))
        << testing::PrintToString(testing_support::Gbk(ViewText(window)));

    // Another member's change leaves the user a visitor.
    ASSERT_EQ(Carol()->EnterConferenceRoom(room, ""), 1);
    ASSERT_TRUE(Settle());
    EXPECT_FALSE(Enabled(window, id::kSend));

    ASSERT_EQ(Bob()->GrantConferenceVoice(room, me), 1);
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(Enabled(window, id::kSend));
    EXPECT_FALSE(Visible(window, id::kRaiseHand));
    Bob().Take(nt::kRoomMessage);
    ASSERT_TRUE(driver.TypeText(window, id::kInput, "我想提问")) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, id::kSend)) << driver.LastError();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Bob().RoomLines(), std::vector<std::string>{"me: 我想提问"});
    const auto sent = Named("SendConferenceMessage");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].args[2].starts_with("FONT(")) << sent[0].args[2];
}

TEST_F(RoomEndToEndTest, TheModeratorSeesARaisedHandAndGivesTheVoice) {
    world.prompter().AnswerInput("项目组");
    ShowConferenceCreate();
    ASSERT_TRUE(Settle());
    const auto created = Named("CreatePersistentRoom");
    ASSERT_EQ(created.size(), 1u);
    const std::string room = created[0].args[0];
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(Settle());
    const WindowHandle window = RoomWindow();
    ASSERT_NE(window, 0u);
    EXPECT_TRUE(Visible(window, id::kGrantVoice));

    ASSERT_EQ(Bob()->EnterConferenceRoom(room, ""), 1);  // no member: a guest without voice
    ASSERT_EQ(Bob()->RequestConferenceVoice(room), 1);
    ASSERT_TRUE(Settle());
    const std::string raised = "Bob/" + bob + "(举手)";
    // The list was asked before the user came in: the user's nickname is the account's.
    EXPECT_EQ(MemberPanel(window),
              (std::vector<std::string>{"管理员: 我(管理员)", "参与者: " + raised}));
    ASSERT_TRUE(SelectMember(window, raised));
    ASSERT_TRUE(driver.Click(window, id::kGrantVoice)) << driver.LastError();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(world.server().RoomRole(room, "Bob"), "participant");
    EXPECT_EQ(MemberPanel(window), (std::vector<std::string>{"管理员: 我(管理员)", "参与者: Bob"}));
}

TEST_F(RoomEndToEndTest, EmptyAndOverlongMessagesAreRefused) {
    const WindowHandle window = InvitedToBobsTemporaryRoom(Room("limits"));
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(Enabled(window, id::kSend));
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

TEST_F(RoomEndToEndTest, BeingKickedFromATemporaryRoomTellsTheUserAndClosesTheWindow) {
    const std::string room = Room("kicked");
    ASSERT_NE(InvitedToBobsTemporaryRoom(room), 0u);
    ASSERT_EQ(Bob()->KickConferenceUser(room, me), 1);
    ASSERT_TRUE(Settle());
    EXPECT_EQ(RoomWindow(), 0u);
    EXPECT_EQ(world.tips().TipTexts(), std::vector<std::string>{"您已被请出多人聊天!"});
    // The room let the user go: the closing window has nothing to leave, and no error follows.
    EXPECT_TRUE(Named("LeaveConferenceRoom").empty());
    EXPECT_TRUE(Boxes().empty());
    EXPECT_NE(center().Find(room), nullptr);  // the record stays
}

TEST_F(RoomEndToEndTest, ClosingTheLastWindowOfATemporaryRoomEndsItWithoutAnError) {
    const std::string room = Room("closed");
    ASSERT_NE(InvitedToBobsTemporaryRoom(room), 0u);
    ASSERT_EQ(Bob()->LeaveConferenceRoom(room), 1);
    ASSERT_TRUE(Settle());
    ASSERT_TRUE(driver.Close(RoomWindow())) << driver.LastError();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(Named("LeaveConferenceRoom").size(), 1u);
    EXPECT_FALSE(world.server().HasRoom(room));  // the last occupant left: the room ended
    // The info asked for on leaving finds no room: nothing is open, nothing to tell.
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(RoomWindow(), 0u);
}

struct LeaveCase {
    const char* name;
    bool owner;
    const char* question;
};

class RoomLeaveTest : public RoomEndToEndTest, public testing::WithParamInterface<LeaveCase> {};

TEST_P(RoomLeaveTest, TheHostsLeaveCommandAsksTheQuestionOfTheAffiliation) {
    std::string room;
    if (GetParam().owner) {
        world.prompter().AnswerInput("税务");
        ShowConferenceCreate();
        ASSERT_TRUE(Settle());
        ASSERT_EQ(Named("CreatePersistentRoom").size(), 1u);
        room = Named("CreatePersistentRoom")[0].args[0];
        ASSERT_EQ(Bob()->EnterConferenceRoom(room, ""), 1);
    } else {
        room = Room("leave");
        ASSERT_TRUE(BobsRoomOnTheList(room, true));
    }
    ASSERT_EQ(RoomNodes().size(), 1u);
    ASSERT_TRUE(SelectRoomNode(RoomNodes()[0]));

    // "No" keeps everything.
    world.prompter().AnswerMessageBox(os::IDNO);
    ShowConferenceLogout();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(center().RoomCount(), 1u);
    EXPECT_TRUE(world.server().HasRoom(room));

    world.prompter().AnswerMessageBox(os::IDYES);
    ShowConferenceLogout();
    ASSERT_TRUE(Settle());
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_GBK_EQ(boxes[1].text, GetParam().question);
    EXPECT_GBK_EQ(boxes[1].caption, "提示");
    EXPECT_EQ(boxes[1].style, os::MB_YESNO | os::MB_ICONQUESTION | os::MB_DEFBUTTON2);
    EXPECT_TRUE(RoomNodes().empty());
    EXPECT_EQ(center().Find(room), nullptr);
    if (GetParam().owner) {
        EXPECT_FALSE(world.server().HasRoom(room));
        const auto gone = Bob().Take(nt::kRoomMemberPresence);
        ASSERT_FALSE(gone.empty());
        EXPECT_EQ(SlotsOf(gone.back()).at(rs::kMemberStatus), "destroyed");
    } else {
        EXPECT_EQ(
            Named("SetConferenceMembership"),
            (std::vector<platform::SessionCall>{{"SetConferenceMembership", {room, me, "none"}}}));
        EXPECT_TRUE(world.server().HasRoom(room));
        EXPECT_EQ(world.server().RoomAffiliation(room, me), "none");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoomLeaveTest,
    testing::Values(LeaveCase{"owner_destroys", true,
                              "您是这个群的创建者，如果退出，将永久删除它。确认要删除吗？"},
                    LeaveCase{"member_leaves", false,
                              "确认退出群吗? \r\n如果退出，只有群管理员才能重新把您加入。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RoomEndToEndTest, APersistentRoomShowsItsHistoryCountsMembersAndFileNotices) {
    const std::string room = Room("tax");
    ASSERT_TRUE(BobsRoomOnTheList(room, true));
    EXPECT_EQ(RoomNodes(), std::vector<std::string>{"税务"});
    ASSERT_EQ(Bob()->EnterConferenceRoom(room, ""), 1);
    ASSERT_EQ(Bob()->SendConferenceMessage(room, "早上好", "FONT(宋体,9,0,0,0,0)"), 1);

    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(Settle());
    const WindowHandle window = RoomWindow();
    ASSERT_NE(window, 0u);
    EXPECT_GBK_EQ(Title(window), "税务");
    EXPECT_EQ(world.server().RoomRole(room, "me"), "participant");
    EXPECT_TRUE(Enabled(window, id::kSend));
    EXPECT_FALSE(Visible(window, id::kKick));
    EXPECT_EQ(driver.ReadWebPage(window, id::kNotice)->path, "template/disable.html");
    EXPECT_TRUE(Shows(window, "早上好"));  // what was said before the user came
    // The list was asked before the user came in: the user's nickname is the account's.
    EXPECT_EQ(MemberPanel(window), (std::vector<std::string>{"管理员: Bob(管理员)", "参与者: 我"}));
    EXPECT_EQ(RoomNodes(), std::vector<std::string>{"税务 (2/200)"});
    EXPECT_GBK_EQ(driver.Text(window, id::kMemberCaption).value_or(""), "参与者(2/200)");

    // Carol joins the room: the counts follow, and the ten-minute refresh lists her.
    ASSERT_EQ(Bob()->SetConferenceMembership(room, carol, "member"), 1);
    ASSERT_TRUE(Settle());
    EXPECT_GBK_EQ(driver.Text(window, id::kMemberCaption).value_or(""), "参与者(3/200)");
    EXPECT_EQ(RoomNodes(), std::vector<std::string>{"税务 (3/200)"});
    ASSERT_TRUE(driver.AdvanceClock(rooms::kMemberListPeriodMs)) << driver.LastError();
    ASSERT_TRUE(Settle());
    EXPECT_EQ(MemberPanel(window),
              (std::vector<std::string>{"管理员: Bob(管理员)", "参与者: Carol me"}));

    // The subject Bob sets reaches the record.
    ASSERT_EQ(Bob()->ChangeConferenceSubject(room, "本周例会"), 1);
    ASSERT_TRUE(Settle());
    EXPECT_GBK_EQ(center().Find(room)->subject, "本周例会");

    // File notices: another member's is a file entry, the user's own a line of success.
    ASSERT_EQ(Bob()->SendConferenceMessage(room, "@#(-99)#@,k1,报告.doc,2048", ""), 1);
    ASSERT_EQ(world.simSession().SendConferenceMessage(room, "@#(-99)#@,k2,计划.xls,512", ""), 1);
    ASSERT_TRUE(Settle());
    // Another member's notice is the message display's file entry, an object of its own.
    const auto view = driver.ReadRichText(window, id::kView);
    ASSERT_TRUE(view.has_value());
    EXPECT_TRUE(std::any_of(view->objects.begin(), view->objects.end(), [](const auto& object) {
        return object.name.find("报告.doc") != std::string::npos;
    })) << testing::PrintToString(testing_support::Gbk(view->description));
    EXPECT_TRUE(Shows(window, "文件计划.xls发送成功."))
        << testing::PrintToString(testing_support::Gbk(ViewText(window)));
    EXPECT_FALSE(Shows(window, "@#(-99)#@"));

    // "群发短信" fills the SMS composer with the members.
    ASSERT_TRUE(driver.Click(window, id::kBatchSms)) << driver.LastError();
    const WindowHandle composer = driver.FindWindowByClass(core::kBatchChatWindowClass);
    ASSERT_NE(composer, 0u);
    const std::string recipients = driver.Text(composer, batch::control::kRecipients).value_or("");
    EXPECT_NE(recipients.find(bob), std::string::npos) << recipients;
    EXPECT_NE(recipients.find(carol), std::string::npos) << recipients;
}

TEST_F(RoomEndToEndTest, TheMemberPresenceRefreshAsksForEveryMemberEveryMinute) {
    const std::string room = Room("presence");
    ASSERT_TRUE(BobsRoomOnTheList(room, true));
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(Settle());
    calls().Clear();
    ASSERT_TRUE(driver.AdvanceClock(rooms::kPresencePeriodMs)) << driver.LastError();
    ASSERT_TRUE(Settle());
    std::vector<std::string> asked;
    for (const auto& call : Named("QueryStatusInfo")) asked.push_back(call.args.at(0));
    std::sort(asked.begin(), asked.end());
    std::vector<std::string> expected{bob, me};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(asked, expected);
}

TEST_F(RoomEndToEndTest, ARoomThatIsGoneWhenItsWindowOpensIsAnErrorThatClosesTheWindow) {
    const std::string room = Room("broken");
    ASSERT_EQ(Bob()->CreatePersistentRoom(room, "旧群"), 1);
    ASSERT_EQ(Bob()->ConferenceInvitation(room, me, ""), 1);
    ASSERT_TRUE(Settle());
    ASSERT_EQ(Bob()->DestroyRoom(room), 1);  // the user was never a member: nothing is told
    ASSERT_TRUE(Settle());
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(Settle());
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_GBK_EQ(boxes[0].text, "群服务不可用或您已退出该群！");
    EXPECT_EQ(boxes[0].style & os::MB_ICONMASK, os::MB_ICONINFORMATION);
    EXPECT_EQ(RoomWindow(), 0u);
    EXPECT_NE(center().Find(room), nullptr);  // the record stays
}

TEST_F(RoomEndToEndTest, ARoomDissolvedByItsOwnerIsToldAndTheListAskedForAgain) {
    const std::string room = Room("gone");
    ASSERT_TRUE(BobsRoomOnTheList(room, true));
    ASSERT_TRUE(center().ShowConferenceRoom(room));
    ASSERT_TRUE(Settle());
    ASSERT_NE(RoomWindow(), 0u);
    calls().Clear();
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_EQ(Bob()->DestroyRoom(room), 1);
    ASSERT_TRUE(Settle());
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
    ASSERT_NE(InvitedToBobsTemporaryRoom(Room("a")), 0u);
    ASSERT_NE(InvitedToBobsTemporaryRoom(Room("b")), 0u);
    ASSERT_TRUE(BobsRoomOnTheList(Room("c"), true));
    ASSERT_EQ(RoomWindows().size(), 2u);
    ASSERT_EQ(center().RoomCount(), 3u);
    manager->UserLogout();
    ASSERT_TRUE(Settle());
    EXPECT_TRUE(RoomWindows().empty());
    EXPECT_EQ(center().RoomCount(), 0u);
    EXPECT_EQ(Named("LeaveConferenceRoom").size(), 2u);
    EXPECT_EQ(world.server().RoomOccupants(Room("a")), std::vector<std::string>{"Bob"});
    EXPECT_EQ(world.server().RoomOccupants(Room("b")), std::vector<std::string>{"Bob"});
}

TEST_F(RoomEndToEndTest, TheHostCreatesAPersistentRoomThatItOwns) {
    world.prompter().AnswerInput("项目组");
    ShowConferenceCreate();
    ASSERT_TRUE(Settle());
    const auto created = Named("CreatePersistentRoom");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_GBK_EQ(created[0].args[1], "项目组");
    const std::string jid = created[0].args[0];
    EXPECT_TRUE(world.server().HasRoom(jid));
    EXPECT_EQ(world.server().RoomAffiliation(jid, me), "owner");
    const auto room = center().Find(jid);
    ASSERT_NE(room, nullptr);
    EXPECT_EQ(room->affiliation, "owner");
    EXPECT_EQ(room->kind, rooms::RoomKind::Persistent);
    const auto nodes = driver.TreeItems(MainPanel(), rooms::kRoomTreeId).value();
    ASSERT_EQ(nodes.size(), 1u);
    EXPECT_GBK_EQ(nodes[0].text, "项目组 (1/200)");  // with the counts the server answered
    EXPECT_TRUE(nodes[0].selected);

    // A cancelled dialog makes nothing.
    world.prompter().CancelInput();
    ShowConferenceCreate();
    EXPECT_EQ(Named("CreatePersistentRoom").size(), 1u);
}

}  // namespace
}  // namespace host_api_test
