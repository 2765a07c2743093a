#include "chat_fixture.h"

#include <algorithm>
#include <filesystem>
#include <thread>

#include "core/window_messages.h"
#include "os/sys/clock.h"
#include "os/ui/window_system.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_server.h"
#include "platform/store/client_db.h"
#include "support/require.h"

namespace chat_test {

bool RegistryManager::CloseChatWindow(std::string_view jid) {
    core::ChatWindow* window = FindChatWindow(jid, platform::JidMatch::Loose);
    if (window == nullptr) return false;
    const os::HWND hwnd = window->hwnd();
    RemoveChatWindow(*window);
    window->system().SendMessage(hwnd, os::WM_CLOSE);
    return true;
}

ChatTest::ChatTest()
    : world({commonDir.str(), appDir.str()},
            [](const os::PromptRecord& prompt) {
                ADD_FAILURE() << "unanswered prompt: " << prompt.text;
            }),
      context(world.context()),
      trees(context),
      driver(world.windows(), &world.prompter()) {
    context.SetWindowManager(&manager);
    world.windows().RegisterClass(core::kChatWindowClass);

    platform::SimAccount me;
    me.loginName = "me";
    me.password = "pw";
    me.nickname = "我自己";
    myJid = world.server().AddAccount(me);
    std::filesystem::create_directories(commonDir.path() / "me");
    platform::SimSessionCore& session = world.simSession();
    session.Init(nullptr, nullptr, std::this_thread::get_id());
    EXPECT_EQ(session.Login("me", "pw", 1, "", 0), platform::kLoginAccepted);
    while (platform::NotifyRecord* record = session.GetNotify()) session.FreeNotify(record);

    roster = std::make_unique<contacts::CIMTree>(context, 100, "我的好友", 0);
    roster->topKind = std::string(contacts::kRosterTop);
    auto item = contacts::CIMTreeItemData::ForGroup(
        std::make_unique<contacts::CGroup>("g", "同事", "", "top,g"));
    contacts::CIMTreeItemData* added =
        testing_support::Require(roster->AddItemData(item), "the roster's group");
    group = roster->InsertGroupItem(added->group(), os::kTreeRoot, os::kTreeLast);
    trees.Add(*roster);
}

ChatTest::~ChatTest() {
    // Windows go before the trees and the world they use.
    for (core::ChatWindow* window : manager.ChatWindows()) window->DestroyWindow();
    trees.Remove(*roster);
    context.SetWindowManager(nullptr);
}

ChatTest::Contact ChatTest::AddContact(const std::string& login, const std::string& name,
                                       bool online, const std::string& mobile) {
    platform::SimAccount account;
    account.loginName = login;
    account.password = "pw";
    account.nickname = name;
    account.mobile = mobile;
    Contact contact;
    contact.jid = world.server().AddAccount(account);

    auto user = std::make_unique<contacts::CUser>(context.clock, contact.jid, name, "g", "both");
    user->groupKey = "top,g";
    user->EditDetails().mobile = mobile;
    user->SetPresence(online ? "online" : "offline");
    auto item = contacts::CIMTreeItemData::ForUser(std::move(user));
    contact.user = testing_support::Require(roster->AddItemData(item), "the contact")->user();
    roster->InsertUserItem(contact.user, group, os::kTreeLast);
    contact.user->UpdateDisplayText(contact.user->presence());

    if (online) {
        std::shared_ptr<platform::SimServer> server(std::shared_ptr<platform::SimServer>{},
                                                    &world.server());
        contact.session = std::make_unique<platform::SimSessionCore>(server);
        contact.session->Init(nullptr, nullptr, std::this_thread::get_id());
        EXPECT_EQ(contact.session->Login(login, "pw", 1, "", 0), platform::kLoginAccepted);
        while (platform::NotifyRecord* r = contact.session->GetNotify()) {
            contact.session->FreeNotify(r);
        }
    }
    return contact;
}

CDlgChat& ChatTest::Open(const std::string& jid, chat::ChatMode mode) {
    auto window = std::make_unique<CDlgChat>(context, &trees, jid, mode);
    chat::ChatDoors& doors = window->doors();
    doors.settings.Plug(settings);
    doors.quota.Plug(quota);
    doors.commands.Plug(commands);
    doors.shakes.Plug(shakes);
    testing_support::Require(::testing::AssertionResult(window->Create()), "the chat window");
    CDlgChat* chat = world.windows().Adopt(std::move(window));
    chat->ShowWindow(os::SW_SHOW);
    return *chat;
}

qorvdesk::automation::WindowHandle ChatTest::Handle(const CDlgChat& window) const {
    return window.hwnd().value();
}

void ChatTest::Type(CDlgChat& window, std::string_view text) {
    ASSERT_TRUE(driver.AppendText(Handle(window), chat::control::kInput, text))
        << driver.LastError();
}

void ChatTest::Click(CDlgChat& window, int controlId) {
    ASSERT_TRUE(driver.Click(Handle(window), controlId)) << driver.LastError();
    driver.Pump();
}

void ChatTest::Press(CDlgChat& window, unsigned key, int modifiers) {
    world.windows().SetForegroundWindow(window.hwnd());
    os::UINT held = 0;
    if (modifiers & chat::kKeyAlt) held |= os::MOD_ALT;
    if (modifiers & chat::kKeyCtrl) held |= os::MOD_CONTROL;
    world.windows().PostKey(window.hwnd(), key, held);
    driver.Pump();
}

std::vector<platform::MessageData> ChatTest::ChatsReceived(platform::SimSessionCore& session) {
    std::vector<platform::MessageData> chats;
    while (platform::NotifyRecord* record = session.GetNotify()) {
        if (const auto* message = record->As<platform::MessageData>()) chats.push_back(*message);
        session.FreeNotify(record);
    }
    return chats;
}

std::vector<std::string> ChatTest::TypingReceived(platform::SimSessionCore& session) {
    std::vector<std::string> states;
    while (platform::NotifyRecord* record = session.GetNotify()) {
        if (const auto* typing = record->As<platform::TypingStateData>()) {
            states.push_back(typing->state);
        }
        session.FreeNotify(record);
    }
    return states;
}

std::vector<MsgFields> ChatTest::Stored() {
    const std::unique_ptr<CClientDB> db = context.OpenUserStore();
    std::vector<MsgFields> records;
    if (db == nullptr) {
        ADD_FAILURE() << "no user folder";
        return records;
    }
    EXPECT_TRUE(db->GetMsg(
        [&](const MsgFields& fields) {
            if (!IsMsgEndMark(fields)) records.push_back(fields);
        },
        -1))
        << db->GetErrorInfo();
    return records;
}

std::string ChatTest::ViewText(const CDlgChat& window) const { return window.view().GetText(); }

std::vector<std::string> ChatTest::Tips() const { return world.tips().TipTexts(); }

void ChatTest::Advance(os::Millis ms) { world.windows().AdvanceClock(ms); }

}  // namespace chat_test
