// How received chat text looks in a chat window of the real client: the font a message comes
// with, and the faces it carries.

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
#include "chat/dlg_face_picker.h"
#include "chat/encoding/face_table.h"
#include "subsystems_fixture.h"
#include "support/gbk_print.h"

namespace host_api_test {
namespace {

class ChatTextEndToEndTest : public SubsystemsTest {
  protected:
    // Logs in, lets Bob come online and opens the chat with him from the export.
    CDlgChat* OpenChatWithBob() {
        if (!StartAndOpen()) return nullptr;
        return dynamic_cast<CDlgChat*>(manager->FindChatWindow(bob, platform::JidMatch::Loose));
    }

    testing::AssertionResult StartAndOpen() {
        StartLoggedIn();
        if (HasFatalFailure()) return testing::AssertionFailure() << "no login";
        remote = Remote("bob");
        if (!PumpUntil(world.windows(), [&] { return bobInTree->presence() == "online"; }))
            return testing::AssertionFailure() << "Bob never came online";
        if (manager->OpenChatWindow(bob) == nullptr)
            return testing::AssertionFailure() << "no chat window";
        return testing::AssertionSuccess();
    }

    // The run of the view that holds `text`.
    std::optional<qorvdesk::automation::RichRun> RunHolding(CDlgChat& chat,
                                                            const std::string& text) {
        qorvdesk::automation::Driver driver(world.windows(), &world.prompter());
        auto view = driver.ReadRichText(chat.hwnd().value(), chat::control::kView);
        if (!view) return std::nullopt;
        for (const auto& run : view->runs)
            if (run.text.find(text) != std::string::npos) return run;
        return std::nullopt;
    }
};

TEST_F(ChatTextEndToEndTest, AMessageWithoutAFontHeaderIsShownInTheDefaultFont) {
    CDlgChat* chat = OpenChatWithBob();
    ASSERT_NE(chat, nullptr);
    ASSERT_EQ(remote->SendChatMessage(me, "没有字体", ""), 1);
    ASSERT_TRUE(
        PumpUntil(world.windows(), [&] { return RunHolding(*chat, "没有字体").has_value(); }));

    const auto run = RunHolding(*chat, "没有字体");
    EXPECT_GBK_EQ(run->faceName, "宋体");
    EXPECT_EQ(run->heightTwips, 180);
    EXPECT_EQ(run->color, 0u);  // black, not the grey of the speaker line above it
    const auto speaker = RunHolding(*chat, " 说 ");
    ASSERT_TRUE(speaker.has_value());
    EXPECT_EQ(speaker->color, 0x808080u);
}

TEST_F(ChatTextEndToEndTest, TheFaceButtonOpensThePickerAndTheChosenFaceIsSent) {
    CDlgChat* chat = OpenChatWithBob();
    ASSERT_NE(chat, nullptr);
    const auto window = chat->hwnd().value();
    namespace automation = qorvdesk::automation;
    automation::Driver driver(world.windows(), &world.prompter());

    std::vector<std::string> names;
    int columns = 0;
    ASSERT_TRUE(driver.QueueAnswer(automation::PromptAnswer::Dialog(
        automation::result::kCancel, [&](automation::Driver& d, automation::WindowHandle shown) {
            for (const auto& control : d.Controls(shown)) names.push_back(control.text);
            const automation::Rect rect = d.Describe(shown)->rect;
            columns = (rect.right - rect.left) / (chat::CDlgFacePicker::kFaceImagePixels + 6);
            EXPECT_TRUE(d.Click(shown, chat::CDlgFacePicker::kFirstFaceButton + 14))
                << d.LastError();
        })));
    ASSERT_TRUE(driver.Click(window, chat::control::kFace)) << driver.LastError();

    ASSERT_EQ(names.size(), 80u);
    EXPECT_GBK_EQ(names[0], "惊讶");
    EXPECT_GBK_EQ(names[14], "微笑");
    EXPECT_GBK_EQ(names[79], "胜利");
    EXPECT_EQ(columns, 9);  // floor(sqrt(80)) + 1
    const auto input = driver.ReadRichText(window, chat::control::kInput);
    ASSERT_TRUE(input.has_value());
    ASSERT_EQ(input->objects.size(), 1u);
    EXPECT_EQ(input->objects[0].kind, automation::ObjectKind::Face);
    EXPECT_EQ(input->objects[0].userValue, 14u);

    ASSERT_TRUE(driver.Click(window, chat::control::kSend)) << driver.LastError();
    driver.Pump();
    bool sent = false;
    while (platform::NotifyRecord* record = remote->GetNotify()) {
        if (const auto* message = record->As<platform::MessageData>())
            sent = sent || message->content == "#(14)#";
        remote->FreeNotify(record);
    }
    EXPECT_TRUE(sent);
}

TEST_F(ChatTextEndToEndTest, ClosingTheFacePickerInsertsNothing) {
    CDlgChat* chat = OpenChatWithBob();
    ASSERT_NE(chat, nullptr);
    const auto window = chat->hwnd().value();
    namespace automation = qorvdesk::automation;
    automation::Driver driver(world.windows(), &world.prompter());
    ASSERT_TRUE(driver.QueueAnswer(automation::PromptAnswer::Dialog(automation::result::kCancel)));
    ASSERT_TRUE(driver.Click(window, chat::control::kFace)) << driver.LastError();
    const auto input = driver.ReadRichText(window, chat::control::kInput);
    ASSERT_TRUE(input.has_value());
    EXPECT_TRUE(input->objects.empty());
    EXPECT_EQ(driver.Prompts().size(), 1u);
}

}  // namespace
}  // namespace host_api_test
