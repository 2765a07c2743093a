#include "notify/dispatch_table.h"

#include <array>
#include <initializer_list>

#include "notify/ui_subcodes.h"

namespace notify {
namespace {

struct Group {
    std::initializer_list<std::uint32_t> types;
    Route route;
    int uiSubcode;
    Job job;
};

using Table = std::array<DispatchRow, kLastRoutedType + 1>;

constexpr Table BuildTable() {
    using R = Route;
    using J = Job;
    // Codes not listed here (4, 7, 8, 9, 23, 33, 44, 45, 46, 48, 56, 58, 94..98, 102) keep
    // the Ignored row they start with.
    const Group groups[] = {
        {{0}, R::Ui, ui::kLoginResult, J::LoginResult},
        {{1}, R::Direct, 0, J::LoggedInElsewhere},
        {{2}, R::Copy, 0, J::UpdateNotice},
        {{3, 6}, R::Ui, ui::kRosterProgress, J::RosterProgress},
        {{5, 10}, R::Direct, 0, J::ContactListLoading},
        {{11, 12, 13, 14, 15, 51, 101}, R::Ui, ui::kIncomingMessage, J::IncomingMessage},
        {{16, 18, 19, 20, 21, 22, 24},
         R::UiThenServiceDesk,
         ui::kPresenceChanged,
         J::PresenceChanged},
        {{17}, R::Direct, 0, J::SubscriptionRequest},
        {{25}, R::Direct, 0, J::ChatWindowUpdate},
        {{26}, R::Ui, ui::kFileTransferStarted, J::FileTransferStarted},
        {{27}, R::Ui, ui::kFileTransferProgress, J::FileTransferProgress},
        {{28}, R::Ui, ui::kFileTransferRefused, J::FileTransferRefused},
        {{29}, R::Ui, ui::kFileTransferCancelled, J::FileTransferCancelled},
        {{30}, R::DirectThenUi, ui::kFileTransferSucceeded, J::FileTransferFinished},
        {{31}, R::DirectThenUi, ui::kFileTransferFailed, J::FileTransferFinished},
        {{32}, R::DirectThenUi, ui::kFileOffer, J::FileOffer},
        {{34}, R::DirectThenServiceDesk, 0, J::TreeNodeAdded},
        {{35, 36, 37}, R::Direct, 0, J::GroupLoadingProgress},
        {{38}, R::DirectThenUi, ui::kNewMailTip, J::NewMailCount},
        {{39}, R::Ui, ui::kVcard, J::Vcard},
        {{40}, R::Direct, 0, J::UserDataUpdate},
        {{41}, R::Ui, ui::kChannelList, J::ChannelList},
        {{42}, R::Direct, 0, J::TypingState},
        {{43}, R::Direct, 0, J::GatewayError},
        {{47, 49, 54}, R::Direct, 0, J::RoomListChange},
        {{50, 52, 53, 55, 60, 61}, R::Direct, 0, J::RoomDetails},
        {{57}, R::Ui, ui::kTemporaryConversation, J::TemporaryConversation},
        {{59}, R::Direct, 0, J::ToolBarValue},
        {{62}, R::Ui, ui::kAnnouncements, J::Announcements},
        {{63}, R::Ui, ui::kRoomUpdate, J::RoomUpdate},
        {{64}, R::Direct, 0, J::SharedDiskOrRoom},
        {{65, 66, 67, 68, 70, 71, 72, 73, 74, 75, 76, 93}, R::ServiceDesk, 0, J::CustomerService},
        {{69}, R::Ui, ui::kChannelTabsUpdate, J::ChannelTabsUpdate},
        {{77}, R::Ui, ui::kSmsQuota, J::SmsQuota},
        {{78}, R::Ui, ui::kTimedSmsAnswer, J::TimedSmsAnswer},
        {{79}, R::Ui, ui::kMailAccount, J::MailAccount},
        {{80}, R::Ui, ui::kPhoneBookCard, J::PhoneBookCard},
        {{81}, R::Ui, ui::kCustomPictureReceived, J::CustomPictureReceived},
        {{82, 83, 84, 85}, R::Ui, ui::kPictureTransfer, J::PictureTransfer},
        {{86, 87, 88, 89, 90}, R::Direct, 0, J::PasswordChangeResult},
        {{91}, R::Direct, 0, J::NetDiskShareResult},
        {{92}, R::Direct, 0, J::NetDiskData},
        {{99}, R::Direct, 0, J::BatchSmsRefused},
        {{100}, R::Direct, 0, J::MonitorData},
        {{103}, R::Ui, ui::kUnknownChatPartner, J::UnknownChatPartner},
        {{104}, R::Ui, ui::kOfflineFileSwitch, J::OfflineFileSwitch},
        {{105}, R::Direct, 0, J::MainPanelPaneUpdate},
        {{106}, R::Direct, 0, J::DataPhaseStart},
    };

    Table table{};
    for (std::uint32_t type = 0; type <= kLastRoutedType; ++type) {
        table[type] = DispatchRow{type, Route::Ignored, 0, Job::None};
    }
    for (const Group& group : groups) {
        for (std::uint32_t type : group.types) {
            table[type] = DispatchRow{type, group.route, group.uiSubcode, group.job};
        }
    }
    return table;
}

constexpr Table kTable = BuildTable();

}  // namespace

std::span<const DispatchRow> DispatchTable() { return kTable; }

DispatchRow RouteOf(std::uint32_t type) {
    if (type > kLastRoutedType) return DispatchRow{type, Route::Ignored, 0, Job::None};
    return kTable[type];
}

bool HasUiPart(Route route) {
    return route == Route::Ui || route == Route::DirectThenUi || route == Route::UiThenServiceDesk;
}

bool HasDirectPart(Route route) {
    return route == Route::Direct || route == Route::DirectThenUi ||
           route == Route::DirectThenServiceDesk;
}

bool ReachesServiceDesk(Route route) {
    return route == Route::UiThenServiceDesk || route == Route::DirectThenServiceDesk ||
           route == Route::ServiceDesk;
}

std::string_view RouteName(Route route) {
    switch (route) {
        case Route::Ignored:
            return "Ignored";
        case Route::Direct:
            return "Direct";
        case Route::Ui:
            return "Ui";
        case Route::DirectThenUi:
            return "DirectThenUi";
        case Route::UiThenServiceDesk:
            return "UiThenServiceDesk";
        case Route::DirectThenServiceDesk:
            return "DirectThenServiceDesk";
        case Route::ServiceDesk:
            return "ServiceDesk";
        case Route::Copy:
            return "Copy";
    }
    return "?";
}

}  // namespace notify
