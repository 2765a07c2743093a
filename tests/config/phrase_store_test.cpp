// The common-phrase store: its file, its limits and the list operations of the phrase page.

#include "config/phrase_store.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "support/gbk_print.h"

namespace config_test {
namespace {

class PhraseStoreTest : public ConfigTest {
  protected:
    static std::string Repeat(const char* text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) out += text;
        return out;
    }
    std::string PhrasePath() const { return SharedDir() + "phrases.txt"; }
    static std::vector<std::string> Defaults() {
        return {std::begin(config::kDefaultPhrases), std::end(config::kDefaultPhrases)};
    }
};

TEST_F(PhraseStoreTest, LoadingSkipsEmptyDuplicateAndOverlongLinesAndStopsAtOneHundred) {
    struct Case {
        const char* name;
        std::string content;
        int count;
        int duplicates;
        int tooLong;
    };
    std::string many;
    for (int i = 0; i < 120; ++i) many += "phrase " + std::to_string(i) + "\n";
    const Case cases[] = {
        {"first hundred of 120", many, 100, 0, 0},
        {"two copies", "好的\r\n好的\n再见\n", 2, 1, 0},
        {"exactly 100 bytes", std::string(100, 'a') + "\n" + std::string(101, 'b') + "\n", 1, 0, 1},
        {"fifty Chinese characters", Repeat("字", 50) + "\n" + Repeat("字", 51) + "\n\n", 1, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_NO_FATAL_FAILURE(WriteSharedFile("phrases.txt", c.content));
        config::PhraseStore store;
        const config::PhraseLoadReport report = store.Load(PhrasePath(), false);
        EXPECT_EQ(store.Count(), c.count);
        EXPECT_EQ(report.duplicates, c.duplicates);
        EXPECT_EQ(report.tooLong, c.tooLong);
    }
}

TEST_F(PhraseStoreTest, AStoreLeftEmptyHoldsTheTwoDefaultPhrases) {
    config::PhraseStore store;
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile("phrases.txt", "\n\r\n\n"));
    store.Load(PhrasePath(), false);
    EXPECT_EQ(store.Phrases(), Defaults());

    ASSERT_TRUE(store.Add("第三条"));
    const config::PhraseLoadReport missing = store.Load(SharedDir() + "none.txt", false);
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(store.Phrases(), Defaults());
    EXPECT_GBK_EQ(store.At(1), "对不起，现在忙，一会儿和您联系...");
}

TEST_F(PhraseStoreTest, ImportingWhileKeepingTheListAddsOnlyNewPhrases) {
    config::PhraseStore store;
    store.Clear();
    ASSERT_TRUE(store.Add("您好!"));
    ASSERT_NO_FATAL_FAILURE(WriteSharedFile("phrases.txt", "您好!\n请稍等\n"));
    const config::PhraseLoadReport report = store.Load(PhrasePath(), true);
    EXPECT_EQ(store.Phrases(), (std::vector<std::string>{"您好!", "请稍等"}));
    EXPECT_EQ(config::PhraseLoadMessages(report),
              std::vector<std::string>{"文件中 1 条常用语已经存在于列表中，未予导入"});
    EXPECT_EQ(config::PhraseLoadMessages({true, 0, 3}),
              std::vector<std::string>{"文件中 3 条常用语长度超过100个英文字母，未予导入"});
}

TEST_F(PhraseStoreTest, SavingWritesOnePhrasePerLineThatLoadsBackTheSame) {
    config::PhraseStore store;
    ASSERT_TRUE(store.Add("第三条"));
    ASSERT_TRUE(store.Save(PhrasePath()));
    EXPECT_EQ(ReadSharedFile("phrases.txt"), std::string(config::kDefaultPhrases[0]) + "\n" +
                                                 config::kDefaultPhrases[1] + "\n第三条\n");
    config::PhraseStore back;
    back.Load(PhrasePath(), false);
    EXPECT_EQ(back.Phrases(), store.Phrases());
}

TEST_F(PhraseStoreTest, TheListKeepsItsRulesThroughEveryOperation) {
    config::PhraseStore store;
    store.Clear();
    EXPECT_FALSE(store.Add(""));
    EXPECT_FALSE(store.Add(std::string(101, 'a')));
    EXPECT_FALSE(store.Add("two\nlines")) << "it would load back as two phrases";
    ASSERT_TRUE(store.Add("a"));
    ASSERT_TRUE(store.Add("b"));
    ASSERT_TRUE(store.Add("c"));
    EXPECT_FALSE(store.Add("b"));

    EXPECT_EQ(store.MoveUp(0), 0);
    EXPECT_EQ(store.MoveDown(2), 2);
    EXPECT_EQ(store.Phrases(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(store.MoveUp(2), 1);
    EXPECT_EQ(store.MoveDown(0), 1);
    EXPECT_EQ(store.Phrases(), (std::vector<std::string>{"c", "a", "b"}));
    EXPECT_EQ(store.MoveUp(3), -1);
    EXPECT_EQ(store.MoveDown(-1), -1);

    EXPECT_FALSE(store.Replace(3, "d"));
    EXPECT_FALSE(store.Replace(0, "a")) << "equal to another phrase";
    EXPECT_TRUE(store.Replace(0, "c2"));
    EXPECT_FALSE(store.Remove(3));
    EXPECT_TRUE(store.Remove(1));
    EXPECT_EQ(store.Phrases(), (std::vector<std::string>{"c2", "b"}));
    EXPECT_EQ(store.At(5), "");

    store.Clear();
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(store.Add(std::to_string(i)));
    EXPECT_FALSE(store.Add("one more"));
}

}  // namespace
}  // namespace config_test
