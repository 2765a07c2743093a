// Offline files between the user's client and Bob on one embedded server, over real HTTP to
// the simulated world's file service on 127.0.0.1: an upload that ends in the "#(-3)#" notice
// Bob's session receives, a notice from Bob whose "接收" downloads the file, names from Bob that
// try to leave the download folder, notices of the wrong shape, and the switch of an offered
// file to the offline route from either side.

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/encoding/markers.h"
#include "chat/encoding/offline_notice.h"
#include "chat/transfer/chat_transfers.h"
#include "core/text_utilities.h"
#include "core/user_folder.h"
#include "os/controls/control.h"
#include "os/services/recording_shell.h"
#include "platform/offline/offline_file_lib.h"
#include "platform/session/sim_file_service.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/http/no_proxy.h"
#include "support/http/offline_file_server.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "support/wait_for.h"

namespace host_api_test {
namespace {

namespace fs = std::filesystem;
namespace nt = platform::notify_type;

class OfflineFileEndToEndTest : public SubsystemsTest {
  protected:
    // Logged in with the offline route configured, and the chat with Bob open from the
    // contact tree (Bob online when `bobOnline`).
    void OpenChat(bool bobOnline) {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        // After the start-up, which loads the configuration.
        context.config.OfflineUploadUrl = fileServer.Url() + "/up";
        context.config.OfflineDownLoadUrl = fileServer.Url() + "/down";
        context.config.EnableOfflineFileTrans = 1;
        if (bobOnline) {
            remote = Remote("bob");
            ASSERT_TRUE(
                PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
            BobHears();
        }
        ASSERT_TRUE(driver.ExpandTreeItem(manager->MainPanel().value(), 5001, groupNode));
        ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                          tree->FindUserNode(groupNode, bob)));
        manager->CallUserChat();
        chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
        ASSERT_NE(chat, nullptr);
        window = chat->hwnd().value();
    }

    struct Heard {
        std::vector<std::pair<std::uint32_t, platform::FileTransferData>> files;
        std::vector<platform::MessageData> messages;
    };
    // What Bob's session got since the last call.
    Heard BobHears() {
        Heard heard;
        while (platform::NotifyRecord* record = remote->GetNotify()) {
            if (const auto* data = record->As<platform::FileTransferData>()) {
                heard.files.emplace_back(record->type, *data);
            } else if (const auto* message = record->As<platform::MessageData>()) {
                heard.messages.push_back(*message);
            }
            remote->FreeNotify(record);
        }
        return heard;
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
               << "the view never showed " << testing_support::DisplayGbk(part) << " in "
               << testing_support::DisplayGbk(View());
    }

    // The user's download folder.
    fs::path DownloadFolder() const {
        const std::string account = world.simSession().GetCurrentUserLimitName();
        return fs::path(core::UserFolder(commonDir.str(), account).value_or("")) / "File";
    }

    // Bob's own client puts a file on the file server under `name`, over HTTP; its key.
    std::string BobUploads(const std::string& name, const std::string& bytes) {
        const fs::path source = files.path() / "bob-upload";
        testing_support::Put(source, bytes);
        platform::OfflineFileLib bobFiles(world.clock());
        std::atomic<int> ended{0};
        std::string serverKey;
        platform::OfflineTask task;
        task.key = "B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0B0";
        task.localPath = source.string();
        task.size = bytes.size();
        task.url = context.config.OfflineUploadUrl + "/" + core::UrlEncode(name);
        EXPECT_TRUE(bobFiles.AddOfflineFileTask(
            task, [&](platform::OfflineEvent event, const platform::OfflineTask& done) {
                if (event == platform::OfflineEvent::Started) return;
                serverKey = done.serverKey;
                ended = static_cast<int>(event);
            }));
        EXPECT_TRUE(testing_support::WaitFor([&] { return ended != 0; }, "Bob's upload"));
        EXPECT_EQ(ended, static_cast<int>(platform::OfflineEvent::Finished));
        return serverKey;
    }

    // Bob tells the user of a stored file, as his client does after an upload.
    void BobSendsNotice(const std::string& inner) {
        ASSERT_EQ(remote->SendChatMessage(me, "#(-3)#[" + inner + "]", ""), 1);
    }

