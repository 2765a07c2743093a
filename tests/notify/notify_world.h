#pragma once
// The world the notification tests run in: a TestClientWorld (manual clock, scripted prompts,
// recording tips and sounds, a session on the simulated server), a window manager that keeps
// the registry, the queue and the flags as the real one does, the host's frame window, the
// main panel (a real CWndChild) and a login panel, all owned by the test thread, which plays
// the UI thread. The world's registry of notification handlers holds recording handlers for
// every part the pump's own handlers leave (the main panel is attached to it); recording hooks
// stand in for the other subsystems.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "config/client_config.h"
#include "core/client_world.h"
#include "core/idle_window_manager.h"
#include "notify/incoming_hooks.h"
#include "notify/routes/notification_handlers.h"
#include "notify/wnd_child.h"
#include "os/services/sound_player.h"
#include "os/sys/clock.h"
#include "os/ui/window.h"
#include "platform/services/notice_pop.h"
#include "platform/session/sim_session_core.h"
#include "platform/store/msg_record.h"
#include "support/temp_dir.h"
#include "support/windows/recording_window.h"

namespace notify_test {

using testing_support::RecordingWindow;

// The window manager's registry, pending queue and flags, as the subsystems below it see them.
class FakeWindowManager final : public core::IdleWindowManager {
  public:
    explicit FakeWindowManager(core::ClientContext& context);
    ~FakeWindowManager() override;

    // OpenChatWindow makes no new window while set (as when a window cannot be created).
    bool refuseNewWindows = false;
    std::vector<std::string> opened;  // JIDs OpenChatWindow was asked for

    core::ChatWindow* OpenChatWindow(std::string_view jid) override;
    bool CloseChatWindow(std::string_view jid) override;
    bool IsSameUser(std::string_view a, std::string_view b, platform::JidMatch match) override;

  private:
    core::ClientContext& context_;
};

// What reached the direct and service-desk parts, from whichever thread. A call is named
// after its row ("ServiceDesk" for the desk's part).
class RecordingDirect {
  public:
    struct Call {
        std::string job;
        std::uint32_t type;
        std::thread::id thread;
    };
    std::vector<Call> Calls() const;
    std::vector<std::string> Jobs() const;
    std::size_t Count() const;

    // What the direct parts answer (it matters on the routes with a hand-over).
    std::atomic<notify::HandOver> handOver{notify::HandOver::ToUi};

    void Note(std::string job, const platform::NotifyRecord& record);

  private:
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
};

// What reached the UI thread: the UI parts (named after their rows), the copies, and the
// main panel's subcodes of other senders (UI thread only).
class RecordingUi {
  public:
    struct Call {
        std::string job;
        std::uint32_t type;  // the record's type; 0 for calls without a record
        std::thread::id thread;
    };
    std::vector<Call> calls;
    std::vector<std::string> Jobs() const;
    // The copies of the Copy routes, owned here.
    std::vector<std::unique_ptr<platform::NotifyRecord>> notices;
    std::vector<int> otherSubcodes;
    // Runs for every call with a record (lets a test look at the engine meanwhile).
    std::function<void(const platform::NotifyRecord&)> onCall;

    void Note(std::string job, const platform::NotifyRecord& record);
};

// Registers recording handlers on `handlers` for every part of every route, and for every
// subcode of other senders up to kLastRecordedSubcode, but those the pump's own handlers take
// (pump_handlers.h).
inline constexpr int kLastRecordedSubcode = 63;
notify::Registrations RegisterRecorders(notify::NotificationHandlers& handlers,
                                        RecordingDirect& direct, RecordingUi& ui);

// Incoming-message hooks that record what reached them.
class RecordingIncomingHooks final : public notify::IncomingMessageHooks {
  public:
    std::vector<std::string> contacts;  // IsInContactLists answers true for these
    bool hasGatewayList = false;
    std::vector<std::string> calls;  // "Name:jid-or-content"
    // The contact model's subscription answer for every JID.
    std::optional<std::string> subscription;

    bool IsInContactLists(std::string_view jid) override;
    std::optional<std::string> ContactSubscription(std::string_view) override {
        return subscription;
    }
    void PutAtTopOfRecentContacts(std::string_view jid) override;
    void RefreshRoomList() override { calls.push_back("RefreshRoomList"); }
    void RoomPictureMessage(const core::QueuedMessage& m) override;
    void OaNotice(const core::QueuedMessage& m) override;
    bool StoreGatewayMessage(const core::QueuedMessage& m) override;
};

// Everything above, built in order and taken down in reverse.
class NotifyWorld {
  public:
    NotifyWorld();
    ~NotifyWorld();

    core::TestClientWorld& world() { return *world_; }
    core::ClientContext& context() { return world_->context(); }
    os::ManualClock& clock() { return world_->clock(); }
    os::WindowSystem& windows() { return world_->windows(); }
    platform::SimSessionCore& session() { return world_->simSession(); }
    platform::SimServer& server() { return world_->server(); }
    FakeWindowManager& manager() { return *manager_; }
    RecordingWindow& host() { return hostWindows_->frame; }
    RecordingWindow& loginPanel() { return *loginPanel_; }
    CWndChild& mainPanel() { return *mainPanel_; }
    const std::string& commonDir() const { return commonDir_; }

    std::shared_ptr<notify::NotificationHandlers> handlers;
    RecordingDirect direct;
    RecordingUi ui;
    RecordingIncomingHooks incoming;

    // Adds "me" (password "pw") and logs the test's session in; answers the JID. The records
    // the login queues are taken out and given back. Call it before the pump's Init: the
    // session is initialised here without events.
    std::string LogIn(std::string loginName = "me");
    // A second session on the same server, logged in as a new account `loginName`.
    std::unique_ptr<platform::SimSessionCore> RemoteSession(const std::string& loginName,
                                                            std::string* jid = nullptr);

    // The stored messages of the logged-in user (contents of each, oldest first), and the
    // whole records.
    std::vector<std::string> StoredContents();
    std::vector<std::array<std::string, 10>> StoredRecords();

  private:
    testing_support::TempDir common_;
    testing_support::TempDir app_;
    std::string commonDir_;
    std::unique_ptr<core::TestClientWorld> world_;
    std::unique_ptr<FakeWindowManager> manager_;
    std::unique_ptr<testing_support::HostWindows> hostWindows_;
    std::unique_ptr<RecordingWindow> loginPanel_;
    std::unique_ptr<CWndChild> mainPanel_;
    notify::Registrations recorders_;
};

// A message record as the server would deliver it.
platform::NotifyRecord MessageRecord(std::uint32_t type, std::string from, std::string content,
                                     std::string fromName = {});

}  // namespace notify_test
