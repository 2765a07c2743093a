// The registry of notification handlers: a handler gets the records of its code on its side
// and thread, a routed part without a handler is reported once by name, registrations end
// with their owners, and what cannot be registered is refused.

#include "notify/routes/notification_handlers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <mutex>
#include <thread>

#include "core/window_messages.h"
#include "notify/base_proxy.h"
#include "notify/notification_dispatcher.h"
#include "notify_world.h"
#include "os/services/log.h"
#include "records.h"
#include "support/wait_for.h"
#include "support/waiting/pump_until.h"

namespace {

using notify::HandOver;
using notify::Side;
using notify_test::WellFormed;
using Record = platform::NotifyRecord;

// Handlers that note what reached them, from whichever thread.
class Notes {
  public:
    struct Note {
        std::uint32_t type;
        Side side;
        std::thread::id thread;
    };
    void Add(std::uint32_t type, Side side) {
        std::lock_guard lock(mutex_);
        notes_.push_back(Note{type, side, std::this_thread::get_id()});
    }
    std::vector<Note> All() const {
        std::lock_guard lock(mutex_);
        return notes_;
    }
    std::size_t Size() const {
        std::lock_guard lock(mutex_);
        return notes_.size();
    }
    std::vector<std::uint32_t> TypesOn(Side side) const {
        std::vector<std::uint32_t> types;
        for (const Note& note : All()) {
            if (note.side == side) types.push_back(note.type);
        }
        return types;
    }

  private:
    mutable std::mutex mutex_;
    std::vector<Note> notes_;
};

// A registry of its own, with nothing registered, that the main panel hands its notifications
// to.
class HandlersTest : public ::testing::Test {
  protected:
    HandlersTest() { w.mainPanel().AttachNotificationHandlers(handlers); }

    notify::Registration Note(std::uint32_t type, Side side) {
        switch (side) {
            case Side::Direct:
                return handlers->OnDirect(
                    {type}, [this, type](const Record&) { notes.Add(type, Side::Direct); });
            case Side::Ui:
                return handlers->OnUi({type},
                                      [this, type](const Record&) { notes.Add(type, Side::Ui); });
            case Side::ServiceDesk:
                return handlers->OnServiceDesk(
                    {type}, [this, type](const Record&) { notes.Add(type, Side::ServiceDesk); });
            case Side::Copy:
                return handlers->OnCopy({type}, [this, type](std::unique_ptr<Record> copy) {
                    if (copy != nullptr) copies.push_back(std::move(copy));
                    notes.Add(type, Side::Copy);
                });
        }
        return {};
    }
    int LogLinesWith(const std::string& text) {
        const auto lines = w.world().log().CapturedTexts();
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const auto& line) {
            return line.find(text) != std::string::npos;
        }));
    }

    notify_test::NotifyWorld w;
    std::shared_ptr<notify::NotificationHandlers> handlers =
        notify::NotificationHandlers::Create(w.context().log);
    notify::NotificationDispatcher dispatcher{w.context(), handlers};
    Notes notes;
    std::vector<std::unique_ptr<Record>> copies;
};

