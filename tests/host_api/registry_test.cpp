// The chat window registry, opening and closing chat windows, SkinReload, the any-conversation
// test and picking pending messages.
#include <gtest/gtest.h>

#include "chat/dlg_chat.h"
#include "chat/encoding/markers.h"
#include "core/doors.h"
#include "core/window_messages.h"
#include "manager_fixture.h"
#include "os/services/log.h"
#include "os/ui/window_system.h"
#include "platform/session/sim_session_core.h"
#include "support/doors/recording_history.h"

namespace host_api_test {
namespace {

using platform::JidMatch;

core::QueuedMessage Message(std::string from, std::string content, std::uint32_t type = 11) {
    core::QueuedMessage message;
    message.from = std::move(from);
    message.content = std::move(content);
    message.type = type;
    return message;
}

class RegistryTest : public ManagerTest {
  protected:
    // A chat window made directly (not through OpenChatWindow), as the chat work may.
    CDlgChat* MakeChat(const std::string& jid) {
        auto chat = std::make_unique<CDlgChat>(context, jid);
        EXPECT_TRUE(chat->Create());
        return world.windows().Adopt(std::move(chat));
    }
};

TEST_F(RegistryTest, AChatWindowEntersTheRegistryWhenMadeAndLeavesWhenDestroyed) {
    ASSERT_NO_FATAL_FAILURE(Init());
    CDlgChat* chat = MakeChat("li$gov@host");
    EXPECT_EQ(manager->ChatWindows(), std::vector<core::ChatWindow*>{chat});
    chat->DestroyWindow();
    EXPECT_TRUE(manager->ChatWindows().empty());
}

TEST_F(RegistryTest, TheGovNotationsAreOneUnderLooseEqualityAndTheNewestWindowWins) {
    ASSERT_NO_FATAL_FAILURE(Init());
    CDlgChat* older = MakeChat("wang$gov@host");
    CDlgChat* newer = MakeChat("wang@gover.host/PC");
    EXPECT_EQ(manager->FindChatWindow("WANG$gov@host", JidMatch::Loose), newer);
    EXPECT_EQ(manager->FindChatWindow("wang$gov@host", JidMatch::Exact), older);
    EXPECT_EQ(manager->FindChatWindow("wang@gover.host", JidMatch::Exact), nullptr);
    newer->DestroyWindow();
    EXPECT_EQ(manager->FindChatWindow("wang@gover.host", JidMatch::Loose), older);
}

TEST_F(RegistryTest, AnSmsAddressIsFoundByItsLastElevenDigits) {
    ASSERT_NO_FATAL_FAILURE(Init());
    CDlgChat* chat = MakeChat("8613800138000@sms.host");
    EXPECT_EQ(manager->FindChatWindow("13800138000@sms.host/PC", JidMatch::Loose), chat);
    EXPECT_EQ(manager->FindChatWindow("13800138001@sms.host", JidMatch::Loose), nullptr);
    // Not an SMS address: no digits are dropped.
    MakeChat("8613800138000@host");
    EXPECT_EQ(manager->FindChatWindow("13800138000@host", JidMatch::Loose), nullptr);
}

TEST_F(RegistryTest, RemovingTakesOutTheNewestEntryOfThatWindowOnly) {
    ASSERT_NO_FATAL_FAILURE(Init());
    CDlgChat* a = MakeChat("a@host");
    CDlgChat* b = MakeChat("b@host");
    manager->AddChatWindow(*a);  // registered twice: [a, b, a]
    manager->RemoveChatWindow(*a);
    EXPECT_EQ(manager->ChatWindows(), (std::vector<core::ChatWindow*>{a, b}));
    manager->RemoveChatWindow(*a);
    manager->RemoveChatWindow(*a);  // no longer there: ignored
    EXPECT_EQ(manager->ChatWindows(), std::vector<core::ChatWindow*>{b});
}

TEST_F(RegistryTest, OpeningMakesAWindowOnceAndAsksForThePresence) {
    ASSERT_NO_FATAL_FAILURE(Init());
    core::ChatWindow* first = manager->OpenChatWindow("zhao$gov@host");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsWindowVisible());
    EXPECT_EQ(world.windows().GetForegroundWindow(), first->hwnd());
    EXPECT_EQ(world.windows().GetClassName(first->hwnd()), core::kChatWindowClass);
    EXPECT_TRUE(world.log().HasCaptured("打开对话框时查询状态 JID=zhao$gov@host"));
    EXPECT_EQ(world.simSession().calls().Count("QueryStatusInfo"), 1u);

