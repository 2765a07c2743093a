#include "contacts/contact_user.h"

#include <gtest/gtest.h>

#include "os/sys/clock.h"
#include "platform/store/contact_person_info.h"
#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using contacts::CUser;
using contacts::SignatureRule;

class UserTest : public ::testing::Test {
  protected:
    CUser Make(std::string jid = "wang$gov@im.example", std::string name = "王伟") {
        return CUser(clock_, std::move(jid), std::move(name), "dept", "both");
    }
    os::ManualClock clock_;
};

TEST_F(UserTest, StartsOfflineAndTouchedNow) {
    clock_.Advance(5000);
    const CUser user = Make();
    EXPECT_EQ(user.presence(), "offline");
    EXPECT_TRUE(user.IsOffline());
    EXPECT_GBK_EQ(user.displayText, "王伟(离线)");
    EXPECT_EQ(user.touchedTicks, 5000u);
    EXPECT_EQ(user.groupId, "dept");
    EXPECT_EQ(user.subscription, "both");
    EXPECT_EQ(user.orderIndex, 0);
    EXPECT_EQ(user.suffixOn, 0);
}

TEST_F(UserTest, IsOfflineIsCaseSensitive) {
    CUser user = Make();
    user.SetPresence("Offline");
    EXPECT_FALSE(user.IsOffline());
}

TEST_F(UserTest, StaleAfterTenSeconds) {
    const CUser user = Make();
    clock_.Advance(10000);
    EXPECT_FALSE(user.IsStale());
    clock_.Advance(1);
    EXPECT_TRUE(user.IsStale());
}

struct DisplayCase {
    const char* word;
    const char* signature;
    bool showSignature;
    const char* defaultSignature;
    const char* expected;
};

class DisplayText : public ::testing::TestWithParam<DisplayCase> {};