TEST_F(HandlersTest, ARegisteredHandlerReceivesItsCodeOnItsSideAndThread) {
    struct Case {
        std::uint32_t type;
        Side side;
    };
    // A direct route, a UI route, the desk alone, both parts of a hand-over route and of a
    // route that ends at the desk, and a copy.
    const Case cases[] = {
        {25, Side::Direct}, {39, Side::Ui}, {65, Side::ServiceDesk}, {30, Side::Direct},
        {30, Side::Ui},     {16, Side::Ui}, {16, Side::ServiceDesk}, {2, Side::Copy},
    };
    notify::Registrations registrations;
    for (const Case& c : cases) {
        registrations.push_back(Note(c.type, c.side));
        ASSERT_TRUE(registrations.back().Active());
        EXPECT_TRUE(handlers->Has(c.type, c.side));
    }

    CBaseProxy proxy{w.context(), handlers};
    proxy.Init();
    for (std::uint32_t type : {25u, 39u, 65u, 30u, 16u, 2u}) w.session().Inject(WellFormed(type));
    ASSERT_TRUE(
        testing_support::PumpUntil(w.windows(), [&] { return notes.Size() == std::size(cases); }));
    ASSERT_TRUE(testing_support::WaitFor([&] { return w.session().IssuedCount() == 0; }));
    w.windows().PumpPending();

    const auto all = notes.All();
    ASSERT_EQ(all.size(), std::size(cases));
    for (const Case& c : cases) {
        SCOPED_TRACE("type " + std::to_string(c.type) + " " +
                     std::string(notify::SideName(c.side)));
        const auto it = std::find_if(all.begin(), all.end(), [&](const Notes::Note& note) {
            return note.type == c.type && note.side == c.side;
        });
        ASSERT_NE(it, all.end());
        const bool onTheNotificationThread = c.side == Side::Direct || c.side == Side::ServiceDesk;
        EXPECT_EQ(it->thread,
                  onTheNotificationThread ? proxy.ThreadId() : std::this_thread::get_id());
    }
    // Within a route, the parts in its order.
    auto indexOf = [&](std::uint32_t type, Side side) {
        return std::find_if(all.begin(), all.end(),
                            [&](const auto& n) { return n.type == type && n.side == side; }) -
               all.begin();
    };
    EXPECT_LT(indexOf(30, Side::Direct), indexOf(30, Side::Ui));
    EXPECT_LT(indexOf(16, Side::Ui), indexOf(16, Side::ServiceDesk));
    // The copy handler owns a copy of the record.
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_EQ(copies[0]->type, 2u);
    EXPECT_NE(copies[0]->As<platform::UpdateNoticeData>(), nullptr);
    proxy.Free();
}

TEST_F(HandlersTest, ARoutedPartWithoutAHandlerIsLoggedOnceByName) {
    w.world().log().ClearCaptured();
    for (int round = 0; round < 3; ++round) {
        for (std::uint32_t type : {26u, 43u, 65u, 2u, 4u}) dispatcher.Dispatch(WellFormed(type));
        w.windows().PumpPending();
    }
    EXPECT_EQ(LogLinesWith("Notification 26 (FileTransferStarted) reaches its UI part"), 1);
    EXPECT_EQ(LogLinesWith("Notification 43 (GatewayError) reaches its direct part"), 1);
    EXPECT_EQ(LogLinesWith("Notification 65 (CustomerService) reaches its service-desk part"), 1);
    EXPECT_EQ(LogLinesWith("Notification 2 (UpdateNotice) reaches its copy part"), 1);
    // An ignored code reaches no part at all.
    EXPECT_EQ(LogLinesWith("Notification 4 "), 0);
    EXPECT_EQ(w.world().log().CapturedTexts().size(), 4u);

    // Each part of a code on its own: the UI part of 16 missing says nothing of its desk part.
    const notify::Registration desk = Note(16, Side::ServiceDesk);
    dispatcher.Dispatch(WellFormed(16));
    EXPECT_EQ(LogLinesWith("Notification 16 (PresenceChanged) reaches its UI part"), 1);
    EXPECT_EQ(LogLinesWith("Notification 16 (PresenceChanged) reaches its service-desk part"), 0);
    EXPECT_EQ(notes.TypesOn(Side::ServiceDesk), std::vector<std::uint32_t>{16});
}

TEST_F(HandlersTest, WithoutADirectHandlerTheHandOverGoesOnAsItsRowSays) {
    notify::Registrations registrations;
    for (std::uint32_t type : {30u, 31u, 32u, 38u}) registrations.push_back(Note(type, Side::Ui));
    for (std::uint32_t type : {30u, 31u, 32u, 38u}) dispatcher.Dispatch(WellFormed(type));
    // The new-mail tip needs the count only the direct part reads.
    EXPECT_EQ(notes.TypesOn(Side::Ui), (std::vector<std::uint32_t>{30, 31, 32}));

    // A direct handler that answers nothing lets the hand-over go on; one that answers Stop
    // stops it.
    const notify::Registration mail =
        handlers->OnDirect({38}, [](const Record&) { return HandOver::ToUi; });
    const notify::Registration offer = handlers->OnDirect({32}, [](const Record&) {});
    const notify::Registration end =
        handlers->OnDirect({30}, [](const Record&) { return HandOver::Stop; });
    for (std::uint32_t type : {30u, 32u, 38u}) dispatcher.Dispatch(WellFormed(type));
    EXPECT_EQ(notes.TypesOn(Side::Ui), (std::vector<std::uint32_t>{30, 31, 32, 32, 38}));
}

