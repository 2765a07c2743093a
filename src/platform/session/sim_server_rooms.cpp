// The simulated server's rooms on "conference.<host>": instant (temporary) and persistent
// rooms, roles ("moderator", "participant", "visitor") and affiliations ("owner", "admin",
// "member"), voice, kicks, membership, subject, invitations and a short history.
//
// Who gets which role on entering: owners and admins are moderators; in a persistent room a
// member is a participant and anybody else a visitor, who must ask for voice; in a temporary
// room everybody but its owner is a participant. A temporary room ends when its last occupant
// has left. One account is one occupant, whichever of its sessions speaks.

#include <algorithm>

#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/sim_world.h"

namespace platform {

using sim::Occupant;
using sim::Room;

namespace {

// The messages a newcomer is given, and the members a room may have.
constexpr std::size_t kRoomHistory = 20;
constexpr int kRoomMemberLimit = 200;

std::string MessageTime(const os::Clock& clock) {
    const os::LocalTime t = clock.LocalNow();
    return os::Format("%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
}

bool IsAffiliation(std::string_view word) {
    return word == "owner" || word == "admin" || word == "member" || word == "none";
}

bool IsModeratorAffiliation(std::string_view affiliation) {
    return affiliation == "owner" || affiliation == "admin";
}

std::string OccupantJid(const Room& room, const Occupant& occupant) {
    return room.jid + "/" + occupant.nickname;
}

// The role an account takes on entering.
std::string RoleOnEntry(const Room& room, std::string_view affiliation) {
    if (IsModeratorAffiliation(affiliation)) return "moderator";
    if (!room.persistent || affiliation == "member") return "participant";
    return "visitor";
}

// How a call failed, as the room error record tells it.
struct RoomFailure {
    const char* condition;
    int code;
};
constexpr RoomFailure kGone{"item-not-found", 404};
constexpr RoomFailure kForbidden{"forbidden", 403};
constexpr RoomFailure kNotAllowed{"not-allowed", 405};
constexpr RoomFailure kNotAcceptable{"not-acceptable", 406};
constexpr RoomFailure kConflict{"conflict", 409};

}  // namespace

namespace sim {

// Everything a room call needs: the world, the caller, the room (when it exists).
class RoomCall {
  public:
    RoomCall(SimServer::Impl& world, SimSessionCore* session, std::string_view roomJid,
             const char* callName)
        : world_(world), session_(session), callName_(callName), roomJid_(Jid(roomJid).Bare()) {
        caller_ = world.LoggedInAccount(session);
        if (caller_ != nullptr) callerKey_ = Jid(caller_->jid).StoreKey();
        auto it = world.rooms.rooms.find(Jid(roomJid_).StoreKey());
        if (it != world.rooms.rooms.end()) room_ = &it->second;
    }

    bool CallerLoggedIn() const { return caller_ != nullptr && !roomJid_.empty(); }
    const SimAccount& caller() const { return *caller_; }
    const std::string& callerKey() const { return callerKey_; }
    Room* room() const { return room_; }
    const std::string& roomJid() const { return roomJid_; }

    // Answers the caller's session with a room error; the call itself was accepted.
    int Fail(RoomFailure failure) const {
        SlotData data;
        data.slots = {roomJid_, failure.condition, callName_};
        data.numbers = {failure.code};
        session_->Deliver(MakeNotify(notify_type::kRoomError, std::move(data)));
        return 1;
    }

    std::string AffiliationOf(const std::string& key) const {
        auto it = room_->affiliations.find(key);
        return it == room_->affiliations.end() ? "none" : it->second;
    }
    Occupant* OccupantOf(const std::string& key) const {
        for (Occupant& occupant : room_->occupants) {
            if (occupant.accountKey == key) return &occupant;
        }
        return nullptr;
    }
    // A member named by nickname, occupant JID ("room/nickname") or real JID.
    Occupant* FindOccupant(std::string_view member) const {
        const Jid jid(member);
        for (Occupant& occupant : room_->occupants) {
            if (occupant.nickname == member) return &occupant;
        }
        if (jid.StoreKey() == Jid(roomJid_).StoreKey() && !jid.Resource().empty()) {
            for (Occupant& occupant : room_->occupants) {
                if (occupant.nickname == jid.Resource()) return &occupant;
            }
        }
        return OccupantOf(jid.StoreKey());
    }
    bool CallerIsModerator() const {
        const Occupant* own = OccupantOf(callerKey_);
        return own != nullptr ? own->role == "moderator"
                              : IsModeratorAffiliation(AffiliationOf(callerKey_));
    }

