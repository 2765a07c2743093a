#pragma once
// The doors through which a notification reaches the work that acts on it. The pump decides
// the route of every notification (dispatch_table.h) and carries it there; what happens at
// the end of a route belongs to the subsystem that owns the job (contacts, chat, rooms, file
// transfer, SMS, mail, the customer-service desk ...). Each job is one method below with a
// harmless default (does nothing; a direct part lets the hand-over go on unless it depends on
// data only the owner reads), the behaviour of a client without that subsystem. Whoever builds the
// client plugs in classes that override what they provide (NotifySeams).
//
// Threads: DirectJobs run on the notification thread and reach windows only by sending or
// posting to them; UiJobs and IncomingMessageHooks run on the UI thread. A direct job must
// not keep the record: it is given back once the route has been carried out.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/pending_messages.h"
#include "os/ui/messages.h"
#include "platform/session/notify_record.h"

namespace notify {

// What the direct part of a route lets happen next.
enum class HandOver { ToUi, Stop };

// ---- Jobs on the notification thread.
class DirectJobs {
  public:
    virtual ~DirectJobs() = default;
    using Record = platform::NotifyRecord;

    // The contact list is loading: the status label shows "正在加载联系人列表..."; the list
    // data of the first kind goes to the contact pane; open chat windows refresh their
    // contact display.
    virtual void ContactListLoading(const Record&) {}
    // The chat window of the record's JID, if open, updates its display.
    virtual void ChatWindowUpdate(const Record&) {}
    // A file transfer ended (success or failure); the UI part then writes the outcome.
    virtual HandOver FileTransferFinished(const Record&) { return HandOver::ToUi; }
    // A file is offered; Stop when it was refused here (the chat is in audio/video mode).
    virtual HandOver FileOffer(const Record&) { return HandOver::ToUi; }
    // A node is added to one of the contact trees.
    virtual void TreeNodeAdded(const Record&) {}
    // Group loading progress, for the log.
    virtual void GroupLoadingProgress(const Record&) {}
    // The new-mail count for the tool bar; ToUi (the new-mail tip) only when it is above 0.
    virtual HandOver NewMailCount(const Record&) { return HandOver::Stop; }
    virtual void UserDataUpdate(const Record&) {}
    // The other party's typing state in the chat window.
    virtual void TypingState(const Record&) {}
    // A gateway (MSN) error: the gateway session is logged off.
    virtual void GatewayError(const Record&) {}
    // Room list changes and room and member details, for the conference centre.
    virtual void RoomListChange(const Record&) {}
    virtual void RoomDetails(const Record&) {}
    // A value for the main window tool bar.
    virtual void ToolBarValue(const Record&) {}
    // To the shared-disk window when it is open, else to the conference centre.
    virtual void SharedDiskOrRoom(const Record&) {}
    // Password change results; success keeps the new password in the session engine.
    virtual void PasswordChangeResult(const Record&) {}
    virtual void NetDiskShareResult(const Record&) {}
    virtual void NetDiskData(const Record&) {}
    // A batch SMS to a group was refused for its size.
    virtual void BatchSmsRefused(const Record&) {}
    virtual void MonitorData(const Record&) {}
    virtual void MainPanelPaneUpdate(const Record&) {}
    // The data phase after login starts: roster, phone book, online counts, server time.
    virtual void DataPhaseStart(const Record&) {}
    // The customer-service desk sees the record too (its own kinds, presence, tree nodes).
    virtual void CustomerServiceOnNotify(const Record&) {}

    // The contact model: the subscription state ("none", "to", "from", "both") of `jid` in
    // the user's contact trees, or nothing when it is no contact there.
    virtual std::optional<std::string> ContactSubscription(std::string_view /*jid*/) {
        return std::nullopt;
    }
};

// ---- Jobs on the UI thread, reached through the main panel (WM_IM_NOTIFY).
class UiJobs {
  public:
    virtual ~UiJobs() = default;
    using Record = platform::NotifyRecord;

    virtual void LoginResult(const Record&) {}
    // Roster loading progress, for the log.
    virtual void RosterProgress(const Record&) {}
    // A contact's presence changed: the contact trees, maybe a status tip.
    virtual void PresenceChanged(const Record&) {}
    // File transfer events in the chat window.
    virtual void FileTransferStarted(const Record&) {}
    virtual void FileTransferProgress(const Record&) {}
    virtual void FileTransferRefused(const Record&) {}
    virtual void FileTransferCancelled(const Record&) {}
    // `succeeded` tells the two ends apart.
    virtual void FileTransferFinished(const Record&, bool /*succeeded*/) {}
    virtual void FileOffer(const Record&) {}
    // The new-mail tip.
    virtual void NewMailTip(const Record&) {}
    virtual void Vcard(const Record&) {}
    // The channel list after login: channel tabs and the switch to the logged-in interface.
    virtual void ChannelList(const Record&) {}
    virtual void TemporaryConversation(const Record&) {}
    virtual void Announcements(const Record&) {}
    virtual void RoomUpdate(const Record&) {}
    virtual void ChannelTabsUpdate(const Record&) {}
    virtual void SmsQuota(const Record&) {}
    virtual void TimedSmsAnswer(const Record&) {}
    virtual void MailAccount(const Record&) {}
    virtual void PhoneBookCard(const Record&) {}
    virtual void CustomPictureReceived(const Record&) {}
    // Picture-transfer events for the chat window of the record's JID.
    virtual void PictureTransfer(const Record&) {}
    // A message came from an unknown chat partner: ask the server who it is.
    virtual void UnknownChatPartner(const Record&) {}
    virtual void OfflineFileSwitch(const Record&) {}

    // A new-version notice; the update work owns (and frees) the copy.
    virtual void UpdateNotice(std::unique_ptr<platform::UpdateNoticeData> /*notice*/) {}
    // A subcode sent by other parts of the client (message boxes, the command-line chat,
    // the audio service ...). An answer, or nothing when it is not handled.
    virtual std::optional<os::LRESULT> OtherSubcode(int /*subcode*/, os::LPARAM /*lParam*/) {
        return std::nullopt;
    }
};

// ---- What the incoming-message handling asks of other subsystems (UI thread).
class IncomingMessageHooks {
  public:
    virtual ~IncomingMessageHooks() = default;

    // Whether `jid` is in one of the user's contact lists.
    virtual bool IsInContactLists(std::string_view /*jid*/) { return false; }
    // Puts `jid` at the top of the recent contacts (only with the recent-contacts component).
    virtual void PutAtTopOfRecentContacts(std::string_view /*jid*/) {}
    // The user was removed from or invited to a room: the room list is asked for again.
    virtual void RefreshRoomList() {}
    // A room message carrying pictures: the room window fetches them into "temp/".
    virtual void RoomPictureMessage(const core::QueuedMessage& /*message*/) {}
    // A real-time OA notice: stored, listed and announced by the OA notice work.
    virtual void OaNotice(const core::QueuedMessage& /*message*/) {}
    // A message of a gateway (MSN) contact is stored through the gateway contact list. False
    // when there is no gateway list: the message is then stored like any other.
    virtual bool StoreGatewayMessage(const core::QueuedMessage& /*message*/) { return false; }
};

// One door per side; never null (the defaults above when nothing is plugged in).
struct NotifySeams {
    NotifySeams();

    DirectJobs* direct;
    UiJobs* ui;
    IncomingMessageHooks* incoming;
};

}  // namespace notify
