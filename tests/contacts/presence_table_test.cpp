#include "contacts/presence_table.h"

#include <gtest/gtest.h>

#include "support/case_name.h"
#include "support/gbk_print.h"

namespace {

using contacts::PresenceClass;
using contacts::PresenceTable;

struct WordCase {
    const char* word;
    int image;
    const char* label;
    PresenceClass presenceClass;
};

class PresenceWords : public ::testing::TestWithParam<WordCase> {};

TEST_P(PresenceWords, ImageLabelAndClassIgnoreCase) {
    const WordCase& c = GetParam();
    const PresenceTable table;
    EXPECT_EQ(table.GetImage(c.word), c.image) << c.word;
    EXPECT_GBK_EQ(table.GetLabel(c.word), c.label);
    EXPECT_EQ(table.GetClass(c.word), c.presenceClass) << c.word;
}

INSTANTIATE_TEST_SUITE_P(
    Table, PresenceWords,
    ::testing::Values(WordCase{"online", 0, "在线", PresenceClass::Online},
                      WordCase{"ONLINE", 0, "在线", PresenceClass::Online},
                      WordCase{"available", 0, "在线", PresenceClass::Other},
                      WordCase{"Chat", 0, "可以聊天", PresenceClass::Other},
                      WordCase{"xa", 8, "马上回来", PresenceClass::Other},
                      WordCase{"dnd", 7, "忙碌", PresenceClass::Other},
                      WordCase{"busy", 7, "忙碌", PresenceClass::Other},
                      WordCase{"BUSY", 7, "忙碌", PresenceClass::Other},
                      WordCase{"Away", 2, "离开", PresenceClass::Other},
                      WordCase{"offline", 1, "离线", PresenceClass::Offline},
                      WordCase{"OffLine", 1, "离线", PresenceClass::Offline},
                      // Words the table does not hold look offline but sort with the others.
                      WordCase{"invisible", 1, "离线", PresenceClass::Other},
                      WordCase{"", 1, "离线", PresenceClass::Other}),
    [](const ::testing::TestParamInfo<WordCase>& info) {
        return testing_support::IndexedName(info.index, info.param.word);
    });

TEST(PresenceTableTest, WordTestsIgnoreCaseAndAreExact) {
    const PresenceTable table;
    EXPECT_TRUE(table.IsOnlineWord("Online"));
    EXPECT_FALSE(table.IsOnlineWord("online "));
    EXPECT_TRUE(table.IsOfflineWord("OFFLINE"));
    EXPECT_TRUE(table.IsAway("AWAY"));
    EXPECT_FALSE(table.IsAway("xa"));
    EXPECT_TRUE(table.IsXa("Xa"));
    EXPECT_TRUE(table.IsDnd("DnD"));
    EXPECT_FALSE(table.IsDnd("busy"));
    EXPECT_EQ(table.DefaultWord(), "online");
    EXPECT_EQ(table.Find("nothing"), nullptr);
}

}  // namespace
