#include "platform/xmpp/stanza_reader.h"

#include <cstring>
#include <ctime>

#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/jid/jid.h"

namespace platform::xmpp {
namespace {

std::string Attr(xmpp_stanza_t* stanza, const char* name) {
    const char* value = stanza == nullptr ? nullptr : xmpp_stanza_get_attribute(stanza, name);
    return value == nullptr ? std::string() : std::string(value);
}

bool Is(const char* text, const char* expected) {
    return text != nullptr && std::strcmp(text, expected) == 0;
}

// The text directly inside an element, UTF-8.
std::string InnerText(xmpp_stanza_t* element) {
    std::string text;
    if (element == nullptr) return text;
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(element); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (xmpp_stanza_is_text(child)) {
            if (const char* piece = xmpp_stanza_get_text_ptr(child)) text += piece;
        }
    }
    return text;
}

std::string Gbk(const std::string& utf8) { return os::Utf8ToGbkLossy(utf8); }

xmpp_stanza_t* Child(xmpp_stanza_t* stanza, const char* name, const char* ns) {
    return xmpp_stanza_get_child_by_name_and_ns(stanza, name, ns);
}

// The first child element in a namespace, whatever its name.
xmpp_stanza_t* ChildInNs(xmpp_stanza_t* stanza, const char* ns) {
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(stanza); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (!xmpp_stanza_is_text(child) && Is(xmpp_stanza_get_ns(child), ns)) return child;
    }
    return nullptr;
}

InboundEvent ReadMessage(xmpp_stanza_t* stanza, const ReadContext& context) {
    const std::string type = Attr(stanza, "type");
    if (type == "error") return Ignored{"message error from " + Gbk(Attr(stanza, "from"))};
    const bool attention = Child(stanza, "attention", kAttentionNs) != nullptr;
    // Other clients send attention as a headline, as its protocol asks.
    if (type == "groupchat" || (type == "headline" && !attention)) return Ignored{};
    const std::string from = Gbk(Attr(stanza, "from"));
    if (from.empty()) return Ignored{"message without a sender"};
    const std::string to = Jid(Gbk(Attr(stanza, "to"))).Bare();

    xmpp_stanza_t* body = xmpp_stanza_get_child_by_name(stanza, "body");
    if (body == nullptr && !attention) {
        xmpp_stanza_t* state = ChildInNs(stanza, kChatStatesNs);
        if (state == nullptr) return Ignored{"message with nothing for the client from " + from};
        const char* name = xmpp_stanza_get_name(state);
        TypingIn typing;
        typing.typing.from = from;
        typing.typing.to = to;
        typing.typing.state = Is(name, "composing") ? "composing" : "active";
        return typing;
    }

    ChatIn chat;
    chat.message.from = from;
    chat.message.to = to;
    chat.message.content = body != nullptr ? Gbk(InnerText(body)) : std::string();
    if (chat.message.content.empty() && attention) chat.message.content = kShakeBody;
    if (xmpp_stanza_t* font = Child(stanza, "font", kFontNs)) {
        chat.message.font = Gbk(InnerText(font));
    }
    if (xmpp_stanza_t* subject = xmpp_stanza_get_child_by_name(stanza, "subject")) {
        chat.message.subject = Gbk(InnerText(subject));
    }
    chat.nick = Gbk(InnerText(Child(stanza, "nick", kNickNs)));
    std::string time;
    if (xmpp_stanza_t* delay = Child(stanza, "delay", kDelayNs)) {
        time = LocalTimeOfStamp(Attr(delay, "stamp"));
    }
    chat.message.time = time.empty() ? context.localTimeNow : time;
    return chat;
}

// The number of the first TEL of the vCard that carries the flag `kind` (CELL, WORK).
std::string TelephoneOf(xmpp_stanza_t* card, const char* kind) {
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(card); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (Is(xmpp_stanza_get_name(child), "TEL") &&
            xmpp_stanza_get_child_by_name(child, kind) != nullptr) {
            return Gbk(InnerText(xmpp_stanza_get_child_by_name(child, "NUMBER")));
        }
    }
    return {};
}

std::string TextOf(xmpp_stanza_t* parent, const char* name) {
    return parent == nullptr ? std::string()
                             : Gbk(InnerText(xmpp_stanza_get_child_by_name(parent, name)));
}

