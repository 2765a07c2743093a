#include "contacts/contact_group.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "contacts/contact_user.h"
#include "os/sys/clock.h"
#include "support/gbk_print.h"

namespace {

using contacts::CGroup;
using contacts::CUser;
using contacts::OnlineTitleForm;

class GroupTest : public ::testing::Test {
  protected:
    CUser* NewUser(std::string presence) {
        users_.push_back(
            std::make_unique<CUser>(clock_, "u" + std::to_string(users_.size()), "u", "", ""));
        users_.back()->SetPresence(presence);
        return users_.back().get();
    }
    os::ManualClock clock_;
    std::vector<std::unique_ptr<CUser>> users_;
    CGroup group_{"7", "办公室", "1", "top,1,7"};
};

TEST_F(GroupTest, EmptyGroupShowsItsBareName) {
    for (int mode : {0, 1, 2}) {
        EXPECT_GBK_EQ(group_.GetDisplayText(mode, OnlineTitleForm::Numbers), "办公室");
        EXPECT_GBK_EQ(group_.GetDisplayText(mode, OnlineTitleForm::Words), "办公室");
    }
}

struct TitleCase {
    int mode;
    OnlineTitleForm form;
    const char* expected;
};

class GroupTitle : public GroupTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(GroupTitle, OnlineFirstTotalSecond) {
    group_.AddUser(NewUser("online"));
    group_.AddUser(NewUser("Away"));
    group_.AddUser(NewUser("offline"));
    group_.AddUser(NewUser("OFFLINE"));
    group_.AddUser(NewUser("offline"));
    EXPECT_GBK_EQ(group_.GetDisplayText(GetParam().mode, GetParam().form), GetParam().expected);
    EXPECT_EQ(group_.TotalCount(), 5);
}

INSTANTIATE_TEST_SUITE_P(Table, GroupTitle,
                         ::testing::Values(TitleCase{0, OnlineTitleForm::Numbers, "办公室 (2/5)"},
                                           TitleCase{2, OnlineTitleForm::Numbers, "办公室 (2/5)"},
                                           TitleCase{0, OnlineTitleForm::Words,
                                                     "办公室 (在线2人/共5人)"},
                                           TitleCase{1, OnlineTitleForm::Numbers, "办公室 (5)"},
                                           TitleCase{1, OnlineTitleForm::Words, "办公室 (5)"}),
                         [](const ::testing::TestParamInfo<TitleCase>& info) {
                             return "Mode" + std::to_string(info.param.mode) +
                                    (info.param.form == OnlineTitleForm::Words ? "Words"
                                                                               : "Numbers");
                         });

TEST_F(GroupTest, TotalIsRefreshedOnlyByTheTitle) {
    group_.AddUser(NewUser("online"));
    EXPECT_EQ(group_.TotalCount(), 0);
    EXPECT_EQ(group_.UserCount(), 1);
    (void)group_.GetDisplayText(0, OnlineTitleForm::Numbers);
    EXPECT_EQ(group_.TotalCount(), 1);
}

TEST_F(GroupTest, RemoveTakesOneEntryAndIgnoresStrangers) {
    CUser* a = NewUser("online");
    CUser* b = NewUser("offline");
    group_.AddUser(a);
    group_.AddUser(b);
    group_.AddUser(a);
    EXPECT_EQ(group_.OnlineCount(), 2);
    group_.RemoveUser(a);
    EXPECT_EQ(group_.UserCount(), 2);
    EXPECT_EQ(group_.OnlineCount(), 1);
    group_.RemoveUser(NewUser("online"));
    EXPECT_EQ(group_.UserCount(), 2);
    group_.RemoveUser(a);
    EXPECT_EQ(group_.Users(), std::vector<CUser*>{b});
    EXPECT_EQ(group_.OnlineCount(), 0);
}

TEST_F(GroupTest, ManyRemovalsKeepOrderCountsAndLaterChangesRight) {
    // Enough removals for the list to drop its holes several times over.
    std::vector<CUser*> kept;
    std::vector<CUser*> gone;
    for (int n = 0; n < 200; ++n) {
        CUser* user = NewUser(n % 2 == 0 ? "online" : "offline");
        group_.AddUser(user);
        (n % 5 == 0 ? kept : gone).push_back(user);
    }
    for (CUser* user : gone) group_.RemoveUser(user);
    EXPECT_EQ(group_.Users(), kept);
    int online = 0;
    for (CUser* user : kept) online += user->IsOffline() ? 0 : 1;
    EXPECT_EQ(group_.OnlineCount(), online);

    // Each survivor still finds its own entry: a presence change counts once, a removal
    // takes that user and no other.
    for (CUser* user : kept) user->SetPresence("offline");
    EXPECT_EQ(group_.OnlineCount(), 0);
    kept.front()->SetPresence("away");
    EXPECT_EQ(group_.OnlineCount(), 1);
    group_.RemoveUser(kept.front());
    kept.erase(kept.begin());
    EXPECT_EQ(group_.Users(), kept);
    EXPECT_EQ(group_.OnlineCount(), 0);
    group_.RecountOnline();
    EXPECT_EQ(group_.OnlineCount(), 0);
}

TEST_F(GroupTest, AMembersPresenceCountsAtOnceAndARecountAgrees) {
    CUser* a = NewUser("offline");
    CUser* b = NewUser("offline");
    group_.AddUser(a);
    group_.AddUser(b);
    group_.AddUser(b);  // listed twice: each entry counts
    a->SetPresence("dnd");
    EXPECT_EQ(group_.OnlineCount(), 1);
    EXPECT_TRUE(group_.RefreshOnline(a));  // nothing new: no second count
    EXPECT_EQ(group_.OnlineCount(), 1);
    EXPECT_FALSE(group_.RefreshOnline(NewUser("online")));

    b->SetPresence("online");  // no tree involved: the user tells its groups
    EXPECT_EQ(group_.OnlineCount(), 3);
    group_.RecountOnline();
    EXPECT_EQ(group_.OnlineCount(), 3);
    a->SetPresence("offline");
    group_.RemoveUser(a);
    EXPECT_EQ(group_.OnlineCount(), 2);
    group_.RemoveUser(b);
    EXPECT_EQ(group_.OnlineCount(), 1);
}

TEST_F(GroupTest, AUserThatGoesLeavesEveryGroup) {
    CUser* gone = NewUser("online");
    CUser* stays = NewUser("online");
    CGroup other("8", "other", "1", "top,1,8");
    group_.AddUser(gone);
    group_.AddUser(stays);
    group_.AddUser(gone);
    other.AddUser(gone);
    users_.erase(users_.begin());  // destroys `gone`
    EXPECT_EQ(group_.Users(), std::vector<CUser*>{stays});
    EXPECT_EQ(group_.OnlineCount(), 1);
    EXPECT_EQ(other.UserCount(), 0);
}

// A user keeps its first listings inside itself and the further ones on the heap: counts,
// presence changes and the user's going must be right on both sides of that line.
TEST_F(GroupTest, AUserListedByManyGroupsIsCountedRightInEach) {
    CUser* user = NewUser("offline");
    std::vector<std::unique_ptr<CGroup>> groups;
    for (int i = 0; i < 5; ++i) {
        groups.push_back(
            std::make_unique<CGroup>(std::to_string(i), "g", "1", "top," + std::to_string(i)));
        groups.back()->AddUser(user);
    }
    groups[4]->AddUser(user);  // twice in the last one
    user->SetPresence("online");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(groups[i]->OnlineCount(), 1) << i;
    EXPECT_EQ(groups[4]->OnlineCount(), 2);

    groups[1]->RemoveUser(user);
    groups[4]->RemoveUser(user);
    EXPECT_EQ(groups[1]->UserCount(), 0);
    EXPECT_EQ(groups[4]->UserCount(), 1);
    user->SetPresence("away");
    user->SetPresence("offline");
    for (const auto& group : groups) {
        EXPECT_EQ(group->OnlineCount(), 0);
        group->RecountOnline();
        EXPECT_EQ(group->OnlineCount(), 0);
    }
    groups[0].reset();  // a group that goes is forgotten by the user
    users_.clear();     // and the user leaves every other one
    for (std::size_t i = 1; i < groups.size(); ++i) EXPECT_EQ(groups[i]->UserCount(), 0) << i;
}

TEST_F(GroupTest, AGroupThatGoesLetsGoOfItsUsers) {
    CUser* user = NewUser("online");
    {
        CGroup shortLived("9", "tmp", "1", "top,1,9");
        shortLived.AddUser(user);
        group_.AddUser(user);
    }
    users_.clear();  // the user leaves the remaining group only
    EXPECT_EQ(group_.UserCount(), 0);
}

TEST_F(GroupTest, PathKeyChangesAreKeptWithoutATree) {
    group_.SetPathKey("top,2,7");
    EXPECT_EQ(group_.pathKey(), "top,2,7");
}

}  // namespace
