// The fields of a received offline-file notice: exactly five, a decimal size below 2 GB and a
// key of letters and digits, or nothing.

#include "chat/encoding/offline_notice.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

TEST(OfflineNoticeTest, FiveFieldsGiveTheFileItsSizeKeySenderAndTime) {
    const auto notice =
        chat::ParseOfflineNotice("报告.doc|2147483647|0123ABCDef|张三|2026-12-11 09:30:00");
    ASSERT_TRUE(notice.has_value());
    EXPECT_GBK_EQ(notice->fileName, "报告.doc");
    EXPECT_EQ(notice->size, 2147483647u);
    EXPECT_EQ(notice->serverKey, "0123ABCDef");
    EXPECT_GBK_EQ(notice->sender, "张三");
    EXPECT_EQ(notice->time, "2026-12-11 09:30:00");
}

TEST(OfflineNoticeTest, AVerticalBarInsideADoubleByteCharacterSeparatesNothing) {
    // "乇" is 0x81 0x7C in GBK: its trail byte is a "|".
    const std::string name = "a\x81\x7C.txt";
    const auto notice = chat::ParseOfflineNotice(name + "|5|KEY|bob|now");
    ASSERT_TRUE(notice.has_value());
    EXPECT_EQ(notice->fileName, name);
}

TEST(OfflineNoticeTest, NoticesOfAnyOtherShapeAreRefused) {
    for (const char* fields : {
             "",
             "a.txt|5|KEY|bob",           // four fields
             "a.txt|5|KEY|bob|now|more",  // six
             "|5|KEY|bob|now",            // no file name
             "a.txt||KEY|bob|now",        // no size
             "a.txt|-5|KEY|bob|now",      // not decimal
             "a.txt|5x|KEY|bob|now",
             "a.txt|2147483648|KEY|bob|now",  // 2 GB
             "a.txt|99999999999|KEY|bob|now",
             "a.txt|5||bob|now",        // no key
             "a.txt|5|../KEY|bob|now",  // a key that is no key
             "a.txt|5|KEY?x=1|bob|now",
         }) {
        EXPECT_FALSE(chat::ParseOfflineNotice(fields).has_value()) << fields;
    }
}

}  // namespace
