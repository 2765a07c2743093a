#include "contacts/contact_identifiers.h"

#include "platform/session/session_core.h"

namespace contacts {

platform::Jid OccupantUserJid(std::string_view nickname, platform::SessionCore& session) {
    const std::string host = session.GetHostName();
    if (session.GetUserType(session.GetCurrentUserJID()) == platform::kUserTypeGovernment) {
        return platform::Jid::Government(nickname, host);
    }
    return platform::Jid::Public(nickname, host);
}

}  // namespace contacts
