#pragma once
// Where each notification of the session engine goes. Every type code takes exactly one
// route, held here as data: one row per known code (0..106), and the "ignored" row for every
// code above. The notification thread reads the row and does what it says; nothing else
// decides a route. What happens at the end of a route is up to the handler that the owning
// subsystem registered for the code (notification_handlers.h).
//
//   Ignored               given back at once, without any effect
//   Direct                handled on the notification thread
//   Ui                    sent (synchronously) to the main panel as WM_IM_NOTIFY with the
//                         row's UI subcode; the record stays valid while the panel works
//   DirectThenUi          the direct part first; unless it stops the hand-over, then as Ui
//   UiThenServiceDesk     as Ui, then handed to the customer-service desk too
//   DirectThenServiceDesk the direct part, then the customer-service desk
//   ServiceDesk           only the customer-service desk
//   Copy                  a heap copy posted to the main panel as WM_IM_NOTIFY_COPY; the
//                         receiver owns it (the record itself is given back at once)
//
// A row also names its notification (for logs; codes of one kind share a name) and, for a
// route with a hand-over, what the hand-over does when no direct handler is registered. The
// rows are the one place that sets the UI subcodes of the records' routes; the main panel's
// other subcodes, which other parts of the client send, are in ui_subcodes.h.

#include <cstdint>
#include <span>
#include <string_view>

namespace notify {

enum class Route : std::uint8_t {
    Ignored,
    Direct,
    Ui,
    DirectThenUi,
    UiThenServiceDesk,
    DirectThenServiceDesk,
    ServiceDesk,
    Copy,
};

// What the direct part of a route lets happen next.
enum class HandOver : std::uint8_t { ToUi, Stop };

// The parts a route is made of, each with a handler of its own:
//   Direct       on the notification thread
//   Ui           on the UI thread, through the main panel, with the record itself
//   ServiceDesk  on the notification thread, after the route's other part
//   Copy         on the UI thread, with a heap copy the handler owns
enum class Side : std::uint8_t { Direct, Ui, ServiceDesk, Copy };

struct DispatchRow {
    std::uint32_t type = 0;
    // What the notification is; empty on an Ignored row.
    std::string_view name;
    Route route = Route::Ignored;
    // The WM_IM_NOTIFY subcode of the UI part; 0 on a route without one.
    int uiSubcode = 0;
    // Where a route with a hand-over goes when no direct handler is registered: on, unless
    // only the direct part could tell that the UI part is wanted.
    HandOver withoutDirectHandler = HandOver::ToUi;
};

// The highest type code with a row of its own.
inline constexpr std::uint32_t kLastRoutedType = 106;

// The rows of codes 0..kLastRoutedType, in code order.
std::span<const DispatchRow> DispatchTable();
// The row of any code (codes above kLastRoutedType get an Ignored row).
DispatchRow RouteOf(std::uint32_t type);

// Whether the route sends the record to the main panel / has a direct part / reaches the
// customer-service desk / posts a copy; Reaches tells it for any side.
bool HasUiPart(Route route);
bool HasDirectPart(Route route);
bool ReachesServiceDesk(Route route);
bool Reaches(Route route, Side side);

// Whether WM_IM_NOTIFY with this subcode carries a record of the session engine, that is,
// whether some row's UI part uses it.
bool IsRecordSubcode(int subcode);

// "Direct", "Ui", ... and "direct", "UI", ... for logs and test output.
std::string_view RouteName(Route route);
std::string_view SideName(Side side);

}  // namespace notify
