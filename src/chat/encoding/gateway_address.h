#pragma once
// Contacts behind a gateway (MSN): their JIDs carry "@msn." (platform::Jid::IsMsn), with
// the contact's own address escaped in the node part ("\40" for '@'). Messages to them are
// sent in parts of at most 700 bytes and stored under the contact's own address.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace chat {

inline constexpr std::size_t kMsnPartBytes = 700;

// platform::Jid::IsMsn: "@msn." after the first character of the bare JID, ASCII case
// ignored.
bool IsGatewayJid(std::string_view jid);

// The parts a body to a gateway contact is sent in: the body itself when it is at most 700
// bytes, otherwise its first 700 bytes (never half a character) and the rest.
std::vector<std::string> GatewayParts(std::string_view body);

// The address a message to a gateway contact is stored under: the JID without its resource,
// with "\40" turned back into '@'.
std::string GatewayStoreAddress(std::string_view jid);

// The speaker name of a message from a gateway contact: its JID up to "\40" (all of it
// without one).
std::string GatewaySpeaker(std::string_view jid);

}  // namespace chat
