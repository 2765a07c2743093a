#pragma once
// The embedded simulated server: accounts, rosters, presence, chat and subscriptions for the
// sessions attached to it (SimSessionCore). One server is one test world; a test attaches a
// session for the user under test and more sessions to play the other people.
//
// Deterministic: the server has no thread of its own. A request is carried out inside the
// call that makes it, and every notification it causes is in the receiving session's queue
// (with that session's notify event set) before the call returns. Sessions are served in the
// order they were attached.
//
// What the server does today: login (result, channel list, start of the data phase, the
// contacts' presence, messages and requests kept while the user was away), a second login of
// an account (the first session is told and then loses its connection), logout and lost
// connections (the contacts see "offline"), presence changes, chat messages, typing states,
// subscription requests and answers, status queries, the SMS gateway and files between
// sessions (offered, accepted or refused, moved in chunks on the clock, cancelled from either
// side; sim_file_transfers.h). The other requests
// are accepted and recorded by the sessions; the server side of each lands with the client
// work that needs it.
//
// Thread-safe: one lock guards the whole world.

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/session/notify_record.h"
#include "platform/session/sim_file_service.h"

namespace os {
class Clock;
}

namespace platform {

class SimSessionCore;
class SimFileTransfers;
namespace sim {
class RoomCall;
}

inline constexpr const char* kDefaultSimHost = "im.qorvdesk.test";
inline constexpr int kDefaultSimPort = 5222;

struct SimAccount {
    std::string loginName;  // what the user types to log in (compared without regard to case)
    std::string password;
    std::string jid;  // bare JID; empty: loginName + "$gov@" + host
    std::string nickname;
    std::string limitName;    // the account name (user folder); empty: loginName
    std::string accountName;  // empty: loginName
    std::string mobile;       // logs in with the "MOBILE" login type
    std::string tel;
    std::string workPhone;
    std::string homePhone;
    std::string businessPhone;
    std::string mobile2;
    // The own vCard's extension XML (signature, photo, recent contacts); when set, a login
    // hands it over as the user's own vCard after the start of the data phase.
    std::string extensionXml;
};

// One contact in a user's roster. `subscription` is the XMPP state seen from the roster's
// owner: "none", "to" (the owner sees the contact's presence), "from" (the contact sees the
// owner's) or "both".
// One short message the SMS gateway accepted.
struct SimSms {
    std::string from;  // the sender's JID
    std::string to;    // "<mobile>@sms.<host>"
    std::string text;
    std::string sendTime;  // empty for an immediate SMS
    int nickFlag = 0;
    int timedFlag = 0;
    friend bool operator==(const SimSms&, const SimSms&) = default;
};

// What the SMS gateway allows one user. Immediate SMS count against `remaining` under the
// quota kind (1 per day, 2 per month, 3 in total, other: no quota); timed SMS against
// `timedRemaining` (kSimUnlimitedTimedSms: no limit) and only for a send time inside the
// window ("YYYY-MM-DD HH:MM"; an empty start: the user may send no timed SMS).
inline constexpr std::uint32_t kSimUnlimitedTimedSms = 0xFFFFFFFFu;
struct SimSmsQuota {
    int kind = 0;
    int remaining = 0;
    int third = 0;
    std::uint32_t timedRemaining = kSimUnlimitedTimedSms;
    std::string windowStart;
    std::string windowEnd;
    // When set, the timed answer carries this error code instead of the window.
    std::string timedErrorCode;
    friend bool operator==(const SimSmsQuota&, const SimSmsQuota&) = default;
};

struct SimRosterItem {
    std::string jid;
    std::string name;
    std::string group;
    std::string subscription = "both";
    friend bool operator==(const SimRosterItem&, const SimRosterItem&) = default;
};

// One entry of a user's private phone book: a number (the entry's JID is
// "<number>@sms.<host>") under a phone-book group.
struct SimPhoneEntry {
    std::string number;
    std::string name;
    std::string group;
    friend bool operator==(const SimPhoneEntry&, const SimPhoneEntry&) = default;
};

// The organisation directory: units (a root unit has an empty parentId) holding sub-units
// and persons. Unit ids are unique in the directory; a person is listed by JID.
struct SimPerson {
    std::string jid;
    std::string name;
};
struct SimUnit {
    std::string id;
    std::string name;
    std::string parentId;
    std::vector<SimPerson> persons;
};
struct SimDirectory {
    std::vector<SimUnit> units;  // parents before their children

