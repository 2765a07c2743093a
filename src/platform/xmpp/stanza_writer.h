#pragma once
// The stanzas the engine sends, built from UTF-8 texts (the engine converts before).

#include <strophe.h>

#include <string>

namespace platform::xmpp {

// The building blocks of every stanza we write: an empty element `name` (in `ns`, when
// given), and `child` added to `parent` with our reference let go (answers the child, which
// `parent` now keeps alive).
xmpp_stanza_t* Element(xmpp_ctx_t* ctx, const char* name, const char* ns = nullptr);
xmpp_stanza_t* Adopt(xmpp_stanza_t* parent, xmpp_stanza_t* child);

// A chat message: the plain body every client shows, our font header beside it (when there
// is one), the active chat state, our nickname and, for a shake, an attention request.
xmpp_stanza_t* ChatMessage(xmpp_ctx_t* ctx, const std::string& to, const std::string& body,
                           const std::string& font, const std::string& nick);
// A chat message carrying only a chat state: "composing", else "active".
xmpp_stanza_t* ChatState(xmpp_ctx_t* ctx, const std::string& to, const std::string& state);
// An available presence for a presence word (or unavailable for "offline"), with our word
// and nickname.
xmpp_stanza_t* Presence(xmpp_ctx_t* ctx, const std::string& word, const std::string& nick);
// A subscription presence ("subscribe", "subscribed", "unsubscribed", ...) to a bare JID.
xmpp_stanza_t* Subscription(xmpp_ctx_t* ctx, const std::string& to, const char* type);
// An iq of `type` with one empty child `name` in `ns`.
xmpp_stanza_t* Query(xmpp_ctx_t* ctx, const char* type, const std::string& id, const char* name,
                     const char* ns, const std::string& to = {});
// A roster get, with the version we hold (XEP-0237; empty asks for versioning all the same).
xmpp_stanza_t* RosterGet(xmpp_ctx_t* ctx, const std::string& id, const std::string& version);
// A roster set of one item; an empty subscription sets name and group, "remove" removes.
xmpp_stanza_t* RosterSet(xmpp_ctx_t* ctx, const std::string& id, const std::string& jid,
                         const std::string& name, const std::string& group,
                         const char* subscription);
// A vCard set of our own card: every part of `cardXml` (the vCard the server gave us, may be
// empty) but our extension, and the extension `extension` (empty: none).
xmpp_stanza_t* OwnVcardSet(xmpp_ctx_t* ctx, const std::string& id, const std::string& cardXml,
                           const std::string& extension);
// The empty result that answers an iq.
xmpp_stanza_t* ResultOf(xmpp_ctx_t* ctx, const std::string& id, const std::string& to);

// The error that refuses an iq we do not serve.
xmpp_stanza_t* ServiceUnavailable(xmpp_ctx_t* ctx, const std::string& id, const std::string& to);

}  // namespace platform::xmpp
