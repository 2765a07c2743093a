#pragma once
// The handlers at the ends of the notification routes, registered by type code. Each
// subsystem registers the handlers of the notifications it owns, from its own folder (the
// contact trees their presence and vCard handlers, the chat window its typing handler, the
// login panel the login result ...); whoever builds a client makes one registry per world
// and has each subsystem register into it. Nothing registers itself.
//
// A handler takes one part (Side, dispatch_table.h) of the route of each code it is
// registered for:
//   Direct       notification thread; it reaches windows only through SendMessage,
//                PostMessage or WindowSystem::SendTask / PostTask. On a route with a
//                hand-over (DirectThenUi) its answer decides whether the UI part follows; a
//                handler without an answer lets it follow.
//   Ui           UI thread, through the main panel (WM_IM_NOTIFY); the record is valid only
//                during the call.
//   ServiceDesk  notification thread, after the route's other part.
//   Copy         UI thread: the heap copy that was posted to the main panel, now owned by
//                the handler.
// The main panel's subcodes that other parts of the client send (ui_subcodes.h) have
// handlers too (UI thread, OnSubcode).
//
// A part with no handler does what it does in a client without the owning subsystem: nothing,
// and a direct part lets the hand-over go on as its row says. The first record that finds a
// part without a handler is logged with the notification's name, once per code and side.
//
// There is one handler per code and side (and per subcode). A second one, one for a side the
// code's route does not have, or a subcode handler for a record subcode is refused, logged,
// and not registered.
//
// Lifetime: a registration lasts as long as the Registration it answers. Its owner keeps it
// beside what the handler uses and lets it go first, so a handler never outlives its data;
// the pump is stopped before the owners go, so no call is running then. A Registration may
// outlive the registry. Registering, unregistering and running are thread-safe; a handler
// runs with no lock held (it may send to another thread, or register).

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <type_traits>
#include <vector>

#include "notify/routes/dispatch_table.h"
#include "os/ui/messages.h"
#include "platform/session/notify_record.h"

namespace os {
class Log;
}

namespace notify {

class NotificationHandlers;

// One registration (of one or several codes); unregisters when destroyed.
class Registration {
  public:
    Registration() = default;
    ~Registration();
    Registration(Registration&& other) noexcept;
    Registration& operator=(Registration&& other) noexcept;
    Registration(const Registration&) = delete;
    Registration& operator=(const Registration&) = delete;

    // Unregisters now; the destructor does it otherwise.
    void Cancel();
    // Whether it still holds a registration (false when everything was refused).
    bool Active() const { return id_ != 0; }

  private:
    friend class NotificationHandlers;
    Registration(std::weak_ptr<NotificationHandlers> registry, std::uint64_t id)
        : registry_(std::move(registry)), id_(id) {}

    std::weak_ptr<NotificationHandlers> registry_;
    std::uint64_t id_ = 0;
};

// The registrations of one owner.
using Registrations = std::vector<Registration>;

class NotificationHandlers final : public std::enable_shared_from_this<NotificationHandlers> {
  public:
    using Record = platform::NotifyRecord;
    using TypeCodes = std::vector<std::uint32_t>;
    using RecordHandler = std::function<void(const Record&)>;
    using DirectHandler = std::function<HandOver(const Record&)>;
    using CopyHandler = std::function<void(std::unique_ptr<Record>)>;
    using SubcodeHandler = std::function<os::LRESULT(os::LPARAM)>;

    // Refusals and parts without a handler are written to `log`.
    static std::shared_ptr<NotificationHandlers> Create(os::Log& log);
    NotificationHandlers(const NotificationHandlers&) = delete;
    NotificationHandlers& operator=(const NotificationHandlers&) = delete;

    // ---- Registering. `handler` is called with the record of each code in `types`.

    // The direct part. `handler` answers a HandOver, or nothing (the hand-over goes on).
    template <typename Handler>
    [[nodiscard]] Registration OnDirect(const TypeCodes& types, Handler handler);
    [[nodiscard]] Registration OnUi(const TypeCodes& types, RecordHandler handler);
    [[nodiscard]] Registration OnServiceDesk(const TypeCodes& types, RecordHandler handler);
    [[nodiscard]] Registration OnCopy(const TypeCodes& types, CopyHandler handler);
    // A subcode that other parts of the client send to the main panel; `handler` answers the
    // message.
    [[nodiscard]] Registration OnSubcode(int subcode, SubcodeHandler handler);

    bool Has(std::uint32_t type, Side side) const;
    bool HasSubcode(int subcode) const;

    // ---- Running: the notification thread (RunDirect, RunServiceDesk) and the main panel
    // (the others) carry a record to its handler.

    // The handler's answer; without a handler, what the row says.
    HandOver RunDirect(const Record& record);
    void RunServiceDesk(const Record& record);
    void RunUi(const Record& record);
    void RunCopy(std::unique_ptr<Record> copy);
    // The handler's answer; nothing when no handler is registered for `subcode`.
    std::optional<os::LRESULT> RunSubcode(int subcode, os::LPARAM lParam);

  private:
    friend class Registration;
    explicit NotificationHandlers(os::Log& log) : log_(log) {}

    static constexpr std::size_t kRecordSides = 3;  // Direct, Ui, ServiceDesk
    template <typename Function>
    struct Entry {
        std::uint64_t id = 0;
        std::shared_ptr<const Function> function;
    };
    struct Slot {
        std::array<Entry<DirectHandler>, kRecordSides> parts;
        Entry<CopyHandler> copy;
    };

    Registration Add(const TypeCodes& types, Side side, DirectHandler handler);
    Registration AddCopy(const TypeCodes& types, CopyHandler handler);
    // Whether `type` may take a handler on `side`; logs why not.
    bool MayRegister(std::uint32_t type, Side side, bool taken);
    std::shared_ptr<const DirectHandler> FindPart(std::uint32_t type, Side side) const;
    void ReportMissing(std::uint32_t type, Side side);
    void Remove(std::uint64_t id);

    os::Log& log_;
    mutable std::mutex mutex_;
    std::uint64_t lastId_ = 0;
    std::array<Slot, kLastRoutedType + 1> slots_;
    std::map<int, Entry<SubcodeHandler>> subcodes_;
    // Per code, a bit per side once its missing handler has been logged.
    std::array<std::atomic<std::uint8_t>, kLastRoutedType + 1> reported_{};
};

template <typename Handler>
Registration NotificationHandlers::OnDirect(const TypeCodes& types, Handler handler) {
    if constexpr (std::is_same_v<std::invoke_result_t<Handler&, const Record&>, HandOver>) {
        return Add(types, Side::Direct, DirectHandler(std::move(handler)));
    } else {
        return Add(types, Side::Direct,
                   [handler = std::move(handler)](const Record& record) mutable {
                       handler(record);
                       return HandOver::ToUi;
                   });
    }
}

}  // namespace notify
