// Feeds arbitrary XML to the XMPP engine's reading of stanzas: no input may crash, and every
// text it hands the client must be GBK (it converts back to UTF-8).

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "os/text/gbk_codec.h"
#include "platform/xmpp/stanza_reader.h"

namespace {

void CheckGbk(const std::string& text) {
    std::string utf8;
    if (!os::GbkToUtf8(text, utf8)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static xmpp_ctx_t* ctx = [] {
        xmpp_initialize();
        return xmpp_ctx_new(nullptr, nullptr);
    }();
    const std::string xml(reinterpret_cast<const char*>(data), size);
    xmpp_stanza_t* stanza = xmpp_stanza_new_from_string(ctx, xml.c_str());
    if (stanza == nullptr) return 0;
    if (platform::xmpp::WithinSizeLimit(stanza)) {
        const platform::xmpp::ReadContext context{"alice$gov@example.org", "example.org",
                                                  "2026-01-02 03:04:05"};
        platform::xmpp::InboundEvent event = platform::xmpp::ReadStanza(stanza, context);
        if (const auto* chat = std::get_if<platform::xmpp::ChatIn>(&event)) {
            CheckGbk(chat->message.from);
            CheckGbk(chat->message.content);
            CheckGbk(chat->message.font);
            CheckGbk(chat->nick);
            if (chat->message.time.size() != 19) std::abort();
        } else if (const auto* presence = std::get_if<platform::xmpp::PresenceIn>(&event)) {
            CheckGbk(presence->jid);
            CheckGbk(presence->status);
            if (presence->word.empty()) std::abort();
        } else if (const auto* roster = std::get_if<platform::xmpp::RosterIn>(&event)) {
            for (const auto& item : roster->items) {
                CheckGbk(item.jid);
                CheckGbk(item.name);
                CheckGbk(item.group);
            }
        }
    }
    xmpp_stanza_release(stanza);
    return 0;
}
