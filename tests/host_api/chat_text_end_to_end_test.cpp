// How received chat text looks in a chat window of the real client: the font a message comes
// with, and the faces it carries.

#include <gtest/gtest.h>

#include "chat/chat_controls.h"
#include "chat/dlg_chat.h"
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
        if (!PumpUntil(world.windows(), [&] { return bobInTree->presence == "online"; }))
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

}  // namespace
}  // namespace host_api_test
