// The composer's recipient text: separators, numbers, addresses, picked contacts.

#include "batch/recipient_parser.h"

#include <gtest/gtest.h>

#include "support/gbk_print.h"

namespace {

constexpr const char* kHost = "im.test";

struct ParseCase {
    const char* name;
    std::string text;
    std::string picker;
    std::vector<std::string> jids;
    std::optional<std::string> invalid = std::nullopt;
    std::vector<std::string> duplicates = {};
};

TEST(RecipientParserTest, EntriesBecomeRecipientsOrStopTheParse) {
    const ParseCase cases[] = {
        {"full-width semicolon",
         "13900000001；13900000002",
         "",
         {"13900000001@sms.im.test", "13900000002@sms.im.test"}},
        {"three digits", "123", "", {}, "123"},
        {"four digits", "1234", "", {"1234@sms.im.test"}},
        {"letters without @", "12a4", "", {}, "12a4"},
        {"@ first", "@im.test", "", {}, "@im.test"},
        {"@ last", "wang@", "", {}, "wang@"},
        {"gover spelling", "wang@gover.im.test", "", {"wang$gov@im.test"}},
        {"puber spelling", "li@puber.im.test", "", {"li$pub@im.test"}},
        {"blanks and empty pieces",
         " 1234 ;; ;bob@im.test;",
         "",
         {"1234@sms.im.test", "bob@im.test"}},
        {"picked contacts in order",
         "<Bob>;<Ann>",
         "Bob(bob@im.test)Ann(ann@im.test)",
         {"bob@im.test", "ann@im.test"}},
        {"a typed entry equal to a picked contact",
         "<Bob>;bob@im.test",
         "Bob(bob@im.test)",
         {"bob@im.test"},
         std::nullopt,
         {"bob@im.test"}},
        {"a picked name the picker never saw", "<Nobody>", "Bob(bob@im.test)", {}, "<Nobody>"},
        {"the parse stops at the first bad entry", "1234;12;5678", "", {"1234@sms.im.test"}, "12"},
        // "\xB0\xA3" and "\xBB\xFA" are two characters whose bytes hold those of '；'.
        {"no split inside characters", "\xB0\xA3\xBB\xFA", "", {}, "\xB0\xA3\xBB\xFA"},
    };
    for (const ParseCase& c : cases) {
        const batch::ParsedRecipients parsed = batch::ParseRecipients(c.text, c.picker, kHost);
        EXPECT_EQ(parsed.jids, c.jids) << c.name;
        EXPECT_EQ(parsed.invalidEntry, c.invalid) << c.name;
        EXPECT_EQ(parsed.duplicates, c.duplicates) << c.name;
    }
}

TEST(RecipientParserTest, SmsRecipientsAndTheirRecentNames) {
    EXPECT_TRUE(batch::IsSmsRecipient("13900000001@SMS.im.test"));
    EXPECT_TRUE(batch::IsSmsRecipient("13900000001@sms.im.test"));
    EXPECT_FALSE(batch::IsSmsRecipient("bob@im.test"));
    EXPECT_FALSE(batch::IsSmsRecipient("@sms.im.test"));  // not after the first character
    EXPECT_EQ(batch::RecentContactName("13900000001@sms.im.test"), "13900000001");
    EXPECT_EQ(batch::RecentContactName("bob@im.test"), "bob@im.test");
}

TEST(RecipientParserTest, ThreeHundredAndOneNumbersAreAllParsed) {
    std::string text;
    for (int i = 0; i < 301; ++i) text += std::to_string(13900000000LL + i) + ";";
    const batch::ParsedRecipients parsed = batch::ParseRecipients(text, "", kHost);
    ASSERT_EQ(parsed.jids.size(), 301u);
    EXPECT_EQ(parsed.jids.back(), "13900000300@sms.im.test");
}

}  // namespace
