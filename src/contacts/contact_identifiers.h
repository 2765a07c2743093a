#pragma once
// The JID forms the contact trees build and recognise.
//
//   "%s$gov@%s"   a government directory user (also written local + "@gover." + host)
//   "%s$pub@%s"   a public directory user (also written local + "@puber." + host)
//   "%s@sms.%s"   an SMS recipient (the session engine's GetUserType answers 3)
//   "...@conference...."        a group-chat room; room JID + "/" + nickname is an occupant
//   "...@msn...."               a contact reached through the MSN gateway
//
// When two JIDs name one person is decided by core::JidsEqual (core/jid_equality.h).

#include <string>
#include <string_view>

namespace platform {
class SessionCore;
}

namespace contacts {

std::string GovernmentJid(std::string_view localPart, std::string_view host);
std::string PublicJid(std::string_view localPart, std::string_view host);
std::string SmsJid(std::string_view mobile, std::string_view host);

bool IsRoomJid(std::string_view jid);
bool IsMsnJid(std::string_view jid);

// A room occupant: the room JID, "/" and a non-empty nickname.
struct RoomOccupant {
    std::string roomJid;
    std::string nickname;
};
// Splits an occupant JID at its first '/'; false when `jid` is no room JID or names no
// occupant.
bool SplitRoomOccupant(std::string_view jid, RoomOccupant& occupant);

// The user JID of a room occupant's nickname: nickname + "$gov@" + host when the logged-in
// user is a government user (GetUserType of the current JID is 1), otherwise
// nickname + "$pub@" + host; host is the session's GetHostName.
std::string OccupantUserJid(std::string_view nickname, platform::SessionCore& session);

// The JID's local part: the text before its first '@' (all of it when there is none).
std::string JidLocalPart(std::string_view jid);

}  // namespace contacts
