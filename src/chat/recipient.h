#pragma once
// One participant of a conversation as the chat service sends to it. The window takes it from
// the contact trees at each send, so it is what the trees say at that moment.

#include <string>

namespace chat {

struct Recipient {
    std::string jid;
    std::string displayName;  // the name failure notices use
    std::string mobile;       // the number SMS go to; empty when there is none
    bool offline = false;     // presence is "offline"
    // The contact asked for SMS copies of chat messages while offline.
    bool wantsSmsCopies = false;
};

}  // namespace chat
