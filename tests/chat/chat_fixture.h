#pragma once
// A chat window's world for tests: a test client logged in as "me" on the embedded server,
// contacts who are accounts of their own (sessions that a test drives as the other side),
// the contact trees the window looks people up in, a small window manager holding the chat
// registry, and the automation driver acting as the user.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "chat/chat_controls.h"
#include "chat/chat_doors.h"
#include "chat/dlg_chat.h"
#include "chat/shake_memory.h"
#include "contacts/contact_trees.h"
#include "contacts/im_tree.h"
#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/msg_record.h"
#include "qorvdesk/automation.h"
#include "support/doors/recording_chat_commands.h"
#include "support/temp_dir.h"

namespace chat_test {

// The registry part of the window manager, logged in; the rest answers "nothing".
class RegistryManager final : public core::IdleWindowManager {
  public:
    bool IsLoggedIn() const override { return true; }
    // As the real manager: out of the registry first, then WM_CLOSE.
    bool CloseChatWindow(std::string_view jid) override;
};

class ChatTest : public ::testing::Test {
  protected:
    ChatTest();
    ~ChatTest() override;

    // An account on the server, in "my" roster tree (name, presence as given). `online`
    // logs a session in for it, which the test may use as the contact's client.
    struct Contact {
        std::string jid;
        contacts::CUser* user = nullptr;
        std::unique_ptr<platform::SimSessionCore> session;
    };
    Contact AddContact(const std::string& login, const std::string& name, bool online,
                       const std::string& mobile = {});

    // Opens a shown chat window with `jid`.
    CDlgChat& Open(const std::string& jid, chat::ChatMode mode = chat::ChatMode::InstantMessage);
    qorvdesk::automation::WindowHandle Handle(const CDlgChat& window) const;

    // The user's actions (call them under ASSERT_NO_FATAL_FAILURE: a refused one fails).
    void Type(CDlgChat& window, std::string_view text);
    void Click(CDlgChat& window, int controlId);
    // A key pressed in the window with modifiers held (chat::kKeyCtrl / kKeyAlt), pumped.
    void Press(CDlgChat& window, unsigned key, int modifiers = 0);

    // A chat record as the notification dispatch hands it over.
    static core::QueuedMessage Incoming(const std::string& from, const std::string& content) {
        core::QueuedMessage message;
        message.from = from;
        message.content = content;
        return message;
    }

    // What the contact's session received: chat bodies, typing states.
    static std::vector<platform::MessageData> ChatsReceived(platform::SimSessionCore& session);
    static std::vector<std::string> TypingReceived(platform::SimSessionCore& session);
    // Every stored message of my user folder, oldest first.
    std::vector<MsgFields> Stored();

    std::string ViewText(const CDlgChat& window) const;
    std::vector<std::string> Tips() const;
    void Advance(os::Millis ms);

    testing_support::TempDir commonDir;
    testing_support::TempDir appDir;
    core::TestClientWorld world;
    core::ClientContext& context;
    RegistryManager manager;
    contacts::ContactTrees trees;
    std::unique_ptr<contacts::CIMTree> roster;
    os::TreeItem group = os::kNoTreeItem;
    chat::UserChatSettings settings;
    chat::SmsQuota quota;
    testing_support::RecordingChatCommands commands;
    chat::ShakeMemory shakes;
    qorvdesk::automation::Driver driver;
    std::string myJid;
};

}  // namespace chat_test
