#pragma once
// The JID forms the contact trees build and recognise are those of platform::Jid (jid.h),
// which also decides when two JIDs name one person. What needs the session engine lives here.

#include <string>
#include <string_view>

#include "platform/jid/jid.h"

namespace platform {
class SessionCore;
}

namespace contacts {

// The user JID of a room occupant's nickname: nickname + "$gov@" + host when the logged-in
// user is a government user (GetUserType of the current JID is 1), otherwise
// nickname + "$pub@" + host; host is the session's GetHostName.
platform::Jid OccupantUserJid(std::string_view nickname, platform::SessionCore& session);

}  // namespace contacts
