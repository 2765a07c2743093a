// Editing the buddy list in the product: the dialogs of the contact door, the changes sent to
// the embedded server, and the server's roster pushes coming back into the main panel's tree.
#include <gtest/gtest.h>

#include "contacts/editing/dlg_buddy.h"
#include "contacts/editing/dlg_phone_contact.h"
#include "contacts/im_tree.h"
#include "contacts/main_panel_trees.h"
#include "core/doors.h"
#include "os/prompt/scripted_prompter.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_server.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

using contacts::CDlgBuddy;
using contacts::CDlgPhoneContact;
using contacts::CIMTree;
using qorvdesk::automation::Driver;

class ContactEditingTest : public SubsystemsTest {
  protected:
    ContactEditingTest() {
        carol = world.server().AddAccount(
            {.loginName = "carol", .password = "pw", .nickname = "Carol"});
    }
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(Init());
        ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
        ASSERT_NO_FATAL_FAILURE(Drained());
        roster = manager->mainPanel()->GetControl<CIMTree>(contacts::kRosterTreeId);
        ASSERT_NE(roster, nullptr);
        ASSERT_GBK_EQ(Outline(), "同事 (0/1)\n  Bob(离线)\n");
        world.simSession().calls().Clear();
    }
    void Drained() {
        const platform::SimSessionCore& session = world.simSession();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
    }
    std::string Outline() const { return Outline(*roster); }
    static std::string Outline(const CIMTree& tree) {
        std::string lines;
        tree.ForEachItem([&](os::TreeItem item, int depth) {
            lines += std::string(static_cast<std::size_t>(depth) * 2, ' ') +
                     tree.GetItemText(item) + "\n";
        });
        return lines;
    }
    // Waits until the roster tree reads `outline` (the server's push has been applied).
    ::testing::AssertionResult TreeBecomes(const std::string& outline) {
        if (PumpUntil(world.windows(), [&] { return Outline() == outline; })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure() << "the tree reads\n"
                                             << testing_support::DisplayGbk(Outline());
    }
    void Select(const char* text) {
        Driver driver(world.windows(), &world.prompter());
        const auto panel = manager->MainPanel().value();
        const auto node = driver.FindTreeItem(panel, contacts::kRosterTreeId, text);
        ASSERT_NE(node, os::kNoTreeItem) << driver.LastError();
        ASSERT_TRUE(driver.SelectTreeItem(panel, contacts::kRosterTreeId, node));
    }
    core::ContactService& door() { return *context.doors().contacts; }
    std::vector<std::string> RosterNames() {
        std::vector<std::string> names;
        for (const auto& item : world.server().Roster(me))
            names.push_back(item.name + "/" + item.group);
        return names;
    }

    // What each dialog shown so far ended with.
    std::vector<int> DialogResults() const {
        std::vector<int> results;
        for (const os::PromptRecord& record : world.prompter().RecordsOf(os::PromptKind::Dialog)) {
            results.push_back(record.result);
        }
        return results;
    }

    std::string carol;
    CIMTree* roster = nullptr;
};

TEST_F(ContactEditingTest, ARefusedInputKeepsTheDialogOpenWithTheFocusOnTheField) {
    world.prompter().AnswerMessageBox(os::IDOK, {.textContains = "昵称中含有非法字符"});
    world.prompter().AnswerDialog(
        os::IDCANCEL,
        [&](os::Window& dialog) {
            Driver driver(world.windows(), &world.prompter());
            const auto hwnd = dialog.hwnd().value();
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kAccountId, "carol"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kNicknameId, "a&b"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kGroupId, "同事"));
            EXPECT_TRUE(driver.Click(hwnd, os::IDOK));
            EXPECT_TRUE(dialog.IsWindow());
            EXPECT_EQ(dialog.GetFocus(), CDlgBuddy::kNicknameId);
        },
        {.caption = "添加联系人"});
    door().ShowAddContact();
    EXPECT_TRUE(world.prompter().Unanswered().empty());
    EXPECT_EQ(world.prompter().Remaining(), 0u);
    EXPECT_EQ(world.simSession().calls().Count("AddContact"), 0u);
}

