// The message view of the real client: links in received messages and what clicking them
// does (the form posted to the deployment's own pages, a foreign address opened without the
// user's login, a received program run only after the safety question), the context menu,
// and a bitmap pasted into the input box as a JPEG picture.

#include <gtest/gtest.h>

#include <filesystem>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/encoding/input_encoder.h"
#include "core/user_folder.h"
#include "os/prompt/message_box.h"
#include "os/services/clipboard.h"
#include "os/services/recording_shell.h"
#include "os/sys/file_ops.h"
#include "platform/services/picture_codec.h"
#include "platform/session/sim_file_transfers.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "web/browser_form_poster.h"

namespace host_api_test {
namespace {

namespace fs = std::filesystem;
using Command = chat::ViewMenuCommand;

class MessageDisplayTest : public SubsystemsTest {
  protected:
    void OpenChatWithBob() {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        remote = Remote("bob");
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
        chat = dynamic_cast<CDlgChat*>(manager->OpenChatWindow(bob));
        ASSERT_NE(chat, nullptr);
        window = chat->hwnd().value();
    }

    std::string View() {
        const auto text = driver.ReadRichText(window, chat::control::kView);
        return text ? text->plainText : std::string();
    }
    ::testing::AssertionResult ViewShows(const std::string& part) {
        if (PumpUntil(world.windows(), [&] { return View().find(part) != std::string::npos; })) {
            return ::testing::AssertionSuccess();
        }
        return ::testing::AssertionFailure()
               << "the view never showed " << testing_support::DisplayGbk(part);
    }
    // The links of the view, in order: (text, target).
    std::vector<std::pair<std::string, std::string>> Links() {
        std::vector<std::pair<std::string, std::string>> links;
        const auto text = driver.ReadRichText(window, chat::control::kView);
        if (!text) return links;
        for (const auto& run : text->runs) {
            if (run.link) links.emplace_back(run.text, run.linkTarget);
        }
        return links;
    }

    // The form of the page the poster wrote last, read back.
    std::string LastPage() {
        const std::string& path = subsystems->webService().poster().lastPage();
        std::string bytes;
        EXPECT_TRUE(os::ReadFile(path, bytes)) << path;
        return bytes;
    }

    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
    CDlgChat* chat = nullptr;
    qorvdesk::automation::WindowHandle window{};
};

TEST_F(MessageDisplayTest, AnAnchorToTheServersOwnPagePostsTheLoginQueryWithItsSecondParameter) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    // The deployment's single-sign-on service (the configuration is read at start).
    context.config.SSOUrl = "http://oa.example.invalid/sso/login";
    ASSERT_EQ(remote->SendChatMessage(
                  me, "请看<a href=\"http://oa.example.invalid/page.jsp?a=1&b=2\">办公</a>。", ""),
              1);
    ASSERT_TRUE(ViewShows("请看办公。"));
    const auto links = Links();
    ASSERT_EQ(links.size(), 1u);
    EXPECT_GBK_EQ(links[0].first, "办公");
    EXPECT_EQ(links[0].second, "http://oa.example.invalid/page.jsp?a=1&b=2");

    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "办公")) << driver.LastError();

    const std::string page = LastPage();
    EXPECT_NE(page.find("action=\"http://oa.example.invalid/page.jsp?a=1\""), std::string::npos)
        << page;
    const std::string account = world.simSession().GetCurrentUserLimitName();
    EXPECT_NE(page.find("name=\"username\" value=\"" + account + "\""), std::string::npos);
    EXPECT_NE(page.find("name=\"password\" value=\"pw\""), std::string::npos);
    EXPECT_NE(page.find("name=\"b\" value=\"2\""), std::string::npos);
    const auto requests = world.shell().Requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().file, subsystems->webService().poster().lastPage());
}

