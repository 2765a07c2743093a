// The user's own settings and common phrases in the client as it ships: loaded at login from
// that user's folder, the chat font chosen in one window used by every window and the next
// login, the phrases offered by the chat window's "常用语".

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/phrase_picker.h"
#include "core/doors.h"
#include "core/doors/settings_service.h"
#include "core/user_folder.h"
#include "os/sys/file_ops.h"
#include "os/sys/ini_file.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

class UserSettingsEndToEndTest : public SubsystemsTest {
  protected:
    std::string FolderOf(const char* account) {
        return core::UserFolder(commonDir.str(), account).value();
    }
    // Puts `content` into the file `name` of the account's folder before it logs in.
    void WriteUserFile(const char* account, const char* name, std::string_view content) {
        ASSERT_TRUE(os::CreateDirectories(FolderOf(account)));
        ASSERT_TRUE(os::WriteFileAtomically(FolderOf(account) + name, content));
    }
    // What the server still sends goes through the pump first: a pump blocked in a send to
    // the UI thread would wait for it while it stops the pump.
    void LogOut() {
        const platform::SimSessionCore& session = world.simSession();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return session.QueuedCount() == 0 && session.IssuedCount() == 0;
        }));
        manager->UserLogout();
    }
    // After a log-out: logs in again from the login panel, as `account`.
    void LogInAgainAs(const char* account) {
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        const auto panel = manager->LoginPanel().value();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kAccountId, account)) << driver.LastError();
        ASSERT_TRUE(driver.TypeText(panel, CDlgLogin::kPasswordId, "pw")) << driver.LastError();
        ASSERT_TRUE(driver.Click(panel, CDlgLogin::kLoginButtonId)) << driver.LastError();
        ASSERT_TRUE(PumpUntil(world.windows(), [&] {
            return world.windows().IsWindowVisible(manager->MainPanel());
        }));
    }
    CDlgChat* OpenChat(const std::string& jid) {
        auto* chat = dynamic_cast<CDlgChat*>(manager->OpenChatWindow(jid));
        EXPECT_NE(chat, nullptr) << jid;
        return chat;
    }
    const config::UserSettings& Settings() { return context.doors().settings->Settings(); }
};

TEST_F(UserSettingsEndToEndTest, AFontChosenInOneChatWindowIsUsedByEveryWindowAndTheNextLogin) {
    const std::string carol =
        world.server().AddAccount({.loginName = "carol", .password = "pw", .nickname = "Carol"});
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());

    CDlgChat* first = OpenChat(bob);
    ASSERT_NE(first, nullptr);
    os::FontChoice font;
    font.faceName = "黑体";
    font.height = 12 * 20;
    font.bold = true;
    font.color = os::Rgb(0, 0, 255);
    world.prompter().AnswerFont(font);
    ASSERT_TRUE(driver.Click(first->hwnd().value(), chat::control::kFont)) << driver.LastError();
    const std::string header = Settings().MessageFont;
    ASSERT_TRUE(header.starts_with("FONT(黑体,")) << testing_support::DisplayGbk(header);

    // Another window takes the user's font, and what it sends carries it.
    CDlgChat* second = OpenChat(carol);
    ASSERT_NE(second, nullptr);
    EXPECT_GBK_EQ(second->input().GetSelectionCharFormat().faceName, "黑体");
    EXPECT_TRUE(second->input().GetSelectionCharFormat().Has(os::char_effect::kBold));
    EXPECT_GBK_EQ(os::GetProfileString(FolderOf("me") + "user.ini", "Common", "MessageFont", ""),
                  header);

    // The next login reads it back from the user's file.
    ASSERT_NO_FATAL_FAILURE(LogOut());
    driver.Pump();
    EXPECT_TRUE(Settings().MessageFont.empty()) << "forgotten at log-out";
    ASSERT_NO_FATAL_FAILURE(LogInAgainAs("me"));
    EXPECT_GBK_EQ(Settings().MessageFont, header);
    CDlgChat* again = OpenChat(bob);
    ASSERT_NE(again, nullptr);
    EXPECT_GBK_EQ(again->input().GetSelectionCharFormat().faceName, "黑体");
}

TEST_F(UserSettingsEndToEndTest, EachLoginLoadsTheSettingsOfTheUserWhoLoggedIn) {
    ASSERT_NO_FATAL_FAILURE(WriteUserFile("me", "user.ini",
                                          "[Common]\r\nCountOfMsgRecordPerPage=50\r\n"
                                          "MessageFont=宋体\r\n[Hide Tabs]\r\nCount=1\r\n"
                                          "Tab1=新闻\r\n"));
    ASSERT_NO_FATAL_FAILURE(
        WriteUserFile("bob", "user.ini", "[Common]\r\nCountOfMsgRecordPerPage=20\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    EXPECT_EQ(Settings().CountOfMsgRecordPerPage, 50);
    EXPECT_EQ(Settings().hiddenTabs, std::vector<std::string>{"新闻"});
    EXPECT_TRUE(Settings().MessageFont.empty()) << "a bare font name is no font header";
    EXPECT_GBK_EQ(Settings().FileTransferFolder, FolderOf("me") + "File");

    ASSERT_NO_FATAL_FAILURE(LogOut());
    ASSERT_NO_FATAL_FAILURE(LogInAgainAs("bob"));
    EXPECT_EQ(Settings().CountOfMsgRecordPerPage, 20);
    EXPECT_TRUE(Settings().hiddenTabs.empty());
    EXPECT_GBK_EQ(Settings().VcardPictureFolder, FolderOf("bob") + "VCard");
}

TEST_F(UserSettingsEndToEndTest, ThePhraseButtonInsertsAPhraseOfTheUsersOwnList) {
    ASSERT_NO_FATAL_FAILURE(WriteUserFile("me", "CUWords.dat", "马上到\n稍等片刻\n"));
    ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
    CDlgChat* chat = OpenChat(bob);
    ASSERT_NE(chat, nullptr);
    qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
    ASSERT_TRUE(driver.Click(chat->hwnd().value(), chat::control::kPhrase)) << driver.LastError();
    ASSERT_TRUE(chat->PhrasePickerWindow());
    const auto picker = chat->PhrasePickerWindow().value();
    ASSERT_TRUE(driver.DoubleClickListRow(picker, chat::PhrasePicker::kPhraseList, 1))
        << driver.LastError();
    EXPECT_GBK_EQ(chat->input().GetText(), "稍等片刻");
    EXPECT_FALSE(world.windows().IsWindowVisible(chat->PhrasePickerWindow()));
}

}  // namespace
}  // namespace host_api_test
