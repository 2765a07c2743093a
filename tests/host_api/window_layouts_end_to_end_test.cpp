// The windows a person sees first keep a layout the host only has to draw: every shown
// control of the login panel, the main panel and a chat window has a rectangle inside its
// window, no two overlap, and a new size lays them out again.

#include <gtest/gtest.h>

#include <sstream>

#include "chat/chat_controls.h"
#include "contacts/main_panel_trees.h"
#include "subsystems_fixture.h"

namespace host_api_test {
namespace {

namespace automation = qorvdesk::automation;

bool Overlap(const automation::Rect& a, const automation::Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

std::string Show(const automation::Rect& r) {
    std::ostringstream text;
    text << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
    return text.str();
}

// Every shown control: a rectangle of its own inside the window's client area.
::testing::AssertionResult LaidOut(automation::Driver& driver, automation::WindowHandle window,
                                   std::size_t atLeast) {
    const auto info = driver.Describe(window);
    if (!info) return ::testing::AssertionFailure() << "no window " << window;
    const int width = info->rect.right - info->rect.left;
    const int height = info->rect.bottom - info->rect.top;
    std::vector<automation::ControlInfo> shown;
    for (const automation::ControlInfo& control : driver.Controls(window)) {
        if (control.visible) shown.push_back(control);
    }
    if (shown.size() < atLeast)
        return ::testing::AssertionFailure() << shown.size() << " shown controls, expected more";
    for (const automation::ControlInfo& c : shown) {
        const automation::Rect& r = c.rect;
        if (r.right <= r.left || r.bottom <= r.top)
            return ::testing::AssertionFailure() << "control " << c.id << " has no rectangle";
        if (r.left < 0 || r.top < 0 || r.right > width || r.bottom > height)
            return ::testing::AssertionFailure()
                   << "control " << c.id << " at " << Show(r) << " leaves its " << width << "x"
                   << height << " window";
    }
    for (std::size_t i = 0; i < shown.size(); ++i) {
        for (std::size_t j = i + 1; j < shown.size(); ++j) {
            if (Overlap(shown[i].rect, shown[j].rect))
                return ::testing::AssertionFailure()
                       << "controls " << shown[i].id << " " << Show(shown[i].rect) << " and "
                       << shown[j].id << " " << Show(shown[j].rect) << " overlap";
        }
    }
    return ::testing::AssertionSuccess();
}

class WindowLayoutsTest : public SubsystemsTest {
  protected:
    automation::Driver driver{world.windows(), &world.prompter()};
};

TEST_F(WindowLayoutsTest, TheLoginPanelTheMainPanelAndAChatWindowAreLaidOut) {
    ASSERT_NO_FATAL_FAILURE(Init());
    const automation::WindowHandle login = manager->LoginPanel().value();
    EXPECT_TRUE(LaidOut(driver, login, 9));

    ASSERT_NO_FATAL_FAILURE(LogInAs("me"));
    const platform::SimSessionCore& session = world.simSession();
    ASSERT_TRUE(PumpUntil(
        world.windows(), [&] { return session.QueuedCount() == 0 && session.IssuedCount() == 0; }));
    const automation::WindowHandle panel = manager->MainPanel().value();
    EXPECT_TRUE(LaidOut(driver, panel, 3));
    const auto roster = driver.DescribeControl(panel, contacts::kRosterTreeId);
    ASSERT_TRUE(roster.has_value());
    EXPECT_EQ(roster->rect.top, 0) << "the trees fill the panel from its top";

    const automation::TreeItemHandle bobNode =
        driver.FindTreeItem(panel, contacts::kRosterTreeId, "Bob(离线)");
    ASSERT_NE(bobNode, 0u);
    ASSERT_TRUE(driver.SelectTreeItem(panel, contacts::kRosterTreeId, bobNode))
        << driver.LastError();
    manager->CallUserChat();
    auto* chat = manager->FindChatWindow(bob, platform::JidMatch::Loose);
    ASSERT_NE(chat, nullptr);
    const automation::WindowHandle chatWindow = chat->hwnd().value();
    EXPECT_TRUE(LaidOut(driver, chatWindow, 10));
    const auto send = driver.DescribeControl(chatWindow, chat::control::kSend);
    const auto input = driver.DescribeControl(chatWindow, chat::control::kInput);
    const auto view = driver.DescribeControl(chatWindow, chat::control::kView);
    ASSERT_TRUE(send && input && view);
    EXPECT_LT(view->rect.bottom, input->rect.top) << "the history above the input";
    EXPECT_LT(input->rect.bottom, send->rect.bottom) << "send below the input";

    // A bigger chat window: the history takes the room, the send button stays bottom right.
    ASSERT_TRUE(world.windows().MoveWindow(chat->hwnd(), os::Rect::FromSize(0, 0, 800, 700)));
    EXPECT_TRUE(LaidOut(driver, chatWindow, 10));
    const auto wider = driver.DescribeControl(chatWindow, chat::control::kSend);
    const auto taller = driver.DescribeControl(chatWindow, chat::control::kView);
    EXPECT_EQ(wider->rect.right, 800 - 8);
    EXPECT_EQ(wider->rect.bottom, 700 - 8);
    EXPECT_GT(taller->rect.bottom - taller->rect.top, view->rect.bottom - view->rect.top);

    // The host's client area resized: the panel follows, and its trees with it.
    manager->RecalcClientSize(300, 900);
    EXPECT_TRUE(LaidOut(driver, panel, 3));
}

}  // namespace
}  // namespace host_api_test