InboundEvent ReadVcard(xmpp_stanza_t* stanza, const std::string& id, const std::string& from) {
    VcardIn vcard;
    vcard.id = id;
    vcard.from = Jid(from).Bare();
    xmpp_stanza_t* card =
        Attr(stanza, "type") == "result" ? Child(stanza, "vCard", kVcardNs) : nullptr;
    if (card == nullptr) return vcard;
    vcard.found = true;
    vcard.nickname = TextOf(card, "NICKNAME");
    vcard.fullName = TextOf(card, "FN");
    vcard.mobile = TelephoneOf(card, "CELL");
    vcard.workPhone = TelephoneOf(card, "WORK");
    vcard.email = TextOf(xmpp_stanza_get_child_by_name(card, "EMAIL"), "USERID");
    vcard.unit = TextOf(xmpp_stanza_get_child_by_name(card, "ORG"), "ORGNAME");
    vcard.title = TextOf(card, "TITLE");
    vcard.role = TextOf(card, "ROLE");
    vcard.extension = Gbk(InnerText(Child(card, "EXTENSION", kExtensionNs)));
    char* text = nullptr;
    std::size_t size = 0;
    if (xmpp_stanza_to_text(card, &text, &size) == XMPP_EOK && text != nullptr) {
        vcard.cardXml.assign(text, size);
        xmpp_free(xmpp_stanza_get_context(card), text);
    }
    return vcard;
}

InboundEvent ReadPresence(xmpp_stanza_t* stanza, const ReadContext& context) {
    const std::string type = Attr(stanza, "type");
    const Jid from(Gbk(Attr(stanza, "from")));
    if (from.Bare().empty()) return Ignored{type.empty() ? "presence without a sender" : ""};
    if (type == "subscribe" || type == "subscribed" || type == "unsubscribe" ||
        type == "unsubscribed") {
        return SubscriptionIn{from.Bare(), type};
    }
    if (!type.empty() && type != "unavailable") return Ignored{};
    static_cast<void>(context);
    PresenceIn presence;
    presence.jid = from.Bare();
    presence.resource = from.Resource();
    presence.available = type.empty();
    xmpp_stanza_t* show = xmpp_stanza_get_child_by_name(stanza, "show");
    const std::string showText = InnerText(show);
    const std::string ownWord = InnerText(Child(stanza, "word", kPresenceWordNs));
    presence.word = presence.available ? PresenceWordOf(show ? showText.c_str() : nullptr,
                                                        ownWord.empty() ? nullptr : ownWord.c_str())
                                       : "offline";
    presence.status = Gbk(InnerText(xmpp_stanza_get_child_by_name(stanza, "status")));
    presence.nick = Gbk(InnerText(Child(stanza, "nick", kNickNs)));
    return presence;
}

RosterEntry ReadRosterItem(xmpp_stanza_t* item) {
    RosterEntry entry;
    entry.jid = Jid(Gbk(Attr(item, "jid"))).Bare();
    entry.name = Gbk(Attr(item, "name"));
    entry.subscription = Attr(item, "subscription");
    if (entry.subscription.empty()) entry.subscription = "none";
    entry.askSubscribe = Attr(item, "ask") == "subscribe";
    entry.group = Gbk(InnerText(xmpp_stanza_get_child_by_name(item, "group")));
    return entry;
}

InboundEvent ReadIq(xmpp_stanza_t* stanza, const ReadContext& context) {
    const std::string type = Attr(stanza, "type");
    const std::string id = Attr(stanza, "id");
    const std::string from = Gbk(Attr(stanza, "from"));
    xmpp_stanza_t* roster = Child(stanza, "query", kRosterNs);

    if (type == "set" && roster != nullptr) {
        // A push comes from our own account's server side: without a sender or from our
        // own bare JID. Anything else is someone trying to edit our list.
        if (!from.empty() && os::MakeLower(Jid(from).Bare()) != os::MakeLower(context.ownBareJid)) {
            return RefusedIq{id, from, "roster push from a stranger refused: " + from};
        }
        RosterIn push;
        push.push = true;
        push.id = id;
        push.version = Gbk(Attr(roster, "ver"));
        for (xmpp_stanza_t* item = xmpp_stanza_get_children(roster); item != nullptr;
             item = xmpp_stanza_get_next(item)) {
            if (Is(xmpp_stanza_get_name(item), "item")) push.items.push_back(ReadRosterItem(item));
        }
        if (push.items.size() != 1) return Ignored{"roster push without exactly one item"};
        return push;
    }
    if (type == "get" && Child(stanza, "ping", kPingNs) != nullptr) return PingIn{id, from};
    if (type == "result" || type == "error") {
        if (type == "result" && id.starts_with("roster")) {
            RosterIn list;
            list.id = id;
            list.unchanged = roster == nullptr;
            if (roster != nullptr) {
                list.version = Gbk(Attr(roster, "ver"));
                for (xmpp_stanza_t* item = xmpp_stanza_get_children(roster); item != nullptr;
                     item = xmpp_stanza_get_next(item)) {
                    if (Is(xmpp_stanza_get_name(item), "item")) {
                        list.items.push_back(ReadRosterItem(item));
                    }
                }
            }
            return list;
        }
        if (id.starts_with("vcard")) return ReadVcard(stanza, id, from);
        return ResultIn{id, type == "error"};
    }
    if (type == "get" || type == "set") {
        const char* ns = nullptr;
        for (xmpp_stanza_t* child = xmpp_stanza_get_children(stanza); child != nullptr;
             child = xmpp_stanza_get_next(child)) {
            if (!xmpp_stanza_is_text(child)) ns = xmpp_stanza_get_ns(child);
        }
        return RefusedIq{
            id, from,
            std::string("request of an unknown namespace refused: ") + (ns ? ns : "(none)")};
    }
    return Ignored{"iq of unknown type"};
}

