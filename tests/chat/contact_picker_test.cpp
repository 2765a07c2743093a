// The contact picker of the invitation ("邀请"), driven as a person does it, and what the chat
// window does with the choice when no chat commands are plugged in: the picked contacts who
// are online go to the rooms door for a multi-person chat, the peer first.

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/dlg_contact_picker.h"
#include "chat_fixture.h"
#include "core/doors.h"
#include "core/doors/room_service.h"
#include "os/ui/messages.h"
#include "support/doors/recording_rooms.h"
#include "support/gbk_print.h"
#include "support/require.h"

namespace chat_test {
namespace {

namespace automation = qorvdesk::automation;

class ContactPickerTest : public ChatTest {
  protected:
    ContactPickerTest() { context.doors().rooms.Plug(rooms); }
    ~ContactPickerTest() override { context.doors().rooms.Unplug(); }

    // A chat window as the window manager makes it: no chat commands plugged in.
    CDlgChat& OpenUnplugged(const std::string& jid) {
        auto window =
            std::make_unique<CDlgChat>(context, &trees, jid, chat::ChatMode::InstantMessage);
        testing_support::Require(::testing::AssertionResult(window->Create()), "the chat window");
        CDlgChat* chat = world.windows().Adopt(std::move(window));
        chat->ShowWindow(os::SW_SHOW);
        return *chat;
    }

    // Names in a list of the picker, top to bottom.
    static std::vector<std::string> Names(automation::Driver& d, automation::WindowHandle picker,
                                          int listId) {
        std::vector<std::string> names;
        for (const automation::ListRow& row :
             d.ListRows(picker, listId).value_or(std::vector<automation::ListRow>{})) {
            names.push_back(row.texts.at(0));
        }
        return names;
    }

    testing_support::RecordingRooms rooms;
};

TEST_F(ContactPickerTest, PickedContactsWhoAreOnlineAreInvitedWithThePeerFirst) {
    Contact bob = AddContact("bob", "鲍勃", true);
    Contact carol = AddContact("carol", "卡罗", true);
    Contact dan = AddContact("dan", "丹", false);
    CDlgChat& chat = OpenUnplugged(bob.jid);

    std::vector<std::string> offered;
    std::vector<std::string> chosen;
    driver.QueueAnswer(
        automation::PromptAnswer::Dialog(
            automation::result::kCancel,
            [&](automation::Driver& d, automation::WindowHandle picker) {
                offered = Names(d, picker, CDlgContactPicker::kOfferedListId);
                // Carol with the button, Dan with a double click.
                EXPECT_TRUE(d.SelectListRow(picker, CDlgContactPicker::kOfferedListId, 1))
                    << d.LastError();
                EXPECT_TRUE(d.Click(picker, CDlgContactPicker::kAddButtonId)) << d.LastError();
                EXPECT_TRUE(d.DoubleClickListRow(picker, CDlgContactPicker::kOfferedListId, 2))
                    << d.LastError();
                chosen = Names(d, picker, CDlgContactPicker::kChosenListId);
                EXPECT_TRUE(d.Click(picker, os::IDOK)) << d.LastError();
            })
            .WhenCaption("添加参与者"));
    ASSERT_NO_FATAL_FAILURE(Click(chat, chat::control::kInvite));

    EXPECT_EQ(driver.QueuedAnswers(), 0u) << "the picker never opened";
    EXPECT_EQ(offered, (std::vector<std::string>{"鲍勃", "卡罗", "丹"}));
    EXPECT_EQ(chosen, (std::vector<std::string>{"卡罗", "丹"}));
    ASSERT_EQ(rooms.instantRooms.size(), 1u);
    EXPECT_EQ(rooms.instantRooms[0], (std::vector<std::string>{bob.jid, carol.jid}));
    EXPECT_NE(ViewText(chat).find("丹 不在线，无法接受邀请。"), std::string::npos) << dan.jid;
}

TEST_F(ContactPickerTest, CancellingOrChoosingNobodyInvitesNobody) {
    Contact bob = AddContact("bob", "鲍勃", true);
    AddContact("carol", "卡罗", true);
    CDlgChat& chat = OpenUnplugged(bob.jid);

    // Cancel after choosing; then OK after choosing and taking the choice back.
    driver.QueueAnswer(automation::PromptAnswer::Dialog(
        automation::result::kCancel, [](automation::Driver& d, automation::WindowHandle picker) {
            EXPECT_TRUE(d.DoubleClickListRow(picker, CDlgContactPicker::kOfferedListId, 1));
            EXPECT_TRUE(d.Click(picker, os::IDCANCEL)) << d.LastError();
        }));
    ASSERT_NO_FATAL_FAILURE(Click(chat, chat::control::kInvite));
    driver.QueueAnswer(automation::PromptAnswer::Dialog(
        automation::result::kCancel, [](automation::Driver& d, automation::WindowHandle picker) {
            EXPECT_TRUE(d.DoubleClickListRow(picker, CDlgContactPicker::kOfferedListId, 1));
            EXPECT_TRUE(d.SelectListRow(picker, CDlgContactPicker::kChosenListId, 0));
            EXPECT_TRUE(d.Click(picker, CDlgContactPicker::kRemoveButtonId)) << d.LastError();
            EXPECT_TRUE(d.Click(picker, os::IDOK)) << d.LastError();
        }));
    ASSERT_NO_FATAL_FAILURE(Click(chat, chat::control::kInvite));

    EXPECT_EQ(driver.QueuedAnswers(), 0u);
    EXPECT_TRUE(rooms.instantRooms.empty());
}

TEST_F(ContactPickerTest, TheOfferHoldsEachContactOnceAndNeitherSmsRecipientsNorTheUser) {
    Contact bob = AddContact("bob", "鲍勃", true);
    // Bob again in a second tree, with a phone-book number and the user beside him.
    contacts::CIMTree second(context, 5002, "phone", 0);
    trees.Add(second);
    auto again = contacts::CIMTreeItemData::ForUser(
        std::make_unique<contacts::CUser>(context.clock, bob.jid, "鲍勃", "g", "both"));
    ASSERT_NE(second.AddItemData(again), nullptr);
    const std::string number = "13800138000@sms." + world.server().HostName();
    auto sms = contacts::CIMTreeItemData::ForUser(
        std::make_unique<contacts::CUser>(context.clock, number, "老王", "g", ""));
    contacts::CIMTreeItemData* smsItem = second.AddItemData(sms);
    ASSERT_NE(smsItem, nullptr);
    second.InsertUserItem(smsItem->user(), os::kTreeRoot, os::kTreeLast);
    second.InsertUserItem(second.FindUser(bob.jid, "", platform::JidMatch::Exact), os::kTreeRoot,
                          os::kTreeLast);
    auto me = contacts::CIMTreeItemData::ForUser(
        std::make_unique<contacts::CUser>(context.clock, myJid, "我", "g", "both"));
    contacts::CIMTreeItemData* meItem = second.AddItemData(me);
    ASSERT_NE(meItem, nullptr);
    second.InsertUserItem(meItem->user(), os::kTreeRoot, os::kTreeLast);

    const std::vector<chat::PickableContact> offered = chat::PickableContacts(trees, myJid);
    trees.Remove(second);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].jid, bob.jid);
    EXPECT_GBK_EQ(offered[0].name, "鲍勃");
}

}  // namespace
}  // namespace chat_test
