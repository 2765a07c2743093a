#include "os/prompt/scripted_prompter.h"

#include <gtest/gtest.h>

#include "os/text/gbk_codec.h"
#include "support/gbk_print.h"

namespace {

using os::PromptKind;
using os::ScriptedPrompter;

// Every test here fails when a prompt goes unanswered, unless it asks for the records.
class ScriptedPrompterTest : public ::testing::Test {
  protected:
    std::vector<os::PromptRecord> unanswered;
    ScriptedPrompter prompter{[this](const os::PromptRecord& r) { unanswered.push_back(r); }};

    void TearDown() override {
        for (const auto& r : unanswered) {
            ADD_FAILURE() << "unanswered " << os::PromptKindName(r.kind) << ": "
                          << testing_support::DisplayGbk(r.text);
        }
    }
};

TEST_F(ScriptedPrompterTest, MessageBoxesTakeTheirAnswersInOrder) {
    prompter.AnswerMessageBox(os::IDYES);
    prompter.AnswerMessageBox(os::IDNO);
    EXPECT_EQ(
        prompter.MessageBox("正在和服务端交互数据，现在退出可能会导致数据错误！\r\n\r\n确定退出？",
                            "提示", os::MB_YESNO),
        os::IDYES);
    EXPECT_EQ(prompter.MessageBox("第二个", "提示", os::MB_YESNO | os::MB_ICONQUESTION), os::IDNO);

    auto records = prompter.Records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].kind, PromptKind::MessageBox);
    EXPECT_GBK_EQ(records[0].caption, "提示");
    EXPECT_GBK_EQ(records[1].text, "第二个");
    EXPECT_EQ(records[1].style, os::MB_YESNO | os::MB_ICONQUESTION);
    EXPECT_TRUE(records[1].answered);
    EXPECT_EQ(records[1].result, os::IDNO);
    EXPECT_EQ(prompter.Remaining(), 0u);
}

TEST_F(ScriptedPrompterTest, DefaultCaptionIsTiShi) {
    prompter.AnswerMessageBox(os::IDOK);
    prompter.MessageBox("导出成功!");
    EXPECT_GBK_EQ(prompter.Records().at(0).caption, "提示");
    EXPECT_EQ(prompter.Records().at(0).style, os::MB_OK);
}

TEST_F(ScriptedPrompterTest, AnswersAreMatchedByCaptionAndText) {
    // Queued for the second box first: the first box passes over it.
    prompter.AnswerMessageBox(os::IDNO, {.caption = "安全提示"});
    prompter.AnswerMessageBox(os::IDYES, {.textContains = "确定退出"});
    EXPECT_EQ(prompter.MessageBox("还有会话没有结束。\r\n\r\n确定退出？", "提示", os::MB_YESNO),
              os::IDYES);
    EXPECT_EQ(prompter.MessageBox("文件 a.exe 可能包含不安全的因素，确信要运行该程序吗？",
                                  "安全提示", os::MB_YESNO),
              os::IDNO);
    EXPECT_EQ(prompter.Remaining(), 0u);
}

TEST_F(ScriptedPrompterTest, AnAnswerThatIsNotAButtonStaysQueued) {
    prompter.AnswerMessageBox(os::IDYES);  // an OK box has no Yes
    prompter.AnswerMessageBox(os::IDOK);
    EXPECT_EQ(prompter.MessageBox("信息已提交！", "提示", os::MB_OK), os::IDOK);
    EXPECT_EQ(prompter.Remaining(), 1u);
    EXPECT_EQ(prompter.MessageBox("确定？", "提示", os::MB_YESNOCANCEL), os::IDYES);
}

TEST_F(ScriptedPrompterTest, AnswersOfAnotherKindAreLeftForTheirPrompt) {
    prompter.AnswerOpenFile("/home/u/a.txt");
    prompter.AnswerMessageBox(os::IDOK);
    EXPECT_EQ(prompter.MessageBox("x"), os::IDOK);
    EXPECT_EQ(prompter.OpenFile({.title = "选择要发送的文件"}), "/home/u/a.txt");
}

