// The message view: red notices, queued notices from other threads, links.

#include "chat/chat_rich_view.h"

#include <gtest/gtest.h>

#include <thread>

#include "chat/encoding/markers.h"
#include "core/client_world.h"
#include "os/sys/clock.h"
#include "os/ui/window.h"
#include "support/gbk_print.h"
#include "support/temp_dir.h"

namespace chat_test {
namespace {

using chat::CChatRichView;

class ChatRichViewTest : public ::testing::Test {
  protected:
    ChatRichViewTest() : world({commonDir.str(), appDir.str()}), owner(world.windows()) {
        EXPECT_TRUE(owner.Create({}));
        view = owner.AddControl(std::make_unique<CChatRichView>(
            7, chat::ViewKind::ReadOnly, world.clock(), appDir.str(), commonDir.str() + "temp/"));
    }

    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    core::TestClientWorld world;
    os::Window owner;
    CChatRichView* view = nullptr;
};

TEST_F(ChatRichViewTest, RedNoticesAreRedAndOptionallyFramed) {
    view->AddRedNotice("出错了");
    const std::string sep(chat::kSeparatorLine);
    view->AddRedNotice("再次", chat::NoticeFrame::Separated);
    EXPECT_GBK_EQ(view->GetText(), "\r\n出错了\r\n\r\n" + sep + "\r\n再次\r\n" + sep + "\r\n");
    EXPECT_EQ(view->GetCharFormatAt(2).color, os::Rgb(255, 0, 0));
    EXPECT_EQ(view->scrolledToLine(), view->GetLineCount() - 1);
    EXPECT_EQ(view->GetSel().start, view->GetTextLength());
}

TEST_F(ChatRichViewTest, NoticesQueuedBeforeAttachingWaitForTheWindow) {
    view->QueueNotice("早");
    EXPECT_EQ(view->GetText(), "");
    view->AttachTo(world.windows(), owner.hwnd());
    EXPECT_GBK_EQ(view->GetText(), "早\r\n");
    EXPECT_EQ(view->PendingNoticeCount(), 0u);
}

TEST_F(ChatRichViewTest, NoticesFromOtherThreadsAreAppendedInOrderOnTheWindowsThread) {
    view->AttachTo(world.windows(), owner.hwnd());
    std::thread first([&] {
        for (int i = 0; i < 50; ++i) view->QueueNotice("a" + std::to_string(i));
    });
    std::thread second([&] {
        for (int i = 0; i < 50; ++i) view->QueueNotice("b" + std::to_string(i));
    });
    first.join();
    second.join();
    EXPECT_EQ(view->GetText(), "") << "nothing is drawn off the window's thread";
    world.windows().PumpPending();

    const std::string text = view->GetText();
    EXPECT_EQ(view->PendingNoticeCount(), 0u);
    std::size_t lastA = 0;
    std::size_t lastB = 0;
    for (int i = 0; i < 50; ++i) {
        const std::size_t a = text.find("a" + std::to_string(i) + "\r\n");
        const std::size_t b = text.find("b" + std::to_string(i) + "\r\n");
        ASSERT_NE(a, std::string::npos);
        ASSERT_NE(b, std::string::npos);
        EXPECT_GE(a, lastA);
        EXPECT_GE(b, lastB);
        lastA = a;
        lastB = b;
    }
    EXPECT_FALSE(view->selectionHidden()) << "the selection shows again after appending";
}

TEST_F(ChatRichViewTest, LinkClicksReachTheOwnerWithTextAndTarget) {
    std::vector<std::pair<std::string, std::string>> clicks;
    view->SetLinkHandler([&](const std::string& text, const std::string& target) {
        clicks.emplace_back(text, target);
    });
    view->AppendEncoded("看 http://a.example/x 和 <a href='http://b.example/?p=1&q=2'>这里</a>");
    view->AppendEncoded("点击这里");
    const int start = view->GetTextLength() - 4;
    view->MarkLink(start, start + 4, "");

    const std::string text = view->GetText();
    for (const char* part : {"http://a", "这里", "点击这里"}) {
        const int at = view->PositionFromByteOffset(
            std::string(part) == "点击这里" ? text.rfind(part) : text.find(part));
        EXPECT_TRUE(view->ClickAt(at));
        view->OnLinkNotification(at);
    }
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0], (std::pair<std::string, std::string>{"http://a.example/x", ""}));
    EXPECT_GBK_EQ(clicks[1].first, "这里");
    EXPECT_EQ(clicks[1].second, "http://b.example/?p=1&q=2");
    EXPECT_GBK_EQ(clicks[2].first, "点击这里");
    EXPECT_FALSE(view->ClickAt(0)) << "plain text is no link";
}

}  // namespace
}  // namespace chat_test
