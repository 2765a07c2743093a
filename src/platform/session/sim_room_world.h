#pragma once
// Inside the simulated server: the rooms of its conference domain, behind SimServer's lock.
// Only the server's own source files include this.

#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/session/notify_record.h"

namespace platform {
namespace sim {

// One person in a room: an account present under a nickname, with the role the room gives it.
struct Occupant {
    std::string accountKey;  // Jid::StoreKey of the account
    std::string realJid;
    std::string nickname;
    std::string role;  // "moderator", "participant" or "visitor"
};

// What the server keeps of an occupant whose session ended without leaving: the same nickname
// and role come back when the account enters again.
struct KeptSeat {
    std::string nickname;
    std::string role;
};

struct Room {
    std::string jid;  // bare room JID, as created
    std::string name;
    std::string subject;
    bool persistent = false;
    int memberLimit = 0;
    // Affiliations other than "none" ("owner", "admin", "member") by account key, and the real
    // JID of each, in the order they were given.
    std::map<std::string, std::string> affiliations;
    std::vector<std::string> affiliatedOrder;  // account keys
    std::map<std::string, std::string> realJids;
    std::vector<Occupant> occupants;       // in the order they entered
    std::map<std::string, KeptSeat> kept;  // by account key
    std::deque<MessageData> history;       // the newest kSimRoomHistory messages
};

struct RoomWorld {
    std::map<std::string, Room> rooms;  // by Jid::StoreKey of the room JID
    std::vector<std::string> order;     // room keys in creation order
    // Invitations for users who were offline, delivered at their next login.
    std::map<std::string, std::vector<NotifyRecord>> pendingInvitations;
};

}  // namespace sim
}  // namespace platform
