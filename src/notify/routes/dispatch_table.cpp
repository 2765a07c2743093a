#include "notify/routes/dispatch_table.h"

#include <array>

namespace notify {
namespace {

// Subcodes of record routes stay below this (a bit set of them answers IsRecordSubcode).
constexpr int kSubcodeLimit = 256;

using enum Route;

// One row per routed code, in code order. Codes not listed here (4, 7, 8, 9, 23, 33, 44, 45,
// 46, 48, 56, 58, 94..98, 102) keep the Ignored row they start with.
// {code, name, route, UI subcode, without a direct handler}
constexpr DispatchRow kRows[] = {
    {0, "LoginResult", Ui, 37},
    {1, "LoggedInElsewhere", Direct},
    {2, "UpdateNotice", Copy},
    {3, "RosterProgress", Ui, 45},
    {5, "ContactListLoading", Direct},
    {6, "RosterProgress", Ui, 45},
    {10, "ContactListLoading", Direct},
    {11, "IncomingMessage", Ui, 36},
    {12, "IncomingMessage", Ui, 36},
    {13, "IncomingMessage", Ui, 36},
    {14, "IncomingMessage", Ui, 36},
    {15, "IncomingMessage", Ui, 36},
    {16, "PresenceChanged", UiThenServiceDesk, 46},
    {17, "SubscriptionRequest", Direct},
    {18, "PresenceChanged", UiThenServiceDesk, 46},
    {19, "PresenceChanged", UiThenServiceDesk, 46},
    {20, "PresenceChanged", UiThenServiceDesk, 46},
    {21, "PresenceChanged", UiThenServiceDesk, 46},
    {22, "PresenceChanged", UiThenServiceDesk, 46},
    {24, "PresenceChanged", UiThenServiceDesk, 46},
    {25, "ChatWindowUpdate", Direct},
    {26, "FileTransferStarted", Ui, 30},
    {27, "FileTransferProgress", Ui, 29},
    {28, "FileTransferRefused", Ui, 31},
    {29, "FileTransferCancelled", Ui, 32},
    {30, "FileTransferSucceeded", DirectThenUi, 4, HandOver::ToUi},
    {31, "FileTransferFailed", DirectThenUi, 5, HandOver::ToUi},
    // Stop comes only from the direct part: a chat in audio/video mode refuses the file.
    {32, "FileOffer", DirectThenUi, 2, HandOver::ToUi},
    {34, "TreeNodeAdded", DirectThenServiceDesk},
    {35, "GroupLoadingProgress", Direct},
    {36, "GroupLoadingProgress", Direct},
    {37, "GroupLoadingProgress", Direct},
    // The new-mail tip only when the count the direct part reads is above 0.
    {38, "NewMailCount", DirectThenUi, 9, HandOver::Stop},
    {39, "Vcard", Ui, 22},
    {40, "UserDataUpdate", Direct},
    {41, "ChannelList", Ui, 8},
    {42, "TypingState", Direct},
    {43, "GatewayError", Direct},
    {47, "RoomListChange", Direct},
    {49, "RoomListChange", Direct},
    {50, "RoomDetails", Direct},
    {51, "IncomingMessage", Ui, 36},
    {52, "RoomDetails", Direct},
    {53, "RoomDetails", Direct},
    {54, "RoomListChange", Direct},
    {55, "RoomDetails", Direct},
    {57, "TemporaryConversation", Ui, 18},
    {59, "ToolBarValue", Direct},
    {60, "RoomDetails", Direct},
    {61, "RoomDetails", Direct},
    {62, "Announcements", Ui, 19},
    {63, "RoomUpdate", Ui, 20},
    {64, "SharedDiskOrRoom", Direct},
    {65, "CustomerService", ServiceDesk},
    {66, "CustomerService", ServiceDesk},
    {67, "CustomerService", ServiceDesk},
    {68, "CustomerService", ServiceDesk},
    {69, "ChannelTabsUpdate", Ui, 23},
    {70, "CustomerService", ServiceDesk},
    {71, "CustomerService", ServiceDesk},
    {72, "CustomerService", ServiceDesk},
    {73, "CustomerService", ServiceDesk},
    {74, "CustomerService", ServiceDesk},
    {75, "CustomerService", ServiceDesk},
    {76, "CustomerService", ServiceDesk},
    {77, "SmsQuota", Ui, 24},
    {78, "TimedSmsAnswer", Ui, 25},
    {79, "MailAccount", Ui, 26},
    {80, "PhoneBookCard", Ui, 27},
    {81, "CustomPictureReceived", Ui, 34},
    {82, "PictureTransfer", Ui, 35},
    {83, "PictureTransfer", Ui, 35},
    {84, "PictureTransfer", Ui, 35},
    {85, "PictureTransfer", Ui, 35},
    {86, "PasswordChangeResult", Direct},
    {87, "PasswordChangeResult", Direct},
    {88, "PasswordChangeResult", Direct},
    {89, "PasswordChangeResult", Direct},
    {90, "PasswordChangeResult", Direct},
    {91, "NetDiskShareResult", Direct},
    {92, "NetDiskData", Direct},
    {93, "CustomerService", ServiceDesk},
    {99, "BatchSmsRefused", Direct},
    {100, "MonitorData", Direct},
    {101, "IncomingMessage", Ui, 36},
    {103, "UnknownChatPartner", Ui, 43},
    {104, "OfflineFileSwitch", Ui, 44},
    {105, "MainPanelPaneUpdate", Direct},
    {106, "DataPhaseStart", Direct},
};

using Table = std::array<DispatchRow, kLastRoutedType + 1>;

constexpr bool HasUiPartOf(Route route) {
    return route == Route::Ui || route == Route::DirectThenUi || route == Route::UiThenServiceDesk;
}

// Every code once, in code order, named; a subcode exactly on the routes with a UI part; a
// hand-over default other than on only where there is a hand-over.
constexpr bool RowsAreWellFormed() {
    std::int64_t previous = -1;
    for (const DispatchRow& row : kRows) {
        if (static_cast<std::int64_t>(row.type) <= previous || row.type > kLastRoutedType) {
            return false;
        }
        previous = row.type;
        if (row.name.empty() || row.route == Route::Ignored) return false;
        const bool hasSubcode = row.uiSubcode > 0 && row.uiSubcode < kSubcodeLimit;
        if (hasSubcode != HasUiPartOf(row.route) || (!hasSubcode && row.uiSubcode != 0)) {
            return false;
        }
        if (row.withoutDirectHandler == HandOver::Stop && row.route != Route::DirectThenUi) {
            return false;
        }
    }
    return true;
}
static_assert(RowsAreWellFormed(), "a row of the route table is out of order or malformed");

constexpr Table BuildTable() {
    Table table{};
    for (std::uint32_t type = 0; type <= kLastRoutedType; ++type) {
        table[type] = DispatchRow{type, {}, Route::Ignored, 0, HandOver::ToUi};
    }
    for (const DispatchRow& row : kRows) table[row.type] = row;
    return table;
}

constexpr std::array<bool, kSubcodeLimit> BuildRecordSubcodes() {
    std::array<bool, kSubcodeLimit> used{};
    for (const DispatchRow& row : kRows) {
        if (HasUiPartOf(row.route)) used[static_cast<std::size_t>(row.uiSubcode)] = true;
    }
    return used;
}

constexpr Table kTable = BuildTable();
constexpr std::array<bool, kSubcodeLimit> kRecordSubcodes = BuildRecordSubcodes();

}  // namespace

std::span<const DispatchRow> DispatchTable() { return kTable; }

DispatchRow RouteOf(std::uint32_t type) {
    if (type > kLastRoutedType) return DispatchRow{type, {}, Route::Ignored, 0, HandOver::ToUi};
    return kTable[type];
}

bool HasUiPart(Route route) { return HasUiPartOf(route); }

bool HasDirectPart(Route route) {
    return route == Route::Direct || route == Route::DirectThenUi ||
           route == Route::DirectThenServiceDesk;
}

bool ReachesServiceDesk(Route route) {
    return route == Route::UiThenServiceDesk || route == Route::DirectThenServiceDesk ||
           route == Route::ServiceDesk;
}

bool Reaches(Route route, Side side) {
    switch (side) {
        case Side::Direct:
            return HasDirectPart(route);
        case Side::Ui:
            return HasUiPart(route);
        case Side::ServiceDesk:
            return ReachesServiceDesk(route);
        case Side::Copy:
            return route == Route::Copy;
    }
    return false;
}

bool IsRecordSubcode(int subcode) {
    return subcode > 0 && subcode < kSubcodeLimit &&
           kRecordSubcodes[static_cast<std::size_t>(subcode)];
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

std::string_view SideName(Side side) {
    switch (side) {
        case Side::Direct:
            return "direct";
        case Side::Ui:
            return "UI";
        case Side::ServiceDesk:
            return "service-desk";
        case Side::Copy:
            return "copy";
    }
    return "?";
}

}  // namespace notify
