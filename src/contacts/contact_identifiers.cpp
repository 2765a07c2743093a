#include "contacts/contact_identifiers.h"

#include "os/text/cstring_ops.h"
#include "platform/session/session_core.h"

namespace contacts {

std::string GovernmentJid(std::string_view localPart, std::string_view host) {
    return std::string(localPart) + "$gov@" + std::string(host);
}

std::string PublicJid(std::string_view localPart, std::string_view host) {
    return std::string(localPart) + "$pub@" + std::string(host);
}

std::string SmsJid(std::string_view mobile, std::string_view host) {
    return std::string(mobile) + "@sms." + std::string(host);
}

bool IsRoomJid(std::string_view jid) { return os::Find(jid, "@conference.") >= 0; }

bool IsMsnJid(std::string_view jid) { return os::Find(jid, "@msn.") >= 0; }

bool SplitRoomOccupant(std::string_view jid, RoomOccupant& occupant) {
    const int slash = os::Find(jid, '/');
    if (slash <= 0 || !IsRoomJid(os::Left(jid, slash))) return false;
    std::string nickname = os::Mid(jid, slash + 1);
    if (nickname.empty()) return false;
    occupant.roomJid = os::Left(jid, slash);
    occupant.nickname = std::move(nickname);
    return true;
}

std::string OccupantUserJid(std::string_view nickname, platform::SessionCore& session) {
    const std::string host = session.GetHostName();
    if (session.GetUserType(session.GetCurrentUserJID()) == platform::kUserTypeGovernment) {
        return GovernmentJid(nickname, host);
    }
    return PublicJid(nickname, host);
}

std::string JidLocalPart(std::string_view jid) {
    const int at = os::Find(jid, '@');
    return at >= 0 ? os::Left(jid, at) : std::string(jid);
}

}  // namespace contacts
