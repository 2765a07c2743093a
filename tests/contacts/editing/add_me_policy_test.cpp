// The add-me policy's decision and its words.
#include "contacts/editing/add_me_policy.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace add_me_policy_test {
namespace {

using namespace contacts::editing;

TEST(AddMePolicyTest, ASubscribedRequesterIsAcceptedWhateverThePolicy) {
    struct Case {
        int policy;
        std::optional<std::string> subscription;
        RequestAnswer answer;
    };
    const Case cases[] = {
        {kAddMeNever, "to", RequestAnswer::AcceptSilently},
        {kAddMeAsk, "TO", RequestAnswer::AcceptSilently},
        {kAddMeAlways, "both", RequestAnswer::AcceptAndAdd},
        {kAddMeAlways, std::nullopt, RequestAnswer::AcceptAndAdd},
        {kAddMeAsk, "none", RequestAnswer::Ask},
        {kAddMeNever, std::nullopt, RequestAnswer::Refuse},
        {7, std::nullopt, RequestAnswer::Ask},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.policy);
        EXPECT_EQ(DecideSubscriptionRequest(c.policy, c.subscription), c.answer);
    }
}

TEST(AddMePolicyTest, TheWordsNameTheBuddyList) {
    EXPECT_GBK_EQ(AddMePolicyHeading("我的好友"), "当对方添加我到我的好友时");
    const std::vector<std::string> choices = AddMePolicyChoices("我的好友");
    ASSERT_EQ(choices.size(), 3u);
    EXPECT_GBK_EQ(choices[kAddMeAlways], "总是自动添加对方到我的好友");
    EXPECT_GBK_EQ(choices[kAddMeAsk], "提示是否添加对方到我的好友");
    EXPECT_GBK_EQ(choices[kAddMeNever], "总是不添加对方到我的好友");
    EXPECT_GBK_EQ(AddMeQuestion("Bob", "bob$gov@h"),
                  "Bob(bob$gov@h) 已添加你为常用联系人\n您是否添加对方为常用联系人");
}

}  // namespace
}  // namespace add_me_policy_test
