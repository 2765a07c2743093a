#include "chat/conversation_store.h"

#include "config/client_config.h"
#include "core/message_from_db.h"
#include "os/services/log.h"
#include "os/sys/clock.h"
#include "os/text/cstring_ops.h"
#include "platform/jid/jid.h"
#include "platform/session/session_core.h"
#include "platform/store/client_db.h"

namespace chat {

std::string ConversationStore::NowText() const {
    const os::LocalTime t = context_.clock.LocalNow();
    return os::Format("%4d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                      t.second);
}

ConversationStore::StoreResult ConversationStore::StoreSent(const std::string& to,
                                                            const std::string& contents, int type) {
    const std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr) return StoreResult{Stored::NoStore, {}};
    const std::string own = context_.session.GetCurrentUserJID();
    const std::string time = NowText();
    if (db->AddMsg(own.c_str(), to.c_str(), time.c_str(), contents.c_str(), "", "", "", type, false,
                   "", "", CClientDB::kStateUnhandled, nullptr)) {
        return StoreResult{};
    }
    return StoreResult{Stored::Failed, db->GetErrorInfo()};
}

std::optional<std::vector<RecentMessage>> ConversationStore::RecentMessages(
    const std::string& peerJid, const std::string& ownName, const std::string& peerName) {
    const int count = context_.config.CountOfRecentChatContent;
    if (count < 1) {
        context_.log.WriteLog(
            os::Format("显示最近聊天内容时配置错误:CountOfRecentChatContent=%d", count));
        return std::nullopt;
    }
    std::vector<core::StoredMessage> records;
    core::CFunction loader(context_);
    if (!loader.GetMessageFromDB(peerJid.c_str(), peerJid.c_str(), &records, count)) {
        return std::nullopt;
    }
    // The newest unread message from the peer and everything after it are about to be shown
    // as new messages.
    const std::string own = context_.session.GetCurrentUserJID();
    const auto mine = [&](const core::StoredMessage& message) {
        return platform::Jid::Equal(message.from, own, platform::JidMatch::Loose, nullptr);
    };
    for (std::size_t i = records.size(); i-- > 0;) {
        if (records[i].state == "1" && !mine(records[i])) {
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(i), records.end());
            break;
        }
    }
    std::vector<RecentMessage> messages;
    for (const core::StoredMessage& message : records) {
        messages.push_back(
            RecentMessage{mine(message) ? ownName : peerName, message.time, message.contents});
    }
    return messages;
}

}  // namespace chat