TEST_F(HandlersTest, ARegistrationEndsWithItsOwner) {
    {
        const notify::Registration owner = Note(25, Side::Direct);
        dispatcher.Dispatch(WellFormed(25));
        EXPECT_EQ(notes.Size(), 1u);
    }
    EXPECT_FALSE(handlers->Has(25, Side::Direct));
    dispatcher.Dispatch(WellFormed(25));
    EXPECT_EQ(notes.Size(), 1u);
    EXPECT_EQ(LogLinesWith("Notification 25 (ChatWindowUpdate) reaches its direct part"), 1);

    // Moved, it stays registered until its new owner lets it go; Cancel ends it at once.
    notify::Registration moved;
    {
        notify::Registration first = Note(39, Side::Ui);
        moved = std::move(first);
        EXPECT_FALSE(first.Active());
    }
    EXPECT_TRUE(handlers->Has(39, Side::Ui));
    moved.Cancel();
    EXPECT_FALSE(moved.Active());
    EXPECT_FALSE(handlers->Has(39, Side::Ui));

    // A subcode handler and a registration of several codes end the same way.
    {
        const notify::Registration tip =
            handlers->OnSubcode(12, [](os::LPARAM) { return os::LRESULT{0}; });
        const notify::Registration several = handlers->OnUi({82, 83, 84, 85}, [](const Record&) {});
        EXPECT_TRUE(handlers->HasSubcode(12));
        EXPECT_TRUE(handlers->Has(84, Side::Ui));
    }
    EXPECT_FALSE(handlers->HasSubcode(12));
    for (std::uint32_t type : {82u, 83u, 84u, 85u}) EXPECT_FALSE(handlers->Has(type, Side::Ui));

    // A registration may outlive its registry.
    auto other = notify::NotificationHandlers::Create(w.context().log);
    notify::Registration orphan = other->OnUi({39}, [](const Record&) {});
    ASSERT_TRUE(orphan.Active());
    other.reset();
    orphan.Cancel();
    EXPECT_FALSE(orphan.Active());
}

