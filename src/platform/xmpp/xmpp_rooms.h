#pragma once
// The XMPP engine's rooms (XEP-0045 on the conference service "conference.<domain>"): what
// the room calls send, and the room records the answers become, in the layouts the
// simulated server's rooms use (notify_record.h, room_slot).
//
// Lives on the engine's I/O thread, one per connection: no lock. Entering (and making) a room
// first asks the service whether the room exists, since a server makes a room for whoever
// enters one that does not. A made room is configured at once (name, temporary or persistent
// and then moderated, real JIDs seen by all); a persistent room's maker leaves it again, as
// making one does not enter it. Checks the client relies on (a visitor may not talk, only a
// moderator kicks) are made here as well, so both engines answer alike; everything else is
// the server's to refuse, and its refusal becomes a room error (type 60).

#include <strophe.h>

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/session/notify_record.h"
#include "platform/xmpp/xmpp_rooms_reader.h"

namespace platform::xmpp {

// What the rooms need from their engine.
struct RoomsWire {
    xmpp_ctx_t* ctx = nullptr;
    std::function<void(xmpp_stanza_t*)> send;  // takes the stanza over
    std::function<void(NotifyRecord)> notify;
    std::function<void(int, const std::string&)> log;
    std::function<std::string()> localTimeNow;  // "yyyy-mm-dd hh:mm:ss"
};

// How a room is entered.
enum class RoomEntry { Enter, MakeInstant, MakePersistent };

class Rooms {
  public:
    // Texts are GBK: the own bare JID and nickname; the domain of the conference service.
    Rooms(RoomsWire wire, std::string ownJid, std::string ownNickname,
          std::string conferenceDomain);

    // The calls; `call` names the SessionCore call in the room errors.
    void Enter(const std::string& room, const std::string& nickname, RoomEntry entry,
               const std::string& name, const char* call);
    void Leave(const std::string& room);
    void Say(const std::string& room, const std::string& text, const std::string& font);
    void Invite(const std::string& room, const std::string& invitee, const std::string& reason);
    void SetAffiliation(const std::string& room, const std::string& user,
                        const std::string& affiliation);
    void SetSubject(const std::string& room, const std::string& subject);
    void QueryMembers(const std::string& room);
    void QueryInfo(const std::string& room);
    void ListOwn(int flag);
    // Voice ("participant"), no voice ("visitor") or a kick ("none").
    void SetRole(const std::string& room, const std::string& member, const std::string& role,
                 const char* call);
    void RequestVoice(const std::string& room);
    void Destroy(const std::string& room);

    // Takes a stanza that is the rooms' (a presence or message of the conference service, an
    // answer to one of our room queries): true when it was theirs, read or dropped.
    bool OnStanza(xmpp_stanza_t* stanza);

    // A room JID on the conference service: "name@conference.<domain>", no resource.
    bool IsRoomJid(const std::string& room) const;

  private:
    struct Occupant {
        std::string nick;
        std::string realJid;
        std::string affiliation;
        std::string role;
    };
    enum class Stage { Checking, Joining, Configuring, Present, LeavingQuietly };
    struct Room {
        std::string jid;  // bare, as the caller spelt it
        std::string nick;
        RoomEntry entry = RoomEntry::Enter;
        Stage stage = Stage::Checking;
        const char* call = "";
        std::string name;
        std::string subject;
        bool persistent = false;
        bool infoShown = false;          // the joining's room info has been given
        bool enterAfterLeaving = false;  // entered while its maker was still going out
        std::string lastMessageCall = "SendConferenceMessage";
        std::vector<Occupant> occupants;
        // Invitations asked for while the room was being made or entered: sent once in.
        std::vector<std::pair<std::string, std::string>> invitations;  // invitee, reason
    };
    enum class Asked { Existence, Configuration, Destroy, Change, Members, Info, Invitation };
    struct Pending {
        Asked what;
        std::string room;  // key
        std::string call;
        bool joining = false;  // Info: the end of entering
        std::string inviter, reason;
        std::vector<RoomAdminItem> items;
        int nextAffiliation = 0;
    };

    Room* Find(const std::string& room);
    static std::string KeyOf(const std::string& room);
    std::string Ask(Asked what, const std::string& room, const std::string& call);
    void Send(xmpp_stanza_t* stanza) { wire_.send(stanza); }
    void Notify(NotifyRecord record) { wire_.notify(std::move(record)); }
    void Fail(const std::string& room, const std::string& condition, int code,
              const std::string& call);
    void FailLocally(const std::string& room, const char* condition, const char* call);
    void Log(const std::string& text) { wire_.log(2, "XMPP rooms: " + text); }

    void OnIq(xmpp_stanza_t* stanza, Pending pending);
    void OnPresence(const RoomPresenceIn& presence);
    void OnMessage(const RoomMessageIn& message);
    void OnSubject(const RoomSubjectIn& subject);
    void Joined(Room& room);
    void Inside(Room& room);
    NotifyRecord PresenceRecord(const Room& room, const Occupant& occupant,
                                const std::string& status) const;
    NotifyRecord InfoRecord(const Room& room, int present) const;
    void CountsChanged(const Room& room);
    std::vector<std::int64_t> Counts(const Room& room, int present) const;
    Occupant* OccupantNamed(Room& room, const std::string& member);
    void AskMembers(const std::string& id, Pending& pending);

    RoomsWire wire_;
    const std::string ownJid_;
    const std::string ownNickname_;
    const std::string conferenceDomain_;
    std::map<std::string, Room> rooms_;       // by KeyOf
    std::map<std::string, Pending> pending_;  // by iq id
    std::set<std::string> destroyedWhileIn_;  // rooms whose end we saw from inside
    struct OwnRoom {
        std::string jid, name, affiliation;
    };
    std::map<std::string, OwnRoom> own_;  // persistent rooms this session saw itself affiliated to
    std::uint64_t nextId_ = 1;
};

}  // namespace platform::xmpp
