// The room window's rules without a window: what the kind and the role decide, the send
// checks, file notices, adding members within the member limit, and raising a hand.

#include "rooms/room_rules.h"

#include <gtest/gtest.h>

#include <set>

#include "support/case_name.h"
#include "support/gbk_print.h"

namespace rooms {
namespace {

TEST(RoomKindTest, TitlesAndCaptionsFollowTheKind) {
    struct Case {
        RoomKind kind;
        const char* title;
        std::vector<std::string> captions;
    };
    const Case cases[] = {
        {RoomKind::Consultation, "网上咨询室 - 税务", {"管理员", "提问者"}},
        {RoomKind::Temporary, "多人聊天", {"参与者"}},
        {RoomKind::Persistent, "税务", {"管理员", "参与者"}},
        {RoomKind::InstantAlternative, "税务", {"参与者"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.kind));
        EXPECT_GBK_EQ(RoomTitle(c.kind, "税务"), c.title);
        EXPECT_EQ(MemberGroupCaptions(c.kind), c.captions);
    }
    EXPECT_GBK_EQ(RoleLabel(RoomKind::Consultation, Role::Visitor), "提问者");
    EXPECT_GBK_EQ(RoleLabel(RoomKind::Persistent, Role::Visitor), "访客");
    EXPECT_GBK_EQ(MemberCaption(9, 10), "参与者(9/10)");
    EXPECT_GBK_EQ(RoomNodeText("税务", 3, 50), "税务 (3/50)");
}

TEST(RoomKindTest, RoleWordsAreReadWithoutCase) {
    EXPECT_EQ(RoleFromWord("Moderator"), Role::Moderator);
    EXPECT_EQ(RoleFromWord("participant"), Role::Participant);
    EXPECT_EQ(RoleFromWord("VISITOR"), Role::Visitor);
    EXPECT_EQ(RoleFromWord("none"), Role::None);
    EXPECT_EQ(RoleFromWord("owner"), Role::None);  // an affiliation, not a role
    EXPECT_FALSE(MaySend(Role::Visitor));
    EXPECT_TRUE(MaySend(Role::Participant));
}

TEST(RoomKindTest, MemberLinesMarkAdministratorsAndRaisedHands) {
    RoomMember admin{"r@conference.h/zhang", "zhang$gov@h", "张三", "admin", Role::Moderator};
    EXPECT_GBK_EQ(MemberLine(RoomKind::Persistent, admin), "张三(管理员)");
    EXPECT_GBK_EQ(MemberLine(RoomKind::Temporary, admin), "张三");
    RoomMember visitor{"r@conference.h/li", "li$gov@h", "李四", "none", Role::Visitor, true};
    EXPECT_GBK_EQ(MemberLine(RoomKind::Consultation, visitor), "李四/li$gov@h(举手)");
    visitor.handRaised = false;
    EXPECT_GBK_EQ(MemberLine(RoomKind::Consultation, visitor), "李四");
}

TEST(RoomSendTest, EmptyAndLongTextsAreRefused) {
    EXPECT_EQ(CheckRoomSend(""), (SendRefusal{SendRefusal::Shown::Tip, "请输入消息内容"}));
    const std::string atLimit(1000, 'a');
    EXPECT_EQ(CheckRoomSend(atLimit), std::nullopt);
    const std::optional<SendRefusal> long_ = CheckRoomSend(atLimit + "a");
    ASSERT_TRUE(long_.has_value());
    EXPECT_EQ(long_->shown, SendRefusal::Shown::MessageBox);
    EXPECT_GBK_EQ(long_->text, "消息太长( 不超过 1000 个字符 )");
    // 500 Chinese characters are 1000 bytes: still allowed; one more is not.
    std::string chinese;
    for (int i = 0; i < 500; ++i) chinese += "中";
    EXPECT_EQ(CheckRoomSend(chinese), std::nullopt);
    EXPECT_NE(CheckRoomSend(chinese + "中"), std::nullopt);
}

TEST(RoomFileNoticeTest, OnlyTheTenCharacterPrefixMakesANotice) {
    struct Case {
        const char* content;
        bool notice;
        std::optional<std::string> ownLine;
    };
    const Case cases[] = {
        {"@#(-99)#@,key1,报告.doc,2048", true, "文件报告.doc发送成功.\r\n"},
        {"@#(-99)#@,key1", true, std::nullopt},
        {"@#(-99)#@", false, std::nullopt},
        {" @#(-99)#@,key1,a.txt", false, std::nullopt},
        {"@#(-98)#@,key1,a.txt", false, std::nullopt},
        {"hello", false, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.content);
        EXPECT_EQ(IsFileNotice(c.content), c.notice);
        EXPECT_EQ(OwnFileNoticeLine(c.content), c.ownLine);
    }
    EXPECT_EQ(FileNoticeFields("@#(-99)#@,k,,3"), (std::vector<std::string>{"k", "", "3"}));
}

struct AddCase {
    const char* name;
    std::vector<Candidate> candidates;
    std::set<std::string> members;
    int count;
    int limit;
    std::vector<std::string> added;
    bool limitReached;
    int skipped;
    bool refused;
};

class AddMembersTest : public testing::TestWithParam<AddCase> {};

TEST_P(AddMembersTest, AddsWithinTheLimit) {
    const AddCase& c = GetParam();
    const AddPlan plan = PlanAddMembers(c.candidates, c.count, c.limit, [&](const std::string& j) {
        return c.members.contains(j);
    });
    EXPECT_EQ(plan.added, c.added);
    EXPECT_EQ(plan.limitReached, c.limitReached);
    EXPECT_EQ(plan.countAfter, c.count + static_cast<int>(c.added.size()));
    if (c.skipped > 0) {
        EXPECT_GBK_EQ(plan.skippedText, SkippedMembersText(c.skipped));
    } else {
        EXPECT_TRUE(plan.skippedText.empty());
    }
    EXPECT_EQ(!plan.refusedText.empty(), c.refused);
    if (c.refused) {
        EXPECT_TRUE(plan.refusedText.starts_with("由于系统设置,您不能添加下列用户参与此群:\r\n"));
    }
}

const Candidate kA{"a@h", "A", true};
const Candidate kB{"b@h", "B", true};
const Candidate kC{"c@h", "C", true};
const Candidate kBlocked{"x@h", "X", false};

INSTANTIATE_TEST_SUITE_P(
    Cases, AddMembersTest,
    testing::Values(
        // Three users into 9 of 10: one is added, then the limit message.
        AddCase{"three_at_nine_of_ten", {kA, kB, kC}, {}, 9, 10, {"a@h"}, true, 0, false},
        AddCase{"room_to_spare", {kA, kB}, {}, 1, 10, {"a@h", "b@h"}, false, 0, false},
        AddCase{"full_room", {kA}, {}, 10, 10, {}, true, 0, false},
        AddCase{"members_skipped_and_counted",
                {kA, kB, kC},
                {"a@h", "c@h"},
                0,
                10,
                {"b@h"},
                false,
                2,
                false},
        AddCase{"blocked_listed", {kBlocked, kA}, {}, 0, 10, {"a@h"}, false, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OwnRoleTest, EachRoleDecidesInputAndLines) {
    struct Case {
        RoomKind kind;
        Role role;
        bool input;
        bool close;
        const char* line;
        const char* tip;
    };
    const Case cases[] = {
        {RoomKind::Consultation, Role::Visitor, false, false,
         "您暂时不能提交问题，请先举手，等待王老师的授权", ""},
        {RoomKind::Persistent, Role::Visitor, false, false, "", ""},
        {RoomKind::Consultation, Role::Participant, true, false, "您现在可以提出问题了。", ""},
        {RoomKind::Temporary, Role::Participant, true, false, "", ""},
        {RoomKind::Persistent, Role::Moderator, true, false, "", ""},
        {RoomKind::Consultation, Role::None, false, true, "", "您已离开咨询室 税务"},
        {RoomKind::Temporary, Role::None, false, true, "", "您已被请出多人聊天!"},
        {RoomKind::Persistent, Role::None, false, true, "", "您已离开 税务"},
        {RoomKind::InstantAlternative, Role::None, false, true, "", "您已离开 税务"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.kind) << "/" << static_cast<int>(c.role));
        const OwnRoleOutcome outcome = OwnRoleChange(c.kind, c.role, "税务", "王老师");
        EXPECT_EQ(outcome.inputEnabled, c.input);
        EXPECT_EQ(outcome.close, c.close);
        EXPECT_EQ(outcome.moderatorControls, c.role == Role::Moderator);
        EXPECT_GBK_EQ(outcome.systemLine, c.line);
        EXPECT_GBK_EQ(outcome.tip, c.tip);
    }
}

TEST(RaiseHandTest, AnOfflineModeratorTakesNoRequest) {
    const RaiseHandOutcome online = RaiseHand(RoomKind::Persistent, "王老师", true, "");
    EXPECT_TRUE(online.request);
    ASSERT_EQ(online.lines.size(), 1u);
    EXPECT_GBK_EQ(online.lines[0], "您已经发送发言请求，请等待王老师允许.");

    const RaiseHandOutcome offline = RaiseHand(RoomKind::Persistent, "王老师", false, "http://q/");
    EXPECT_FALSE(offline.request);
    ASSERT_EQ(offline.lines.size(), 1u);
    EXPECT_GBK_EQ(offline.lines[0], "王老师不在线，不能举手提问.");

    const RaiseHandOutcome consult =
        RaiseHand(RoomKind::Consultation, "王老师", false, "http://q/");
    EXPECT_FALSE(consult.request);
    ASSERT_EQ(consult.lines.size(), 2u);
    EXPECT_GBK_EQ(consult.lines[1], "\n如果王老师不在线，请到下面的网址提交问题：\nhttp://q/");
}

TEST(RoomWebTest, QueriesAndAddresses) {
    EXPECT_EQ(RoomLogQuery("me$gov@h", "r1"), "jid=me$gov@h&method=getroomlog&name=r1&end=end");
    EXPECT_EQ(NoticeEditAddress("http://n/e.jsp", "r1", "me"),
              "http://n/e.jsp?action=edit&roomid=r1&imuser=me");
    EXPECT_EQ(NoticePageAddress("http://n/p.jsp", "r1"), "http://n/p.jsp?roomid=r1");
    EXPECT_EQ(NoticePageAddress("", "r1"), "template/disable.html");
    EXPECT_GBK_EQ(SystemLine("x"), "系统提示: x");
    EXPECT_EQ(WorkPhoneRefusal("张三", "010-1"), std::nullopt);
    EXPECT_GBK_EQ(WorkPhoneRefusal("张三", "").value(), "张三 的工作电话信息为空,不能拨打电话.");
    EXPECT_GBK_EQ(MobileCallRefusal("张三", "").value(), "张三 的手机信息为空,不能拨打手机.");
    EXPECT_GBK_EQ(MobileSmsRefusal("张三", "").value(), "张三 的手机信息为空,不能发送短信.");
}

}  // namespace
}  // namespace rooms