    testing_support::NoProxy noProxy;
    testing_support::OfflineFileServer fileServer{world.server().FileService()};
    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
    testing_support::TempDir files;
    CDlgChat* chat = nullptr;
    qorvdesk::automation::WindowHandle window{};
};

TEST_F(OfflineFileEndToEndTest, AFileForAnOfflinePeerIsUploadedAndItsNoticeBringsTheSameBytes) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(false));
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes += "line " + std::to_string(i) + "\r\n";
    // The name is GBK inside the client and UTF-8 on the disk.
    testing_support::Put(files.path() / fs::path(u8"报告.txt"), bytes);

    world.prompter().AnswerOpenFile(files.str() + "报告.txt");
    ASSERT_TRUE(driver.Click(window, chat::control::kSendFile)) << driver.LastError();
    ASSERT_TRUE(ViewShows("对方不在线,你只能发送离线文件，报告.txt(" +
                          std::to_string(bytes.size()) + " 字节).您也可以取消文件传输"));
    // The transfer panel shows the file waiting for its upload.
    const os::Control* line = chat->FindControl(chat::control::kTransferLine);
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->visible());
    EXPECT_GBK_EQ(line->Text(), "报告.txt  大小:0/" + std::to_string(bytes.size() >> 10) +
                                    " KB  速度:离线文件发送等待中...  方式: 离线文件");
    EXPECT_TRUE(chat->FindControl(chat::control::kTransferBar)->visible());
    EXPECT_FALSE(chat->FindControl(chat::control::kTransferLine + 1)->visible());

    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "发送离线文件"))
        << driver.LastError();
    ASSERT_TRUE(ViewShows("文件 报告.txt 发送成功"));
    EXPECT_FALSE(line->visible()) << "the panel goes with the last transfer";
    EXPECT_EQ(View().find("对方不在线,你只能发送离线文件"), std::string::npos)
        << "the prompt line was replaced when the upload started";
    EXPECT_EQ(chat->transfers().Count(), 0);
    ASSERT_EQ(world.server().FileService().StoredCount(), 1u);

    // Bob logs in and finds the notice: name, size and the server's key, no font header.
    remote = Remote("bob");
    const Heard heard = BobHears();
    ASSERT_EQ(heard.messages.size(), 1u);
    EXPECT_EQ(heard.messages[0].font, "");
    const std::string& body = heard.messages[0].content;
    const std::string prefix = "#(-3)#[报告.txt|" + std::to_string(bytes.size()) + "|";
    ASSERT_EQ(body.rfind(prefix, 0), 0u) << testing_support::DisplayGbk(body);
    ASSERT_EQ(body.back(), ']');
    const std::string key = body.substr(prefix.size(), body.size() - prefix.size() - 1);
    EXPECT_EQ(key.size(), 32u);

    // Bob's client downloads it from the address the notice leads to.
    platform::OfflineFileLib bobFiles(world.clock());
    fs::create_directory(files.path() / "bob");
    std::atomic<int> ended{0};
    platform::OfflineTask download;
    download.key = key;
    download.direction = platform::OfflineDirection::Download;
    download.localPath = files.str() + "bob/报告.txt";
    download.size = bytes.size();
    download.url =
        context.config.OfflineDownLoadUrl + "/" + core::UrlEncode("报告.txt") + "?key=" + key;
    ASSERT_TRUE(bobFiles.AddOfflineFileTask(
        download, [&](platform::OfflineEvent event, const platform::OfflineTask&) {
            if (event != platform::OfflineEvent::Started) ended = static_cast<int>(event);
        }));
    ASSERT_TRUE(testing_support::WaitFor([&] { return ended != 0; }, "Bob's download"));
    EXPECT_EQ(ended, static_cast<int>(platform::OfflineEvent::Finished));
    EXPECT_TRUE(testing_support::Slurp(files.path() / "bob" / fs::path(u8"报告.txt")) == bytes);
}

