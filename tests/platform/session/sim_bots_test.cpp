// What the demo world's bots answer: a typing notice, a friendly answer quoting the text, the
// end of typing, and a shake or faces when the text asks for them.
#include "platform/session/sim_bots.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "os/text/gbk_chars.h"
#include "support/gbk_print.h"

namespace {

using platform::BotStepKind;
using platform::BotStyle;

// The bodies of the messages among the steps, in order.
std::vector<std::string> BotMessages(const std::vector<platform::BotStep>& steps) {
    std::vector<std::string> bodies;
    for (const platform::BotStep& step : steps) {
        if (step.kind == BotStepKind::Message) bodies.push_back(step.text);
    }
    return bodies;
}

TEST(BotAnswer, TypesAnswersQuotingTheTextAndStopsTyping) {
    const auto steps = platform::BotAnswer(BotStyle::Echo, "你好#(14)#");
    ASSERT_EQ(steps.size(), 3u);
    EXPECT_EQ(steps[0],
              (platform::BotStep{platform::kBotTypingAfterMs, BotStepKind::Typing, "composing"}));
    EXPECT_EQ(steps[1].afterMs, platform::kBotAnswerAfterMs);
    EXPECT_GBK_EQ(steps[1].text, "你说：“你好#(14)#”");
    EXPECT_EQ(steps[2],
              (platform::BotStep{platform::kBotAnswerAfterMs, BotStepKind::Typing, "active"}));
    for (std::size_t i = 1; i < steps.size(); ++i)
        EXPECT_GE(steps[i].afterMs, steps[i - 1].afterMs);
}

TEST(BotAnswer, ABurstRequestIsAnsweredWithThatManyNumberedMessages) {
    const auto burst = platform::BotAnswer(BotStyle::Echo, "连发 3");
    EXPECT_EQ(BotMessages(burst), (std::vector<std::string>{"第1条", "第2条", "第3条"}));
    EXPECT_EQ(BotMessages(platform::BotAnswer(BotStyle::Helper, "burst 5000")).size(), 5000u);
    // Anything else is an ordinary message, answered with one line.
    for (const char* text : {"连发", "连发 0", "连发 5001", "连发 3条", "burst -1", "连发 x"}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(BotMessages(platform::BotAnswer(BotStyle::Echo, text)).size(), 1u);
    }
}

TEST(BotAnswer, KeywordsBringAShakeOrFacesAfterTheAnswer) {
    struct Case {
        const char* text;
        bool shake;
        bool faces;
    };
    const Case cases[] = {
        {"抖动一下", true, false},   {"please SHAKE it", true, false},
        {"来个表情吧", false, true}, {"a face please", false, true},
        {"抖动加表情", true, true},  {"今天开会", false, false},
        {"#(-1)#", true, false},  // a shake is shaken back
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        for (BotStyle style : {BotStyle::Helper, BotStyle::Echo}) {
            const auto bodies = BotMessages(platform::BotAnswer(style, c.text));
            ASSERT_GE(bodies.size(), 1u);
            EXPECT_EQ(std::count(bodies.begin(), bodies.end(), "#(-1)#"), c.shake ? 1 : 0);
            const bool faces =
                std::any_of(bodies.begin() + 1, bodies.end(),
                            [](const std::string& b) { return b.starts_with("#(14)#"); });
            EXPECT_EQ(faces, c.faces);
        }
    }
}

TEST(BotAnswer, ALongTextIsQuotedInPartWithoutHalfACharacter) {
    std::string text;
    for (int i = 0; i < 100; ++i) text += "长";  // 200 bytes
    text = "x" + text;                           // the cut falls between the bytes of a character
    const std::string answer = BotMessages(platform::BotAnswer(BotStyle::Echo, text)).at(0);
    EXPECT_TRUE(os::IsValidGbk(answer));
    EXPECT_NE(answer.find("……"), std::string::npos);
    EXPECT_LT(answer.size(), text.size());
}

TEST(BotAnswer, AskedForAFileTheBotSendsItsSmallFileAfterTheAnswer) {
    for (BotStyle style : {BotStyle::Helper, BotStyle::Echo}) {
        for (const char* text : {"发个文件吧", "please SEND FILE", "今天开会", "#(-1)#"}) {
            SCOPED_TRACE(text);
            const auto steps = platform::BotAnswer(style, text);
            const auto file = std::find_if(steps.begin(), steps.end(), [](const auto& step) {
                return step.kind == BotStepKind::SendFile;
            });
            const bool asked = std::string_view(text).starts_with("发个") ||
                               std::string_view(text).starts_with("please");
            ASSERT_EQ(file != steps.end(), asked);
            if (asked) EXPECT_GE(file->afterMs, platform::kBotAnswerAfterMs);
        }
    }
    // The helper tells of it when it is asked for nothing in particular.
    const auto hint = BotMessages(platform::BotAnswer(BotStyle::Helper, "你好")).at(0);
    EXPECT_NE(hint.find("发个文件"), std::string::npos);
    EXPECT_FALSE(platform::BotFileContents().empty());
    EXPECT_TRUE(os::IsValidGbk(platform::BotFileContents()));
}

TEST(BotFileOfferAnswer, TakesFilesUpToItsLimitAndSaysSoForOthers) {
    struct Case {
        std::int64_t size;
        bool taken;
    };
    const Case cases[] = {{1, true},
                          {platform::kBotFileLimit, true},
                          {platform::kBotFileLimit + 1, false},
                          {0, false},
                          {-5, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const auto steps = platform::BotFileOfferAnswer("KEY", c.size);
        ASSERT_EQ(steps.size(), 1u);
        EXPECT_EQ(steps[0].afterMs, platform::kBotTypingAfterMs);
        if (c.taken) {
            EXPECT_EQ(steps[0], (platform::BotStep{platform::kBotTypingAfterMs,
                                                   BotStepKind::AcceptFile, "KEY"}));
        } else {
            EXPECT_EQ(steps[0].kind, BotStepKind::Message);
            EXPECT_NE(steps[0].text.find("64 MB"), std::string::npos);
        }
    }
    EXPECT_GBK_EQ(platform::BotFileReceivedText("报告.doc", 12345),
                  "收到你的文件“报告.doc”，共 12345 字节，谢谢！");
}

}  // namespace
