#pragma once
// The multi-user chat stanzas (XEP-0045) the engine sends, built from UTF-8 texts.

#include <strophe.h>

#include <string>

namespace platform::xmpp {

inline constexpr char kMucNs[] = "http://jabber.org/protocol/muc";
inline constexpr char kMucUserNs[] = "http://jabber.org/protocol/muc#user";
inline constexpr char kMucAdminNs[] = "http://jabber.org/protocol/muc#admin";
inline constexpr char kMucOwnerNs[] = "http://jabber.org/protocol/muc#owner";
inline constexpr char kMucRequestForm[] = "http://jabber.org/protocol/muc#request";
inline constexpr char kMucRoomConfigForm[] = "http://jabber.org/protocol/muc#roomconfig";
inline constexpr char kDataFormsNs[] = "jabber:x:data";
inline constexpr char kDiscoInfoNs[] = "http://jabber.org/protocol/disco#info";
// The messages a newcomer asks the room for.
inline constexpr int kRoomHistoryAsked = 20;

// Entering: a presence to "room/nickname" asking for the room's recent history.
xmpp_stanza_t* RoomJoin(xmpp_ctx_t* ctx, const std::string& occupantJid);
// Leaving: an unavailable presence to "room/nickname".
xmpp_stanza_t* RoomLeave(xmpp_ctx_t* ctx, const std::string& occupantJid);
// A room message: the plain body every client shows and our font header beside it.
xmpp_stanza_t* RoomMessage(xmpp_ctx_t* ctx, const std::string& room, const std::string& body,
                           const std::string& font);
xmpp_stanza_t* RoomSubject(xmpp_ctx_t* ctx, const std::string& room, const std::string& subject);
// A mediated invitation: the room passes it on to the invitee.
xmpp_stanza_t* RoomInvitation(xmpp_ctx_t* ctx, const std::string& room, const std::string& invitee,
                              const std::string& reason);
// A visitor asks the moderators for voice.
xmpp_stanza_t* RoomVoiceRequest(xmpp_ctx_t* ctx, const std::string& room);
// The owner's configuration of a room it just made: its name, whether it outlives its last
// occupant (and then is moderated, so that non-members ask for voice), real JIDs seen by all.
xmpp_stanza_t* RoomConfiguration(xmpp_ctx_t* ctx, const std::string& id, const std::string& room,
                                 const std::string& name, bool persistent);
xmpp_stanza_t* RoomDestroy(xmpp_ctx_t* ctx, const std::string& id, const std::string& room);
// One admin item: `key` is "nick" or "jid", `field` "role" or "affiliation".
xmpp_stanza_t* RoomAdminSet(xmpp_ctx_t* ctx, const std::string& id, const std::string& room,
                            const char* key, const std::string& who, const char* field,
                            const std::string& value);
// The list of one affiliation ("owner", "admin", "member").
xmpp_stanza_t* RoomAffiliationQuery(xmpp_ctx_t* ctx, const std::string& id, const std::string& room,
                                    const char* affiliation);

}  // namespace platform::xmpp
