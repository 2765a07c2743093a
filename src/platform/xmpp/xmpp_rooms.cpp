#include "platform/xmpp/xmpp_rooms.h"

#include <algorithm>
#include <cstring>

#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/jid/jid.h"
#include "platform/xmpp/stanza_writer.h"
#include "platform/xmpp/xmpp_rooms_writer.h"

namespace platform::xmpp {
namespace {

namespace rs = room_slot;

constexpr char kIdPrefix[] = "muc-";
// The members a room may have, as the client is told (the server keeps no such limit).
constexpr int kRoomMemberLimit = 200;
// The affiliations a member list is gathered from, in its order.
constexpr const char* kListedAffiliations[] = {"owner", "admin", "member"};

std::string Utf8(const std::string& gbk) { return os::GbkToUtf8Lossy(gbk); }

bool IsAffiliation(const std::string& word) {
    return word == "owner" || word == "admin" || word == "member" || word == "none";
}

bool IsModeratorAffiliation(const std::string& affiliation) {
    return affiliation == "owner" || affiliation == "admin";
}

NotifyRecord Slots(std::uint32_t type, std::vector<std::string> slots,
                   std::vector<std::int64_t> numbers = {}) {
    SlotData data;
    data.slots = std::move(slots);
    data.numbers = std::move(numbers);
    return MakeNotify(type, std::move(data));
}

}  // namespace

Rooms::Rooms(RoomsWire wire, std::string ownJid, std::string ownNickname,
             std::string conferenceDomain)
    : wire_(std::move(wire)),
      ownJid_(std::move(ownJid)),
      ownNickname_(std::move(ownNickname)),
      conferenceDomain_(std::move(conferenceDomain)) {}

std::string Rooms::KeyOf(const std::string& room) { return Jid(room).StoreKey(); }

Rooms::Room* Rooms::Find(const std::string& room) {
    auto it = rooms_.find(KeyOf(room));
    return it == rooms_.end() ? nullptr : &it->second;
}

bool Rooms::IsRoomJid(const std::string& room) const {
    const Jid jid(room);
    return !jid.LocalPart().empty() && jid.Resource().empty() &&
           os::EqualsNoCase(jid.Domain(), conferenceDomain_);
}

std::string Rooms::Ask(Asked what, const std::string& room, const std::string& call) {
    const std::string id = kIdPrefix + std::to_string(nextId_++);
    Pending pending;
    pending.what = what;
    pending.room = room;
    pending.call = call;
    pending_[id] = std::move(pending);
    return id;
}

void Rooms::Fail(const std::string& room, const std::string& condition, int code,
                 const std::string& call) {
    Notify(Slots(notify_type::kRoomError, {room, condition, call}, {code}));
}

void Rooms::FailLocally(const std::string& room, const char* condition, const char* call) {
    static const struct {
        const char* condition;
        int code;
    } kCodes[] = {{"item-not-found", 404},
                  {"forbidden", 403},
                  {"not-allowed", 405},
                  {"not-acceptable", 406},
                  {"conflict", 409}};
    int code = 500;
    for (const auto& entry : kCodes) {
        if (std::strcmp(entry.condition, condition) == 0) code = entry.code;
    }
    Fail(room, condition, code, call);
}

// ---- Records ----

std::vector<std::int64_t> Rooms::Counts(const Room& room, int present) const {
    // A persistent room counts its members; only those present are known to an occupant.
    int members = present;
    if (room.persistent) {
        members = static_cast<int>(
            std::count_if(room.occupants.begin(), room.occupants.end(),
                          [](const Occupant& o) { return o.affiliation != "none"; }));
        if (members == 0) members = 1;  // its owner
    }
    return {members, kRoomMemberLimit, present};
}

NotifyRecord Rooms::InfoRecord(const Room& room, int present) const {
    return Slots(notify_type::kRoomInfo,
                 {room.jid, room.name, room.subject, room.persistent ? "persistent" : "temporary"},
                 Counts(room, present));
}

void Rooms::CountsChanged(const Room& room) {
    const int present = static_cast<int>(room.occupants.size());
    Notify(Slots(notify_type::kRoomMemberCounts, {room.jid, room.name}, Counts(room, present)));
}

NotifyRecord Rooms::PresenceRecord(const Room& room, const Occupant& occupant,
                                   const std::string& status) const {
    return Slots(notify_type::kRoomMemberPresence,
                 {room.jid + "/" + occupant.nick, occupant.realJid, occupant.affiliation,
                  occupant.role, occupant.nick, status});
}

Rooms::Occupant* Rooms::OccupantNamed(Room& room, const std::string& member) {
    for (Occupant& occupant : room.occupants) {
        if (occupant.nick == member) return &occupant;
    }
    const Jid jid(member);
    if (KeyOf(member) == KeyOf(room.jid) && !jid.Resource().empty()) {
        for (Occupant& occupant : room.occupants) {
            if (occupant.nick == jid.Resource()) return &occupant;
        }
    }
    for (Occupant& occupant : room.occupants) {
        if (!occupant.realJid.empty() && Jid(occupant.realJid).StoreKey() == jid.StoreKey())
            return &occupant;
    }
    return nullptr;
}

// ---- The calls ----

void Rooms::Enter(const std::string& roomJid, const std::string& nickname, RoomEntry entry,
                  const std::string& name, const char* call) {
    const std::string room = Jid(roomJid).Bare();
    if (!IsRoomJid(room) || (entry == RoomEntry::MakePersistent && name.empty())) {
        return FailLocally(room, "not-acceptable", call);
    }
    if (Room* known = Find(room)) {
        if (entry != RoomEntry::Enter) return FailLocally(room, "conflict", call);
        if (known->entry == RoomEntry::MakePersistent && known->stage != Stage::Present) {
            // Being made, which ends with its maker going out: entered again once out.
            known->enterAfterLeaving = true;
            if (!nickname.empty()) known->nick = nickname;
            return;
        }
        if (known->stage != Stage::Present) return;  // on its way in already
        // Entering again: the window is told who is there and what the room is.
        for (const Occupant& occupant : known->occupants) {
            if (occupant.nick != known->nick) Notify(PresenceRecord(*known, occupant, {}));
        }
        for (const Occupant& occupant : known->occupants) {
            if (occupant.nick == known->nick) Notify(PresenceRecord(*known, occupant, {}));
        }
        Notify(InfoRecord(*known, static_cast<int>(known->occupants.size())));
        return;
    }
    Room& fresh = rooms_[KeyOf(room)];
    fresh.jid = room;
    fresh.nick = nickname.empty() ? ownNickname_ : nickname;
    fresh.entry = entry;
    fresh.call = call;
    fresh.name = name;
    fresh.persistent = entry == RoomEntry::MakePersistent;
    const std::string id = Ask(Asked::Existence, room, call);
    Send(Query(wire_.ctx, "get", id, "query", kDiscoInfoNs, Utf8(room)));
}

void Rooms::Leave(const std::string& roomJid) {
    const std::string room = Jid(roomJid).Bare();
    Room* known = Find(room);
    if (known == nullptr || known->stage != Stage::Present) {
        return FailLocally(room, "not-acceptable", "LeaveConferenceRoom");
    }
    Send(RoomLeave(wire_.ctx, Utf8(known->jid + "/" + known->nick)));
}

void Rooms::Say(const std::string& roomJid, const std::string& text, const std::string& font) {
    const std::string room = Jid(roomJid).Bare();
    Room* known = Find(room);
    if (known == nullptr || known->stage != Stage::Present) {
        return FailLocally(room, "not-acceptable", "SendConferenceMessage");
    }
    const Occupant* own = OccupantNamed(*known, known->nick);
    if (own != nullptr && own->role == "visitor") {
        return FailLocally(room, "forbidden", "SendConferenceMessage");
    }
    known->lastMessageCall = "SendConferenceMessage";
    Send(RoomMessage(wire_.ctx, Utf8(known->jid), Utf8(text), Utf8(font)));
}

void Rooms::Invite(const std::string& roomJid, const std::string& invitee,
                   const std::string& reason) {
    const std::string room = Jid(roomJid).Bare();
    const Jid who(invitee);
    if (who.LocalPart().empty()) return FailLocally(room, "not-acceptable", "ConferenceInvitation");
    if (Room* known = Find(room)) {
        if (known->stage != Stage::Present) {
            // The room would not know the room yet: the invitation waits until we are in.
            known->invitations.emplace_back(who.Bare(), reason);
            return;
        }
        known->lastMessageCall = "ConferenceInvitation";
    }
    Send(RoomInvitation(wire_.ctx, Utf8(room), Utf8(who.Bare()), Utf8(reason)));
}

void Rooms::SetAffiliation(const std::string& roomJid, const std::string& user,
                           const std::string& affiliation) {
    const std::string room = Jid(roomJid).Bare();
    const Jid who(user);
    if (!IsAffiliation(affiliation) || who.LocalPart().empty()) {
        return FailLocally(room, "not-acceptable", "SetConferenceMembership");
    }
    const std::string id = Ask(Asked::Change, room, "SetConferenceMembership");
    Send(RoomAdminSet(wire_.ctx, id, Utf8(room), "jid", Utf8(who.Bare()), "affiliation",
                      affiliation));
}

void Rooms::SetSubject(const std::string& roomJid, const std::string& subject) {
    const std::string room = Jid(roomJid).Bare();
    if (Room* known = Find(room); known != nullptr && known->stage == Stage::Present) {
        const Occupant* own = OccupantNamed(*known, known->nick);
        if (own == nullptr || own->role != "moderator") {
            return FailLocally(room, "forbidden", "ChangeConferenceSubject");
        }
        known->lastMessageCall = "ChangeConferenceSubject";
    }
    Send(RoomSubject(wire_.ctx, Utf8(room), Utf8(subject)));
}

void Rooms::AskMembers(const std::string& id, Pending& pending) {
    Send(RoomAffiliationQuery(wire_.ctx, id, Utf8(pending.room),
                              kListedAffiliations[pending.nextAffiliation]));
}

void Rooms::QueryMembers(const std::string& roomJid) {
    const std::string room = Jid(roomJid).Bare();
    const std::string id = Ask(Asked::Members, room, "QueryConferenceMembersList");
    AskMembers(id, pending_.at(id));
}

void Rooms::QueryInfo(const std::string& roomJid) {
    const std::string room = Jid(roomJid).Bare();
    const std::string id = Ask(Asked::Info, room, "QueryConferenceInfo");
    Send(Query(wire_.ctx, "get", id, "query", kDiscoInfoNs, Utf8(room)));
}

void Rooms::ListOwn(int flag) {
    std::vector<std::string> slots;
    for (const auto& [key, room] : own_) {
        slots.insert(slots.end(), {room.jid, room.name, room.affiliation});
    }
    Notify(Slots(notify_type::kRoomList, std::move(slots), {flag}));
}

void Rooms::SetRole(const std::string& roomJid, const std::string& member, const std::string& role,
                    const char* call) {
    const std::string room = Jid(roomJid).Bare();
    std::string nick = member;
    if (Room* known = Find(room); known != nullptr && known->stage == Stage::Present) {
        const Occupant* own = OccupantNamed(*known, known->nick);
        if (own == nullptr || own->role != "moderator") {
            return FailLocally(room, "forbidden", call);
        }
        const Occupant* target = OccupantNamed(*known, member);
        if (target == nullptr) return FailLocally(room, "item-not-found", call);
        // A moderator keeps its voice, and the room's owners and admins stay in it.
        if (role == "none" ? IsModeratorAffiliation(target->affiliation)
                           : target->role == "moderator") {
            return FailLocally(room, "not-allowed", call);
        }
        if (target->role == role) return;
        nick = target->nick;
    } else if (const Jid jid(member); KeyOf(member) == KeyOf(room) && !jid.Resource().empty()) {
        nick = jid.Resource();
    }
    const std::string id = Ask(Asked::Change, room, call);
    Send(RoomAdminSet(wire_.ctx, id, Utf8(room), "nick", Utf8(nick), "role", role));
}

void Rooms::RequestVoice(const std::string& roomJid) {
    const std::string room = Jid(roomJid).Bare();
    Room* known = Find(room);
    if (known == nullptr || known->stage != Stage::Present) {
        return FailLocally(room, "not-acceptable", "RequestConferenceVoice");
    }
    const Occupant* own = OccupantNamed(*known, known->nick);
    if (own == nullptr || own->role != "visitor") {
        return FailLocally(room, "not-allowed", "RequestConferenceVoice");
    }
    known->lastMessageCall = "RequestConferenceVoice";
    Send(RoomVoiceRequest(wire_.ctx, Utf8(known->jid)));
}

void Rooms::Destroy(const std::string& roomJid) {
    const std::string room = Jid(roomJid).Bare();
    const std::string id = Ask(Asked::Destroy, room, "DestroyRoom");
    Send(RoomDestroy(wire_.ctx, id, Utf8(room)));
}

// ---- What comes in ----

bool Rooms::OnStanza(xmpp_stanza_t* stanza) {
    const char* name = xmpp_stanza_get_name(stanza);
    if (name != nullptr && std::strcmp(name, "iq") == 0) {
        const char* id = xmpp_stanza_get_id(stanza);
        const char* type = xmpp_stanza_get_type(stanza);
        if (id == nullptr || std::strncmp(id, kIdPrefix, std::strlen(kIdPrefix)) != 0) return false;
        if (type == nullptr ||
            (std::strcmp(type, "result") != 0 && std::strcmp(type, "error") != 0))
            return false;
        auto it = pending_.find(id);
        if (it == pending_.end()) {
            Log("an answer to no room query was dropped");
            return true;
        }
        const char* from = xmpp_stanza_get_from(stanza);
        if (from == nullptr || KeyOf(os::Utf8ToGbkLossy(from)) != KeyOf(it->second.room)) {
            Log("an answer to a room query from another address was dropped");
            return true;
        }
        Pending pending = std::move(it->second);
        pending_.erase(it);
        OnIq(stanza, std::move(pending));
        return true;
    }
    RoomStanza event = ReadRoomStanza(stanza, Utf8(conferenceDomain_));
    if (std::holds_alternative<NotARoomStanza>(event)) return false;
    if (auto* refused = std::get_if<RoomStanzaRefused>(&event)) {
        if (!refused->why.empty()) Log(refused->why);
        return true;
    }
    if (auto* invitation = std::get_if<RoomInvitationIn>(&event)) {
        // The invitee is told the room's name: the room is asked for it first.
        const std::string id = Ask(Asked::Invitation, invitation->room, "ConferenceInvitation");
        pending_.at(id).inviter = invitation->from;
        pending_.at(id).reason = invitation->reason;
        Send(Query(wire_.ctx, "get", id, "query", kDiscoInfoNs, Utf8(invitation->room)));
        return true;
    }
    // Everything else is about a room we are in or entering; from any other it is a stranger's.
    std::string roomJid;
    std::visit(
        [&](const auto& e) {
            if constexpr (requires { e.room; }) roomJid = e.room;
        },
        event);
    Room* room = Find(roomJid);
    if (room == nullptr || room->stage == Stage::Checking) {
        Log("a room stanza from " + roomJid + ", a room this session is not in, was dropped");
        return true;
    }
    if (auto* presence = std::get_if<RoomPresenceIn>(&event)) {
        OnPresence(*presence);
    } else if (auto* error = std::get_if<RoomPresenceError>(&event)) {
        if (room->stage == Stage::Joining) {
            const std::string call = room->call;
            const std::string jid = room->jid;
            rooms_.erase(KeyOf(jid));
            Fail(jid, error->failure.condition, error->failure.code, call);
        } else {
            Log("a presence error from " + roomJid + ": " + error->failure.condition);
        }
    } else if (auto* message = std::get_if<RoomMessageIn>(&event)) {
        OnMessage(*message);
    } else if (auto* subject = std::get_if<RoomSubjectIn>(&event)) {
        OnSubject(*subject);
    } else if (auto* failed = std::get_if<RoomMessageError>(&event)) {
        Fail(room->jid, failed->failure.condition, failed->failure.code, room->lastMessageCall);
    } else if (auto* request = std::get_if<RoomVoiceRequestIn>(&event)) {
        Notify(Slots(notify_type::kRoomVoiceRequest, {room->jid, room->jid + "/" + request->nick,
                                                      request->realJid, request->nick}));
    }
    return true;
}

void Rooms::OnIq(xmpp_stanza_t* stanza, Pending pending) {
    const bool failed = std::strcmp(xmpp_stanza_get_type(stanza), "error") == 0;
    const RoomFailureIn failure = failed ? ReadRoomFailure(stanza) : RoomFailureIn{};
    Room* room = Find(pending.room);
    switch (pending.what) {
        case Asked::Existence: {
            if (room == nullptr || room->stage != Stage::Checking) return;
            const bool exists = !failed;
            const bool making = room->entry != RoomEntry::Enter;
            if (failed && failure.condition != "item-not-found") {
                const std::string jid = room->jid;
                rooms_.erase(KeyOf(jid));
                return Fail(jid, failure.condition, failure.code, pending.call);
            }
            if (exists == making) {
                const std::string jid = room->jid;
                rooms_.erase(KeyOf(jid));
                return FailLocally(jid, making ? "conflict" : "item-not-found",
                                   pending.call.c_str());
            }
            if (exists) room->persistent = ReadRoomInfo(stanza).persistent;
            if (exists) room->name = ReadRoomInfo(stanza).name;
            room->stage = Stage::Joining;
            Send(RoomJoin(wire_.ctx, Utf8(room->jid + "/" + room->nick)));
            return;
        }
        case Asked::Configuration: {
            if (room == nullptr) return;
            if (failed) {
                room->stage = Stage::LeavingQuietly;
                Send(RoomLeave(wire_.ctx, Utf8(room->jid + "/" + room->nick)));
                return Fail(room->jid, failure.condition, failure.code, pending.call);
            }
            if (room->entry == RoomEntry::MakePersistent) {
                // Made, not entered: its maker goes out again and is told what the room is.
                own_[KeyOf(room->jid)] = OwnRoom{room->jid, room->name, "owner"};
                room->stage = Stage::LeavingQuietly;
                Notify(InfoRecord(*room, 0));
                Send(RoomLeave(wire_.ctx, Utf8(room->jid + "/" + room->nick)));
                return;
            }
            room->infoShown = true;
            Notify(InfoRecord(*room, static_cast<int>(room->occupants.size())));
            CountsChanged(*room);
            Inside(*room);
            return;
        }
        case Asked::Destroy:
            if (failed) return Fail(pending.room, failure.condition, failure.code, pending.call);
            own_.erase(KeyOf(pending.room));
            // An owner inside the room has been told by the room's own farewell.
            if (destroyedWhileIn_.erase(KeyOf(pending.room)) == 0) {
                Notify(Slots(notify_type::kRoomRemoved, {pending.room, "destroyed"}));
            }
            return;
        case Asked::Change:
            if (failed) Fail(pending.room, failure.condition, failure.code, pending.call);
            return;
        case Asked::Members: {
            if (failed) return Fail(pending.room, failure.condition, failure.code, pending.call);
            for (RoomAdminItem& item : ReadRoomAdminItems(stanza)) {
                pending.items.push_back(std::move(item));
            }
            if (++pending.nextAffiliation < static_cast<int>(std::size(kListedAffiliations))) {
                const std::string id = Ask(Asked::Members, pending.room, pending.call);
                pending_.at(id) = std::move(pending);
                return AskMembers(id, pending_.at(id));
            }
            std::vector<std::string> slots{pending.room};
            for (const RoomAdminItem& item : pending.items) {
                const Occupant* present =
                    room != nullptr ? OccupantNamed(*room, item.jid) : nullptr;
                std::string nick = present != nullptr   ? present->nick
                                   : !item.nick.empty() ? item.nick
                                                        : Jid(item.jid).LocalPart();
                slots.insert(slots.end(), {item.jid, std::move(nick), item.affiliation,
                                           present != nullptr ? present->role : "none"});
            }
            Notify(Slots(notify_type::kRoomMembersList, std::move(slots)));
            return;
        }
        case Asked::Info: {
            if (failed) {
                if (pending.joining) return;  // the room was entered; only its info is missing
                return Fail(pending.room, failure.condition, failure.code, pending.call);
            }
            const RoomInfoIn info = ReadRoomInfo(stanza);
            Room shown;
            if (room != nullptr) shown = *room;
            shown.jid = room != nullptr ? room->jid : pending.room;
            shown.name = info.name;
            shown.persistent = info.persistent;
            if (room == nullptr || room->stage != Stage::Present) shown.subject = info.subject;
            if (room != nullptr) {
                room->name = info.name;
                room->persistent = info.persistent;
            }
            Notify(InfoRecord(shown, info.occupants));
            if (pending.joining && room != nullptr && !room->persistent) CountsChanged(*room);
            return;
        }
        case Asked::Invitation:
            if (failed) {
                Log("an invitation into " + pending.room +
                    ", which cannot be reached, was dropped");
                return;
            }
            Notify(Slots(notify_type::kRoomInvitation,
                         {pending.room, pending.inviter, pending.reason, ReadRoomInfo(stanza).name,
                          Jid(pending.inviter).LocalPart()}));
            return;
    }
}

void Rooms::OnPresence(const RoomPresenceIn& presence) {
    Room& room = *Find(presence.room);
    const bool own = presence.self || presence.nick == room.nick;
    auto it = std::find_if(room.occupants.begin(), room.occupants.end(),
                           [&](const Occupant& o) { return o.nick == presence.nick; });
    if (!presence.available) {
        if (it == room.occupants.end() && !own) return;
        Occupant gone = it != room.occupants.end() ? *it
                                                   : Occupant{presence.nick, presence.realJid,
                                                              presence.affiliation, "none"};
        gone.role = "none";
        if (it != room.occupants.end()) room.occupants.erase(it);
        const bool quiet = room.stage == Stage::LeavingQuietly;
        if (!quiet) Notify(PresenceRecord(room, gone, presence.status));
        if (!own) {
            if (!room.persistent && room.stage == Stage::Present) CountsChanged(room);
            return;
        }
        if (quiet && room.enterAfterLeaving) {
            room.enterAfterLeaving = false;
            room.entry = RoomEntry::Enter;
            room.call = "EnterConferenceRoom";
            room.occupants.clear();
            room.stage = Stage::Joining;
            Send(RoomJoin(wire_.ctx, Utf8(room.jid + "/" + room.nick)));
            return;
        }
        const std::string jid = room.jid;
        if (!quiet && (presence.status == "removed" || presence.status == "destroyed") &&
            (gone.affiliation != "none" || presence.status == "removed")) {
            Notify(Slots(notify_type::kRoomRemoved, {jid, presence.status}));
        }
        if (presence.status == "destroyed") {
            destroyedWhileIn_.insert(KeyOf(jid));
            own_.erase(KeyOf(jid));
        }
        if (presence.status == "removed") own_.erase(KeyOf(jid));
        rooms_.erase(KeyOf(jid));
        return;
    }
    const bool newcomer = it == room.occupants.end();
    if (newcomer) {
        room.occupants.push_back(Occupant{presence.nick, {}, {}, {}});
        it = room.occupants.end() - 1;
    }
    it->realJid = presence.realJid;
    it->affiliation = presence.affiliation;
    it->role = presence.role;
    if (own && room.persistent && presence.affiliation != "none") {
        own_[KeyOf(room.jid)] = OwnRoom{room.jid, room.name, presence.affiliation};
    }
    if (room.stage == Stage::Joining && own) {
        const bool making = room.entry != RoomEntry::Enter;
        if (making && !presence.created) {
            // Somebody made it meanwhile: ours it is not.
            room.stage = Stage::LeavingQuietly;
            Send(RoomLeave(wire_.ctx, Utf8(room.jid + "/" + room.nick)));
            return FailLocally(room.jid, "conflict", room.call);
        }
        if (making) {
            room.stage = Stage::Configuring;
            const std::string id = Ask(Asked::Configuration, room.jid, room.call);
            Send(RoomConfiguration(wire_.ctx, id, Utf8(room.jid), Utf8(room.name),
                                   room.entry == RoomEntry::MakePersistent));
            if (room.entry == RoomEntry::MakeInstant) Notify(PresenceRecord(room, *it, {}));
            return;
        }
        Notify(PresenceRecord(room, *it, {}));
        Inside(room);
        return;
    }
    if (room.stage == Stage::LeavingQuietly ||
        (room.stage == Stage::Configuring && room.entry == RoomEntry::MakePersistent)) {
        return;
    }
    Notify(PresenceRecord(room, *it, {}));
    if (newcomer && !own && !room.persistent && room.stage == Stage::Present && room.infoShown) {
        CountsChanged(room);
    }
}

void Rooms::OnMessage(const RoomMessageIn& message) {
    Room& room = *Find(message.room);
    if (message.nick.empty()) {
        Log("a notice of the room " + room.jid + " was not shown");
        return;
    }
    if (room.stage == Stage::LeavingQuietly) return;
    MessageData data;
    data.from = room.jid + "/" + message.nick;
    data.to = ownJid_;
    data.fromName = message.nick;
    data.font = message.font;
    data.time = message.time.empty() ? wire_.localTimeNow() : message.time;
    data.content = message.body;
    data.flag = message.history;
    Notify(MakeNotify(notify_type::kRoomMessage, std::move(data)));
}

void Rooms::OnSubject(const RoomSubjectIn& subject) {
    Room& room = *Find(subject.room);
    room.subject = subject.subject;
    if (room.stage != Stage::Present) return;
    if (!room.infoShown) {
        // The subject ends the entering: the room's info follows, from the room itself.
        Joined(room);
        return;
    }
    Notify(InfoRecord(room, static_cast<int>(room.occupants.size())));
}

void Rooms::Inside(Room& room) {
    room.stage = Stage::Present;
    std::vector<std::pair<std::string, std::string>> invitations;
    invitations.swap(room.invitations);
    for (const auto& [invitee, reason] : invitations) {
        room.lastMessageCall = "ConferenceInvitation";
        Send(RoomInvitation(wire_.ctx, Utf8(room.jid), Utf8(invitee), Utf8(reason)));
    }
}

void Rooms::Joined(Room& room) {
    room.infoShown = true;
    const std::string id = Ask(Asked::Info, room.jid, room.call);
    pending_.at(id).joining = true;
    Send(Query(wire_.ctx, "get", id, "query", kDiscoInfoNs, Utf8(room.jid)));
}

}  // namespace platform::xmpp
