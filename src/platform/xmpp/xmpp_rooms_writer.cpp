#include "platform/xmpp/xmpp_rooms_writer.h"

#include "platform/xmpp/stanza_reader.h"
#include "platform/xmpp/stanza_writer.h"

namespace platform::xmpp {
namespace {

void AddText(xmpp_stanza_t* parent, const std::string& text) {
    xmpp_stanza_t* content = xmpp_stanza_new(xmpp_stanza_get_context(parent));
    xmpp_stanza_set_text(content, text.c_str());
    Adopt(parent, content);
}

void AddTextElement(xmpp_stanza_t* parent, const char* name, const char* ns,
                    const std::string& text) {
    xmpp_stanza_t* element = Adopt(parent, Element(xmpp_stanza_get_context(parent), name, ns));
    if (!text.empty()) AddText(element, text);
}

void AddField(xmpp_stanza_t* form, const char* var, const std::string& value,
              const char* type = nullptr) {
    xmpp_stanza_t* field = Adopt(form, Element(xmpp_stanza_get_context(form), "field"));
    xmpp_stanza_set_attribute(field, "var", var);
    if (type != nullptr) xmpp_stanza_set_attribute(field, "type", type);
    AddTextElement(field, "value", nullptr, value);
}

xmpp_stanza_t* SubmitForm(xmpp_stanza_t* parent, const char* formType) {
    xmpp_stanza_t* form =
        Adopt(parent, Element(xmpp_stanza_get_context(parent), "x", kDataFormsNs));
    xmpp_stanza_set_type(form, "submit");
    AddField(form, "FORM_TYPE", formType, "hidden");
    return form;
}

// An iq to the room with one query in `ns`; answers the iq, `query` the query.
xmpp_stanza_t* RoomIq(xmpp_ctx_t* ctx, const char* type, const std::string& id,
                      const std::string& room, const char* ns, xmpp_stanza_t** query) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, type, id.c_str());
    xmpp_stanza_set_to(iq, room.c_str());
    *query = Adopt(iq, Element(ctx, "query", ns));
    return iq;
}

}  // namespace

xmpp_stanza_t* RoomJoin(xmpp_ctx_t* ctx, const std::string& occupantJid) {
    xmpp_stanza_t* presence = xmpp_presence_new(ctx);
    xmpp_stanza_set_to(presence, occupantJid.c_str());
    xmpp_stanza_t* x = Adopt(presence, Element(ctx, "x", kMucNs));
    xmpp_stanza_t* history = Adopt(x, Element(ctx, "history"));
    xmpp_stanza_set_attribute(history, "maxstanzas", std::to_string(kRoomHistoryAsked).c_str());
    return presence;
}

xmpp_stanza_t* RoomLeave(xmpp_ctx_t* ctx, const std::string& occupantJid) {
    xmpp_stanza_t* presence = xmpp_presence_new(ctx);
    xmpp_stanza_set_to(presence, occupantJid.c_str());
    xmpp_stanza_set_type(presence, "unavailable");
    return presence;
}

xmpp_stanza_t* RoomMessage(xmpp_ctx_t* ctx, const std::string& room, const std::string& body,
                           const std::string& font) {
    xmpp_stanza_t* message = xmpp_message_new(ctx, "groupchat", room.c_str(), nullptr);
    xmpp_message_set_body(message, body.c_str());
    if (!font.empty()) AddTextElement(message, "font", kFontNs, font);
    return message;
}

xmpp_stanza_t* RoomSubject(xmpp_ctx_t* ctx, const std::string& room, const std::string& subject) {
    xmpp_stanza_t* message = xmpp_message_new(ctx, "groupchat", room.c_str(), nullptr);
    AddTextElement(message, "subject", nullptr, subject);
    return message;
}

xmpp_stanza_t* RoomInvitation(xmpp_ctx_t* ctx, const std::string& room, const std::string& invitee,
                              const std::string& reason) {
    xmpp_stanza_t* message = xmpp_message_new(ctx, nullptr, room.c_str(), nullptr);
    xmpp_stanza_t* x = Adopt(message, Element(ctx, "x", kMucUserNs));
    xmpp_stanza_t* invite = Adopt(x, Element(ctx, "invite"));
    xmpp_stanza_set_attribute(invite, "to", invitee.c_str());
    if (!reason.empty()) AddTextElement(invite, "reason", nullptr, reason);
    return message;
}

xmpp_stanza_t* RoomVoiceRequest(xmpp_ctx_t* ctx, const std::string& room) {
    xmpp_stanza_t* message = xmpp_message_new(ctx, nullptr, room.c_str(), nullptr);
    xmpp_stanza_t* form = SubmitForm(message, kMucRequestForm);
    AddField(form, "muc#role", "participant", "list-single");
    return message;
}

xmpp_stanza_t* RoomConfiguration(xmpp_ctx_t* ctx, const std::string& id, const std::string& room,
                                 const std::string& name, bool persistent) {
    xmpp_stanza_t* query = nullptr;
    xmpp_stanza_t* iq = RoomIq(ctx, "set", id, room, kMucOwnerNs, &query);
    xmpp_stanza_t* form = SubmitForm(query, kMucRoomConfigForm);
    if (!name.empty()) AddField(form, "muc#roomconfig_roomname", name);
    AddField(form, "muc#roomconfig_persistentroom", persistent ? "1" : "0");
    AddField(form, "muc#roomconfig_moderatedroom", persistent ? "1" : "0");
    AddField(form, "muc#roomconfig_whois", "anyone");
    return iq;
}

xmpp_stanza_t* RoomDestroy(xmpp_ctx_t* ctx, const std::string& id, const std::string& room) {
    xmpp_stanza_t* query = nullptr;
    xmpp_stanza_t* iq = RoomIq(ctx, "set", id, room, kMucOwnerNs, &query);
    Adopt(query, Element(ctx, "destroy"));
    return iq;
}

xmpp_stanza_t* RoomAdminSet(xmpp_ctx_t* ctx, const std::string& id, const std::string& room,
                            const char* key, const std::string& who, const char* field,
                            const std::string& value) {
    xmpp_stanza_t* query = nullptr;
    xmpp_stanza_t* iq = RoomIq(ctx, "set", id, room, kMucAdminNs, &query);
    xmpp_stanza_t* item = Adopt(query, Element(ctx, "item"));
    xmpp_stanza_set_attribute(item, key, who.c_str());
    xmpp_stanza_set_attribute(item, field, value.c_str());
    return iq;
}

xmpp_stanza_t* RoomAffiliationQuery(xmpp_ctx_t* ctx, const std::string& id, const std::string& room,
                                    const char* affiliation) {
    xmpp_stanza_t* query = nullptr;
    xmpp_stanza_t* iq = RoomIq(ctx, "get", id, room, kMucAdminNs, &query);
    xmpp_stanza_t* item = Adopt(query, Element(ctx, "item"));
    xmpp_stanza_set_attribute(item, "affiliation", affiliation);
    return iq;
}

}  // namespace platform::xmpp