    // A directory of `roots` root units, each with `subUnits` sub-units per level down to
    // `depth` levels (1: roots only), and `persons` persons in every unit. Unit ids are
    // "u1", "u1_2", ...; persons "p<unit id>_<n>$gov@<host>", named "职员<n>".
    static SimDirectory Generate(std::string_view host, int roots, int depth, int subUnits,
                                 int persons);
};

// One child of a unit as the engine hands it to the client's directory store: a unit
// (isUnit) or a person (id = JID), with the id of the unit it belongs to.
struct DirectoryChild {
    bool isUnit = true;
    std::string id;
    std::string name;
    std::string parentId;
    friend bool operator==(const DirectoryChild&, const DirectoryChild&) = default;
};

class SimServer {
  public:
    explicit SimServer(os::Clock& clock, std::string hostName = kDefaultSimHost);
    ~SimServer();
    SimServer(const SimServer&) = delete;
    SimServer& operator=(const SimServer&) = delete;

    const std::string& HostName() const { return hostName_; }
    int Port() const;
    void SetPort(int port);
    os::Clock& clock() const { return clock_; }

    // Adds an account or replaces the one with the same JID; answers its JID.
    std::string AddAccount(SimAccount account);
    // The account of a JID (any spelling), if there is one.
    bool HasAccount(std::string_view jid) const;
    // The account name of a JID or login name, if the server knows the user.
    std::string LimitNameOf(std::string_view jidOrLogin) const;

    // Replaces a user's roster.
    void SetRoster(std::string_view ownerJid, std::vector<SimRosterItem> items);
    std::vector<SimRosterItem> Roster(std::string_view ownerJid) const;

    // Replaces a user's private phone book.
    void SetPhoneBook(std::string_view ownerJid, std::vector<SimPhoneEntry> entries);
    // Replaces the organisation directory (one for the whole server).
    void SetDirectory(SimDirectory directory);
    // The children of a unit in sibling order (sub-units first, then persons); the unit is
    // the last element of a tree path key ("top,u1,u1_2"); a key without "," names the
    // directory's top (its root units).
    std::vector<DirectoryChild> DirectoryChildren(std::string_view pathKey) const;
    // Hands the session's own roster (namespace "jabber:iq:roster") or phone book
    // ("kestral:iq:private:phone") over as the list record a refresh gets: one group per
    // distinct group name (id = name, top-level), users keyed "<top kind>,<group>" (the top
    // kind alone without a group). Checked and delivered under the server's lock, so a
    // session that logs out meanwhile gets nothing; false when it is not logged in.
    bool SendContactList(SimSessionCore* session, std::string_view nameSpace);

    // The channel list every successful login receives.
    void SetChannels(std::vector<Channel> channels);

    // Whether some session of the user is logged in, and its presence word ("offline" if none).
    bool IsOnline(std::string_view jid) const;
    std::string PresenceOf(std::string_view jid) const;

    // Messages kept for a user who was offline, until the next login delivers them.
    std::vector<MessageData> StoredMessages(std::string_view jid) const;
    // Messages sent to JIDs that are no account of this server.
    std::vector<MessageData> Undeliverable() const;
    // Subscription requests waiting for the user's next login.
    std::vector<std::string> PendingSubscriptions(std::string_view jid) const;

