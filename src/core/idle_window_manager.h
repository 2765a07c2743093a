#pragma once
// IdleWindowManager: a window manager that keeps the registry, the pending queue and the
// flags and otherwise does nothing: no windows of its own, no session to end. For code that
// runs below a window manager without the real one (module tests, benchmarks): derive and
// override what the situation needs.

#include <atomic>

#include "core/chat_window_registry.h"
#include "core/window_manager.h"
#include "os/sys/named_objects.h"

namespace core {

class IdleWindowManager : public IWindowManager {
  public:
    // The windows it answers (null until set; readable from any thread).
    std::atomic<os::HWND> hostMain{}, hostClient{}, mainPanel{}, loginPanel{};

    os::HWND HostMainWnd() const override { return hostMain.load(); }
    os::HWND HostClientWnd() const override { return hostClient.load(); }
    os::HWND MainPanel() const override { return mainPanel.load(); }
    os::HWND LoginPanel() const override { return loginPanel.load(); }

    ChatWindow* FindChatWindow(std::string_view jid, platform::JidMatch match) override {
        return registry_.Find(jid, match,
                              [this](std::string_view a, std::string_view b, platform::JidMatch m) {
                                  return IsSameUser(a, b, m);
                              });
    }
    void AddChatWindow(ChatWindow& window) override { registry_.Add(window); }
    void RemoveChatWindow(ChatWindow& window) override { registry_.Remove(window); }
    std::vector<ChatWindow*> ChatWindows() const override { return registry_.All(); }
    ChatWindow* OpenChatWindow(std::string_view) override { return nullptr; }
    ChatWindow* OpenSmsChatWindow(std::string_view) override { return nullptr; }
    bool CloseChatWindow(std::string_view) override { return false; }
    // Without a session engine: SMS addresses compare whole.
    bool IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) override {
        return platform::Jid::Equal(a, b, match, nullptr);
    }

    PendingMessageQueue& PendingMessages() override { return pending_; }
    void PickNextPendingMessage(PickTrigger) override {}
    bool AnyConversationOpen() override { return !registry_.Empty() || !pending_.Empty(); }

    SessionFlags& Flags() override { return flags_; }
    bool IsLoggedIn() const override { return flags_.loggedIn.load(); }
    void SwitchInterface(ClientInterface) override {}
    void UserLogout() override {}
    void EndSession() override {}
    void OnContactNameDiffers(std::string_view, std::string_view, std::string_view) override {}
    void KeepAccountMutex(std::unique_ptr<os::NamedMutex>) override {}
    bool HoldsAccountMutex() const override { return false; }
    std::span<char> SharedBlock() override { return {}; }
    bool WriteSharedFlag(std::string_view) override { return false; }

  protected:
    ChatWindowRegistry registry_;
    PendingMessageQueue pending_;
    SessionFlags flags_;
};

}  // namespace core
