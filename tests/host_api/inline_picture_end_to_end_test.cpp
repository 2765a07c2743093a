// Pictures of messages Bob sends: the view waits for each under a placeholder, takes Bob's
// offer of the file without a prompt into the pictures folder, puts the picture in the
// placeholder's place when it is complete and sends Bob the receipt.

#include <gtest/gtest.h>

#include <filesystem>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/encoding/markers.h"
#include "chat/transfer/chat_transfers.h"
#include "platform/session/sim_file_transfers.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace host_api_test {
namespace {

namespace fs = std::filesystem;
using Kind = qorvdesk::automation::ObjectKind;

class InlinePictureEndToEndTest : public SubsystemsTest {
  protected:
    void OpenChatWithOnlineBob() {
        ASSERT_NO_FATAL_FAILURE(StartLoggedIn());
        remote = Remote("bob");
        ASSERT_TRUE(PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }));
        ASSERT_TRUE(driver.ExpandTreeItem(manager->MainPanel().value(), 5001, groupNode));
        ASSERT_TRUE(driver.SelectTreeItem(manager->MainPanel().value(), 5001,
                                          tree->FindUserNode(groupNode, bob)));
        manager->CallUserChat();
        chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
        ASSERT_NE(chat, nullptr);
        window = chat->hwnd().value();
        while (platform::NotifyRecord* record = remote->GetNotify()) remote->FreeNotify(record);
    }

    std::vector<qorvdesk::automation::RichObjectInfo> Objects(
        qorvdesk::automation::ObjectKind kind) {
        std::vector<qorvdesk::automation::RichObjectInfo> found;
        const auto text = driver.ReadRichText(window, chat::control::kView);
        if (!text) return found;
        for (const auto& object : text->objects) {
            if (object.kind == kind) found.push_back(object);
        }
        return found;
    }

    // Takes Bob's records: the bodies of his messages are kept; true once the file started.
    bool BobSawTheStart() {
        bool started = false;
        while (platform::NotifyRecord* record = remote->GetNotify()) {
            if (const auto* message = record->As<platform::MessageData>()) {
                bobMessages.push_back(message->content);
            }
            if (record->type == platform::notify_type::kFileTransferStarted) started = true;
            remote->FreeNotify(record);
        }
        return started;
    }

    std::vector<std::string> bobMessages;

    qorvdesk::automation::Driver driver{world.windows(), &world.prompter()};
    testing_support::TempDir files;
    CDlgChat* chat = nullptr;
    qorvdesk::automation::WindowHandle window{};
};

TEST_F(InlinePictureEndToEndTest, APictureArrivesInItsPlaceholderAndBobGetsTheReceipt) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithOnlineBob());
    const std::string key = "89ABCDEF0123456789ABCDEF01234567";
    const std::string name = key + ".jpg";
    const fs::path picture = files.path() / name;
    testing_support::Put(picture, std::string(4000, 'p'));

    ASSERT_EQ(
        remote->SendChatMessage(me, "看#(-2)#[" + name + "]", std::string(chat::kDefaultHeader)),
        1);
    ASSERT_TRUE(
        PumpUntil(world.windows(), [&] { return Objects(Kind::PicturePlaceholder).size() == 1; }));
    EXPECT_TRUE(world.log().HasCaptured("等待接收自定义图片：" + bob + " " + name));

    // Bob's client sends the file right after the message: no prompt, straight into "temp/".
    ASSERT_EQ(remote->SendFile(me, picture.string(), key, 0), 1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return BobSawTheStart(); }));
    ASSERT_TRUE(driver.AdvanceClock(platform::SimFileTransfers::kChunkIntervalMs));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] { return Objects(Kind::Picture).size() == 1; }));
    const auto text = driver.ReadRichText(window, chat::control::kView);
    ASSERT_TRUE(text.has_value());
    EXPECT_EQ(text->plainText.find("要发送文件"), std::string::npos) << "no offer prompt";
    EXPECT_TRUE(Objects(Kind::PicturePlaceholder).empty());
    EXPECT_EQ(Objects(Kind::Picture)[0].name, name);
    EXPECT_TRUE(testing_support::Slurp(commonDir.path() / "temp" / name) ==
                testing_support::Slurp(picture));
    EXPECT_TRUE(world.log().HasCaptured("自定义图片接收完毕：" + bob + " " + name));
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        BobSawTheStart();
        return !bobMessages.empty();
    }));
    EXPECT_EQ(bobMessages, (std::vector<std::string>{"#*(-3)*#-" + name}));
    EXPECT_EQ(chat->transfers().Count(), 0);
}

TEST_F(InlinePictureEndToEndTest, AnOfferOfAFileNoMessageWaitsForIsAnOrdinaryOffer) {
    ASSERT_NO_FATAL_FAILURE(OpenChatWithOnlineBob());
    // A picture marker whose name leaves its folder is waited for by no one.
    ASSERT_EQ(remote->SendChatMessage(me, "#(-2)#[../x.jpg]", std::string(chat::kDefaultHeader)),
              1);
    const fs::path file = files.path() / "x.jpg";
    testing_support::Put(file, "not awaited");
    ASSERT_EQ(world.server().OfferFileNamed(*remote, me, file.string(),
                                            "0123456789ABCDEF0123456789ABCDEF", "../x.jpg"),
              1);
    ASSERT_TRUE(PumpUntil(world.windows(), [&] {
        const auto text = driver.ReadRichText(window, chat::control::kView);
        return text && text->plainText.find("要发送文件 x.jpg(") != std::string::npos;
    }));
    EXPECT_FALSE(fs::exists(commonDir.path() / "temp" / "x.jpg"));
    EXPECT_FALSE(fs::exists(commonDir.path() / "x.jpg"));
    EXPECT_EQ(chat->transfers().Count(), 1);
}

}  // namespace
}  // namespace host_api_test
