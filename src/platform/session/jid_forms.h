#pragma once
// The JID forms the server knows: government and public directory users ("name$gov@host",
// also written "name@gover.host"; "$pub@" / "@puber."), SMS recipients ("number@sms.host"),
// rooms ("@conference.") and gateway contacts ("@msn.").

#include <string>
#include <string_view>

namespace platform {

// The JID without its "/resource" (a '/' in first place is kept: it is no resource).
std::string BareJid(std::string_view jid);

// A key under which two spellings of one user compare equal: bare, "@gover." and "@puber."
// turned into "$gov@" and "$pub@", ASCII letters lower case (GBK characters untouched).
std::string JidKey(std::string_view jid);

// kUserTypeGovernment, kUserTypePublic, kUserTypeSms or kUserTypeOther (session_core.h).
int UserTypeOfJid(std::string_view jid);

// The local part without the "$gov" / "$pub" marker ("zhang$gov@host" -> "zhang"); a text
// without '@' is taken as a local part already.
std::string LocalUserId(std::string_view jid);

// The JID of an account name for a user type; a name that already holds '@' is returned as
// it is.
std::string JidForAccount(std::string_view account, int userType, std::string_view host);

}  // namespace platform
