#pragma once
// What a stanza means to the rooms: presences, messages, subjects, invitations, voice requests
// and errors from the conference service, and the answers to our room queries. Pure reading,
// as stanza_reader is, so that the fuzz target reads the same way the engine does. Texts leave
// here in GBK.

#include <strophe.h>

#include <string>
#include <variant>
#include <vector>

namespace platform::xmpp {

// A failure as the server told it: the condition ("item-not-found", "forbidden", ...) and
// the error code the client shows (404, 403, 405, 406, 409; 500 for one it does not know).
struct RoomFailureIn {
    std::string condition;
    int code = 500;
};

struct RoomPresenceIn {
    std::string room;  // bare
    std::string nick;
    bool available = true;
    bool self = false;     // status 110: our own presence
    bool created = false;  // status 201: the room was made for us
    std::string realJid;   // bare; empty when the room hides it
    std::string affiliation = "none";
    std::string role = "none";
    std::string status;  // why it went: "left", "kicked", "removed", "destroyed", "offline"
};
struct RoomPresenceError {
    std::string room;
    std::string nick;
    RoomFailureIn failure;
};
struct RoomMessageIn {
    std::string room;
    std::string nick;  // empty: the room itself
    std::string body;
    std::string font;
    std::string time;  // the delay stamp as local time; empty for a message just sent
    bool history = false;
};
struct RoomSubjectIn {
    std::string room;
    std::string subject;
};
struct RoomMessageError {
    std::string room;
    RoomFailureIn failure;
};
struct RoomInvitationIn {
    std::string room;
    std::string from;  // bare JID of who invites
    std::string reason;
};
struct RoomVoiceRequestIn {
    std::string room;
    std::string nick;
    std::string realJid;
};
// A stanza about rooms that cannot be read: `why` is the log line.
struct RoomStanzaRefused {
    std::string why;
};
// Not a room stanza: the engine's own reading takes it.
struct NotARoomStanza {};

using RoomStanza = std::variant<NotARoomStanza, RoomStanzaRefused, RoomPresenceIn,
                                RoomPresenceError, RoomMessageIn, RoomSubjectIn, RoomMessageError,
                                RoomInvitationIn, RoomVoiceRequestIn>;

// `conferenceDomain` is the conference service's domain (UTF-8, as on the wire): presences and
// messages from it are the rooms'. Iqs are never room stanzas here (the engine matches their
// ids).
RoomStanza ReadRoomStanza(xmpp_stanza_t* stanza, const std::string& conferenceDomain);

// The failure an error stanza carries.
RoomFailureIn ReadRoomFailure(xmpp_stanza_t* stanza);

// A room's disco#info answer.
struct RoomInfoIn {
    std::string name;
    std::string subject;
    bool persistent = false;
    int occupants = 0;
};
RoomInfoIn ReadRoomInfo(xmpp_stanza_t* iq);

// The items of a muc#admin answer.
struct RoomAdminItem {
    std::string jid;  // bare
    std::string nick;
    std::string affiliation;
};
std::vector<RoomAdminItem> ReadRoomAdminItems(xmpp_stanza_t* iq);

}  // namespace platform::xmpp
