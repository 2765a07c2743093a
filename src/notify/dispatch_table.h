#pragma once
// Where each notification of the session engine goes. Every type code takes exactly one
// route, held here as data: one row per known code (0..106), and the "ignored" row for every
// code above. The notification thread reads the row and does what it says; nothing else
// decides a route.
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

// The work a notification leads to. A job names who acts on it; the same job may serve
// several codes (the file transfer end, for success and failure).
enum class Job : std::uint8_t {
    None,
    LoginResult,
    LoggedInElsewhere,
    UpdateNotice,
    RosterProgress,
    ContactListLoading,
    IncomingMessage,
    PresenceChanged,
    SubscriptionRequest,
    ChatWindowUpdate,
    FileTransferStarted,
    FileTransferProgress,
    FileTransferRefused,
    FileTransferCancelled,
    FileTransferFinished,
    FileOffer,
    TreeNodeAdded,
    GroupLoadingProgress,
    NewMailCount,
    Vcard,
    UserDataUpdate,
    ChannelList,
    TypingState,
    GatewayError,
    RoomListChange,
    RoomDetails,
    TemporaryConversation,
    ToolBarValue,
    Announcements,
    RoomUpdate,
    SharedDiskOrRoom,
    CustomerService,
    ChannelTabsUpdate,
    SmsQuota,
    TimedSmsAnswer,
    MailAccount,
    PhoneBookCard,
    CustomPictureReceived,
    PictureTransfer,
    PasswordChangeResult,
    NetDiskShareResult,
    NetDiskData,
    BatchSmsRefused,
    MonitorData,
    UnknownChatPartner,
    OfflineFileSwitch,
    MainPanelPaneUpdate,
    DataPhaseStart,
};

// A UI subcode of 0 on a row whose route has no UI part.
struct DispatchRow {
    std::uint32_t type = 0;
    Route route = Route::Ignored;
    int uiSubcode = 0;
    Job job = Job::None;
};

// The highest type code with a row of its own.
inline constexpr std::uint32_t kLastRoutedType = 106;

// The rows of codes 0..kLastRoutedType, in code order.
std::span<const DispatchRow> DispatchTable();
// The row of any code (codes above kLastRoutedType get an Ignored row).
DispatchRow RouteOf(std::uint32_t type);

// Whether the route sends the record to the main panel / has a direct part / reaches the
// customer-service desk.
bool HasUiPart(Route route);
bool HasDirectPart(Route route);
bool ReachesServiceDesk(Route route);

// "Direct", "Ui", ... for logs and test output.
std::string_view RouteName(Route route);

}  // namespace notify
