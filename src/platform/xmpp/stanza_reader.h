#pragma once
// What an incoming stanza means to the client: the engine reads every stanza through here
// into one event, and applies the event to its state and queue. Pure reading, no connection,
// so the fuzz target reads the same way the engine does.
//
// Texts come off the wire in UTF-8 and leave here in GBK; a character GBK lacks becomes '?'.

#include <strophe.h>

#include <string>
#include <variant>
#include <vector>

#include "platform/session/notify_record.h"

namespace platform::xmpp {

// Our own namespaces: the font header beside the plain body, and the presence word (so that
// "busy" is not read back as "dnd").
inline constexpr char kFontNs[] = "urn:qorvdesk:font";
inline constexpr char kPresenceWordNs[] = "urn:qorvdesk:presence";
inline constexpr char kChatStatesNs[] = "http://jabber.org/protocol/chatstates";
inline constexpr char kAttentionNs[] = "urn:xmpp:attention:0";
inline constexpr char kNickNs[] = "http://jabber.org/protocol/nick";
inline constexpr char kDelayNs[] = "urn:xmpp:delay";
inline constexpr char kRosterNs[] = "jabber:iq:roster";
inline constexpr char kVcardNs[] = "vcard-temp";
// Our extension XML (signature, picture, recent contacts) inside the vCard, as text.
inline constexpr char kExtensionNs[] = "urn:qorvdesk:extension";
inline constexpr char kPingNs[] = "urn:xmpp:ping";
// Our resources start with this, so a session tells its own account's other sessions of
// this client from a phone or another program.
inline constexpr char kResourcePrefix[] = "Qorvdesk-";
// The body of a shake; an attention request (XEP-0224) travels beside it.
inline constexpr char kShakeBody[] = "#(-1)#";
// The most a stanza's texts and attributes may hold: a message or presence is small; a
// roster result may list thousands of contacts.
inline constexpr std::size_t kMaxSmallStanzaBytes = 64 * 1024;
inline constexpr std::size_t kMaxIqBytes = 16 * 1024 * 1024;

struct RosterEntry {
    std::string jid;  // bare
    std::string name;
    std::string group;         // first group, may be empty
    std::string subscription;  // "none", "to", "from", "both", "remove"
    bool askSubscribe = false;
};

struct ChatIn {
    MessageData message;  // fromName empty: the engine fills it from the roster
    std::string nick;     // the sender's own nickname, when it sent one
};
struct TypingIn {
    TypingStateData typing;
};
struct PresenceIn {
    std::string jid;  // bare
    std::string resource;
    bool available = true;
    std::string word;  // presence word; "offline" when unavailable
    std::string status;
    std::string nick;
};
struct SubscriptionIn {
    std::string jid;   // bare
    std::string type;  // "subscribe", "subscribed", "unsubscribe", "unsubscribed"
};
struct RosterIn {
    bool push = false;       // a push (iq set) rather than a result
    bool unchanged = false;  // a result without a query: the version we hold is current
    std::string id;
    std::string version;
    std::vector<RosterEntry> items;
};
struct VcardIn {
    std::string id;
    std::string from;    // bare; empty for our own
    bool found = false;  // the answer held a vCard
    std::string nickname;
    std::string fullName;
    std::string mobile;
    std::string workPhone;
    std::string email;
    std::string unit;
    std::string title;
    std::string role;
    std::string extension;  // our extension XML
    std::string cardXml;    // the vCard as it came (UTF-8), so that ours changes in one part
};
struct ResultIn {  // any other iq result or error, by id
    std::string id;
    bool error = false;
};
struct PingIn {  // a ping the server asks us to answer
    std::string id;
    std::string from;
};
// A request we do not serve (an unknown namespace, a roster push from a stranger): logged,
// and answered with an error as the protocol asks.
struct RefusedIq {
    std::string id;
    std::string from;
    std::string why;
};
// Nothing for the client; `why` is a log line when the stanza was bad, empty when it was
// merely of no interest.
struct Ignored {
    std::string why;
};

using InboundEvent = std::variant<Ignored, ChatIn, TypingIn, PresenceIn, SubscriptionIn, RosterIn,
                                  VcardIn, ResultIn, PingIn, RefusedIq>;

struct ReadContext {
    std::string ownBareJid;  // UTF-8 on the wire, GBK here
    std::string domain;
    std::string localTimeNow;  // "yyyy-mm-dd hh:mm:ss", for a message without a delay stamp
};

InboundEvent ReadStanza(xmpp_stanza_t* stanza, const ReadContext& context);
// Whether the stanza is within the limit of its kind (above); a larger one is read no
// further.
bool WithinSizeLimit(xmpp_stanza_t* stanza);

// The presence word of an available presence's <show/> and our own word element.
std::string PresenceWordOf(const char* show, const char* ownWord);
// "2026-01-02T03:04:05Z" (or with fractions or an offset) as local "yyyy-mm-dd hh:mm:ss";
// empty when it is not such a stamp.
std::string LocalTimeOfStamp(const std::string& stamp);

}  // namespace platform::xmpp
