// The phrase page of the settings dialog on the logged-in user's phrases, through the user
// settings that the client plugs in: every change reaches the user's phrase file.

#include "host_api/phrase_page.h"

#include <gtest/gtest.h>

#include "core/user_folder.h"
#include "os/controls/list_control.h"
#include "os/sys/file_ops.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

class PhrasePageTest : public SubsystemsTest {
  protected:
    void SetUp() override {
        const std::string folder = core::UserFolder(commonDir.str(), "me").value();
        ASSERT_TRUE(os::CreateDirectories(folder));
        phraseFile = folder + "CUWords.dat";
        ASSERT_TRUE(os::WriteFileAtomically(phraseFile, "一\n二\n三\n"));
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        page = std::make_unique<CPhrasePage>(context);
        ASSERT_TRUE(page->Create({}, os::Rect::FromSize(0, 0, 400, 300)));
        window = page->hwnd().value();
    }
    void TearDown() override { page.reset(); }

    std::string PhraseFile() {
        std::string bytes;
        os::ReadFile(phraseFile, bytes);
        return bytes;
    }
    std::vector<std::string> Rows() {
        std::vector<std::string> rows;
        const auto* list = page->GetControl<os::ListControl>(CPhrasePage::kList);
        for (int i = 0; i < list->GetItemCount(); ++i) {
            rows.push_back(list->GetItemText(i, 0) + ":" + list->GetItemText(i, 1));
        }
        return rows;
    }

    std::string phraseFile;
    std::unique_ptr<CPhrasePage> page;
    std::uint32_t window = 0;
    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
};

TEST_F(PhrasePageTest, AddingAndMovingPhrasesRewritesTheUsersFile) {
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1:一", "2:二", "3:三"}));
    world.prompter().AnswerInput("四");
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kAdd)) << driver.LastError();
    EXPECT_EQ(PhraseFile(), "一\n二\n三\n四\n");

    ASSERT_TRUE(driver.SelectListRow(window, CPhrasePage::kList, 0)) << driver.LastError();
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kMoveDown)) << driver.LastError();
    EXPECT_EQ(PhraseFile(), "二\n一\n三\n四\n");
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kDelete)) << driver.LastError();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"1:二", "2:三", "3:四"}));
    EXPECT_EQ(PhraseFile(), "二\n三\n四\n");
}

TEST_F(PhrasePageTest, RefusalsAreTold) {
    world.prompter().AnswerInput(std::string(51 * 2, 'a'));
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kAdd)) << driver.LastError();
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kMoveUp)) << driver.LastError();
    const auto prompts = world.prompter().Records();
    ASSERT_GE(prompts.size(), 3u);
    EXPECT_GBK_EQ(prompts[prompts.size() - 2].text,
                  std::string(102, 'a') + "(一条常用语最多50个汉字)");
    EXPECT_GBK_EQ(prompts.back().text, "请先选择一条数据再执行此操作");
    EXPECT_EQ(PhraseFile(), "一\n二\n三\n");
}

TEST_F(PhrasePageTest, ImportKeepsOrReplacesTheListAndExportWritesIt) {
    const std::string import = commonDir.str() + "import.txt";
    ASSERT_TRUE(os::WriteFileAtomically(import, "二\n五\n"));
    world.prompter().AnswerMessageBox(os::IDYES);
    world.prompter().AnswerOpenFile(import);
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kImport)) << driver.LastError();
    EXPECT_EQ(PhraseFile(), "一\n二\n三\n五\n");
    EXPECT_GBK_EQ(world.prompter().Records().back().text,
                  "文件中 1 条常用语已经存在于列表中，未予导入");

    world.prompter().AnswerMessageBox(os::IDNO);
    world.prompter().AnswerOpenFile(import);
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kImport)) << driver.LastError();
    EXPECT_EQ(PhraseFile(), "二\n五\n");

    const std::string exported = commonDir.str() + "out.txt";
    world.prompter().AnswerSaveFile(exported);
    world.prompter().AnswerMessageBox(os::IDOK);
    ASSERT_TRUE(driver.Click(window, CPhrasePage::kExport)) << driver.LastError();
    EXPECT_GBK_EQ(world.prompter().Records().back().text, "导出常用语成功");
    std::string bytes;
    ASSERT_TRUE(os::ReadFile(exported, bytes));
    EXPECT_EQ(bytes, "二\n五\n");
}

}  // namespace
}  // namespace host_api_test
