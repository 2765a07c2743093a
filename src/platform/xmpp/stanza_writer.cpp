#include "platform/xmpp/stanza_writer.h"

#include <string_view>

#include "platform/xmpp/stanza_reader.h"

namespace platform::xmpp {
xmpp_stanza_t* Element(xmpp_ctx_t* ctx, const char* name, const char* ns) {
    xmpp_stanza_t* element = xmpp_stanza_new(ctx);
    xmpp_stanza_set_name(element, name);
    if (ns != nullptr) xmpp_stanza_set_ns(element, ns);
    return element;
}

xmpp_stanza_t* Adopt(xmpp_stanza_t* parent, xmpp_stanza_t* child) {
    xmpp_stanza_add_child(parent, child);
    xmpp_stanza_release(child);
    return child;
}

namespace {

void AddTextElement(xmpp_stanza_t* parent, const char* name, const char* ns,
                    const std::string& text) {
    xmpp_ctx_t* ctx = xmpp_stanza_get_context(parent);
    xmpp_stanza_t* element = Element(ctx, name, ns);
    xmpp_stanza_t* content = xmpp_stanza_new(ctx);
    xmpp_stanza_set_text(content, text.c_str());
    Adopt(element, content);
    Adopt(parent, element);
}

}  // namespace

xmpp_stanza_t* ChatMessage(xmpp_ctx_t* ctx, const std::string& to, const std::string& body,
                           const std::string& font, const std::string& nick) {
    xmpp_stanza_t* message = xmpp_message_new(ctx, "chat", to.c_str(), nullptr);
    xmpp_message_set_body(message, body.c_str());
    if (!font.empty()) AddTextElement(message, "font", kFontNs, font);
    if (!nick.empty()) AddTextElement(message, "nick", kNickNs, nick);
    Adopt(message, Element(ctx, "active", kChatStatesNs));
    if (body == kShakeBody) Adopt(message, Element(ctx, "attention", kAttentionNs));
    return message;
}

xmpp_stanza_t* ChatState(xmpp_ctx_t* ctx, const std::string& to, const std::string& state) {
    xmpp_stanza_t* message = xmpp_message_new(ctx, "chat", to.c_str(), nullptr);
    Adopt(message, Element(ctx, state == "composing" ? "composing" : "active", kChatStatesNs));
    return message;
}

xmpp_stanza_t* Presence(xmpp_ctx_t* ctx, const std::string& word, const std::string& nick) {
    xmpp_stanza_t* presence = xmpp_presence_new(ctx);
    if (word == "offline") {
        xmpp_stanza_set_type(presence, "unavailable");
        return presence;
    }
    std::string show;
    if (word == "chat" || word == "away" || word == "xa" || word == "dnd") show = word;
    if (word == "busy") show = "dnd";  // the nearest standard word for other clients
    if (!show.empty()) AddTextElement(presence, "show", nullptr, show);
    AddTextElement(presence, "word", kPresenceWordNs, word);
    if (!nick.empty()) AddTextElement(presence, "nick", kNickNs, nick);
    return presence;
}

xmpp_stanza_t* Subscription(xmpp_ctx_t* ctx, const std::string& to, const char* type) {
    xmpp_stanza_t* presence = xmpp_presence_new(ctx);
    xmpp_stanza_set_type(presence, type);
    xmpp_stanza_set_to(presence, to.c_str());
    return presence;
}

xmpp_stanza_t* Query(xmpp_ctx_t* ctx, const char* type, const std::string& id, const char* name,
                     const char* ns, const std::string& to) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, type, id.c_str());
    if (!to.empty()) xmpp_stanza_set_to(iq, to.c_str());
    Adopt(iq, Element(ctx, name, ns));
    return iq;
}

xmpp_stanza_t* RosterGet(xmpp_ctx_t* ctx, const std::string& id, const std::string& version) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, "get", id.c_str());
    xmpp_stanza_t* query = Element(ctx, "query", kRosterNs);
    xmpp_stanza_set_attribute(query, "ver", version.c_str());
    Adopt(iq, query);
    return iq;
}

xmpp_stanza_t* RosterSet(xmpp_ctx_t* ctx, const std::string& id, const std::string& jid,
                         const std::string& name, const std::string& group,
                         const char* subscription) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, "set", id.c_str());
    xmpp_stanza_t* query = Element(ctx, "query", kRosterNs);
    xmpp_stanza_t* item = Element(ctx, "item");
    xmpp_stanza_set_attribute(item, "jid", jid.c_str());
    if (subscription != nullptr) {
        xmpp_stanza_set_attribute(item, "subscription", subscription);
    } else {
        if (!name.empty()) xmpp_stanza_set_attribute(item, "name", name.c_str());
        if (!group.empty()) AddTextElement(item, "group", nullptr, group);
    }
    Adopt(query, item);
    Adopt(iq, query);
    return iq;
}

xmpp_stanza_t* OwnVcardSet(xmpp_ctx_t* ctx, const std::string& id, const std::string& cardXml,
                           const std::string& extension) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, "set", id.c_str());
    xmpp_stanza_t* card = Element(ctx, "vCard", kVcardNs);
    xmpp_stanza_t* old =
        cardXml.empty() ? nullptr : xmpp_stanza_new_from_string(ctx, cardXml.c_str());
    if (old != nullptr) {
        for (xmpp_stanza_t* part = xmpp_stanza_get_children(old); part != nullptr;
             part = xmpp_stanza_get_next(part)) {
            const char* ns = xmpp_stanza_get_ns(part);
            if (!xmpp_stanza_is_text(part) && ns != nullptr && std::string_view(ns) == kExtensionNs)
                continue;
            Adopt(card, xmpp_stanza_copy(part));
        }
        xmpp_stanza_release(old);
    }
    if (!extension.empty()) AddTextElement(card, "EXTENSION", kExtensionNs, extension);
    Adopt(iq, card);
    return iq;
}

xmpp_stanza_t* ResultOf(xmpp_ctx_t* ctx, const std::string& id, const std::string& to) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, "result", id.c_str());
    if (!to.empty()) xmpp_stanza_set_to(iq, to.c_str());
    return iq;
}

xmpp_stanza_t* ServiceUnavailable(xmpp_ctx_t* ctx, const std::string& id, const std::string& to) {
    xmpp_stanza_t* iq = xmpp_iq_new(ctx, "error", id.c_str());
    if (!to.empty()) xmpp_stanza_set_to(iq, to.c_str());
    xmpp_stanza_t* error = Element(ctx, "error");
    xmpp_stanza_set_attribute(error, "type", "cancel");
    Adopt(error, Element(ctx, "service-unavailable", "urn:ietf:params:xml:ns:xmpp-stanzas"));
    Adopt(iq, error);
    return iq;
}

}  // namespace platform::xmpp
