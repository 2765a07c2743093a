// The XMPP engine's room calls: each is checked, then carried out by the connection's rooms
// (xmpp_rooms.h) on the I/O thread, which answer with the room records.

#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/xmpp/xmpp_session_core.h"

namespace platform {

xmpp::Rooms* XmppSessionCore::RoomsNow() {
    if (rooms_ != nullptr) return rooms_.get();
    std::string jid, nickname;
    {
        std::lock_guard lock(mutex_);
        if (phase_ != Phase::LoggedIn) return nullptr;
        jid = jid_;
        nickname = nickname_;
    }
    xmpp::RoomsWire wire;
    wire.ctx = ctx_;
    wire.send = [this](xmpp_stanza_t* stanza) { SendOnConnection(stanza); };
    wire.notify = [this](NotifyRecord record) {
        std::lock_guard lock(mutex_);
        if (phase_ == Phase::LoggedIn) queue_.Push(std::move(record));
    };
    wire.log = [this](int level, const std::string& text) { Log(level, text); };
    wire.localTimeNow = [this] {
        const os::LocalTime t = clock_.LocalNow();
        return os::Format("%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                          t.second);
    };
    rooms_ = std::make_unique<xmpp::Rooms>(std::move(wire), jid, nickname,
                                           "conference." + settings_.domain);
    return rooms_.get();
}

bool XmppSessionCore::OnRoomStanza(xmpp_stanza_t* stanza) {
    xmpp::Rooms* rooms = RoomsNow();
    return rooms != nullptr && rooms->OnStanza(stanza);
}

int XmppSessionCore::RoomCall(std::string_view roomJid, std::function<void(xmpp::Rooms&)> call) {
    if (!LoggedIn() || os::Trim(roomJid).empty()) return 0;
    Post([this, call = std::move(call)] {
        if (xmpp::Rooms* rooms = RoomsNow()) call(*rooms);
    });
    return 1;
}

int XmppSessionCore::RequestInstantRoom(std::string_view roomJid) {
    return RoomCall(roomJid, [room = std::string(roomJid)](xmpp::Rooms& rooms) {
        rooms.Enter(room, {}, xmpp::RoomEntry::MakeInstant, {}, "RequestInstantRoom");
    });
}

int XmppSessionCore::CreatePersistentRoom(std::string_view roomJid, std::string_view name) {
    return RoomCall(roomJid, [room = std::string(roomJid), name = std::string(name)](auto& rooms) {
        rooms.Enter(room, {}, xmpp::RoomEntry::MakePersistent, name, "CreatePersistentRoom");
    });
}

int XmppSessionCore::DestroyRoom(std::string_view roomJid) {
    return RoomCall(roomJid,
                    [room = std::string(roomJid)](xmpp::Rooms& rooms) { rooms.Destroy(room); });
}

int XmppSessionCore::EnterConferenceRoom(std::string_view roomJid, std::string_view nickname) {
    return RoomCall(
        roomJid, [room = std::string(roomJid), nick = std::string(nickname)](xmpp::Rooms& rooms) {
            rooms.Enter(room, nick, xmpp::RoomEntry::Enter, {}, "EnterConferenceRoom");
        });
}

int XmppSessionCore::LeaveConferenceRoom(std::string_view roomJid) {
    return RoomCall(roomJid,
                    [room = std::string(roomJid)](xmpp::Rooms& rooms) { rooms.Leave(room); });
}

int XmppSessionCore::SendConferenceMessage(std::string_view roomJid, std::string_view text,
                                           std::string_view font) {
    return RoomCall(
        roomJid, [room = std::string(roomJid), text = std::string(text),
                  font = std::string(font)](xmpp::Rooms& rooms) { rooms.Say(room, text, font); });
}

int XmppSessionCore::ConferenceInvitation(std::string_view roomJid, std::string_view inviteeJid,
                                          std::string_view reason) {
    return RoomCall(roomJid, [room = std::string(roomJid), invitee = std::string(inviteeJid),
                              reason = std::string(reason)](xmpp::Rooms& rooms) {
        rooms.Invite(room, invitee, reason);
    });
}

int XmppSessionCore::SetConferenceMembership(std::string_view roomJid, std::string_view userJid,
                                             std::string_view affiliation) {
    return RoomCall(roomJid, [room = std::string(roomJid), user = std::string(userJid),
                              affiliation = std::string(affiliation)](xmpp::Rooms& rooms) {
        rooms.SetAffiliation(room, user, affiliation);
    });
}

int XmppSessionCore::ChangeConferenceSubject(std::string_view roomJid, std::string_view subject) {
    return RoomCall(roomJid, [room = std::string(roomJid), subject = std::string(subject)](
                                 xmpp::Rooms& rooms) { rooms.SetSubject(room, subject); });
}

int XmppSessionCore::QueryConferenceMembersList(std::string_view roomJid) {
    return RoomCall(
        roomJid, [room = std::string(roomJid)](xmpp::Rooms& rooms) { rooms.QueryMembers(room); });
}

int XmppSessionCore::QueryConferenceInfo(std::string_view roomJid) {
    return RoomCall(roomJid,
                    [room = std::string(roomJid)](xmpp::Rooms& rooms) { rooms.QueryInfo(room); });
}

int XmppSessionCore::RefreshSelfConferenceList(int flag) {
    return RoomCall("own rooms", [flag](xmpp::Rooms& rooms) { rooms.ListOwn(flag); });
}

int XmppSessionCore::GrantConferenceVoice(std::string_view roomJid, std::string_view member) {
    return RoomCall(
        roomJid, [room = std::string(roomJid), member = std::string(member)](xmpp::Rooms& rooms) {
            rooms.SetRole(room, member, "participant", "GrantConferenceVoice");
        });
}

int XmppSessionCore::RevokeConferenceVoice(std::string_view roomJid, std::string_view member) {
    return RoomCall(
        roomJid, [room = std::string(roomJid), member = std::string(member)](xmpp::Rooms& rooms) {
            rooms.SetRole(room, member, "visitor", "RevokeConferenceVoice");
        });
}

int XmppSessionCore::KickConferenceUser(std::string_view roomJid, std::string_view member) {
    return RoomCall(
        roomJid, [room = std::string(roomJid), member = std::string(member)](xmpp::Rooms& rooms) {
            rooms.SetRole(room, member, "none", "KickConferenceUser");
        });
}

int XmppSessionCore::RequestConferenceVoice(std::string_view roomJid) {
    return RoomCall(
        roomJid, [room = std::string(roomJid)](xmpp::Rooms& rooms) { rooms.RequestVoice(room); });
}

}  // namespace platform
