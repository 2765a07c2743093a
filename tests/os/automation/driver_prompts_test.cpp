// Prompts answered through the Driver's queue, modal dialogs driven by the Driver, and the
// record of every prompt the client made.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "support/gbk_print.h"
#include "test_dialog.h"

namespace automation_test {
namespace {

using ::testing::HasSubstr;
using ::testing::IsEmpty;
namespace automation = qorvdesk::automation;
using automation::PromptAnswer;

TEST_F(DriverTest, QueuedAnswerTakesTheMessageBoxTheClickRaises) {
    ASSERT_TRUE(
        driver.QueueAnswer(PromptAnswer::MessageBox(automation::result::kYes).WhenCaption("删除")));
    ASSERT_TRUE(driver.Click(window, id::kDelete));
    EXPECT_GBK_EQ(*driver.Text(window, id::kStatus), "已删除");
    EXPECT_EQ(driver.QueuedAnswers(), 0u);

    auto prompts = driver.Prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].kind, automation::PromptKind::MessageBox);
    EXPECT_EQ(prompts[0].owner, window);
    EXPECT_GBK_EQ(prompts[0].caption, "删除");
    EXPECT_GBK_EQ(prompts[0].text, "确定删除吗？");
    EXPECT_EQ(prompts[0].style, os::MB_YESNO);
    EXPECT_TRUE(prompts[0].answered);
    EXPECT_EQ(prompts[0].result, automation::result::kYes);
}

TEST_F(DriverTest, AnswerThatFitsNoButtonStaysQueuedAndThePromptIsUnanswered) {
    // An OK box answer cannot answer a Yes/No box, nor can one meant for another caption.
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::MessageBox(automation::result::kOk)));
    ASSERT_TRUE(
        driver.QueueAnswer(PromptAnswer::MessageBox(automation::result::kYes).WhenCaption("退出")));
    ASSERT_TRUE(driver.Click(window, id::kDelete));
    EXPECT_GBK_EQ(*driver.Text(window, id::kStatus), "就绪");
    EXPECT_EQ(driver.QueuedAnswers(), 2u);
    ASSERT_EQ(unanswered.size(), 1u);
    auto prompts = driver.Prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_FALSE(prompts[0].answered);
    EXPECT_EQ(prompts[0].result, automation::result::kCancel);
}

TEST_F(DriverTest, ModalDialogIsFilledInAndConfirmedThroughTheDriver) {
    bool ownerRefused = false;
    std::string ownerError;
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::Dialog(
        automation::result::kCancel, [&](automation::Driver& d, automation::WindowHandle shown) {
            // The owner is disabled while its modal dialog runs: no click reaches it.
            ownerRefused = !d.Click(window, id::kGreet) && !d.Close(window);
            ownerError = d.LastError();
            EXPECT_TRUE(d.TypeText(shown, id::kNewName, "新名字"));
            EXPECT_TRUE(d.Click(shown, os::IDOK));
        })));
    ASSERT_TRUE(driver.Click(window, id::kRename));

    EXPECT_TRUE(ownerRefused);
    EXPECT_THAT(ownerError, HasSubstr("is disabled"));
    EXPECT_EQ(dialog.renameResult, os::IDOK);  // its own OK ended it, not the answer's Cancel
    EXPECT_GBK_EQ(dialog.renamedTo, "新名字");
    EXPECT_THAT(dialog.events, ::testing::ElementsAre("clicked 107"));
    auto prompts = driver.Prompts();
    ASSERT_EQ(prompts.size(), 1u);
    EXPECT_EQ(prompts[0].kind, automation::PromptKind::Dialog);
    EXPECT_GBK_EQ(prompts[0].caption, "修改名称");
    EXPECT_EQ(prompts[0].result, automation::result::kOk);
    EXPECT_TRUE(driver.Click(window, id::kGreet));  // enabled again
}

TEST_F(DriverTest, PromptRaisedInsideAModalDialogIsAnsweredFromTheSameQueue) {
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::Dialog(
        automation::result::kCancel, [](automation::Driver& d, automation::WindowHandle shown) {
            d.Click(shown, os::IDOK);  // an empty name: the dialog complains and stays
        })));
    ASSERT_TRUE(driver.QueueAnswer(
        PromptAnswer::MessageBox(automation::result::kOk).WhenTextContains("不能为空")));
    ASSERT_TRUE(driver.Click(window, id::kRename));

    EXPECT_EQ(dialog.renameResult, os::IDCANCEL);
    EXPECT_EQ(dialog.renamedTo, "");
    auto prompts = driver.Prompts();
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[0].kind, automation::PromptKind::Dialog);
    EXPECT_EQ(prompts[1].kind, automation::PromptKind::MessageBox);
    EXPECT_TRUE(prompts[1].answered);
    EXPECT_THAT(unanswered, IsEmpty());
}

TEST_F(DriverTest, DialogAnswerOutlivesTheDriverThatQueuedIt) {
    {
        automation::Driver shortLived(system, &prompter);
        ASSERT_TRUE(shortLived.QueueAnswer(PromptAnswer::Dialog(
            automation::result::kCancel, [](automation::Driver& d, automation::WindowHandle shown) {
                d.TypeText(shown, id::kNewName, "后来");
                d.Click(shown, os::IDOK);
            })));
    }
    ASSERT_TRUE(driver.Click(window, id::kRename));
    EXPECT_GBK_EQ(dialog.renamedTo, "后来");
}

TEST_F(DriverTest, ChooserAndInputAnswersReachThePrompter) {
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::OpenFile("/tmp/a.txt")));
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::SaveFile(std::nullopt)));
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::Input("常用语").WhenCaption("添加")));
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::Input(std::nullopt)));
    automation::Font bold;
    bold.bold = true;
    bold.heightTwips = 240;
    ASSERT_TRUE(driver.QueueAnswer(PromptAnswer::ChooseFont(bold)));

    EXPECT_EQ(prompter.OpenFile({}), "/tmp/a.txt");
    EXPECT_EQ(prompter.SaveFile({}), std::nullopt);
    os::InputRequest other;
    other.caption = "其他";
    EXPECT_EQ(prompter.InputText(other), std::nullopt);  // the cancel, not the captioned one
    os::InputRequest add;
    add.caption = "添加";
    EXPECT_GBK_EQ(prompter.InputText(add).value_or("?"), "常用语");
    auto font = prompter.ChooseFont({});
    ASSERT_TRUE(font);
    EXPECT_TRUE(font->bold);
    EXPECT_EQ(font->height, 240);
    EXPECT_GBK_EQ(font->faceName, "宋体");

    std::vector<automation::PromptKind> kinds;
    for (const auto& p : driver.Prompts()) kinds.push_back(p.kind);
    using K = automation::PromptKind;
    EXPECT_EQ(kinds, (std::vector<K>{K::OpenFile, K::SaveFile, K::Input, K::Input, K::Font}));
    EXPECT_EQ(driver.Prompts()[3].value, "常用语");
    EXPECT_THAT(unanswered, IsEmpty());
}

TEST_F(DriverTest, WithoutAScriptedPrompterAnswersCannotBeQueued) {
    automation::Driver host(system);
    EXPECT_FALSE(host.QueueAnswer(PromptAnswer::MessageBox(automation::result::kOk)));
    EXPECT_THAT(host.LastError(), HasSubstr("answered by a person"));
    EXPECT_THAT(host.Prompts(), IsEmpty());
    EXPECT_EQ(host.QueuedAnswers(), 0u);
}

}  // namespace
}  // namespace automation_test