    first->ShowWindow(os::SW_MINIMIZE);
    world.windows().SetForegroundWindow(host.hwnd());
    core::ChatWindow* again = manager->OpenChatWindow("zhao@gover.host");
    EXPECT_EQ(again, first);
    EXPECT_FALSE(first->IsIconic());
    EXPECT_EQ(world.windows().GetForegroundWindow(), first->hwnd());
    EXPECT_EQ(manager->ChatWindows().size(), 1u);
    EXPECT_EQ(world.simSession().calls().Count("QueryStatusInfo"), 1u);
}

TEST_F(RegistryTest, TheChatWindowsOfTheManagerShareTheClientsOneShakeMemory) {
    ASSERT_NO_FATAL_FAILURE(Init());
    const core::QueuedMessage shake = Message("bob$gov@host", std::string(chat::kShakeBody));
    auto* first = dynamic_cast<CDlgChat*>(manager->OpenChatWindow("bob$gov@host"));
    auto* second = dynamic_cast<CDlgChat*>(manager->OpenChatWindow("carol$gov@host"));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    first->OnIncomingMessage(shake);
    // The same contact at once, in another window: the client remembers the first shake.
    second->OnIncomingMessage(shake);
    EXPECT_EQ(first->WindowShakes(), 1);
    EXPECT_EQ(second->WindowShakes(), 0);
    // A window made without the manager remembers its own shakes.
    CDlgChat* alone = MakeChat("dan$gov@host");
    alone->OnIncomingMessage(shake);
    EXPECT_EQ(alone->WindowShakes(), 1);
}

TEST_F(RegistryTest, ClosingAChatWindowByJidRemovesAndClosesIt) {
    ASSERT_NO_FATAL_FAILURE(Init());
    core::ChatWindow* chat = manager->OpenChatWindow("qian$gov@host");
    const os::HWND hwnd = chat->hwnd();
    EXPECT_TRUE(manager->CloseChatWindow("qian@gover.host"));
    EXPECT_FALSE(world.windows().IsWindow(hwnd));
    EXPECT_TRUE(manager->ChatWindows().empty());
    EXPECT_FALSE(manager->CloseChatWindow("qian$gov@host"));
}

TEST_F(RegistryTest, SkinReloadWithNothingOpenSendsNothing) {
    ASSERT_NO_FATAL_FAILURE(Init());
    manager->SkinReload();
    EXPECT_TRUE(host.Of(core::WM_HOST_SKIN).empty());
}

TEST_F(RegistryTest, SkinReloadAsksForEveryChatWindowAndTheHistoryWindow) {
    testing_support::RecordingHistory history;
    context.doors().history.Plug(history);
    ASSERT_NO_FATAL_FAILURE(Init());
    CDlgChat* a = MakeChat("a@host");
    CDlgChat* b = MakeChat("b@host");
    os::Window historyWindow(world.windows());
    ASSERT_TRUE(historyWindow.Create({}));
    history.window = historyWindow.hwnd();

    manager->SkinReload();
    const auto skins = host.Of(core::WM_HOST_SKIN);
    ASSERT_EQ(skins.size(), 3u);
    EXPECT_EQ(skins[0].wParam, a->hwnd().ToParam());
    EXPECT_EQ(skins[0].lParam, 1);
    EXPECT_EQ(skins[1].wParam, b->hwnd().ToParam());
    EXPECT_EQ(skins[2].wParam, historyWindow.hwnd().ToParam());
    EXPECT_EQ(skins[2].lParam, 0);
}

TEST_F(RegistryTest, AnyConversationCountsChatWindowsMessagesAndRoomsOfThisProcess) {
    ASSERT_NO_FATAL_FAILURE(Init());
    EXPECT_FALSE(manager->AnyConversationOpen());

    os::Window foreignRoom(world.windows());
    os::Window::CreateParams foreign;
    foreign.className = std::string(core::kRoomWindowClass);
    foreign.processId = world.windows().processId() + 1;
    ASSERT_TRUE(foreignRoom.Create(foreign));
    EXPECT_FALSE(manager->AnyConversationOpen());

    os::Window room(world.windows());
    os::Window::CreateParams own;
    own.className = std::string(core::kRoomWindowClass);
    ASSERT_TRUE(room.Create(own));
    EXPECT_TRUE(manager->AnyConversationOpen());
    room.DestroyWindow();

    manager->PendingMessages().Push(Message("a@host", "hi"));
    EXPECT_TRUE(manager->AnyConversationOpen());
    manager->PendingMessages().Clear();

    MakeChat("a@host");
    EXPECT_TRUE(manager->AnyConversationOpen());
}

TEST_F(RegistryTest, PickingOpensTheSendersWindowWithEveryMessageTheSenderLeft) {
    ASSERT_NO_FATAL_FAILURE(Init());
    core::PendingMessageQueue& queue = manager->PendingMessages();
    queue.Push(Message("sun$gov@host/PC", "one"));
    queue.Push(Message("zhou@host", "other"));
    queue.Push(Message("sun@gover.host", "two"));

    manager->PickNextPendingMessage(core::PickTrigger::Host);
    auto* chat = dynamic_cast<CDlgChat*>(manager->FindChatWindow("sun$gov@host", JidMatch::Loose));
    ASSERT_NE(chat, nullptr);
    ASSERT_EQ(chat->ShownMessages().size(), 2u);
    EXPECT_EQ(chat->ShownMessages()[0].content, "one");
    EXPECT_EQ(chat->ShownMessages()[1].content, "two");
    ASSERT_EQ(queue.Size(), 1u);
    EXPECT_EQ(queue.Front()->from, "zhou@host");

    world.windows().PumpPending();
    EXPECT_TRUE(host.Of(core::WM_HOST_TRAY).empty()) << "a message still waits";
    manager->PickNextPendingMessage(core::PickTrigger::Host);
    world.windows().PumpPending();
    ASSERT_EQ(host.Of(core::WM_HOST_TRAY).size(), 1u);
    EXPECT_EQ(host.Of(core::WM_HOST_TRAY)[0].wParam, 0u);
}

TEST_F(RegistryTest, PickingAnOaNoticeShowsItAndAKind58MessageIsLeftAlone) {
    testing_support::RecordingHistory history;
    context.doors().history.Plug(history);
    ASSERT_NO_FATAL_FAILURE(Init());
    core::PendingMessageQueue& queue = manager->PendingMessages();
    queue.Push(Message("oa@host", "notice", core::kQueuedOaNoticeType));
    queue.Push(Message("x@host", "stays", core::kQueuedLeftAloneType));

    manager->PickNextPendingMessage(core::PickTrigger::Host);
    ASSERT_EQ(history.notices.size(), 1u);
    EXPECT_EQ(history.notices[0].content, "notice");

    manager->PickNextPendingMessage(core::PickTrigger::Host);
    EXPECT_EQ(queue.Size(), 1u);
    EXPECT_TRUE(manager->ChatWindows().empty());
}

TEST_F(RegistryTest, ThePickHotKeyPicksAndBringsTheHostForward) {
    ASSERT_NO_FATAL_FAILURE(Init());
    manager->PendingMessages().Push(Message("wu@host", "hello"));
    host.ShowWindow(os::SW_MINIMIZE);
    ASSERT_TRUE(world.windows().PressHotKey(os::MOD_CONTROL | os::MOD_ALT, 'X'));
    world.windows().PumpPending();  // WM_HOTKEY to the main panel
    world.windows().PumpPending();  // the tray message it posted

    EXPECT_NE(manager->FindChatWindow("wu@host", JidMatch::Exact), nullptr);
    EXPECT_TRUE(manager->PendingMessages().Empty());
    EXPECT_FALSE(host.IsIconic());
    EXPECT_EQ(world.windows().GetForegroundWindow(), host.hwnd());
    EXPECT_EQ(host.Of(core::WM_HOST_TRAY).size(), 1u);
}

}  // namespace
}  // namespace host_api_test
