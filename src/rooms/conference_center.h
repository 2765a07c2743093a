#pragma once
// CConferenceCenter: the registry of the rooms the user belongs to or talks in, one record per
// room JID, and the door (core::RoomService) through which the exports, the chat windows and
// the session sequences reach the rooms. It opens and finds each room's window, creates
// instant and persistent rooms, leaves or destroys them, takes the room notifications the pump
// hands over, and keeps the rooms branch of the main panel (a tree titled with the room term,
// one node per room) in step.
//
// Threads: the map is guarded by one lock that every operation on it takes, since the exports
// may come at any time; the records' windows and the rooms branch belong to the UI thread, and
// everything that touches them runs there (the notification handlers are sent there first).

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "contacts/main_panel_trees.h"
#include "core/doors/room_service.h"
#include "os/controls/tree_control.h"
#include "rooms/conference_room.h"
#include "rooms/room_notify_layout.h"

namespace core {
class ClientContext;
}
namespace contacts {
class ContactTrees;
}
namespace os {
class TreeControl;
}

namespace rooms {

// The rooms branch's control id on the main panel, laid out with the contact trees.
inline constexpr int kRoomTreeId = contacts::kRoomTreeId;

}  // namespace rooms

class CConferenceCenter final : public core::RoomService {
  public:
    using Room = rooms::ConferenceRoom;
    using RoomPtr = std::shared_ptr<Room>;

    // `trees` (may be null) offer the contacts the room windows add or invite.
    CConferenceCenter(core::ClientContext& context, contacts::ContactTrees* trees);
    ~CConferenceCenter() override;
    CConferenceCenter(const CConferenceCenter&) = delete;
    CConferenceCenter& operator=(const CConferenceCenter&) = delete;

    // ---- The door
    void Init() override;
    // Log-out: every room window closes (leaving its room) and the map is emptied.
    void LeaveAllRooms() override;
    void ReenterLostRooms() override;
    void ShowConferenceProperty() override;  // of the selected room node
    void ShowConferenceCreate() override;
    void ShowConferenceLogout() override;
    void ShowConferenceListRefresh() override;
    void CreateInstantRoom(const std::vector<std::string>& invitees) override;
    bool OnRoomKeyDown(os::HWND room, int key, int flags) override;
    // A room's message: to its window, opened for it (an unknown room gets a record).
    void OnRoomMessage(const core::QueuedMessage& message) override;

    // ---- Operations (UI thread unless said otherwise)
    // Shows the room's window, made when there is none. False (and a log line) for an
    // unknown room.
    bool ShowConferenceRoom(std::string_view jid);
    bool ShowConferenceProperty(std::string_view jid);
    // Any thread.
    RoomPtr Find(std::string_view jid) const;
    RoomPtr FindByWindow(os::HWND window) const;
    std::size_t RoomCount() const;
    std::vector<std::string> RoomJids() const;
    // A new room JID: a fresh key of 32 hex digits on the server's conference domain.
    std::string NewRoomJid() const;
    // `alternative` opens it as kind 3. False when the window could not be made.
    bool CreateInstantRoom(const std::vector<std::string>& invitees, bool alternative);
    // Asks for a name; false when the user cancels or gives none.
    bool CreatePersistentRoom();
    bool CreatePersistentRoom(const std::string& name);
    // The selected node of the rooms branch: the two questions, then destroy or leave.
    bool LeaveOrDestroySelected();
    bool RefreshOwnRoomList();
    void QueryInfoOfSelected();
    // The room of the selected node in the rooms branch, or none.
    RoomPtr SelectedRoom() const;
    // The rooms branch, or null when the main panel has none.
    os::TreeControl* RoomTree() const;

    // ---- What the notifications say (UI thread)
    void OnInvitation(const rooms::Invitation& invitation);
    void OnRoomList(const std::vector<rooms::RoomListEntry>& entries, rooms::RoomKind kind);
    void OnRoomInfo(const rooms::RoomInfo& info);
    void OnMemberPresence(const rooms::MemberPresence& presence);
    void OnMemberCounts(const rooms::RoomCounts& counts);
    void OnMemberList(const rooms::MemberList& list);
    // Shown only while the room's window is open, which it closes.
    void OnRoomError(const rooms::RoomError& error);
    // The room left the user's list: destroyed (told as dissolved) or the membership taken.
    void OnRoomRemoved(const rooms::RoomRemoved& removed);
    void OnVoiceRequest(const rooms::VoiceRequest& request);

    core::ClientContext& context() const { return context_; }
    contacts::ContactTrees* contactTrees() const { return trees_; }
    // The room term of user-facing texts (SelfRoomTitle, "群" when unset).
    std::string RoomTerm() const;

  private:
    // Inserts `room` unless its JID is known; answers the record in the map.
    RoomPtr Insert(RoomPtr room);
    // A kind-2 record for a room that spoke before it was known, with its window.
    RoomPtr FindOrAddSpeakingRoom(const std::string& jid);
    void Remove(const std::string& jid);
    CDlgRoom* OpenWindow(Room& room, rooms::RoomEntry entry = rooms::RoomEntry::Enter);
    // The room's window while it is open, else null.
    static CDlgRoom* OpenWindowOf(const Room& room);
    void AddNode(const Room& room, bool select);
    void UpdateNode(const Room& room);
    void RemoveNode(const std::string& jid);

    core::ClientContext& context_;
    contacts::ContactTrees* trees_;
    mutable std::mutex mutex_;
    std::map<std::string, RoomPtr, std::less<>> rooms_;
    // The rooms branch's node of each room (UI thread).
    std::map<std::string, os::TreeItem, std::less<>> nodes_;
};