    void ToCaller(NotifyRecord record) const { session_->Deliver(std::move(record)); }
    void ToOthers(const NotifyRecord& record, const std::string& exceptKey) const {
        for (const Occupant& occupant : room_->occupants) {
            if (occupant.accountKey != exceptKey) {
                world_.DeliverToAccount(occupant.accountKey, record);
            }
        }
    }
    void ToOccupants(const NotifyRecord& record) const {
        for (const Occupant& occupant : room_->occupants) {
            world_.DeliverToAccount(occupant.accountKey, record);
        }
    }

    NotifyRecord Presence(const Occupant& occupant, std::string_view role,
                          std::string_view status = {}) const {
        SlotData data;
        data.slots = {OccupantJid(*room_, occupant),
                      occupant.realJid,
                      AffiliationOf(occupant.accountKey),
                      std::string(role),
                      occupant.nickname,
                      std::string(status)};
        return MakeNotify(notify_type::kRoomMemberPresence, std::move(data));
    }

    int MemberCount() const {
        return room_->persistent ? static_cast<int>(room_->affiliations.size())
                                 : static_cast<int>(room_->occupants.size());
    }
    std::vector<std::int64_t> Counts() const {
        return {MemberCount(), room_->memberLimit,
                static_cast<std::int64_t>(room_->occupants.size())};
    }
    NotifyRecord Info() const {
        SlotData data;
        data.slots = {room_->jid, room_->name, room_->subject,
                      room_->persistent ? "persistent" : "temporary"};
        data.numbers = Counts();
        return MakeNotify(notify_type::kRoomInfo, std::move(data));
    }
    void CountsChanged() const {
        SlotData data;
        data.slots = {room_->jid, room_->name};
        data.numbers = Counts();
        ToOccupants(MakeNotify(notify_type::kRoomMemberCounts, std::move(data)));
    }

    // Takes an occupant out: everybody still present and the occupant itself learn it.
    void RemoveOccupant(const std::string& key, std::string_view status) {
        auto& occupants = room_->occupants;
        auto it = std::find_if(occupants.begin(), occupants.end(),
                               [&](const Occupant& o) { return o.accountKey == key; });
        if (it == occupants.end()) return;
        const NotifyRecord gone = Presence(*it, "none", status);
        world_.DeliverToAccount(key, gone);
        occupants.erase(it);
        ToOccupants(gone);
    }

    // The account's presence changed: everybody present learns it.
    void SendPresence(const Occupant& occupant) const {
        ToOccupants(Presence(occupant, occupant.role));
    }

    void RemoveRoomIfUnused() {
        if (room_->persistent || !room_->occupants.empty() || !room_->kept.empty()) return;
        EraseRoom();
    }
    void EraseRoom() {
        const std::string key = Jid(room_->jid).StoreKey();
        auto& order = world_.rooms.order;
        order.erase(std::remove(order.begin(), order.end(), key), order.end());
        world_.rooms.rooms.erase(key);
        room_ = nullptr;
    }

    void Affiliate(const std::string& key, const std::string& realJid,
                   std::string_view affiliation) {
        auto& order = room_->affiliatedOrder;
        if (affiliation == "none") {
            room_->affiliations.erase(key);
            order.erase(std::remove(order.begin(), order.end(), key), order.end());
            return;
        }
        if (room_->affiliations.find(key) == room_->affiliations.end()) order.push_back(key);
        room_->affiliations[key] = std::string(affiliation);
        room_->realJids[key] = realJid;
    }

    // A new room owned by the caller.
    Room& Create(std::string_view name, bool persistent) {
        const std::string key = Jid(roomJid_).StoreKey();
        Room& room = world_.rooms.rooms[key];
        room.jid = roomJid_;
        room.name = std::string(name);
        room.persistent = persistent;
        room.memberLimit = kRoomMemberLimit;
        world_.rooms.order.push_back(key);
        room_ = &room;
        Affiliate(callerKey_, caller_->jid, "owner");
        return room;
    }

