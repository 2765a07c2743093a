#include "platform/xmpp/xmpp_rooms_reader.h"

#include <cstdlib>
#include <cstring>

#include "os/text/cstring_ops.h"
#include "os/text/gbk_codec.h"
#include "platform/jid/jid.h"
#include "platform/xmpp/stanza_reader.h"
#include "platform/xmpp/xmpp_rooms_writer.h"

namespace platform::xmpp {
namespace {

std::string Attr(xmpp_stanza_t* stanza, const char* name) {
    const char* value = stanza == nullptr ? nullptr : xmpp_stanza_get_attribute(stanza, name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string Gbk(const std::string& utf8) { return os::Utf8ToGbkLossy(utf8); }

bool Named(xmpp_stanza_t* element, const char* name) {
    const char* own = xmpp_stanza_get_name(element);
    return own != nullptr && std::strcmp(own, name) == 0;
}

xmpp_stanza_t* Child(xmpp_stanza_t* stanza, const char* name, const char* ns = nullptr) {
    if (stanza == nullptr) return nullptr;
    return ns == nullptr ? xmpp_stanza_get_child_by_name(stanza, name)
                         : xmpp_stanza_get_child_by_name_and_ns(stanza, name, ns);
}

// The text directly inside an element, UTF-8.
std::string InnerText(xmpp_stanza_t* element) {
    std::string text;
    if (element == nullptr) return text;
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(element); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (!xmpp_stanza_is_text(child)) continue;
        if (const char* piece = xmpp_stanza_get_text_ptr(child)) text += piece;
    }
    return text;
}

bool OneOf(const std::string& word, std::initializer_list<const char*> words) {
    for (const char* candidate : words) {
        if (word == candidate) return true;
    }
    return false;
}

// The code the client shows for a condition.
int CodeOf(const std::string& condition) {
    struct Entry {
        const char* condition;
        int code;
    };
    static constexpr Entry kCodes[] = {
        {"item-not-found", 404},         {"forbidden", 403},   {"not-allowed", 405},
        {"not-acceptable", 406},         {"conflict", 409},    {"registration-required", 407},
        {"not-authorized", 401},         {"bad-request", 400}, {"service-unavailable", 503},
        {"remote-server-not-found", 404}};
    for (const Entry& entry : kCodes) {
        if (condition == entry.condition) return entry.code;
    }
    return 500;
}

// A value of a data form's field.
std::string FieldValue(xmpp_stanza_t* form, const char* var) {
    for (xmpp_stanza_t* field = xmpp_stanza_get_children(form); field != nullptr;
         field = xmpp_stanza_get_next(field)) {
        if (xmpp_stanza_is_text(field) || !Named(field, "field")) continue;
        if (Attr(field, "var") == var) return InnerText(Child(field, "value"));
    }
    return {};
}

RoomStanza ReadPresence(xmpp_stanza_t* stanza, const Jid& from) {
    const std::string room = Gbk(from.Bare());
    const std::string nick = Gbk(from.Resource());
    if (nick.empty()) return RoomStanzaRefused{"a room presence without a nickname: " + room};
    const std::string type = Attr(stanza, "type");
    if (type == "error") return RoomPresenceError{room, nick, ReadRoomFailure(stanza)};
    if (!type.empty() && type != "unavailable") {
        return RoomStanzaRefused{"a room presence of type " + Gbk(type) + " from " + room};
    }
    xmpp_stanza_t* x = Child(stanza, "x", kMucUserNs);
    xmpp_stanza_t* item = Child(x, "item");
    if (item == nullptr) return RoomStanzaRefused{"a room presence without its item: " + room};
    RoomPresenceIn presence;
    presence.room = room;
    presence.nick = nick;
    presence.available = type.empty();
    presence.affiliation = Attr(item, "affiliation");
    presence.role = Attr(item, "role");
    if (!OneOf(presence.affiliation, {"owner", "admin", "member", "none", "outcast"}) ||
        !OneOf(presence.role, {"moderator", "participant", "visitor", "none"})) {
        return RoomStanzaRefused{"a room presence with a malformed item: " + room};
    }
    if (!presence.available) presence.role = "none";
    const std::string realJid = Attr(item, "jid");
    if (!realJid.empty()) presence.realJid = Gbk(Jid(realJid).Bare());
    bool kicked = false, removed = false, shutdown = false;
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(x); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (xmpp_stanza_is_text(child) || !Named(child, "status")) continue;
        const std::string code = Attr(child, "code");
        if (code == "110") presence.self = true;
        if (code == "201") presence.created = true;
        if (code == "307") kicked = true;
        if (code == "301" || code == "321" || code == "322") removed = true;
        if (code == "332") shutdown = true;
    }
    if (!presence.available) {
        presence.status = Child(x, "destroy") != nullptr ? "destroyed"
                          : kicked                       ? "kicked"
                          : removed                      ? "removed"
                          : shutdown                     ? "offline"
                                                         : "left";
    }
    return presence;
}

RoomStanza ReadMessage(xmpp_stanza_t* stanza, const Jid& from) {
    const std::string room = Gbk(from.Bare());
    const std::string type = Attr(stanza, "type");
    if (type == "error") return RoomMessageError{room, ReadRoomFailure(stanza)};
    xmpp_stanza_t* x = Child(stanza, "x", kMucUserNs);
    if (xmpp_stanza_t* invite = Child(x, "invite")) {
        const std::string inviter = Attr(invite, "from");
        if (inviter.empty() || !from.Resource().empty()) {
            return RoomStanzaRefused{"a malformed room invitation from " + room};
        }
        return RoomInvitationIn{room, Gbk(Jid(inviter).Bare()),
                                Gbk(InnerText(Child(invite, "reason")))};
    }
    xmpp_stanza_t* form = Child(stanza, "x", kDataFormsNs);
    if (form != nullptr && FieldValue(form, "FORM_TYPE") == kMucRequestForm) {
        const std::string nick = FieldValue(form, "muc#roomnick");
        if (nick.empty() || !from.Resource().empty()) {
            return RoomStanzaRefused{"a malformed voice request from " + room};
        }
        return RoomVoiceRequestIn{room, Gbk(nick), Gbk(Jid(FieldValue(form, "muc#jid")).Bare())};
    }
    if (type != "groupchat") return NotARoomStanza{};
    xmpp_stanza_t* body = Child(stanza, "body");
    if (xmpp_stanza_t* subject = Child(stanza, "subject"); subject != nullptr && body == nullptr) {
        return RoomSubjectIn{room, Gbk(InnerText(subject))};
    }
    if (body == nullptr) return RoomStanzaRefused{};  // a chat state or receipt: nothing to show
    RoomMessageIn message;
    message.room = room;
    message.nick = Gbk(from.Resource());
    message.body = Gbk(InnerText(body));
    message.font = Gbk(InnerText(Child(stanza, "font", kFontNs)));
    if (xmpp_stanza_t* delay = Child(stanza, "delay", kDelayNs)) {
        message.history = true;
        message.time = LocalTimeOfStamp(Attr(delay, "stamp"));
    }
    return message;
}

}  // namespace

RoomFailureIn ReadRoomFailure(xmpp_stanza_t* stanza) {
    RoomFailureIn failure;
    xmpp_stanza_t* error = Child(stanza, "error");
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(error); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        const char* ns = xmpp_stanza_is_text(child) ? nullptr : xmpp_stanza_get_ns(child);
        if (ns != nullptr && std::strcmp(ns, "urn:ietf:params:xml:ns:xmpp-stanzas") == 0 &&
            !Named(child, "text")) {
            failure.condition = xmpp_stanza_get_name(child);
            break;
        }
    }
    if (failure.condition.empty()) failure.condition = "undefined-condition";
    // A room destroyed a while ago answers "gone": to the client it is a room not found.
    if (failure.condition == "gone") failure.condition = "item-not-found";
    failure.code = CodeOf(failure.condition);
    return failure;
}

