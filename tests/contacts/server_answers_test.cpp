// The server's later answers about the lists: cache checks, group sizes for a group SMS and
// the online counts of the directory's roots.
#include "contacts/server_answers.h"

#include <gtest/gtest.h>

#include "contacts/contact_group.h"
#include "contacts/im_tree.h"
#include "loading_fixture.h"
#include "os/prompt/scripted_prompter.h"
#include "support/gbk_print.h"

namespace contacts_test {
namespace {

using contacts::CacheCheck;

TEST_F(LoadingTest, ACacheCheckAsksForTheWholeListOnlyWhenItIsOutOfDate) {
    ASSERT_TRUE(LogIn());
    struct Case {
        const char* name;
        std::string_view nameSpace;
        const char* answer;
        CacheCheck outcome;
        std::size_t rosterRefreshes, phoneRefreshes, onlineInfo;
    };
    const Case cases[] = {
        {"roster out of date", platform::kRosterNameSpace, "yes", CacheCheck::Refreshed, 1, 0, 0},
        {"roster current", platform::kRosterNameSpace, "no", CacheCheck::OnlineInfoOnly, 0, 0, 1},
        {"roster empty answer", platform::kRosterNameSpace, "", CacheCheck::OnlineInfoOnly, 0, 0,
         1},
        {"phone book out of date", platform::kPhoneBookNameSpace, "yes", CacheCheck::Refreshed, 0,
         1, 0},
        {"phone book current", platform::kPhoneBookNameSpace, "no", CacheCheck::NothingAsked, 0, 0,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        session().calls().Clear();
        const platform::SlotData answer{{std::string(c.nameSpace), "", c.answer}, {}};
        EXPECT_EQ(contacts::OnCacheCheckAnswer(context(), answer), c.outcome);
        const platform::CallLog& calls = session().calls();
        EXPECT_EQ(calls.Count("RefreshRoster"), c.rosterRefreshes);
        EXPECT_EQ(calls.Count("RefreshTelContactTop"), c.phoneRefreshes);
        EXPECT_EQ(calls.Count("RequestGroupOnlineInfo"), c.onlineInfo);
        if (c.rosterRefreshes == 1) {
            EXPECT_EQ(calls.Named("RefreshRoster")[0].args[0], "2");
        }
        if (c.onlineInfo == 1) {
            EXPECT_EQ(calls.Named("RequestGroupOnlineInfo")[0].args,
                      (std::vector<std::string>{"jabber:iq:roster", "all"}));
        }
        const auto times = calls.Named("GetServersTime");
        ASSERT_EQ(times.size(), 1u);
        EXPECT_EQ(times[0].args[0], me_);
    }
    session().calls().Clear();
    EXPECT_EQ(contacts::OnCacheCheckAnswer(context(), {{"other:ns", "", "yes"}, {}}),
              CacheCheck::NotACheck);
    EXPECT_EQ(contacts::OnCacheCheckAnswer(context(), {{"jabber:iq:roster"}, {}}),
              CacheCheck::NotACheck);
    EXPECT_TRUE(session().calls().Calls().empty());
}

TEST_F(LoadingTest, AGroupOfMoreThan300UsersCannotTakeAGroupSms) {
    struct Case {
        const char* users;
        bool refused;
    };
    const Case cases[] = {{"300", false}, {"301", true}, {"0", false}, {"", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.users);
        world_->prompter().ClearRecords();
        if (c.refused) world_->prompter().AnswerMessageBox(os::IDOK);
        EXPECT_EQ(contacts::OnGroupSizeForSms(context(), {{"group", c.users}, {}}), c.refused);
        const auto boxes = world_->prompter().RecordsOf(os::PromptKind::MessageBox);
        ASSERT_EQ(boxes.size(), c.refused ? 1u : 0u);
        if (c.refused) {
            EXPECT_GBK_EQ(boxes[0].text, "该组用户数大于300，不能群发短信！");
            EXPECT_GBK_EQ(boxes[0].caption, "提示");
        }
    }
}

TEST_F(LoadingTest, RootOnlineCountsRetitleTheirUnits) {
    auto tree = MakeTree("组织机构");
    const os::TreeItem first = AddGroup(*tree, "01", "教育局");
    const os::TreeItem second = AddGroup(*tree, "02", "财政局");
    EXPECT_EQ(contacts::OnRootOnlineCounts(
                  *tree, {{"top,01", "3", "40"}, {"top,unknown", "1", "1"}, {"top,02", "0", "7"}}),
              2);
    EXPECT_GBK_EQ(tree->GetItemText(first), "教育局 (3/40)");
    EXPECT_GBK_EQ(tree->GetItemText(second), "财政局 (0/7)");
}

}  // namespace
}  // namespace contacts_test
