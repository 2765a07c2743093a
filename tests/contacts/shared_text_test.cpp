// Texts shared between the users of one tree: copies share a buffer, the text never changes
// under another holder, and the loaders' recent texts hand out the same buffer again.
#include "contacts/shared_text.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace contacts_test {
namespace {

using contacts::RecentTexts;
using contacts::SharedText;

TEST(SharedTextTest, CopiesShareAndAssigningANewTextLeavesTheOthersAlone) {
    SharedText a("organizeTop,u1");
    SharedText b = a;
    EXPECT_TRUE(a.SharesWith(b));
    b = "organizeTop,u2";
    EXPECT_EQ(a, "organizeTop,u1");
    EXPECT_EQ(b, "organizeTop,u2");
    EXPECT_FALSE(a.SharesWith(b));
    SharedText c = a;
    c = std::string("organizeTop,u1");  // the same text keeps the shared buffer
    EXPECT_TRUE(c.SharesWith(a));
    SharedText moved = std::move(c);
    EXPECT_TRUE(moved.SharesWith(a));
    EXPECT_EQ(std::string(moved), "organizeTop,u1");
    EXPECT_EQ(std::string_view(moved).size(), 14u);
}

TEST(SharedTextTest, TheEmptyTextReadsAsAnEmptyCString) {
    const SharedText empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_STREQ(empty.c_str(), "");
    SharedText set("x");
    set = "";
    EXPECT_TRUE(set.empty());
    EXPECT_TRUE(set.SharesWith(empty));
}

TEST(SharedTextTest, PresenceWordsAreSharedProcessWideAndOtherWordsAreNot) {
    for (const char* word :
         {"offline", "online", "away", "xa", "dnd", "busy", "chat", "available"}) {
        SCOPED_TRACE(word);
        EXPECT_TRUE(SharedText::Word(word).SharesWith(SharedText::Word(word)));
        EXPECT_EQ(SharedText::Word(word), word);
    }
    const SharedText odd = SharedText::Word("Online");
    EXPECT_EQ(odd, "Online");
    EXPECT_FALSE(odd.SharesWith(SharedText::Word("Online")));
}

TEST(SharedTextTest, RecentTextsHandOutTheBufferOfAnEqualTextMadeBefore) {
    RecentTexts recent;
    const SharedText first = recent.Share("org,u1");
    const SharedText other = recent.Share("org,u2");
    EXPECT_TRUE(recent.Share("org,u1").SharesWith(first));
    EXPECT_TRUE(recent.Share("org,u2").SharesWith(other));
    EXPECT_TRUE(recent.Share("").empty());
    // Beyond the kept few the oldest is forgotten, and its text is made anew.
    for (int i = 0; i < 20; ++i) recent.Share("org,x" + std::to_string(i));
    const SharedText again = recent.Share("org,u1");
    EXPECT_EQ(again, "org,u1");
    EXPECT_FALSE(again.SharesWith(first));
}

TEST(SharedTextTest, CopiesMadeAndDroppedOnTwoThreadsLeaveTheTextWhole) {
    const SharedText key("organizeTop,u1");
    const auto churn = [&key] {
        std::vector<SharedText> copies;
        for (int i = 0; i < 2000; ++i) {
            copies.push_back(key);
            if (copies.size() > 16) copies.erase(copies.begin());
        }
    };
    std::thread other(churn);
    churn();
    other.join();
    EXPECT_EQ(key, "organizeTop,u1");
    SharedText last = key;
    EXPECT_TRUE(last.SharesWith(key));
}

}  // namespace
}  // namespace contacts_test