// The dialog ends itself on a valid input: the script's own answer (IDCANCEL) is not
// what the dialog ended with.
TEST_F(ContactEditingTest, AContactAddedThroughTheDialogComesBackWithThePush) {
    world.prompter().AnswerDialog(
        os::IDCANCEL,
        [&](os::Window& dialog) {
            Driver driver(world.windows(), &world.prompter());
            const auto hwnd = dialog.hwnd().value();
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kAccountId, "carol"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kNicknameId, "卡罗"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kGroupId, "同事"));
            EXPECT_TRUE(driver.Click(hwnd, os::IDOK));
        },
        {.caption = "添加联系人"});
    door().ShowAddContact();
    ASSERT_EQ(DialogResults(), (std::vector<int>{os::IDOK}));
    EXPECT_EQ(world.simSession().calls().Count("AddBudyGroup"), 0u);
    EXPECT_TRUE(TreeBecomes("同事 (0/2)\n  Bob(离线)\n  卡罗(离线)\n"));
    EXPECT_EQ(RosterNames(), (std::vector<std::string>{"Bob/同事", "卡罗/同事"}));
}

// A group the list lacks is made first; the dialog looks for it on its timer and sends the
// contact once the group's push has come.
TEST_F(ContactEditingTest, AContactForANewGroupWaitsForTheGroupThenEndsTheDialog) {
    world.prompter().AnswerDialog(
        os::IDCANCEL,
        [&](os::Window& dialog) {
            Driver driver(world.windows(), &world.prompter());
            const auto hwnd = dialog.hwnd().value();
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kAccountId, "carol"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kNicknameId, "卡罗"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kGroupId, "朋友"));
            EXPECT_TRUE(driver.Click(hwnd, os::IDOK));
            EXPECT_TRUE(dialog.IsWindow());
            EXPECT_EQ(world.simSession().calls().Count("AddBudyGroup"), 1u);
            EXPECT_EQ(world.simSession().calls().Count("AddContact"), 0u);
            // The group's push reaches the tree; the next look finds it.
            EXPECT_TRUE(PumpUntil(world.windows(),
                                  [&] { return Outline().find("朋友") != std::string::npos; }));
            EXPECT_TRUE(driver.AdvanceClock(CDlgBuddy::kGroupPollMs)) << driver.LastError();
            EXPECT_TRUE(PumpUntil(world.windows(),
                                  [&] { return !world.prompter().IsModal(dialog.hwnd()); }));
        },
        {.caption = "添加联系人"});
    door().ShowAddContact();
    ASSERT_EQ(DialogResults(), (std::vector<int>{os::IDOK}));
    EXPECT_EQ(world.simSession().calls().Count("AddContact"), 1u);
    EXPECT_EQ(RosterNames(), (std::vector<std::string>{"Bob/同事", "卡罗/朋友"}));
    EXPECT_TRUE(TreeBecomes("同事 (0/1)\n  Bob(离线)\n朋友 (0/1)\n  卡罗(离线)\n"));
}

TEST_F(ContactEditingTest, AChangedContactIsRenamedAndMovedByThePush) {
    ASSERT_NO_FATAL_FAILURE(Select("Bob(离线)"));
    ASSERT_TRUE(door().CanModifyContact());
    world.prompter().AnswerDialog(
        os::IDCANCEL,
        [&](os::Window& dialog) {
            Driver driver(world.windows(), &world.prompter());
            const auto hwnd = dialog.hwnd().value();
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgBuddy::kNicknameId, "鲍勃"));
            EXPECT_TRUE(driver.Click(hwnd, os::IDOK));
        },
        {.caption = "修改联系人"});
    door().ShowModifyContact();
    ASSERT_EQ(DialogResults(), (std::vector<int>{os::IDOK}));
    EXPECT_TRUE(TreeBecomes("同事 (0/1)\n  鲍勃(离线)\n"));
    EXPECT_EQ(RosterNames(), (std::vector<std::string>{"鲍勃/同事"}));
}