  private:
    SimServer::Impl& world_;
    SimSessionCore* session_;
    const char* callName_;
    std::string roomJid_;
    const SimAccount* caller_ = nullptr;
    std::string callerKey_;
    Room* room_ = nullptr;
};

}  // namespace sim

namespace {

using sim::RoomCall;

// A room JID on this server's conference domain.
bool IsRoomOf(std::string_view roomJid, std::string_view host) {
    const Jid jid(roomJid);
    return !jid.LocalPart().empty() && jid.Resource().empty() &&
           os::EqualsNoCase(jid.Domain(), "conference." + std::string(host));
}

std::string NicknameOf(const SimAccount& account) {
    return account.nickname.empty() ? Jid(account.jid).LocalPart() : account.nickname;
}

// Puts the caller into the room: it learns who is there, itself last, then the history and
// the room's info; the others learn of the newcomer. False when another occupant has the
// nickname (the one asked for, else the one kept, else the account's).
bool Enter(RoomCall& call, std::string nickname) {
    Room& room = *call.room();
    const std::string& key = call.callerKey();
    std::string role = RoleOnEntry(room, call.AffiliationOf(key));
    auto kept = room.kept.find(key);
    if (kept != room.kept.end()) {
        if (nickname.empty()) nickname = kept->second.nickname;
        role = kept->second.role;
    }
    if (nickname.empty()) nickname = NicknameOf(call.caller());
    for (const Occupant& occupant : room.occupants) {
        if (occupant.nickname == nickname && occupant.accountKey != key) return false;
    }
    if (kept != room.kept.end()) room.kept.erase(kept);

    Occupant* own = call.OccupantOf(key);
    const bool newcomer = own == nullptr;
    if (newcomer) {
        room.occupants.push_back(Occupant{key, call.caller().jid, nickname, role});
        own = &room.occupants.back();
    }
    for (const Occupant& occupant : room.occupants) {
        if (occupant.accountKey != key) call.ToCaller(call.Presence(occupant, occupant.role));
    }
    const NotifyRecord presence = call.Presence(*own, own->role);
    call.ToCaller(presence);
    for (MessageData message : room.history) {
        message.to = call.caller().jid;
        message.flag = true;
        call.ToCaller(MakeNotify(notify_type::kRoomMessage, std::move(message)));
    }
    call.ToCaller(call.Info());
    if (!newcomer) return true;
    call.ToOthers(presence, key);
    if (!room.persistent) call.CountsChanged();
    return true;
}

}  // namespace

// ---- Set-up and inspection ----

bool SimServer::AddPersistentRoom(std::string_view roomJid, std::string_view name,
                                  std::string_view ownerJid,
                                  const std::vector<std::string>& memberJids) {
    std::lock_guard lock(mutex_);
    const std::string key = Jid(roomJid).StoreKey();
    if (!IsRoomOf(roomJid, hostName_) || impl_->rooms.rooms.count(key) != 0) return false;
    Room& room = impl_->rooms.rooms[key];
    room.jid = Jid(roomJid).Bare();
    room.name = std::string(name);
    room.persistent = true;
    room.memberLimit = kRoomMemberLimit;
    impl_->rooms.order.push_back(key);
    auto affiliate = [&](std::string_view jid, const char* affiliation) {
        const std::string userKey = Jid(jid).StoreKey();
        if (room.affiliations.count(userKey) == 0) room.affiliatedOrder.push_back(userKey);
        room.affiliations[userKey] = affiliation;
        room.realJids[userKey] = Jid(jid).Bare();
    };
    affiliate(ownerJid, "owner");
    for (const std::string& member : memberJids) affiliate(member, "member");
    return true;
}

bool SimServer::HasRoom(std::string_view roomJid) const {
    std::lock_guard lock(mutex_);
    return impl_->rooms.rooms.count(Jid(roomJid).StoreKey()) != 0;
}

std::vector<std::string> SimServer::RoomOccupants(std::string_view roomJid) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> nicknames;
    auto it = impl_->rooms.rooms.find(Jid(roomJid).StoreKey());
    if (it == impl_->rooms.rooms.end()) return nicknames;
    for (const Occupant& occupant : it->second.occupants) nicknames.push_back(occupant.nickname);
    return nicknames;
}

std::string SimServer::RoomRole(std::string_view roomJid, std::string_view nickname) const {
    std::lock_guard lock(mutex_);
    auto it = impl_->rooms.rooms.find(Jid(roomJid).StoreKey());
    if (it == impl_->rooms.rooms.end()) return "none";
    for (const Occupant& occupant : it->second.occupants) {
        if (occupant.nickname == nickname) return occupant.role;
    }
    return "none";
}

std::string SimServer::RoomAffiliation(std::string_view roomJid, std::string_view userJid) const {
    std::lock_guard lock(mutex_);
    auto it = impl_->rooms.rooms.find(Jid(roomJid).StoreKey());
    if (it == impl_->rooms.rooms.end()) return "none";
    auto found = it->second.affiliations.find(Jid(userJid).StoreKey());
    return found == it->second.affiliations.end() ? "none" : found->second;
}

std::vector<std::string> SimServer::RoomsKeptFor(std::string_view userJid) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> rooms;
    const std::string key = Jid(userJid).StoreKey();
    for (const std::string& roomKey : impl_->rooms.order) {
        const Room& room = impl_->rooms.rooms.at(roomKey);
        if (room.kept.count(key) != 0) rooms.push_back(room.jid);
    }
    return rooms;
}