TEST_F(OfflineFileEndToEndTest, ANoticeFromBobIsReceivedIntoTheDownloadFolderWithProgress) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(true));
    const std::string bytes(300000, 'x');
    const std::string key = BobUploads("plan.doc", bytes);
    ASSERT_EQ(key.size(), 32u);
    ASSERT_NO_FATAL_FAILURE(BobSendsNotice("plan.doc|300000|" + key));
    ASSERT_TRUE(
        ViewShows("以离线方式给您发送了文件 plan.doc(300000 字节), "
                  "您可以接收、另存、拒绝该文件"));
    EXPECT_NE(View().find("Bob于"), std::string::npos) << "the sender and the time lead it";
    EXPECT_EQ(chat->transfers().Count(), 1);

    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
    ASSERT_TRUE(ViewShows("开始接收文件 plan.doc ..."));
    ASSERT_TRUE(ViewShows("接收文件 plan.doc 成功"));
    EXPECT_TRUE(testing_support::Slurp(DownloadFolder() / "plan.doc") == bytes);
    // Only the file: its temporary name went with the rename.
    std::vector<std::string> entries;
    for (const auto& entry : fs::directory_iterator(DownloadFolder())) {
        entries.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(entries, (std::vector<std::string>{"plan.doc"}));
    EXPECT_EQ(chat->transfers().Count(), 0);

    // The received file opens from its link.
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "打开")) << driver.LastError();
    const std::vector<os::ShellRequest> opened = world.shell().Requests();
    ASSERT_FALSE(opened.empty());
    EXPECT_EQ(opened.back().file, (DownloadFolder() / "plan.doc").string());
}

TEST_F(OfflineFileEndToEndTest, HostileNamesInANoticeLandInsideTheFolderAndFollowNoLink) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(true));
    fs::create_directories(DownloadFolder());
    struct Case {
        const char* sent;
        const char* lands;
    };
    const Case cases[] = {
        {"..\\..\\evil.txt", "evil.txt"},     {"../../.bashrc", ".bashrc"}, {"/etc/x", "x"},
        {"C:\\Windows\\nul.txt", "_nul.txt"}, {" spaced. ", "spaced"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sent);
        const std::string bytes = std::string("from bob: ") + c.sent;
        const std::string key = BobUploads(c.sent, bytes);
        ASSERT_NO_FATAL_FAILURE(
            BobSendsNotice(std::string(c.sent) + "|" + std::to_string(bytes.size()) + "|" + key));
        ASSERT_TRUE(ViewShows(std::string("以离线方式给您发送了文件 ") + c.lands + "("));
        ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
        ASSERT_TRUE(ViewShows(std::string("接收文件 ") + c.lands + " 成功"));
        EXPECT_EQ(testing_support::Slurp(DownloadFolder() / c.lands), bytes);
    }
    EXPECT_FALSE(fs::exists(files.path() / ".bashrc"));
    EXPECT_FALSE(fs::exists(commonDir.path() / ".bashrc"));
    EXPECT_FALSE(fs::exists(commonDir.path() / "evil.txt"));

    // A link waiting under the name is no file to replace: asked, refused, target untouched.
    const fs::path outside = files.path() / "outside.txt";
    testing_support::Put(outside, "keep me");
    fs::create_symlink(outside, DownloadFolder() / "linked.txt");
    const std::string key = BobUploads("linked.txt", "from bob");
    ASSERT_NO_FATAL_FAILURE(BobSendsNotice("linked.txt|8|" + key));
    ASSERT_TRUE(ViewShows("以离线方式给您发送了文件 linked.txt(8 字节)"));
    world.prompter().AnswerMessageBox(os::IDYES);  // "已存在, 要覆盖吗"
    world.prompter().AnswerMessageBox(os::IDOK);   // "正在使用或者只读，覆盖失败"
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "接收")) << driver.LastError();
    driver.Pump();
    EXPECT_TRUE(fs::is_symlink(DownloadFolder() / "linked.txt"));
    EXPECT_EQ(testing_support::Slurp(outside), "keep me");
    EXPECT_EQ(View().find("接收文件 linked.txt 成功"), std::string::npos);
}

TEST_F(OfflineFileEndToEndTest, ANoticeWithoutExactlyFiveFieldsIsOnlyLogged) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(true));
    // The view adds the sender and the time: two fields become four, four become six.
    for (const char* inner :
         {"a.txt|20", "a.txt|20|0123ABCD|extra", "a.txt|twenty|0123ABCD", "a.txt|20|../key"}) {
        SCOPED_TRACE(inner);
        world.log().ClearCaptured();
        ASSERT_NO_FATAL_FAILURE(BobSendsNotice(inner));
        ASSERT_TRUE(PumpUntil(world.windows(),
                              [&] { return world.log().HasCaptured(chat::kBadOfflineNoticeLog); }));
        EXPECT_EQ(View().find("以离线方式给您发送了文件"), std::string::npos);
        EXPECT_EQ(chat->transfers().Count(), 0);
    }
}

