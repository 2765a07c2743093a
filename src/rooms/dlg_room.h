#pragma once
// CDlgRoom: the window of one room, a top-level window of class "KESTRAL_IM_ROOMWND", for all
// four kinds. It shows the room's conversation in the chat's message view, an input box with
// its tool row, the member panel (a group per caption of the kind), the moderator's commands
// and, but for temporary rooms, the notice page. What the room decides (send checks, the
// member limit, the own role) is rooms/room_rules.h; the window gathers input, calls it and
// shows the answer. It belongs to its room's record (the centre's) and to the UI thread.

#include <string>
#include <vector>

#include "chat/chat_rich_view.h"
#include "chat/encoding/input_encoder.h"
#include "os/ui/window.h"
#include "rooms/conference_room.h"
#include "rooms/room_notify_layout.h"

class CConferenceCenter;

namespace os {
class Button;
class Label;
class TreeControl;
class WebView;
}  // namespace os

namespace rooms {
inline constexpr int kRoomWidth = 640;
inline constexpr int kRoomHeight = 520;
// The persistent room's refreshes: the member list every 10 minutes, presence every minute.
inline constexpr int kMemberListTimer = 3;
inline constexpr int kPresenceTimer = 4;
inline constexpr os::Millis kMemberListPeriodMs = 600000;
inline constexpr os::Millis kPresencePeriodMs = 60000;
}  // namespace rooms

class CDlgRoom final : public os::Window {
  public:
    CDlgRoom(CConferenceCenter& center, rooms::ConferenceRoom& room);
    ~CDlgRoom() override;

    // Creates and shows the window, enters the room (unless `entry` says the user is being
    // put in already) and asks what opening asks.
    bool Create(rooms::RoomEntry entry = rooms::RoomEntry::Enter);

    rooms::ConferenceRoom& room() { return room_; }
    rooms::Role ownRole() const { return ownRole_; }
    bool inputEnabled() const;
    chat::CChatRichView& view() { return *view_; }

    // ---- What the centre hands on
    // The record's name, subject or counts changed: title and captions again.
    void RefreshTitleAndCounts();
    void OnMemberPresence(const rooms::MemberPresence& presence);
    void OnMessage(const rooms::RoomMessage& message);
    void OnMemberList(const rooms::MemberList& list);
    // A visitor asks for voice: the moderator sees the raised hand.
    void OnVoiceRequest(const rooms::VoiceRequest& request);
    // The invitees of an instant room (pending until they come).
    void SetInvitees(const std::vector<std::string>& invitees);
    // Closes the window without asking (a removal, an error, the log-out).
    void CloseRoom();

    // ---- Commands (the buttons, also for the host's menus)
    void Send();
    void RaiseHand();
    void AddMembers();
    void DeleteSelectedMember();
    void GrantVoiceToSelected();
    void RevokeVoiceFromSelected();
    void KickSelected();
    void BatchSmsToSelected();
    void ChangeSubject();
    void ShowRoomLog();
    void ShowDissolved();
    // The member of the selected node, or null.
    const rooms::RoomMember* SelectedMember() const;

  protected:
    os::LRESULT OnMessage(os::UINT message, os::WPARAM wParam, os::LPARAM lParam) override;

  private:
    void MakeControls();
    void LayOutControls(int width, int height);
    void OnCommand(int id, int code);
    void ApplyOwnRole(rooms::Role role);
    void ShowSystemLine(const std::string& text);
    void RebuildMembers();
    // Whether a present occupant is on the persistent room's member list.
    bool IsListedMember(const rooms::RoomMember& occupant) const;
    // How the moderator's commands name a member to the server.
    static std::string CommandTarget(const rooms::RoomMember& member);
    std::string OwnJid() const;
    bool IsOwnOccupant(const rooms::MemberPresence& presence) const;
    bool IsOwnMessage(const rooms::RoomMessage& message) const;
    std::string ModeratorName() const;
    bool ModeratorOnline() const;
    void UploadPictures(const std::vector<std::string>& pictures);

    CConferenceCenter& center_;
    rooms::ConferenceRoom& room_;
    rooms::Role ownRole_ = rooms::Role::None;
    bool entered_ = false;
    // The user's own occupant JID, once the room has told it.
    std::string ownOccupant_;
    bool closing_ = false;
    chat::PictureMap pictures_;
    chat::CChatRichView* view_ = nullptr;
    chat::CChatRichView* input_ = nullptr;
    os::Button* send_ = nullptr;
    os::Button* raiseHand_ = nullptr;
    os::Label* memberCaption_ = nullptr;
    os::TreeControl* members_ = nullptr;
    os::Label* noticeCaption_ = nullptr;
    os::WebView* notice_ = nullptr;
    std::vector<os::Button*> moderatorButtons_;
};
