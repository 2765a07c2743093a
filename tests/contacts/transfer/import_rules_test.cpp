#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "contacts/editing/text_rules.h"
#include "contacts/im_tree.h"
#include "contacts/transfer/delimited_reader.h"
#include "contacts/transfer/import_row_validator.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using namespace contacts;
using editing::HasIllegalChars;
using editing::IsValidMobile;

struct RowCase {
    const char* name;
    std::string line;
    std::string reason;
    std::string jid;  // when accepted
};

// One validator per case: nothing was accepted before.
class ImportRowRuleTest : public ::testing::TestWithParam<RowCase> {};

TEST_P(ImportRowRuleTest, GivesTheReasonOfTheFirstFailedRule) {
    const RowCase& c = GetParam();
    ImportRowValidator validator("im.example", std::string(kRosterTop));
    const std::vector<ImportRow> rows = ReadDelimitedRows(c.line, ImportSeparator::Comma);
    ASSERT_EQ(rows.size(), 1u);
    const RowVerdict verdict = validator.ValidateImportRow(rows[0]);
    EXPECT_GBK_EQ(std::string(verdict.reason), c.reason);
    ASSERT_EQ(verdict.contact.has_value(), c.reason == kRowAccepted);
    if (verdict.contact) EXPECT_EQ(verdict.contact->jid, c.jid);
}

const RowCase kRowCases[] = {
    {"too short", "a,b", "此行信息不完整,", ""},
    {"two fields", "wang@im.example,王伟", "此行信息不完整,", ""},
    {"short id", "w@x,王伟,同事", "前3个字段长度不够,", ""},
    {"blank nickname", "wang@im.example,  ,同事", "前3个字段长度不够,", ""},
    {"empty group", "wang@im.example,王伟,", "前3个字段长度不够,", ""},
    {"marker in group", "wang@im.example,王伟,a!~!b", "前3个字段内容不正确,", ""},
    {"marker in id", "wa!~!ng@im.example,王伟,同事", "前3个字段内容不正确,", ""},
    {"id without at", "wangwei,王伟,同事", "第一列用户名不合法,", ""},
    {"three digit number", "138,王伟,同事", "前3个字段长度不够,", ""},
    {"at first", "@im.example,王伟,同事", "第一列用户名不合法,", ""},
    {"at last", "wangwei@,王伟,同事", "第一列用户名不合法,", ""},
    {"blank inside id", "wang wei@im.example,王伟,同事", "第一列用户名有非法字符,", ""},
    {"chinese in id", "王伟@im.example,王伟,同事", "第一列用户名有非法字符,", ""},
    {"ampersand in nickname", "wang@im.example,A&B,同事", "第二列或第三列含有有非法字符< > \" ' &,",
     ""},
    {"group starting with equals", "wang@im.example,王伟,=SUM(A1)",
     "第二列或第三列含有有非法字符< > \" ' &,", ""},
    {"hyphen inside nickname", "wang@im.example,王-伟,同事", "OK,", "wang@im.example"},
    {"directory user", " wang$gov@im.example , 王伟 , 同事 ", "OK,", "wang$gov@im.example"},
    {"eleven digit mobile", "13800138000,王伟,同事", "OK,", "13800138000@sms.im.example"},
    {"four digit mobile", "1234,短号,同事", "OK,", "1234@sms.im.example"},
    {"sms nickname may hold ampersand", "13800138000,A&B,同事", "OK,",
     "13800138000@sms.im.example"},
};

INSTANTIATE_TEST_SUITE_P(Rules, ImportRowRuleTest, ::testing::ValuesIn(kRowCases),
                         [](const auto& info) {
                             return testing_support::NamePart(info.param.name);
                         });

TEST(ImportRowValidatorTest, RefusesARepeatedUserIdWhateverItsCase) {
    ImportRowValidator validator("im.example", std::string(kRosterTop));
    const auto rows = ReadDelimitedRows("wang@im.example,王伟,同事\nWANG@im.example,王伟二,朋友\n",
                                        ImportSeparator::Comma);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(validator.ValidateImportRow(rows[0]).reason, kRowAccepted);
    EXPECT_EQ(validator.ValidateImportRow(rows[1]).reason, kUserIdRepeated);
}

TEST(ImportRowValidatorTest, RefusesAMobileTwiceInOneGroupButNotInAnother) {
    ImportRowValidator validator("im.example", std::string(kPhoneBookTop));
    const auto rows = ReadDelimitedRows(
        "13800138000@sms.im.example,甲,同事\n"
        "13800138000@sms.other.example,乙,同事\n"
        "13800138000@sms.third.example,丙,朋友\n",
        ImportSeparator::Comma);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(validator.ValidateImportRow(rows[0]).reason, kRowAccepted);
    EXPECT_EQ(validator.ValidateImportRow(rows[1]).reason, kMobileRepeatedInGroup);
    EXPECT_EQ(validator.ValidateImportRow(rows[2]).reason, kRowAccepted);
}

TEST(ImportRowValidatorTest, SplitsTheGroupPathAndKeepsTheOtherColumns) {
    ImportRowValidator validator("im.example", std::string(kRosterTop));
    const auto rows = ReadDelimitedRows(
        "wang@im.example,王伟,总部::研发::前端,010-1,139,w@m.cn,软件,单位;一,工程师,组长,",
        ImportSeparator::Comma);
    const RowVerdict verdict = validator.ValidateImportRow(rows.at(0));
    ASSERT_TRUE(verdict.contact.has_value());
    EXPECT_EQ(verdict.contact->groupLevels, (std::vector<std::string>{"总部", "研发", "前端"}));
    EXPECT_EQ(verdict.contact->workPhone, "010-1");
    EXPECT_EQ(verdict.contact->mobile, "139");
    EXPECT_EQ(verdict.contact->mail, "w@m.cn");
    EXPECT_GBK_EQ(verdict.contact->unit, "单位;一");
    EXPECT_GBK_EQ(verdict.contact->duty, "组长");
}

struct FieldRuleCase {
    const char* text;
    bool illegal;
    bool mobile;
};

TEST(ContactFieldRulesTest, IllegalCharactersAndMobiles) {
    const FieldRuleCase cases[] = {
        {"", false, false},     {"=x", true, false},          {"a&b", true, false},
        {"a-b", false, false},  {"-ab", true, false},         {"a<b", true, false},
        {"it's", true, false},  {"1234", false, true},        {"123", false, false},
        {"123a", false, false}, {"13800138000", false, true},
    };
    for (const FieldRuleCase& c : cases) {
        EXPECT_EQ(HasIllegalChars(c.text), c.illegal) << c.text;
        EXPECT_EQ(IsValidMobile(c.text), c.mobile) << c.text;
    }
}

}  // namespace