RoomStanza ReadRoomStanza(xmpp_stanza_t* stanza, const std::string& conferenceDomain) {
    const char* name = xmpp_stanza_get_name(stanza);
    if (name == nullptr ||
        (std::strcmp(name, "presence") != 0 && std::strcmp(name, "message") != 0))
        return NotARoomStanza{};
    const std::string fromText = Attr(stanza, "from");
    if (fromText.empty()) return NotARoomStanza{};
    const Jid from(fromText);
    if (os::EqualsNoCase(from.Bare(), conferenceDomain)) {
        return RoomStanzaRefused{"a stanza from the conference service itself was dropped"};
    }
    if (!os::EqualsNoCase(from.Domain(), conferenceDomain)) {
        // An invitation may come straight from a person (XEP-0249) or a stray room presence
        // from anywhere: only the conference service's are read here.
        return NotARoomStanza{};
    }
    if (from.LocalPart().empty()) {
        return RoomStanzaRefused{"a stanza from the conference service itself was dropped"};
    }
    return std::strcmp(name, "presence") == 0 ? ReadPresence(stanza, from)
                                              : ReadMessage(stanza, from);
}

RoomInfoIn ReadRoomInfo(xmpp_stanza_t* iq) {
    RoomInfoIn info;
    xmpp_stanza_t* query = Child(iq, "query", kDiscoInfoNs);
    for (xmpp_stanza_t* child = xmpp_stanza_get_children(query); child != nullptr;
         child = xmpp_stanza_get_next(child)) {
        if (xmpp_stanza_is_text(child)) continue;
        if (Named(child, "identity") && Attr(child, "category") == "conference") {
            info.name = Gbk(Attr(child, "name"));
        } else if (Named(child, "feature") && Attr(child, "var") == "muc_persistent") {
            info.persistent = true;
        } else if (Named(child, "x") && Attr(child, "type") == "result") {
            info.subject = Gbk(FieldValue(child, "muc#roominfo_subject"));
            info.occupants = std::atoi(FieldValue(child, "muc#roominfo_occupants").c_str());
            if (info.occupants < 0) info.occupants = 0;
        }
    }
    return info;
}

std::vector<RoomAdminItem> ReadRoomAdminItems(xmpp_stanza_t* iq) {
    std::vector<RoomAdminItem> items;
    xmpp_stanza_t* query = Child(iq, "query", kMucAdminNs);
    for (xmpp_stanza_t* item = xmpp_stanza_get_children(query); item != nullptr;
         item = xmpp_stanza_get_next(item)) {
        if (xmpp_stanza_is_text(item) || !Named(item, "item")) continue;
        const std::string jid = Attr(item, "jid");
        const std::string affiliation = Attr(item, "affiliation");
        if (jid.empty() || !OneOf(affiliation, {"owner", "admin", "member"})) continue;
        items.push_back({Gbk(Jid(jid).Bare()), Gbk(Attr(item, "nick")), affiliation});
    }
    return items;
}

}  // namespace platform::xmpp
