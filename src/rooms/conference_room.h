#pragma once
// One room the user belongs to or talks in, as the conference centre keeps it, and what a
// room's kind and a member's role decide: titles, captions, labels and permissions.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class CDlgRoom;

namespace rooms {

enum class RoomKind : int {
    Consultation = 0,  // from the start-up list
    Temporary = 1,     // an invitation marked "temporary", or an instant room
    Persistent = 2,    // the room list, a creation, a message from an unknown room
    InstantAlternative = 3,
};

// How a window opening comes into its room: it asks to enter, or the call that made the
// room (an instant room's request) has already put the user in.
enum class RoomEntry { Enter, AskedAlready };

// The room service's role words, ordered by what they allow.
enum class Role : int { None = 0, Visitor = 1, Participant = 2, Moderator = 3 };

Role RoleFromWord(std::string_view word);  // unknown words count as "none"
bool MaySend(Role role);                   // participant and moderator

// The name a temporary room gets.
inline constexpr std::string_view kTemporaryRoomName = "多人对话";
inline constexpr std::string_view kTemporaryReason = "temporary";
inline constexpr std::string_view kOwnerAffiliation = "owner";

struct RoomMember {
    std::string occupantJid;  // room JID + "/" + nickname
    std::string jid;          // the member's own JID, when the room tells it
    std::string name;         // nickname or display name
    std::string affiliation;  // "owner", "admin", "member", "none"
    Role role = Role::None;
    bool handRaised = false;
};

struct ConferenceRoom {
    std::string jid;
    std::string name;
    std::string subject;
    int memberCount = 0;
    int memberLimit = 0;
    std::string affiliation;
    RoomKind kind = RoomKind::Persistent;
    // The members by occupant JID (presence) and by own JID (the persistent room's list).
    std::map<std::string, RoomMember> occupants;
    std::map<std::string, RoomMember> members;
    std::vector<std::string> pendingInvitees;
    // The room's window, or none; the record owns it. Touched on the UI thread only.
    std::unique_ptr<CDlgRoom> window;

    bool temporary() const { return kind == RoomKind::Temporary; }
};

// ---- What the kind decides ----

// The window title: "网上咨询室 - %s", "多人聊天", or the room name.
std::string RoomTitle(RoomKind kind, std::string_view name);
// The member group captions, in order.
std::vector<std::string> MemberGroupCaptions(RoomKind kind);
// The label of a role in this kind of room ("访客" is "提问者" in a consultation room).
std::string RoleLabel(RoomKind kind, Role role);
// Whether the list follows presence (every kind but the persistent room, whose list is
// the server's member list).
bool ListFollowsPresence(RoomKind kind);
// The member panel caption "参与者(%d/%d)".
std::string MemberCaption(int count, int limit);
// The rooms branch's node text "%s (%d/%d)".
std::string RoomNodeText(std::string_view name, int count, int limit);
// The member's line in the member panel: the name, "(管理员)" for an owner or admin of a
// persistent room, "%s/%s" with "(举手)" for a visitor who raised a hand.
std::string MemberLine(RoomKind kind, const RoomMember& member);

}  // namespace rooms
