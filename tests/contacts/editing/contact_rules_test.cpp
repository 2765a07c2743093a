// The checks of the buddy dialog and the phone-book contact dialog, in their order.
#include "contacts/editing/contact_rules.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace contact_rules_test {
namespace {

using namespace contacts::editing;
using F = ContactField;

struct BuddyCase {
    const char* name;
    BuddyInput input;
    const char* message;  // null: every check passes
    F field;
    NextStep next;
};

TEST(ContactRulesTest, TheBuddyDialogStopsAtTheFirstFailedCheck) {
    const BuddyCase cases[] = {
        {"empty account", {"", "", "同事", false, true}, "用户名不能为空", F::Account, {}},
        {"empty mobile", {"", "", "同事", true, true}, "手机号码不能为空", F::Account, {}},
        // The account is checked before the nickname and the group, both illegal here.
        {"illegal account",
         {"=bob", "&", "&", false, true},
         "用户名中含有非法字符",
         F::Account,
         {}},
        {"short mobile", {"123", "", "同事", true, true}, "无效的手机号码", F::Account, {}},
        {"letter in mobile", {"123a", "", "同事", true, true}, "无效的手机号码", F::Account, {}},
        {"mobile rule off the phone book",
         {"bob", "", "同事", false, true},
         nullptr,
         {},
         NextStep::Send},
        {"illegal nickname",
         {"bob", "B&B", "&", false, true},
         "昵称中含有非法字符",
         F::Nickname,
         {}},
        {"illegal group", {"bob", "Bob", "a<b", false, true}, "组群中含有非法字符", F::Group, {}},
        {"empty group", {"bob", "Bob", "", false, false}, "请输入或选择一个组!", F::Group, {}},
        {"new group", {"bob", "Bob", "新组", false, false}, nullptr, {}, NextStep::CreateGroup},
        {"known group", {"13800138000", "", "家人", true, true}, nullptr, {}, NextStep::Send},
        {"hyphen inside", {"bob-1", "a-b", "x-y", false, true}, nullptr, {}, NextStep::Send},
    };
    for (const BuddyCase& c : cases) {
        SCOPED_TRACE(c.name);
        const CheckOutcome outcome = ValidateBuddyDialog(c.input);
        if (c.message == nullptr) {
            EXPECT_FALSE(outcome.refusal.has_value());
            EXPECT_EQ(outcome.next, c.next);
            continue;
        }
        ASSERT_TRUE(outcome.refusal.has_value());
        EXPECT_GBK_EQ(outcome.refusal->message, c.message);
        EXPECT_EQ(outcome.refusal->field, c.field);
    }
}

PhoneContactInput Valid(DialogMode mode = DialogMode::Add) {
    PhoneContactInput input;
    input.mode = mode;
    input.mobile = "13800138000";
    input.name = "张三";
    input.group = "家人";
    input.groupExists = true;
    return input;
}

struct PhoneCase {
    const char* name;
    DialogMode mode;
    void (*edit)(PhoneContactInput&);
    const char* message;
    F field;
};

TEST(ContactRulesTest, ThePhoneContactDialogStopsAtTheFirstFailedCheck) {
    using D = DialogMode;
    const PhoneCase cases[] = {
        {"empty mobile", D::Add,
         [](PhoneContactInput& i) {
             i.mobile.clear();
             i.name.clear();
         },
         "手机号码不能为空！", F::Mobile},
        {"illegal mobile", D::Add, [](PhoneContactInput& i) { i.mobile = "=138"; },
         "手机号码中含有非法字符", F::Mobile},
        {"short mobile", D::Add, [](PhoneContactInput& i) { i.mobile = "138"; }, "无效的手机号码！",
         F::Mobile},
        {"empty name", D::Add,
         [](PhoneContactInput& i) {
             i.name.clear();
             i.email = "x";
         },
         "请输入姓名!", F::Name},
        {"illegal name", D::Add, [](PhoneContactInput& i) { i.name = "a&b"; }, "姓名中含有非法字符",
         F::Name},
        {"illegal e-mail", D::Add, [](PhoneContactInput& i) { i.email = "<a@b>"; },
         "电子邮件中含有非法字符", F::Email},
        {"illegal e-mail (change)", D::Modify, [](PhoneContactInput& i) { i.email = "<a@b>"; },
         "邮件中含有非法字符", F::Email},
        {"e-mail without @", D::Add, [](PhoneContactInput& i) { i.email = "ab.com"; },
         "电子邮件不合法", F::Email},
        {"illegal work phone", D::Add, [](PhoneContactInput& i) { i.workPhone = "-1"; },
         "工作电话中含有非法字符", F::WorkPhone},
        {"illegal unit", D::Add, [](PhoneContactInput& i) { i.unit = "A&B"; },
         "单位名称中含有非法字符", F::Unit},
        {"illegal unit (change)", D::Modify, [](PhoneContactInput& i) { i.unit = "A&B"; },
         "单位中含有非法字符", F::Unit},
        {"illegal short number", D::Modify, [](PhoneContactInput& i) { i.shortNumber = "*6"; },
         "虚拟短号中含有非法字符", F::ShortNumber},
        {"illegal second mobile", D::Modify, [](PhoneContactInput& i) { i.mobile2 = "'1"; },
         "手机号码2中含有非法字符", F::Mobile2},
        {"illegal fax", D::Modify, [](PhoneContactInput& i) { i.fax = "/1"; },
         "传真号码中含有非法字符", F::Fax},
        {"illegal home phone", D::Modify, [](PhoneContactInput& i) { i.homePhone = "+1"; },
         "家庭电话中含有非法字符", F::HomePhone},
        {"illegal group", D::Add, [](PhoneContactInput& i) { i.group = "a>b"; },
         "组名中包含非法字符,请重新输入或从列表中选择一个组!", F::Group},
        {"empty group", D::Add, [](PhoneContactInput& i) { i.group.clear(); },
         "请输入或选择一个组!", F::Group},
        {"mobile taken in the group", D::Add,
         [](PhoneContactInput& i) {
             i.groupMembers = {{"a@sms.h", "李四", "13900139000"}, {"b@sms.h", "王五", i.mobile}};
         },
         "组下用户\"王五\"已使用该手机号码.", F::Mobile},
    };
    for (const PhoneCase& c : cases) {
        SCOPED_TRACE(c.name);
        PhoneContactInput input = Valid(c.mode);
        c.edit(input);
        const CheckOutcome outcome = ValidatePhoneContactDialog(input);
        ASSERT_TRUE(outcome.refusal.has_value());
        EXPECT_GBK_EQ(outcome.refusal->message, c.message);
        EXPECT_EQ(outcome.refusal->field, c.field);
    }
}

TEST(ContactRulesTest, TheAddDialogDoesNotCheckTheFieldsOnlyTheChangeDialogHas) {
    PhoneContactInput input = Valid(DialogMode::Add);
    input.shortNumber = "*6";
    input.fax = "/1";
    EXPECT_FALSE(ValidatePhoneContactDialog(input).refusal.has_value());
}

TEST(ContactRulesTest, AContactKeepingItsOwnMobileIsNoClashButAnotherIs) {
    PhoneContactInput input = Valid(DialogMode::Modify);
    input.id = "13800138000@sms.h";
    input.groupMembers = {{"13800138000@sms.h", "张三", "13800138000"}};
    EXPECT_FALSE(ValidatePhoneContactDialog(input).refusal.has_value());
    input.groupMembers.push_back({"x@sms.h", "赵六", "13800138000"});
    ASSERT_TRUE(ValidatePhoneContactDialog(input).refusal.has_value());
}

TEST(ContactRulesTest, ANewPhoneBookGroupIsCreatedFirst) {
    PhoneContactInput input = Valid();
    input.groupExists = false;
    const CheckOutcome outcome = ValidatePhoneContactDialog(input);
    EXPECT_FALSE(outcome.refusal.has_value());
    EXPECT_EQ(outcome.next, NextStep::CreateGroup);
}

TEST(ContactRulesTest, ThePayloadHasItsFourteenElementsInOrder) {
    PhoneContact c{"n", "e", "t", "p", "c", "ti", "po", "m", "m2", "t2", "f", "a", "h", "me"};
    EXPECT_EQ(MobileContactPayload(c),
              "<name>n</name><email>e</email><telephone>t</telephone><profession>p</profession>"
              "<company>c</company><title>ti</title><position>po</position><mobile>m</mobile>"
              "<mobile2>m2</mobile2><telephone2>t2</telephone2><officefax>f</officefax>"
              "<address>a</address><homephone>h</homephone><memo>me</memo>");
    EXPECT_GBK_EQ(PayloadGroupName(""), "未分组");
    EXPECT_GBK_EQ(PayloadGroupName("家人"), "家人");
}

}  // namespace
}  // namespace contact_rules_test