    // The SMS gateway: every short message it accepted, oldest first. While failing is set it
    // refuses every message (the send answers 0) and keeps none.
    std::vector<SimSms> SmsSent() const;
    void SetSmsGatewayFailing(bool failing);
    // A user's SMS allowance (kept per bare JID) and what is left of it. A user without one is
    // not limited by the gateway, and its timed answer names no window.
    void SetSmsQuota(std::string_view jid, SimSmsQuota quota);
    SimSmsQuota SmsQuotaOf(std::string_view jid) const;
    // `sender` offers a file under a name of its own choosing, as another client may name
    // its files (a Windows peer's "..\\x.txt"); otherwise as SendFile.
    int OfferFileNamed(SimSessionCore& sender, std::string_view to, std::string_view path,
                       std::string_view key, std::string_view offeredName);
    // While stalled, started files move no bytes (a network that stopped carrying them).
    void StallFileTransfers(bool stalled);
    // The network drops every started file: each fails (type 31, reason 3) and the
    // receiver's part of it is kept for a later offer of the same file.
    void CutFileTransfers();
    // Rooms on "conference.<host>" (sim_server_rooms.cpp). A room set up by the world: a
    // persistent room owned by `ownerJid`, with `memberJids` as members.
    bool AddPersistentRoom(std::string_view roomJid, std::string_view name,
                           std::string_view ownerJid, const std::vector<std::string>& memberJids);
    bool HasRoom(std::string_view roomJid) const;
    // The nicknames present in a room, in the order they entered, and one's role ("none" when
    // absent); a user's affiliation ("none" when it has none).
    std::vector<std::string> RoomOccupants(std::string_view roomJid) const;
    std::string RoomRole(std::string_view roomJid, std::string_view nickname) const;
    std::string RoomAffiliation(std::string_view roomJid, std::string_view userJid) const;
    // The rooms a user was in when its last session ended, which it may enter again.
    std::vector<std::string> RoomsKeptFor(std::string_view userJid) const;

    // The offline file server (sim_file_service.h); an HTTP server in front of it serves it.
    SimFileService& FileService() { return fileService_; }
    // Chat messages to this JID (any spelling) are refused from now on: the send answers 0
    // and nothing is delivered or kept. An empty JID lifts the refusal.
    void RefuseChatTo(std::string_view jid);
    // While refusing, every login fails at once (Login answers 0, as when no connection can
    // be made); while stalling, every login is taken and never answered (a server that hangs).
    void SetRefusingLogins(bool refusing);
    void SetStallingLogins(bool stalling);
    // An office system pushes a real-time OA notice (its XML body) to a user: delivered at
    // once to each logged-in session of the user; 0, and nothing kept, when the user is not
    // logged in (an office system sends a notice again through its offline tip).
    int SendOaNotice(std::string_view toJid, std::string_view body);

  private:
    friend class SimSessionCore;
    friend class SimFileTransfers;
    friend class sim::RoomCall;
    struct Impl;