// Whether the stanza's texts and attributes fit in `budget` bytes (counted down).
bool WithinBudget(xmpp_stanza_t* stanza, std::size_t& budget) {
    if (xmpp_stanza_is_text(stanza)) {
        const char* text = xmpp_stanza_get_text_ptr(stanza);
        const std::size_t size = text == nullptr ? 0 : std::strlen(text);
        if (size > budget) return false;
        budget -= size;
        return true;
    }
    const int count = xmpp_stanza_get_attribute_count(stanza);
    if (count > 0) {
        std::vector<const char*> attributes(static_cast<std::size_t>(count) * 2);
        xmpp_stanza_get_attributes(stanza, attributes.data(), count * 2);
        for (const char* piece : attributes) {
            const std::size_t size = (piece == nullptr ? 0 : std::strlen(piece)) + 4;
            if (size > budget) return false;
            budget -= size;
        }
    }
    // The element's name and brackets, roughly.
    if (budget < 16) return false;
    budget -= 16;
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(stanza); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (!WithinBudget(child, budget)) return false;
    }
    return true;
}

}  // namespace

bool WithinSizeLimit(xmpp_stanza_t* stanza) {
    if (stanza == nullptr) return false;
    std::size_t budget =
        Is(xmpp_stanza_get_name(stanza), "iq") ? kMaxIqBytes : kMaxSmallStanzaBytes;
    return WithinBudget(stanza, budget);
}

std::string PresenceWordOf(const char* show, const char* ownWord) {
    static const char* const kWords[] = {"online", "chat", "away", "xa", "dnd", "busy"};
    if (ownWord != nullptr) {
        for (const char* word : kWords) {
            if (std::strcmp(ownWord, word) == 0) return word;
        }
    }
    if (show == nullptr) return "online";
    for (const char* word : {"chat", "away", "xa", "dnd"}) {
        if (std::strcmp(show, word) == 0) return word;
    }
    return "online";
}

std::string LocalTimeOfStamp(const std::string& stamp) {
    std::tm utc{};
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (std::sscanf(stamp.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d", &year, &month, &day, &hour, &minute,
                    &second) != 6) {
        return {};
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60 ||
        year < 1970 || year > 9999) {
        return {};
    }
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    std::time_t when = timegm(&utc);
    // An offset after the seconds ("+08:00"); fractions before it are skipped.
    std::size_t at = 19;
    while (at < stamp.size() && (stamp[at] == '.' || (stamp[at] >= '0' && stamp[at] <= '9'))) ++at;
    int offsetHours = 0, offsetMinutes = 0;
    if (at < stamp.size() && (stamp[at] == '+' || stamp[at] == '-') &&
        std::sscanf(stamp.c_str() + at + 1, "%2d:%2d", &offsetHours, &offsetMinutes) == 2) {
        const long offset = offsetHours * 3600L + offsetMinutes * 60L;
        when += stamp[at] == '+' ? -offset : offset;
    }
    std::tm local{};
    if (localtime_r(&when, &local) == nullptr) return {};
    return os::Format("%04d-%02d-%02d %02d:%02d:%02d", local.tm_year + 1900, local.tm_mon + 1,
                      local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

InboundEvent ReadStanza(xmpp_stanza_t* stanza, const ReadContext& context) {
    if (stanza == nullptr || xmpp_stanza_is_text(stanza)) return Ignored{"not an element"};
    const char* name = xmpp_stanza_get_name(stanza);
    if (Is(name, "message")) return ReadMessage(stanza, context);
    if (Is(name, "presence")) return ReadPresence(stanza, context);
    if (Is(name, "iq")) return ReadIq(stanza, context);
    return Ignored{};
}

}  // namespace platform::xmpp