TEST_F(MessageDisplayTest, TwoAddressesInOneMessageAreTwoLinksAndAForeignOneOpensWithoutTheLogin) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    ASSERT_EQ(remote->SendChatMessage(
                  me, "看 http://a.example.invalid/x?u=1&v=2 和 www.b.example.invalid 吧", ""),
              1);
    ASSERT_TRUE(ViewShows("www.b.example.invalid 吧"));
    const auto links = Links();
    ASSERT_EQ(links.size(), 2u);
    EXPECT_EQ(links[0].first, "http://a.example.invalid/x?u=1&v=2");
    EXPECT_EQ(links[1].first, "www.b.example.invalid");

    const std::size_t before = world.shell().RequestCount();
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, links[0].first));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, links[1].first));
    const auto requests = world.shell().Requests();
    ASSERT_EQ(requests.size(), before + 2);
    EXPECT_EQ(requests[before].file, "http://a.example.invalid/x?u=1&v=2");
    EXPECT_EQ(requests[before + 1].file, "http://www.b.example.invalid");
    EXPECT_TRUE(subsystems->webService().poster().lastPage().empty());  // no form was written
}

TEST_F(MessageDisplayTest, AnAnchorToALocalFileOrScriptOpensNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    ASSERT_EQ(remote->SendChatMessage(me,
                                      "<a href=file:///etc/passwd>一</a> <a "
                                      "href='javascript:alert(1)'>二</a>",
                                      ""),
              1);
    ASSERT_TRUE(ViewShows("一 二"));
    const std::size_t before = world.shell().RequestCount();
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "一"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "二"));
    EXPECT_EQ(world.shell().RequestCount(), before);
}

TEST_F(MessageDisplayTest, OpeningAReceivedProgramAsksFirstAndNoOpensNothing) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    testing_support::TempDir files;
    const fs::path sent = files.path() / "setup.exe";
    testing_support::Put(sent, "MZ program");
    ASSERT_EQ(world.server().OfferFileNamed(*remote, me, sent.string(),
                                            "0123456789ABCDEF0123456789ABCDEF", "setup.exe"),
              1);
    ASSERT_TRUE(ViewShows("要发送文件 setup.exe"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
    ASSERT_TRUE(ViewShows("开始接收文件 setup.exe ..."));
    ASSERT_TRUE(driver.AdvanceClock(platform::SimFileTransfers::kChunkIntervalMs));
    driver.Pump();
    ASSERT_TRUE(ViewShows("接收文件 setup.exe 成功"));
    const std::string account = world.simSession().GetCurrentUserLimitName();
    const std::string received =
        (fs::path(core::UserFolder(commonDir.str(), account).value_or("")) / "File" / "setup.exe")
            .string();

    const std::size_t before = world.shell().RequestCount();
    world.prompter().AnswerMessageBox(os::IDNO);
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "打开"));
    const auto boxes = world.prompter().RecordsOf(os::PromptKind::MessageBox);
    ASSERT_FALSE(boxes.empty());
    EXPECT_GBK_EQ(boxes.back().text,
                  "文件 " + received + " 可能包含不安全的因素，确信要运行该程序吗？");
    EXPECT_GBK_EQ(boxes.back().caption, "安全提示");
    EXPECT_EQ(boxes.back().style & 0xF, os::MB_YESNO);
    EXPECT_EQ(world.shell().RequestCount(), before);

    world.prompter().AnswerMessageBox(os::IDYES);
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "打开"));
    ASSERT_EQ(world.shell().RequestCount(), before + 1);
    EXPECT_EQ(world.shell().Requests().back().file, received);

    // "浏览" opens its folder without a question.
    const std::size_t questions = world.prompter().RecordsOf(os::PromptKind::MessageBox).size();
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "浏览"));
    EXPECT_EQ(world.shell().Requests().back().file,
              received.substr(0, received.find_last_of('/') + 1));
    EXPECT_EQ(world.prompter().RecordsOf(os::PromptKind::MessageBox).size(), questions);
}