    // ---- Called by the sessions ----
    void Attach(SimSessionCore* session);
    void Detach(SimSessionCore* session);
    // kLoginAccepted, or 0 when the session is logged in already.
    int Login(SimSessionCore* session, std::string_view userName, std::string_view password,
              bool byMobile, bool answer);
    int Logout(SimSessionCore* session);
    // Ends the session as if the network had gone; false when it was not connected.
    bool DropConnection(SimSessionCore* session);
    int ChangePresence(SimSessionCore* session, std::string_view word);
    int SendChat(SimSessionCore* session, std::string_view to, std::string_view body,
                 std::string_view font);
    // Immediate (sendTime empty) or timed SMS to "<mobile>@sms.<host>" (or a ';'-separated
    // list of them, any case); all or nothing: 0 when the session is not logged in, an address
    // is no SMS address of this server, the user's quota is short or the gateway fails. A
    // timed SMS outside the user's window is taken and then refused with "-16_1002" (type 78).
    int SendSms(SimSessionCore* session, std::string_view to, std::string_view text,
                std::string_view sendTime, int nickFlag, int timedFlag);
    // One immediate SMS to every address of `list`, as SendSms.
    int BatchSendSms(SimSessionCore* session, std::string_view list, std::string_view text,
                     int nickFlag, int receiptFlag);
    // The quota answer (type 77) or, `timed`, the timed answer (type 78) to the session.
    int QuerySmsLimit(SimSessionCore* session, int timed);
    int SendTyping(SimSessionCore* session, std::string_view to, std::string_view state);
    int AddContact(SimSessionCore* session, std::string_view jid, std::string_view nickname,
                   std::string_view group);
    // Keeps the account's own extension XML; its next login's own vCard carries it.
    int UpdateExtension(SimSessionCore* session, std::string_view extensionXml);
    int ConfirmSubscribe(SimSessionCore* session, std::string_view requester, bool accept);
    // Edits of the buddy list and the phone book (sim_server_roster_edits.cpp). Each change
    // is confirmed to every session of the owner with a roster push (type 34); an edit of
    // something the owner does not have answers 0 and pushes nothing. A phone-book contact
    // is named by its number or its JID "<number>@sms.<host>".
    int ModifyContact(SimSessionCore* session, std::string_view jid, std::string_view nickname,
                      std::string_view group);
    int RemoveContact(SimSessionCore* session, std::string_view jid);
    int AddGroup(SimSessionCore* session, std::string_view nameSpace, std::string_view name);
    int RenameGroup(SimSessionCore* session, std::string_view nameSpace, std::string_view oldName,
                    std::string_view newName);
    // The group goes with every contact in it.
    int DeleteGroup(SimSessionCore* session, std::string_view nameSpace, std::string_view name);
    int AddMobileContact(SimSessionCore* session, std::string_view group, std::string_view payload);
    int ModifyMobileContact(SimSessionCore* session, std::string_view group,
                            std::string_view payload, std::string_view id);
    int DeleteMobileContact(SimSessionCore* session, std::string_view id);
    int QueryStatus(SimSessionCore* session, std::string_view jid);
    // The presence of every online contact on the session's roster, again; 0 when the
    // session is not logged in.
    int RosterPresence(SimSessionCore* session);
    // The logged-in account of a session; false when it is not logged in.
    bool CurrentAccount(const SimSessionCore* session, SimAccount& account) const;
    // Files between sessions (sim_server_files.cpp): see sim_file_transfers.h.
    int SendFile(SimSessionCore* session, std::string_view to, std::string_view path,
                 std::string_view key);
    int RecvFile(SimSessionCore* session, std::string_view savePath, std::string_view key);
    int DenyFile(SimSessionCore* session, std::string_view key);
    int CancelFile(SimSessionCore* session, std::string_view key);
    // The sender of an offered file sends it offline instead: the receiver is told (type 104)
    // and the online offer ends.
    int UseOfflineFileTrans(SimSessionCore* session, std::string_view key);
    // Rooms (sim_server_rooms.cpp): each answer reaches the sessions concerned as the room
    // records of notify_record.h; a call that is not allowed or names a room that is gone is
    // answered with a room error (type 60). 0 only when the session is not logged in or the
    // room JID is empty.
    int RequestInstantRoom(SimSessionCore* session, std::string_view room);
    int CreatePersistentRoom(SimSessionCore* session, std::string_view room, std::string_view name);
    int DestroyRoom(SimSessionCore* session, std::string_view room);
    int EnterRoom(SimSessionCore* session, std::string_view room, std::string_view nickname);
    int LeaveRoom(SimSessionCore* session, std::string_view room);
    int SendRoomMessage(SimSessionCore* session, std::string_view room, std::string_view text,
                        std::string_view font);
    int InviteToRoom(SimSessionCore* session, std::string_view room, std::string_view invitee,
                     std::string_view reason);
    int SetRoomMembership(SimSessionCore* session, std::string_view room, std::string_view user,
                          std::string_view affiliation);
    int ChangeRoomSubject(SimSessionCore* session, std::string_view room, std::string_view subject);
    int QueryRoomMembers(SimSessionCore* session, std::string_view room);
    int QueryRoomInfo(SimSessionCore* session, std::string_view room);
    int RefreshOwnRooms(SimSessionCore* session, int flag);
    int SetRoomVoice(SimSessionCore* session, std::string_view room, std::string_view member,
                     bool voice);
    int KickFromRoom(SimSessionCore* session, std::string_view room, std::string_view member);
    int RequestRoomVoice(SimSessionCore* session, std::string_view room);

    os::Clock& clock_;
    const std::string hostName_;
    mutable std::mutex mutex_;
    std::unique_ptr<Impl> impl_;
    // Made on the first file offer; goes first, so its clock hook ends before the world.
    std::unique_ptr<SimFileTransfers> files_;  // under mutex_
    std::vector<SimSms> smsSent_;              // under mutex_
    bool smsFailing_ = false;
    std::map<std::string, SimSmsQuota> smsQuotas_;  // by store key, under mutex_
    std::string refusedChatKey_;                    // under mutex_
    bool refusingLogins_ = false;                   // under mutex_
    bool stallingLogins_ = false;                   // under mutex_
    SimFileService fileService_;                    // locks itself
};

}  // namespace platform