// ---- The room calls ----

int SimServer::RequestInstantRoom(SimSessionCore* session, std::string_view room) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "RequestInstantRoom");
    if (!call.CallerLoggedIn()) return 0;
    if (!IsRoomOf(room, hostName_)) return call.Fail(kNotAcceptable);
    if (call.room() != nullptr) return call.Fail(kConflict);
    call.Create({}, false);
    Enter(call, {});  // the room is empty: no nickname is taken
    return 1;
}

int SimServer::CreatePersistentRoom(SimSessionCore* session, std::string_view room,
                                    std::string_view name) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "CreatePersistentRoom");
    if (!call.CallerLoggedIn()) return 0;
    if (!IsRoomOf(room, hostName_) || name.empty()) return call.Fail(kNotAcceptable);
    if (call.room() != nullptr) return call.Fail(kConflict);
    call.Create(name, true);
    call.ToCaller(call.Info());
    return 1;
}

int SimServer::DestroyRoom(SimSessionCore* session, std::string_view room) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "DestroyRoom");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (call.AffiliationOf(call.callerKey()) != "owner") return call.Fail(kForbidden);
    Room& target = *call.room();
    // Every occupant sees itself go, then every member loses the room from its list.
    for (const Occupant& occupant : target.occupants) {
        impl_->DeliverToAccount(occupant.accountKey, call.Presence(occupant, "none", "destroyed"));
    }
    const NotifyRecord removed =
        MakeNotify(notify_type::kRoomRemoved, SlotData{{target.jid, "destroyed"}, {}});
    for (const std::string& key : target.affiliatedOrder) impl_->DeliverToAccount(key, removed);
    call.EraseRoom();
    return 1;
}

int SimServer::EnterRoom(SimSessionCore* session, std::string_view room,
                         std::string_view nickname) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "EnterConferenceRoom");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (!Enter(call, std::string(nickname))) return call.Fail(kConflict);
    return 1;
}

int SimServer::LeaveRoom(SimSessionCore* session, std::string_view room) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "LeaveConferenceRoom");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (call.OccupantOf(call.callerKey()) == nullptr) return call.Fail(kNotAcceptable);
    call.RemoveOccupant(call.callerKey(), "left");
    if (!call.room()->persistent) call.CountsChanged();
    call.RemoveRoomIfUnused();
    return 1;
}

int SimServer::SendRoomMessage(SimSessionCore* session, std::string_view room,
                               std::string_view text, std::string_view font) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "SendConferenceMessage");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    const Occupant* own = call.OccupantOf(call.callerKey());
    if (own == nullptr) return call.Fail(kNotAcceptable);
    if (own->role == "visitor") return call.Fail(kForbidden);
    MessageData message;
    message.from = OccupantJid(*call.room(), *own);
    message.font = std::string(font);
    message.fromName = own->nickname;
    message.time = MessageTime(clock_);
    message.content = std::string(text);
    Room& target = *call.room();
    target.history.push_back(message);
    if (target.history.size() > kRoomHistory) target.history.pop_front();
    // Everybody present, the sender too, as a room service echoes a message.
    for (const Occupant& occupant : target.occupants) {
        MessageData copy = message;
        copy.to = occupant.realJid;
        impl_->DeliverToAccount(occupant.accountKey,
                                MakeNotify(notify_type::kRoomMessage, std::move(copy)));
    }
    return 1;
}