TEST_F(OfflineFileEndToEndTest, AnOfferSwitchedToOfflineMidWayReachesBobAsANotice) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(true));
    const fs::path sent = files.path() / "slides.pdf";
    testing_support::Put(sent, std::string(4096, 's'));
    world.prompter().AnswerOpenFile(sent.string());
    ASSERT_TRUE(driver.Click(window, chat::control::kSendFile)) << driver.LastError();
    ASSERT_TRUE(
        ViewShows("等待对方回应文件传输请求( 文件:slides.pdf 大小:4 KB )...如果对方长时"
                  "未响应,您可以发送离线文件"));
    std::string offered;
    for (const auto& [type, data] : BobHears().files) {
        if (type == nt::kFileOffer) offered = data.key;
    }
    ASSERT_FALSE(offered.empty());

    // Bob has not answered: the user sends it offline instead.
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "发送离线文件"))
        << driver.LastError();
    ASSERT_TRUE(ViewShows("文件 slides.pdf 发送成功"));
    const Heard heard = BobHears();
    ASSERT_FALSE(heard.files.empty());
    EXPECT_EQ(heard.files[0].first, nt::kOfflineFileSwitch);
    EXPECT_EQ(heard.files[0].second.key, offered);
    ASSERT_EQ(heard.messages.size(), 1u);
    EXPECT_EQ(heard.messages[0].content.rfind("#(-3)#[slides.pdf|4096|", 0), 0u);
    // The online offer is over: accepting it now is refused.
    EXPECT_EQ(remote->RecvFile((files.path() / "late.pdf").string(), offered), 0);
}

TEST_F(OfflineFileEndToEndTest, BobSwitchingHisOfferToOfflineReplacesItsPromptLine) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(true));
    const fs::path sent = files.path() / "notes.txt";
    testing_support::Put(sent, "twelve bytes");
    const std::string key = "0123456789ABCDEF0123456789ABCDEF";
    ASSERT_EQ(remote->SendFile(me, sent.string(), key, 0), 1);
    ASSERT_TRUE(ViewShows("要发送文件 notes.txt(12 字节)给您"));
    ASSERT_EQ(remote->UseOfflineFileTrans(key), 1);
    ASSERT_TRUE(ViewShows("对方改用离线方式传输文件:notes.txt(12 字节)"));
    EXPECT_EQ(View().find("要发送文件 notes.txt"), std::string::npos) << "the offer line went";
    EXPECT_EQ(chat->transfers().Count(), 0);
}

TEST_F(OfflineFileEndToEndTest, AFileServerThatFailsEndsTheUploadWithoutANotice) {
    ASSERT_NO_FATAL_FAILURE(OpenChat(true));
    world.server().FileService().SetFailure(platform::SimFileService::Failure::ServerError);
    const fs::path sent = files.path() / "fails.txt";
    testing_support::Put(sent, "bytes");
    world.prompter().AnswerOpenFile(sent.string());
    ASSERT_TRUE(driver.Click(window, chat::control::kSendFile)) << driver.LastError();
    ASSERT_TRUE(ViewShows("等待对方回应文件传输请求( 文件:fails.txt"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "发送离线文件"))
        << driver.LastError();
    ASSERT_TRUE(ViewShows("文件 fails.txt 发送失败"));
    EXPECT_TRUE(BobHears().messages.empty());
    EXPECT_EQ(world.server().FileService().StoredCount(), 0u);
    EXPECT_EQ(chat->transfers().Count(), 0);

    // A server that cannot be reached at all says why.
    world.server().FileService().SetFailure(platform::SimFileService::Failure::None);
    context.config.OfflineUploadUrl = "http://127.0.0.1:1/up";
    world.prompter().AnswerOpenFile(sent.string());
    ASSERT_TRUE(driver.Click(window, chat::control::kSendFile)) << driver.LastError();
    // The first prompt was replaced when its upload started: this one is the second's.
    ASSERT_TRUE(ViewShows("等待对方回应文件传输请求( 文件:fails.txt"));
    ASSERT_TRUE(driver.ClickLink(window, chat::control::kView, "发送离线文件"))
        << driver.LastError();
    ASSERT_TRUE(ViewShows("文件fails.txt发送失败,由于网络原因"));
}

}  // namespace
}  // namespace host_api_test
