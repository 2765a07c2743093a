// Feeds arbitrary XML to the XMPP engine's rooms: their reading of room stanzas and query
// answers, and a room being entered taking the stanza. No input may crash, and every text
// handed to the client must be GBK.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "os/text/gbk_codec.h"
#include "platform/xmpp/xmpp_rooms.h"
#include "platform/xmpp/xmpp_rooms_reader.h"

namespace {

void CheckGbk(const std::string& text) {
    std::string utf8;
    if (!os::GbkToUtf8(text, utf8)) std::abort();
}

void CheckRecord(const platform::NotifyRecord& record) {
    if (const auto* slots = record.As<platform::SlotData>()) {
        for (const std::string& slot : slots->slots) CheckGbk(slot);
    } else if (const auto* message = record.As<platform::MessageData>()) {
        CheckGbk(message->from);
        CheckGbk(message->content);
        CheckGbk(message->font);
        CheckGbk(message->fromName);
    }
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
    using namespace platform::xmpp;
    static_cast<void>(ReadRoomStanza(stanza, "conference.example.org"));
    for (const RoomAdminItem& item : ReadRoomAdminItems(stanza)) {
        CheckGbk(item.jid);
        CheckGbk(item.nick);
    }
    CheckGbk(ReadRoomInfo(stanza).name);

    // A room on its way in: asked, answered, joining; then the input arrives.
    RoomsWire wire;
    wire.ctx = ctx;
    wire.send = [](xmpp_stanza_t* sent) { xmpp_stanza_release(sent); };
    wire.notify = [](platform::NotifyRecord record) { CheckRecord(record); };
    wire.log = [](int, const std::string& text) { CheckGbk(text); };
    wire.localTimeNow = [] { return std::string("2026-01-02 03:04:05"); };
    Rooms rooms(std::move(wire), "alice$gov@example.org", "alice", "conference.example.org");
    rooms.Enter("proj@conference.example.org", "", RoomEntry::Enter, {}, "EnterConferenceRoom");
    if (xmpp_stanza_t* answer = xmpp_stanza_new_from_string(
            ctx, "<iq type='result' id='muc-1' from='proj@conference.example.org'/>")) {
        rooms.OnStanza(answer);
        xmpp_stanza_release(answer);
    }
    rooms.OnStanza(stanza);
    xmpp_stanza_release(stanza);
    return 0;
}
