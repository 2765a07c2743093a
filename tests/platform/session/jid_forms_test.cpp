#include "platform/session/jid_forms.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

TEST(JidFormsTest, BareJidDropsTheResourceOnly) {
    EXPECT_EQ(platform::BareJid("a$gov@h/PC"), "a$gov@h");
    EXPECT_EQ(platform::BareJid("a$gov@h"), "a$gov@h");
    EXPECT_EQ(platform::BareJid("/odd"), "/odd");
}

TEST(JidFormsTest, KeysMakeTheSpellingsOfOneUserEqual) {
    const std::string key = platform::JidKey("zhang$gov@host");
    EXPECT_EQ(platform::JidKey("ZHANG@gover.host/PC"), key);
    EXPECT_EQ(platform::JidKey(" zhang$GOV@HOST"), key);
    EXPECT_EQ(platform::JidKey("li@puber.host"), platform::JidKey("li$pub@host"));
    EXPECT_NE(platform::JidKey("zhang$pub@host"), key);
    // "丂" is 0x81 0x40: its trail byte is '@' and must stay part of the character, and a
    // trail byte in the letter range is not lowered.
    const std::string chinese = platform::JidKey("丂Ａ@host");
    EXPECT_GBK_EQ(chinese, "丂Ａ@host");
}

}  // namespace