int SimServer::InviteToRoom(SimSessionCore* session, std::string_view room,
                            std::string_view invitee, std::string_view reason) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "ConferenceInvitation");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (call.OccupantOf(call.callerKey()) == nullptr &&
        call.AffiliationOf(call.callerKey()) == "none") {
        return call.Fail(kForbidden);
    }
    const std::string inviteeKey = Jid(invitee).StoreKey();
    if (impl_->Account(inviteeKey) == nullptr) return call.Fail(kNotAcceptable);
    NotifyRecord invitation =
        MakeNotify(notify_type::kRoomInvitation,
                   SlotData{{call.room()->jid, call.caller().jid, std::string(reason),
                             call.room()->name, NicknameOf(call.caller())},
                            {}});
    if (impl_->Online(inviteeKey)) {
        impl_->DeliverToAccount(inviteeKey, invitation);
    } else {
        impl_->rooms.pendingInvitations[inviteeKey].push_back(std::move(invitation));
    }
    return 1;
}

int SimServer::SetRoomMembership(SimSessionCore* session, std::string_view room,
                                 std::string_view user, std::string_view affiliation) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "SetConferenceMembership");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (!IsAffiliation(affiliation)) return call.Fail(kNotAcceptable);
    const std::string userKey = Jid(user).StoreKey();
    const SimAccount* account = impl_->Account(userKey);
    if (account == nullptr) return call.Fail(kNotAcceptable);
    const std::string callerAffiliation = call.AffiliationOf(call.callerKey());
    const std::string before = call.AffiliationOf(userKey);
    const bool ownLeave = userKey == call.callerKey() && affiliation == "none";
    if (!ownLeave && !IsModeratorAffiliation(callerAffiliation)) return call.Fail(kForbidden);
    // Only an owner makes or unmakes owners and admins.
    if (callerAffiliation != "owner" &&
        (IsModeratorAffiliation(affiliation) || IsModeratorAffiliation(before)) && !ownLeave) {
        return call.Fail(kForbidden);
    }
    // The last owner cannot leave its room: it destroys it instead.
    if (before == "owner" && affiliation != "owner") {
        const auto& all = call.room()->affiliations;
        const auto owners = std::count_if(
            all.begin(), all.end(), [](const auto& entry) { return entry.second == "owner"; });
        if (owners <= 1) return call.Fail(kNotAllowed);
    }
    Room& target = *call.room();
    if (before == "none" && affiliation != "none" && target.persistent &&
        static_cast<int>(target.affiliations.size()) >= target.memberLimit) {
        return call.Fail(kNotAcceptable);
    }
    if (before == affiliation) return 1;
    call.Affiliate(userKey, account->jid, affiliation);
    if (affiliation == "none") {
        call.RemoveOccupant(userKey, "removed");
        target.kept.erase(userKey);
        impl_->DeliverToAccount(
            userKey, MakeNotify(notify_type::kRoomRemoved, SlotData{{target.jid, "removed"}, {}}));
    } else if (Occupant* occupant = call.OccupantOf(userKey)) {
        occupant->role = RoleOnEntry(target, affiliation);
        call.SendPresence(*occupant);
    }
    if (target.persistent) call.CountsChanged();
    return 1;
}

int SimServer::ChangeRoomSubject(SimSessionCore* session, std::string_view room,
                                 std::string_view subject) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "ChangeConferenceSubject");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (!call.CallerIsModerator()) return call.Fail(kForbidden);
    call.room()->subject = std::string(subject);
    const NotifyRecord info = call.Info();
    call.ToOccupants(info);
    if (call.OccupantOf(call.callerKey()) == nullptr) call.ToCaller(info);
    return 1;
}

int SimServer::QueryRoomMembers(SimSessionCore* session, std::string_view room) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "QueryConferenceMembersList");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    const Room& target = *call.room();
    SlotData data;
    data.slots.push_back(target.jid);
    for (const std::string& key : target.affiliatedOrder) {
        const Occupant* occupant = call.OccupantOf(key);
        const SimAccount* account = impl_->Account(key);
        std::string nickname = occupant  ? occupant->nickname
                               : account ? NicknameOf(*account)
                                         : Jid(target.realJids.at(key)).LocalPart();
        data.slots.insert(data.slots.end(),
                          {target.realJids.at(key), std::move(nickname), call.AffiliationOf(key),
                           occupant != nullptr ? occupant->role : "none"});
    }
    call.ToCaller(MakeNotify(notify_type::kRoomMembersList, std::move(data)));
    return 1;
}

int SimServer::QueryRoomInfo(SimSessionCore* session, std::string_view room) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "QueryConferenceInfo");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    call.ToCaller(call.Info());
    return 1;
}

