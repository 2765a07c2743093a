// Presence notifications from the server reaching the contact trees.

#include <gtest/gtest.h>

#include <thread>

#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_server.h"
#include "platform/session/sim_session_core.h"
#include "support/gbk_print.h"
#include "tree_fixture.h"

namespace contacts_test {
namespace {

using contacts::ContactTrees;
using contacts::CUser;
using platform::MakeNotify;
using platform::PresenceData;
namespace notify_type = platform::notify_type;

class PresenceNotifyTest : public TreeTest {
  protected:
    void SetUp() override {
        auto& server = world_->server();
        me_ = server.AddAccount(Account("me"));
        bob_ = server.AddAccount(Account("bob"));
        dave_ = server.AddAccount(Account("dave"));
        server.SetRoster(me_, {{bob_, "Bob", "g"}, {dave_, "Dave", "g"}});
        ASSERT_EQ(session().Init(nullptr, nullptr, std::this_thread::get_id()), 1);
        ASSERT_EQ(session().Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
        Pump();

        // Unit A holds unit B with Bob, Carol and Dave; Bob is listed in A directly too.
        tree_ = MakeTree("org", 0, contacts::kSortByPresence);
        a_ = AddGroup(*tree_, "A", "总部");
        b_ = AddGroup(*tree_, "B", "技术部", a_);
        bob_in_b_ = AddUser(*tree_, bob_, "Bob", b_);
        AddUser(*tree_, "carol$gov@" + server.HostName(), "carol", b_);
        AddUser(*tree_, dave_, "Dave", b_);
        bob_in_a_ = AddUser(*tree_, bob_, "Bob", a_);
        trees_.Add(*tree_);
    }

    platform::SimSessionCore& session() { return world_->simSession(); }

    // A session on the same server for a contact.
    std::unique_ptr<platform::SimSessionCore> Contact(const char* login) {
        std::shared_ptr<platform::SimServer> server(std::shared_ptr<platform::SimServer>{},
                                                    &world_->server());
        auto contact = std::make_unique<platform::SimSessionCore>(server);
        EXPECT_EQ(contact->Init(nullptr, nullptr, std::this_thread::get_id()), 1);
        EXPECT_EQ(contact->Login(login, "pw", 1, "", 0), platform::kLoginAccepted);
        return contact;
    }

    // What the notification pump does with our queue: presence to subcode 46, tips to 11.
    void Pump() {
        while (platform::NotifyRecord* record = session().GetNotify()) {
            if (platform::IsPresenceType(record->type)) {
                const contacts::PresenceOutcome outcome = trees_.OnPresenceNotify(*record);
                if (outcome.statusTip) trees_.OnStatusTip(*outcome.statusTip);
            }
            session().FreeNotify(record);
        }
    }

    std::vector<std::string> Tips() { return world_->tips().TipTexts(); }

    std::string me_, bob_, dave_;
    ContactTrees trees_{context()};
    std::unique_ptr<contacts::CIMTree> tree_;
    os::TreeItem a_{}, b_{};
    CUser* bob_in_b_{};
    CUser* bob_in_a_{};
};

TEST_F(PresenceNotifyTest, AContactsPresenceChangesIconTextPlaceAndEveryCount) {
    ASSERT_GBK_EQ(tree_->GetItemText(a_), "总部 (0/4)");
    auto dave = Contact("dave");
    Pump();
    EXPECT_EQ(ChildTexts(*tree_, b_),
              (std::vector<std::string>{"Dave(在线)", "Bob(离线)", "carol(离线)"}));

    auto bob = Contact("bob");
    Pump();
    EXPECT_EQ(ChildTexts(*tree_, b_),
              (std::vector<std::string>{"Bob(在线)", "Dave(在线)", "carol(离线)"}));
    EXPECT_EQ(tree_->GetItemImage(bob_in_b_->treeItem), (os::TreeImages{0, 0}));
    EXPECT_EQ(tree_->GetItemImage(bob_in_a_->treeItem), (os::TreeImages{0, 0}));
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "技术部 (2/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总部 (3/4)");

    ASSERT_EQ(bob->ChangePresence("away"), 1);
    Pump();
    EXPECT_EQ(ChildTexts(*tree_, b_),
              (std::vector<std::string>{"Dave(在线)", "Bob(离开)", "carol(离线)"}));
    EXPECT_EQ(tree_->GetItemImage(bob_in_b_->treeItem), (os::TreeImages{2, 2}));
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总部 (3/4)");