// A small picture with distinct corners, as a 24-bit Windows bitmap.
std::vector<std::uint8_t> CornerBitmap(int width, int height) {
    platform::RgbPicture picture;
    picture.width = width;
    picture.height = height;
    picture.rgb.assign(static_cast<std::size_t>(width) * height * 3, 255);
    picture.rgb[0] = 0;  // top left: cyan-ish
    return platform::EncodeBmp(picture);
}

TEST_F(MessageDisplayTest, ABitmapPastedIntoTheInputBoxIsAJpegPictureThatTheSendEncodes) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    world.clock().Advance(123456);
    os::Clipboard clipboard;
    clipboard.SetBitmap({"image/bmp", CornerBitmap(40, 30)});
    chat::CChatRichView& input = chat->input();
    ASSERT_TRUE(
        input.RunMenuCommand(Command::Paste, clipboard, world.prompter(), chat->hwnd(), false));

    const auto text = driver.ReadRichText(window, chat::control::kInput);
    ASSERT_TRUE(text.has_value());
    ASSERT_EQ(text->objects.size(), 1u);
    const auto& object = text->objects[0];
    EXPECT_EQ(object.kind, qorvdesk::automation::ObjectKind::Picture);
    EXPECT_GE(object.userValue, 123456u);
    ASSERT_EQ(object.name.size(), 36u);
    EXPECT_TRUE(object.name.ends_with(".jpg"));

    std::string bytes;
    ASSERT_TRUE(os::ReadFile(commonDir.str() + "temp/" + object.name, bytes));
    const auto decoded =
        platform::DecodeJpeg({reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
    ASSERT_TRUE(decoded.has_value());
    EXPECT_EQ(decoded->width, 40);
    EXPECT_EQ(decoded->height, 30);

    std::vector<std::string> outgoing;
    EXPECT_EQ(chat::EncodeInputText(input, chat->pictures(), outgoing).body,
              "#(-2)#[" + object.name + "]");

    // Undo takes the picture out again.
    ASSERT_TRUE(
        input.RunMenuCommand(Command::Undo, clipboard, world.prompter(), chat->hwnd(), false));
    EXPECT_EQ(input.GetObjectCount(), 0);
}

TEST_F(MessageDisplayTest, ClipboardBytesThatAreNoPicturePutNothingIn) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    os::Clipboard clipboard;
    std::vector<std::uint8_t> broken = CornerBitmap(8, 8);
    broken.resize(60);  // the header says more pixels than there are
    clipboard.SetBitmap({"image/bmp", broken});
    EXPECT_FALSE(chat->input().Paste(clipboard));
    EXPECT_EQ(chat->input().GetObjectCount(), 0);
    EXPECT_FALSE(os::DirectoryExists(commonDir.str() + "temp/") &&
                 !os::ListDirectory(commonDir.str() + "temp/")->empty());
}

TEST_F(MessageDisplayTest, TheMessageViewsMenuCopiesAndSelectsButNeverPastes) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithBob());
    ASSERT_EQ(remote->SendChatMessage(me, "复制这段", ""), 1);
    ASSERT_TRUE(ViewShows("复制这段"));
    chat::CChatRichView& view = chat->view();
    os::Clipboard clipboard;
    clipboard.SetText("x");

    EXPECT_FALSE(view.RunMenuCommand(Command::Copy, clipboard, world.prompter(), chat->hwnd(),
                                     false));  // nothing selected
    EXPECT_FALSE(view.RunMenuCommand(Command::Paste, clipboard, world.prompter(), chat->hwnd(),
                                     false));  // not offered
    ASSERT_TRUE(
        view.RunMenuCommand(Command::SelectAll, clipboard, world.prompter(), chat->hwnd(), false));
    ASSERT_TRUE(
        view.RunMenuCommand(Command::Copy, clipboard, world.prompter(), chat->hwnd(), false));
    EXPECT_NE(clipboard.GetText().value_or("").find("复制这段"), std::string::npos);
    EXPECT_NE(View().find("复制这段"), std::string::npos);  // copying leaves the view as it was
}

}  // namespace
}  // namespace host_api_test