int SimServer::RefreshOwnRooms(SimSessionCore* session, int flag) {
    std::lock_guard lock(mutex_);
    const SimAccount* account = impl_->LoggedInAccount(session);
    if (account == nullptr) return 0;
    const std::string key = Jid(account->jid).StoreKey();
    SlotData data;
    data.numbers = {flag};
    for (const std::string& roomKey : impl_->rooms.order) {
        const Room& room = impl_->rooms.rooms.at(roomKey);
        auto it = room.affiliations.find(key);
        if (!room.persistent || it == room.affiliations.end()) continue;
        data.slots.insert(data.slots.end(), {room.jid, room.name, it->second});
    }
    session->Deliver(MakeNotify(notify_type::kRoomList, std::move(data)));
    return 1;
}

int SimServer::SetRoomVoice(SimSessionCore* session, std::string_view room, std::string_view member,
                            bool voice) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, voice ? "GrantConferenceVoice" : "RevokeConferenceVoice");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (!call.CallerIsModerator()) return call.Fail(kForbidden);
    Occupant* target = call.FindOccupant(member);
    if (target == nullptr) return call.Fail(kGone);
    if (target->role == "moderator") return call.Fail(kNotAllowed);
    const std::string role = voice ? "participant" : "visitor";
    if (target->role == role) return 1;
    target->role = role;
    call.SendPresence(*target);
    return 1;
}

int SimServer::KickFromRoom(SimSessionCore* session, std::string_view room,
                            std::string_view member) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "KickConferenceUser");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    if (!call.CallerIsModerator()) return call.Fail(kForbidden);
    Occupant* target = call.FindOccupant(member);
    if (target == nullptr) return call.Fail(kGone);
    if (IsModeratorAffiliation(call.AffiliationOf(target->accountKey))) {
        return call.Fail(kNotAllowed);
    }
    const std::string key = target->accountKey;
    call.RemoveOccupant(key, "kicked");
    if (!call.room()->persistent) call.CountsChanged();
    call.RemoveRoomIfUnused();
    return 1;
}

int SimServer::RequestRoomVoice(SimSessionCore* session, std::string_view room) {
    std::lock_guard lock(mutex_);
    RoomCall call(*impl_, session, room, "RequestConferenceVoice");
    if (!call.CallerLoggedIn()) return 0;
    if (call.room() == nullptr) return call.Fail(kGone);
    const Occupant* own = call.OccupantOf(call.callerKey());
    if (own == nullptr) return call.Fail(kNotAcceptable);
    if (own->role != "visitor") return call.Fail(kNotAllowed);
    const NotifyRecord request = MakeNotify(
        notify_type::kRoomVoiceRequest,
        SlotData{{call.room()->jid, OccupantJid(*call.room(), *own), own->realJid, own->nickname},
                 {}});
    for (const Occupant& occupant : call.room()->occupants) {
        if (occupant.role == "moderator") impl_->DeliverToAccount(occupant.accountKey, request);
    }
    return 1;
}

// ---- Sessions that end, users who come back ----

void SimServer::Impl::LeaveRoomsOnSessionEnd(const std::string& key) {
    for (auto& [roomKey, room] : rooms.rooms) {
        auto it = std::find_if(room.occupants.begin(), room.occupants.end(),
                               [&](const Occupant& o) { return o.accountKey == key; });
        if (it == room.occupants.end()) continue;
        room.kept[key] = sim::KeptSeat{it->nickname, it->role};
        Occupant gone = *it;
        room.occupants.erase(it);
        SlotData data;
        data.slots = {OccupantJid(room, gone),
                      gone.realJid,
                      room.affiliations.count(key) ? room.affiliations.at(key) : "none",
                      "none",
                      gone.nickname,
                      "offline"};
        const NotifyRecord record = MakeNotify(notify_type::kRoomMemberPresence, std::move(data));
        for (const Occupant& occupant : room.occupants) {
            DeliverToAccount(occupant.accountKey, record);
        }
    }
}

void SimServer::Impl::DeliverPendingInvitations(const std::string& key, SimSessionCore& session) {
    auto it = rooms.pendingInvitations.find(key);
    if (it == rooms.pendingInvitations.end()) return;
    for (NotifyRecord& invitation : it->second) {
        const SlotData* data = invitation.As<SlotData>();
        // An invitation into a room that has gone since is not worth telling.
        if (data != nullptr && rooms.rooms.count(Jid(data->slots[0]).StoreKey()) != 0) {
            session.Deliver(std::move(invitation));
        }
    }
    rooms.pendingInvitations.erase(it);
}

}  // namespace platform
