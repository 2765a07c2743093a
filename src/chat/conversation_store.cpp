#include "chat/conversation_store.h"

#include "config/client_config.h"
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

ConversationStore::StoreResult ConversationStore::StoreSentCopies(
    const std::vector<SentCopy>& copies, const std::string& time) {
    if (copies.empty()) return StoreResult{};
    const std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr) return StoreResult{Stored::NoStore, {}};
    const std::string own = context_.session.GetCurrentUserJID();
    std::vector<CClientDB::NewMessage> messages;
    messages.reserve(copies.size());
    for (const SentCopy& copy : copies) {
        messages.push_back({own, copy.to, time, copy.contents, copy.sent ? "" : kNotSentMark,
                            copy.type, CClientDB::kStateUnhandled});
    }
    if (db->AddMsgs(messages)) return StoreResult{};
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
    const std::unique_ptr<CClientDB> db = context_.OpenUserStore();
    if (db == nullptr) return std::nullopt;
    std::vector<MsgFields> records;
    if (!db->GetMsg(
            peerJid.c_str(), peerJid.c_str(),
            [&](const MsgFields& fields) {
                if (!IsMsgEndMark(fields)) records.push_back(fields);
            },
            count)) {
        context_.log.WriteLog("显示最近聊天内容失败:" + db->GetErrorInfo());
        return std::nullopt;
    }
    // The newest unread message from the peer and everything after it are about to be shown
    // as new messages.
    const std::string own = context_.session.GetCurrentUserJID();
    for (std::size_t i = records.size(); i-- > 0;) {
        const MsgFields& fields = records[i];
        if (fields[msg_field::kState] == "1" &&
            !platform::Jid::Equal(fields[msg_field::kFrom], own, platform::JidMatch::Loose,
                                  nullptr)) {
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(i), records.end());
            break;
        }
    }
    std::vector<RecentMessage> messages;
    for (const MsgFields& fields : records) {
        const bool mine =
            platform::Jid::Equal(fields[msg_field::kFrom], own, platform::JidMatch::Loose, nullptr);
        messages.push_back(RecentMessage{mine ? ownName : peerName, fields[msg_field::kTime],
                                         fields[msg_field::kContents]});
    }
    return messages;
}

}  // namespace chat