    ASSERT_EQ(bob->Logout(), 1);
    Pump();
    EXPECT_EQ(ChildTexts(*tree_, b_),
              (std::vector<std::string>{"Dave(在线)", "Bob(离线)", "carol(离线)"}));
    EXPECT_GBK_EQ(tree_->GetItemText(b_), "技术部 (1/3)");
    EXPECT_GBK_EQ(tree_->GetItemText(a_), "总部 (1/4)");
}

TEST_F(PresenceNotifyTest, TipsForAContactWhoLogsInOrComesBack) {
    auto bob = Contact("bob");
    Pump();
    ASSERT_EQ(bob->ChangePresence("dnd"), 1);
    Pump();
    ASSERT_EQ(bob->ChangePresence("online"), 1);
    Pump();
    EXPECT_EQ(Tips(), (std::vector<std::string>{"Bob 刚登录", "Bob 上线了"}));
}

TEST_F(PresenceNotifyTest, NoTipsWhenSwitchedOffOrForAStatusAnswer) {
    config().BuddyStatusNotify = 0;
    auto bob = Contact("bob");
    Pump();
    EXPECT_TRUE(Tips().empty());
    EXPECT_EQ(bob_in_b_->presence(), "online");

    config().BuddyStatusNotify = 1;
    PresenceData data;
    data.jid = dave_;
    data.presence = "online";
    const auto outcome =
        trees_.OnPresenceNotify(MakeNotify(notify_type::kPresenceProbeAnswer, data));
    EXPECT_EQ(outcome.usersChanged, 1);
    EXPECT_FALSE(outcome.statusTip.has_value());
}

TEST_F(PresenceNotifyTest, OtherSpellingsAndResourcesReachTheSameUsers) {
    PresenceData data;
    data.jid = "bob@gover." + world_->server().HostName() + "/desk";
    data.presence = "XA";
    const auto outcome =
        trees_.OnPresenceNotify(MakeNotify(notify_type::kPresenceExtendedAway, data));
    EXPECT_EQ(outcome.usersChanged, 2);
    EXPECT_GBK_EQ(tree_->GetItemText(bob_in_a_->treeItem), "Bob(马上回来)");
    EXPECT_EQ(tree_->GetItemImage(bob_in_a_->treeItem).image, 8);
}

TEST_F(PresenceNotifyTest, AWordlessRecordTakesTheWordOfItsType) {
    PresenceData data;
    data.jid = bob_;
    trees_.OnPresenceNotify(MakeNotify(notify_type::kPresenceBusy, data));
    EXPECT_EQ(bob_in_b_->presence(), "busy");
    EXPECT_GBK_EQ(tree_->GetItemText(bob_in_b_->treeItem), "Bob(忙碌)");
}

TEST_F(PresenceNotifyTest, RecordsThatAreNoPresenceChangeNothing) {
    PresenceData data;
    data.jid = bob_;
    data.presence = "online";
    // A presence payload under another type, a presence type with another payload, a stranger.
    EXPECT_EQ(trees_.OnPresenceNotify(MakeNotify(notify_type::kChatMessage, data)).usersChanged, 0);
    EXPECT_EQ(trees_
                  .OnPresenceNotify(MakeNotify(notify_type::kPresenceAvailable,
                                               platform::SubscriptionRequestData{bob_}))
                  .usersChanged,
              0);
    data.jid = "stranger$gov@h";
    const auto outcome = trees_.OnPresenceNotify(MakeNotify(notify_type::kPresenceAvailable, data));
    EXPECT_EQ(outcome.usersChanged, 0);
    EXPECT_FALSE(outcome.statusTip.has_value());
    EXPECT_EQ(bob_in_b_->presence(), "offline");
}

TEST_F(PresenceNotifyTest, TreesThatLeftAreNotTouched) {
    trees_.Remove(*tree_);
    PresenceData data;
    data.jid = bob_;
    data.presence = "online";
    EXPECT_EQ(
        trees_.OnPresenceNotify(MakeNotify(notify_type::kPresenceAvailable, data)).usersChanged, 0);
    EXPECT_TRUE(trees_.trees().empty());
}

}  // namespace
}  // namespace contacts_test