// The phone-book dialog runs its checks again once its new group has come, then sends.
TEST_F(ContactEditingTest, APhoneBookContactForANewGroupIsSentOnceTheGroupCame) {
    CIMTree* phoneBook = manager->mainPanel()->GetControl<CIMTree>(contacts::kPhoneBookTreeId);
    ASSERT_NE(phoneBook, nullptr);
    world.prompter().AnswerDialog(
        os::IDCANCEL,
        [&](os::Window& dialog) {
            Driver driver(world.windows(), &world.prompter());
            const auto hwnd = dialog.hwnd().value();
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgPhoneContact::kMobileId, "13800138000"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgPhoneContact::kNameId, "张三"));
            EXPECT_TRUE(driver.TypeText(hwnd, CDlgPhoneContact::kGroupId, "家人"));
            EXPECT_TRUE(driver.Click(hwnd, os::IDOK));
            EXPECT_EQ(world.simSession().calls().Count("AddTelGroup"), 1u);
            EXPECT_TRUE(PumpUntil(world.windows(), [&] {
                return Outline(*phoneBook).find("家人") != std::string::npos;
            }));
            EXPECT_EQ(world.simSession().calls().Count("AddMobileContact"), 0u);
            EXPECT_TRUE(driver.AdvanceClock(CDlgPhoneContact::kGroupPollMs)) << driver.LastError();
            EXPECT_TRUE(PumpUntil(world.windows(),
                                  [&] { return !world.prompter().IsModal(dialog.hwnd()); }));
        },
        {.caption = "添加联系人"});
    door().ShowAddNewPhoneDialog();
    ASSERT_EQ(DialogResults(), (std::vector<int>{os::IDOK}));
    const auto sent = world.simSession().calls().Named("AddMobileContact");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_GBK_EQ(sent[0].args[0], "家人");
    EXPECT_NE(sent[0].args[1].find("<mobile>13800138000</mobile>"), std::string::npos);
    EXPECT_TRUE(PumpUntil(world.windows(), [&] {
        return Outline(*phoneBook).find("家人 (0/1)\n  张三\n") != std::string::npos;
    })) << testing_support::DisplayGbk(Outline(*phoneBook));
}

TEST_F(ContactEditingTest, ADeletedContactLeavesTheTreeWithATip) {
    ASSERT_NO_FATAL_FAILURE(Select("Bob(离线)"));
    EXPECT_TRUE(door().CanDelContact());
    EXPECT_FALSE(door().CanDeleteGroup());
    world.prompter().AnswerMessageBox(os::IDYES, {.textContains = "确信要删除联系人 Bob 吗?"});
    door().ShowDelContact();
    EXPECT_TRUE(TreeBecomes("同事\n"));
    EXPECT_TRUE(RosterNames().empty());
    const std::vector<std::string> tips = world.tips().TipTexts();
    ASSERT_FALSE(tips.empty());
    EXPECT_GBK_EQ(tips.back(), "删除联系人成功");
}

TEST_F(ContactEditingTest, AGroupIsCreatedRenamedAndDeletedThroughItsPrompts) {
    // A name the tree has is refused and asked for again.
    world.prompter().AnswerInput("同事", {.caption = "新建用户组"});
    world.prompter().AnswerMessageBox(os::IDOK, {.textContains = "已存在,请重新输入!"});
    world.prompter().AnswerInput("家人", {.caption = "新建用户组"});
    door().ShowNewGroupAtRoot();
    EXPECT_TRUE(TreeBecomes("同事 (0/1)\n  Bob(离线)\n家人\n"));
    EXPECT_EQ(world.simSession().calls().Count("AddBudyGroup"), 1u);

    ASSERT_NO_FATAL_FAILURE(Select("同事 (0/1)"));
    EXPECT_TRUE(door().CanModifyGroup());
    world.prompter().AnswerInput("老同事", {.caption = "编辑用户组名称"});
    door().ShowModifyGroup();
    EXPECT_TRUE(TreeBecomes("家人\n老同事 (0/1)\n  Bob(离线)\n"));
    EXPECT_EQ(RosterNames(), (std::vector<std::string>{"Bob/老同事"}));

    ASSERT_NO_FATAL_FAILURE(Select("老同事 (0/1)"));
    world.prompter().AnswerMessageBox(os::IDYES, {.textContains = "确实要删除组群 老同事 吗?"});
    door().ShowDeleteGroup();
    EXPECT_TRUE(TreeBecomes("家人\n"));
    EXPECT_TRUE(RosterNames().empty());
    EXPECT_TRUE(world.prompter().Unanswered().empty());
}

}  // namespace
}  // namespace host_api_test