TEST_P(DisplayText, LabelThenSignatureUnlessDefault) {
    const DisplayCase& c = GetParam();
    os::ManualClock clock;
    CUser user(clock, "wang$gov@im.example", "王伟", "", "");
    user.EditDetails().signature = c.signature;
    user.UpdateDisplayText(c.word, SignatureRule{c.showSignature, c.defaultSignature});
    EXPECT_GBK_EQ(user.displayText, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DisplayText,
    ::testing::Values(DisplayCase{"Away", "", false, "", "王伟(离开)"},
                      DisplayCase{"xa", "", false, "", "王伟(马上回来)"},
                      DisplayCase{"dnd", "", false, "", "王伟(忙碌)"},
                      DisplayCase{"BUSY", "", false, "", "王伟(忙碌)"},
                      DisplayCase{"strange", "", false, "", "王伟(离线)"},
                      // Signatures show only when the setting is on and they are not the default.
                      DisplayCase{"online", "开会中", false, "", "王伟(在线)"},
                      DisplayCase{"online", "开会中", true, "", "王伟(在线)(开会中)"},
                      DisplayCase{"online", "开会中", true, "开会中", "王伟(在线)"},
                      DisplayCase{"online", "", true, "默认", "王伟(在线)"},
                      DisplayCase{"online", "开会中", true, "开会", "王伟(在线)(开会中)"}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) {
        return testing_support::IndexedName(info.index, info.param.word);
    });

TEST_F(UserTest, SuffixFollowsTheNameWhenSwitchedOn) {
    CUser user = Make();
    user.EditDetails().nameSuffix = "[主任]";
    user.UpdateDisplayText("online");
    EXPECT_GBK_EQ(user.displayText, "王伟(在线)");
    user.suffixOn = 1;
    user.UpdateDisplayText("online");
    EXPECT_GBK_EQ(user.displayText, "王伟[主任](在线)");
}

TEST_F(UserTest, CopyTakesThePersonAndStartsAfresh) {
    CUser original = Make();
    original.EditDetails().aux2 = "aux";
    original.SetPresence("away");
    original.groupKey = "top,1";
    original.EditDetails().mail = "w@example.com";
    original.EditDetails().mobile = "13800138000";
    original.EditDetails().workPhone = "010-1";
    original.EditDetails().industry = "it";  // not copied
    original.EditDetails().unit = "unit";
    original.EditDetails().title = "engineer";  // not copied
    original.EditDetails().shortNumber = "6001";
    original.EditDetails().staffNumber = "S1";
    original.videoCapable = 1;
    original.EditDetails().extra2 = "e2";
    original.EditDetails().vcardText[0] = "v1";  // not copied
    original.EditDetails().signature = "sig";
    original.EditDetails().extra3 = "e3";  // not copied
    original.EditDetails().photoType = "image/png";
    original.EditDetails().photoData = "AAAA";
    original.EditDetails().extensionXml = "<SIGNATURE>sig</SIGNATURE>";  // not copied
    original.vcardFlags = 7;
    original.stateByte = 3;
    original.orderIndex = 42;  // not copied
    original.EditDetails().attachments["file"] = {"a", "b", "c", "d", 1};
    original.EditDetails().recentIm = {"x"};  // not copied
    clock_.Advance(3000);

    const CUser copy(original);
    EXPECT_EQ(copy.GetJid(), original.GetJid());
    EXPECT_EQ(copy.name, original.name);
    EXPECT_EQ(copy.details().aux2, "aux");
    EXPECT_EQ(copy.presence(), "away");
    EXPECT_EQ(copy.groupKey, "top,1");
    EXPECT_EQ(copy.details().mail, "w@example.com");
    EXPECT_EQ(copy.details().mobile, "13800138000");
    EXPECT_EQ(copy.details().unit, "unit");
    EXPECT_EQ(copy.details().shortNumber, "6001");
    EXPECT_EQ(copy.details().staffNumber, "S1");
    EXPECT_EQ(copy.videoCapable, 1);
    EXPECT_EQ(copy.details().extra2, "e2");
    EXPECT_EQ(copy.details().signature, "sig");
    EXPECT_EQ(copy.details().photoType, "image/png");
    EXPECT_EQ(copy.details().photoData, "AAAA");
    EXPECT_EQ(copy.vcardFlags, 7);
    EXPECT_EQ(copy.stateByte, 3);
    EXPECT_EQ(copy.details().attachments, original.details().attachments);

    EXPECT_EQ(copy.details().industry, "");
    EXPECT_EQ(copy.details().title, "");
    EXPECT_EQ(copy.details().vcardText[0], "");
    EXPECT_EQ(copy.details().extra3, "");
    EXPECT_EQ(copy.details().extensionXml, "");
    EXPECT_EQ(copy.orderIndex, 0);
    EXPECT_TRUE(copy.details().recentIm.empty());
    EXPECT_EQ(copy.touchedTicks, 3000u);
    EXPECT_GBK_EQ(copy.displayText, "王伟(离开)");
    EXPECT_EQ(copy.holder(), nullptr);
}

TEST_F(UserTest, AssignmentLeavesTheFieldsItDoesNotCopy) {
    CUser target = Make("li$gov@im.example", "李");
    target.EditDetails().industry = "keep";
    target.orderIndex = 9;
    target.displayText = "kept";
    CUser source = Make();
    source.EditDetails().industry = "other";
    source.EditDetails().mobile = "139";
    target = source;
    EXPECT_EQ(target.GetJid(), "wang$gov@im.example");
    EXPECT_EQ(target.details().mobile, "139");
    EXPECT_EQ(target.details().industry, "keep");
    EXPECT_EQ(target.orderIndex, 9);
    EXPECT_EQ(target.displayText, "kept");
}

TEST_F(UserTest, MatchesPhoneOnEveryNumberIgnoringCase) {
    CUser user = Make("Zhang$gov@im.example");
    user.EditDetails().mobile = "13800138000";
    user.EditDetails().phone2 = "P2";
    user.EditDetails().phone3 = "p3";
    user.EditDetails().phone4 = "p4";
    user.EditDetails().fax = "fax1";
    user.EditDetails().workPhone = "010-1";
    for (const char* text : {"13800138000", "p2", "P3", "p4", "FAX1", "zhang$GOV", "010-1"}) {
        EXPECT_TRUE(user.MatchesPhone(text)) << text;
    }
    for (const char* text : {"1380013800", "zhang", "p5", ""}) {
        EXPECT_FALSE(user.MatchesPhone(text)) << text;
    }
}

TEST_F(UserTest, BuildsTheExtensionXml) {
    CUser user = Make();
    user.EditDetails().signature = "今天开会";
    user.EditDetails().photoType = "image/jpeg";
    user.EditDetails().photoData = "QUJD";
    user.EditDetails().recentIm = {"a$gov@h||甲", "b$gov@h||乙"};
    user.EditDetails().recentSms = {"139@sms.h||丙"};
    EXPECT_GBK_EQ(user.BuildExtensionXml(),
                  "<SIGNATURE>今天开会</SIGNATURE><PHOTO><TYPE>image/jpeg</TYPE>"
                  "<BINVAL>QUJD</BINVAL></PHOTO><RECENTIM>a$gov@h||甲;b$gov@h||乙</RECENTIM>"
                  "<RECENTSMS>139@sms.h||丙</RECENTSMS>");
}

TEST_F(UserTest, ParsesTheExtensionXmlAndDropsEmptyListPieces) {
    CUser user = Make();
    user.EditDetails().recentSms = {"stale"};
    user.ParseExtensionXml(
        "<SIGNATURE>签名</SIGNATURE><PHOTO><TYPE>png</TYPE><BINVAL>QQ==</BINVAL></PHOTO>"
        "<RECENTIM>a;;b;</RECENTIM>");
    EXPECT_GBK_EQ(user.details().signature.view(), "签名");
    EXPECT_EQ(user.details().photoType, "png");
    EXPECT_EQ(user.details().photoData, "QQ==");
    EXPECT_EQ(user.details().recentIm, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(user.details().recentSms.empty());  // a missing tag empties the field
}

TEST_F(UserTest, ParsingNothingReadsTheOwnExtensionOrEmpties) {
    CUser user = Make();
    user.EditDetails().signature = "old";
    user.ParseExtensionXml("");
    EXPECT_EQ(user.details().signature, "");

    user.EditDetails().extensionXml = "<SIGNATURE>mine</SIGNATURE>";
    user.ParseExtensionXml();
    EXPECT_EQ(user.details().signature, "mine");
}

TEST_F(UserTest, MarkupInValuesSurvivesTheRoundTrip) {
    CUser user = Make();
    user.EditDetails().signature = "a</SIGNATURE><TYPE>evil</TYPE> & <b>";
    user.EditDetails().photoType = "png";
    const std::string xml = user.BuildExtensionXml();
    CUser reader = Make();
    reader.ParseExtensionXml(xml);
    EXPECT_EQ(reader.details().signature, user.details().signature);
    EXPECT_EQ(reader.details().photoType, "png");
}

TEST_F(UserTest, VcardFieldsGoWhereTheyBelongAndComeBack) {
    CContactPersonInfo vcard;
    vcard.jid = "wang$gov@im.example";
    vcard.name = "新名字";
    vcard.mobile = "m";
    vcard.workPhone = "w";
    vcard.email = "e";
    vcard.unit = "u";
    vcard.industry = "i";
    vcard.title = "t";
    vcard.duty = "d";
    vcard.shortNumber = "s";
    vcard.fax = "f";
    vcard.extension = "x";
    vcard.staffNumber = "n";
    vcard.videoCapable = 5;
    vcard.vcardTexts[12] = "v13";
    vcard.extra4 = "e4";
    vcard.extensionXml = "<SIGNATURE>sig</SIGNATURE><RECENTIM>r</RECENTIM>";
    vcard.flags = 9;
    vcard.subscription = "to";
    vcard.phone3 = "p3";
    vcard.phone2 = "p2";
    vcard.phone4 = "p4";
    vcard.extra1 = "e1";
    vcard.extra2 = "e2";

    CUser user = Make();
    user.ApplyVcardFields(vcard);
    EXPECT_GBK_EQ(user.name, "王伟");  // the tree decides about names
    EXPECT_EQ(user.details().mail, "e");
    EXPECT_EQ(user.details().phone2, "p2");
    EXPECT_EQ(user.details().phone3, "p3");
    EXPECT_EQ(user.videoCapable, 1);
    EXPECT_EQ(user.details().vcardText[12], "v13");
    EXPECT_EQ(user.subscription, "to");
    EXPECT_EQ(user.details().signature, "sig");
    EXPECT_EQ(user.details().recentIm, std::vector<std::string>{"r"});

    CContactPersonInfo back;
    user.FillPersonInfo(back);
    CContactPersonInfo expected = vcard;
    expected.name = "王伟";
    expected.videoCapable = 1;
    expected.extensionXml = user.BuildExtensionXml();
    EXPECT_EQ(back, expected);
}

}  // namespace
