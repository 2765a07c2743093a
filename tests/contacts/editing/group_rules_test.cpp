// The group-name checks and the texts of the delete questions and the own details.
#include "contacts/editing/group_rules.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace group_rules_test {
namespace {

using namespace contacts::editing;

struct GroupCase {
    const char* name;
    GroupNameInput input;
    const char* message;  // null: accepted
};

TEST(GroupRulesTest, EachDialogHasItsOwnWordsAndPresenceIgnoresCase) {
    const std::vector<std::string> existing = {"同事", "Friends"};
    const GroupCase cases[] = {
        {"create empty", {GroupDialog::Create, "", existing, ""}, "新组群名称不能为空"},
        {"create illegal", {GroupDialog::Create, "a&b", existing, ""}, "新组群名称中含有非法字符"},
        {"create present",
         {GroupDialog::Create, "同事", existing, ""},
         "组名:\"同事\"已存在,请重新输入!"},
        {"create present other case",
         {GroupDialog::Create, "FRIENDS", existing, ""},
         "组名:\"FRIENDS\"已存在,请重新输入!"},
        {"create new", {GroupDialog::Create, "家人", existing, ""}, nullptr},
        {"rename empty", {GroupDialog::Rename, "", existing, ""}, "请输入新组群名"},
        {"rename illegal", {GroupDialog::Rename, "=x", existing, ""}, "组群名中包含非法字符"},
        {"rename present",
         {GroupDialog::Rename, "friends", existing, ""},
         "组名:\"friends\"已存在,请重新输入!"},
        {"rename new", {GroupDialog::Rename, "同学-1", existing, ""}, nullptr},
        {"generic empty", {GroupDialog::Generic, "", existing, "群组"}, "请输入群组名称"},
        {"generic illegal",
         {GroupDialog::Generic, "'x", existing, "群组"},
         "群组名中含有非法字符，请重新输入"},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> refusal = ValidateGroupName(c.input);
        if (c.message == nullptr) {
            EXPECT_FALSE(refusal.has_value());
        } else {
            ASSERT_TRUE(refusal.has_value());
            EXPECT_GBK_EQ(*refusal, c.message);
        }
    }
    EXPECT_GBK_EQ(GenericGroupDialogTitle("群组"), "创建群组");
}

TEST(GroupRulesTest, TheDeleteQuestionsNameWhatGoes) {
    EXPECT_GBK_EQ(DeleteContactQuestion("Bob"), "确信要删除联系人 Bob 吗?");
    EXPECT_GBK_EQ(DeleteGroupQuestion("同事"),
                  "确实要删除组群 同事 吗?\n将同步删除该组下所有用户信息");
}

TEST(GroupRulesTest, TheOwnNicknameAndVcard) {
    EXPECT_GBK_EQ(ValidateOwnNickname("").value_or(""), "昵称不能为空");
    EXPECT_GBK_EQ(ValidateOwnNickname("a<b").value_or(""), "昵称中含有非法字符");
    EXPECT_FALSE(ValidateOwnNickname("小王").has_value());
    EXPECT_GBK_EQ(ValidateVcardEdit(false).value_or(""), "请输入修改信息!");
    EXPECT_FALSE(ValidateVcardEdit(true).has_value());
}

}  // namespace
}  // namespace group_rules_test