TEST_F(HandlersTest, WhatCannotBeRegisteredIsRefusedAndLogged) {
    struct Case {
        const char* what;
        std::function<notify::Registration()> add;
        const char* logged;
    };
    const Case cases[] = {
        {"direct on a UI route", [&] { return handlers->OnDirect({39}, [](const Record&) {}); },
         "A direct handler for notification 39 (Vcard) refused"},
        {"UI on a direct route", [&] { return handlers->OnUi({25}, [](const Record&) {}); },
         "A UI handler for notification 25 (ChatWindowUpdate) refused"},
        {"desk on a UI route", [&] { return handlers->OnServiceDesk({39}, [](const Record&) {}); },
         "A service-desk handler for notification 39 (Vcard) refused"},
        {"copy on a UI route",
         [&] { return handlers->OnCopy({39}, [](std::unique_ptr<Record>) {}); },
         "A copy handler for notification 39 (Vcard) refused"},
        {"an ignored code", [&] { return handlers->OnUi({4}, [](const Record&) {}); },
         "A UI handler for notification 4 refused"},
        {"a code above the table", [&] { return handlers->OnDirect({4000}, [](const Record&) {}); },
         "A direct handler for notification 4000 refused"},
        {"a record subcode",
         [&] { return handlers->OnSubcode(36, [](os::LPARAM) { return os::LRESULT{0}; }); },
         "A handler for UI subcode 36 refused"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        w.world().log().ClearCaptured();
        const notify::Registration registration = c.add();
        EXPECT_FALSE(registration.Active());
        EXPECT_EQ(LogLinesWith(c.logged), 1);
    }
    EXPECT_FALSE(handlers->Has(39, Side::Direct));
    EXPECT_FALSE(handlers->Has(25, Side::Ui));
    EXPECT_FALSE(handlers->HasSubcode(36));

    // A second handler for a code and side, or for a subcode, is refused; the first stays.
    w.world().log().ClearCaptured();
    const notify::Registration first = Note(39, Side::Ui);
    std::vector<std::uint32_t> secondSaw;
    const notify::Registration second =
        handlers->OnUi({39, 57}, [&](const Record& r) { secondSaw.push_back(r.type); });
    EXPECT_TRUE(second.Active());  // 57 was free
    EXPECT_EQ(LogLinesWith("A second UI handler for notification 39 (Vcard) refused"), 1);
    const notify::Registration tip =
        handlers->OnSubcode(12, [](os::LPARAM) { return os::LRESULT{1}; });
    const notify::Registration otherTip =
        handlers->OnSubcode(12, [](os::LPARAM) { return os::LRESULT{2}; });
    EXPECT_TRUE(tip.Active());
    EXPECT_FALSE(otherTip.Active());
    EXPECT_EQ(LogLinesWith("A second handler for UI subcode 12 refused"), 1);

    dispatcher.Dispatch(WellFormed(39));
    dispatcher.Dispatch(WellFormed(57));
    EXPECT_EQ(notes.TypesOn(Side::Ui), std::vector<std::uint32_t>{39});
    EXPECT_EQ(secondSaw, std::vector<std::uint32_t>{57});
    EXPECT_EQ(w.windows().SendMessage(w.mainPanel().hwnd(), core::WM_IM_NOTIFY, 12, 0), 1);
}

TEST_F(HandlersTest, TheMainPanelHandsEachSubcodeToItsHandler) {
    os::LPARAM seen = 0;
    const notify::Registration tip = handlers->OnSubcode(12, [&](os::LPARAM lParam) {
        seen = lParam;
        return os::LRESULT{77};
    });
    const notify::Registration vcard = Note(39, Side::Ui);
    const os::HWND panel = w.mainPanel().hwnd();

    EXPECT_EQ(w.windows().SendMessage(panel, core::WM_IM_NOTIFY, 12, 1234), 77);
    EXPECT_EQ(seen, 1234);
    // A subcode without a handler gets the default handling.
    EXPECT_EQ(w.windows().SendMessage(panel, core::WM_IM_NOTIFY, 14, 1234), 0);
    EXPECT_EQ(seen, 1234);

    // A record goes to the handler of its code, and only with its own subcode.
    const Record card = WellFormed(39);
    w.windows().SendMessage(panel, core::WM_IM_NOTIFY, 22, reinterpret_cast<os::LPARAM>(&card));
    EXPECT_EQ(notes.TypesOn(Side::Ui), std::vector<std::uint32_t>{39});
    w.windows().SendMessage(panel, core::WM_IM_NOTIFY, 36, reinterpret_cast<os::LPARAM>(&card));
    EXPECT_EQ(notes.TypesOn(Side::Ui), std::vector<std::uint32_t>{39});
    EXPECT_EQ(LogLinesWith("Notification 39 came with UI subcode 36"), 1);

    // Once the registry it was attached to is gone, the panel goes on with the default
    // handling.
    {
        auto passing = notify::NotificationHandlers::Create(w.context().log);
        w.mainPanel().AttachNotificationHandlers(passing);
        const notify::Registration answer =
            passing->OnSubcode(12, [](os::LPARAM) { return os::LRESULT{5}; });
        EXPECT_EQ(w.windows().SendMessage(panel, core::WM_IM_NOTIFY, 12, 99), 5);
    }
    EXPECT_EQ(w.windows().SendMessage(panel, core::WM_IM_NOTIFY, 12, 99), 0);
    EXPECT_EQ(seen, 1234);
}

}  // namespace