TEST_F(ScriptedPrompterTest, FileChoosersAnswerAPathOrCancel) {
    prompter.AnswerSaveFile("/home/u/导出.csv");
    prompter.CancelSaveFile();
    prompter.CancelOpenFile();
    os::FileDialogRequest save{.title = "导出好友列表为",
                               .filter = "CSV (*.csv)|*.csv||",
                               .defaultName = "contacts.csv",
                               .defaultExtension = "csv"};
    EXPECT_EQ(prompter.SaveFile(save), std::optional<std::string>("/home/u/导出.csv"));
    EXPECT_EQ(prompter.SaveFile(save), std::nullopt);
    EXPECT_EQ(prompter.OpenFile({}), std::nullopt);

    auto saves = prompter.RecordsOf(PromptKind::SaveFile);
    ASSERT_EQ(saves.size(), 2u);
    EXPECT_GBK_EQ(saves[0].caption, "导出好友列表为");
    EXPECT_EQ(saves[0].text, "contacts.csv");
    EXPECT_EQ(saves[0].result, os::IDOK);
    EXPECT_EQ(saves[1].result, os::IDCANCEL);
    EXPECT_TRUE(saves[1].answered);  // a cancel is an answer
}

TEST_F(ScriptedPrompterTest, FontChooserAnswersAFontOrCancel) {
    os::FontChoice chosen{.faceName = "黑体", .height = 240, .bold = true, .color = 0x0000FF};
    prompter.AnswerFont(chosen);
    prompter.CancelFont();
    os::FontRequest request{.initial = os::FontChoice{}};
    EXPECT_EQ(prompter.ChooseFont(request), chosen);
    EXPECT_EQ(prompter.ChooseFont(request), std::nullopt);
    EXPECT_GBK_EQ(prompter.Records().at(0).text, "宋体");  // the initial face
}

TEST_F(ScriptedPrompterTest, InputIsCutToTheBoxLimitWithoutSplittingACharacter) {
    struct Case {
        std::string typed;
        std::size_t maxBytes;
        std::string expected;
    };
    for (const Case& c :
         {Case{"新建组群", 0, "新建组群"}, Case{"新建组群", 8, "新建组群"},
          Case{"新建组群", 7, "新建组"}, Case{"ab新建", 3, "ab"}, Case{"", 5, ""}}) {
        prompter.AnswerInput(c.typed);
        os::InputRequest request{
            .caption = "新建组群", .prompt = "请输入组名", .maxBytes = c.maxBytes};
        auto value = prompter.InputText(request);
        ASSERT_TRUE(value.has_value());
        EXPECT_GBK_EQ(*value, c.expected);
    }
    prompter.CancelInput();
    EXPECT_EQ(prompter.InputText({}), std::nullopt);
}

TEST_F(ScriptedPrompterTest, TextsListEveryPromptInOrder) {
    prompter.AnswerMessageBox(os::IDOK);
    prompter.AnswerInput("x");
    prompter.MessageBox("一");
    prompter.InputText({.prompt = "二"});
    EXPECT_EQ(prompter.Texts(), (std::vector<std::string>{"一", "二"}));
    prompter.ClearRecords();
    EXPECT_TRUE(prompter.Records().empty());
}

TEST(ScriptedPrompterUnanswered, IsRecordedReportedAndBacksOut) {
    std::vector<os::PromptRecord> reported;
    ScriptedPrompter prompter([&](const os::PromptRecord& r) { reported.push_back(r); });
    prompter.AnswerInput("unused");

    EXPECT_EQ(prompter.MessageBox("确定退出？", "提示", os::MB_YESNO), os::IDCANCEL);
    EXPECT_EQ(prompter.MessageBox("ok?", "提示", os::MB_OK), os::IDCANCEL);
    EXPECT_EQ(prompter.OpenFile({.title = "选择要发送的文件"}), std::nullopt);
    EXPECT_EQ(prompter.SaveFile({}), std::nullopt);
    EXPECT_EQ(prompter.ChooseFont({}), std::nullopt);

    ASSERT_EQ(reported.size(), 5u);
    EXPECT_EQ(reported[0].kind, PromptKind::MessageBox);
    EXPECT_GBK_EQ(reported[0].text, "确定退出？");
    EXPECT_FALSE(reported[0].answered);
    EXPECT_EQ(reported[2].kind, PromptKind::OpenFile);
    EXPECT_GBK_EQ(reported[2].caption, "选择要发送的文件");
    EXPECT_EQ(prompter.Unanswered().size(), 5u);
    EXPECT_EQ(prompter.Records().size(), 5u);
    EXPECT_EQ(prompter.Remaining(), 1u);  // the input answer was never asked for
}

TEST(ScriptedPrompterUnanswered, DefaultHandlerSaysSoOnStderr) {
    ScriptedPrompter prompter;
    testing::internal::CaptureStderr();
    prompter.MessageBox("没有人回答", "提示", os::MB_OKCANCEL);
    std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("no answer queued for message box"), std::string::npos) << said;
    EXPECT_NE(said.find(os::GbkToUtf8Lossy("没有人回答")), std::string::npos) << said;
}

}  // namespace
